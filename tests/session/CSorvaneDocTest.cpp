#include <gtest/gtest.h>

#include <QDir>
#include <QThread>
#include <map>

#include "session/CSorvaneDoc.h"
#include "session/KeepAlive.h"
#include "session/ProcessExit.h"
#include "session/SqlText.h"
#include "session/StatusPanes.h"
#include "support/RecordedPanes.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

struct ProcessEnded {
    int code;
};

/// Answers logins from a queue of accounts; an empty queue is a cancelled login.
struct Logins {
    std::vector<std::optional<LoginValues>> queue;
    QStringList presets;
    LoginPrompt prompt() {
        return [this](const QString& preset, const QString&) -> std::optional<LoginValues> {
            presets << preset;
            if (queue.empty())
                return std::nullopt;
            auto v = queue.front();
            queue.erase(queue.begin());
            return v;
        };
    }
    void add(const Account& a, const QString& port = QString::number(testPort())) {
        queue.push_back(LoginValues{qs(a.user), qs(a.password), qs(testHost()), port});
    }
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        setProcessEndHandler([](int code) { throw ProcessEnded{code}; });
    }
    void TearDown() override { setProcessEndHandler(nullptr); }

    ScratchDirectory dir;
    ScriptedOperator op;
    RecordedPanes panes;
    Logins logins;
    CSorvaneDoc doc{op, logins.prompt(), &panes};
};

bool serverHasThread(unsigned long id) {
    auto admin = connectAdmin();
    return scalar(*admin, sqlf("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %lu", id)) ==
           "1";
}

}  // namespace

TEST_F(SessionTest, AdministratorLogin) {
    logins.add(adminAccount());
    EXPECT_EQ(ConnectResult::Admin, doc.Connect());
    EXPECT_EQ(QStringList{"3306"}, logins.presets) << "the login is pre-set to the default port";
    EXPECT_EQ(AccountKind::Admin, doc.accountKind());
    ASSERT_TRUE(doc.isConnected());
    EXPECT_EQ(QStringList{"It is Admin."}, op.messageTexts());
    EXPECT_EQ("VelkinSorvane", op.messages.at(0).caption);
    EXPECT_EQ("It is under connection by Admin", panes.texts[0]);
    EXPECT_EQ("Login name root", panes.texts[1]);
    EXPECT_EQ("Host name 127.0.0.1", panes.texts[2]);
    EXPECT_EQ("Reference speed", panes.texts[3]);
    EXPECT_EQ((std::map<int, int>{{1, 150}, {2, 150}, {3, 170}}), panes.widths);
    EXPECT_EQ("root", doc.loginName());
    EXPECT_EQ("127.0.0.1", doc.hostName());
    EXPECT_EQ(QString::number(testPort()), doc.portText());
    EXPECT_EQ("mysql", scalar(*doc.connection(), "SELECT DATABASE()")) << "an administrator is left in mysql";
    EXPECT_EQ(QDir::currentPath(), doc.workingDirectory());
}

TEST_F(SessionTest, CommonUserLogin) {
    logins.add(commonAccount());
    EXPECT_EQ(ConnectResult::CommonUser, doc.Connect());
    EXPECT_EQ(AccountKind::Common, doc.accountKind());
    EXPECT_TRUE(doc.isConnected());
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("It is under connection by the common user.", panes.texts[0]);
    EXPECT_EQ("Login name sorvane_common", panes.texts[1]);
    EXPECT_EQ("Reference speed", panes.texts[3]);
}

TEST_F(SessionTest, FailedLogin) {
    logins.add({"root", "not-the-password"});
    EXPECT_EQ(ConnectResult::Failed, doc.Connect());
    ASSERT_EQ(1, op.messageTexts().size());
    EXPECT_TRUE(op.messageTexts()[0].startsWith("Connection failure\n1045:Access denied for user 'root'"))
        << op.messageTexts()[0].toStdString();
    EXPECT_EQ("It does not connect.", panes.texts[0]);
    EXPECT_EQ(AccountKind::Common, doc.accountKind());
    EXPECT_FALSE(doc.isConnected());
    EXPECT_EQ(nullptr, doc.connection());
    EXPECT_TRUE(panes.widths.empty()) << "the panes stay as they were";
}

TEST_F(SessionTest, CancelledLoginEndsTheProcessAlsoOnReconnect) {
    try {
        doc.Connect();
        FAIL() << "a cancelled login must end the process";
    } catch (const ProcessEnded& e) {
        EXPECT_EQ(-1, e.code);
    }
    EXPECT_EQ(QStringList{"Login failure"}, op.messageTexts());

    op.clear();
    logins.add(adminAccount());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    int open = Connection::openCount();
    try {
        doc.Connect();
        FAIL() << "a cancelled reconnect must end the process";
    } catch (const ProcessEnded& e) {
        EXPECT_EQ(-1, e.code);
    }
    EXPECT_EQ(open - 1, Connection::openCount()) << "the old connection was closed before the login";
}

TEST_F(SessionTest, ReconnectLeavesExactlyOneConnection) {
    logins.add(adminAccount());
    logins.add(commonAccount());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    unsigned long first = doc.connection()->threadId();
    int open = Connection::openCount();
    ASSERT_TRUE(serverHasThread(first));

    EXPECT_EQ(ConnectResult::CommonUser, doc.Connect());
    unsigned long second = doc.connection()->threadId();
    EXPECT_EQ(open, Connection::openCount());
    EXPECT_TRUE(serverHasThread(second));
    // The server drops a closed connection's thread asynchronously; give it a moment.
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {
        gone = !serverHasThread(first);
        if (!gone)
            QThread::msleep(20);
    }
    EXPECT_TRUE(gone) << "the first connection is closed on the server";
    EXPECT_EQ(AccountKind::Common, doc.accountKind()) << "the flag follows the newest login";
}

TEST_F(SessionTest, LoginReturnsToTheWorkingDirectory) {
    logins.add(adminAccount());
    logins.add(adminAccount());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    QString working = doc.workingDirectory();
    QDir::setCurrent(QDir::tempPath());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    EXPECT_EQ(working, QDir::currentPath()) << "profile files are read from the first login's folder";
    EXPECT_EQ(working, doc.workingDirectory());
}

TEST_F(SessionTest, KeepAliveFindsAKilledSessionAndLogsInAgain) {
    logins.add(adminAccount());
    logins.add(adminAccount());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    int lost = 0;
    KeepAlive keepAlive(doc, [&] {
        ++lost;
        doc.Connect();
    });
    keepAlive.start();
    EXPECT_TRUE(keepAlive.isActive());
    op.clear();

    keepAlive.check();
    EXPECT_EQ(0, lost) << "a live session is left alone";
    EXPECT_TRUE(op.messages.empty());

    auto admin = connectAdmin();
    ASSERT_EQ(0, admin->kill(doc.connection()->threadId()));
    {
        Connection::BusyScope busy(*doc.connection());
        keepAlive.check();
        EXPECT_EQ(0, lost) << "no ping while a statement or a read is in progress";
    }
    keepAlive.check();
    EXPECT_EQ(1, lost);
    EXPECT_FALSE(keepAlive.isActive()) << "the timer stops until the caller starts it again";
    EXPECT_EQ((QStringList{"The session to a server is cut.", "It is Admin."}), op.messageTexts());
    EXPECT_TRUE(doc.connection()->ping()) << "the new login gave a working session";
}

TEST_F(SessionTest, KeepAliveTreatsAFailedLoginAsLost) {
    logins.add({"root", "wrong"});
    ASSERT_EQ(ConnectResult::Failed, doc.Connect());
    int lost = 0;
    KeepAlive keepAlive(doc, [&] { ++lost; });
    keepAlive.check();
    EXPECT_EQ(1, lost);
    EXPECT_EQ("The session to a server is cut.", op.messageTexts().last());
    EXPECT_EQ(60000, KeepAlive::kIntervalMs);
}

TEST_F(SessionTest, OneConnectionObjectForTheLifeOfTheSession) {
    Connection& object = doc.sessionConnection();
    EXPECT_EQ(nullptr, doc.connection()) << "no usable connection before the first login";
    logins.add(adminAccount());
    logins.add(commonAccount());
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    EXPECT_EQ(&object, doc.connection());
    const unsigned generation = object.generation();
    ASSERT_EQ(ConnectResult::CommonUser, doc.Connect());
    EXPECT_EQ(&object, doc.connection()) << "a new login reopens the same object";
    EXPECT_EQ(generation + 1, object.generation());
    EXPECT_EQ(0u, scalar(object, "SELECT CURRENT_USER()").rfind(commonAccount().user + "@", 0));

    logins.add({"root", "wrong"});
    ASSERT_EQ(ConnectResult::Failed, doc.Connect());
    EXPECT_EQ(&object, &doc.sessionConnection());
    EXPECT_FALSE(object.isOpen());
    EXPECT_NE(0, object.query("SELECT 1")) << "a screen holding it gets an error, not a crash";
}

TEST_F(SessionTest, NothingStacksOnARunningLogin) {
    // The login prompt lets events through; what fires there finds a login running.
    int prompts = 0, lost = 0;
    std::optional<ConnectResult> inner;
    bool closedDuringLogin = false, loggingIn = false;
    CSorvaneDoc* session = nullptr;
    KeepAlive* keepAlive = nullptr;
    LoginPrompt prompt = [&](const QString&, const QString&) -> std::optional<LoginValues> {
        ++prompts;
        loggingIn = session->isLoggingIn();
        closedDuringLogin = !session->sessionConnection().isOpen();
        keepAlive->check();
        inner = session->Connect();
        return LoginValues{qs(adminAccount().user), qs(adminAccount().password), qs(testHost()),
                           QString::number(testPort())};
    };
    CSorvaneDoc second(op, prompt, &panes);
    KeepAlive alive(second, [&] { ++lost; });
    alive.setInterval(20);
    EXPECT_EQ(20, alive.interval());
    session = &second;
    keepAlive = &alive;

    ASSERT_EQ(ConnectResult::Admin, second.Connect());
    ASSERT_EQ(ConnectResult::Admin, second.Connect());
    EXPECT_EQ(2, prompts) << "a Connect inside the login shows no second dialog";
    EXPECT_EQ(ConnectResult::Failed, inner);
    EXPECT_TRUE(loggingIn);
    EXPECT_TRUE(closedDuringLogin) << "the earlier connection is closed before the dialog";
    EXPECT_FALSE(second.isLoggingIn());
    EXPECT_EQ(0, lost) << "the closed connection of a running login is no loss";
    EXPECT_EQ((QStringList{"It is Admin.", "It is Admin."}), op.messageTexts());
    EXPECT_TRUE(second.connection()->ping());
}

TEST(Port, OnlyDecimalPortsFromOneTo65535) {
    EXPECT_EQ(3306u, parsePort("3306").value());
    EXPECT_EQ(1u, parsePort("1").value());
    EXPECT_EQ(65535u, parsePort("65535").value());
    EXPECT_FALSE(parsePort("0"));
    EXPECT_FALSE(parsePort("65536"));
    EXPECT_FALSE(parsePort(""));
    EXPECT_FALSE(parsePort("33o6"));
    EXPECT_FALSE(parsePort("-1"));
    EXPECT_FALSE(parsePort("0x10"));
}
