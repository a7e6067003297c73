#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <thread>

#include "MonitorTesting.h"
#include "ReplicationServers.h"
#include "monitor/LineChartCtrl.h"
#include "monitor/MonitorText.h"
#include "monitor/ReplicationDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

QTreeWidgetItem* channelRow(ReplicationDialog& dialog, const QString& label) {
    QTreeWidget* list = widget<QTreeWidget>(dialog, "Replica connections");
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == label)
            return list->topLevelItem(i);
    return nullptr;
}

/// Chooses a replica connection in the list, as a click would.
void choose(ReplicationDialog& dialog, const QString& label) {
    QTreeWidgetItem* item = channelRow(dialog, label);
    ASSERT_NE(item, nullptr) << label;
    item->treeWidget()->setCurrentItem(item);
}

QString cell(ReplicationDialog& dialog, const QString& label, int column) {
    QTreeWidgetItem* item = channelRow(dialog, label);
    return item ? item->text(column) : QStringLiteral("<no row>");
}

QString notice(ReplicationDialog& dialog) {
    QLabel* label = widget<QLabel>(dialog, "Notice");
    return label && !label->isHidden() ? label->text() : QString();
}

/// Refreshes the screen until the condition holds (the servers move on their own time).
bool refreshedUntil(ReplicationDialog& dialog, double seconds, const std::function<bool()>& condition) {
    return within(seconds, [&] {
        dialog.refresh();
        return condition();
    });
}

/// Every test leaves both connections of the replica running and the test table gone everywhere.
class ReplicationScreen : public ::testing::Test {
protected:
    void SetUp() override {
        primary = connectRepl("primary");
        replica = connectRepl("replica");
        exec(*primary, "CREATE DATABASE IF NOT EXISTS repl_test");
        exec(*primary, "DROP TABLE IF EXISTS repl_test.t");
        exec(*primary, "CREATE TABLE repl_test.t (id INT PRIMARY KEY, note VARCHAR(20))");
        ASSERT_TRUE(caughtUp());
    }
    void TearDown() override {
        exec(*replica, "START ALL SLAVES");
        exec(*primary, "DROP TABLE IF EXISTS repl_test.t");
        EXPECT_TRUE(caughtUp());
    }
    /// The replica applied everything the primary wrote.
    bool caughtUp() {
        const std::string target = scalar(*primary, "SELECT @@global.gtid_binlog_pos");
        return within(10, [&] {
            const std::string applied = scalar(*replica, "SELECT @@global.gtid_slave_pos");
            return applied.find(target) != std::string::npos;
        });
    }

    std::unique_ptr<Connection> primary;
    std::unique_ptr<Connection> replica;
    ScriptedOperator op;
};

}  // namespace

TEST_F(ReplicationScreen, ShowsTheReplicaAndThePrimaryInOneRoundOfStatements) {
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    StatementLog log;
    dialog.refresh();
    // One round: replica status, the variables, binary log status, registered replicas, dump threads.
    EXPECT_EQ(log.statements.size(), 5u);
    EXPECT_EQ(log.statements.front(), "SHOW ALL REPLICAS STATUS");

    EXPECT_EQ(cell(dialog, "(default)", 1), "Yes");
    EXPECT_EQ(cell(dialog, "(default)", 2), "Yes");
    EXPECT_EQ(cell(dialog, "(default)", 5), QString("127.0.0.1:%1").arg(replPort("primary")));
    EXPECT_EQ(cell(dialog, "second", 5), QString("127.0.0.1:%1").arg(replPort("source2")));
    choose(dialog, "second");
    EXPECT_EQ(boxText(dialog, "Primary port"), QString::number(replPort("source2")));
    EXPECT_EQ(boxText(dialog, "Using GTID"), "Slave_Pos");
    EXPECT_EQ(boxText(dialog, "gtid_slave_pos"),
              QString::fromStdString(scalar(*replica, "SELECT @@gtid_slave_pos")));
    EXPECT_EQ(boxText(dialog, "gtid_current_pos"),
              QString::fromStdString(scalar(*replica, "SELECT @@gtid_current_pos")));
    EXPECT_FALSE(boxText(dialog, "Relay log space").isEmpty());
    // The choice outlives the refresh.
    dialog.refresh();
    EXPECT_EQ(boxText(dialog, "Primary port"), QString::number(replPort("source2")));
    // The replica writes a binary log of its own (log_slave_updates) but nothing reads it.
    EXPECT_EQ(notice(dialog), "No replica is connected to this server.");

    // The primary: its binary log as a second client reads it, the replica registered and reading.
    auto onPrimary = connectRepl("primary");
    ReplicationDialog primaryScreen(*onPrimary, op);
    primaryScreen.refresh();
    Result status = primary->select("SHOW BINLOG STATUS");
    ASSERT_TRUE(status);
    Row row = status.fetchRow();
    EXPECT_EQ(boxText(primaryScreen, "Binary log file"), QString::fromStdString(row.str(0)));
    EXPECT_EQ(boxText(primaryScreen, "Binary log position"), QString::fromStdString(row.str(1)));
    EXPECT_EQ(boxText(primaryScreen, "binlog_format"), "ROW");
    EXPECT_EQ(widget<QTreeWidget>(primaryScreen, "Registered replicas")->topLevelItem(0)->text(0), "2");
    QTreeWidget* dumps = widget<QTreeWidget>(primaryScreen, "Binlog Dump threads");
    ASSERT_EQ(dumps->topLevelItemCount(), 1);
    EXPECT_EQ(dumps->topLevelItem(0)->text(1), "repl");
    EXPECT_EQ(widget<QTreeWidget>(primaryScreen, "Replica connections")->topLevelItemCount(), 0);
}

TEST_F(ReplicationScreen, LagAppearsWhileTheSqlThreadStandsAndWritesGoOn) {
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    dialog.refresh();
    choose(dialog, "(default)");
    op.answer(true);
    click(dialog, "Stop SQL");
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_TRUE(op.questions[0].text.endsWith("\n\nSTOP REPLICA SQL_THREAD")) << op.questions[0].text;
    EXPECT_EQ(replicaField(*replica, "", "Slave_SQL_Running"), "No");
    EXPECT_EQ(replicaField(*replica, "second", "Slave_SQL_Running"), "Yes");

    exec(*primary, "INSERT INTO repl_test.t VALUES (1, 'a'), (2, 'b')");
    exec(*primary, "INSERT INTO repl_test.t VALUES (3, 'c')");
    // The IO thread goes on receiving; what it received waits to be applied.
    EXPECT_TRUE(refreshedUntil(dialog, 5, [&] { return cell(dialog, "(default)", 4) == "2"; }))
        << cell(dialog, "(default)", 4).toStdString();
    EXPECT_EQ(cell(dialog, "(default)", 2), "No");
    EXPECT_EQ(cell(dialog, "(default)", 3), "NULL");

    // The SQL thread comes back but meets a lock held on the replica: it lags by the seconds its
    // transactions have waited since the primary wrote them.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    auto locker = connectRepl("replica");
    exec(*locker, "LOCK TABLES repl_test.t WRITE");
    op.answer(true);
    click(dialog, "Start SQL");
    EXPECT_TRUE(refreshedUntil(dialog, 5, [&] { return cell(dialog, "(default)", 3).toInt() >= 2; }))
        << cell(dialog, "(default)", 3).toStdString();
    EXPECT_GE(dialog.snapshot().channels.at(0).secondsBehind.value_or(0), 2);
    // The lag is on the chart: its series stands above the bottom row at the newest step.
    const QImage& chart = dialog.chart()->backBuffer();
    bool drawnHigh = false;
    for (int y = 0; y < chart.height() - 2; ++y)
        drawnHigh = drawnHigh || QColor(chart.pixel(chart.width() - 1, y)) == QColor(0, 255, 0);
    EXPECT_TRUE(drawnHigh);
    // The range typed under the chart bounds every series at once.
    ASSERT_GE(dialog.chart()->seriesCount(), 1);
    dialog.findChild<QLineEdit*>("Lag range (seconds)")->setText("7");
    for (int i = 0; i < dialog.chart()->seriesCount(); ++i)
        EXPECT_EQ(7u, dialog.chart()->upperBound(i));

    exec(*locker, "UNLOCK TABLES");
    EXPECT_TRUE(refreshedUntil(dialog, 5, [&] { return cell(dialog, "(default)", 3) == "0"; }));
    EXPECT_EQ(cell(dialog, "(default)", 4), "0");
    EXPECT_EQ(scalar(*replica, "SELECT COUNT(*) FROM repl_test.t"), "3");
}

TEST_F(ReplicationScreen, ADuplicateKeyOnTheReplicaShowsItsNumberAndText) {
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    exec(*replica, "SET sql_log_bin = 0");
    exec(*replica, "INSERT INTO repl_test.t VALUES (7, 'replica')");
    exec(*primary, "INSERT INTO repl_test.t VALUES (7, 'primary')");
    EXPECT_TRUE(refreshedUntil(dialog, 10, [&] { return cell(dialog, "(default)", 2) == "No"; }));
    choose(dialog, "(default)");
    const QString error = boxText(dialog, "Last SQL error");
    EXPECT_TRUE(error.startsWith("1062:")) << error.toStdString();
    EXPECT_TRUE(error.contains("Duplicate entry '7'")) << error.toStdString();
    EXPECT_EQ(cell(dialog, "(default)", 6), error);
    // MariaDB keeps no time of the error: the screen says when it first saw it.
    EXPECT_TRUE(boxText(dialog, "Last SQL error time").endsWith("(first seen)"));
    EXPECT_EQ(boxText(dialog, "Last IO error"), "");

    // Mended on the replica (no event skipped), the screen starts the SQL thread again.
    exec(*replica, "DELETE FROM repl_test.t WHERE id = 7");
    op.answer(true);
    click(dialog, "Start SQL");
    EXPECT_TRUE(refreshedUntil(dialog, 10, [&] { return cell(dialog, "(default)", 2) == "Yes"; }));
    EXPECT_EQ(boxText(dialog, "Last SQL error"), "");
    EXPECT_EQ(boxText(dialog, "Last SQL error time"), "");
    EXPECT_TRUE(caughtUp());
    EXPECT_EQ(scalar(*replica, "SELECT note FROM repl_test.t WHERE id = 7"), "primary");
}

TEST_F(ReplicationScreen, StopAndStartOfANamedConnectionTakeEffectOnTheServer) {
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    dialog.refresh();
    choose(dialog, "second");

    // Refused: nothing is sent.
    op.answer(false);
    StatementLog log;
    click(dialog, "Stop IO");
    EXPECT_FALSE(log.sent("STOP REPLICA 'second' IO_THREAD"));
    EXPECT_EQ(replicaField(*replica, "second", "Slave_IO_Running"), "Yes");

    op.answer(true);
    click(dialog, "Stop IO");
    EXPECT_TRUE(log.sent("STOP REPLICA 'second' IO_THREAD"));
    EXPECT_EQ(replicaField(*replica, "second", "Slave_IO_Running"), "No");
    EXPECT_EQ(replicaField(*replica, "second", "Slave_SQL_Running"), "Yes");
    EXPECT_EQ(replicaField(*replica, "", "Slave_IO_Running"), "Yes");
    EXPECT_EQ(cell(dialog, "second", 1), "No");

    op.answer(true);
    click(dialog, "Stop both");
    EXPECT_EQ(replicaField(*replica, "second", "Slave_SQL_Running"), "No");
    EXPECT_EQ(replicaField(*replica, "", "Slave_SQL_Running"), "Yes");

    op.answer(true);
    click(dialog, "Start both");
    EXPECT_TRUE(log.sent("START REPLICA 'second'"));
    EXPECT_TRUE(within(5, [&] { return replicaField(*replica, "second", "Slave_IO_Running") == "Yes"; }));
    EXPECT_EQ(replicaField(*replica, "second", "Slave_SQL_Running"), "Yes");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ReplicationScreen, AnIoErrorShowsItsNumberAndAQuotedNameIsStoppedByName) {
    // A connection whose primary cannot be reached, under a name that needs quoting.
    exec(*replica,
         "CHANGE MASTER 'it''s' TO MASTER_HOST='127.0.0.1', MASTER_PORT=1, MASTER_USER='repl', "
         "MASTER_PASSWORD='repl', MASTER_CONNECT_RETRY=1");
    exec(*replica, "START SLAVE 'it''s'");
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    EXPECT_TRUE(refreshedUntil(dialog, 10, [&] { return cell(dialog, "it's", 6).startsWith("2003:"); }))
        << cell(dialog, "it's", 6).toStdString();
    choose(dialog, "it's");
    EXPECT_TRUE(boxText(dialog, "Last IO error").startsWith("2003:"));
    EXPECT_TRUE(boxText(dialog, "Last IO error time").endsWith("(first seen)"));
    EXPECT_EQ(boxText(dialog, "Primary port"), "1");

    op.answer(true);
    StatementLog log;
    click(dialog, "Stop both");
    EXPECT_TRUE(log.sent("STOP REPLICA 'it''s'"));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("\n").toStdString();
    EXPECT_EQ(replicaField(*replica, "it's", "Slave_IO_Running"), "No");
    EXPECT_EQ(replicaField(*replica, "", "Slave_IO_Running"), "Yes");
    exec(*replica, "RESET SLAVE 'it''s' ALL");
    dialog.refresh();
    EXPECT_EQ(channelRow(dialog, "it's"), nullptr);
}

TEST_F(ReplicationScreen, ALostConnectionIsSaidAndTheNextRefreshConnectsAgain) {
    auto session = connectRepl("replica");
    ReplicationDialog dialog(*session, op);
    dialog.refresh();
    ASSERT_NE(dialog.pollingConnection(), session.get());
    const unsigned long id = dialog.pollingConnection()->serverThreadId();
    replica->kill(id);
    EXPECT_TRUE(within(5, [&] {
        return scalar(*replica, "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " +
                                    std::to_string(id)) == "0";
    }));
    dialog.refresh();
    EXPECT_EQ(notice(dialog), monitorConnectionLostText());
    EXPECT_EQ(cell(dialog, "second", 1), "Yes");
    dialog.refresh();
    EXPECT_EQ(notice(dialog), "No replica is connected to this server.");
    EXPECT_NE(dialog.pollingConnection()->serverThreadId(), id);
    EXPECT_TRUE(session->ping());
}

TEST(ReplicationScreenRoles, SaysWhatTheAccountLacksAndWhenTheServerHasNoReplication) {
    ScriptedOperator op;
    auto common = connectRepl("replica", "sorvane_common", "common");
    ReplicationDialog onReplica(*common, op);
    onReplica.refresh();
    EXPECT_TRUE(notice(onReplica).contains("REPLICA MONITOR")) << notice(onReplica).toStdString();
    EXPECT_TRUE(notice(onReplica).contains("BINLOG MONITOR"));
    EXPECT_TRUE(notice(onReplica).contains("REPLICATION MASTER ADMIN"));
    EXPECT_TRUE(notice(onReplica).contains("PROCESS"));
    EXPECT_FALSE(notice(onReplica).contains("neither"));

    // The ordinary test server writes no binary log and replicates from nowhere.
    auto plain = connectAdmin();
    ReplicationDialog onPlain(*plain, op);
    onPlain.refresh();
    EXPECT_EQ(notice(onPlain),
              "This server is neither a replica nor a primary: it has no replica connection "
              "and writes no binary log.");
    EXPECT_TRUE(op.messages.empty());
}
