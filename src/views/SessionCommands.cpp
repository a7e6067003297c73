#include "SessionCommands.h"

#include "monitor/ProcessMonitorDialog.h"
#include "monitor/SystemVariablesDialog.h"
#include "privileges/UserEditorDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "session/ProcessExit.h"

namespace velkin {

namespace {

constexpr unsigned int kGrantReload = 1;  // REFRESH_GRANT

struct FlushCommand {
    Command command;
    const char* statement;
    const char* message;
};

const FlushCommand kFlushCommands[] = {
    {Command::ResetServerInfo, "FLUSH HOSTS",
     "The host information by which cash are carried out was reset."},
    {Command::ResetHistoryInfo, "FLUSH LOGS", "The file inode number of an update log was changed."},
    {Command::ResetStatusVariable, "FLUSH STATUS", "The status variable was reset."},
    {Command::ResetOpenTable, "FLUSH TABLES",
     "The data by which cash are carried out was written in the disk."},
};

const FlushCommand* flushCommand(Command command) {
    for (const auto& f : kFlushCommands)
        if (f.command == command)
            return &f;
    return nullptr;
}

}  // namespace

bool SessionCommands::execute(Command command) {
    switch (command) {
        case Command::PrivilegeReload:
            reloadPrivileges();
            return true;
        case Command::ServerStop:
            stopServer();
            return true;
        case Command::AddUser:
            addUser();
            return true;
        case Command::ResetServerInfo:
        case Command::ResetHistoryInfo:
        case Command::ResetStatusVariable:
        case Command::ResetOpenTable:
            flush(command);
            return true;
        case Command::ProcessDisplay:
            openProcessMonitor();
            return true;
        case Command::SystemVariableList:
            openVariableList();
            return true;
        default:
            return false;
    }
}

void SessionCommands::reloadPrivileges() {
    Connection* connection = m_doc.connection();
    if (connection && connection->refresh(kGrantReload) == 0)
        m_op.inform(QStringLiteral("The privilege table was reloaded."));
    else
        m_op.inform(QStringLiteral("It failed in the privilege table at the reload."));
}

void SessionCommands::stopServer() {
    if (!m_op.ask(QStringLiteral("本当に停止してもよろしいですか？")))
        return;
    Connection* connection = m_doc.connection();
    if (connection && connection->shutdown() == 0) {
        m_op.inform(QStringLiteral("The server stopped. This program is also ended."));
        endProcess(0);
    }
    m_op.inform(QStringLiteral("It failed in the server stop. There may be no shutdown privilege."));
}

void SessionCommands::addUser() {
    if (m_doc.m_adminFlag != 1) {
        m_op.inform(QStringLiteral("There is no authority."));
        return;
    }
    openNewUserEditor();
    if (Connection* connection = m_doc.connection())
        connection->refresh(kGrantReload);
}

void SessionCommands::flush(Command which) {
    const FlushCommand* f = flushCommand(which);
    if (!f)
        return;
    if (Connection* connection = m_doc.connection()) {
        // The outcome is not reported, but anything the server sent back must be read, or the next
        // statement on the connection would be refused.
        connection->query(f->statement);
        connection->storeResult();
    }
    m_op.inform(QString::fromUtf8(f->message));
}

void SessionCommands::openNewUserEditor() {
    if (Connection* connection = m_doc.connection()) {
        UserEditorDialog dialog(*connection, m_op, m_parent);
        m_op.runModal(dialog);
    }
}

void SessionCommands::openProcessMonitor() {
    if (Connection* connection = m_doc.connection()) {
        ProcessMonitorDialog dialog(*connection, m_op, m_parent);
        m_op.runModal(dialog);
    }
}

void SessionCommands::openVariableList() {
    if (Connection* connection = m_doc.connection()) {
        SystemVariablesDialog dialog(*connection, m_parent);
        m_op.runModal(dialog);
    }
}

}  // namespace velkin
