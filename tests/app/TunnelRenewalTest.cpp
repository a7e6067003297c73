#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include "ProgramTesting.h"
#include "session/SshTunnel.h"
#include "support/SshTesting.h"
#include "views/CSorvaneView.h"

using namespace velkin;
using namespace velkin::test;

namespace {

constexpr int kKeepAliveMs = 100;
constexpr int kRetryMs = 100;

/// A session through the test sshd, its host key trusted beforehand, with the record list of a
/// table of two rows open.
struct TunnelledSession {
    ScratchDatabase db{"velkin_tunnel_renewal"};
    Program p;
    CSorvaneView* list = nullptr;
    std::shared_ptr<SshTunnel> tunnel;

    TunnelledSession() : p((trust(), kKeepAliveMs), tunnelTo(SshAuth::Agent), QStringLiteral("office")) {
        p.frame.loginCycle().setTunnelRetryInterval(kRetryMs);
        exec(db.admin(), "CREATE TABLE velkin_tunnel_renewal.t (id INT PRIMARY KEY)");
        exec(db.admin(), "INSERT INTO velkin_tunnel_renewal.t VALUES (1), (2)");
        p.frame.tree().bringTablesUpToDate();
        list = openTable(p, "velkin_tunnel_renewal", "t");
        tunnel = p.doc.sessionConnection().tunnel();
        p.op.clear();
    }
    ~TunnelledSession() { forgetHostKeys(); }

    static void trust() {
        forgetHostKeys();
        writeText(SshTunnel::ownKnownHostsPath(), sshdKnownHostsLine());
    }

    QString endedMessage() const {
        return QString::fromStdString("The SSH tunnel through " + me() +
                                      "@127.0.0.1:" + std::to_string(sshPort()) + " has ended") +
               ", and with it the session to the server. Both are built again as soon as the SSH host "
               "answers; the open screens stay.";
    }

    /// Kills the sshd and waits until the keep-alive has found the session lost with it.
    void killSshd() {
        sshd("kill");
        ASSERT_TRUE(QTest::qWaitFor([&] { return p.frame.loginCycle().isAwaitingTunnel(); }, 10000))
            << p.op.messageTexts().join('|').toStdString();
    }
};

}  // namespace

TEST(TunnelRenewal, ALostTunnelIsSaidAndTheSessionComesBackUnderTheOpenRecordList) {
    TunnelledSession s;
    ASSERT_NE(nullptr, s.list);
    ASSERT_EQ(2, s.list->rowCount());
    ASSERT_TRUE(s.tunnel);
    const int logins = s.p.logins;

    s.killSshd();
    EXPECT_EQ(QStringList{s.endedMessage()}, s.p.op.messageTexts());
    EXPECT_FALSE(s.p.doc.isConnected());
    // Tried again and again while the SSH host does not answer, without a word or a login.
    QTest::qWait(kRetryMs * 5);
    EXPECT_TRUE(s.p.frame.loginCycle().isAwaitingTunnel());
    EXPECT_EQ(1, s.p.op.messages.size());
    EXPECT_EQ("The SSH tunnel has ended; waiting for the SSH host to answer.",
              s.p.frame.statusBarPanes().paneText(0));
    exec(s.db.admin(), "INSERT INTO velkin_tunnel_renewal.t VALUES (3)");

    sshd("start");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s.p.frame.loginCycle().isAwaitingTunnel(); }, 10000));
    EXPECT_EQ(logins, s.p.logins) << "no new login";
    EXPECT_EQ(QStringList{s.endedMessage()}, s.p.op.messageTexts()) << "nothing more is said";
    ASSERT_TRUE(s.p.doc.isConnected());
    EXPECT_NE(s.tunnel, s.p.doc.sessionConnection().tunnel());
    EXPECT_TRUE(s.p.doc.sessionConnection().tunnel()->isAlive());
    EXPECT_EQ("It is under connection by Admin", s.p.frame.statusBarPanes().paneText(0));
    // The same record list, read again on the new session.
    EXPECT_EQ(s.list, s.p.frame.recordList());
    EXPECT_EQ(3, s.list->rowCount());
    EXPECT_EQ("velkin_tunnel_renewal", s.p.doc.selection().database);
    EXPECT_EQ("t", s.p.doc.selection().table);
    // And the keep-alive watches the new session.
    EXPECT_TRUE(s.p.frame.keepAlive().isActive());
    QTest::qWait(kKeepAliveMs * 3);
    EXPECT_EQ(1, s.p.op.messages.size());
}

TEST(TunnelRenewal, AHostThatAnswersWithAnotherKeyIsRefusedAndTheLoginStartsFromTheSameProfile) {
    TunnelledSession s;
    ASSERT_TRUE(s.tunnel);
    s.killSshd();
    // Meanwhile the trusted key is one the host does not show: the host answers, but is refused.
    writeText(SshTunnel::ownKnownHostsPath(), sshdKnownHostsLine("other_host_ed25519.pub"));
    // The person looks into it during the login and trusts the right key again.
    s.p.whileLoggingIn = [] { writeText(SshTunnel::ownKnownHostsPath(), sshdKnownHostsLine()); };
    const int logins = s.p.logins;
    sshd("start");
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.p.logins > logins && s.p.frame.tree().isReady(); }, 10000));

    const QStringList said = s.p.op.messageTexts();
    ASSERT_GE(said.size(), 2) << said.join('|').toStdString();
    EXPECT_EQ(s.endedMessage(), said[0]);
    EXPECT_TRUE(said[1].startsWith("Connection failure\nSSH host key changed")) << said[1].toStdString();
    EXPECT_TRUE(said[1].contains(QString::fromStdString(firstWord(readText(sshFile("host_fingerprint"))))));
    EXPECT_TRUE(said[1].contains(QString::fromStdString(SshTunnel::ownKnownHostsPath())));
    EXPECT_EQ("office", s.p.profilesOffered.back()) << "the login starts from the saved host it had";
    EXPECT_FALSE(s.p.frame.loginCycle().isAwaitingTunnel());
    ASSERT_TRUE(s.p.doc.isConnected());
    EXPECT_TRUE(s.p.doc.sessionConnection().tunnel()->isAlive());
}
