#include "ServerColumns.h"

#include <algorithm>
#include <cctype>

#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    // Column names are compared without regard to case by every server.
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::optional<ServerColumn> find(Result& result, const std::string& field, bool defaultIsSql) {
    const std::vector<std::string> names = result.fieldNames();
    while (Row row = result.fetchRow()) {
        NamedCells cells;
        for (unsigned i = 0; i < names.size() && i < row.size(); ++i)
            cells[names[i]] = row.value(i);
        ServerColumn column = serverColumnFromCells(cells);
        if (sameName(column.name, field)) {
            column.defaultIsSql = defaultIsSql;
            return column;
        }
    }
    return std::nullopt;
}

}  // namespace

ValueQuoter valueQuoter(const Connection& connection) {
    return [&connection](std::string_view value) { return quoteValue(connection, value); };
}

std::optional<ServerColumn> readServerColumn(Connection& connection, const std::string& database,
                                             const std::string& table, const std::string& field) {
    if (Result result =
            connection.select(columnInfoStatement(database, table, field, valueQuoter(connection))))
        return find(result, field, defaultsAreSql(connection.dialect()));
    // Servers from before information_schema still describe a column this way, with bare defaults.
    if (Result result = connection.select(fullColumnsStatement(connection.dialect(), database, table, field)))
        return find(result, field, false);
    return std::nullopt;
}

}  // namespace velkin
