#include "ObjectTreeText.h"

#include <QSet>

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

std::optional<int> chartKindFor(int depth, int kind, const QString& label) {
    if (depth == 0)
        return label == treelabel::databaseRoot() ? 0 : -1;
    if (depth == 1) {
        if (kind != kManagementNodeKind)
            return 1;
        if (label == treelabel::hosts())
            return 4;
        if (label == treelabel::databases())
            return 5;
        if (label == treelabel::users())
            return 6;
        return -1;
    }
    if (kind == kManagementNodeKind) {
        if (label == treelabel::accessRestrictions())
            return 2;
        if (label == treelabel::userRestrictions())
            return 3;
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
    if (database) {
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

QStringList namesNotIn(const QStringList& listed, const QStringList& known) {
    QSet<QString> seen(known.begin(), known.end());
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

}  // namespace velkin
