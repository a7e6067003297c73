#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>

#include "session/ServerDialect.h"
#include "views/ObjectTreeText.h"

using namespace velkin;

namespace {

MenuEntry on(Command c) {
    return {c, true};
}
const MenuEntry sep{std::nullopt, true};

/// The "Config(&G)" items with the given ones disabled.
std::vector<MenuEntry> configMenu(std::initializer_list<Command> disabled) {
    std::vector<MenuEntry> menu{on(Command::AddUser),
                                on(Command::SqlExecution),
                                sep,
                                on(Command::DatabaseCreation),
                                on(Command::TableNewCreation),
                                on(Command::Delete),
                                sep,
                                on(Command::TableNameChange),
                                on(Command::TableLock),
                                on(Command::TableUnlock),
                                on(Command::TableOptimize)};
    for (MenuEntry& e : menu)
        if (e.command && std::find(disabled.begin(), disabled.end(), *e.command) != disabled.end())
            e.enabled = false;
    return menu;
}

}  // namespace

TEST(ObjectTreeText, ContextMenuPerSelectedNode) {
    const auto rootMenu = configMenu({Command::TableNewCreation, Command::TableNameChange, Command::Delete,
                                      Command::TableLock, Command::TableUnlock, Command::TableOptimize});
    // The roots stand for the server, whose replication and cluster have screens of their own.
    std::vector<MenuEntry> serverMenu = rootMenu;
    for (const MenuEntry& e : {MenuEntry{std::nullopt, true}, MenuEntry{Command::Replication, true},
                               MenuEntry{Command::Galera, true}})
        serverMenu.push_back(e);
    EXPECT_EQ(serverMenu, treeContextMenu(TreeNodePlace{0, kDatabaseNodeKind, true}));
    EXPECT_EQ(serverMenu, treeContextMenu(std::nullopt)) << "nothing selected yet: the menu of a root";
    EXPECT_EQ(rootMenu, treeContextMenu(TreeNodePlace{2, kManagementNodeKind, false}))
        << "restriction nodes are treated like roots";

    auto database = configMenu(
        {Command::TableNameChange, Command::TableLock, Command::TableUnlock, Command::TableOptimize});
    database.push_back(sep);
    database.push_back(on(Command::DatabaseDuplicate));
    EXPECT_EQ(database, treeContextMenu(TreeNodePlace{1, kDatabaseNodeKind, true}));
    database[4].enabled = false;
    EXPECT_EQ(database, treeContextMenu(TreeNodePlace{1, kDatabaseNodeKind, false}))
        << "a database without children cannot take a new table from the menu";
    EXPECT_EQ(database, treeContextMenu(TreeNodePlace{1, kManagementNodeKind, false}))
        << "the menu goes by depth, so management nodes get the database menu";

    auto table = configMenu({Command::TableNewCreation});
    for (const MenuEntry& e :
         {sep, on(Command::ExportCsv), sep, on(Command::TableEdit), on(Command::TableDuplicate),
          on(Command::DatabaseDuplicate), on(Command::Maintenance), sep, on(Command::DataAmount)})
        table.push_back(e);
    EXPECT_EQ(table, treeContextMenu(TreeNodePlace{2, kTableNodeKind, false}));
}

TEST(ObjectTreeText, ChartKindsOfTheNodes) {
    EXPECT_EQ(ChartKind::None, chartKindFor(0, kDatabaseNodeKind, "Data for management"));
    EXPECT_EQ(ChartKind::Server, chartKindFor(0, kDatabaseNodeKind, "Database"));
    EXPECT_EQ(ChartKind::Database, chartKindFor(1, kDatabaseNodeKind, "Host"))
        << "a database named like a management node";
    EXPECT_EQ(ChartKind::Hosts, chartKindFor(1, kManagementNodeKind, "Host"));
    EXPECT_EQ(ChartKind::Databases, chartKindFor(1, kManagementNodeKind, "Database"));
    EXPECT_EQ(ChartKind::Users, chartKindFor(1, kManagementNodeKind, "User"));
    EXPECT_EQ(ChartKind::AccessRestrictions, chartKindFor(2, kManagementNodeKind, "Access restrictions"));
    EXPECT_EQ(ChartKind::UserRestrictions, chartKindFor(2, kManagementNodeKind, "User restrictions"));
    EXPECT_EQ(std::nullopt, chartKindFor(2, kTableNodeKind, "User restrictions"))
        << "a table shows the record list and leaves the chart kind alone";
}

TEST(ObjectTreeText, StatementsQuoteOnlyNamesThatNeedIt) {
    const ServerDialect dialect;
    EXPECT_EQ("DROP DATABASE IF EXISTS shop", dropDatabaseStatement(dialect, "shop"));
    EXPECT_EQ("DROP DATABASE IF EXISTS `my-shop`", dropDatabaseStatement(dialect, "my-shop"));
    EXPECT_EQ("DROP TABLE IF EXISTS orders", dropTableStatement(dialect, "orders"));
    EXPECT_EQ("DROP TABLE IF EXISTS `select`", dropTableStatement(dialect, "select"));
    EXPECT_EQ("LOCK TABLES shop.orders READ", lockTableStatement(dialect, "shop", "orders"));
    EXPECT_EQ("LOCK TABLES shop.`a``b` READ", lockTableStatement(dialect, "shop", "a`b"));
    EXPECT_EQ("OPTIMIZE TABLE shop.orders", optimizeTableStatement(dialect, "shop", "orders"));
    EXPECT_EQ("OPTIMIZE TABLE `2shop`.`odd name`", optimizeTableStatement(dialect, "2shop", "odd name"));
    EXPECT_EQ("Select * from shop.orders", csvExportStatement(dialect, "shop", "orders"));
}

TEST(ObjectTreeText, SiblingOrderAndNewNames) {
    QStringList labels{"b", "Data for management", "a_1", "Database", "B", "A", "user"};
    std::sort(labels.begin(), labels.end(), nodeSortsBefore);
    EXPECT_EQ((QStringList{"A", "a_1", "B", "b", "Data for management", "Database", "user"}), labels);

    EXPECT_EQ((QStringList{"new2", "new1"}), namesNotIn({"a", "new2", "b", "new1", "new2"}, {"b", "a", "c"}));
    EXPECT_TRUE(namesNotIn({"a"}, {"a"}).isEmpty());
}
