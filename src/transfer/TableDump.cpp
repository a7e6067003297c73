#include "TableDump.h"

#include "CopyText.h"
#include "RowStream.h"
#include "TextModeFile.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

bool dumpTable(Connection& connection, std::string_view database, std::string_view table,
               const std::string& path, const std::function<void(long long)>& progress) {
    TextModeFile file;
    if (!file.open(path))
        return false;
    file.write("//Creation of a table\n");
    const std::string name = qualifiedName(connection, database, table);
    if (Result create = connection.select(showCreateStatement(name))) {
        if (Row row = create.fetchRow()) {
            file.write(row.text(1));
            file.write(";\n");
        }
    }

    RowStream rows(connection);
    if (!rows.open(readAllStatement(name)))
        return true;
    const std::string head = insertHead(name, columnList(rows.fieldNames(), connection.dialect()));
    std::string line;
    line.reserve(1 << 12);
    long long written = 0;
    while (Row row = rows.next()) {
        line.assign(head);
        appendRowValues(line, row, connection);
        line += ";\n";
        file.write(line);
        if (++written % kCopyBlockRows == 0 && progress)
            progress(written);
    }
    if (written % kCopyBlockRows != 0 && progress)
        progress(written);
    return true;
}

}  // namespace velkin
