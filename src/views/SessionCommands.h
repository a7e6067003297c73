#pragma once

#include "Command.h"

class QWidget;

namespace velkin {

class CSorvaneDoc;
class Operator;

/// The server-wide commands that every view carries out the same way: privilege reload, server
/// stop, the FLUSH commands and the user editor in new mode.
class SessionCommands {
public:
    /// Dialogs open over parent.
    SessionCommands(CSorvaneDoc& doc, Operator& op, QWidget* parent = nullptr)
        : m_doc(doc), m_op(op), m_parent(parent) {}

    /// True when the command is one of these and was carried out; the other shared commands
    /// (CSV, SQL console, process display, system variables, copy from other servers) open
    /// screens of their own and are not carried out here.
    bool execute(Command command);

    void reloadPrivileges();
    void stopServer();
    void addUser();
    void flush(Command which);
    void openProcessMonitor();
    void openVariableList();

private:
    /// The user editor in new mode; it comes with its own dialog.
    void openNewUserEditor();

    CSorvaneDoc& m_doc;
    Operator& m_op;
    QWidget* m_parent;
};

}  // namespace velkin
