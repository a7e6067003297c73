#include "TableDump.h"

#include "CopyStatements.h"
#include "CopyText.h"
#include "RowCopy.h"
#include "RowStream.h"
#include "TextModeFile.h"
#include "TransferMessages.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Statements of many rows reload far faster than one per row; this size keeps each well inside
/// the packet limit of every server and client.
constexpr std::size_t kDumpStatementBytes = 1 << 20;

std::string sessionCharacterSet(Connection& connection) {
    Result result = connection.select(characterSetQuery());
    Row row = result.fetchRow();
    // Results sent unconverted are bytes as stored; "binary" reads them back the same way.
    return row && !row.isNull(0) ? row.str(0) : std::string("binary");
}

}  // namespace

DumpOutcome dumpTable(Connection& connection, std::string_view database, std::string_view table,
                      const std::string& path, const std::function<void(long long)>& progress) {
    DumpOutcome outcome;
    TextModeFile file;
    if (!file.open(path))
        return outcome;
    outcome.opened = true;
    UtcSession zone(connection);
    const bool noBackslashEscapes = connection.noBackslashEscapes();
    file.write(dumpHeader(sessionCharacterSet(connection), noBackslashEscapes));
    const std::string name = qualifiedName(connection, database, table);
    if (Result create = connection.select(showCreateStatement(name))) {
        if (Row row = create.fetchRow()) {
            file.write(
                qualifiedCreate(row.text(1), quoteName(connection, database), quoteName(connection, table)));
            file.write(";\n");
        }
    }

    RowStream rows(connection);
    bool rowsWritten = false;
    std::string readError;
    if (rows.open(readAllStatement(name))) {
        const std::string head = insertHead(name, columnList(rows.fieldNames(), connection.dialect()));
        std::string statement;
        statement.reserve(kDumpStatementBytes + (1 << 16));
        std::string values;
        long long inStatement = 0;
        auto flush = [&] {
            if (inStatement == 0)
                return true;
            statement += ";\n";
            // The reload goes fast only with what the prologue sets; a table without rows needs none.
            if (!rowsWritten)
                file.write(dumpRowsPrologue(name));
            rowsWritten = true;
            const bool ok = file.write(statement);
            if (ok)
                outcome.rows += inStatement;
            statement.clear();
            inStatement = 0;
            return ok;
        };
        long long read = 0;
        while (Row row = rows.next()) {
            values.clear();
            appendDumpRowValues(values, row, connection, noBackslashEscapes);
            if (inStatement > 0 && statement.size() + 1 + values.size() > kDumpStatementBytes && !flush())
                break;
            statement += inStatement == 0 ? head : std::string(",");
            statement += values;
            ++inStatement;
            if (++read % kCopyBlockRows == 0 && progress)
                progress(read);
        }
        if (!file.failed() && rows.failed())
            readError = connection.errorLine();
        // Rows that arrived before a read broke off are sound and belong in the file.
        flush();
        if (read % kCopyBlockRows != 0 && progress)
            progress(read);
    } else if (connection.errorNumber() != 0) {
        readError = connection.errorLine();
    }
    rows.close();
    if (rowsWritten)
        file.write(dumpRowsEpilogue(name));
    if (!file.close())
        outcome.failure = dumpWriteFailedText(outcome.rows, file.errorText());
    else if (!readError.empty())
        outcome.failure = dumpReadBrokenText(outcome.rows, readError);
    return outcome;
}

}  // namespace velkin
