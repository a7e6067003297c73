#include "GrantStatements.h"

#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

std::string dbRowQuery(const Connection& connection, std::string_view database, std::string_view host,
                       std::string_view user) {
    return sqlf("select * from mysql.db where db = '%s' AND Host = '%s' AND User = '%s'",
                escapeValue(connection, database), escapeValue(connection, host),
                escapeValue(connection, user));
}

std::string dbRowDelete(const Connection& connection, std::string_view host, std::string_view database,
                        std::string_view user) {
    return "DELETE FROM mysql.db where " +
           sqlf("%s Host = '%s' AND Db = '%s' AND User = '%s'", "", escapeValue(connection, host),
                escapeValue(connection, database), escapeValue(connection, user));
}

std::string dbRowUpdate(const Connection& connection, const DbRowUpdateForm& form, const DatabaseEntry& from,
                        const DatabaseEntry& to, const std::vector<bool>& flags) {
    std::string set = sqlf("Host = '%s'", escapeValue(connection, to.host));
    if (form.setsDatabase)
        set += sqlf(",Db = '%s'", escapeValue(connection, to.database));
    if (form.setsUser)
        set += sqlf(",User = '%s'", escapeValue(connection, to.user));
    set += flagFragments(GrantTable::Db, flags);
    return sqlf(form.bareTable ? "UPDATE db SET %s where db = '%s' AND Host = '%s' AND User = '%s'"
                               : "UPDATE mysql.db SET %s where db = '%s' AND Host = '%s' AND User = '%s'",
                set, escapeValue(connection, from.database), escapeValue(connection, from.host),
                escapeValue(connection, from.user));
}

std::string dbRowInsert(const Connection& connection, const DatabaseEntry& entry) {
    return "INSERT INTO mysql.db SET " +
           sqlf("%s Host = '%s',Db = '%s',User = '%s'", "", escapeValue(connection, entry.host),
                escapeValue(connection, entry.database), escapeValue(connection, entry.user));
}

std::string emptyDbRowInsert(const Connection& connection, std::string_view database, std::string_view host,
                             std::string_view user) {
    return "INSERT INTO mysql.db "
           "(Host,Db,User,Select_priv,Insert_priv,Update_priv,Delete_priv,Create_priv,Drop_priv) "
           "VALUES" +
           sqlf("%s('%s','%s','%s','N','N','N','N','N','N')", "", escapeValue(connection, host),
                escapeValue(connection, database), escapeValue(connection, user));
}

std::string databaseDbRowsQuery(const Connection& connection, std::string_view database) {
    return sqlf("select * from mysql.db where Db = '%s'", escapeValue(connection, database));
}

std::string accountDbRowsQuery(const Connection& connection, std::string_view host, std::string_view user) {
    return sqlf("select * from mysql.db where User = '%s' AND Host = '%s'", escapeValue(connection, user),
                escapeValue(connection, host));
}

std::string allDbRowsQuery() {
    return "select * from db";
}

std::string hostRowQuery(const Connection& connection, std::string_view database, std::string_view host) {
    return sqlf("select * from mysql.host where db = '%s' AND Host = '%s'", escapeValue(connection, database),
                escapeValue(connection, host));
}

std::string hostRowUpdate(const Connection& connection, std::string_view newHost,
                          const std::vector<bool>& flags, std::string_view database, std::string_view host) {
    std::string set =
        sqlf("Host = '%s'", escapeValue(connection, newHost)) + flagFragments(GrantTable::Host, flags);
    return sqlf("UPDATE host SET %s where db = '%s' AND Host = '%s'", set, escapeValue(connection, database),
                escapeValue(connection, host));
}

std::string hostRowDelete(const Connection& connection, std::string_view host, std::string_view database) {
    return "DELETE FROM mysql.host where " + sqlf("%s Host = '%s' AND Db = '%s'", "",
                                                  escapeValue(connection, host),
                                                  escapeValue(connection, database));
}

std::string hostRowInsert(const Connection& connection, std::string_view host, std::string_view database) {
    return "INSERT INTO mysql.host SET " + sqlf("%s Host = '%s',Db = '%s'", "", escapeValue(connection, host),
                                                escapeValue(connection, database));
}

std::string databaseHostRowsQuery(const Connection& connection, std::string_view database) {
    return sqlf("select * from mysql.host where Db = '%s'", escapeValue(connection, database));
}

std::string allHostRowsQuery() {
    return "select * from host";
}

std::string everyHostRowQuery() {
    return "select * from mysql.host";
}

}  // namespace velkin
