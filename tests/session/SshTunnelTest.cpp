#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QTest>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "session/CSorvaneDoc.h"
#include "session/KeepAlive.h"
#include "session/KnownHosts.h"
#include "session/LoginCycle.h"
#include "session/SqlText.h"
#include "session/SshTunnel.h"
#include "support/ScriptedOperator.h"
#include "support/SshTesting.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// The person's side of host key questions: what was asked, and the answer given.
struct Person {
    std::vector<std::string> questions;
    bool trusts = true;
    SshQuestion question() {
        return [this](const std::string& text) {
            questions.push_back(text);
            return trusts;
        };
    }
};

/// Connects root through a tunnel; the message of the failure when it fails, "" when it worked.
std::string connectThrough(Connection& c, const SshOptions& ssh, const SshSecrets& secrets, Person& person,
                           unsigned int dbPort = testPort(), const std::string& password = "") {
    c.setSsh(ssh, secrets, person.question());
    if (c.connect(testHost(), adminAccount().user, password, dbPort))
        return "";
    return c.connectFailure();
}

/// A port the kernel just handed out and took back: nothing listens there for the moment.
unsigned int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

int permissions(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

}  // namespace

TEST(SshFingerprint, IsPrintedAsOpenSshPrintsIt) {
    // SHA-256 of nothing, a value every SSH tool agrees on.
    const std::vector<unsigned char> empty = {
        0xe3, 0xb0, 0xc4, 0x42, 0x98, 0xfc, 0x1c, 0x14, 0x9a, 0xfb, 0xf4, 0xc8, 0x99, 0x6f, 0xb9, 0x24,
        0x27, 0xae, 0x41, 0xe4, 0x64, 0x9b, 0x93, 0x4c, 0xa4, 0x95, 0x99, 0x1b, 0x78, 0x52, 0xb8, 0x55};
    EXPECT_EQ("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU", sshFingerprintText(empty));
}

TEST(SshTunnel, LogsInWithAKeyAnAgentAndALockedKeyAndStatementsReachTheServer) {
    forgetHostKeys();
    ScratchDatabase db("sorvane_ssh");
    Person person;
    Connection c;
    ASSERT_EQ("", connectThrough(c, tunnelTo(SshAuth::KeyFile, sshFile("id_plain")), {}, person));

    // The first sight of the host asks, with the fingerprint exactly as ssh-keygen prints it.
    ASSERT_EQ(1u, person.questions.size());
    const std::string fingerprint = firstWord(readText(sshFile("host_fingerprint")));
    EXPECT_TRUE(contains(person.questions[0], fingerprint)) << person.questions[0] << " / " << fingerprint;
    EXPECT_TRUE(contains(person.questions[0], "127.0.0.1:" + std::to_string(sshPort())));
    // The trusted key goes to the program's own file, readable by its owner alone; the person's
    // own known hosts stay untouched.
    const std::string own = SshTunnel::ownKnownHostsPath();
    EXPECT_EQ(0600, permissions(own));
    EXPECT_TRUE(contains(readText(own), "[127.0.0.1]:" + std::to_string(sshPort()) + " ssh-ed25519 "));
    EXPECT_TRUE(contains(readText(own), firstWord(readText(sshFile("host_ed25519.pub")).substr(12))));
    EXPECT_FALSE(std::filesystem::exists(homeKnownHosts()));

    // The statements go through the tunnel's own end on this computer and land on the server.
    ASSERT_TRUE(c.tunnel());
    EXPECT_NE(testPort(), c.tunnel()->localPort());
    exec(c, "CREATE TABLE sorvane_ssh.t (v INT)");
    exec(c, "INSERT INTO sorvane_ssh.t VALUES (7)");
    EXPECT_EQ("7", scalar(db.admin(), "SELECT SUM(v) FROM sorvane_ssh.t"));

    // TLS works inside the tunnel.
    Connection encrypted;
    encrypted.setTls(TlsOptions{TlsMode::Required, "", "", ""});
    ASSERT_EQ("", connectThrough(encrypted, tunnelTo(SshAuth::KeyFile, sshFile("id_plain")), {}, person));
    EXPECT_EQ(c.tunnel(), encrypted.tunnel());
    EXPECT_FALSE(encrypted.sslCipher().empty());
    EXPECT_EQ(encrypted.sslCipher(), scalar(encrypted,
                                            "SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                            "WHERE VARIABLE_NAME = 'Ssl_cipher'"));

    // Brief connections (Stop, the stall watch) and twins share the session's tunnel.
    auto brief = Connection::openBrief(c.login(), 3);
    ASSERT_TRUE(brief->isOpen()) << brief->connectFailure();
    EXPECT_EQ(c.tunnel(), brief->tunnel());
    auto twin = c.openTwin();
    ASSERT_TRUE(twin);
    EXPECT_EQ(c.tunnel(), twin->tunnel());
    exec(*twin, "INSERT INTO sorvane_ssh.t VALUES (5)");
    // Stop reaches a running statement through the tunnel.
    auto sleeping = std::async(std::launch::async, [&] { return twin->query("SELECT SLEEP(30)"); });
    for (int i = 0; i < 100 && scalar(db.admin(),
                                      "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE "
                                      "INFO LIKE 'SELECT SLEEP(30)%'") != "1";
         ++i)
        QThread::msleep(50);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(twin->stopRunningStatement());
    sleeping.get();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    // The agent's key, and a key locked by a passphrase, each on a tunnel of its own; the host is
    // known by now, so nothing more is asked.
    Connection agent;
    ASSERT_EQ("", connectThrough(agent, tunnelTo(SshAuth::Agent), {}, person));
    EXPECT_NE(c.tunnel(), agent.tunnel());
    EXPECT_EQ("12", scalar(agent, "SELECT SUM(v) FROM sorvane_ssh.t"));
    EXPECT_TRUE(SshTunnel::keyNeedsPassphrase(sshFile("id_locked")));
    EXPECT_FALSE(SshTunnel::keyNeedsPassphrase(sshFile("id_plain")));
    SshSecrets secrets;
    secrets.passphrase = readText(sshFile("passphrase"));
    secrets.passphrase.pop_back();
    Connection locked;
    ASSERT_EQ("", connectThrough(locked, tunnelTo(SshAuth::KeyFile, sshFile("id_locked")), secrets, person));
    EXPECT_EQ("12", scalar(locked, "SELECT SUM(v) FROM sorvane_ssh.t"));
    EXPECT_EQ(1u, person.questions.size());
}

TEST(SshTunnel, LogsInWithAPasswordAndARefusedPasswordSaysSo) {
    // The sshd takes password logins only where the test run could give it an account of its own.
    const std::string user = firstWord(readText(sshFile("password_user")));
    if (user.empty())
        GTEST_SKIP() << "the test sshd has no account with a password (it is not run by root)";
    forgetHostKeys();
    ScratchDatabase db("sorvane_ssh_pw");
    exec(db.admin(), "CREATE TABLE sorvane_ssh_pw.t (v INT)");
    Person person;
    SshOptions byPassword = tunnelTo(SshAuth::Password);
    byPassword.user = user;
    SshSecrets typed;
    typed.password = readText(sshFile("password"));
    typed.password.pop_back();
    {
        Connection c;
        ASSERT_EQ("", connectThrough(c, byPassword, typed, person));
        exec(c, "INSERT INTO sorvane_ssh_pw.t VALUES (41)");
        EXPECT_EQ("41", scalar(db.admin(), "SELECT SUM(v) FROM sorvane_ssh_pw.t"));
    }
    // With that tunnel ended, the next login is the SSH host's to judge again.

    SshSecrets wrong;
    wrong.password = "not the password";
    Connection refused;
    const std::string m = connectThrough(refused, byPassword, wrong, person);
    EXPECT_TRUE(contains(m, "SSH login refused")) << m;
    EXPECT_FALSE(refused.isOpen());
    EXPECT_EQ(1u, person.questions.size()) << "the host key is asked about once";
}

TEST(SshTunnel, EachFailureSaysWhatFailed) {
    forgetHostKeys();
    Person person;
    const auto failure = [&](const SshOptions& ssh, const SshSecrets& secrets = {},
                             unsigned int dbPort = testPort(), const std::string& password = "") {
        Connection c;
        const std::string message = connectThrough(c, ssh, secrets, person, dbPort, password);
        EXPECT_FALSE(c.isOpen());
        return message;
    };

    // An unknown key that the person does not trust: nothing is written, nothing connects.
    person.trusts = false;
    std::string m = failure(tunnelTo(SshAuth::Agent));
    EXPECT_TRUE(contains(m, "The SSH host's key was not trusted.")) << m;
    EXPECT_FALSE(std::filesystem::exists(SshTunnel::ownKnownHostsPath()));
    person.trusts = true;

    // A key the SSH host does not know, and a locked key opened with the wrong passphrase.
    m = failure(tunnelTo(SshAuth::KeyFile, sshFile("id_stranger")));
    EXPECT_TRUE(contains(m, "SSH login refused")) << m;
    SshSecrets wrong;
    wrong.passphrase = "not the passphrase";
    m = failure(tunnelTo(SshAuth::KeyFile, sshFile("id_locked")), wrong);
    EXPECT_TRUE(contains(m, "SSH login refused")) << m;
    EXPECT_TRUE(contains(m, "passphrase")) << m;

    // Nothing listens on the SSH port.
    SshOptions nowhere = tunnelTo(SshAuth::Agent);
    nowhere.port = closedPort();
    m = failure(nowhere);
    EXPECT_TRUE(contains(m, "The SSH host could not be reached")) << m;

    // The SSH host logs in but cannot reach the database port.
    m = failure(tunnelTo(SshAuth::Agent), {}, closedPort());
    EXPECT_TRUE(contains(m, "The SSH host could not reach the database server")) << m;

    // The database's own refusal comes through the tunnel with the server's text.
    m = failure(tunnelTo(SshAuth::Agent), {}, testPort(), "wrong password");
    EXPECT_TRUE(contains(m, "Access denied")) << m;
    EXPECT_FALSE(contains(m, "SSH")) << m;

    // The host shows a key other than the one the person's known hosts hold: refused, never asked.
    // The refusal names the key shown now, as ssh-keygen prints it, and the file and line of the old.
    forgetHostKeys();
    const std::string shown = firstWord(readText(sshFile("host_fingerprint")));
    writeText(homeKnownHosts(), "# kept by hand\n" + sshdKnownHostsLine("other_host_ed25519.pub"));
    person.questions.clear();
    m = failure(tunnelTo(SshAuth::Agent));
    EXPECT_TRUE(contains(m, "host key changed")) << m;
    EXPECT_TRUE(contains(m, "now shows the ssh-ed25519 key " + shown + ".")) << m;
    EXPECT_TRUE(contains(m, "is in " + homeKnownHosts() + ", line 2.")) << m;
    EXPECT_TRUE(contains(m, "ssh-keygen -R \"[127.0.0.1]:" + std::to_string(sshPort()) + "\"")) << m;
    EXPECT_TRUE(person.questions.empty());
    // The same in the program's own file, which its host dialog can forget.
    forgetHostKeys();
    writeText(SshTunnel::ownKnownHostsPath(), sshdKnownHostsLine("other_host_ed25519.pub"));
    m = failure(tunnelTo(SshAuth::Agent));
    EXPECT_TRUE(contains(m, shown)) << m;
    EXPECT_TRUE(contains(m, "is in " + SshTunnel::ownKnownHostsPath() + ", line 1.")) << m;
    EXPECT_TRUE(contains(m, "\"Forget host key\"")) << m;
    EXPECT_TRUE(person.questions.empty());
    forgetHostKeys();
}

TEST(SshTunnel, AKilledSshHostIsToldAsTheTunnelsEndAndTheNextLoginBuildsTheTunnelAgain) {
    forgetHostKeys();
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    std::vector<LoginValues> logins;
    LoginValues values{qs(adminAccount().user), qs(adminAccount().password), qs(testHost()),
                       QString::number(testPort())};
    values.ssh = tunnelTo(SshAuth::Agent);
    CSorvaneDoc doc(op, [&](const QString&, const QString&) -> std::optional<LoginValues> { return values; });
    ASSERT_EQ(ConnectResult::Admin, doc.Connect()) << op.messageTexts().join("|").toStdString();
    ASSERT_EQ(1u, op.questions.size()) << "the unknown host key is asked about through the operator";
    EXPECT_TRUE(op.questions[0].text.contains(
        QString::fromStdString(firstWord(readText(sshFile("host_fingerprint"))))));
    EXPECT_TRUE(op.questions[0].defaultNo) << "Enter must not trust a key";
    const std::shared_ptr<SshTunnel> first = doc.sessionConnection().tunnel();
    ASSERT_TRUE(first);

    sshd("kill");
    // The tunnel's thread sees its SSH session end and closes what it carried at once.
    for (int i = 0; i < 100 && first->isAlive(); ++i)
        QThread::msleep(50);
    EXPECT_FALSE(first->isAlive());
    // A statement on the lost session says whose end it was.
    const std::string ended =
        "The SSH tunnel through " + me() + "@127.0.0.1:" + std::to_string(sshPort()) + " has ended";
    EXPECT_NE(0, doc.sessionConnection().query("SELECT 1"));
    EXPECT_TRUE(contains(doc.sessionConnection().errorText(), ended)) << doc.sessionConnection().errorText();
    sshd("start");

    // Without a renewal of its own, the keep-alive hands the loss to a new login, and says it was SSH's.
    int lost = 0;
    KeepAlive keepAlive(doc, [&] {
        ++lost;
        doc.Connect();
    });
    op.clear();
    keepAlive.check();
    EXPECT_EQ(1, lost);
    EXPECT_EQ((QStringList{QString::fromStdString(ended) + ", and with it the session to the server.",
                           "It is Admin."}),
              op.messageTexts());
    ASSERT_TRUE(doc.isConnected());
    EXPECT_NE(first, doc.sessionConnection().tunnel());
    EXPECT_TRUE(doc.sessionConnection().tunnel()->isAlive());
    EXPECT_EQ("1", scalar(doc.sessionConnection(), "SELECT 1"));
    forgetHostKeys();
}

TEST(SshTunnel, ASilentSshHostIsToldAsTheTunnelsEndAndTheSessionComesBackWithoutALogin) {
    forgetHostKeys();
    // Silent after a keep-alive unanswered for 3 seconds, given up only after 30: the session is
    // lost while the tunnel still waits for its host.
    SshTunnel::setKeepAlive(1, 30);
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    LoginValues values{qs(adminAccount().user), qs(adminAccount().password), qs(testHost()),
                       QString::number(testPort())};
    values.ssh = tunnelTo(SshAuth::Agent);
    int logins = 0;
    CSorvaneDoc doc(op, [&](const QString&, const QString&) -> std::optional<LoginValues> {
        ++logins;
        return values;
    });
    int rebuilt = 0, resumed = 0;
    LoginCycle cycle(doc, nullptr, [&](bool) { ++rebuilt; });
    cycle.setResumed([&] { ++resumed; });
    cycle.setTunnelRetryInterval(200);
    cycle.login();
    ASSERT_TRUE(doc.isConnected()) << op.messageTexts().join('|').toStdString();
    const std::shared_ptr<SshTunnel> frozen = doc.sessionConnection().tunnel();
    ASSERT_TRUE(frozen);

    // The sessions the sshd serves stop answering; its listener still takes new ones.
    sshd("freeze");
    for (int i = 0; i < 100 && frozen->isAnswering(); ++i)
        QThread::msleep(50);
    EXPECT_FALSE(frozen->isAnswering());
    EXPECT_TRUE(frozen->isAlive()) << "not given up yet";
    op.clear();
    cycle.keepAlive().check();
    EXPECT_EQ(QStringList{QString::fromStdString("The SSH tunnel through " + me() +
                                                 "@127.0.0.1:" + std::to_string(sshPort()) + " has ended") +
                          ", and with it the session to the server. Both are built again as soon as the SSH "
                          "host answers; the open screens stay."},
              op.messageTexts());
    // The host answers a new tunnel at once: the session is back on it, without a login.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !cycle.isAwaitingTunnel(); }, 15000));
    sshd("thaw");
    EXPECT_EQ(1, logins);
    EXPECT_EQ(1, rebuilt);
    EXPECT_EQ(1, resumed);
    ASSERT_TRUE(doc.isConnected());
    EXPECT_NE(frozen, doc.sessionConnection().tunnel());
    EXPECT_EQ("1", scalar(doc.sessionConnection(), "SELECT 1"));
    SshTunnel::setKeepAlive(5, 20);
    forgetHostKeys();
}

TEST(SshTunnel, FollowsOneProxyJumpOfThePersonsSshConfig) {
    forgetHostKeys();
    const std::string config = std::string(std::getenv("HOME")) + "/.ssh/config";
    std::filesystem::create_directories(std::filesystem::path(config).parent_path());
    std::ofstream(config) << "Host velkin-target\n  HostName 127.0.0.1\n  Port " << sshPort()
                          << "\n  ProxyJump velkin-jump\nHost velkin-jump\n  HostName 127.0.0.1\n  Port "
                          << sshPort() << "\n";
    const auto logins = [] {
        const std::string log = readText(sshFile("sshd.log"));
        std::size_t count = 0;
        for (std::size_t at = 0; (at = log.find("Accepted publickey", at)) != std::string::npos; ++at)
            ++count;
        return count;
    };
    const std::size_t before = logins();
    Person person;
    SshOptions ssh = tunnelTo(SshAuth::Agent);
    ssh.host = "velkin-target";
    ssh.port = 22;
    Connection c;
    const std::string failure = connectThrough(c, ssh, {}, person);
    std::filesystem::remove(config);
    ASSERT_EQ("", failure);
    EXPECT_EQ("1", scalar(c, "SELECT 1"));
    // One login on the jump host, and one on the SSH host reached through it; no other program ran.
    for (int i = 0; i < 40 && logins() < before + 2; ++i)
        QThread::msleep(50);
    EXPECT_EQ(before + 2, logins());
    EXPECT_EQ(1u, person.questions.size()) << "both hops show the same key here, trusted once";
    forgetHostKeys();
}

TEST(SshTunnel, AnIdleTunnelLivesAndASilentSshHostIsGivenUp) {
    forgetHostKeys();
    // The limits shortened from 5 and 20 seconds, so that the test waits seconds, not half a minute.
    SshTunnel::setKeepAlive(1, 4);
    Person person;
    Connection c;
    ASSERT_EQ("", connectThrough(c, tunnelTo(SshAuth::Agent), {}, person));
    const std::shared_ptr<SshTunnel> tunnel = c.tunnel();
    // Idle for longer than the silence limit: the host's answers to the keep-alive keep it alive.
    QThread::sleep(6);
    ASSERT_TRUE(tunnel->isAlive());
    EXPECT_EQ("1", scalar(c, "SELECT 1"));

    sshd("freeze");
    const auto frozen = std::chrono::steady_clock::now();
    while (tunnel->isAlive() && std::chrono::steady_clock::now() - frozen < std::chrono::seconds(40))
        QThread::msleep(100);
    const auto noticed = std::chrono::steady_clock::now() - frozen;
    sshd("thaw");
    EXPECT_FALSE(tunnel->isAlive());
    EXPECT_LE(noticed, std::chrono::seconds(7));
    EXPECT_FALSE(c.ping());
    EXPECT_TRUE(c.connectionLost());
    SshTunnel::setKeepAlive(5, 20);
    forgetHostKeys();
}

namespace {

std::string output(const std::string& command) {
    std::string text;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            text.append(buffer, n);
        ::pclose(p);
    }
    return text;
}

/// The lines that ssh-keygen -F finds trusting a key for name in a known hosts file; the revoked
/// keys and certificate authorities it also lists (with a word after the number) trust nobody.
std::vector<int> linesOpenSshFinds(const std::string& file, const std::string& name) {
    std::vector<int> lines;
    std::istringstream in(output("ssh-keygen -F '" + name + "' -f '" + file + "' 2>/dev/null"));
    const std::string mark = " found: line ";
    for (std::string line; std::getline(in, line);) {
        const std::size_t at = line.find(mark);
        if (line.rfind("# Host ", 0) != 0 || at == std::string::npos)
            continue;
        std::istringstream found(line.substr(at + mark.size()));
        int number = 0;
        std::string marker;
        if (found >> number && !(found >> marker))
            lines.push_back(number);
    }
    return lines;
}

/// The fingerprint ssh-keygen -l prints for a public key file: "256 SHA256:... comment (ED25519)".
std::string openSshFingerprint(const std::string& file) {
    std::istringstream line(output("ssh-keygen -l -E sha256 -f '" + file + "'"));
    std::string bits, fingerprint;
    line >> bits >> fingerprint;
    return fingerprint;
}

std::vector<int> linesOf(const std::vector<KnownHostKey>& keys) {
    std::vector<int> lines;
    for (const KnownHostKey& key : keys)
        lines.push_back(key.line);
    return lines;
}

}  // namespace

TEST(KnownHosts, FindsTheLinesOpenSshFindsAndForgetsOnlyTheHostAsked) {
    ScratchDirectory dir;
    const std::string host = readText(sshFile("host_ed25519.pub"));
    const std::string other = readText(sshFile("other_host_ed25519.pub"));
    const std::string plain = readText(sshFile("id_plain.pub"));
    // A hashed line, as ssh-keygen -H writes it for a person whose config hashes known hosts.
    const std::string hashedFile = dir.path() + "/hashed";
    writeText(hashedFile, "[velkin-h.test]:2200 " + plain);
    ASSERT_EQ(0, std::system(("ssh-keygen -q -H -f '" + hashedFile + "' >/dev/null 2>&1").c_str()));
    ASSERT_TRUE(openSshFingerprint(sshFile("other_host_ed25519.pub")).rfind("SHA256:", 0) == 0);
    const std::string hashed = readText(hashedFile);
    ASSERT_EQ('|', hashed[0]) << hashed;
    const std::string text = "[127.0.0.1]:2222 " + host + "velkin-b.test,velkin-c.test " + other +
                             "# a comment velkin-b.test\n*.velkin.test,!bad.velkin.test " + plain + hashed +
                             "@revoked velkin-b.test " + host + "[127.0.0.1]:2200 " + other;
    const std::string file = dir.path() + "/known_hosts";
    writeText(file, text);

    for (const std::string name :
         {"[127.0.0.1]:2222", "velkin-b.test", "velkin-c.test", "a.velkin.test", "bad.velkin.test",
          "[velkin-h.test]:2200", "[velkin-h.test]:2201", "[127.0.0.1]:2200", "127.0.0.1", "nobody.test"})
        EXPECT_EQ(linesOpenSshFinds(file, name), linesOf(knownHostKeysIn(text, name))) << name;
    const std::vector<KnownHostKey> keys = knownHostKeysIn(text, "velkin-c.test");
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ("ssh-ed25519", keys[0].keyType);
    EXPECT_EQ(openSshFingerprint(sshFile("other_host_ed25519.pub")), keys[0].fingerprint);
    EXPECT_EQ(firstWord(readText(sshFile("host_fingerprint"))),
              knownHostKeysIn(text, "[127.0.0.1]:2222").at(0).fingerprint);
    EXPECT_EQ("[127.0.0.1]:2222", knownHostName("127.0.0.1", 2222));
    EXPECT_EQ("127.0.0.1", knownHostName("127.0.0.1", 22));

    // Forgetting a host takes out its line, or its name from a line it shares; every other byte stays.
    int removed = 0;
    EXPECT_EQ("velkin-b.test,velkin-c.test " + other +
                  "# a comment velkin-b.test\n*.velkin.test,!bad.velkin.test " + plain + hashed +
                  "@revoked velkin-b.test " + host + "[127.0.0.1]:2200 " + other,
              withoutKnownHost(text, "[127.0.0.1]:2222", removed));
    EXPECT_EQ(1, removed);
    EXPECT_EQ("[127.0.0.1]:2222 " + host + "velkin-c.test " + other +
                  "# a comment velkin-b.test\n*.velkin.test,!bad.velkin.test " + plain + hashed +
                  "@revoked velkin-b.test " + host + "[127.0.0.1]:2200 " + other,
              withoutKnownHost(text, "velkin-b.test", removed));
    EXPECT_EQ(1, removed);
    const std::string noHashed = withoutKnownHost(text, "[velkin-h.test]:2200", removed);
    EXPECT_EQ(1, removed);
    EXPECT_FALSE(contains(noHashed, hashed));
    EXPECT_EQ(text.size() - hashed.size(), noHashed.size());
    EXPECT_EQ(text, withoutKnownHost(text, "nobody.test", removed));
    EXPECT_EQ(0, removed);
}
