#pragma once

#include "Command.h"

namespace velkin {

class CSorvaneDoc;
class Operator;

/// The server-wide commands that every view carries out the same way: privilege reload, server
/// stop, the FLUSH commands and the user editor in new mode.
class SessionCommands {
public:
    SessionCommands(CSorvaneDoc& doc, Operator& op) : m_doc(doc), m_op(op) {}

    /// True when the command is one of these and was carried out; the other shared commands
    /// (CSV, SQL console, process display, system variables, copy from other servers) open
    /// screens of their own and are not carried out here.
    bool execute(Command command);

    void reloadPrivileges();
    void stopServer();
    void addUser();
    void flush(Command which);

private:
    /// The user editor in new mode; it comes with its own dialog.
    void openNewUserEditor();

    CSorvaneDoc& m_doc;
    Operator& m_op;
};

}  // namespace velkin
