#include "AccountStatements.h"

#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

// The privilege names of the statements, in the column order of the user and database tables; the
// Grant box stands for GRANT OPTION, which GRANT spells as its own clause.
const char* privilegeName(std::string_view column) {
    struct Name {
        const char* column;
        const char* name;
    };
    static const Name names[] = {
        {"Select_priv", "SELECT"}, {"Insert_priv", "INSERT"},      {"Update_priv", "UPDATE"},
        {"Delete_priv", "DELETE"}, {"Create_priv", "CREATE"},      {"Drop_priv", "DROP"},
        {"Reload_priv", "RELOAD"}, {"Shutdown_priv", "SHUTDOWN"},  {"Process_priv", "PROCESS"},
        {"File_priv", "FILE"},     {"Grant_priv", "GRANT OPTION"}, {"References_priv", "REFERENCES"},
        {"Index_priv", "INDEX"},   {"Alter_priv", "ALTER"},
    };
    for (const auto& n : names)
        if (column == n.column)
            return n.name;
    return "";
}

bool isGrantColumn(std::string_view column) {
    return column == "Grant_priv";
}

bool flagAt(const std::vector<bool>& flags, size_t i) {
    return i < flags.size() && flags[i];
}

/// The privileges whose flag equals on, joined by ", "; the Grant column only when withGrant.
std::string privilegeList(GrantTable table, const std::vector<bool>& flags, bool on, bool withGrant,
                          bool* grantOption = nullptr) {
    std::string list;
    const auto& columns = privilegeColumns(table);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (flagAt(flags, i) != on)
            continue;
        if (isGrantColumn(columns[i].column)) {
            if (grantOption)
                *grantOption = true;
            if (!withGrant)
                continue;
        }
        list += (list.empty() ? "" : ", ") + std::string(privilegeName(columns[i].column));
    }
    return list;
}

std::string databaseTarget(std::string_view database) {
    std::string quoted = "`";
    for (char c : database)
        quoted += c == '`' ? std::string("``") : std::string(1, c);
    return quoted + "`.*";
}

}  // namespace

std::string accountName(const Connection& connection, std::string_view host, std::string_view user) {
    return sqlf("'%s'@'%s'", escapeValue(connection, user), escapeValue(connection, host));
}

std::string createUserStatement(const Connection& connection, std::string_view host, std::string_view user,
                                std::string_view password) {
    return sqlf("CREATE USER %s IDENTIFIED BY '%s'", accountName(connection, host, user),
                escapeValue(connection, password));
}

std::string globalGrantStatement(const Connection& connection, std::string_view host, std::string_view user,
                                 const std::vector<bool>& flags) {
    bool grantOption = false;
    std::string list = privilegeList(GrantTable::User, flags, true, false, &grantOption);
    if (list.empty() && !grantOption)
        return {};
    return sqlf("GRANT %s ON *.* TO %s%s", list.empty() ? "USAGE" : list, accountName(connection, host, user),
                grantOption ? " WITH GRANT OPTION" : "");
}

std::string globalRevokeStatement(const Connection& connection, std::string_view host, std::string_view user,
                                  const std::vector<bool>& flags) {
    std::string list = privilegeList(GrantTable::User, flags, false, true);
    if (list.empty())
        return {};
    return sqlf("REVOKE %s ON *.* FROM %s", list, accountName(connection, host, user));
}

std::string renameUserStatement(const Connection& connection, std::string_view oldHost,
                                std::string_view oldUser, std::string_view newHost,
                                std::string_view newUser) {
    return sqlf("RENAME USER %s TO %s", accountName(connection, oldHost, oldUser),
                accountName(connection, newHost, newUser));
}

std::string alterPasswordStatement(const Connection& connection, std::string_view host, std::string_view user,
                                   std::string_view password) {
    return sqlf("ALTER USER %s IDENTIFIED BY '%s'", accountName(connection, host, user),
                escapeValue(connection, password));
}

std::string dropUserStatement(const Connection& connection, std::string_view host, std::string_view user) {
    return "DROP USER " + accountName(connection, host, user);
}

std::vector<std::string> databaseGrantStatements(const Connection& connection, std::string_view database,
                                                 std::string_view host, std::string_view user,
                                                 const std::vector<bool>& held,
                                                 const std::vector<bool>& wanted) {
    std::vector<bool> gained, lost;
    for (size_t i = 0; i < privilegeColumns(GrantTable::Db).size(); ++i) {
        gained.push_back(flagAt(wanted, i) && !flagAt(held, i));
        lost.push_back(!flagAt(wanted, i) && flagAt(held, i));
    }
    std::vector<std::string> statements;
    const std::string account = accountName(connection, host, user);
    bool grantOption = false;
    std::string grants = privilegeList(GrantTable::Db, gained, true, false, &grantOption);
    if (!grants.empty() || grantOption)
        statements.push_back(sqlf("GRANT %s ON %s TO %s%s", grants.empty() ? "USAGE" : grants,
                                  databaseTarget(database), account,
                                  grantOption ? " WITH GRANT OPTION" : ""));
    std::string revokes = privilegeList(GrantTable::Db, lost, true, true);
    if (!revokes.empty())
        statements.push_back(sqlf("REVOKE %s ON %s FROM %s", revokes, databaseTarget(database), account));
    return statements;
}

std::vector<std::string> databaseRevokeAllStatements(const Connection& connection, std::string_view database,
                                                     std::string_view host, std::string_view user,
                                                     const std::vector<bool>& held) {
    std::vector<std::string> statements;
    const std::string account = accountName(connection, host, user);
    const auto& columns = privilegeColumns(GrantTable::Db);
    for (size_t i = 0; i < columns.size(); ++i)
        if (isGrantColumn(columns[i].column) && flagAt(held, i))
            statements.push_back(
                sqlf("REVOKE GRANT OPTION ON %s FROM %s", databaseTarget(database), account));
    statements.push_back(sqlf("REVOKE ALL PRIVILEGES ON %s FROM %s", databaseTarget(database), account));
    return statements;
}

std::string accountColumns(const ServerDialect& dialect) {
    std::string columns = "Host, User, ";
    columns += dialect.userHasPasswordColumn() ? "Password" : "'' AS Password";
    for (const auto& column : privilegeColumns(GrantTable::User))
        columns += std::string(", ") + column.column;
    return columns;
}

std::string notARoleCondition(const ServerDialect& dialect) {
    if (dialect.userHasRoleColumn())
        return "u.is_role <> 'Y'";
    // MySQL 8 keeps roles as locked accounts; what marks them is that they are granted to someone.
    if (!dialect.isMariaDb() && dialect.version() >= 80000)
        return "NOT EXISTS (SELECT 1 FROM mysql.role_edges r WHERE r.FROM_HOST = u.Host AND r.FROM_USER = "
               "u.User)";
    return {};
}

std::string accountRowsQuery(const ServerDialect& dialect) {
    std::string condition = notARoleCondition(dialect);
    return sqlf("select %s from mysql.user u%s", accountColumns(dialect),
                condition.empty() ? std::string() : " where " + condition);
}

std::string accountRowQuery(const Connection& connection, std::string_view host, std::string_view user) {
    return sqlf("select %s from mysql.user u where Host = '%s' AND User = '%s'",
                accountColumns(connection.dialect()), escapeValue(connection, host),
                escapeValue(connection, user));
}

std::vector<const char*> privilegeRowTables(const ServerDialect& dialect) {
    // Routine grants came with stored routines; an unknown version is a current server.
    if (dialect.version() != 0 && dialect.version() < 50000)
        return {"db", "tables_priv", "columns_priv"};
    return {"db", "tables_priv", "columns_priv", "procs_priv"};
}

namespace {
/// The rows of a user name at hosts where no account of that name exists.
std::string orphanCondition(const Connection& connection, std::string_view user) {
    const std::string name = escapeValue(connection, user);
    return sqlf("%s User = '%s' AND Host NOT IN (SELECT Host FROM mysql.user WHERE User = '%s')", "", name,
                name);
}
}  // namespace

std::string orphanGrantHostsQuery(const Connection& connection, std::string_view user) {
    const std::string condition = orphanCondition(connection, user);
    std::string sql;
    for (const char* table : privilegeRowTables(connection.dialect()))
        sql += sqlf("%sSELECT Host FROM mysql.%s WHERE%s", sql.empty() ? "" : " UNION ", table, condition);
    return sql + " ORDER BY Host";
}

std::vector<std::string> orphanGrantRowsDelete(const Connection& connection, std::string_view user) {
    const std::string condition = orphanCondition(connection, user);
    std::vector<std::string> statements;
    for (const char* table : privilegeRowTables(connection.dialect()))
        statements.push_back(sqlf("DELETE FROM mysql.%s where ", table) + condition);
    return statements;
}

}  // namespace velkin
