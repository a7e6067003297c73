#include "CsvText.h"

#include "session/SqlText.h"

namespace velkin {

std::string useDatabaseStatement(const Connection& connection, std::string_view database) {
    return sqlf("USE %s", quoteName(connection, database));
}

std::string firstWarningStatement() {
    return "SHOW WARNINGS LIMIT 1";
}

std::string rowCountStatement() {
    return "SELECT ROW_COUNT()";
}

std::string tableTransactionsQuery(const Connection& connection, std::string_view database,
                                   std::string_view table) {
    return sqlf(
        "SELECT e.TRANSACTIONS FROM information_schema.TABLES t JOIN information_schema.ENGINES e ON "
        "e.ENGINE = t.ENGINE WHERE t.TABLE_SCHEMA = '%s' AND t.TABLE_NAME = '%s'",
        escapeValue(connection, database), escapeValue(connection, table));
}

}  // namespace velkin
