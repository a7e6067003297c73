#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "MonitorTesting.h"
#include "monitor/LineChartCtrl.h"
#include "monitor/ProcessDetailsDialog.h"
#include "monitor/ProcessMonitorDialog.h"
#include "monitor/ServerStat.h"
#include "session/BackgroundWork.h"
#include "support/FrozenServer.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const QString kThreads = "The number of threads (clients)";
const QString kRangeThreads = "Range The number of threads (clients)";
const QColor kThreadsColour(0, 255, 0);

QStringList serverIds(Connection& connection) {
    QStringList ids;
    for (const auto& id : column(connection, "SHOW PROCESSLIST"))
        ids << QString::fromStdString(id);
    return ids;
}

/// The statements sent, without the refreshes that the monitor's timer may have run meanwhile (it
/// ticks inside every wait for the server).
std::vector<std::string> besidesRefreshes(const std::vector<std::string>& statements) {
    std::vector<std::string> rest;
    for (const std::string& sql : statements)
        if (sql != "SHOW PROCESSLIST")
            rest.push_back(sql);
    return rest;
}

/// Ends a connection from another one, as a server restart or an operator would.
void cutOff(const Connection& victim) {
    auto admin = connectAdmin();
    const unsigned long id = victim.threadId();
    admin->kill(id);
    EXPECT_TRUE(eventually([&] { return !serverIds(*admin).contains(QString::number(id)); }));
}

/// The host of a thread of these tests: the loopback address, as the server names it, and the port.
bool isClientHost(const QString& host) {
    return QRegularExpression("^(localhost|127\\.0\\.0\\.1):[0-9]+$").match(host).hasMatch();
}

QStringList boxTexts(QWidget& dialog, const QStringList& names) {
    QStringList texts;
    for (const QString& name : names)
        texts << boxText(dialog, name);
    return texts;
}

const QStringList kCounterBoxes = {"The number of starting seconds",
                                   kThreads,
                                   "The number of Query",
                                   "long_query_time Over",
                                   "The open number of tables",
                                   "The number of Reload",
                                   "The number of tables opened now"};

}  // namespace

TEST(ProcessMonitor, StartsWithTheServersColumnsFullRangesAndVersionsAndAnEmptyList) {
    auto connection = connectAdmin();
    const auto expectedColumns = connectAdmin()->listProcesses().fieldNames();
    ScriptedOperator op;
    StatementLog log;
    ProcessMonitorDialog dialog(*connection, op);

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Display Porcess Status"));
    EXPECT_TRUE(op.messages.empty());
    QTreeWidget* list = processList(dialog);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->columnCount(), static_cast<int>(expectedColumns.size()));
    const int widths[] = {50, 75, 130, 75, 75, 50, 120, 200, 150};
    for (int i = 0; i < list->columnCount(); ++i) {
        EXPECT_EQ(list->headerItem()->text(i).toStdString(), expectedColumns[static_cast<std::size_t>(i)]);
        if (i < 9) {
            EXPECT_EQ(list->columnWidth(i), widths[i]) << i;
        }
    }
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_TRUE(log.statements.empty()) << "the list waits for the first refresh";

    LineChartCtrl* chart = dialog.chart();
    ASSERT_EQ(chart->seriesCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(chart->upperBound(i), 100u);
        EXPECT_EQ(chart->lowerBound(i), 0u);
    }
    for (const QString& counter :
         {kThreads, QString("The open number of tables"), QString("The number of Reload"),
          QString("The number of tables opened now"), QString("long_query_time Over")})
        EXPECT_EQ(boxText(dialog, "Range " + counter), "100");
    EXPECT_EQ(boxText(dialog, "Server Version").toStdString(), connection->serverInfo());
    EXPECT_EQ(boxText(dialog, "Client Version").toStdString(), Connection::clientInfo());
    EXPECT_EQ(boxText(dialog, "Protocol version"), QString::number(connection->protoInfo()));
    EXPECT_TRUE(dialog.isRefreshing());
}

TEST(ProcessMonitor, ListsTheServersThreadsLastFirstWithEightFieldsAndNullsEmpty) {
    auto connection = connectAdmin();
    auto first = connectAs(commonAccount());
    ASSERT_TRUE(first->selectDb("sorvane_common"));
    auto second = connectAdmin();
    auto third = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);

    StatementLog log;
    click(dialog, "Update");
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW PROCESSLIST"});
    QStringList expected = serverIds(*connection);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(listIds(dialog), expected);
    const QStringList ids = listIds(dialog);
    const int a = static_cast<int>(ids.indexOf(QString::number(first->threadId())));
    const int b = static_cast<int>(ids.indexOf(QString::number(second->threadId())));
    const int c = static_cast<int>(ids.indexOf(QString::number(third->threadId())));
    ASSERT_TRUE(a >= 0 && b >= 0 && c >= 0) << ids.join(',');

    QTreeWidgetItem* row = rowOf(dialog, first->threadId());
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text(1), "sorvane_common");
    EXPECT_TRUE(isClientHost(row->text(2))) << row->text(2);
    EXPECT_EQ(row->text(3), "sorvane_common");
    EXPECT_EQ(row->text(4), "Sleep");
    EXPECT_EQ(row->text(7), "") << "a sleeping thread has no statement (NULL)";
    EXPECT_EQ(row->text(8), "") << "only eight fields are shown";
    EXPECT_EQ(rowOf(dialog, second->threadId())->text(3), "") << "no database selected (NULL)";
    // The monitor asks on a connection of its own; the session's stays idle.
    ASSERT_NE(dialog.pollingConnection(), connection.get());
    EXPECT_EQ(rowOf(dialog, dialog.pollingConnection()->threadId())->text(7), "SHOW PROCESSLIST");
    EXPECT_EQ(rowOf(dialog, connection->threadId())->text(4), "Sleep");

    // A refresh that cannot read the list keeps the rows it has.
    third.reset();
    cutOff(*dialog.pollingConnection());
    dialog.refreshProcessList();
    EXPECT_EQ(listIds(dialog), ids);
}

TEST(ProcessMonitor, DoubleClickShowsTheThreadsDetailsAndStopConnectionEndsIt) {
    auto connection = connectAdmin();
    auto victim = connectAs(commonAccount());
    ASSERT_TRUE(victim->selectDb("sorvane_common"));
    const unsigned long victimId = victim->threadId();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    dialog.refreshProcessList();
    QTreeWidgetItem* row = rowOf(dialog, victimId);
    ASSERT_TRUE(row);

    QStringList details;
    const QStringList names = {"Process ID", "User name", "Host",   "Database",
                               "Command",    "Time",      "Status", "Infomation"};
    op.onModal([&](QDialog& shown) {
        details = boxTexts(shown, names);
        op.answer(true);
        click(shown, "Stop connection");
        // The dialog stays open after the stop; closing is the person's choice.
        EXPECT_FALSE(shown.isHidden() && shown.result() == QDialog::Accepted);
        // It says what it did.
        EXPECT_EQ(op.messageTexts(),
                  QStringList{QString("The connection of process %1 was stopped.").arg(victimId)});
        click(shown, "Cancel");
        return shown.result();
    });
    StatementLog log;
    emit processList(dialog)->itemDoubleClicked(row, 3);

    EXPECT_EQ(op.modalTitles, QStringList{QString()}) << "the details have no title text";
    // The details are read, read again after the stop, and the list follows once they close.
    EXPECT_EQ(besidesRefreshes(log.statements),
              (std::vector<std::string>{"SHOW FULL PROCESSLIST", "KILL " + std::to_string(victimId),
                                        "SHOW FULL PROCESSLIST"}));
    ASSERT_FALSE(log.statements.empty());
    EXPECT_EQ(log.statements.back(), "SHOW PROCESSLIST");
    ASSERT_EQ(details.size(), 8);
    EXPECT_EQ(details[0], QString::number(victimId));
    EXPECT_EQ(details[1], "sorvane_common");
    EXPECT_TRUE(isClientHost(details[2])) << details[2];
    EXPECT_EQ(details[3], "sorvane_common");
    EXPECT_EQ(details[4], "Sleep");
    EXPECT_FALSE(details[5].isEmpty());
    EXPECT_EQ(details[7], "");
    EXPECT_TRUE(eventually([&] {
        dialog.refreshProcessList();
        return rowOf(dialog, victimId) == nullptr;
    }));
    EXPECT_TRUE(eventually([&] { return !serverIds(*connection).contains(QString::number(victimId)); }));
    EXPECT_FALSE(victim->ping());
}

TEST(ProcessMonitor, DetailsOfAnEndedThreadStayEmptyAndOfferNoStop) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    op.defaultAnswer = true;
    StatementLog log;
    ProcessDetailsDialog details(*connection, op, 999999);
    EXPECT_EQ(details.windowTitle(), QString());
    for (const char* name :
         {"Process ID", "User name", "Host", "Database", "Command", "Time", "Status", "Infomation"})
        EXPECT_EQ(boxText(details, name), "") << name;
    // There is no thread to name in a question, nor one to stop.
    for (const char* stop : {"Stop statement", "Stop connection"}) {
        QPushButton* button = widget<QPushButton>(details, stop);
        ASSERT_TRUE(button);
        EXPECT_FALSE(button->isEnabled()) << stop;
        button->click();
    }
    EXPECT_TRUE(op.questions.empty());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW FULL PROCESSLIST"});
    EXPECT_TRUE(connection->ping());

    // An Id that is not a number selects nothing either.
    ProcessDetailsDialog none(*connection, op, 0);
    EXPECT_EQ(boxText(none, "Process ID"), "");
}

TEST(ProcessMonitor, ResetButtonsSendTheirStatementAndShowTheirMessageWhateverTheServerSays) {
    const std::vector<std::string> statements = {"FLUSH HOSTS", "FLUSH LOGS", "FLUSH Privileges",
                                                 "FLUSH STATUS", "FLUSH TABLES"};
    const QStringList messages = {"The host information by which cash are carried out was reset.",
                                  "The file inode number of an update log was changed.",
                                  "The Mysql authority table was reload.", "The status variable was reset.",
                                  "The data by which cash are carried out was written in the disk."};
    const QStringList buttons = {"Host Infomation", "History information", "Authority information",
                                 "Status information", "Table"};
    for (const Account& account : {adminAccount(), commonAccount()}) {
        auto connection = connectAs(account);
        ScriptedOperator op;
        ProcessMonitorDialog dialog(*connection, op);
        StatementLog log;
        std::vector<unsigned> errors;
        for (const QString& button : buttons) {
            click(dialog, button);
            errors.push_back(dialog.pollingConnection()->errorNumber());
        }
        EXPECT_EQ(besidesRefreshes(log.statements), statements) << account.user;
        EXPECT_EQ(op.messageTexts(), messages) << account.user;
        for (const auto& message : op.messages) {
            EXPECT_EQ(message.caption, "VelkinSorvane");
            EXPECT_EQ(message.icon, MessageIcon::None);
        }
        if (account.user == commonAccount().user) {
            EXPECT_NE(errors.back(), 0u) << "a login without the reload right is refused";
        } else {
            EXPECT_EQ(errors, std::vector<unsigned>(5, 0u));
        }
    }
}

TEST(ProcessMonitor, TickWritesTheCountersFeedsTheChartAndRefreshesTheList) {
    auto connection = connectAdmin();
    auto extra = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    LineChartCtrl* chart = dialog.chart();
    const int w = chart->width();
    const int h = chart->height();

    const auto before = parseServerStat(connection->stat());
    ASSERT_TRUE(before);
    const std::int64_t threads = before->threads.value_or(0);
    ASSERT_GE(threads, 2);
    // Thread count at half the range; the other series far below, out of the way.
    setBox(dialog, kRangeThreads, QString::number(2 * threads));
    for (const char* other : {"The open number of tables", "The number of tables opened now"})
        setBox(dialog, QStringLiteral("Range ") + other, "4000000000");
    StatementLog log;
    dialog.tick();
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW PROCESSLIST"});
    EXPECT_FALSE(listIds(dialog).isEmpty());

    EXPECT_EQ(boxText(dialog, kThreads), QString::number(threads));
    EXPECT_EQ(boxText(dialog, "long_query_time Over"), QString::number(before->slowQueries.value_or(-1)));
    EXPECT_EQ(boxText(dialog, "The open number of tables"), QString::number(before->opens.value_or(-1)));
    EXPECT_EQ(boxText(dialog, "The number of tables opened now"),
              QString::number(before->openTables.value_or(-1)));
    EXPECT_GE(boxText(dialog, "The number of Query").toLongLong(), before->questions.value_or(0));
    EXPECT_LE(boxText(dialog, "The number of starting seconds").toLongLong() - before->uptime.value_or(0), 1);
    if (before->flushTables) {
        EXPECT_EQ(boxText(dialog, "The number of Reload"), QString::number(*before->flushTables));
    } else {
        EXPECT_EQ(boxText(dialog, "The number of Reload"), "") << "a counter the server lacks stays blank";
    }

    QImage p = rendered(*chart);
    EXPECT_EQ(colourAt(p, w - 1, h / 2), kThreadsColour);

    // A count above its range is drawn on the top edge; the box still shows the whole number.
    setBox(dialog, kRangeThreads, "1");
    dialog.tick();
    p = rendered(*chart);
    EXPECT_EQ(colourAt(p, w - 1, 0), kThreadsColour);
    EXPECT_EQ(colourAt(p, w - 5, h / 2), kThreadsColour) << "the last step scrolled left by 4";
    EXPECT_EQ(boxText(dialog, kThreads), QString::number(threads));
}

TEST(ProcessMonitor, EachRangeBoxSetsTheUpperBoundOfItsSeries) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    LineChartCtrl* chart = dialog.chart();
    setBox(dialog, kRangeThreads, "10");
    setBox(dialog, "Range long_query_time Over", "11");
    setBox(dialog, "Range The number of Reload", "12");
    setBox(dialog, "Range The open number of tables", "13");
    setBox(dialog, "Range The number of tables opened now", "14x");
    for (int series = 0; series < 5; ++series) {
        EXPECT_EQ(chart->upperBound(series), 10u + static_cast<unsigned>(series)) << series;
        EXPECT_EQ(chart->lowerBound(series), 0u);
    }
    // An emptied box gives a zero range, and the chart goes on drawing.
    setBox(dialog, kRangeThreads, "");
    EXPECT_EQ(chart->upperBound(0), 0u);
    for (const char* other : {"long_query_time Over", "The number of Reload", "The open number of tables",
                              "The number of tables opened now"})
        setBox(dialog, QStringLiteral("Range ") + other, "4000000000");
    dialog.tick();
    EXPECT_EQ(colourAt(rendered(*chart), chart->width() - 1, 0), kThreadsColour);
    EXPECT_TRUE(op.messages.empty());
}

TEST(ProcessMonitor, ATickWithoutStatusLeavesBoxesChartAndListAsTheyWereAndKeepsRunning) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    dialog.tick();
    const QStringList boxes = boxTexts(dialog, kCounterBoxes);
    const QImage picture = dialog.chart()->backBuffer().copy();
    const QStringList ids = listIds(dialog);
    ASSERT_FALSE(boxes[1].isEmpty());

    const unsigned long lostId = dialog.pollingConnection()->threadId();
    cutOff(*dialog.pollingConnection());
    dialog.tick();
    EXPECT_EQ(boxTexts(dialog, kCounterBoxes), boxes);
    EXPECT_TRUE(dialog.chart()->backBuffer() == picture);
    EXPECT_EQ(listIds(dialog), ids);
    EXPECT_TRUE(dialog.isRefreshing());
    EXPECT_TRUE(op.messages.empty());
    auto* notice = widget<QLabel>(dialog, "Notice");
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->isHidden());
    EXPECT_EQ(notice->text(), "The connection to the server was lost.");

    // The next tick connects again and the monitor goes on.
    dialog.tick();
    ASSERT_TRUE(dialog.pollingConnection());
    EXPECT_NE(dialog.pollingConnection()->threadId(), lostId);
    EXPECT_TRUE(listIds(dialog).contains(QString::number(dialog.pollingConnection()->threadId())));
    EXPECT_FALSE(listIds(dialog).contains(QString::number(lostId)));
    EXPECT_TRUE(notice->isHidden());
    EXPECT_TRUE(connection->ping()) << "the session was never touched";
}

TEST(ProcessMonitor, WithoutAProcessListTheDialogSaysSoAndStaysInert) {
    auto connection = connectAdmin();
    cutOff(*connection);
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    EXPECT_EQ(op.messageTexts(), QStringList{"Process information has not been referred to."});
    EXPECT_EQ(op.messages.at(0).caption, "VelkinSorvane");
    EXPECT_EQ(processList(dialog)->columnCount(), 0);
    EXPECT_EQ(dialog.chart()->seriesCount(), 0);
    EXPECT_EQ(boxText(dialog, kRangeThreads), "");
    EXPECT_EQ(boxText(dialog, "Server Version"), "");
    EXPECT_EQ(boxText(dialog, "Protocol version"), "");
    EXPECT_FALSE(dialog.isRefreshing());
}

TEST(ProcessMonitor, WholeVersionSelectionKeptAndLongStatementsReadable) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    auto* version = widget<QLineEdit>(dialog, "Server Version");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text().toStdString(), connection->serverInfo());
    EXPECT_EQ(0, version->cursorPosition()) << "read from its start";
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_GE(version->width(), version->fontMetrics().horizontalAdvance(version->text()));

    // A thread that runs a long statement, from another connection.
    auto busy = connectAdmin();
    const unsigned long busyId = busy->threadId();
    const std::string padding(300, 'x');
    const std::string statement =
        "SELECT SLEEP(3) AS `" + std::string(40, 'w') + "`, '" + padding + "' AS tail";
    std::thread runner([&] {
        busy->query(statement);
        busy->storeResult();
    });
    ASSERT_TRUE(eventually([&] {
        dialog.refreshProcessList();
        QTreeWidgetItem* row = rowOf(dialog, busyId);
        return row && row->text(7).startsWith("SELECT SLEEP(3)");
    }));

    // The operator's choice survives the refreshes, found again by the thread's Id.
    QTreeWidgetItem* chosen = rowOf(dialog, busyId);
    ASSERT_TRUE(chosen);
    processList(dialog)->setCurrentItem(chosen);
    for (int i = 0; i < 3; ++i)
        dialog.tick();
    QTreeWidgetItem* now = processList(dialog)->currentItem();
    ASSERT_TRUE(now);
    EXPECT_EQ(QString::number(busyId), now->text(0));
    EXPECT_TRUE(now->isSelected());
    EXPECT_EQ(1, processList(dialog)->selectedItems().size());

    // The details show the statement whole and wrapped.
    ScriptedOperator detailsOp;
    ProcessDetailsDialog details(*connection, detailsOp, static_cast<long long>(busyId));
    auto* information = details.findChild<QPlainTextEdit*>("Infomation");
    ASSERT_TRUE(information);
    EXPECT_EQ(QString::fromStdString(statement), information->toPlainText());
    EXPECT_TRUE(information->isReadOnly());
    EXPECT_EQ(QPlainTextEdit::WidgetWidth, information->lineWrapMode());
    runner.join();

    // A thread that is gone leaves nothing selected.
    busy.reset();
    ASSERT_TRUE(eventually([&] {
        dialog.refreshProcessList();
        return rowOf(dialog, busyId) == nullptr;
    }));
    EXPECT_TRUE(processList(dialog)->selectedItems().isEmpty());
    dialog.hide();
}

TEST(ProcessMonitor, ARefreshKeepsTheItemUnderThePointerAndTheSelectionAndFitsTheScreen) {
    auto connection = connectAdmin();
    auto other = connectAs(commonAccount());
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    dialog.refreshProcessList();
    QTreeWidgetItem* row = rowOf(dialog, other->threadId());
    ASSERT_TRUE(row);
    processList(dialog)->setCurrentItem(row);
    // A thread comes and another goes between the two clicks of a double-click.
    auto newcomer = connectAdmin();
    const unsigned long newId = newcomer->threadId();
    dialog.refreshProcessList();
    ASSERT_TRUE(rowOf(dialog, newId));
    EXPECT_EQ(row, rowOf(dialog, other->threadId())) << "the same item, not a new one in its place";
    EXPECT_TRUE(row->isSelected());
    cutOff(*newcomer);
    dialog.refreshProcessList();
    EXPECT_EQ(rowOf(dialog, newId), nullptr);
    EXPECT_EQ(row, rowOf(dialog, other->threadId()));
    EXPECT_TRUE(row->isSelected());

    // The dialog fits a 1024 pixel screen with Host and State read whole.
    dialog.resize(dialog.sizeHint());
    dialog.show();
    QApplication::processEvents();
    EXPECT_LE(dialog.frameGeometry().width(), 1024);
    EXPECT_LE(dialog.frameGeometry().height(), 740);
    const QFontMetrics metrics = processList(dialog)->fontMetrics();
    EXPECT_GT(processList(dialog)->columnWidth(2), metrics.horizontalAdvance("127.0.0.1:65535"));
    EXPECT_GT(processList(dialog)->columnWidth(6), metrics.horizontalAdvance("Sending data"));
    dialog.hide();
}

TEST(ProcessMonitor, PollsOnAConnectionOfItsOwnWhileTheSessionRunsALongStatement) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    QString sessionStatement;
    bool ticked = false;
    QTimer::singleShot(500, &dialog, [&] {
        dialog.tick();
        ticked = true;
        if (QTreeWidgetItem* row = rowOf(dialog, connection->threadId()))
            sessionStatement = row->text(7);
    });
    int sent = -1;
    std::string slept;
    BackgroundWork work;
    work.run({connection.get()}, [&](WorkControl&) {
        sent = connection->query("SELECT SLEEP(2)");
        Result result = connection->storeResult();
        if (Row row = result.fetchRow())
            slept = row.str(0);
    });
    EXPECT_TRUE(ticked);
    EXPECT_EQ(sessionStatement, "SELECT SLEEP(2)") << "the monitor saw the session's statement running";
    EXPECT_FALSE(boxText(dialog, kThreads).isEmpty());
    EXPECT_EQ(sent, 0) << connection->errorLine();
    EXPECT_EQ(slept, "0");
    EXPECT_EQ(scalar(*connection, "SELECT 1"), "1") << "the session and its server still agree";
}

TEST(ProcessMonitor, AFrozenServerLeavesTheWindowRunningIsNamedAndTheMonitorGoesOnAfterwards) {
    auto connection = connectAdmin();
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    dialog.tick();
    auto* notice = widget<QLabel>(dialog, "Notice");
    ASSERT_TRUE(notice);
    bool windowRan = false;
    QString said;
    StatementLog log;
    {
        FrozenServer server;
        ASSERT_TRUE(server.frozen());
        QTimer::singleShot(ProcessMonitorDialog::kPatienceMilliseconds + 500, &dialog, [&] {
            windowRan = true;
            said = notice->isHidden() ? QString() : notice->text();
            // Left out while the frozen refresh waits, as the dialog's own timer ticks are.
            dialog.tick();
            server.thaw();
        });
        dialog.tick();
    }
    EXPECT_TRUE(windowRan);
    EXPECT_EQ(said, "The server does not answer.");
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW PROCESSLIST"}) << "no refresh was queued";
    EXPECT_TRUE(notice->isHidden());
    EXPECT_FALSE(boxText(dialog, kThreads).isEmpty());

    auto newcomer = connectAdmin();
    dialog.tick();
    EXPECT_TRUE(listIds(dialog).contains(QString::number(newcomer->threadId())));
    EXPECT_TRUE(op.messages.empty());
}

TEST(ProcessMonitor, WithoutASecondConnectionItTakesTurnsOnTheSessionsAndLeavesItToOtherWork) {
    auto connection = connectAdmin();
    // Settings that a new connection cannot use stand in for a server that takes no more connections.
    connection->setTls({TlsMode::Verified, "/nonexistent/velkin-ca.pem", "", ""});
    ScriptedOperator op;
    ProcessMonitorDialog dialog(*connection, op);
    EXPECT_EQ(dialog.pollingConnection(), connection.get());
    dialog.tick();
    QTreeWidgetItem* session = rowOf(dialog, connection->threadId());
    ASSERT_TRUE(session);
    EXPECT_EQ(session->text(7), "SHOW PROCESSLIST");
    EXPECT_FALSE(boxText(dialog, kThreads).isEmpty());

    const Connection::BusyScope otherWork(*connection);
    StatementLog log;
    dialog.tick();
    EXPECT_TRUE(log.statements.empty());
}
