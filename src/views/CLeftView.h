#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <optional>
#include <vector>

#include "Command.h"
#include "ObjectTreeText.h"
#include "SessionCommands.h"
#include "session/KeepAlive.h"

class QMenu;

namespace velkin {

class Connection;
class CSorvaneDoc;
class Operator;
class ViewHost;

/// The object tree: databases and tables of the server and, for an administrator, the entry points
/// to privilege administration. Its selection sets the browsing state and the right pane; it owns
/// the session's connection at start-up and its keep-alive check.
class CLeftView : public QTreeWidget, public CommandTarget {
    Q_OBJECT
public:
    CLeftView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr);

    ViewKind viewKind() const override { return ViewKind::Tree; }
    void execute(Command command) override;

    /// Connects (login), starts the keep-alive check and fills the tree from the server.
    void initialUpdate();
    KeepAlive& keepAlive() { return m_keepAlive; }
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

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    /// Dotted lines between siblings and from each node to its parent, with a box button on
    /// every node that has children, also at the roots, whatever the style draws of its own.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

    // The screens the tree opens, and what it does with their answer (a new or changed name;
    // nothing when cancelled). Tests put recorders in their place.
    virtual std::optional<QString> openCreateDatabase();
    virtual std::optional<QString> openCreateTable(const QString& database);
    virtual std::optional<QString> openRenameTable(const QString& database, const QString& table);
    /// The table's name when the editor closes, which an edit may have changed.
    virtual std::optional<QString> openTableEditor(const QString& database, const QString& table);
    virtual void openTableCopy(const QString& database, const QString& table);
    /// The new database's name when the copy was made.
    virtual std::optional<QString> openDatabaseCopy(const QString& database, const QString& table);
    virtual void openMaintenance(const QString& database, const QString& table);
    virtual void openDataAmount(const QString& database, const QString& table);
    virtual void openCsvExport(const QString& statement);
    virtual void openCsvImport();
    virtual void openSqlConsole();
    virtual void openDatabasePrivileges(const QString& database);
    virtual void openAccessRestrictions(const QString& database);
    virtual void openUserList();
    virtual void openHostList();
    virtual void openDatabaseList();
    virtual void openCopyFromOtherServers();

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

    void deleteSelected();
    void dropDatabase(QTreeWidgetItem* node);
    void dropTable(QTreeWidgetItem* node);
    void lockTable();
    void unlockTable();
    /// Marks the table this session has locked, so that the emptiness of the others is explained.
    void showLockedTable();
    bool isLockedNode(const QTreeWidgetItem* node) const;
    void optimizeTable();
    void executeSql();
    void createDatabase();
    void createTable();
    void renameTable();
    void exportCsv();
    void editTable();
    void duplicateDatabase();
    bool hasCurrentTable() const;

    /// The session's connection while it is usable; null otherwise.
    Connection* connection() const;
    std::optional<QStringList> showDatabases(int limit);

    CSorvaneDoc& m_doc;
    Operator& m_op;
    ViewHost& m_host;
    KeepAlive m_keepAlive;
    SessionCommands m_commands;
    std::array<QIcon, 3> m_icons;
    QTreeWidgetItem* m_databaseRoot = nullptr;
    QTreeWidgetItem* m_lastSelected = nullptr;
    bool m_ready = false;
    bool m_updating = false;
    bool m_loggedIn = false;
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
