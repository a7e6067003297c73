#include "CLeftView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/Pictures.h"
#include "monitor/DataAmountDialog.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/DatabaseListDialog.h"
#include "privileges/HostListDialog.h"
#include "privileges/UserListDialog.h"
#include "schema/CreateDatabaseDialog.h"
#include "schema/CreateTableDialog.h"
#include "schema/RenameTableDialog.h"
#include "schema/TableEditorDialog.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/DatabaseDuplicateDialog.h"
#include "transfer/DuplicateFromOtherServersDialog.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/TableDuplicateDialog.h"
#include "transfer/CsvImportDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "ViewHost.h"
#include "session/CSorvaneDoc.h"
#include "session/FlagScope.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// A node keeps its picture kind in its data and sorts among its siblings by label.
class TreeNode : public QTreeWidgetItem {
public:
    TreeNode(const QString& label, int kind, const QIcon& icon) : QTreeWidgetItem(UserType) {
        setText(0, label);
        setData(0, Qt::UserRole, kind);
        setIcon(0, icon);
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        return nodeSortsBefore(text(0), other.text(0));
    }
};

bool hasLaterSibling(const QTreeWidget& tree, QTreeWidgetItem* node) {
    if (QTreeWidgetItem* parent = node->parent())
        return parent->indexOfChild(node) + 1 < parent->childCount();
    return tree.indexOfTopLevelItem(node) + 1 < tree.topLevelItemCount();
}

QString failureText(const Connection& c) {
    return textf("It failed in deletion.\n%d:%s", c.errorNumber(), c.errorText());
}

}  // namespace

CLeftView::CLeftView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent)
    : QTreeWidget(parent),
      m_doc(doc),
      m_op(op),
      m_host(host),
      m_keepAlive(
          doc, [this] { initialUpdate(); }, this),
      m_commands(doc, op, this),
      m_icons{treeIcon(kDatabaseNodeKind), treeIcon(kTableNodeKind), treeIcon(kManagementNodeKind)} {
    setObjectName(QStringLiteral("CLeftView"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this, &CLeftView::nodeSelected);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &CLeftView::nodeDoubleClicked);
}

// ---- Filling ------------------------------------------------------------------------------

void CLeftView::initialUpdate() {
    // One login at a time, whatever asks for it while the login dialog is up.
    if (m_updating || m_doc.isLoggingIn())
        return;
    FlagScope updating(m_updating);
    WaitCursor wait(m_op);
    m_ready = false;
    m_keepAlive.stop();
    const bool renewal = m_loggedIn;
    m_doc.Connect();
    m_loggedIn = true;
    m_doc.m_currentPage = 0;
    // The new login may be to another server: nothing chosen before stands for anything on it.
    m_doc.m_currentDb.clear();
    m_doc.m_currentTable.clear();
    m_doc.m_selectedText.clear();
    m_doc.m_nodeKind = 0;
    m_doc.m_filterActive = 0;

    // A screen that was open during the login may still hold a node of the old tree.
    ++m_generation;
    clear();
    m_lastSelected = nullptr;
    m_databaseRoot = nullptr;
    if (m_doc.m_adminFlag == 1) {
        QTreeWidgetItem* management = insertNode(nullptr, treelabel::managementRoot(), kDatabaseNodeKind);
        insertNode(management, treelabel::users(), kManagementNodeKind);
        insertNode(management, treelabel::hosts(), kManagementNodeKind);
        insertNode(management, treelabel::databases(), kManagementNodeKind);
    }
    m_databaseRoot = insertNode(nullptr, treelabel::databaseRoot(), kDatabaseNodeKind);
    listDatabases();
    restoreHighlight();
    // The right pane of the earlier session describes what this login may not even see: it shows
    // the new account's databases, drawn afresh, with nothing selected.
    if (renewal) {
        m_doc.m_chartKind = 0;
        m_host.showChartView();
    }
    m_keepAlive.start();
}

void CLeftView::listDatabases() {
    Connection* c = connection();
    // After a failed login there is nothing to ask; the roots stay and the keep-alive check
    // soon offers a new login.
    if (!c)
        return;
    Result databases = c->listDbs();
    if (!databases) {
        m_op.inform(qs(c->errorText()));
        return;
    }
    while (Row row = databases.fetchRow())
        insertNode(m_databaseRoot, qs(row.text(0)), kDatabaseNodeKind);
    databases.reset();
    m_ready = true;
}

void CLeftView::listTables(QTreeWidgetItem* database) {
    Connection* c = connection();
    // A database that cannot be opened (dropped meanwhile, or out of reach) keeps the nodes it
    // has and still gets its chart; a message would only interrupt browsing.
    if (!c || !c->selectDb(u8(database->text(0))))
        return;
    Result result = c->listTables("%");
    if (!result)
        return;
    QStringList tables;
    while (Row row = result.fetchRow())
        tables << qs(row.text(0));
    result.reset();
    fillTables(database, tables);
}

void CLeftView::fillTables(QTreeWidgetItem* database, const QStringList& tables) {
    const bool firstListing = database->childCount() == 0;
    QStringList present;
    for (int i = 0; i < database->childCount(); ++i)
        if (kindOf(database->child(i)) == kTableNodeKind)
            present << database->child(i)->text(0);
    // Tables dropped since stay: the tree only ever learns of new ones here.
    for (const QString& table : namesNotIn(tables, present))
        insertNode(database, table, kTableNodeKind);
    showLockedTable();
    if (firstListing && m_doc.m_adminFlag == 1 && database->text(0) != systemDatabase()) {
        insertNode(database, treelabel::accessRestrictions(), kManagementNodeKind);
        insertNode(database, treelabel::userRestrictions(), kManagementNodeKind);
    }
    restoreHighlight();
}

QTreeWidgetItem* CLeftView::insertNode(QTreeWidgetItem* parent, const QString& label, int kind) {
    auto* node = new TreeNode(label, kind, m_icons.at(kind / 2));
    const int count = parent ? parent->childCount() : topLevelItemCount();
    auto at = [&](int i) { return parent ? parent->child(i) : topLevelItem(i); };
    int low = 0, high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (nodeSortsBefore(at(middle)->text(0), label))
            low = middle + 1;
        else
            high = middle;
    }
    if (parent) {
        parent->insertChild(low, node);
        parent->setExpanded(true);
    } else {
        insertTopLevelItem(low, node);
    }
    return node;
}

QTreeWidgetItem* CLeftView::insertAndSelect(QTreeWidgetItem* parent, const QStringList& labels, int kind) {
    const bool wasReady = m_ready;
    m_ready = false;
    QTreeWidgetItem* last = nullptr;
    for (const QString& label : labels)
        last = insertNode(parent, label, kind);
    if (last)
        setCurrentItem(last);
    m_ready = wasReady;
    // The highlight stands on the new node; the session has to describe it as well.
    if (last)
        nodeSelected(last);
    return last;
}

void CLeftView::restoreHighlight() {
    const bool wasReady = m_ready;
    m_ready = false;
    if (m_lastSelected) {
        setCurrentItem(m_lastSelected);
    } else {
        setCurrentItem(nullptr);
        clearSelection();
    }
    m_ready = wasReady;
}

void CLeftView::removeNode(QTreeWidgetItem* node) {
    QTreeWidgetItem* parent = node->parent();
    const bool wasReady = m_ready;
    m_ready = false;
    if (m_lastSelected == node)
        m_lastSelected = nullptr;
    delete node;
    if (parent)
        setCurrentItem(parent);
    m_ready = wasReady;
    // The node that held the dropped object takes the selection, so that the session and the right
    // pane never go on describing what is gone.
    if (parent)
        nodeSelected(parent);
}

void CLeftView::renameNode(QTreeWidgetItem* node, const QString& label) {
    node->setText(0, label);
    if (QTreeWidgetItem* parent = node->parent())
        parent->sortChildren(0, Qt::AscendingOrder);
    if (node != m_lastSelected)
        return;
    m_doc.m_selectedText = label;
    if (depthOf(node) == 2 && kindOf(node) == kTableNodeKind)
        m_doc.m_currentTable = label;
}

QTreeWidgetItem* CLeftView::addDatabaseNode(const QString& name) {
    if (!m_databaseRoot)
        return nullptr;
    if (QTreeWidgetItem* existing = databaseNode(name)) {
        setCurrentItem(existing);
        return existing;
    }
    return insertAndSelect(m_databaseRoot, {name}, kDatabaseNodeKind);
}

QTreeWidgetItem* CLeftView::addTableNode(QTreeWidgetItem* database, const QString& name) {
    if (!database)
        return nullptr;
    return insertAndSelect(database, {name}, kTableNodeKind);
}

QTreeWidgetItem* CLeftView::databaseNode(const QString& name) const {
    if (!m_databaseRoot)
        return nullptr;
    for (int i = 0; i < m_databaseRoot->childCount(); ++i)
        if (m_databaseRoot->child(i)->text(0) == name)
            return m_databaseRoot->child(i);
    return nullptr;
}

int CLeftView::kindOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, Qt::UserRole).toInt() : -1;
}

int CLeftView::depthOf(const QTreeWidgetItem* node) {
    int depth = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent())
        ++depth;
    return depth;
}

Connection* CLeftView::connection() const {
    return m_doc.isConnected() ? m_doc.connection() : nullptr;
}

// ---- Selection ----------------------------------------------------------------------------

void CLeftView::nodeSelected(QTreeWidgetItem* node) {
    if (!m_ready || !node)
        return;
    m_ready = false;
    m_doc.m_currentPage = 0;
    m_doc.m_filterActive = 0;

    m_lastSelected = node;
    const int depth = depthOf(node);
    const int kind = kindOf(node);
    const QString label = node->text(0);
    m_doc.m_selectedText = label;
    m_doc.m_nodeKind = kind;
    const std::optional<int> chartKind = chartKindFor(depth, kind, label);

    // The session is brought up to date before the right pane is made anew, because the new view
    // draws from it at once.
    if (depth == 0) {
        m_doc.m_chartKind = *chartKind;
        m_host.showChartView();
    } else if (depth == 1) {
        if (kind != kManagementNodeKind) {
            m_doc.m_currentDb = label;
            m_doc.m_currentTable.clear();
            listTables(node);
        }
        m_doc.m_chartKind = *chartKind;
        m_host.showChartView();
    } else {
        m_doc.m_currentDb = node->parent()->text(0);
        m_doc.m_currentTable = label;
        if (kind == kTableNodeKind) {
            m_host.showRecordList();
        } else {
            if (chartKind)
                m_doc.m_chartKind = *chartKind;
            m_doc.m_currentTable.clear();
            m_host.showChartView();
        }
    }

    m_host.updateAllViews();
    m_ready = true;
}

void CLeftView::nodeDoubleClicked(QTreeWidgetItem* node) {
    if (!node)
        return;
    const int depth = depthOf(node);
    const int kind = kindOf(node);
    const QString label = node->text(0);
    if (depth == 2 && kind == kTableNodeKind) {
        const unsigned generation = m_generation;
        const std::optional<QString> name = openTableEditor(node->parent()->text(0), label);
        if (name && *name != label && generation == m_generation)
            renameNode(node, *name);
    } else if (depth == 2 && kind == kManagementNodeKind && m_doc.m_adminFlag == 1) {
        const QString database = node->parent()->text(0);
        if (label == treelabel::userRestrictions()) {
            openDatabasePrivileges(database);
            m_host.showChartView();
        } else if (label == treelabel::accessRestrictions()) {
            openAccessRestrictions(database);
            m_host.showChartView();
        }
    } else if (depth == 1 && kind == kManagementNodeKind) {
        if (label == treelabel::users())
            openUserList();
        else if (label == treelabel::hosts())
            openHostList();
        else if (label == treelabel::databases())
            openDatabaseList();
    }
}

// ---- Mouse, keys and the context menu -----------------------------------------------------

std::vector<MenuEntry> CLeftView::contextMenuEntries() const {
    if (!m_lastSelected)
        return treeContextMenu(std::nullopt);
    return treeContextMenu(
        TreeNodePlace{depthOf(m_lastSelected), kindOf(m_lastSelected), m_lastSelected->childCount() > 0});
}

void CLeftView::fillContextMenu(QMenu& menu) {
    for (const MenuEntry& entry : contextMenuEntries()) {
        if (entry.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        const Command command = *entry.command;
        QAction* action = menu.addAction(QString::fromUtf8(commandLabel(command)));
        action->setObjectName(action->text());
        action->setEnabled(entry.enabled);
        connect(action, &QAction::triggered, this, [this, command] { execute(command); });
    }
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("Config(&G)"));
    fillContextMenu(menu);
    menu.exec(event->globalPos());
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
    // The right button only opens the context menu; the commands act on the selected node, so
    // the press must not move the selection to the node under the mouse.
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CLeftView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    QTreeWidgetItem* node = itemFromIndex(index);
    if (!node)
        return;
    const int indent = indentation();
    const int depth = depthOf(node);
    const int middle = rect.center().y();
    auto lineX = [&](int level) { return rect.left() + level * indent + indent / 2; };

    painter->save();
    painter->setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
    const int x = lineX(depth);
    const bool firstRoot = !node->parent() && indexOfTopLevelItem(node) == 0;
    painter->drawLine(x, firstRoot ? middle : rect.top(), x,
                      hasLaterSibling(*this, node) ? rect.bottom() : middle);
    painter->drawLine(x, middle, rect.left() + (depth + 1) * indent - 2, middle);
    int level = depth - 1;
    for (QTreeWidgetItem* a = node->parent(); a; a = a->parent(), --level)
        if (hasLaterSibling(*this, a))
            painter->drawLine(lineX(level), rect.top(), lineX(level), rect.bottom());

    if (node->childCount() > 0) {
        const QRect box(x - 4, middle - 4, 8, 8);
        painter->setPen(palette().color(QPalette::Dark));
        painter->setBrush(palette().color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(box.left() + 2, middle, box.right() - 2, middle);
        if (!node->isExpanded())
            painter->drawLine(x, box.top() + 2, x, box.bottom() - 2);
    }
    painter->restore();
}

void CLeftView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        execute(Command::Delete);
        return;
    }
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        execute(Command::TableNewCreation);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// ---- Commands -----------------------------------------------------------------------------

void CLeftView::execute(Command command) {
    const QString& db = m_doc.m_currentDb;
    const QString& table = m_doc.m_currentTable;
    switch (command) {
        case Command::Delete:
            deleteSelected();
            break;
        case Command::TableLock:
            lockTable();
            break;
        case Command::TableUnlock:
            unlockTable();
            break;
        case Command::TableOptimize:
            optimizeTable();
            break;
        case Command::SqlExecution:
            executeSql();
            break;
        case Command::DatabaseCreation:
            createDatabase();
            break;
        case Command::TableNewCreation:
            createTable();
            break;
        case Command::TableNameChange:
            renameTable();
            break;
        case Command::ExportCsv:
            exportCsv();
            break;
        case Command::ImportCsv:
            openCsvImport();
            break;
        case Command::TableEdit:
            editTable();
            break;
        case Command::DatabaseDuplicate:
            duplicateDatabase();
            break;
        case Command::TableDuplicate:
            if (hasCurrentTable())
                openTableCopy(db, table);
            break;
        case Command::Maintenance:
            if (hasCurrentTable())
                openMaintenance(db, table);
            break;
        case Command::DataAmount:
            if (hasCurrentTable())
                openDataAmount(db, table);
            break;
        case Command::DuplicateFromOtherServers:
            openCopyFromOtherServers();
            break;
        default:
            m_commands.execute(command);
            break;
    }
}

// ---- Screens -------------------------------------------------------------------------------

namespace {
/// Runs a dialog made on the session's connection; false when there is no connection.
template <typename Dialog, typename... Args>
bool runOnSession(CSorvaneDoc& doc, Operator& op, QWidget* parent, Args&&... args) {
    Connection* connection = doc.connection();
    if (!connection)
        return false;
    Dialog dialog(*connection, op, std::forward<Args>(args)..., parent);
    op.runModal(dialog);
    return true;
}
}  // namespace

void CLeftView::openDataAmount(const QString& database, const QString& table) {
    runOnSession<DataAmountDialog>(m_doc, m_op, this, database, table);
}

std::optional<QString> CLeftView::openCreateDatabase() {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    CreateDatabaseDialog dialog(*connection, m_op, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.databaseName();
}

std::optional<QString> CLeftView::openCreateTable(const QString& database) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    CreateTableDialog dialog(*connection, m_op, database, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.tableName();
}

std::optional<QString> CLeftView::openRenameTable(const QString& database, const QString& table) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    RenameTableDialog dialog(*connection, m_op, database, table, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.tableName();
}

std::optional<QString> CLeftView::openTableEditor(const QString& database, const QString& table) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    TableEditorDialog editor(*connection, m_op, database, table, this);
    editor.setDataAmountAction([this, connection](QWidget* parent, const QString& db, const QString& t) {
        DataAmountDialog amount(*connection, m_op, db, t, parent);
        m_op.runModal(amount);
    });
    editor.setMaintenanceAction([this, connection](QWidget* parent, const QString& db, const QString& t) {
        MaintenanceDialog maintenance(*connection, m_op, db, t, QString(), QString(), QString(), parent);
        m_op.runModal(maintenance);
    });
    editor.setDuplicationAction([this, connection](QWidget* parent, const QString& db, const QString& t) {
        TableDuplicateDialog copy(*connection, m_op, m_doc.loginValues(), db, t, parent);
        m_op.runModal(copy);
    });
    m_op.runModal(editor);
    return editor.tableName();
}

void CLeftView::openTableCopy(const QString& database, const QString& table) {
    runOnSession<TableDuplicateDialog>(m_doc, m_op, this, m_doc.loginValues(), database, table);
}

std::optional<QString> CLeftView::openDatabaseCopy(const QString& database, const QString&) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    DatabaseDuplicateDialog dialog(*connection, m_op, m_doc.loginValues(), database, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.newDatabase();
}

void CLeftView::openMaintenance(const QString& database, const QString& table) {
    runOnSession<MaintenanceDialog>(m_doc, m_op, this, database, table, m_doc.m_workingDirectory, m_doc.m_loginName,
                                    m_doc.m_hostName);
}

void CLeftView::openCopyFromOtherServers() { runOnSession<DuplicateFromOtherServersDialog>(m_doc, m_op, this); }

void CLeftView::openCsvExport(const QString& statement) {
    runOnSession<CsvExportDialog>(m_doc, m_op, this, statement);
}

void CLeftView::openCsvImport() { runOnSession<CsvImportDialog>(m_doc, m_op, this); }

void CLeftView::openSqlConsole() { runOnSession<SqlConsoleDialog>(m_doc, m_op, this); }

void CLeftView::openDatabasePrivileges(const QString& database) {
    runOnSession<DatabaseDialog>(m_doc, m_op, this, database);
}

void CLeftView::openAccessRestrictions(const QString& database) {
    runOnSession<AccessRestrictionDialog>(m_doc, m_op, this, database);
}

void CLeftView::openUserList() { runOnSession<UserListDialog>(m_doc, m_op, this); }

void CLeftView::openHostList() { runOnSession<HostListDialog>(m_doc, m_op, this); }

void CLeftView::openDatabaseList() { runOnSession<DatabaseListDialog>(m_doc, m_op, this); }

bool CLeftView::hasCurrentTable() const {
    return !m_doc.m_currentDb.isEmpty() && !m_doc.m_currentTable.isEmpty();
}

void CLeftView::deleteSelected() {
    QTreeWidgetItem* node = m_lastSelected;
    if (!node)
        return;
    const int depth = depthOf(node);
    const int kind = kindOf(node);
    if (depth == 1 && kind == kDatabaseNodeKind)
        dropDatabase(node);
    else if (depth == 2 && kind == kTableNodeKind)
        dropTable(node);
}

void CLeftView::dropDatabase(QTreeWidgetItem* node) {
    const QString name = node->text(0);
    if (name == systemDatabase()) {
        m_op.inform(QStringLiteral("This database cannot be deleted."));
        return;
    }
    Connection* c = connection();
    if (!c)
        return;
    const unsigned generation = m_generation;
    // A new login while the question was up leaves nothing of what was asked about.
    if (!m_op.ask(textf("May I delete %s truly?", u8(name))) || generation != m_generation)
        return;
    if (c->query(dropDatabaseStatement(c->dialect(), u8(name))) != 0) {
        m_op.inform(failureText(*c));
        return;
    }
    removeNode(node);
    m_op.inform(QStringLiteral("The database was deleted."));
}

void CLeftView::dropTable(QTreeWidgetItem* node) {
    const QString database = node->parent()->text(0);
    const QString table = node->text(0);
    if (database == systemDatabase()) {
        m_op.inform(QStringLiteral("The table in mysql database cannot be deleted."));
        return;
    }
    Connection* c = connection();
    if (!c)
        return;
    const unsigned generation = m_generation;
    if (!m_op.ask(textf("May I delete %s truly?", u8(table))) || generation != m_generation)
        return;
    // The statement names the table alone; sent in whatever database happens to be selected, it
    // would drop a namesake there.
    if (!c->selectDb(u8(database)) || c->query(dropTableStatement(c->dialect(), u8(table))) != 0) {
        m_op.inform(failureText(*c));
        return;
    }
    removeNode(node);
    m_op.inform(QStringLiteral("The table was deleted."));
}

void CLeftView::lockTable() {
    if (m_doc.m_currentTable.isEmpty()) {
        m_op.inform(QStringLiteral("A table is chosen."));
        return;
    }
    Connection* c = connection();
    if (!c)
        return;
    if (c->query(lockTableStatement(c->dialect(), u8(m_doc.m_currentDb), u8(m_doc.m_currentTable))) != 0) {
        m_op.inform(textf("The table was not locked.\n%d:%s", c->errorNumber(), c->errorText()));
        return;
    }
    m_lock = {m_doc.m_currentDb, m_doc.m_currentTable, c->threadId()};
    showLockedTable();
    // A session that holds a lock can read only the tables it locked: every other table answers
    // with an error until the lock is released, which the operator has to know to make sense of it.
    m_op.inform(QStringLiteral(
        "The table lock was performed.!!\n(This table cannot do writing from other processes.)\n"
        "Other tables cannot be read until \"Lock release of a table\" (Unlock)."));
}

void CLeftView::unlockTable() {
    Connection* c = connection();
    if (!c)
        return;
    c->query(kUnlockTablesStatement);
    m_lock = {};
    showLockedTable();
    m_op.inform(QStringLiteral("The table lock was carried out now."));
}

bool CLeftView::isLockedNode(const QTreeWidgetItem* node) const {
    const Connection* c = connection();
    // A lock belongs to the session that took it; a new login holds none.
    return node && !m_lock.table.isEmpty() && c && c->threadId() == m_lock.thread &&
           kindOf(node) == kTableNodeKind && node->parent() && node->parent()->text(0) == m_lock.database &&
           node->text(0) == m_lock.table;
}

void CLeftView::showLockedTable() {
    for (int d = 0; m_databaseRoot && d < m_databaseRoot->childCount(); ++d) {
        QTreeWidgetItem* database = m_databaseRoot->child(d);
        for (int t = 0; t < database->childCount(); ++t) {
            QTreeWidgetItem* node = database->child(t);
            const bool locked = isLockedNode(node);
            QFont font = node->font(0);
            if (font.bold() == locked && font.italic() == locked)
                continue;
            font.setBold(locked);
            font.setItalic(locked);
            node->setFont(0, font);
            node->setToolTip(
                0,
                locked
                    ? QStringLiteral(
                          "Locked: other tables cannot be read until \"Lock release of a table\" (Unlock).")
                    : QString());
        }
    }
}

void CLeftView::optimizeTable() {
    Connection* c = connection();
    if (!c)
        return;
    const std::string statement =
        optimizeTableStatement(c->dialect(), u8(m_doc.m_currentDb), u8(m_doc.m_currentTable));
    {
        WaitCursor wait(m_op);
        // OPTIMIZE answers with rows; left unread they would block every later statement on the
        // session's connection.
        if (c->query(statement) == 0)
            c->storeResult();
    }
    m_op.inform(QStringLiteral("The table was optimized."));
}

std::optional<QStringList> CLeftView::showDatabases(int limit) {
    Connection* c = connection();
    if (!c)
        return std::nullopt;
    Result result = c->select(kShowDatabasesStatement);
    if (!result)
        return std::nullopt;
    QStringList names;
    while (Row row = result.fetchRow()) {
        if (limit >= 0 && names.size() >= limit)
            break;
        names << qs(row.text(0));
    }
    return names;
}

void CLeftView::executeSql() {
    const std::optional<QStringList> before = showDatabases(kMaxRememberedNames);
    openSqlConsole();
    if (!before || !m_databaseRoot)
        return;
    const std::optional<QStringList> after = showDatabases(-1);
    if (!after)
        return;
    QStringList shown;
    for (int i = 0; i < m_databaseRoot->childCount(); ++i)
        shown << m_databaseRoot->child(i)->text(0);
    // Beyond the remembered names a database may already have its node; it must not get a second.
    insertAndSelect(m_databaseRoot, namesNotIn(namesNotIn(*after, *before), shown), kDatabaseNodeKind);
}

void CLeftView::createDatabase() {
    if (const std::optional<QString> name = openCreateDatabase())
        addDatabaseNode(*name);
}

void CLeftView::createTable() {
    // A new table belongs under its database, also when a table is selected, never below that table.
    QTreeWidgetItem* node = m_lastSelected;
    QTreeWidgetItem* database = nullptr;
    if (depthOf(node) == 1 && kindOf(node) == kDatabaseNodeKind)
        database = node;
    else if (node && depthOf(node) == 2)
        database = node->parent();
    if (!database)
        return;
    const unsigned generation = m_generation;
    const std::optional<QString> name = openCreateTable(m_doc.m_currentDb);
    if (name && generation == m_generation)
        addTableNode(database, *name);
}

void CLeftView::renameTable() {
    if (!m_lastSelected || depthOf(m_lastSelected) != 2 || m_doc.m_currentTable.isEmpty())
        return;
    const unsigned generation = m_generation;
    const std::optional<QString> name = openRenameTable(m_doc.m_currentDb, m_doc.m_currentTable);
    if (name && generation == m_generation && m_lastSelected)
        renameNode(m_lastSelected, *name);
}

void CLeftView::exportCsv() {
    if (!hasCurrentTable())
        return;
    const Connection* c = connection();
    const ServerDialect dialect = c ? c->dialect() : ServerDialect();
    openCsvExport(qs(csvExportStatement(dialect, u8(m_doc.m_currentDb), u8(m_doc.m_currentTable))));
}

void CLeftView::editTable() {
    if (!hasCurrentTable())
        return;
    QTreeWidgetItem* node = m_lastSelected;
    const QString table = m_doc.m_currentTable;
    const unsigned generation = m_generation;
    const std::optional<QString> name = openTableEditor(m_doc.m_currentDb, table);
    if (name && *name != table && generation == m_generation && node == m_lastSelected &&
        kindOf(node) == kTableNodeKind)
        renameNode(node, *name);
}

void CLeftView::duplicateDatabase() {
    if (m_doc.m_currentDb.isEmpty())
        return;
    if (const std::optional<QString> name = openDatabaseCopy(m_doc.m_currentDb, m_doc.m_currentTable))
        addDatabaseNode(*name);
}

}  // namespace velkin
