#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <functional>

#include "ViewTesting.h"
#include "transfer/TableDuplicateDialog.h"
#include "views/ScreenDispatcher.h"
#include "views/SessionCommands.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// A dispatcher on a session of its own; every screen it opens is recorded by its class and
/// closed at once.
class Dispatch : public ::testing::Test {
protected:
    /// The classes of the screens that one call opened.
    QStringList screensOf(const std::function<void()>& call) {
        op.clear();
        QStringList classes;
        for (int i = 0; i < 3; ++i)
            op.onModal([&classes](QDialog& dialog) {
                classes << QString::fromUtf8(dialog.metaObject()->className()).remove("velkin::");
                return int(QDialog::Rejected);
            });
        call();
        return classes;
    }
    void choose(const QString& database, const QString& table) {
        doc.select(Selection{database, table, table, NodeKind::Table, ChartKind::None});
    }

    /// A tree's place in the command table, without the tree: what a command opens on its own.
    struct Site : CommandTarget {
        Site(CSorvaneDoc& doc, ScreenDispatcher& screens, SessionCommands& session)
            : doc(doc), dispatcher(screens), session(session) {}
        ViewKind viewKind() const override { return ViewKind::Tree; }
        Selection selection() const override { return doc.selection(); }
        CLeftView* objectTree() override { return nullptr; }
        CSorvaneView* recordListView() override { return nullptr; }
        ScreenDispatcher& screens() override { return dispatcher; }
        SessionCommands& sessionCommands() override { return session; }
        CSorvaneDoc& doc;
        ScreenDispatcher& dispatcher;
        SessionCommands& session;
    };

    ScriptedOperator op;
    CSorvaneDoc doc{op, loginAs(adminAccount())};
    ScreenDispatcher screens{doc, op};
    SessionCommands session{doc, op, screens};
    Site site{doc, screens, session};
};

}  // namespace

TEST_F(Dispatch, EachOpenerShowsItsOwnScreenOnceOnTheSession) {
    ScratchDatabase scratch("velkin_dispatch");
    exec(scratch.admin(), "CREATE TABLE velkin_dispatch.t (id INT PRIMARY KEY, name VARCHAR(10))");
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    const QString db = "velkin_dispatch", t = "t";

    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"CreateDatabaseDialog", [&] { EXPECT_EQ(std::nullopt, screens.openCreateDatabase()); }},
        {"CreateTableDialog", [&] { EXPECT_EQ(std::nullopt, screens.openCreateTable(db)); }},
        {"RenameTableDialog", [&] { EXPECT_EQ(std::nullopt, screens.openRenameTable(db, t)); }},
        {"TableEditorDialog", [&] { EXPECT_EQ(t, screens.openTableEditor(db, t)); }},
        {"DatabaseDuplicateDialog", [&] { EXPECT_EQ(std::nullopt, screens.openDatabaseCopy(db, t)); }},
        {"TableDuplicateDialog", [&] { screens.openTableCopy(db, t); }},
        {"MaintenanceDialog", [&] { screens.openMaintenance(db, t); }},
        {"DataAmountDialog", [&] { screens.openDataAmount(db, t); }},
        {"CsvExportDialog", [&] { screens.openTableExport(db, t); }},
        {"CsvImportDialog", [&] { screens.openCsvImport(); }},
        {"SqlConsoleDialog", [&] { screens.openSqlConsole(); }},
        {"DatabaseDialog", [&] { screens.openDatabasePrivileges(db); }},
        {"AccessRestrictionDialog", [&] { screens.openAccessRestrictions(db); }},
        {"UserListDialog", [&] { screens.openUserList(); }},
        {"HostListDialog", [&] { screens.openHostList(); }},
        {"DatabaseListDialog", [&] { screens.openDatabaseList(); }},
        {"DuplicateFromOtherServersDialog", [&] { screens.openCopyFromOtherServers(); }},
        {"UserEditorDialog", [&] { screens.openNewUserEditor(); }},
        {"UserEditorDialog", [&] { screens.openUserEditor("localhost", "root", ""); }},
        {"DbDialog", [&] { screens.openDbEditor("%", db, "velkin_nobody"); }},
        {"HostDetailsDialog", [&] { screens.openHostEditor("velkin.example", db); }},
        {"ProcessMonitorDialog", [&] { screens.openProcessMonitor(); }},
        {"SystemVariablesDialog", [&] { screens.openVariableList(); }},
    };
    for (const auto& [screen, open] : cases)
        EXPECT_EQ(QStringList{screen}, screensOf(open)) << screen;
    EXPECT_TRUE(doc.connection()) << "no screen closes the session's connection";
}

TEST_F(Dispatch, CommandsOpenTheirScreensAndTableScreensNeedATable) {
    ScratchDatabase scratch("velkin_dispatch_cmd");
    exec(scratch.admin(), "CREATE TABLE velkin_dispatch_cmd.t (id INT)");
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());

    const std::vector<std::pair<Command, const char*>> tableScreens = {
        {Command::TableDuplicate, "TableDuplicateDialog"},
        {Command::Maintenance, "MaintenanceDialog"},
        {Command::DataAmount, "DataAmountDialog"},
    };
    choose("velkin_dispatch_cmd", QString());
    for (const auto& [command, screen] : tableScreens)
        EXPECT_EQ(QStringList(), screensOf([&] { site.execute(command); })) << screen;
    choose("velkin_dispatch_cmd", "t");
    for (const auto& [command, screen] : tableScreens)
        EXPECT_EQ(QStringList{screen}, screensOf([&] { site.execute(command); }));
    EXPECT_EQ(QStringList{"CsvExportDialog"}, screensOf([&] { site.execute(Command::ExportCsv); }));

    const std::vector<std::pair<Command, const char*>> others = {
        {Command::ImportCsv, "CsvImportDialog"},
        {Command::DuplicateFromOtherServers, "DuplicateFromOtherServersDialog"},
        {Command::ProcessDisplay, "ProcessMonitorDialog"},
        {Command::SystemVariableList, "SystemVariablesDialog"},
        {Command::Replication, "ReplicationDialog"},
        {Command::Galera, "GaleraDialog"},
    };
    for (const auto& [command, screen] : others)
        EXPECT_EQ(QStringList{screen}, screensOf([&] { site.execute(command); }));
    // Without a tree the console still opens; the tree's own commands have nothing to act on.
    EXPECT_EQ(QStringList{"SqlConsoleDialog"}, screensOf([&] { site.execute(Command::SqlExecution); }));
    for (Command command : {Command::Delete, Command::DatabaseCreation, Command::TableNewCreation,
                            Command::TableEdit, Command::PageSetup})
        EXPECT_EQ(QStringList(), screensOf([&] { site.execute(command); })) << commandLabel(command);
}

TEST_F(Dispatch, TheTableCopyReadsOnASecondConnectionWithTheSessionsLogin) {
    ScratchDatabase source("velkin_dispatch_src");
    ScratchDatabase target("velkin_dispatch_dst");
    exec(source.admin(), "CREATE TABLE velkin_dispatch_src.people (id INT PRIMARY KEY, name VARCHAR(20))");
    exec(source.admin(),
         "INSERT INTO velkin_dispatch_src.people VALUES (1, 'Ann'), (2, NULL), (3, 'O''Neil')");
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    choose("velkin_dispatch_src", "people");
    op.clear();
    op.onModal([this](QDialog& dialog) {
        auto& copy = dynamic_cast<TableDuplicateDialog&>(dialog);
        auto* destinations = copy.findChild<QComboBox*>("The database point to create");
        EXPECT_NE(nullptr, destinations);
        if (destinations)
            destinations->setCurrentIndex(destinations->findText("velkin_dispatch_dst"));
        copy.findChild<QCheckBox*>("Data copy")->setChecked(true);
        op.answer(true);
        copy.create();
        return int(QDialog::Accepted);
    });
    site.execute(Command::TableDuplicate);

    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    const std::string rows = "SELECT GROUP_CONCAT(id, '=', IFNULL(name, 'NULL') ORDER BY id) FROM ";
    EXPECT_EQ("1=Ann,2=NULL,3=O'Neil", scalar(target.admin(), rows + "velkin_dispatch_dst.people"));
}

TEST_F(Dispatch, NothingOpensWithoutAConnection) {
    choose("mysql", "user");
    EXPECT_EQ(QStringList(), screensOf([&] {
                  EXPECT_EQ(std::nullopt, screens.openCreateDatabase());
                  EXPECT_EQ(std::nullopt, screens.openTableEditor("mysql", "user"));
                  EXPECT_EQ(std::nullopt, screens.openDatabaseCopy("mysql", "user"));
                  screens.openTableCopy("mysql", "user");
                  screens.openSqlConsole();
                  screens.openUserList();
                  screens.openNewUserEditor();
                  site.execute(Command::Maintenance);
                  site.execute(Command::SystemVariableList);
              }));
    EXPECT_TRUE(op.messages.empty());
}
