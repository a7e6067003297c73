#include "ConsoleNamesText.h"

#include "session/SqlText.h"

namespace velkin {

std::string currentDatabaseQuery() {
    return "SELECT DATABASE()";
}

std::string tableNamesStatement(const Connection& connection, std::string_view database) {
    return sqlf("SHOW TABLES FROM %s", quoteName(connection, database));
}

}  // namespace velkin
