#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "ProgramTesting.h"
#include "monitor/ProcessMonitorDialog.h"
#include "privileges/UserEditorDialog.h"
#include "session/ProcessExit.h"
#include "session/RowModel.h"
#include "session/SqlText.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/DatabaseDuplicateDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "transfer/TableDuplicateDialog.h"
#include "views/CDbGraphView.h"
#include "views/CLeftView.h"
#include "views/RecordDetailsDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// Short enough that a test waits for the check instead of calling it.
constexpr int kKeepAliveMs = 50;

bool chartNames(const ChartLayout& layout, const QString& database) {
    return std::any_of(layout.texts.begin(), layout.texts.end(),
                       [&](const ChartText& t) { return t.text.startsWith(database + " ("); });
}

}  // namespace

TEST(Reconnect, SqlConsoleGoesOnWithTheNewConnection) {
    Program p(kKeepAliveMs);
    Connection& held = p.session();
    SqlConsoleDialog console(held, p.op, &p.frame);
    auto* query = child<QPlainTextEdit>(console, "Query");
    query->setPlainText("SELECT CONNECTION_ID()");
    console.execute();
    const std::string before = console.rows().cellText(0, 0).toStdString();

    const unsigned long renewed = p.loseAndLogInAgain();
    EXPECT_EQ(&held, p.doc.connection()) << "the same object, renewed in place";
    console.execute();
    EXPECT_TRUE(p.op.messages.empty()) << p.op.messageTexts().join('|').toStdString();
    ASSERT_EQ(1, console.rows().rows());
    EXPECT_EQ(std::to_string(renewed), console.rows().cellText(0, 0).toStdString());
    EXPECT_NE(before, console.rows().cellText(0, 0).toStdString());
    EXPECT_EQ("It was processed correctly.", child<QLineEdit>(console, "Execution result")->text());
}

TEST(Reconnect, ProcessMonitorRestsDuringTheLoginAndShowsTheNewSession) {
    Program p(kKeepAliveMs);
    ProcessMonitorDialog monitor(p.session(), p.op, &p.frame);
    ASSERT_TRUE(monitor.isRefreshing());
    auto* processes = child<QTreeWidget>(monitor, "Process list");

    // The monitor's own timer runs while the person types the login: it must not touch the server.
    StatementLog log;
    std::vector<std::string> sentWhileLoggingIn;
    p.whileLoggingIn = [&] {
        log.clear();
        QTest::qWait(ProcessMonitorDialog::kRefreshMilliseconds * 2 + 200);
        sentWhileLoggingIn = log.statements;
    };
    const unsigned long renewed = p.loseAndLogInAgain();
    p.whileLoggingIn = nullptr;
    EXPECT_TRUE(sentWhileLoggingIn.empty()) << sentWhileLoggingIn.front();
    EXPECT_TRUE(monitor.isRefreshing()) << "the refresh goes on after the login";

    log.clear();
    monitor.tick();
    EXPECT_TRUE(log.sent("SHOW PROCESSLIST"));
    EXPECT_FALSE(processes->findItems(QString::number(renewed), Qt::MatchExactly, 0).isEmpty())
        << "the list is read on the new connection, which sees itself";
    EXPECT_EQ(qs(p.session().serverInfo()), child<QLineEdit>(monitor, "Server Version")->text());
    EXPECT_TRUE(p.op.messages.empty());
}

TEST(Reconnect, RecordDetailsUpdatesOnTheNewConnection) {
    ScratchDatabase db("velkin_reconnect_details");
    exec(db.admin(), "CREATE TABLE velkin_reconnect_details.t (a INT PRIMARY KEY, b VARCHAR(10))");
    exec(db.admin(), "INSERT INTO velkin_reconnect_details.t VALUES (1, 'x'), (2, 'y')");
    Program p(kKeepAliveMs);
    RecordDetailsDialog details(p.session(), p.op, "velkin_reconnect_details", "t", {"1", "x"}, &p.frame);

    p.loseAndLogInAgain();
    details.selectLine(1);
    child<QLineEdit>(details, "The contents of the field")->setText("renewed");
    details.update();
    EXPECT_TRUE(p.op.messages.empty()) << p.op.messageTexts().join('|').toStdString();
    EXPECT_EQ("renewed", scalar(db.admin(), "SELECT b FROM velkin_reconnect_details.t WHERE a = 1"));
    EXPECT_EQ("y", scalar(db.admin(), "SELECT b FROM velkin_reconnect_details.t WHERE a = 2"));
}

TEST(Reconnect, TableAndDatabaseDuplicatesCopyOnTheNewConnection) {
    ScratchDatabase db("velkin_reconnect_dup");
    ScratchDatabase copy("velkin_reconnect_dupdb");
    exec(copy.admin(), "DROP DATABASE velkin_reconnect_dupdb");
    exec(db.admin(), "CREATE TABLE velkin_reconnect_dup.people (id INT PRIMARY KEY, name VARCHAR(20))");
    exec(db.admin(), "INSERT INTO velkin_reconnect_dup.people VALUES (1, 'Ann'), (2, NULL), (3, 'it''s')");
    const std::string rows = "SELECT GROUP_CONCAT(id, '=', IFNULL(name, 'NULL') ORDER BY id) FROM ";
    ScratchDirectory dir;
    Program p(kKeepAliveMs);
    TableDuplicateDialog table(p.session(), p.op, p.login(), "velkin_reconnect_dup", "people", &p.frame);
    DatabaseDuplicateDialog database(p.session(), p.op, p.login(), "velkin_reconnect_dup", &p.frame);
    p.op.clear();

    p.loseAndLogInAgain();
    auto* destination = child<QWidget>(table, "Destination");
    child<QLineEdit>(*destination, "Table")->setText("people_copy");
    auto* databases = child<QComboBox>(*destination, "The database point to create");
    databases->setCurrentIndex(databases->findText("velkin_reconnect_dup"));
    ASSERT_GE(databases->currentIndex(), 0);
    child<QCheckBox>(table, "Data copy")->setChecked(true);
    p.op.answer(true);
    table.create();
    EXPECT_EQ(QStringList{"It was created normally."}, p.op.messageTexts());
    EXPECT_EQ(scalar(db.admin(), rows + "velkin_reconnect_dup.people"),
              scalar(db.admin(), rows + "velkin_reconnect_dup.people_copy"));

    p.op.clear();
    child<QLineEdit>(database, "New Database")->setText("velkin_reconnect_dupdb");
    p.op.answer(true);
    database.create();
    EXPECT_EQ(QStringList{"It was created normally."}, p.op.messageTexts());
    EXPECT_EQ(scalar(db.admin(), rows + "velkin_reconnect_dup.people"),
              scalar(db.admin(), rows + "velkin_reconnect_dupdb.people"));
}

TEST(Reconnect, UserEditorSavesOnTheNewConnection) {
    auto admin = connectAdmin();
    auto cleanUp = [&] {
        exec(*admin, "DELETE FROM mysql.user WHERE User = 'velkin_rc_ue'");
        exec(*admin, "FLUSH PRIVILEGES");
    };
    cleanUp();
    exec(*admin,
         "INSERT INTO mysql.user SET Host = 'localhost', User = 'velkin_rc_ue', Password = '', "
         "Select_priv = 'Y'");
    {
        Program p(kKeepAliveMs);
        UserEditorDialog editor(p.session(), p.op, "localhost", "velkin_rc_ue", "", &p.frame);
        p.loseAndLogInAgain();
        child<QCheckBox>(editor, "user Insert")->setChecked(true);
        StatementLog log;
        p.op.answer(true);
        editor.update();
        EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
        EXPECT_EQ("Y|Y", scalar(*admin,
                                "SELECT CONCAT(Select_priv, '|', Insert_priv) FROM mysql.user "
                                "WHERE User = 'velkin_rc_ue'"));
    }
    cleanUp();
}

TEST(Reconnect, CsvExportWritesFromTheNewConnection) {
    ScratchDatabase db("velkin_reconnect_csv");
    exec(db.admin(), "CREATE TABLE velkin_reconnect_csv.t (id INT, name VARCHAR(20))");
    exec(db.admin(), "INSERT INTO velkin_reconnect_csv.t VALUES (1, 'abc'), (2, NULL)");
    ScratchDirectory dir;
    Program p(kKeepAliveMs);
    CsvExportDialog csv(p.session(), p.op, "Select * from velkin_reconnect_csv.t", &p.frame);

    p.loseAndLogInAgain();
    const QString path = QString::fromStdString(dir.path()) + "/renewed.csv";
    child<QLineEdit>(csv, "File name")->setText(path);
    csv.write();
    EXPECT_EQ(QStringList{"It outputted to the file."}, p.op.messageTexts());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ("1,abc\r\n2,(null)\r\n", file.readAll().toStdString());
}

TEST(Reconnect, ConnectHeldPastTheKeepAliveShowsOneLogin) {
    Program p(kKeepAliveMs);
    const unsigned long first = p.session().threadId();
    p.whileLoggingIn = [&] {
        EXPECT_FALSE(p.doc.isConnected()) << "the old connection is closed before the login";
        QTest::qWait(kKeepAliveMs * 6);
    };
    p.frame.runCommand(Command::Connect);
    EXPECT_EQ(2, p.logins);
    EXPECT_EQ(1, p.deepestLogin) << "no login is stacked on another";
    EXPECT_FALSE(p.op.messageTexts().contains("The session to a server is cut."));
    EXPECT_EQ(QStringList{"It is Admin."}, p.op.messageTexts());
    ASSERT_TRUE(p.doc.isConnected());
    EXPECT_NE(first, p.session().threadId());

    // Afterwards the keep-alive checks again and finds nothing amiss.
    p.whileLoggingIn = nullptr;
    p.op.clear();
    EXPECT_TRUE(p.frame.keepAlive().isActive());
    QTest::qWait(kKeepAliveMs * 4);
    EXPECT_EQ(2, p.logins);
    EXPECT_TRUE(p.op.messages.empty());
}

TEST(Reconnect, TheRightPaneShowsTheNewAccountsView) {
    ScratchDatabase db("velkin_reconnect_pane");
    exec(db.admin(), "CREATE TABLE velkin_reconnect_pane.t (a INT)");
    Program p(kKeepAliveMs);
    CLeftView& tree = p.frame.tree();
    QTreeWidgetItem* node = tree.databaseNode("velkin_reconnect_pane");
    ASSERT_NE(nullptr, node);
    tree.setCurrentItem(node);
    ASSERT_EQ("velkin_reconnect_pane", p.doc.selection().database);
    Selection server = p.doc.selection();
    server.chart = ChartKind::Server;
    p.doc.select(server);
    p.frame.showChartView();
    auto* adminChart = qobject_cast<CDbGraphView*>(p.frame.rightView());
    ASSERT_NE(nullptr, adminChart);
    adminChart->picture();
    EXPECT_TRUE(chartNames(adminChart->layout(), "mysql")) << "the administrator's chart holds mysql";

    p.account = commonAccount();
    p.frame.runCommand(Command::Connect);
    EXPECT_EQ("It is under connection by the common user.", p.frame.statusBarPanes().paneText(0));
    auto* chart = qobject_cast<CDbGraphView*>(p.frame.rightView());
    ASSERT_NE(nullptr, chart);
    EXPECT_NE(adminChart, chart) << "drawn anew, not the earlier session's picture";
    chart->picture();
    EXPECT_TRUE(chartNames(chart->layout(), "sorvane_common"));
    EXPECT_FALSE(chartNames(chart->layout(), "mysql"));
    EXPECT_FALSE(chartNames(chart->layout(), "velkin_reconnect_pane"));
    EXPECT_TRUE(p.doc.selection().database.isEmpty());
    EXPECT_EQ(nullptr, tree.selectedNode()) << "no selection is left from before";
    EXPECT_EQ(1, tree.topLevelItemCount()) << "a common user has no management root";
    EXPECT_EQ(nullptr, tree.databaseNode("velkin_reconnect_pane"));
}

TEST(Reconnect, CancellingTheLoginAfterALossStillEndsTheProcess) {
    struct Ended {
        int code;
    };
    setProcessEndHandler([](int code) { throw Ended{code}; });
    {
        Program p(kKeepAliveMs);
        Connection& held = p.session();
        auto killer = connectAdmin();
        exec(*killer, sqlf("KILL %lu", held.threadId()));
        p.cancel = true;
        try {
            // Called as the timer calls it, so that the end of the process unwinds through our code.
            p.frame.keepAlive().check();
            ADD_FAILURE() << "a cancelled login ends the process";
        } catch (const Ended& e) {
            EXPECT_EQ(-1, e.code);
        }
        EXPECT_EQ((QStringList{"The session to a server is cut.", "Login failure"}), p.op.messageTexts());
        EXPECT_FALSE(p.doc.isLoggingIn());
        EXPECT_FALSE(held.isOpen());
        EXPECT_NE(0, held.query("SELECT 1")) << "a closed connection refuses statements without crashing";
        EXPECT_EQ(2006u, held.errorNumber());
    }
    setProcessEndHandler(nullptr);
}
