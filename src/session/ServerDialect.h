#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velkin {

class Connection;

/// How the server keeps its accounts: rows of the grant tables of old that the screens edit directly,
/// or accounts that only the account statements (CREATE USER, GRANT, ...) may change.
enum class AccountModel { ClassicGrantTables, AccountStatements };

/// What a login reads about the grant tables (see ServerDialect::accountFactsQuery).
struct AccountFacts {
    std::string userTableType;  ///< "BASE TABLE", "VIEW", or empty when the login cannot see mysql.user
    bool passwordColumn = false;
    bool roleColumn = false;
    bool hostTable = false;
};

/// What differs between the servers of old and the current ones, decided from the server's version,
/// so that screens keep one behaviour and send the statement that the server understands.
class ServerDialect {
public:
    explicit ServerDialect(unsigned long version = 0, bool mariaDb = false);

    unsigned long version() const { return m_version; }
    bool isMariaDb() const { return m_mariaDb; }

    /// "TYPE" before 5.5, "ENGINE" from then on: the keyword of the table type clause.
    const char* tableTypeKeyword() const;
    /// HEAP and MEMORY, INNOBASE and InnoDB name the same table type; case does not matter.
    static bool sameTableType(std::string_view a, std::string_view b);
    /// The table type under its current name ("MEMORY" for "HEAP", "InnoDB" for "INNOBASE").
    static std::string currentTableTypeName(std::string_view type);

    /// Reserved in MySQL 8.4 or MariaDB 11, or reported reserved by the server itself.
    bool isReserved(std::string_view word) const;
    void addReservedWords(const std::vector<std::string>& words);

    /// One query whose single row gives the AccountFacts: the type of mysql.user, whether it has the
    /// Password and is_role columns (1 or 0), and whether mysql.host exists (1 or 0).
    static const char* accountFactsQuery();
    /// Decides the account model from what the login read. Where the login could not see the grant
    /// tables, the server's version decides (it then cannot use the privilege screens anyway).
    void learnAccounts(const AccountFacts& facts);
    AccountModel accountModel() const { return m_accountModel; }
    bool usesAccountStatements() const { return m_accountModel == AccountModel::AccountStatements; }
    /// mysql.user has a Password column (absent from MySQL 5.7 on, where the hash has another home).
    bool userHasPasswordColumn() const { return m_passwordColumn; }
    /// mysql.user marks roles in an is_role column (MariaDB 10.0.5 on).
    bool userHasRoleColumn() const { return m_roleColumn; }
    /// Only MySQL before 5.6.7 and MariaDB before 10.0 still read mysql.host; later servers ignore it
    /// even where it exists, so editing it would change nothing.
    bool honoursHostTable() const { return m_hostTableHonoured; }
    /// MySQL 8 may refuse direct writes to mysql.db (partial revokes, roles): its database grants are
    /// changed with GRANT and REVOKE ON db.*.
    bool grantsDatabasesByStatement() const;

private:
    unsigned long m_version;
    bool m_mariaDb;
    std::set<std::string> m_extraReserved;  // upper case
    AccountModel m_accountModel = AccountModel::AccountStatements;
    bool m_passwordColumn = true;
    bool m_roleColumn = false;
    bool m_hostTableHonoured = false;
};

// The table types a server can make. The lists keep the names they have always shown (MyISAM, ISAM,
// HEAP, INNOBASE) where the server has the engine under another name.

/// Rows of two texts as SHOW VARIABLES and SHOW ENGINES give them: name and value, engine and support.
using NamePairs = std::vector<std::pair<std::string, std::string>>;

/// The table types a new table may get, sorted as the lists show them.
std::vector<std::string> tableTypeChoices(bool innobase);
/// The table types from the server's engines (name, support): those it supports, under the names
/// the lists have always used where they exist, the others as the server names them; engines that
/// hold no table of the operator's own are left out. Sorted.
std::vector<std::string> tableTypesFromEngines(const NamePairs& engines);
/// "have_innobase" among the server's variables: its answer, or nothing when the server has no
/// such variable any more.
std::optional<bool> haveInnobase(const NamePairs& variables);
/// InnoDB among the server's engines (name, support) with the support YES or DEFAULT.
bool innodbEngineAvailable(const NamePairs& engines);

/// Whether the server has InnoDB: "have_innobase" where the server still reports it, else its
/// engine list. False when the variables cannot be read.
bool serverHasInnobase(Connection& connection);
/// The table types offered for this server, sorted: MyISAM, ISAM, HEAP and, with InnoDB, INNOBASE.
std::vector<std::string> offeredTableTypes(Connection& connection);
/// The table types this server can make, from its engine list (see tableTypesFromEngines); the
/// fixed list above when the server has no engine list.
std::vector<std::string> serverTableTypes(Connection& connection);

}  // namespace velkin
