#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>
#include <QComboBox>
#include <QProcess>

#include "KeyringTesting.h"
#include "LoginTesting.h"
#include "profiles/HostFile.h"
#include "profiles/LoginDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kPasswordA = "A-Pw-11";
const std::string kPasswordB = "OtherPw-22";

/// Two accounts of the private server, one for each folder's "krprof".
struct TwoAccounts {
    TwoAccounts() {
        exec(*admin, "DROP USER IF EXISTS 'velkin_kra'@'127.0.0.1', 'velkin_krb'@'127.0.0.1'");
        exec(*admin, "CREATE USER 'velkin_kra'@'127.0.0.1' IDENTIFIED BY '" + kPasswordA + "'");
        exec(*admin, "CREATE USER 'velkin_krb'@'127.0.0.1' IDENTIFIED BY '" + kPasswordB + "'");
    }
    ~TwoAccounts() { exec(*admin, "DROP USER IF EXISTS 'velkin_kra'@'127.0.0.1', 'velkin_krb'@'127.0.0.1'"); }
    std::unique_ptr<Connection> admin = connectAdmin();
};

/// Saves "krprof" in the current folder with its password in the keyring; with a locked SSH key
/// whose passphrase the keyring keeps too when withSsh.
void saveKeyringProfile(ScriptedOperator& op, const std::string& user, const std::string& password,
                        bool withSsh) {
    HostDialog dialog(op);
    choosePlace(dialog, "kept in the desktop's keyring");
    if (withSsh) {
        setField(dialog, "SSH host", "127.0.0.1");
        setField(dialog, "SSH port", QString::fromStdString(sshFile("port")));
        setField(dialog, "SSH user", QString::fromLocal8Bit(getpwuid(getuid())->pw_name));
        auto* auth = widget<QComboBox>(dialog, "SSH authentication");
        auth->setCurrentIndex(auth->findText("Key file"));
        setField(dialog, "SSH key file",
                 QString::fromStdString(std::string(std::getenv("VELKIN_SSH_DIR")) + "/id_locked"));
        setField(dialog, "SSH password or passphrase", QString::fromStdString(sshFile("passphrase")));
    }
    ASSERT_EQ(QDialog::Accepted,
              fillHostDialog(dialog, "krprof", QString::fromStdString(user), QString::fromStdString(password),
                             QString::fromStdString(testHost()), QString::number(testPort())))
        << op.messageTexts().join("|").toStdString();
    writeFile("FOLDER.DAT", "1\r\n0 2 krprof -1\r\n");
}

/// The login's values after choosing "krprof" and Connect, and the titles of what it asked.
struct LoginOutcome {
    LoginValues values;
    QStringList asked;
    QString said;
    bool accepted = false;
};

LoginOutcome loginWithKrprof(std::optional<QString> typed = std::nullopt) {
    ScriptedOperator op;
    LoginOutcome outcome;
    if (typed)
        op.onModal(typePassword(*typed, &outcome.said));
    LoginDialog login(op, "3306");
    select(login, {"krprof"});
    click(login, "Connect");
    outcome.values = login.values();
    outcome.asked = op.modalTitles;
    outcome.accepted = login.result() == QDialog::Accepted;
    return outcome;
}

std::string loggedInAs(const LoginOutcome& outcome) {
    Connection c;
    if (!c.connect(testHost(), outcome.values.user.toStdString(), outcome.values.password.toStdString(),
                   testPort()))
        return "refused: " + c.errorText();
    return scalar(c, "SELECT CURRENT_USER()");
}

}  // namespace

TEST(ProfileSecrets, SameNamedProfilesOfTwoFoldersKeepTheirOwnSecrets) {
    TwoAccounts accounts;
    ScriptedOperator op;
    op.defaultAnswer = true;
    ScratchDirectory folderA;
    saveKeyringProfile(op, "velkin_kra", kPasswordA, true);
    ScratchDirectory folderB;
    saveKeyringProfile(op, "velkin_krb", kPasswordB, false);
    const std::string idB = secretId("krprof");
    std::string idA;
    inFolder(folderA.path(), [&] { idA = secretId("krprof"); });
    ASSERT_FALSE(idA.empty());
    EXPECT_NE(idA, idB);

    // A's login still sends A's password to A's account, and opens A's key without asking.
    const auto checkA = [&] {
        inFolder(folderA.path(), [&] {
            const LoginOutcome a = loginWithKrprof();
            EXPECT_TRUE(a.accepted);
            EXPECT_EQ(QStringList(), a.asked);
            EXPECT_EQ(kPasswordA, a.values.password.toStdString());
            EXPECT_EQ(sshFile("passphrase"), a.values.sshSecrets.passphrase);
            EXPECT_EQ("velkin_kra@127.0.0.1", loggedInAs(a));
        });
    };
    checkA();
    const LoginOutcome b = loginWithKrprof();
    EXPECT_EQ("velkin_krb@127.0.0.1", loggedInAs(b));

    // Deleting B's host forgets B's secrets alone.
    {
        LoginDialog login(op, "3306");
        select(login, {"krprof"});
        click(login, "Delete Host");
    }
    EXPECT_EQ("(none)", keptPasswordOf(idB));
    EXPECT_EQ(kPasswordA, keptPasswordOf(idA));
    checkA();
}

TEST(ProfileSecrets, AKeptSecretGoesOnlyToItsOwnLoginAndEarlierEntriesMove) {
    TwoAccounts accounts;
    ScriptedOperator op;
    op.defaultAnswer = true;
    ScratchDirectory folderA;
    saveKeyringProfile(op, "velkin_kra", kPasswordA, false);
    const std::string hostSecret = readFile("HostSecret.DAT");
    const std::string folders = readFile("FOLDER.DAT");
    const std::string port = std::to_string(testPort());

    // A copy of the folder whose host now names another account keeps the same id; the secret
    // kept for velkin_kra is not sent to velkin_krb, and the person is told why and asked.
    ScratchDirectory copy;
    writeFile("HostSecret.DAT", hostSecret);
    writeFile("FOLDER.DAT", folders);
    writeFile("Host.DAT", hostRecord("krprof", testHost(), "velkin_krb", "", port).toBytes());
    const LoginOutcome other = loginWithKrprof(QString::fromStdString(kPasswordB));
    EXPECT_EQ(QStringList{"Login"}, other.asked);
    const QString a = "velkin_kra@" + QString::fromStdString(testHost()) + ":" + QString::fromStdString(port);
    const QString b = "velkin_krb@" + QString::fromStdString(testHost()) + ":" + QString::fromStdString(port);
    EXPECT_EQ(("The desktop's keyring keeps the password of \"krprof\" for " + a + ", not for " + b +
               "; it is not sent to another server.\nThe password of velkin_krb on " +
               QString::fromStdString(testHost()) + ":")
                  .toStdString(),
              other.said.toStdString());
    EXPECT_EQ("velkin_krb@127.0.0.1", loggedInAs(other));
    // Saving the copy's host gives it an id of its own; the original's entry stays as it was.
    const std::string idA = secretId("krprof");
    {
        HostDialog dialog(op, "krprof");
        EXPECT_EQ(QString(), field(dialog, "Password")->text());
        setField(dialog, "Password", QString::fromStdString(kPasswordB));
        click(dialog, "Create");
        ASSERT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_NE(idA, secretId("krprof"));
    EXPECT_EQ(kPasswordB, keptPasswordOf(secretId("krprof")));
    EXPECT_EQ(kPasswordA, keptPasswordOf(idA));

    // An entry an earlier version kept under the display name alone moves to the host's own id on
    // first use, bound to the host's login from then on.
    ScratchDirectory former;
    writeFile("FOLDER.DAT", folders);
    writeFile("Host.DAT", hostRecord("krprof", testHost(), "velkin_kra", "", port).toBytes());
    writeFile("HostSecret.DAT", "# VelkinSorvane password places of the saved hosts\nkrprof\tkeyring\n");
    ASSERT_EQ(QString(), keyringWrite("krprof", QString::fromStdString(kPasswordA)));
    const LoginOutcome moved = loginWithKrprof();
    EXPECT_EQ(QStringList(), moved.asked);
    EXPECT_EQ("velkin_kra@127.0.0.1", loggedInAs(moved));
    const std::string id = secretId("krprof");
    ASSERT_EQ(36u, id.size()) << readFile("HostSecret.DAT");
    EXPECT_EQ(kPasswordA, keptPasswordOf(id));
    EXPECT_FALSE(keyringRead("krprof").secret) << "the entry under the bare name is gone";
}

TEST(ProfileSecretsLockedKeyring, TheLoginSaysTheKeyringIsLockedAndAsks) {
    TwoAccounts accounts;
    ScriptedOperator op;
    op.defaultAnswer = true;
    ScratchDirectory dir;
    saveKeyringProfile(op, "velkin_kra", kPasswordA, false);
    const std::string address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_EQ(
        0, QProcess::execute("dbus-send", {"--bus=" + QString::fromStdString(address),
                                           "--dest=org.freedesktop.secrets", "--print-reply",
                                           "/org/freedesktop/secrets", "org.freedesktop.Secret.Service.Lock",
                                           "array:objpath:/org/freedesktop/secrets/collection/login"}));
    const LoginOutcome outcome = loginWithKrprof(QString::fromStdString(kPasswordA));
    EXPECT_EQ(QStringList{"Login"}, outcome.asked);
    EXPECT_EQ(
        "The desktop's keyring could not give the password of \"krprof\" (the keyring is locked).\n"
        "The password of velkin_kra on " +
            testHost() + ":",
        outcome.said.toStdString());
    EXPECT_EQ("velkin_kra@127.0.0.1", loggedInAs(outcome));
}

/// With no Secret Service (or a locked keyring), the login says that the keyring could not give the
/// password, and asks for it, rather than sending an empty one.
TEST(ProfileSecretsNoKeyring, TheLoginSaysTheKeyringCouldNotAnswerAndAsks) {
    ScratchDirectory dir;
    writeFile("FOLDER.DAT", "1\r\n0 2 krprof -1\r\n");
    writeFile("Host.DAT", hostRecord("krprof", "db.lan", "admin", "", "3306").toBytes());
    writeFile("HostSecret.DAT",
              "# VelkinSorvane password places of the saved hosts\n"
              "krprof\tkeyring\t0f8e1c52-6f35-4c43-9b43-0d7b0d1a2b3c\n");
    const LoginOutcome outcome = loginWithKrprof(QStringLiteral("typed-pw"));
    EXPECT_EQ(QStringList{"Login"}, outcome.asked);
    EXPECT_TRUE(outcome.said.startsWith("The desktop's keyring could not give the password of \"krprof\" ("))
        << outcome.said.toStdString();
    EXPECT_TRUE(outcome.accepted);
    EXPECT_EQ("typed-pw", outcome.values.password.toStdString());
}
