#include "CopyHistory.h"

#include "DatabaseCopyText.h"

namespace velkin {

namespace {

/// A versioned table's row start and row end columns: its own names, or the hidden ones the server
/// gives a table that names none.
std::optional<std::pair<std::string, std::string>> versioningColumns(Connection& connection,
                                                                     const CopyTable& table) {
    Result result = connection.select(versioningQuery(connection, table.database, table.table));
    Row row = result.fetchRow();
    if (!row || row.text(0) != "1")
        return std::nullopt;
    return std::make_pair(row.isNull(1) ? std::string("ROW_START") : row.str(1),
                          row.isNull(2) ? std::string("ROW_END") : row.str(2));
}

}  // namespace

CopyHistory::CopyHistory(Connection& source, const CopyTable& from, Connection& destination,
                         const CopyTable& to)
    : m_destination(destination) {
    const auto columns = versioningColumns(source, from);
    if (!columns)
        return;
    m_versioned = true;
    // The past rows go in only where the destination keeps a history too and lets a session write it.
    if (!versioningColumns(destination, to))
        return;
    {
        Result result = destination.select(insertHistoryQuery());
        Row row = result.fetchRow();
        if (!row)
            return;
        m_previous = row.str(0);
    }
    if (destination.query(setInsertHistoryStatement(true)) != 0)
        return;
    m_kept = true;
    m_rowStart = columns->first;
    m_rowEnd = columns->second;
}

CopyHistory::~CopyHistory() {
    if (m_kept && m_previous != "1" && m_destination.isOpen())
        m_destination.query(setInsertHistoryStatement(false));
}

}  // namespace velkin
