#include <gtest/gtest.h>

#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/TlsOptions.h"
#include "support/RecordedPanes.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// Accounts that demand TLS, made fresh for each test and dropped again whatever the outcome.
class TlsAccounts : public ::testing::Test {
protected:
    void SetUp() override {
        m_admin = connectAdmin();
        dropAccounts();
        exec(*m_admin, "CREATE USER 'sorvane_tls_ssl'@'127.0.0.1' IDENTIFIED BY 'p1' REQUIRE SSL");
        exec(*m_admin, "CREATE USER 'sorvane_tls_x509'@'127.0.0.1' IDENTIFIED BY 'p2' REQUIRE X509");
    }
    void TearDown() override { dropAccounts(); }
    void dropAccounts() {
        exec(*m_admin, "DROP USER IF EXISTS 'sorvane_tls_ssl'@'127.0.0.1', 'sorvane_tls_x509'@'127.0.0.1'");
    }

    static TlsOptions options(TlsMode mode, const std::string& ca = "", bool clientCert = false) {
        TlsOptions tls;
        tls.mode = mode;
        tls.caFile = ca.empty() ? "" : testTlsFile(ca);
        if (clientCert) {
            tls.certFile = testTlsFile("client-cert.pem");
            tls.keyFile = testTlsFile("client-key.pem");
        }
        return tls;
    }

    /// Connects with the settings; the connection when it is open, else its failure text in failure.
    static std::unique_ptr<Connection> open(const TlsOptions& tls, const std::string& user,
                                            const std::string& pw, std::string* failure = nullptr) {
        auto c = std::make_unique<Connection>();
        c->setTls(tls);
        if (c->connect(testHost(), user, pw, testPort()))
            return c;
        if (failure)
            *failure = c->connectFailure();
        return nullptr;
    }

    std::unique_ptr<Connection> m_admin;
};

}  // namespace

TEST_F(TlsAccounts, VerifiedConnectionReportsTheServersCipher) {
    auto c = open(options(TlsMode::Verified, "ca.pem"), "root", "");
    ASSERT_TRUE(c);
    const std::string cipher = c->sslCipher();
    EXPECT_FALSE(cipher.empty());
    Result r = c->select("SHOW STATUS LIKE 'Ssl_cipher'");
    Row row = r.fetchRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(cipher, row.str(1)) << "the server agrees with the client on the cipher";
    EXPECT_EQ("Encrypted " + cipher, connectionSecurityText(cipher));

    auto plain = connectAdmin();
    EXPECT_EQ("", plain->sslCipher()) << "a profile without TLS settings logs in as plainly as ever";
    EXPECT_EQ("", scalar(*plain,
                         "SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                         "WHERE VARIABLE_NAME = 'Ssl_cipher'"));
    EXPECT_EQ("Not encrypted", connectionSecurityText(plain->sslCipher()));
}

TEST_F(TlsAccounts, AWrongCaIsRefusedSayingTheCertificateCouldNotBeVerified) {
    std::string failure;
    EXPECT_FALSE(open(options(TlsMode::Verified, "other-ca.pem"), "root", "", &failure));
    const std::string head =
        "Connection failure\nThe server's certificate could not be verified against the CA file " +
        testTlsFile("other-ca.pem") + ".\n2026:";
    EXPECT_EQ(head, failure.substr(0, head.size())) << failure;
    EXPECT_GT(failure.size(), head.size()) << "the client library's own text follows";

    // Only encrypted, not verified: the CA is not consulted, so the same wrong one does not stop the login.
    auto c = open(options(TlsMode::Required, "other-ca.pem"), "root", "", &failure);
    ASSERT_TRUE(c) << failure;
    EXPECT_FALSE(c->sslCipher().empty());
}

TEST_F(TlsAccounts, RequireSslLogsInOnlyWithTlsOn) {
    std::string failure;
    EXPECT_FALSE(open(TlsOptions(), "sorvane_tls_ssl", "p1", &failure));
    EXPECT_EQ(0u, failure.rfind("Connection failure\n1045:", 0)) << failure;
    auto c = open(options(TlsMode::Required), "sorvane_tls_ssl", "p1", &failure);
    ASSERT_TRUE(c) << failure;
    EXPECT_EQ("sorvane_tls_ssl@127.0.0.1", scalar(*c, "SELECT CURRENT_USER()"));
    EXPECT_TRUE(open(options(TlsMode::Verified, "ca.pem"), "sorvane_tls_ssl", "p1"));
}

TEST_F(TlsAccounts, RequireX509LogsInOnlyWithTheClientCertificate) {
    std::string failure;
    EXPECT_FALSE(open(options(TlsMode::Verified, "ca.pem"), "sorvane_tls_x509", "p2", &failure));
    const std::string head =
        "Connection failure\nThe encrypted connection was set up; the login itself failed.\n1045:";
    EXPECT_EQ(head, failure.substr(0, head.size())) << failure;
    auto c = open(options(TlsMode::Verified, "ca.pem", true), "sorvane_tls_x509", "p2", &failure);
    ASSERT_TRUE(c) << failure;
    EXPECT_EQ("sorvane_tls_x509@127.0.0.1", scalar(*c, "SELECT CURRENT_USER()"));
    EXPECT_FALSE(c->sslCipher().empty());
    EXPECT_TRUE(open(options(TlsMode::Required, "", true), "sorvane_tls_x509", "p2"))
        << "a client certificate works without verifying the server too";
}

TEST(TlsSettings, UnusableFilesStopTheLoginBeforeTheServerIsAsked) {
    const int before = Connection::openCount();
    TlsOptions tls;
    tls.mode = TlsMode::Verified;
    tls.caFile = "/nonexistent/ca file.pem";
    Connection c;
    c.setTls(tls);
    EXPECT_FALSE(c.connect(testHost(), "root", "", testPort()));
    EXPECT_EQ(
        "Connection failure\nThe CA file /nonexistent/ca file.pem cannot be read (No such file or "
        "directory).",
        c.connectFailure());

    tls.caFile = "/dev/null";
    EXPECT_EQ("The CA file /dev/null is not a regular file.", tlsSettingsProblem(tls));
    tls.caFile = testTlsFile("ca.pem");
    tls.certFile = testTlsFile("client-cert.pem");
    EXPECT_EQ("A client certificate needs its key file, and a key file its certificate.",
              tlsSettingsProblem(tls));
    tls.keyFile = testTlsFile("client-key.pem");
    EXPECT_EQ("", tlsSettingsProblem(tls));
    tls.mode = TlsMode::Off;
    tls.caFile = "/nonexistent";
    EXPECT_EQ("", tlsSettingsProblem(tls)) << "settings that are off are never looked at";
    EXPECT_EQ(before, Connection::openCount());
}

TEST(TlsSettings, FailureMessagesNameThePartThatFailed) {
    TlsOptions off;
    EXPECT_EQ("Connection failure\n2026:SSL connection error: x",
              connectFailureMessage(off, 2026, "SSL connection error: x"));
    EXPECT_EQ("Connection failure\n2002:Can't connect to server on '127.0.0.1' (115)",
              connectFailureMessage(off, 2002, "Can't connect to server on '127.0.0.1' (115)"));
    TlsOptions on;
    on.mode = TlsMode::Verified;
    EXPECT_EQ(
        "Connection failure\nThe server's certificate could not be verified against the system's CAs.\n"
        "2026:SSL connection error: certificate verify failed",
        connectFailureMessage(on, 2026, "SSL connection error: certificate verify failed"));
    EXPECT_EQ(
        "Connection failure\nThe encrypted connection could not be set up.\n2026:SSL connection error: "
        "unknown protocol",
        connectFailureMessage(on, 2026, "SSL connection error: unknown protocol"));
    EXPECT_EQ(
        "Connection failure\nThe encrypted connection was set up; the login itself failed.\n2003:Can't "
        "connect to server on 'h' (111)",
        connectFailureMessage(on, 2003, "Can't connect to server on 'h' (111)"));
}

TEST(TlsSession, TheLoginsTlsSettingsReachTheConnectionAndTheStatusBar) {
    ScratchDirectory dir;
    ScriptedOperator op;
    RecordedPanes panes;
    std::vector<LoginValues> queue;
    CSorvaneDoc doc(
        op,
        [&queue](const QString&, const QString&) -> std::optional<LoginValues> {
            LoginValues next = queue.front();
            queue.erase(queue.begin());
            return next;
        },
        &panes);
    LoginValues login{"root", "", QString::fromStdString(testHost()), QString::number(testPort())};
    login.tls.mode = TlsMode::Verified;
    login.tls.caFile = testTlsFile("ca.pem");
    queue.push_back(login);
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    const std::string cipher = scalar(*doc.connection(),
                                      "SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                      "WHERE VARIABLE_NAME = 'Ssl_cipher'");
    EXPECT_FALSE(cipher.empty());
    EXPECT_EQ(QString::fromStdString("Encrypted " + cipher), panes.security);
    EXPECT_EQ(login.tls, doc.tls()) << "a second connection to the same server encrypts alike";

    login.tls.caFile = testTlsFile("other-ca.pem");
    queue.push_back(login);
    op.clear();
    EXPECT_EQ(ConnectResult::Failed, doc.Connect());
    ASSERT_EQ(1, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith(QString::fromStdString(
        "Connection failure\nThe server's certificate could not be verified against the CA file " +
        login.tls.caFile + ".\n2026:")))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("It does not connect.", panes.texts[0]);

    queue.push_back(LoginValues{"root", "", QString::fromStdString(testHost()), QString::number(testPort())});
    ASSERT_EQ(ConnectResult::Admin, doc.Connect());
    EXPECT_EQ("Not encrypted", panes.security);
}
