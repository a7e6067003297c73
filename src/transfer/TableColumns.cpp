#include "TableColumns.h"

#include "session/Connection.h"

namespace velkin {

TableColumns readTableColumns(Connection& connection, std::string_view database, std::string_view table) {
    TableColumns columns;
    if (Result kind = connection.select(tableTypeQuery(connection, database, table)))
        if (Row row = kind.fetchRow())
            columns.kind = tableKindFromType(row.text(0));
    if (Result rows = connection.select(tableColumnsQuery(connection, database, table)))
        while (Row row = rows.fetchRow())
            columns.columns.push_back(tableColumnFromRow(row));
    return columns;
}

std::vector<KeyColumnLine> readUniqueKeys(Connection& connection, std::string_view database,
                                          std::string_view table) {
    std::vector<KeyColumnLine> lines;
    Result result = connection.select(uniqueKeysQuery(connection, database, table));
    while (Row row = result.fetchRow())
        lines.push_back({row.str(0), row.str(1), row.str(2), row.text(3) == "1", row.text(4) == "1"});
    return lines;
}

}  // namespace velkin
