#pragma once

#include <QStringList>
#include <functional>
#include <optional>

#include "Command.h"

namespace velkin {

class Connection;
class CSorvaneDoc;
class Operator;
class ScreenDispatcher;
struct Selection;

/// The commands that act on the server rather than on a view: privilege reload, server stop, the
/// FLUSH commands, the user editor in new mode, and the drops, locks and optimizations the tree
/// asks for. Each tells the person its outcome; the views only follow what changed.
class SessionCommands {
public:
    SessionCommands(CSorvaneDoc& doc, Operator& op, ScreenDispatcher& screens)
        : m_doc(doc), m_op(op), m_screens(screens) {}

    void reloadPrivileges();
    void stopServer();
    void addUser();
    void flush(Command which);

    /// Asks, then drops the database; true when it is gone. stillAsked tells after the question
    /// whether what was asked about still stands (a new login meanwhile leaves nothing of it).
    bool dropDatabase(const QString& database, const std::function<bool()>& stillAsked);
    /// The same for a table of a database.
    bool dropTable(const QString& database, const QString& table, const std::function<bool()>& stillAsked);
    /// Locks the chosen table for reading; the server thread that holds the lock when it was taken.
    std::optional<unsigned long> lockTable(const Selection& chosen);
    /// Releases every lock of the session; false when there was no connection to do it on.
    bool unlockTables();
    void optimizeTable(const Selection& chosen);
    /// The server's database names, at most limit of them (all for a negative limit); nothing
    /// when there is no connection or the server refuses.
    std::optional<QStringList> databaseNames(int limit);

private:
    /// The connection to drop on, once the person has agreed to drop name; null otherwise.
    Connection* confirmedDrop(const QString& name, const std::function<bool()>& stillAsked);

    CSorvaneDoc& m_doc;
    Operator& m_op;
    ScreenDispatcher& m_screens;
};

}  // namespace velkin
