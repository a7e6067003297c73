#include "CLeftView.h"

#include <QSet>

#include "ObjectTreeText.h"
#include "ViewHost.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

std::optional<QStringList> tableNames(Connection& connection, const std::string& database) {
    if (!connection.selectDb(database))
        return std::nullopt;
    Result result = connection.listTables("%");
    if (!result)
        return std::nullopt;
    QStringList tables;
    while (Row row = result.fetchRow())
        tables << QString::fromUtf8(row.text(0).data(), static_cast<qsizetype>(row.text(0).size()));
    return tables;
}

void CLeftView::bringTablesUpToDate() {
    Connection* c = connection();
    if (!c || !m_databaseRoot)
        return;
    QTreeWidgetItem* lostSelection = nullptr;
    const bool wasReady = m_ready;
    m_ready = false;
    for (int d = 0; d < m_databaseRoot->childCount(); ++d) {
        QTreeWidgetItem* database = m_databaseRoot->child(d);
        // Only databases whose tables were listed are brought up to date; the others list theirs
        // when they are opened.
        if (database->childCount() == 0)
            continue;
        const std::optional<QStringList> listed =
            besideWindow(*c, [c, name = u8(database->text(0))] { return tableNames(*c, name); });
        if (!listed)
            continue;
        const QSet<QString> tables(listed->begin(), listed->end());
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
        for (const QString& table : namesNotIn(*listed, present))
            insertNode(database, table, kTableNodeKind);
    }
    // The session goes on working in the database it had chosen.
    if (m_doc.selection().hasDatabase())
        besideWindow(*c, [c, name = u8(m_doc.selection().database)] { c->selectDb(name); });
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
