#include <gtest/gtest.h>

#include <QPushButton>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "MonitorTesting.h"
#include "monitor/MonitorText.h"
#include "monitor/ProcessDetailsDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kSleep = "SELECT SLEEP(30)";

/// What the server says of one of its threads.
std::string threadFact(Connection& admin, const char* column, unsigned long id) {
    return scalar(admin, std::string("SELECT ") + column +
                             " FROM information_schema.PROCESSLIST WHERE ID = " + std::to_string(id));
}

/// A second client that runs a long statement on a thread of its own, as another program would.
class SleepingClient {
public:
    explicit SleepingClient(const Account& account)
        : connection(connectAs(account)), id(connection->threadId()) {
        m_runner = std::thread([this] {
            const auto started = std::chrono::steady_clock::now();
            sent = connection->query(kSleep);
            if (sent == 0) {
                Result result = connection->storeResult();
                if (Row row = result.fetchRow())
                    value = row.str(0);
            }
            // An interrupted statement may fail at once or after its columns were announced.
            errorNumber = connection->errorNumber();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        });
        auto admin = connectAdmin();
        EXPECT_TRUE(eventually([&] { return threadFact(*admin, "INFO", id) == kSleep; }));
    }
    ~SleepingClient() {
        // A test that failed before its stop does not wait out the whole statement.
        if (m_runner.joinable()) {
            auto admin = connectAdmin();
            admin->query("KILL QUERY " + std::to_string(id));
            m_runner.join();
        }
    }
    /// Waits until the statement has ended.
    void finish() { m_runner.join(); }

    std::unique_ptr<Connection> connection;
    const unsigned long id;
    int sent = -1;
    unsigned int errorNumber = 0;
    std::string value;
    double seconds = 0;

private:
    std::thread m_runner;
};

bool enabled(QWidget& dialog, const char* name) {
    QPushButton* button = widget<QPushButton>(dialog, name);
    return button && button->isEnabled();
}

QString question(const char* part, const char* effect, unsigned long id, const std::string& user,
                 const std::string& host, const QString& statement) {
    return QString("May I stop the %1 of process %2 truly?\n%3\n\nUser: %4\nHost: %5\nStatement: %6")
        .arg(part)
        .arg(id)
        .arg(effect, QString::fromStdString(user), QString::fromStdString(host), statement);
}

const char* const kStatementEffect = "Its statement ends; the client stays connected (KILL QUERY).";
const char* const kConnectionEffect = "The client is disconnected, and a statement it runs ends (KILL).";

}  // namespace

TEST(ProcessStop, StopStatementAsksFirstEndsOnlyTheStatementAndTheClientGoesOn) {
    auto session = connectAdmin();
    SleepingClient client(commonAccount());
    const std::string host = threadFact(*session, "HOST", client.id);
    ScriptedOperator op;
    StatementLog log;
    ProcessDetailsDialog details(*session, op, static_cast<long long>(client.id));
    EXPECT_EQ(details.findChild<QPushButton*>("Process Stop"), nullptr);
    EXPECT_TRUE(enabled(details, "Stop statement"));
    EXPECT_TRUE(enabled(details, "Stop connection"));

    // No to either question sends nothing, and the client runs on undisturbed.
    op.answer(false);
    click(details, "Stop statement");
    op.answer(false);
    click(details, "Stop connection");
    const QString statement = QString::fromStdString(kSleep);
    EXPECT_EQ(op.questions.size(), 2u);
    if (op.questions.size() == 2) {
        EXPECT_EQ(op.questions[0].text,
                  question("statement", kStatementEffect, client.id, "sorvane_common", host, statement));
        EXPECT_EQ(op.questions[1].text,
                  question("connection", kConnectionEffect, client.id, "sorvane_common", host, statement));
        EXPECT_EQ(op.questions[0].caption, "VelkinSorvane");
    }
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW FULL PROCESSLIST"});
    EXPECT_EQ(threadFact(*session, "INFO", client.id), kSleep);

    log.clear();
    op.answer(true);
    click(details, "Stop statement");
    // The stop, then the thread as it is afterwards.
    EXPECT_EQ(log.statements,
              (std::vector<std::string>{"KILL QUERY " + std::to_string(client.id), "SHOW FULL PROCESSLIST"}));
    EXPECT_EQ(op.messageTexts(),
              QStringList{QString("The statement of process %1 was stopped.").arg(client.id)});
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].caption, "VelkinSorvane");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Information);

    // The statement was interrupted (SLEEP answers 1 then, or the server says so), not waited out...
    client.finish();
    EXPECT_LT(client.seconds, 20.0);
    EXPECT_TRUE(client.value == "1" || client.errorNumber == 1317)
        << client.value << " " << client.errorNumber << " " << client.sent << " " << client.seconds;
    // ...and the client's connection is still there for its next statement.
    EXPECT_EQ(scalar(*client.connection, "SELECT 1"), "1");

    // An idle thread offers only the connection stop, and the question says it runs nothing.
    ProcessDetailsDialog idle(*session, op, static_cast<long long>(client.id));
    EXPECT_FALSE(enabled(idle, "Stop statement"));
    EXPECT_TRUE(enabled(idle, "Stop connection"));
    op.answer(false);
    click(idle, "Stop connection");
    ASSERT_EQ(op.questions.size(), 4u);
    EXPECT_EQ(op.questions[3].text,
              question("connection", kConnectionEffect, client.id, "sorvane_common", host, "(none)"));
    EXPECT_TRUE(client.connection->ping());
}

TEST(ProcessStop, StopConnectionEndsTheClientAndARefusalCarriesTheServersError) {
    auto session = connectAdmin();
    ScriptedOperator op;
    {
        SleepingClient client(commonAccount());
        const std::string host = threadFact(*session, "HOST", client.id);
        ProcessDetailsDialog details(*session, op, static_cast<long long>(client.id));
        StatementLog log;
        op.answer(true);
        click(details, "Stop connection");
        EXPECT_EQ(op.questions.size(), 1u);
        if (!op.questions.empty()) {
            EXPECT_EQ(op.questions[0].text, question("connection", kConnectionEffect, client.id,
                                                     "sorvane_common", host, QString::fromStdString(kSleep)));
        }
        EXPECT_TRUE(log.sent("KILL " + std::to_string(client.id)));
        EXPECT_FALSE(log.sent("KILL QUERY " + std::to_string(client.id)));
        EXPECT_EQ(op.messageTexts(),
                  QStringList{QString("The connection of process %1 was stopped.").arg(client.id)});
        client.finish();
        EXPECT_LT(client.seconds, 20.0);
        EXPECT_NE(client.sent, 0) << "the client's statement ended with its connection";
        EXPECT_FALSE(client.connection->ping());
        EXPECT_TRUE(eventually([&] { return threadFact(*session, "COUNT(*)", client.id) == "0"; }));
    }

    // A thread that ended after the details were read: the server's own words.
    op.clear();
    auto gone = connectAs(commonAccount());
    const unsigned long goneId = gone->threadId();
    ProcessDetailsDialog late(*session, op, static_cast<long long>(goneId));
    ASSERT_TRUE(enabled(late, "Stop connection"));
    gone.reset();
    ASSERT_TRUE(eventually([&] { return threadFact(*session, "COUNT(*)", goneId) == "0"; }));
    op.answer(true);
    click(late, "Stop connection");
    EXPECT_EQ(op.messageTexts(), QStringList{QString("The connection of process %1 was not stopped.\n"
                                                     "1094:Unknown thread id: %1")
                                                 .arg(goneId)});
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(enabled(late, "Stop connection")) << "the boxes now show that the thread is gone";

    // Another account's thread, seen with the right to watch but not to stop it.
    exec(*session, "DROP USER IF EXISTS 'velkin_watch'@'127.0.0.1'");
    exec(*session, "CREATE USER 'velkin_watch'@'127.0.0.1' IDENTIFIED BY 'watch'");
    exec(*session, "GRANT PROCESS ON *.* TO 'velkin_watch'@'127.0.0.1'");
    {
        op.clear();
        auto watcher = connectAs({"velkin_watch", "watch"});
        SleepingClient busy(adminAccount());
        ProcessDetailsDialog foreign(*watcher, op, static_cast<long long>(busy.id));
        EXPECT_EQ(boxText(foreign, "User name"), "root");
        op.answer(true);
        click(foreign, "Stop statement");
        EXPECT_EQ(op.messageTexts(), QStringList{QString("The statement of process %1 was not stopped.\n"
                                                         "1095:You are not owner of thread %1")
                                                     .arg(busy.id)});
        EXPECT_EQ(threadFact(*session, "INFO", busy.id), kSleep) << "the statement runs on";
    }
    exec(*session, "DROP USER 'velkin_watch'@'127.0.0.1'");

    // The connection the details read on: what it runs is only those reads, and the server's answer
    // to ending it is that very end, which is a stop done.
    op.clear();
    auto reader = connectAdmin();
    ProcessDetailsDialog own(*reader, op, static_cast<long long>(reader->threadId()));
    EXPECT_EQ(boxText(own, "Process ID"), QString::number(reader->threadId()));
    EXPECT_FALSE(enabled(own, "Stop statement"));
    op.answer(true);
    click(own, "Stop connection");
    EXPECT_EQ(op.messageTexts(),
              QStringList{QString("The connection of process %1 was stopped.").arg(reader->threadId())});
    EXPECT_FALSE(reader->ping());
}

TEST(ProcessStop, TheQuestionShowsALongStatementAsOneShortenedLine) {
    EXPECT_EQ(processStopStatement(ProcessStop::Statement, 323), "KILL QUERY 323");
    EXPECT_EQ(processStopStatement(ProcessStop::Connection, 323), "KILL 323");
    const QString script = "SELECT a,\n       b\n  FROM t\n WHERE c = '" + QString(400, 'x') + "'";
    const QString gist = statementGist(script);
    EXPECT_EQ(gist.size(), 200);
    EXPECT_TRUE(gist.startsWith("SELECT a, b FROM t WHERE c = 'xxx")) << gist;
    EXPECT_TRUE(gist.endsWith(QChar(0x2026)));
    EXPECT_EQ(statementGist("  SELECT\n1 "), "SELECT 1");
    EXPECT_FALSE(runsStatement("Sleep", ""));
    EXPECT_FALSE(runsStatement("Query", "  "));
    EXPECT_TRUE(runsStatement("Query", "SELECT 1"));
}
