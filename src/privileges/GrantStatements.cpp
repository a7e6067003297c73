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

}  // namespace velkin
