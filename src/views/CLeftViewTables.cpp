#include "CLeftView.h"

#include "ObjectTreeText.h"
#include "ViewHost.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {
/// The screens after which a database may hold other tables than its node shows.
bool changesTables(Command command) {
    switch (command) {
        case Command::SqlExecution:
        case Command::ImportCsv:
        case Command::DatabaseDuplicate:
        case Command::DuplicateFromOtherServers:
        case Command::TableDuplicate:
            return true;
        default:
            return false;
    }
}
}  // namespace

void CLeftView::bringTablesUpToDate(Command command) {
    Connection* c = connection();
    if (!changesTables(command) || !c || !m_databaseRoot)
        return;
    QTreeWidgetItem* lostSelection = nullptr;
    const bool wasReady = m_ready;
    m_ready = false;
    for (int d = 0; d < m_databaseRoot->childCount(); ++d) {
        QTreeWidgetItem* database = m_databaseRoot->child(d);
        // Only databases whose tables were listed are brought up to date; the others list theirs
        // when they are opened.
        if (database->childCount() == 0 || !c->selectDb(u8(database->text(0))))
            continue;
        Result result = c->listTables("%");
        if (!result)
            continue;
        QStringList tables;
        while (Row row = result.fetchRow())
            tables << qs(row.text(0));
        result.reset();
        QStringList present;
        for (int i = database->childCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* node = database->child(i);
            if (kindOf(node) != kTableNodeKind)
                continue;
            if (tables.contains(node->text(0))) {
                present << node->text(0);
                continue;
            }
            if (node == currentItem() || node == m_lastSelected)
                lostSelection = database;
            if (m_lastSelected == node)
                m_lastSelected = nullptr;
            delete node;
        }
        for (const QString& table : namesNotIn(tables, present))
            insertNode(database, table, kTableNodeKind);
    }
    // The session goes on working in the database it had chosen.
    if (!m_doc.currentDb().isEmpty())
        c->selectDb(u8(m_doc.currentDb()));
    showLockedTable();
    m_ready = wasReady;
    if (lostSelection) {
        // The table shown is gone: its database takes the selection, as after a drop.
        setCurrentItem(lostSelection);
        nodeSelected(lostSelection);
        return;
    }
    restoreHighlight();
    if (!m_host.recordList())
        m_host.updateAllViews();
}

}  // namespace velkin
