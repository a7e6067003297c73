#include "ServerDialect.h"

#include <algorithm>
#include <cctype>

#include "SqlText.h"

namespace velkin {

namespace {


std::string upper(std::string_view s) {
    std::string u(s);
    std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return std::toupper(c); });
    return u;
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
    if (u == "HEAP") return "MEMORY";
    if (u == "INNOBASE" || u == "INNODB") return "InnoDB";
    if (u == "MYISAM") return "MyISAM";
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
    for (const auto& w : words) m_extraReserved.insert(upper(w));
}

}  // namespace velkin
