#include "ServerDialect.h"

#include <algorithm>
#include <cctype>

#include "Connection.h"
#include "SqlText.h"

namespace velkin {

namespace {

std::string upper(std::string_view s) {
    std::string u(s);
    std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return std::toupper(c); });
    return u;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::toupper(x) < std::toupper(y); });
}

bool supported(std::string_view support) {
    return equalsNoCase(support, "YES") || equalsNoCase(support, "DEFAULT");
}

/// The first two values of every row; nothing when the statement gives no rows.
std::optional<NamePairs> pairs(Connection& connection, const std::string& sql) {
    Result result = connection.select(sql);
    if (!result)
        return std::nullopt;
    NamePairs rows;
    while (Row row = result.fetchRow())
        rows.emplace_back(row.str(0), row.str(1));
    return rows;
}

}  // namespace

ServerDialect::ServerDialect(unsigned long version, bool mariaDb) : m_version(version), m_mariaDb(mariaDb) {
    learnAccounts(AccountFacts{});
}

const char* ServerDialect::accountFactsQuery() {
    return accountFactsStatement();
}

void ServerDialect::learnAccounts(const AccountFacts& facts) {
    // An unknown version (0) is a current server.
    const bool known = m_version != 0;
    const bool oldServer = known && (m_mariaDb ? m_version < 100000 : m_version < 50607);
    if (facts.userTableType.empty()) {
        const bool statements = !known || (m_mariaDb ? m_version >= 100400 : m_version >= 50700);
        m_accountModel = statements ? AccountModel::AccountStatements : AccountModel::ClassicGrantTables;
        m_passwordColumn = m_mariaDb || (known && m_version < 50700);
        m_roleColumn = m_mariaDb && (!known || m_version >= 100005);
        m_hostTableHonoured = oldServer;
        return;
    }
    const bool classic = upper(facts.userTableType) == "BASE TABLE" && facts.passwordColumn;
    m_accountModel = classic ? AccountModel::ClassicGrantTables : AccountModel::AccountStatements;
    m_passwordColumn = facts.passwordColumn;
    m_roleColumn = facts.roleColumn;
    m_hostTableHonoured = facts.hostTable && oldServer;
}

bool ServerDialect::grantsDatabasesByStatement() const {
    return !m_mariaDb && m_version >= 80000;
}

const char* ServerDialect::tableTypeKeyword() const {
    // An unknown version (0) is a current server: nothing older than 5.5 is in use any more.
    return (m_version != 0 && m_version < 50500) ? "TYPE" : "ENGINE";
}

std::string ServerDialect::currentTableTypeName(std::string_view type) {
    std::string u = upper(type);
    if (u == "HEAP")
        return "MEMORY";
    if (u == "INNOBASE" || u == "INNODB")
        return "InnoDB";
    if (u == "MYISAM")
        return "MyISAM";
    return std::string(type);
}

bool ServerDialect::sameTableType(std::string_view a, std::string_view b) {
    return upper(currentTableTypeName(a)) == upper(currentTableTypeName(b));
}

bool ServerDialect::isReserved(std::string_view word) const {
    std::string u = upper(word);
    return isBuiltInReservedWord(u) || m_extraReserved.count(u) > 0;
}

void ServerDialect::addReservedWords(const std::vector<std::string>& words) {
    for (const auto& w : words)
        m_extraReserved.insert(upper(w));
}

std::vector<std::string> tableTypeChoices(bool innobase) {
    std::vector<std::string> types = {"MyISAM", "ISAM", "HEAP"};
    if (innobase)
        types.emplace_back("INNOBASE");
    std::sort(types.begin(), types.end(), lessNoCase);
    return types;
}

std::vector<std::string> tableTypesFromEngines(const NamePairs& engines) {
    const std::pair<const char*, const char*> kept[] = {
        {"MyISAM", "MyISAM"}, {"MEMORY", "HEAP"}, {"HEAP", "HEAP"}, {"InnoDB", "INNOBASE"}, {"ISAM", "ISAM"}};
    // These hold no table an operator designs: the server's own statistics and generated sequences.
    const char* const notForTables[] = {"PERFORMANCE_SCHEMA", "SEQUENCE"};
    std::vector<std::string> types;
    for (const auto& [engine, support] : engines) {
        if (!supported(support))
            continue;
        if (std::any_of(std::begin(notForTables), std::end(notForTables),
                        [&](const char* name) { return equalsNoCase(engine, name); }))
            continue;
        std::string name = engine;
        for (const auto& [server, shown] : kept)
            if (equalsNoCase(engine, server))
                name = shown;
        if (std::find(types.begin(), types.end(), name) == types.end())
            types.push_back(name);
    }
    std::sort(types.begin(), types.end(), lessNoCase);
    return types;
}

std::optional<bool> haveInnobase(const NamePairs& variables) {
    for (const auto& [name, value] : variables)
        if (name == "have_innobase")
            return value == "YES";
    return std::nullopt;
}

bool innodbEngineAvailable(const NamePairs& engines) {
    for (const auto& [engine, support] : engines)
        if (equalsNoCase(engine, "InnoDB") && supported(support))
            return true;
    return false;
}

bool serverHasInnobase(Connection& connection) {
    const auto variables = pairs(connection, showVariablesStatement());
    if (!variables)
        return false;
    if (const std::optional<bool> have = haveInnobase(*variables))
        return *have;
    // Current servers no longer report the variable; their engine list tells the same.
    const auto engines = pairs(connection, showEnginesStatement());
    return engines && innodbEngineAvailable(*engines);
}

std::vector<std::string> offeredTableTypes(Connection& connection) {
    return tableTypeChoices(serverHasInnobase(connection));
}

std::vector<std::string> serverTableTypes(Connection& connection) {
    if (const auto engines = pairs(connection, showEnginesStatement()))
        return tableTypesFromEngines(*engines);
    return offeredTableTypes(connection);
}

}  // namespace velkin
