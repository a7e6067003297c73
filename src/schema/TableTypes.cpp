#include "TableTypes.h"

#include <utility>

#include "SchemaText.h"
#include "session/Connection.h"

namespace velkin {

namespace {

/// The first two values of every row; nothing when the statement gives no rows.
std::optional<std::vector<std::pair<std::string, std::string>>> pairs(Connection& connection,
                                                                      const char* sql) {
    Result result = connection.select(sql);
    if (!result)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> rows;
    while (Row row = result.fetchRow())
        rows.emplace_back(row.str(0), row.str(1));
    return rows;
}

}  // namespace

bool serverHasInnobase(Connection& connection) {
    const auto variables = pairs(connection, "SHOW VARIABLES");
    if (!variables)
        return false;
    if (const std::optional<bool> have = haveInnobase(*variables))
        return *have;
    // Current servers no longer report the variable; their engine list tells the same.
    const auto engines = pairs(connection, "SHOW ENGINES");
    return engines && innodbEngineAvailable(*engines);
}

std::vector<std::string> offeredTableTypes(Connection& connection) {
    return tableTypeChoices(serverHasInnobase(connection));
}

std::vector<std::string> serverTableTypes(Connection& connection) {
    if (const auto engines = pairs(connection, "SHOW ENGINES"))
        return tableTypesFromEngines(*engines);
    return offeredTableTypes(connection);
}

}  // namespace velkin
