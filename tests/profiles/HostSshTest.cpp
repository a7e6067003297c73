#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/LoginDialog.h"
#include "profiles/SshSettingsFile.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

void setSsh(QWidget& dialog, const QString& host, const QString& port, const QString& user,
            const QString& auth, const QString& keyFile = {}) {
    setField(dialog, "SSH host", host);
    setField(dialog, "SSH port", port);
    setField(dialog, "SSH user", user);
    auto* combo = widget<QComboBox>(dialog, "SSH authentication");
    combo->setCurrentIndex(combo->findText(auth));
    setField(dialog, "SSH key file", keyFile);
}

const char* kHeader = "# VelkinSorvane SSH tunnels of the saved hosts\n";

}  // namespace

TEST(SshSettingsFile, LinesCarryAnyTextAndRefuseWhatThisProgramDidNotWrite) {
    SshEntry entry{"odd\tname\\", SshOptions{"jump.lan", 2222, "me\n", SshAuth::KeyFile, "/keys/a\tb"}};
    const std::string line = sshEntryLine(entry);
    EXPECT_EQ("odd\\tname\\\\\tjump.lan\t2222\tme\\n\tkey\t/keys/a\\tb", line);
    const auto back = parseSshEntryLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(entry.name, back->name);
    EXPECT_EQ(entry.ssh, back->ssh);
    for (const char* bad :
         {"h\tjump\t0\tme\tagent\t", "h\tjump\t22\tme\tkerberos\t", "h\t\t22\tme\tagent\t",
          "h\tjump\t22x\tme\tagent\t", "h\tjump\t22\tme\tagent", "h\tj\\q\t22\tme\tagent\t"})
        EXPECT_FALSE(parseSshEntryLine(bad)) << bad;
}

TEST(HostDialogSsh, SavesTheTunnelBesideHostDatAndTheLoginCarriesItAndAsksForItsPassword) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    {
        HostDialog dialog(op);
        EXPECT_EQ("22", field(dialog, "SSH port")->text());
        EXPECT_FALSE(field(dialog, "SSH key file")->isEnabled());
        setSsh(dialog, "jump.lan", "0", "me", "Key file", "/keys/id_ed25519");
        EXPECT_TRUE(field(dialog, "SSH key file")->isEnabled());
        // A port that is no port is refused before anything is written.
        setField(dialog, "Display Name", "office");
        click(dialog, "Create");
        EXPECT_EQ("The SSH port must be a number from 1 to 65535.", op.messages.back().text);
        EXPECT_NE(QDialog::Accepted, dialog.result());
        setField(dialog, "SSH port", "2222");
        ASSERT_EQ(QDialog::Accepted,
                  fillHostDialog(dialog, "office", "admin", "dbsecret", "10.0.0.5", "3306"));
    }
    EXPECT_EQ(hostRecord("office", "10.0.0.5", "admin", "dbsecret", "3306").toBytes(), readFile("Host.DAT"))
        << "Host.DAT keeps its layout and holds nothing of the tunnel";
    EXPECT_EQ(std::string(kHeader) + "office\tjump.lan\t2222\tme\tkey\t/keys/id_ed25519\n",
              readFile("HostSSH.DAT"));
    EXPECT_EQ(0600, permissions("HostSSH.DAT"));

    {
        HostDialog dialog(op, "office");
        EXPECT_EQ("jump.lan", field(dialog, "SSH host")->text());
        EXPECT_EQ("2222", field(dialog, "SSH port")->text());
        EXPECT_EQ("Key file", widget<QComboBox>(dialog, "SSH authentication")->currentText());
        setSsh(dialog, "jump.lan", "22", "me", "Password");
        click(dialog, "Create");
        ASSERT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_EQ(std::string(kHeader) + "office\tjump.lan\t22\tme\tpassword\t\n", readFile("HostSSH.DAT"))
        << "a key file is kept only for a key login";

    writeFile("FOLDER.DAT", "1\r\n0 2 office -1\r\n");
    LoginDialog login(op, "3306");
    select(login, {"office"});
    EXPECT_EQ((SshOptions{"jump.lan", 22, "me", SshAuth::Password, ""}), login.values().ssh);
    // The SSH password is asked for when Connect is chosen, and kept in memory only.
    op.onModal([](QDialog& dialog) {
        EXPECT_EQ("SSH login", dialog.windowTitle().toStdString());
        setField(dialog, "SSH password", "ssh-secret-42");
        click(dialog, "OK");
        return dialog.result();
    });
    click(login, "Connect");
    EXPECT_EQ(QDialog::Accepted, login.result());
    EXPECT_EQ("ssh-secret-42", login.values().sshSecrets.password);
    for (const char* file : {"Host.DAT", "HostSSH.DAT", "FOLDER.DAT", "HostTLS.DAT"})
        EXPECT_EQ(std::string::npos, readFile(file).find("ssh-secret-42")) << file;

    // Cancelling the SSH password keeps the login open.
    LoginDialog again(op, "3306");
    select(again, {"office"});
    op.onModal([](QDialog&) { return int(QDialog::Rejected); });
    click(again, "Connect");
    EXPECT_NE(QDialog::Accepted, again.result());

    // The tunnel goes with its host; a host turned direct leaves no line.
    {
        HostDialog dialog(op, "office");
        setField(dialog, "SSH host", "");
        click(dialog, "Create");
    }
    EXPECT_EQ(std::string(kHeader), readFile("HostSSH.DAT"));
}
