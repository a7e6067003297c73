#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>
#include <QComboBox>
#include <QDirIterator>
#include <QStandardPaths>
#include <filesystem>

#include "KeyringTesting.h"
#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/HostFile.h"
#include "profiles/Keyring.h"
#include "profiles/LoginDialog.h"
#include "profiles/SecretPlaceFile.h"
#include "session/Settings.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kSecret = "kr-secret-9174";

}  // namespace

TEST(HostKeyring, ThePasswordLivesInTheKeyringAloneAndGoesBackToHostDatOnRequest) {
    ScratchDirectory dir;
    auto admin = connectAdmin();
    exec(*admin, "DROP USER IF EXISTS 'velkin_kr'@'127.0.0.1'");
    exec(*admin, "CREATE USER 'velkin_kr'@'127.0.0.1' IDENTIFIED BY '" + kSecret + "'");
    ScriptedOperator op;
    op.defaultAnswer = true;
    {
        HostDialog dialog(op);
        EXPECT_EQ("kept in Host.DAT", widget<QComboBox>(dialog, "Password place")->currentText());
        choosePlace(dialog, "kept in the desktop's keyring");
        ASSERT_EQ(QDialog::Accepted,
                  fillHostDialog(dialog, "office", "velkin_kr", QString::fromStdString(kSecret),
                                 QString::fromStdString(testHost()), QString::number(testPort())))
            << op.messageTexts().join("|").toStdString();
    }
    // The record keeps its layout with an empty password; the keyring holds it.
    EXPECT_EQ(hostRecord("office", testHost(), "velkin_kr", "", std::to_string(testPort())).toBytes(),
              readFile("Host.DAT"));
    const std::string id = secretId("office");
    ASSERT_EQ(36u, id.size()) << readFile("HostSecret.DAT");
    EXPECT_EQ(kSecret, keptPasswordOf(id));
    EXPECT_EQ("# VelkinSorvane password places of the saved hosts\noffice\tkeyring\t" + id + "\n",
              readFile("HostSecret.DAT"));

    // The login takes the password from the keyring, and the server accepts it.
    writeFile("FOLDER.DAT", "1\r\n0 2 office -1\r\n");
    LoginDialog login(op, "3306");
    select(login, {"office"});
    const LoginValues values = login.values();
    EXPECT_EQ(kSecret, values.password.toStdString());
    Connection c;
    ASSERT_TRUE(c.connect(testHost(), "velkin_kr", values.password.toStdString(), testPort()))
        << c.errorText();
    EXPECT_EQ("velkin_kr@127.0.0.1", scalar(c, "SELECT CURRENT_USER()").substr(0, 19));

    // No file the program wrote holds the password: the profile files, the settings, the known hosts.
    EXPECT_EQ(QStringList(), filesHolding(QString::fromStdString(dir.path()), kSecret));
    EXPECT_EQ(QStringList(), filesHolding(Settings().folder(), kSecret));

    // Back to Host.DAT: the record holds it again and the keyring forgets it.
    {
        HostDialog dialog(op, "office");
        EXPECT_EQ(QString::fromStdString(kSecret), field(dialog, "Password")->text());
        choosePlace(dialog, "kept in Host.DAT");
        click(dialog, "Create");
        ASSERT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_EQ(hostRecord("office", testHost(), "velkin_kr", kSecret, std::to_string(testPort())).toBytes(),
              readFile("Host.DAT"));
    EXPECT_EQ("(none)", keptPasswordOf(id));
    EXPECT_EQ("# VelkinSorvane password places of the saved hosts\n", readFile("HostSecret.DAT"));

    // Asked at every login: nothing kept anywhere, the login's password field starts empty.
    {
        HostDialog dialog(op, "office");
        choosePlace(dialog, "asked at every login");
        click(dialog, "Create");
    }
    EXPECT_EQ(hostRecord("office", testHost(), "velkin_kr", "", std::to_string(testPort())).toBytes(),
              readFile("Host.DAT"));
    LoginDialog again(op, "3306");
    select(again, {"office"});
    EXPECT_EQ("", again.values().password.toStdString());
    // Connect asks for it rather than sending an empty one, and sends what is typed.
    op.modalTitles.clear();
    QString said;
    op.onModal(typePassword(QString::fromStdString(kSecret), &said));
    click(again, "Connect");
    EXPECT_EQ(QStringList{"Login"}, op.modalTitles);
    EXPECT_EQ("The password of velkin_kr on " + testHost() + ":", said.toStdString());
    EXPECT_EQ(QDialog::Accepted, again.result());
    EXPECT_EQ(kSecret, again.values().password.toStdString());
    EXPECT_EQ(QStringList(), filesHolding(QString::fromStdString(dir.path()), kSecret));
    exec(*admin, "DROP USER 'velkin_kr'@'127.0.0.1'");
}

TEST(HostKeyring, TheSshPassphraseComesFromTheKeyringAndNoFileHoldsIt) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    const std::string passphrase = sshFile("passphrase");
    const QString me = QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
    {
        HostDialog dialog(op);
        EXPECT_FALSE(field(dialog, "SSH password or passphrase")->isEnabled()) << "no file may keep it";
        choosePlace(dialog, "kept in the desktop's keyring");
        setField(dialog, "SSH host", "127.0.0.1");
        setField(dialog, "SSH port", QString::fromStdString(sshFile("port")));
        setField(dialog, "SSH user", me);
        auto* auth = widget<QComboBox>(dialog, "SSH authentication");
        auth->setCurrentIndex(auth->findText("Key file"));
        setField(dialog, "SSH key file",
                 QString::fromStdString(std::string(std::getenv("VELKIN_SSH_DIR")) + "/id_locked"));
        ASSERT_TRUE(field(dialog, "SSH password or passphrase")->isEnabled());
        setField(dialog, "SSH password or passphrase", QString::fromStdString(passphrase));
        const Account admin = adminAccount();
        ASSERT_EQ(QDialog::Accepted,
                  fillHostDialog(dialog, "office", QString::fromStdString(admin.user),
                                 QString::fromStdString(admin.password), QString::fromStdString(testHost()),
                                 QString::number(testPort())))
            << op.messageTexts().join("|").toStdString();
    }
    const std::string id = secretId("office");
    EXPECT_EQ(passphrase, keptSshSecretOf(id));
    EXPECT_EQ(QStringList(), filesHolding(QString::fromStdString(dir.path()), passphrase));
    EXPECT_EQ(QStringList(), filesHolding(Settings().folder(), passphrase));

    // The login opens the locked key with what the keyring keeps, asks nothing, and reaches the server.
    writeFile("FOLDER.DAT", "1\r\n0 2 office -1\r\n");
    {
        LoginDialog login(op, "3306");
        select(login, {"office"});
        click(login, "Connect");
        EXPECT_EQ(QStringList(), op.modalTitles);
        const LoginValues values = login.values();
        EXPECT_EQ(passphrase, values.sshSecrets.passphrase);
        Connection c;
        c.setSsh(values.ssh, values.sshSecrets, [](const std::string&) { return true; });
        ASSERT_TRUE(
            c.connect(testHost(), values.user.toStdString(), values.password.toStdString(), testPort()))
            << c.connectFailure();
        ASSERT_TRUE(c.tunnel());
        EXPECT_EQ("1", scalar(c, "SELECT 1"));
    }

    // Asked at every login: the keyring forgets it, and the login asks for it again.
    {
        HostDialog dialog(op, "office");
        EXPECT_EQ(QString::fromStdString(passphrase), field(dialog, "SSH password or passphrase")->text());
        choosePlace(dialog, "asked at every login");
        click(dialog, "Create");
        ASSERT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_EQ("(none)", keptSshSecretOf(id));
    LoginDialog again(op, "3306");
    select(again, {"office"});
    QString said;
    op.onModal(typePassword(QString::fromStdString(adminAccount().password), &said));
    click(again, "Connect");
    EXPECT_EQ((QStringList{"Login", "SSH login"}), op.modalTitles) << "the password, then the passphrase";
}

TEST(HostKeyring, NoKeyringServiceIsSaidAtTheChoice) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    HostDialog dialog(op);
    choosePlace(dialog, "kept in the desktop's keyring");
    fillHostDialog(dialog, "office", "admin", "pw-nowhere", "db.lan", "3306");
    EXPECT_NE(QDialog::Accepted, dialog.result());
    ASSERT_FALSE(op.messages.empty());
    EXPECT_TRUE(op.messages.back().text.startsWith("The desktop's keyring cannot keep the password"))
        << op.messages.back().text.toStdString();
    EXPECT_FALSE(std::filesystem::exists("Host.DAT")) << "nothing is saved until the person chooses again";
}
