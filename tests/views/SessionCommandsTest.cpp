#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>

#include "ViewTesting.h"
#include "session/ProcessExit.h"
#include "views/ScreenDispatcher.h"
#include "views/SessionCommands.h"

using namespace velkin;
using namespace velkin::test;

namespace {

using Statements = std::vector<std::string>;

struct ProcessEnded {
    int code;
};

/// A session of its own on the shared test server.
struct Session {
    explicit Session(const Account& account) : doc(op, loginAs(account)) {
        doc.Connect();
        op.clear();
    }
    ScriptedOperator op;
    CSorvaneDoc doc;
    ScreenDispatcher screens{doc, op};
    SessionCommands commands{doc, op, screens};
};

bool answers(Connection& connection) {
    return scalar(connection, "SELECT 1") == "1";
}

/// A server of the test's own, for the one thing the shared server must never see: a stop.
class PrivateServer {
public:
    PrivateServer() {
        const QByteArray source = qgetenv("VELKIN_SOURCE_DIR");
        if (source.isEmpty()) {
            m_error = "VELKIN_SOURCE_DIR is not set; run the tests through ctest";
            return;
        }
        m_script = QString::fromLocal8Bit(source) + "/scripts/testserver";
        QProcess start;
        start.start(m_script, {"start", m_dir.path()});
        if (!start.waitForFinished(300000) || start.exitCode() != 0) {
            m_error = "the server did not start: " + start.readAllStandardError().toStdString();
            return;
        }
        m_port = QString::fromLocal8Bit(start.readAllStandardOutput()).trimmed().toUInt();
    }
    ~PrivateServer() { QProcess::execute(m_script, {"stop", m_dir.path()}); }
    unsigned int port() const { return m_port; }
    const std::string& error() const { return m_error; }
    LoginPrompt login() const {
        const unsigned int port = m_port;
        return [port](const QString&, const QString&) -> std::optional<LoginValues> {
            return LoginValues{"root", "", QString::fromStdString(testHost()), QString::number(port)};
        };
    }
    bool accepts() const {
        Connection c;
        return c.connect(testHost(), "root", "", m_port);
    }

private:
    QTemporaryDir m_dir{QDir::tempPath() + "/velkin-stop-XXXXXX"};
    QString m_script;
    unsigned int m_port = 0;
    std::string m_error;
};

}  // namespace

TEST(SessionCommands, AViewCarriesOutOnlyTheCommandsItEnables) {
    Session s(adminAccount());
    TestViewHost host(s.doc, s.op);
    selectTable(s.doc, "mysql", "user");
    host.showChartView();
    CDbGraphView& chart = *host.chartView();
    StatementLog log;
    // Table and page commands belong to the tree and the record list; from the chart nothing happens.
    for (Command c : {Command::Delete, Command::TableLock, Command::TableOptimize, Command::Filter,
                      Command::PageUp, Command::Maintenance, Command::ServerStop, Command::Undo})
        chart.execute(c);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(s.op.messages.empty());
    EXPECT_TRUE(s.op.questions.empty());
    EXPECT_TRUE(s.op.modalTitles.isEmpty());

    chart.execute(Command::ProcessDisplay);
    chart.execute(Command::SystemVariableList);
    EXPECT_EQ((QStringList{"Display Porcess Status", "System variable list"}), s.op.modalTitles);
    log.clear();
    chart.execute(Command::ResetOpenTable);
    EXPECT_EQ(Statements{"FLUSH TABLES"}, log.statements);
}

TEST(SessionCommands, PrivilegeReloadReportsItsOutcome) {
    Session admin(adminAccount());
    StatementLog log;
    admin.commands.reloadPrivileges();
    ASSERT_EQ(QStringList{"The privilege table was reloaded."}, admin.op.messageTexts());
    EXPECT_EQ("VelkinSorvane", admin.op.messages[0].caption);
    EXPECT_EQ(Statements{"mysql_refresh(1)"}, log.calls);
    EXPECT_TRUE(log.statements.empty());

    Session common(commonAccount());
    log.clear();
    common.commands.reloadPrivileges();
    EXPECT_EQ(QStringList{"It failed in the privilege table at the reload."}, common.op.messageTexts());
    EXPECT_EQ(Statements{"mysql_refresh(1)"}, log.calls);
    EXPECT_TRUE(answers(*common.doc.connection()));
}

TEST(SessionCommands, FlushCommandsSendTheirStatementAndAlwaysTell) {
    const std::vector<std::tuple<Command, std::string, QString>> cases = {
        {Command::ResetServerInfo, "FLUSH HOSTS",
         "The host information by which cash are carried out was reset."},
        {Command::ResetHistoryInfo, "FLUSH LOGS", "The file inode number of an update log was changed."},
        {Command::ResetStatusVariable, "FLUSH STATUS", "The status variable was reset."},
        {Command::ResetOpenTable, "FLUSH TABLES",
         "The data by which cash are carried out was written in the disk."},
    };
    for (const Account& account : {adminAccount(), commonAccount()}) {
        Session s(account);
        for (const auto& [command, statement, message] : cases) {
            s.op.clear();
            StatementLog log;
            s.commands.flush(command);
            EXPECT_EQ(Statements{statement}, log.statements) << account.user;
            EXPECT_EQ(QStringList{message}, s.op.messageTexts()) << account.user << " " << statement;
            EXPECT_TRUE(answers(*s.doc.connection())) << account.user << " " << statement;
        }
    }
}

TEST(SessionCommands, AddUserNeedsAnAdministrator) {
    Session common(commonAccount());
    StatementLog log;
    common.commands.addUser();
    EXPECT_EQ(QStringList{"There is no authority."}, common.op.messageTexts());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(log.calls.empty());

    Session admin(adminAccount());
    log.clear();
    admin.commands.addUser();
    EXPECT_TRUE(admin.op.messages.empty());
    EXPECT_EQ(Statements{"mysql_refresh(1)"}, log.calls) << "the grants are reloaded after the user editor";
    EXPECT_TRUE(answers(*admin.doc.connection()));
}

TEST(SessionCommands, RefusedServerStopKeepsTheSession) {
    Session common(commonAccount());
    setProcessEndHandler([](int code) { throw ProcessEnded{code}; });
    common.op.answer(true);
    StatementLog log;
    EXPECT_NO_THROW(common.commands.stopServer());
    setProcessEndHandler(nullptr);
    EXPECT_EQ(Statements{"mysql_shutdown"}, log.calls);
    ASSERT_EQ(1u, common.op.questions.size());
    EXPECT_EQ(QStringLiteral("本当に停止してもよろしいですか？"), common.op.questions[0].text);
    EXPECT_EQ(QStringList{"It failed in the server stop. There may be no shutdown privilege."},
              common.op.messageTexts());
    EXPECT_TRUE(answers(*common.doc.connection()));
}

TEST(SessionCommands, ServerStopAsksThenStopsTheServerAndEndsTheProgram) {
    PrivateServer server;
    ASSERT_EQ("", server.error());
    ScriptedOperator op;
    CSorvaneDoc doc(op, server.login());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    op.clear();
    TestViewHost host(doc, op);
    CSorvaneView list(doc, op, host);
    setProcessEndHandler([](int code) { throw ProcessEnded{code}; });

    // No: nothing is sent and the server goes on.
    StatementLog log;
    op.answer(false);
    list.execute(Command::ServerStop);
    EXPECT_EQ(1u, op.questions.size());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(doc.connection()->ping());

    op.answer(true);
    int code = -100;
    try {
        list.execute(Command::ServerStop);
    } catch (const ProcessEnded& e) {
        code = e.code;
    }
    setProcessEndHandler(nullptr);
    EXPECT_EQ(0, code);
    EXPECT_EQ(Statements{"mysql_shutdown"}, log.calls);
    EXPECT_EQ(2u, op.questions.size());
    EXPECT_EQ(QStringLiteral("本当に停止してもよろしいですか？"), op.questions[1].text);
    EXPECT_EQ(QStringList{"The server stopped. This program is also ended."}, op.messageTexts());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (server.accepts() && std::chrono::steady_clock::now() < deadline)
        QThread::msleep(200);
    EXPECT_FALSE(server.accepts()) << "the server went down by itself";
}
