#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <deque>
#include <functional>

#include "RecordingScreens.h"
#include "ViewTesting.h"
#include "session/LoginCycle.h"
#include "session/ProcessExit.h"
#include "session/SqlText.h"
#include "views/CLeftView.h"

using namespace velkin;
using namespace velkin::test;

namespace {

struct ProcessEnded {
    int code;
};

QStringList labels(const QTreeWidgetItem* parent) {
    QStringList list;
    for (int i = 0; i < parent->childCount(); ++i)
        list << parent->child(i)->text(0);
    return list;
}

QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& label) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == label)
            return parent->child(i);
    return nullptr;
}

std::vector<std::string> statementsWith(const StatementLog& log, const std::string& word) {
    std::vector<std::string> found;
    for (const auto& s : log.statements)
        if (s.find(word) != std::string::npos)
            found.push_back(s);
    return found;
}

class ObjectTree : public ::testing::Test {
protected:
    void SetUp() override {
        setProcessEndHandler([](int code) { throw ProcessEnded{code}; });
    }
    void TearDown() override { setProcessEndHandler(nullptr); }

    /// Logs in as each account in turn, once each.
    std::optional<LoginValues> nextLogin() {
        ++logins;
        if (accounts.empty())
            return std::nullopt;
        Account a = accounts.front();
        accounts.pop_front();
        return loginAs(a)(QString(), QString());
    }
    /// A scratch database with tables of one INT column each, then the administrator's login.
    void startWith(const std::string& database, std::initializer_list<const char*> tables) {
        scratch = std::make_unique<ScratchDatabase>(database);
        for (const char* table : tables)
            exec(scratch->admin(), sqlf("CREATE TABLE %s.%s (id INT)", database, table));
        start(adminAccount());
    }
    void start(const Account& account) {
        accounts.push_back(account);
        login.login();
        op.clear();
    }
    QTreeWidgetItem* top(const QString& label) {
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            if (tree.topLevelItem(i)->text(0) == label)
                return tree.topLevelItem(i);
        return nullptr;
    }
    QTreeWidgetItem* db(const std::string& name) { return tree.databaseNode(qs(name)); }
    QTreeWidgetItem* select(QTreeWidgetItem* node) {
        EXPECT_TRUE(node);
        tree.setCurrentItem(node);
        return node;
    }
    void resetCounters() { host.chartShows = host.listShows = host.updates = 0; }

    std::unique_ptr<ScratchDatabase> scratch;
    std::deque<Account> accounts;
    int logins = 0;
    ScriptedOperator op;
    CSorvaneDoc doc{op, [this](const QString&, const QString&) { return nextLogin(); }};
    TestViewHost host{doc, op};
    std::unique_ptr<RecordingScreens> madeScreens = std::make_unique<RecordingScreens>(doc, op);
    RecordingScreens& screens = *madeScreens;
    CLeftView tree{doc, op, host, nullptr, std::move(madeScreens)};
    LoginCycle login{doc, [this] { tree.leaveSession(); }, [this](bool renewal) { tree.rebuild(renewal); }};
};

}  // namespace

TEST_F(ObjectTree, AdministratorTreeHasManagementNodesAndEveryDatabase) {
    ScratchDatabase scratch("velkin_tree_shape");
    exec(scratch.admin(), "CREATE TABLE velkin_tree_shape.t1 (id INT)");
    // The server lists "Zeta" before "t1" (by bytes); the tree puts it after, as it sorts.
    exec(scratch.admin(), "CREATE TABLE velkin_tree_shape.Zeta (id INT)");
    accounts.push_back(adminAccount());
    login.login();

    EXPECT_EQ(QStringList{"It is Admin."}, op.messageTexts());
    EXPECT_EQ(0, op.waitDepth);
    EXPECT_TRUE(login.keepAlive().isActive());
    ASSERT_EQ(2, tree.topLevelItemCount());
    EXPECT_EQ("Data for management", tree.topLevelItem(0)->text(0));
    EXPECT_EQ(tree.databaseRoot(), tree.topLevelItem(1));
    EXPECT_EQ("Database", tree.databaseRoot()->text(0));
    EXPECT_EQ((QStringList{"Database", "Host", "User"}), labels(tree.topLevelItem(0)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(4, CLeftView::kindOf(tree.topLevelItem(0)->child(i)));
    EXPECT_EQ(0, CLeftView::kindOf(tree.topLevelItem(0)));

    const QStringList databases = labels(tree.databaseRoot());
    for (const char* name : {"information_schema", "mysql", "velkin_tree_shape"})
        EXPECT_TRUE(databases.contains(name));
    EXPECT_TRUE(std::is_sorted(databases.begin(), databases.end(), nodeSortsBefore));
    EXPECT_EQ(0, tree.databaseRoot()->child(0)->childCount()) << "tables are listed on selection only";
    EXPECT_TRUE(tree.isReady());
    EXPECT_EQ(nullptr, tree.currentItem()) << "the fill leaves no highlight on a node nobody chose";
    EXPECT_EQ(0, host.chartShows + host.listShows) << "insertions do not act as selections";

    QTreeWidgetItem* shape = select(db("velkin_tree_shape"));
    EXPECT_EQ((QStringList{"Access restrictions", "t1", "User restrictions", "Zeta"}), labels(shape));
    EXPECT_EQ((std::vector<int>{4, 2, 4, 2}),
              (std::vector<int>{CLeftView::kindOf(shape->child(0)), CLeftView::kindOf(shape->child(1)),
                                CLeftView::kindOf(shape->child(2)), CLeftView::kindOf(shape->child(3))}));
    EXPECT_EQ(shape, tree.currentItem()) << "the highlight goes back to the database the session describes";
}

TEST_F(ObjectTree, CommonUserSeesOnlyItsDatabasesWithoutRestrictionNodes) {
    auto admin = connectAdmin();
    exec(*admin, "CREATE TABLE IF NOT EXISTS sorvane_common.velkin_tree_common (id INT)");
    start(commonAccount());

    ASSERT_EQ(1, tree.topLevelItemCount());
    EXPECT_EQ("Database", tree.topLevelItem(0)->text(0));
    EXPECT_EQ((QStringList{"information_schema", "sorvane_common"}), labels(tree.databaseRoot()));
    QTreeWidgetItem* common = select(db("sorvane_common"));
    EXPECT_TRUE(labels(common).contains("velkin_tree_common"));
    EXPECT_FALSE(labels(common).contains("Access restrictions"));
    EXPECT_FALSE(labels(common).contains("User restrictions"));

    // A drop the server refuses is reported with its number and text; the node stays.
    select(db("information_schema"));
    op.answer(true);
    tree.execute(Command::Delete);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It failed in deletion.\n1044:"))
        << op.messages[0].text.toStdString();
    EXPECT_TRUE(db("information_schema"));
    exec(*admin, "DROP TABLE sorvane_common.velkin_tree_common");
}

TEST_F(ObjectTree, SelectionSetsTheSessionAndAsksForTheRightPane) {
    startWith("velkin_tree_select", {"t1"});
    QTreeWidgetItem* management = top("Data for management");

    struct Case {
        QTreeWidgetItem* node;
        ChartKind chartKind;
        NodeKind nodeKind;
    };
    const NodeKind base = NodeKind::Database, admin = NodeKind::Management;
    for (const Case& c :
         {Case{tree.databaseRoot(), ChartKind::Server, base}, Case{management, ChartKind::None, base},
          Case{child(management, "Host"), ChartKind::Hosts, admin},
          Case{child(management, "Database"), ChartKind::Databases, admin},
          Case{child(management, "User"), ChartKind::Users, admin}}) {
        resetCounters();
        select(c.node);
        EXPECT_EQ(c.chartKind, doc.selection().chart) << c.node->text(0).toStdString();
        EXPECT_EQ(c.nodeKind, doc.selection().node);
        EXPECT_EQ(c.node->text(0), doc.selection().label);
        EXPECT_EQ(1, host.chartShows);
        EXPECT_EQ(1, host.updates);
        EXPECT_TRUE(tree.isReady());
    }

    QTreeWidgetItem* database = select(db("velkin_tree_select"));
    EXPECT_EQ(ChartKind::Database, doc.selection().chart);
    EXPECT_EQ("velkin_tree_select", doc.selection().database);
    EXPECT_EQ("", doc.selection().table);

    resetCounters();
    select(child(database, "t1"));
    EXPECT_EQ(1, host.listShows);
    EXPECT_EQ(0, host.chartShows);
    EXPECT_EQ(1, host.updates);
    EXPECT_EQ("velkin_tree_select", doc.selection().database);
    EXPECT_EQ("t1", doc.selection().table);
    EXPECT_EQ(NodeKind::Table, doc.selection().node);
    EXPECT_EQ(ChartKind::Database, doc.selection().chart) << "a table leaves the chart kind as it was";
    ASSERT_TRUE(host.recordList());

    for (auto [label, kind] : {std::pair{"Access restrictions", ChartKind::AccessRestrictions},
                               std::pair{"User restrictions", ChartKind::UserRestrictions}}) {
        resetCounters();
        select(child(database, label));
        EXPECT_EQ(kind, doc.selection().chart);
        EXPECT_EQ(NodeKind::Management, doc.selection().node);
        EXPECT_EQ("velkin_tree_select", doc.selection().database);
        EXPECT_EQ("", doc.selection().table);
        EXPECT_EQ(1, host.chartShows);
    }
}

TEST_F(ObjectTree, SecondSelectionAddsOnlyNewTablesAndKeepsDroppedOnes) {
    startWith("velkin_tree_relist", {"t1", "t2"});
    QTreeWidgetItem* database = select(db("velkin_tree_relist"));
    EXPECT_EQ((QStringList{"Access restrictions", "t1", "t2", "User restrictions"}), labels(database));

    exec(scratch->admin(), "CREATE TABLE velkin_tree_relist.t3 (id INT)");
    exec(scratch->admin(), "DROP TABLE velkin_tree_relist.t2");
    select(tree.databaseRoot());
    select(database);
    EXPECT_EQ((QStringList{"Access restrictions", "t1", "t2", "t3", "User restrictions"}), labels(database));
    EXPECT_EQ(database, tree.currentItem());
}

TEST_F(ObjectTree, MysqlGetsNoRestrictionNodesAndCannotBeDropped) {
    start(adminAccount());
    QTreeWidgetItem* mysql = select(db("mysql"));
    EXPECT_TRUE(labels(mysql).contains("user"));
    EXPECT_FALSE(labels(mysql).contains("Access restrictions"));
    EXPECT_FALSE(labels(mysql).contains("User restrictions"));

    StatementLog log;
    op.answer(true);
    tree.execute(Command::Delete);
    select(child(mysql, "user"));
    op.answer(true);
    tree.execute(Command::Delete);
    EXPECT_EQ(
        (QStringList{"This database cannot be deleted.", "The table in mysql database cannot be deleted."}),
        op.messageTexts());
    EXPECT_TRUE(op.questions.empty());
    EXPECT_TRUE(statementsWith(log, "DROP").empty());
    EXPECT_TRUE(child(mysql, "user"));
}

TEST_F(ObjectTree, DropDatabaseAsksFirstAndRemovesTheNode) {
    ScratchDatabase plain("velkin_tree_dropdb");
    ScratchDatabase odd("velkin-tree-dropdb");
    start(adminAccount());
    StatementLog log;

    for (QTreeWidgetItem* inert : {tree.databaseRoot(), top("Data for management")}) {
        select(inert);
        tree.execute(Command::Delete);
    }
    EXPECT_TRUE(op.questions.empty() && op.messages.empty()) << "roots cannot be deleted";

    select(db("velkin_tree_dropdb"));
    op.answer(false);
    log.clear();
    tree.execute(Command::Delete);
    EXPECT_EQ("May I delete velkin_tree_dropdb truly?", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(db("velkin_tree_dropdb"));

    op.answer(true);
    tree.execute(Command::Delete);
    EXPECT_EQ((std::vector<std::string>{"DROP DATABASE IF EXISTS velkin_tree_dropdb"}),
              statementsWith(log, "DROP"));
    EXPECT_EQ(QStringList{"The database was deleted."}, op.messageTexts());
    EXPECT_FALSE(db("velkin_tree_dropdb"));
    EXPECT_EQ("0", scalar(plain.admin(),
                          "SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                          "SCHEMA_NAME = 'velkin_tree_dropdb'"));
    EXPECT_EQ(tree.databaseRoot(), tree.currentItem()) << "the root takes the selection";
    EXPECT_EQ(ChartKind::Server, doc.selection().chart);

    select(db("velkin-tree-dropdb"));
    op.answer(true);
    log.clear();
    tree.execute(Command::Delete);
    EXPECT_EQ((std::vector<std::string>{"DROP DATABASE IF EXISTS `velkin-tree-dropdb`"}),
              statementsWith(log, "DROP"));
    EXPECT_FALSE(db("velkin-tree-dropdb"));
}

TEST_F(ObjectTree, DropTableRunsInItsOwnDatabase) {
    ScratchDatabase owner("velkin_tree_droptable");
    ScratchDatabase other("velkin_tree_droptable2");
    exec(owner.admin(), "CREATE TABLE velkin_tree_droptable.gone (id INT)");
    exec(owner.admin(), "CREATE TABLE velkin_tree_droptable.kept (id INT)");
    exec(owner.admin(), "CREATE TABLE velkin_tree_droptable2.gone (id INT)");
    start(adminAccount());
    QTreeWidgetItem* database = select(db("velkin_tree_droptable"));
    select(child(database, "gone"));
    // Another screen may have left the session in a database with a namesake.
    ASSERT_TRUE(doc.connection()->selectDb("velkin_tree_droptable2"));

    StatementLog log;
    op.answer(false);
    tree.execute(Command::Delete);
    EXPECT_EQ("May I delete gone truly?", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());

    op.answer(true);
    tree.execute(Command::Delete);
    EXPECT_EQ((std::vector<std::string>{"DROP TABLE IF EXISTS gone"}), statementsWith(log, "DROP"));
    EXPECT_EQ(QStringList{"The table was deleted."}, op.messageTexts());
    EXPECT_EQ((QStringList{"Access restrictions", "kept", "User restrictions"}), labels(database));
    EXPECT_EQ((std::vector<std::string>{"kept"}),
              column(owner.admin(), "SHOW TABLES FROM velkin_tree_droptable"));
    EXPECT_EQ((std::vector<std::string>{"gone"}),
              column(owner.admin(), "SHOW TABLES FROM velkin_tree_droptable2"));
    EXPECT_EQ(database, tree.currentItem());
    EXPECT_EQ("", doc.selection().table);
}

TEST_F(ObjectTree, LockUnlockOptimizeAndFlushSendTheirStatements) {
    startWith("velkin_tree_lock", {"t", "`odd name`"});
    QTreeWidgetItem* database = select(db("velkin_tree_lock"));
    StatementLog log;

    tree.execute(Command::TableLock);
    EXPECT_EQ(QStringList{"A table is chosen."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    select(child(database, "t"));
    op.clear();
    log.clear();
    tree.execute(Command::TableLock);
    EXPECT_EQ((std::vector<std::string>{"LOCK TABLES velkin_tree_lock.t READ"}), log.statements);
    EXPECT_EQ(1u, column(scratch->admin(),
                         "SHOW OPEN TABLES FROM velkin_tree_lock WHERE `Table` = 't' AND In_use > 0")
                      .size())
        << "the session holds the lock";
    // The tree shows which table is locked; the others cannot be read until the lock is released.
    QTreeWidgetItem* locked = child(database, "t");
    EXPECT_TRUE(locked->font(0).bold());
    EXPECT_TRUE(locked->toolTip(0).contains("Unlock"));
    EXPECT_FALSE(child(database, "odd name")->font(0).bold());
    log.clear();
    tree.execute(Command::TableUnlock);
    EXPECT_EQ((std::vector<std::string>{"UNLOCK TABLES"}), log.statements);
    EXPECT_TRUE(column(scratch->admin(), "SHOW OPEN TABLES FROM velkin_tree_lock WHERE In_use > 0").empty());
    EXPECT_EQ(
        (QStringList{"The table lock was performed.!!\n(This table cannot do writing from other processes.)\n"
                     "Other tables cannot be read until \"Lock release of a table\" (Unlock).",
                     "The table lock was carried out now."}),
        op.messageTexts());
    EXPECT_FALSE(child(database, "t")->font(0).bold());
    EXPECT_EQ("", child(database, "t")->toolTip(0));

    // A lock the server refuses is said to have failed, and nothing is marked.
    exec(scratch->admin(), "DROP TABLE velkin_tree_lock.t");
    select(child(database, "t"));
    op.clear();
    tree.execute(Command::TableLock);
    EXPECT_EQ(QStringList{"The table was not locked.\n1146:Table 'velkin_tree_lock.t' doesn't exist"},
              op.messageTexts());
    EXPECT_FALSE(child(database, "t")->font(0).bold());

    select(child(database, "odd name"));
    op.clear();
    log.clear();
    tree.execute(Command::TableOptimize);
    EXPECT_EQ((std::vector<std::string>{"OPTIMIZE TABLE velkin_tree_lock.`odd name`"}), log.statements);
    EXPECT_EQ(QStringList{"The table was optimized."}, op.messageTexts());
    EXPECT_EQ(0, op.waitDepth);
    EXPECT_EQ("1", scalar(*doc.connection(), "SELECT 1")) << "nothing is left pending on the connection";

    op.clear();
    log.clear();
    for (Command c : {Command::ResetServerInfo, Command::ResetHistoryInfo, Command::ResetStatusVariable,
                      Command::ResetOpenTable})
        tree.execute(c);
    EXPECT_EQ((std::vector<std::string>{"FLUSH HOSTS", "FLUSH LOGS", "FLUSH STATUS", "FLUSH TABLES"}),
              log.statements);
    EXPECT_EQ(
        (QStringList{"The host information by which cash are carried out was reset.",
                     "The file inode number of an update log was changed.", "The status variable was reset.",
                     "The data by which cash are carried out was written in the disk."}),
        op.messageTexts());
}

TEST_F(ObjectTree, ContextMenuFollowsTheSelectedNodeNotTheMouse) {
    startWith("velkin_tree_menu", {"t"});
    tree.resize(300, 600);
    tree.show();
    QTreeWidgetItem* table = select(child(select(db("velkin_tree_menu")), "t"));

    const QRect rootRect = tree.visualItemRect(tree.databaseRoot());
    ASSERT_TRUE(rootRect.isValid());
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, rootRect.center());
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, {}, rootRect.center());
    EXPECT_EQ(table, tree.currentItem());
    EXPECT_EQ("t", doc.selection().table);

    QMenu menu;
    tree.fillContextMenu(menu);
    QStringList texts, disabled;
    for (QAction* a : menu.actions()) {
        texts << (a->isSeparator() ? "|" : a->text());
        if (!a->isEnabled())
            disabled << a->text();
    }
    EXPECT_EQ((QStringList{"Add User(&A)",
                           "SQL Execution",
                           "|",
                           "Database creation",
                           "Table new creation",
                           "Delete",
                           "|",
                           "Table name change",
                           "The lock of a table",
                           "Lock release of a table",
                           "Optimization of a table",
                           "|",
                           "Export CSV",
                           "|",
                           "Table edit",
                           "Table duplicate",
                           "Database duplicate",
                           "Maintenance and Restoration",
                           "|",
                           "The amount of data"}),
              texts);
    EXPECT_EQ(QStringList{"Table new creation"}, disabled);

    StatementLog log;
    menu.findChild<QAction*>("Optimization of a table")->trigger();
    EXPECT_EQ((std::vector<std::string>{"OPTIMIZE TABLE velkin_tree_menu.t"}),
              statementsWith(log, "OPTIMIZE"));
}

TEST_F(ObjectTree, SqlExecutionAddsDatabasesCreatedMeanwhile) {
    ScratchDatabase kept("velkin_tree_sql_kept");
    ScratchDatabase dropped("velkin_tree_sql_dropped");
    auto admin = connectAdmin();
    exec(*admin, "DROP DATABASE IF EXISTS velkin_tree_sql_new");
    start(adminAccount());
    QTreeWidgetItem* keptNode = select(db("velkin_tree_sql_kept"));
    screens.console = [&] {
        exec(*admin, "CREATE DATABASE velkin_tree_sql_new");
        exec(*admin, "DROP DATABASE velkin_tree_sql_dropped");
        exec(*admin, "CREATE TABLE velkin_tree_sql_kept.late (id INT)");
    };

    StatementLog log;
    tree.execute(Command::SqlExecution);
    EXPECT_EQ(QStringList{"sql console"}, screens.opened);
    EXPECT_EQ(2u, statementsWith(log, "SHOW DATABASES").size());
    EXPECT_EQ("SHOW DATABASES", log.statements.at(0));
    ASSERT_TRUE(db("velkin_tree_sql_new"));
    EXPECT_TRUE(db("velkin_tree_sql_dropped")) << "dropped databases keep their nodes";
    EXPECT_EQ(db("velkin_tree_sql_new"), tree.currentItem());
    EXPECT_EQ("velkin_tree_sql_new", doc.selection().database) << "the new node's selection acts";

    EXPECT_TRUE(child(keptNode, "late")) << "the tables made meanwhile show at once";

    // A table dropped in the console leaves the tree; the shown one hands the selection to its
    // database, another one leaves the selection where it is.
    screens.console = nullptr;
    exec(*admin, "CREATE TABLE velkin_tree_sql_kept.other (id INT)");
    select(keptNode);
    tree.execute(Command::SqlExecution);
    QTreeWidgetItem* late = child(keptNode, "late");
    ASSERT_TRUE(late && child(keptNode, "other"));
    select(late);
    screens.console = [&] { exec(*admin, "DROP TABLE velkin_tree_sql_kept.other"); };
    tree.execute(Command::SqlExecution);
    EXPECT_FALSE(child(keptNode, "other"));
    EXPECT_EQ(late, tree.currentItem());
    EXPECT_EQ("late", doc.selection().table);
    screens.console = [&] { exec(*admin, "DROP TABLE velkin_tree_sql_kept.late"); };
    tree.execute(Command::SqlExecution);
    EXPECT_FALSE(child(keptNode, "late"));
    EXPECT_EQ(keptNode, tree.currentItem());
    EXPECT_EQ("velkin_tree_sql_kept", doc.selection().database);
    EXPECT_EQ("", doc.selection().table);
    // The chart of the database follows a table made by an import.
    resetCounters();
    exec(*admin, "CREATE TABLE velkin_tree_sql_kept.imported (id INT)");
    tree.execute(Command::ImportCsv);
    EXPECT_TRUE(child(keptNode, "imported"));
    EXPECT_EQ(1, host.updates);
    exec(*admin, "DROP DATABASE IF EXISTS velkin_tree_sql_new");
}

TEST_F(ObjectTree, LostSessionLeadsToANewLoginAndARebuiltTree) {
    accounts.push_back({"root", "not-the-password"});
    login.login();
    ASSERT_EQ(1, op.messageTexts().size());
    EXPECT_TRUE(op.messageTexts()[0].startsWith("Connection failure\n1045:"))
        << op.messageTexts()[0].toStdString();
    ASSERT_EQ(1, tree.topLevelItemCount());
    EXPECT_EQ(0, tree.databaseRoot()->childCount());
    EXPECT_FALSE(tree.isReady());
    select(tree.databaseRoot());
    EXPECT_EQ(0, host.chartShows) << "a tree that is not ready ignores selections";
    EXPECT_TRUE(login.keepAlive().isActive());

    op.clear();
    accounts.push_back(adminAccount());
    login.keepAlive().check();
    EXPECT_EQ((QStringList{"The session to a server is cut.", "It is Admin."}), op.messageTexts());
    EXPECT_TRUE(tree.isReady());
    const unsigned long first = doc.connection()->threadId();

    ScratchDatabase later("velkin_tree_alive");
    doc.select(Selection{"mysql", "user", "user", NodeKind::Table, ChartKind::None});
    exec(later.admin(), sqlf("KILL %lu", first));
    op.clear();
    accounts.push_back(adminAccount());
    login.keepAlive().check();
    EXPECT_EQ((QStringList{"The session to a server is cut.", "It is Admin."}), op.messageTexts());
    EXPECT_EQ(3, logins);
    EXPECT_NE(first, doc.connection()->threadId());
    EXPECT_TRUE(db("velkin_tree_alive")) << "the tree was filled anew";
    EXPECT_EQ(2, tree.topLevelItemCount());
    EXPECT_TRUE(login.keepAlive().isActive());
    EXPECT_TRUE(doc.selection().database.isEmpty() && doc.selection().table.isEmpty() &&
                doc.selection().node == NodeKind::Database)
        << "nothing chosen before the new login stands for anything on its server";
}

TEST_F(ObjectTree, ScreensGetTheSessionStateAndTheirAnswersReachTheTree) {
    startWith("velkin_tree_screens", {"t"});
    QTreeWidgetItem* database = select(db("velkin_tree_screens"));

    tree.execute(Command::TableNameChange);
    tree.execute(Command::ExportCsv);
    tree.execute(Command::TableEdit);
    EXPECT_TRUE(screens.opened.isEmpty()) << "table commands need a current table";

    QTreeWidgetItem* table = select(child(database, "t"));
    for (Command c : {Command::ExportCsv, Command::TableDuplicate, Command::Maintenance, Command::DataAmount})
        tree.execute(c);
    EXPECT_EQ((QStringList{"csv export velkin_tree_screens.t", "table copy velkin_tree_screens.t",
                           "maintenance velkin_tree_screens.t", "data amount velkin_tree_screens.t"}),
              screens.opened);

    screens.names = {"t_renamed"};
    tree.execute(Command::TableNameChange);
    EXPECT_EQ("t_renamed", table->text(0));
    EXPECT_EQ("t_renamed", doc.selection().table);

    // Insert with a table selected: the new table goes beside it, under the database.
    screens.names = {"a_new"};
    QTest::keyClick(&tree, Qt::Key_Insert);
    EXPECT_EQ("create table velkin_tree_screens", screens.opened.last());
    EXPECT_EQ((QStringList{"a_new", "Access restrictions", "t_renamed", "User restrictions"}),
              labels(database));
    EXPECT_EQ(child(database, "a_new"), tree.currentItem());
    EXPECT_EQ("a_new", doc.selection().table);

    screens.names = {"velkin_tree_screens_copy"};
    tree.execute(Command::DatabaseDuplicate);
    EXPECT_EQ("database copy velkin_tree_screens.a_new", screens.opened.last());
    EXPECT_TRUE(db("velkin_tree_screens_copy"));

    screens.opened.clear();
    select(tree.databaseRoot());
    tree.execute(Command::TableNewCreation);
    QTest::keyClick(&tree, Qt::Key_Delete);
    EXPECT_TRUE(screens.opened.isEmpty());
    EXPECT_TRUE(op.questions.empty());
    screens.names = {"velkin_tree_screens_made"};
    tree.execute(Command::DatabaseCreation);
    EXPECT_EQ(QStringList{"create database"}, screens.opened);
    EXPECT_EQ(db("velkin_tree_screens_made"), tree.currentItem());
}

TEST_F(ObjectTree, DoubleClicksOpenTheScreensOfTheirNodes) {
    startWith("velkin_tree_double", {"t"});
    tree.resize(300, 900);
    tree.show();
    QTreeWidgetItem* database = select(db("velkin_tree_double"));
    QTreeWidgetItem* management = top("Data for management");

    auto doubleClick = [&](QTreeWidgetItem* node) {
        select(node);
        resetCounters();
        tree.scrollToItem(node);
        const QPoint at = tree.visualItemRect(node).center();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    };
    for (const char* label : {"User", "Host", "Database"})
        doubleClick(child(management, label));
    doubleClick(child(database, "User restrictions"));
    EXPECT_EQ(1, host.chartShows) << "the chart view is shown anew";
    doubleClick(child(database, "Access restrictions"));
    EXPECT_EQ(1, host.chartShows);
    screens.names = {"t2"};
    doubleClick(child(database, "t"));
    doubleClick(tree.databaseRoot());
    EXPECT_EQ(
        (QStringList{"user list", "host list", "database list", "database privileges velkin_tree_double",
                     "access restrictions velkin_tree_double", "table editor velkin_tree_double.t"}),
        screens.opened);
    EXPECT_TRUE(child(database, "t2")) << "the editor's new table name reaches the node";
}
