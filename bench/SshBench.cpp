// A server reached through SSH: the login through the program's own tunnel, and the console's read
// and the CSV export of the whole benchmark table through that tunnel, side by side with the same
// screens going through an OpenSSH `ssh -L` forward to the same server.

#include "SshBench.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "BenchSupport.h"
#include "session/Connection.h"
#include "session/RowModel.h"
#include "session/SshTunnel.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/SqlConsoleDialog.h"

namespace velkin::bench {

namespace {

/// A port the kernel just handed out and took back.
unsigned int freePort() {
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

bool accepts(unsigned int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::string me() {
    const passwd* pw = getpwuid(getuid());
    return pw ? pw->pw_name : "root";
}

void problem(const std::string& text) {
    std::cerr << "CHECK FAILED: " << text << std::endl;
}

/// The bench's own sshd (scripts/testsshd) and an OpenSSH forward through it, both ended with it.
/// The program's tunnel runs with the sshd folder's empty home, so the person's ~/.ssh plays no part.
class SshSide {
public:
    SshSide(std::string sourceDir, std::string dir, const std::string& dbPort)
        : m_source(std::move(sourceDir)), m_dir(std::move(dir)) {
        m_sshPort = shellOutput(m_source + "/scripts/testsshd start " + m_dir);
        if (m_sshPort.empty())
            return;
        m_home = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("HOME", (m_dir + "/home").c_str(), 1);
        m_forwardPort = freePort();
        m_forwardPid = shellOutput(
            "ssh -N -o BatchMode=yes -o LogLevel=ERROR -o StrictHostKeyChecking=no "
            "-o UserKnownHostsFile=/dev/null -o ExitOnForwardFailure=yes -i " +
            key() + " -p " + m_sshPort + " -L " + std::to_string(m_forwardPort) + ":127.0.0.1:" + dbPort +
            " " + me() + "@127.0.0.1 >/dev/null 2>&1 </dev/null & echo $!");
        for (int i = 0; i < 100 && !accepts(m_forwardPort); ++i)
            QThread::msleep(50);
    }
    ~SshSide() {
        if (!m_forwardPid.empty())
            std::system(("kill " + m_forwardPid + " 2>/dev/null").c_str());
        if (!m_sshPort.empty()) {
            std::system((m_source + "/scripts/testsshd stop " + m_dir + " >/dev/null").c_str());
            setenv("HOME", m_home.c_str(), 1);
        }
    }
    SshSide(const SshSide&) = delete;
    SshSide& operator=(const SshSide&) = delete;

    bool ready() const { return !m_sshPort.empty() && accepts(m_forwardPort); }
    unsigned int forwardPort() const { return m_forwardPort; }
    std::string key() const { return m_dir + "/id_plain"; }
    SshOptions tunnel() const {
        SshOptions o;
        o.host = "127.0.0.1";
        o.port = static_cast<unsigned int>(std::stoul(m_sshPort));
        o.user = me();
        o.auth = SshAuth::KeyFile;
        o.keyFile = key();
        return o;
    }
    /// OpenSSH logging in with the same key and running nothing.
    std::string opensshLogin() const {
        return "ssh -o BatchMode=yes -o LogLevel=ERROR -o StrictHostKeyChecking=no -o "
               "UserKnownHostsFile=/dev/null -i " +
               key() + " -p " + m_sshPort + " " + me() + "@127.0.0.1 true";
    }

private:
    std::string m_source;
    std::string m_dir;
    std::string m_sshPort;
    std::string m_home;
    unsigned int m_forwardPort = 0;
    std::string m_forwardPid;
};

}  // namespace

void measureSsh(const SshBenchSetup& setup) {
    SshSide side(setup.sourceDir, setup.benchDir + "/sshd", setup.port);
    if (!side.ready()) {
        problem("the bench's sshd or its OpenSSH forward did not start");
        return;
    }
    const unsigned int dbPort = static_cast<unsigned int>(std::stoul(setup.port));
    const auto trust = [](const std::string&) { return true; };

    // The login: a tunnel built from nothing (SSH handshake, key login, forward) and the database
    // login through it.
    Contender login{"VelkinSorvane"};
    login.work = [&] {
        Connection c;
        c.setSsh(side.tunnel(), {}, trust);
        if (!c.connect("127.0.0.1", "root", "", dbPort) || !c.tunnel())
            problem("the login through the tunnel failed: " + c.connectFailure());
    };
    Contender openssh{"ssh ... true"};
    openssh.work = [&] { runShell(side.opensshLogin()); };
    race(setup.runs, {&login, &openssh});
    printCase("SSH: login through the tunnel (SSH and database)", login, openssh);

    Connection tunnelled;
    tunnelled.setSsh(side.tunnel(), {}, trust);
    Connection forwarded;
    if (!tunnelled.connect("127.0.0.1", "root", "", dbPort) ||
        !forwarded.connect("127.0.0.1", "root", "", side.forwardPort())) {
        problem("a session through SSH did not log in");
        return;
    }
    const std::string select = "select * from " + setup.database + "." + setup.table;
    SilentOperator op;

    // The console's whole answer, opened anew for each run, through each way.
    const auto consoleRun = [&](Connection& c) {
        auto console = std::make_unique<SqlConsoleDialog>(c, op);
        console->resize(900, 700);
        console->show();
        console->findChild<QPlainTextEdit*>("Query")->setPlainText(QString::fromStdString(select));
        QApplication::processEvents();
        console->execute();
        QApplication::processEvents();
        if (console->rows().rows() != setup.rows)
            problem("the console shows " + std::to_string(console->rows().rows()) + " rows");
    };
    Contender ours{"VelkinSorvane tunnel"};
    ours.work = [&] { consoleRun(tunnelled); };
    Contender theirs{"ssh -L forward"};
    theirs.work = [&] { consoleRun(forwarded); };
    race(setup.runs, {&ours, &theirs});
    printCase("SSH: console, whole table", ours, theirs);

    // The CSV export of the whole table, through each way.
    const auto exportRun = [&](Connection& c, const std::string& file) {
        CsvExportDialog exporter(c, op, QString::fromStdString(select));
        exporter.findChild<QLineEdit*>("File name")->setText(QString::fromStdString(file));
        exporter.show();
        QApplication::processEvents();
        exporter.write();
        QApplication::processEvents();
        if (lineCount(file) != setup.rows)
            problem(file + " has " + std::to_string(lineCount(file)) + " lines");
        std::remove(file.c_str());
    };
    Contender oursCsv{"VelkinSorvane tunnel"};
    oursCsv.work = [&] { exportRun(tunnelled, setup.benchDir + "/ssh-tunnel.csv"); };
    Contender theirsCsv{"ssh -L forward"};
    theirsCsv.work = [&] { exportRun(forwarded, setup.benchDir + "/ssh-forward.csv"); };
    race(setup.runs, {&oursCsv, &theirsCsv});
    printCase("SSH: CSV export, whole table", oursCsv, theirsCsv);
}

}  // namespace velkin::bench
