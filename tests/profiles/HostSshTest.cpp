#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/LoginDialog.h"
#include "profiles/SshSettingsFile.h"
#include "session/SshTunnel.h"
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

/// A new public key made by ssh-keygen in the current folder, and its fingerprint as ssh-keygen prints it.
struct MadeKey {
    std::string line;
    std::string fingerprint;
};

MadeKey makeKey(const std::string& name) {
    const std::string made = "ssh-keygen -q -t ed25519 -N '' -C velkin -f " + name + " >/dev/null 2>&1";
    EXPECT_EQ(0, std::system(made.c_str()));
    MadeKey key{readFile(name + ".pub"), std::string()};
    if (FILE* p = ::popen(("ssh-keygen -l -E sha256 -f " + name + ".pub").c_str(), "r")) {
        char buffer[512] = {};
        std::istringstream words(std::fgets(buffer, sizeof buffer, p) ? buffer : "");
        std::string bits;
        words >> bits >> key.fingerprint;
        ::pclose(p);
    }
    EXPECT_EQ(0u, key.fingerprint.rfind("SHA256:", 0)) << key.fingerprint;
    return key;
}

/// HOME set to a folder of the test for the life of the scope: the person's ~/.ssh is read there.
class HomeScope {
public:
    explicit HomeScope(const std::string& home) : m_old(qgetenv("HOME")) {
        std::filesystem::create_directories(home + "/.ssh");
        qputenv("HOME", QByteArray::fromStdString(home));
    }
    ~HomeScope() { qputenv("HOME", m_old); }

private:
    QByteArray m_old;
};

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

TEST(HostDialogSsh, ShowsTheTrustedHostKeyAndForgetsThatHostAloneFromTheProgramsOwnFile) {
    ScratchDirectory dir;
    HomeScope home(dir.path() + "/home");
    ScriptedOperator op;
    const MadeKey a = makeKey("a"), b = makeKey("b"), c = makeKey("c");
    const std::string own = SshTunnel::ownKnownHostsPath();
    const std::string theirs = dir.path() + "/home/.ssh/known_hosts";
    std::filesystem::create_directories(std::filesystem::path(own).parent_path());
    // Whatever the file held before the test is put back afterwards.
    const bool existed = std::filesystem::exists(own);
    const std::string before = readFile(own);
    const std::string trusted = "[velkin-a.test]:2222 " + a.line + "velkin-b.test " + b.line +
                                "# velkin-a.test\n[velkin-a.test]:2200 " + c.line;
    writeFile(own, trusted);
    writeFile(theirs, "velkin-c.test " + c.line);

    HostDialog dialog(op);
    auto* key = widget<QLabel>(dialog, "Trusted host key");
    auto* forget = widget<QPushButton>(dialog, "Forget host key");
    EXPECT_EQ("No SSH host.", key->text());
    EXPECT_FALSE(forget->isEnabled());
    setSsh(dialog, "velkin-a.test", "2222", "me", "SSH agent");
    EXPECT_EQ("ssh-ed25519 " + a.fingerprint, key->text().toStdString());
    EXPECT_TRUE(forget->isEnabled());
    setField(dialog, "SSH port", "2200");
    EXPECT_EQ("ssh-ed25519 " + c.fingerprint, key->text().toStdString());
    // A key the person's own known hosts hold is shown, said to be theirs, and never forgotten here.
    setSsh(dialog, "velkin-c.test", "22", "me", "SSH agent");
    EXPECT_EQ(
        "ssh-ed25519 " + c.fingerprint + "\nfrom ~/.ssh/known_hosts (read, never changed by this program)",
        key->text().toStdString());
    EXPECT_FALSE(forget->isEnabled());
    setField(dialog, "SSH host", "velkin-none.test");
    EXPECT_TRUE(key->text().startsWith("None yet")) << key->text().toStdString();

    // Forgetting asks first; No keeps the file as it was.
    setSsh(dialog, "velkin-a.test", "2222", "me", "SSH agent");
    op.answer(false);
    click(dialog, "Forget host key");
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_TRUE(op.questions[0].text.contains("[velkin-a.test]:2222")) << op.questions[0].text.toStdString();
    EXPECT_EQ(trusted, readFile(own));
    // Yes takes out that host's line and nothing else; the key shown goes with it.
    op.answer(true);
    click(dialog, "Forget host key");
    EXPECT_EQ("velkin-b.test " + b.line + "# velkin-a.test\n[velkin-a.test]:2200 " + c.line, readFile(own));
    EXPECT_EQ(0600, permissions(own));
    EXPECT_TRUE(key->text().startsWith("None yet")) << key->text().toStdString();
    EXPECT_FALSE(forget->isEnabled());
    EXPECT_EQ("velkin-c.test " + c.line, readFile(theirs));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    if (existed)
        writeFile(own, before);
    else
        std::filesystem::remove(own);
}

TEST(LoginPromptProfile, ALoginAgainStartsFromTheSavedHostOfTheLastOne) {
    ScratchDirectory dir;
    ScriptedOperator op;
    writeFile("Host.DAT", hostRecord("office", "10.0.0.5", "admin", "dbsecret", "3307").toBytes() +
                              hostRecord("lab", "10.0.0.6", "tester", "labsecret", "3306").toBytes());
    writeFile("FOLDER.DAT", "2\r\n0 2 lab -1\r\n0 2 office -1\r\n");
    LoginPrompt prompt = makeLoginPrompt(op, nullptr);

    QStringList shown;
    QString selected;
    const auto connect = [&](QDialog& dialog) {
        shown = loginFields(dialog);
        const QTreeWidgetItem* current = treeOf(dialog)->currentItem();
        selected = current ? current->text(0) : QString();
        click(dialog, "Connect");
        return dialog.result();
    };
    op.onModal(connect);
    std::optional<LoginValues> values = prompt("3306", "office");
    EXPECT_EQ("office", selected);
    EXPECT_EQ((QStringList{"admin", "dbsecret", "10.0.0.5", "3307"}), shown);
    ASSERT_TRUE(values);
    EXPECT_EQ("office", values->profile);

    // The first login, and one typed by hand, start from nothing and name no saved host.
    op.onModal([&](QDialog& dialog) {
        setField(dialog, "Host", "127.0.0.1");
        return connect(dialog);
    });
    values = prompt("3306", QString());
    EXPECT_EQ((QStringList{"", "", "127.0.0.1", "3306"}), shown);
    EXPECT_TRUE(selected.isEmpty() || selected == "Host");
    ASSERT_TRUE(values);
    EXPECT_TRUE(values->profile.isEmpty());
}
