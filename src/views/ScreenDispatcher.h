#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace velkin {

class CSorvaneDoc;
class Operator;

/// The one place that opens screens. Each screen gets the session's connection and, where it opens
/// a second connection to the same server, the login values; no other part of the views sees the
/// password. Every opener does nothing (and answers nothing) while there is no connection. Tests
/// put recorders in place of the openers.
class ScreenDispatcher {
public:
    /// Dialogs open over parent.
    ScreenDispatcher(CSorvaneDoc& doc, Operator& op, QWidget* parent = nullptr)
        : m_doc(doc), m_op(op), m_parent(parent) {}
    virtual ~ScreenDispatcher() = default;
    ScreenDispatcher(const ScreenDispatcher&) = delete;
    ScreenDispatcher& operator=(const ScreenDispatcher&) = delete;

    void setParentWidget(QWidget* parent) { m_parent = parent; }

    // Screens that answer with a new or changed name; nothing when cancelled.
    virtual std::optional<QString> openCreateDatabase();
    virtual std::optional<QString> openCreateTable(const QString& database);
    virtual std::optional<QString> openRenameTable(const QString& database, const QString& table);
    /// The table's name when the editor closes, which an edit may have changed.
    virtual std::optional<QString> openTableEditor(const QString& database, const QString& table);
    /// The new database's name when the copy was made.
    virtual std::optional<QString> openDatabaseCopy(const QString& database, const QString& table);

    virtual void openTableCopy(const QString& database, const QString& table);
    virtual void openMaintenance(const QString& database, const QString& table);
    virtual void openDataAmount(const QString& database, const QString& table);
    /// The CSV export of a whole table.
    virtual void openTableExport(const QString& database, const QString& table);
    virtual void openCsvImport();
    virtual void openSqlConsole();
    virtual void openDatabasePrivileges(const QString& database);
    virtual void openAccessRestrictions(const QString& database);
    virtual void openUserList();
    virtual void openHostList();
    virtual void openDatabaseList();
    virtual void openCopyFromOtherServers();
    /// The user editor in new mode.
    virtual void openNewUserEditor();
    // The editors of one row of the grant tables.
    virtual void openUserEditor(const QString& host, const QString& user, const QString& password);
    virtual void openDbEditor(const QString& host, const QString& database, const QString& user);
    virtual void openHostEditor(const QString& host, const QString& database);
    virtual void openProcessMonitor();
    virtual void openVariableList();
    virtual void openReplication();
    virtual void openGalera();

private:
    template <typename Dialog, typename... Args>
    bool run(Args&&... args);
    template <typename Dialog, typename Answer, typename... Args>
    std::optional<QString> runForName(Answer answer, Args&&... args);

    CSorvaneDoc& m_doc;
    Operator& m_op;
    QWidget* m_parent;
};

}  // namespace velkin
