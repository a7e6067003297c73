#include "CsvText.h"

#include "session/SqlText.h"

namespace velkin {

std::string useDatabaseStatement(const Connection& connection, std::string_view database) {
    return sqlf("USE %s", quoteName(connection, database));
}

std::string firstWarningStatement() {
    return "SHOW WARNINGS LIMIT 1";
}

}  // namespace velkin
