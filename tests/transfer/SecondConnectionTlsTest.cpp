#include <gtest/gtest.h>

#include <QListWidget>

#include "TransferTesting.h"
#include "profiles/HostFile.h"
#include "profiles/TlsSettingsFile.h"
#include "session/CSorvaneDoc.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/DuplicateFromOtherServersDialog.h"
#include "transfer/RowCopy.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// An account that the server lets in over TLS only, made fresh and dropped whatever the outcome.
class TlsOnlyAccount : public ::testing::Test {
protected:
    void SetUp() override {
        drop();
        exec(*m_admin, "CREATE USER 'sorvane_tls_dup'@'127.0.0.1' IDENTIFIED BY 'pw' REQUIRE SSL");
        exec(*m_admin, "GRANT SELECT ON sorvane_common.* TO 'sorvane_tls_dup'@'127.0.0.1'");
    }
    void TearDown() override { drop(); }
    void drop() { exec(*m_admin, "DROP USER IF EXISTS 'sorvane_tls_dup'@'127.0.0.1'"); }

    QStringList databasesOffered(const char* profile) {
        ScriptedOperator op;
        DuplicateFromOtherServersDialog dialog(*m_admin, op);
        auto* servers = child<QListWidget>(dialog, "Server");
        const auto found = servers->findItems(profile, Qt::MatchExactly);
        EXPECT_EQ(1, found.size());
        if (found.isEmpty())
            return {};
        servers->setCurrentItem(found.front());
        QStringList names;
        auto* databases = child<QListWidget>(dialog, "Database");
        for (int i = 0; i < databases->count(); ++i)
            names << databases->item(i)->text();
        return names;
    }

    std::unique_ptr<Connection> m_admin = connectAdmin();
};

}  // namespace

TEST_F(TlsOnlyAccount, TheCopyFromAnotherServerConnectsWithItsProfilesTlsSettings) {
    ScratchDirectory dir;
    const std::string port = std::to_string(testPort());
    HostFile hosts;
    ASSERT_TRUE(hosts.append({"plain", testHost(), "sorvane_tls_dup", "pw", port}));
    ASSERT_TRUE(hosts.append({"secure", testHost(), "sorvane_tls_dup", "pw", port}));
    TlsOptions verified;
    verified.mode = TlsMode::Verified;
    verified.caFile = testTlsFile("ca.pem");
    ASSERT_TRUE(TlsSettingsFile().store("", "secure", verified));

    EXPECT_EQ(QStringList(), databasesOffered("plain")) << "the account refuses a plain login";
    EXPECT_EQ((QStringList{"information_schema", "sorvane_common"}), databasesOffered("secure"));
}

TEST_F(TlsOnlyAccount, TheReaderConnectionOfACopyUsesTheSessionsTlsSettings) {
    LoginValues login{"sorvane_tls_dup", "pw", QString::fromStdString(testHost()),
                      QString::number(testPort())};
    EXPECT_FALSE(openReaderConnection(login));
    login.tls.mode = TlsMode::Verified;
    login.tls.caFile = testTlsFile("ca.pem");
    auto reader = openReaderConnection(login);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(reader->sslCipher().empty());
}
