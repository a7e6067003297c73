#include "ScreenDispatcher.h"

#include "ObjectTreeText.h"
#include "monitor/DataAmountDialog.h"
#include "monitor/GaleraDialog.h"
#include "monitor/ProcessMonitorDialog.h"
#include "monitor/ReplicationDialog.h"
#include "monitor/SystemVariablesDialog.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/DatabaseListDialog.h"
#include "privileges/DbDialog.h"
#include "privileges/HostDetailsDialog.h"
#include "privileges/HostListDialog.h"
#include "privileges/UserEditorDialog.h"
#include "privileges/UserListDialog.h"
#include "schema/CreateDatabaseDialog.h"
#include "schema/CreateTableDialog.h"
#include "schema/RenameTableDialog.h"
#include "schema/TableEditorDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/CsvImportDialog.h"
#include "transfer/DatabaseDuplicateDialog.h"
#include "transfer/DuplicateFromOtherServersDialog.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "transfer/TableDuplicateDialog.h"

namespace velkin {

/// Runs a dialog made on the session's connection; false when there is no connection.
template <typename Dialog, typename... Args>
bool ScreenDispatcher::run(Args&&... args) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return false;
    Dialog dialog(*connection, std::forward<Args>(args)..., m_parent);
    m_op.runModal(dialog);
    return true;
}

/// The same for a dialog that answers with a name once accepted; nothing when it was cancelled.
template <typename Dialog, typename Answer, typename... Args>
std::optional<QString> ScreenDispatcher::runForName(Answer answer, Args&&... args) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    Dialog dialog(*connection, std::forward<Args>(args)..., m_parent);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return answer(dialog);
}

std::optional<QString> ScreenDispatcher::openCreateDatabase() {
    return runForName<CreateDatabaseDialog>([](CreateDatabaseDialog& d) { return d.databaseName(); }, m_op);
}

std::optional<QString> ScreenDispatcher::openCreateTable(const QString& database) {
    return runForName<CreateTableDialog>([](CreateTableDialog& d) { return d.tableName(); }, m_op, database);
}

std::optional<QString> ScreenDispatcher::openRenameTable(const QString& database, const QString& table) {
    return runForName<RenameTableDialog>([](RenameTableDialog& d) { return d.tableName(); }, m_op, database,
                                         table);
}

std::optional<QString> ScreenDispatcher::openTableEditor(const QString& database, const QString& table) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return std::nullopt;
    TableEditorDialog editor(*connection, m_op, database, table, m_parent);
    // The editor's own buttons open these screens over the editor, on the same connection.
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

std::optional<QString> ScreenDispatcher::openDatabaseCopy(const QString& database, const QString&) {
    return runForName<DatabaseDuplicateDialog>([](DatabaseDuplicateDialog& d) { return d.newDatabase(); },
                                               m_op, m_doc.loginValues(), database);
}

void ScreenDispatcher::openTableCopy(const QString& database, const QString& table) {
    run<TableDuplicateDialog>(m_op, m_doc.loginValues(), database, table);
}

void ScreenDispatcher::openMaintenance(const QString& database, const QString& table) {
    run<MaintenanceDialog>(m_op, database, table, m_doc.workingDirectory(), m_doc.loginName(),
                           m_doc.hostName());
}

void ScreenDispatcher::openDataAmount(const QString& database, const QString& table) {
    run<DataAmountDialog>(m_op, database, table);
}

void ScreenDispatcher::openTableExport(const QString& database, const QString& table) {
    // The export learns its table, whose status guesses the rows for the progress.
    if (const Connection* connection = m_doc.connection())
        run<CsvExportDialog>(m_op, qs(csvExportStatement(connection->dialect(), u8(database), u8(table))),
                             database, table);
}

void ScreenDispatcher::openCsvImport() {
    run<CsvImportDialog>(m_op);
}

void ScreenDispatcher::openSqlConsole() {
    run<SqlConsoleDialog>(m_op);
}

void ScreenDispatcher::openDatabasePrivileges(const QString& database) {
    run<DatabaseDialog>(m_op, database);
}

void ScreenDispatcher::openAccessRestrictions(const QString& database) {
    run<AccessRestrictionDialog>(m_op, database);
}

void ScreenDispatcher::openUserList() {
    run<UserListDialog>(m_op);
}

void ScreenDispatcher::openHostList() {
    run<HostListDialog>(m_op);
}

void ScreenDispatcher::openDatabaseList() {
    run<DatabaseListDialog>(m_op);
}

void ScreenDispatcher::openCopyFromOtherServers() {
    run<DuplicateFromOtherServersDialog>(m_op);
}

void ScreenDispatcher::openNewUserEditor() {
    run<UserEditorDialog>(m_op);
}

void ScreenDispatcher::openUserEditor(const QString& host, const QString& user, const QString& password) {
    run<UserEditorDialog>(m_op, host, user, password);
}

void ScreenDispatcher::openDbEditor(const QString& host, const QString& database, const QString& user) {
    run<DbDialog>(m_op, host, database, user);
}

void ScreenDispatcher::openHostEditor(const QString& host, const QString& database) {
    run<HostDetailsDialog>(m_op, host, database);
}

void ScreenDispatcher::openProcessMonitor() {
    run<ProcessMonitorDialog>(m_op);
}

void ScreenDispatcher::openVariableList() {
    // The variable list only reads; it has no questions to ask.
    if (Connection* connection = m_doc.connection()) {
        SystemVariablesDialog dialog(*connection, m_parent);
        m_op.runModal(dialog);
    }
}

void ScreenDispatcher::openReplication() {
    if (Connection* connection = m_doc.connection())
        openReplicationScreen(*connection, m_op, m_parent);
}

void ScreenDispatcher::openGalera() {
    if (Connection* connection = m_doc.connection())
        openGaleraScreen(*connection, m_op, m_parent);
}

}  // namespace velkin
