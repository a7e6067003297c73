#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "Command.h"
#include "ObjectTreeText.h"
#include "ScreenDispatcher.h"
#include "SessionCommands.h"

class QMenu;

namespace velkin {

class Connection;
class CSorvaneDoc;
class Operator;
class ViewHost;

/// The tables of the database, in the server's order; nothing when the database cannot be opened. The
/// database becomes the connection's current one.
std::optional<QStringList> tableNames(Connection& connection, const std::string& database);

/// The object tree: databases and tables of the server and, for an administrator, the entry points
/// to privilege administration. Its selection sets the session's `Selection` and the right pane; the
/// screens its nodes and commands lead to are opened by its dispatcher.
class CLeftView : public QTreeWidget, public CommandTarget {
    Q_OBJECT
public:
    /// Without screens of its own the tree opens the real ones over itself.
    CLeftView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr,
              std::unique_ptr<ScreenDispatcher> screens = nullptr);

    ViewKind viewKind() const override { return ViewKind::Tree; }
    Selection selection() const override;
    CLeftView* objectTree() override { return this; }
    CSorvaneView* recordListView() override;
    ScreenDispatcher& screens() override { return *m_screens; }
    SessionCommands& sessionCommands() override { return m_commands; }

    /// Stops acting on selections until the next rebuild: a login is about to replace the session.
    void leaveSession();
    /// Fills the tree from the server after a login; a renewal also starts the right pane anew.
    void rebuild(bool renewal);
    bool isReady() const { return m_ready; }
    QTreeWidgetItem* databaseRoot() const { return m_databaseRoot; }
    /// The node whose selection the session describes; null before the first selection.
    QTreeWidgetItem* selectedNode() const { return m_lastSelected; }

    /// Adds a database under the "Database" root and selects it, as screens that create one do.
    QTreeWidgetItem* addDatabaseNode(const QString& name);
    /// Adds a table under its database's node and selects it.
    QTreeWidgetItem* addTableNode(QTreeWidgetItem* database, const QString& name);
    /// The node of a database, or null.
    QTreeWidgetItem* databaseNode(const QString& name) const;

    static int kindOf(const QTreeWidgetItem* node);
    static int depthOf(const QTreeWidgetItem* node);

    /// The context menu's entries for the selected node (not the node under the mouse).
    std::vector<MenuEntry> contextMenuEntries() const;
    /// Fills a menu with those entries; its actions carry their commands out here.
    void fillContextMenu(QMenu& menu);

    // What the tree's commands do; each acts on the node chosen now.
    void deleteSelected();
    void lockTable();
    void unlockTables();
    /// The console, then a node for every database it created.
    void executeSql();
    void createDatabase();
    void createTable();
    void renameTable();
    void editTable();
    void duplicateDatabase();
    /// After a screen that may create or drop tables: every listed database's table nodes as the
    /// server has them now, the selection kept where its table still exists.
    void bringTablesUpToDate();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    /// Dotted lines between siblings and from each node to its parent, with a box button on
    /// every node that has children, also at the roots, whatever the style draws of its own.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    void nodeSelected(QTreeWidgetItem* node);
    void nodeDoubleClicked(QTreeWidgetItem* node);
    void listDatabases();
    void listTables(QTreeWidgetItem* database);
    void fillTables(QTreeWidgetItem* database, const QStringList& tables);

    /// Inserts among the siblings in their order. Fills do not move the highlight node by node:
    /// they put it back on the node in force once, which ends the same and keeps large
    /// databases quick.
    QTreeWidgetItem* insertNode(QTreeWidgetItem* parent, const QString& label, int kind);
    /// Inserts while selections are ignored, then lets the last new node's selection act.
    QTreeWidgetItem* insertAndSelect(QTreeWidgetItem* parent, const QStringList& labels, int kind);
    /// Puts the highlight back on the node the session describes, without acting on it.
    void restoreHighlight();
    void removeNode(QTreeWidgetItem* node);
    void renameNode(QTreeWidgetItem* node, const QString& label);

    void dropDatabase(QTreeWidgetItem* node);
    void dropTable(QTreeWidgetItem* node);
    /// Marks the table this session has locked, so that the emptiness of the others is explained.
    void showLockedTable();
    bool isLockedNode(const QTreeWidgetItem* node) const;

    /// The session's connection while it is usable; null otherwise.
    Connection* connection() const;

    CSorvaneDoc& m_doc;
    Operator& m_op;
    ViewHost& m_host;
    std::unique_ptr<ScreenDispatcher> m_screens;
    SessionCommands m_commands;
    std::array<QIcon, 3> m_icons;
    QTreeWidgetItem* m_databaseRoot = nullptr;
    QTreeWidgetItem* m_lastSelected = nullptr;
    bool m_ready = false;
    /// Counts the tree's rebuilds; a node kept across a screen is stale once it has changed.
    unsigned m_generation = 0;
    /// The table that "The lock of a table" locked, and the server thread (session) that holds it.
    struct TableLock {
        QString database;
        QString table;
        unsigned long thread = 0;
    } m_lock;
};

}  // namespace velkin
