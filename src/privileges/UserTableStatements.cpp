#include "UserTableStatements.h"

#include "AccountStatements.h"
#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

std::string hostUserKeyPart(const Connection& connection, std::string_view host, std::string_view user) {
    std::string hostPart = sqlf("Host = '%s'", escapeValue(connection, host));
    return sqlf("%s,User = '%s'", hostPart, escapeValue(connection, user));
}

std::string userRowQuery(const Connection& connection, std::string_view host, std::string_view user) {
    return sqlf("select * from mysql.user where Host = '%s' AND User = '%s'", escapeValue(connection, host),
                escapeValue(connection, user));
}

std::string allUserRowsQuery() {
    return "select * from user";
}

std::string everyUserRowQuery() {
    return "select * from mysql.user";
}

std::string accountKeysQuery(const ServerDialect& dialect) {
    const std::string notARole = notARoleCondition(dialect);
    if (notARole.empty() || !dialect.usesAccountStatements())
        return "select Host,User from mysql.user";
    return "select Host,User from mysql.user u where " + notARole;
}

std::string userRowInsert(const Connection& connection, std::string_view host, std::string_view user,
                          std::string_view password, const std::vector<bool>& flags) {
    std::string set = hostUserKeyPart(connection, host, user);
    set += sqlf(",Password = PASSWORD('%s')", escapeValue(connection, password));
    set += flagFragments(GrantTable::User, flags);
    return sqlf("INSERT INTO user SET %s", set);
}

std::string userRowUpdate(const Connection& connection, std::string_view host, std::string_view user,
                          const std::optional<std::string_view>& password, const std::vector<bool>& flags,
                          std::string_view keyHost, std::string_view keyUser) {
    std::string set = hostUserKeyPart(connection, host, user);
    if (password)
        set += sqlf(",Password = PASSWORD('%s')", escapeValue(connection, *password));
    set += flagFragments(GrantTable::User, flags);
    return sqlf("UPDATE user SET %s where Host = '%s' AND User = '%s'", set, escapeValue(connection, keyHost),
                escapeValue(connection, keyUser));
}

std::vector<std::string> accountGrantRowsMove(const Connection& connection, std::string_view host,
                                              std::string_view user, std::string_view keyHost,
                                              std::string_view keyUser) {
    std::vector<std::string> statements;
    for (const char* table : privilegeRowTables(connection.dialect()))
        statements.push_back(sqlf("UPDATE mysql.%s SET %s where User = '%s' AND Host = '%s'", table,
                                  hostUserKeyPart(connection, host, user), escapeValue(connection, keyUser),
                                  escapeValue(connection, keyHost)));
    return statements;
}

std::string userRowDelete(const Connection& connection, std::string_view host, std::string_view user) {
    return "DELETE FROM mysql.user where " + sqlf("%s Host = '%s' AND User = '%s'", "",
                                                  escapeValue(connection, host),
                                                  escapeValue(connection, user));
}

std::vector<std::string> accountGrantRowsDelete(const Connection& connection, std::string_view host,
                                                std::string_view user) {
    std::vector<std::string> statements;
    for (const char* table : privilegeRowTables(connection.dialect()))
        statements.push_back(sqlf("DELETE FROM mysql.%s where ", table) +
                             sqlf("%s User = '%s' AND Host = '%s'", "", escapeValue(connection, user),
                                  escapeValue(connection, host)));
    return statements;
}

}  // namespace velkin
