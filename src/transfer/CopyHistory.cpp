#include "CopyHistory.h"

#include "ColumnFormText.h"
#include "DatabaseCopyText.h"

namespace velkin {

CopyHistory::CopyHistory(Connection& destination, const CopyTable& to, bool sourceVersioned)
    : m_destination(destination), m_versioned(sourceVersioned) {
    if (!m_versioned)
        return;
    // The past rows go in only where the destination keeps a history too and lets a session write it.
    {
        Result result = destination.select(tableTypeQuery(destination, to.database, to.table));
        Row row = result.fetchRow();
        if (!row || tableKindFromType(row.text(0)) != TableKind::SystemVersioned)
            return;
    }
    {
        Result result = destination.select(insertHistoryQuery());
        Row row = result.fetchRow();
        if (!row)
            return;
        m_previous = row.str(0);
    }
    m_kept = destination.query(setInsertHistoryStatement(true)) == 0;
}

CopyHistory::~CopyHistory() {
    if (m_kept && m_previous != "1" && m_destination.isOpen())
        m_destination.query(setInsertHistoryStatement(false));
}

}  // namespace velkin
