#include "ColumnList.h"

#include "Connection.h"
#include "SqlText.h"

namespace velkin {

std::optional<std::vector<FieldLine>> readFieldLines(Connection& connection, std::string_view database,
                                                     std::string_view table) {
    Result rows = connection.select(showFieldsStatement(connection, database, table));
    if (!rows)
        return std::nullopt;
    std::vector<FieldLine> lines;
    while (Row row = rows.fetchRow()) {
        FieldLine line;
        line.cells.reserve(row.size());
        for (unsigned i = 0; i < row.size(); ++i)
            line.cells.push_back(row.value(i));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace velkin
