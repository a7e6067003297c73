#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Command.h"
#include "session/SessionKinds.h"

namespace velkin {

class ServerDialect;

// Kinds of the object tree's nodes as the nodes keep them in their data; the session keeps the
// kind of the selected node.
inline constexpr int kDatabaseNodeKind =
    static_cast<int>(NodeKind::Database);  ///< the two roots and every database
inline constexpr int kTableNodeKind = static_cast<int>(NodeKind::Table);  ///< a table of a database
/// Entry points to privilege administration.
inline constexpr int kManagementNodeKind = static_cast<int>(NodeKind::Management);

/// The labels of the nodes that do not come from the server.
namespace treelabel {
inline QString managementRoot() {
    return QStringLiteral("Data for management");
}
inline QString databaseRoot() {
    return QStringLiteral("Database");
}
inline QString users() {
    return QStringLiteral("User");
}
inline QString hosts() {
    return QStringLiteral("Host");
}
inline QString databases() {
    return QStringLiteral("Database");
}
inline QString accessRestrictions() {
    return QStringLiteral("Access restrictions");
}
inline QString userRestrictions() {
    return QStringLiteral("User restrictions");
}
}  // namespace treelabel

/// The database whose tables the tree never drops and never gives restriction nodes: the server's
/// own grant tables live there.
inline QString systemDatabase() {
    return QStringLiteral("mysql");
}

/// Where a node stands: its depth (number of ancestors), its picture kind, and whether it has
/// children yet.
struct TreeNodePlace {
    int depth = 0;
    int kind = kDatabaseNodeKind;
    bool hasChildren = false;
};

/// The chart the right pane draws for a selected node, or nothing for a table node, which shows
/// the record list and leaves the chart kind as it was.
std::optional<ChartKind> chartKindFor(int depth, int kind, const QString& label);

/// One line of the tree's context menu: a command, or a separator when command is empty.
struct MenuEntry {
    std::optional<Command> command;
    bool enabled = true;

    bool isSeparator() const { return !command.has_value(); }
    bool operator==(const MenuEntry& other) const {
        return command == other.command && enabled == other.enabled;
    }
};

/// The "Config(&G)" popup as the tree shows it for the selected node: table commands that do not
/// fit the node disabled, and the commands of a database or a table appended. With nothing
/// selected the menu is the one of a root.
std::vector<MenuEntry> treeContextMenu(const std::optional<TreeNodePlace>& selected);

/// Order of siblings: case-insensitive, ties broken case-sensitively so that the order never
/// depends on the order of insertion.
bool nodeSortsBefore(const QString& a, const QString& b);

/// Whether names are in the tree's order with none twice, as servers usually list them.
bool inTreeOrder(const QStringList& names);

/// The names of listed that are not in known, in listed's order, each once.
QStringList namesNotIn(const QStringList& listed, const QStringList& known);

/// Database names the tree remembers around the SQL console.
inline constexpr int kMaxRememberedNames = 1000;

// Statements of the tree's commands; names are read from the tree, so they are quoted as needed.
std::string dropDatabaseStatement(const ServerDialect& dialect, std::string_view database);
std::string dropTableStatement(const ServerDialect& dialect, std::string_view table);
std::string lockTableStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table);
std::string optimizeTableStatement(const ServerDialect& dialect, std::string_view database,
                                   std::string_view table);
/// The statement the CSV export starts with for a table.
std::string csvExportStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table);
std::string unlockTablesStatement();

/// A server-wide FLUSH command: its statement and what the person is told after it.
struct FlushText {
    const char* statement;
    const char* message;
};
/// Nothing for a command that is not a FLUSH command.
std::optional<FlushText> flushText(Command command);

}  // namespace velkin
