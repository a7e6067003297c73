#include "CLeftView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "TreeBranches.h"
#include "ViewHost.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Pictures.h"

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

}  // namespace

CLeftView::CLeftView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent,
                     std::unique_ptr<ScreenDispatcher> screens)
    : QTreeWidget(parent),
      m_doc(doc),
      m_op(op),
      m_host(host),
      m_screens(screens ? std::move(screens) : std::make_unique<ScreenDispatcher>(doc, op)),
      m_commands(doc, op, *m_screens),
      m_icons{treeIcon(kDatabaseNodeKind), treeIcon(kTableNodeKind), treeIcon(kManagementNodeKind)} {
    setObjectName(QStringLiteral("CLeftView"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every node is one line: the view need not measure a hundred thousand of them.
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this, &CLeftView::nodeSelected);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &CLeftView::nodeDoubleClicked);
    m_screens->setParentWidget(this);
}

// ---- Filling ------------------------------------------------------------------------------

void CLeftView::leaveSession() {
    m_ready = false;
}

void CLeftView::rebuild(bool renewal) {
    m_ready = false;
    // A screen that was open during the login may still hold a node of the old tree.
    ++m_generation;
    clear();
    m_lastSelected = nullptr;
    m_databaseRoot = nullptr;
    if (m_doc.isAdmin()) {
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
        Selection server = m_doc.selection();
        server.chart = ChartKind::Server;
        m_doc.select(server);
        m_host.showChartView();
    }
}

void CLeftView::listDatabases() {
    Connection* c = connection();
    // After a failed login there is nothing to ask; the roots stay and the keep-alive check
    // soon offers a new login.
    if (!c)
        return;
    Result databases = besideWindow(*c, [c] { return c->listDbs(); });
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
    if (!c)
        return;
    const std::optional<QStringList> tables =
        besideWindow(*c, [c, name = u8(database->text(0))] { return tableNames(*c, name); });
    if (tables)
        fillTables(database, *tables);
}

void CLeftView::fillTables(QTreeWidgetItem* database, const QStringList& tables) {
    const bool firstListing = database->childCount() == 0;
    if (firstListing) {
        // A database of a hundred thousand tables gets its nodes in one go, sorted once, rather
        // than each put in its place among the others. A listing already in order, as servers
        // usually give it, is taken as it is.
        using Node = std::pair<QString, int>;
        const auto before = [](const Node& a, const Node& b) { return nodeSortsBefore(a.first, b.first); };
        const bool inOrder = inTreeOrder(tables);
        std::vector<Node> nodes;
        nodes.reserve(static_cast<std::size_t>(tables.size()) + 2);
        for (const QString& table : inOrder ? tables : namesNotIn(tables, {}))
            nodes.emplace_back(table, kTableNodeKind);
        if (!inOrder)
            std::sort(nodes.begin(), nodes.end(), before);
        if (m_doc.isAdmin() && database->text(0) != systemDatabase()) {
            for (const QString& label : {treelabel::accessRestrictions(), treelabel::userRestrictions()}) {
                Node node{label, kManagementNodeKind};
                nodes.insert(std::upper_bound(nodes.begin(), nodes.end(), node, before), std::move(node));
            }
        }
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(nodes.size()));
        for (const auto& [label, kind] : nodes)
            items << new TreeNode(label, kind, m_icons.at(kind / 2));
        database->addChildren(items);
        database->setExpanded(true);
    } else {
        QStringList present;
        for (int i = 0; i < database->childCount(); ++i)
            if (kindOf(database->child(i)) == kTableNodeKind)
                present << database->child(i)->text(0);
        // Tables dropped since stay: the tree only ever learns of new ones here.
        for (const QString& table : namesNotIn(tables, present))
            insertNode(database, table, kTableNodeKind);
    }
    showLockedTable();
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
    Selection chosen = m_doc.selection();
    chosen.label = label;
    if (depthOf(node) == 2 && kindOf(node) == kTableNodeKind)
        chosen.table = label;
    m_doc.select(chosen);
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

    m_lastSelected = node;
    const int depth = depthOf(node);
    const int kind = kindOf(node);
    const QString label = node->text(0);
    // A management node keeps the database chosen before it.
    Selection chosen = m_doc.selection();
    chosen.label = label;
    chosen.node = static_cast<NodeKind>(kind);
    const std::optional<ChartKind> chartKind = chartKindFor(depth, kind, label);

    // The session is brought up to date before the right pane is made anew, because the new view
    // takes its selection at once.
    if (depth == 0) {
        chosen.chart = *chartKind;
        m_doc.select(chosen);
        m_host.showChartView();
    } else if (depth == 1) {
        if (kind != kManagementNodeKind) {
            chosen.database = label;
            chosen.table.clear();
            m_doc.select(chosen);
            listTables(node);
        }
        chosen.chart = *chartKind;
        m_doc.select(chosen);
        m_host.showChartView();
    } else {
        chosen.database = node->parent()->text(0);
        chosen.table = label;
        if (kind == kTableNodeKind) {
            m_doc.select(chosen);
            m_host.showRecordList();
        } else {
            if (chartKind)
                chosen.chart = *chartKind;
            chosen.table.clear();
            m_doc.select(chosen);
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
        const std::optional<QString> name = m_screens->openTableEditor(node->parent()->text(0), label);
        if (name && *name != label && generation == m_generation)
            renameNode(node, *name);
    } else if (depth == 2 && kind == kManagementNodeKind && m_doc.isAdmin()) {
        const QString database = node->parent()->text(0);
        if (label == treelabel::userRestrictions()) {
            m_screens->openDatabasePrivileges(database);
            m_host.showChartView();
        } else if (label == treelabel::accessRestrictions()) {
            m_screens->openAccessRestrictions(database);
            m_host.showChartView();
        }
    } else if (depth == 1 && kind == kManagementNodeKind) {
        if (label == treelabel::users())
            m_screens->openUserList();
        else if (label == treelabel::hosts())
            m_screens->openHostList();
        else if (label == treelabel::databases())
            m_screens->openDatabaseList();
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
    if (QTreeWidgetItem* node = itemFromIndex(index))
        drawTreeBranches(*this, *painter, rect, *node);
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

Selection CLeftView::selection() const {
    return m_doc.selection();
}

CSorvaneView* CLeftView::recordListView() {
    return m_host.recordList();
}

// ---- What the commands change in the tree ----------------------------------------------

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
    const unsigned generation = m_generation;
    // A new login while the question was up leaves nothing of what was asked about.
    if (!m_commands.dropDatabase(node->text(0), [&] { return generation == m_generation; }))
        return;
    removeNode(node);
    m_op.inform(QStringLiteral("The database was deleted."));
}

void CLeftView::dropTable(QTreeWidgetItem* node) {
    const unsigned generation = m_generation;
    if (!m_commands.dropTable(node->parent()->text(0), node->text(0),
                              [&] { return generation == m_generation; }))
        return;
    removeNode(node);
    m_op.inform(QStringLiteral("The table was deleted."));
}

void CLeftView::lockTable() {
    const Selection chosen = m_doc.selection();
    const std::optional<unsigned long> thread = m_commands.lockTable(chosen);
    if (!thread)
        return;
    m_lock = {chosen.database, chosen.table, *thread};
    showLockedTable();
    // A session that holds a lock can read only the tables it locked: every other table answers
    // with an error until the lock is released, which the operator has to know to make sense of it.
    m_op.inform(QStringLiteral(
        "The table lock was performed.!!\n(This table cannot do writing from other processes.)\n"
        "Other tables cannot be read until \"Lock release of a table\" (Unlock)."));
}

void CLeftView::unlockTables() {
    if (!m_commands.unlockTables())
        return;
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

void CLeftView::executeSql() {
    const std::optional<QStringList> before = m_commands.databaseNames(kMaxRememberedNames);
    m_screens->openSqlConsole();
    if (!before || !m_databaseRoot)
        return;
    const std::optional<QStringList> after = m_commands.databaseNames(-1);
    if (!after)
        return;
    QStringList shown;
    for (int i = 0; i < m_databaseRoot->childCount(); ++i)
        shown << m_databaseRoot->child(i)->text(0);
    // Beyond the remembered names a database may already have its node; it must not get a second.
    insertAndSelect(m_databaseRoot, namesNotIn(namesNotIn(*after, *before), shown), kDatabaseNodeKind);
}

void CLeftView::createDatabase() {
    if (const std::optional<QString> name = m_screens->openCreateDatabase())
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
    const std::optional<QString> name = m_screens->openCreateTable(m_doc.selection().database);
    if (name && generation == m_generation)
        addTableNode(database, *name);
}

void CLeftView::renameTable() {
    const Selection chosen = m_doc.selection();
    if (!m_lastSelected || depthOf(m_lastSelected) != 2 || chosen.table.isEmpty())
        return;
    const unsigned generation = m_generation;
    const std::optional<QString> name = m_screens->openRenameTable(chosen.database, chosen.table);
    if (name && generation == m_generation && m_lastSelected)
        renameNode(m_lastSelected, *name);
}

void CLeftView::editTable() {
    const Selection chosen = m_doc.selection();
    if (!chosen.hasTable())
        return;
    QTreeWidgetItem* node = m_lastSelected;
    const QString table = chosen.table;
    const unsigned generation = m_generation;
    const std::optional<QString> name = m_screens->openTableEditor(chosen.database, table);
    if (name && *name != table && generation == m_generation && node == m_lastSelected &&
        kindOf(node) == kTableNodeKind)
        renameNode(node, *name);
}

void CLeftView::duplicateDatabase() {
    const Selection chosen = m_doc.selection();
    if (!chosen.hasDatabase())
        return;
    if (const std::optional<QString> name = m_screens->openDatabaseCopy(chosen.database, chosen.table))
        addDatabaseNode(*name);
}

}  // namespace velkin
