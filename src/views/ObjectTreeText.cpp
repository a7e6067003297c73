#include "ObjectTreeText.h"

#include <QSet>

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

std::optional<ChartKind> chartKindFor(int depth, int kind, const QString& label) {
    if (depth == 0)
        return label == treelabel::databaseRoot() ? ChartKind::Server : ChartKind::None;
    if (depth == 1) {
        if (kind != kManagementNodeKind)
            return ChartKind::Database;
        if (label == treelabel::hosts())
            return ChartKind::Hosts;
        if (label == treelabel::databases())
            return ChartKind::Databases;
        if (label == treelabel::users())
            return ChartKind::Users;
        return ChartKind::None;
    }
    if (kind == kManagementNodeKind) {
        if (label == treelabel::accessRestrictions())
            return ChartKind::AccessRestrictions;
        if (label == treelabel::userRestrictions())
            return ChartKind::UserRestrictions;
    }
    return std::nullopt;
}

std::vector<MenuEntry> treeContextMenu(const std::optional<TreeNodePlace>& selected) {
    const TreeNodePlace place = selected.value_or(TreeNodePlace{});
    const bool table = place.depth >= 2 && place.kind == kTableNodeKind;
    const bool database = place.depth == 1;
    const bool newTable = database && place.hasChildren;
    const bool deletable = database || table;

    auto item = [](Command c, bool enabled = true) { return MenuEntry{c, enabled}; };
    const MenuEntry separator{std::nullopt, true};

    std::vector<MenuEntry> menu{
        item(Command::AddUser),
        item(Command::SqlExecution),
        separator,
        item(Command::DatabaseCreation),
        item(Command::TableNewCreation, newTable),
        item(Command::Delete, deletable),
        separator,
        item(Command::TableNameChange, table),
        item(Command::TableLock, table),
        item(Command::TableUnlock, table),
        item(Command::TableOptimize, table),
    };
    if (place.depth == 0) {
        // The roots stand for the server: what replicates it and the cluster it belongs to.
        for (const MenuEntry& e : {separator, item(Command::Replication), item(Command::Galera)})
            menu.push_back(e);
    } else if (database) {
        menu.push_back(separator);
        menu.push_back(item(Command::DatabaseDuplicate));
    } else if (table) {
        for (const MenuEntry& e : {separator, item(Command::ExportCsv), separator, item(Command::TableEdit),
                                   item(Command::TableDuplicate), item(Command::DatabaseDuplicate),
                                   item(Command::Maintenance), separator, item(Command::DataAmount)})
            menu.push_back(e);
    }
    return menu;
}

bool nodeSortsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

bool inTreeOrder(const QStringList& names) {
    for (qsizetype i = 1; i < names.size(); ++i)
        if (!nodeSortsBefore(names[i - 1], names[i]))
            return false;
    return true;
}

QStringList namesNotIn(const QStringList& listed, const QStringList& known) {
    QSet<QString> seen(known.begin(), known.end());
    seen.reserve(listed.size() + known.size());
    QStringList names;
    for (const QString& name : listed) {
        if (seen.contains(name))
            continue;
        seen.insert(name);
        names << name;
    }
    return names;
}

std::string dropDatabaseStatement(const ServerDialect& dialect, std::string_view database) {
    return sqlf("DROP DATABASE IF EXISTS %s", quoteName(database, dialect));
}

std::string dropTableStatement(const ServerDialect& dialect, std::string_view table) {
    return sqlf("DROP TABLE IF EXISTS %s", quoteName(table, dialect));
}

std::string lockTableStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table) {
    return sqlf("LOCK TABLES %s.%s READ", quoteName(database, dialect), quoteName(table, dialect));
}

std::string optimizeTableStatement(const ServerDialect& dialect, std::string_view database,
                                   std::string_view table) {
    return sqlf("OPTIMIZE TABLE %s.%s", quoteName(database, dialect), quoteName(table, dialect));
}

std::string csvExportStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table) {
    return sqlf("Select * from %s.%s", quoteName(database, dialect), quoteName(table, dialect));
}

std::string unlockTablesStatement() {
    return "UNLOCK TABLES";
}

std::optional<FlushText> flushText(Command command) {
    switch (command) {
        case Command::ResetServerInfo:
            return FlushText{"FLUSH HOSTS", "The host information by which cash are carried out was reset."};
        case Command::ResetHistoryInfo:
            return FlushText{"FLUSH LOGS", "The file inode number of an update log was changed."};
        case Command::ResetStatusVariable:
            return FlushText{"FLUSH STATUS", "The status variable was reset."};
        case Command::ResetOpenTable:
            return FlushText{"FLUSH TABLES",
                             "The data by which cash are carried out was written in the disk."};
        default:
            return std::nullopt;
    }
}

}  // namespace velkin
