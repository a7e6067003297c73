#include "CSorvaneDoc.h"

#include "BackgroundWork.h"

#include <QDir>
#include <cstdio>

#include "FlagScope.h"
#include "Operator.h"
#include "ProcessExit.h"
#include "SqlText.h"
#include "StatusPanes.h"
#include "WindowQuestion.h"

namespace velkin {

std::optional<unsigned int> parsePort(const QString& text) {
    bool ok = false;
    uint port = text.trimmed().toUInt(&ok, 10);
    if (!ok || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

CSorvaneDoc::CSorvaneDoc(Operator& op, LoginPrompt loginPrompt, StatusPanes* status)
    : m_op(op),
      m_loginPrompt(std::move(loginPrompt)),
      m_status(status),
      m_connection(std::make_unique<Connection>()) {}

CSorvaneDoc::~CSorvaneDoc() = default;

void CSorvaneDoc::setPane(int pane, const QString& text) {
    if (m_status)
        m_status->setPaneText(pane, text);
}

void CSorvaneDoc::enterWorkingDirectory() {
    // The profile files are opened by bare name, so every login must look in the same folder,
    // whatever folder a file chooser has made current since.
    if (!m_workingDirectory.isEmpty()) {
        QDir::setCurrent(m_workingDirectory);
        return;
    }
    QString cwd = QDir::currentPath();
    if (cwd.isEmpty())
        std::fputs("_getcwd Error !!\n", stderr);
    else
        m_workingDirectory = cwd;
}

void CSorvaneDoc::resetBrowsing() {
    // The chart kind stays: the right pane goes on drawing its kind until the tree is rebuilt.
    Selection nothing;
    nothing.chart = m_selection.chart;
    m_selection = nothing;
}

ConnectResult CSorvaneDoc::Connect() {
    // The login dialog lets events through; whatever fires meanwhile (the keep-alive, File >
    // Connect) must not stack a second login on this one.
    if (m_loggingIn)
        return ConnectResult::Failed;
    FlagScope loginScope(m_loggingIn);

    enterWorkingDirectory();
    // Closed in place: screens that hold the connection see it gone, never a destroyed object.
    m_connection->close();

    std::optional<LoginValues> login =
        m_loginPrompt ? m_loginPrompt(QStringLiteral("3306"), m_login.profile) : std::nullopt;
    if (!login) {
        m_op.inform(QStringLiteral("Login failure"));
        endProcess(-1);
    }
    m_login = *login;

    if (!connectWithLogin()) {
        m_op.inform(QString::fromStdString(m_connection->connectFailure()));
        m_connection->close();
        setPane(0, QStringLiteral("It does not connect."));
        m_accountKind = AccountKind::Common;
        return ConnectResult::Failed;
    }
    return settleAccount(true);
}

RenewResult CSorvaneDoc::renew() {
    if (m_loggingIn)
        return RenewResult::NotYet;
    // Polling screens and the keep-alive wait, as they wait for a login.
    FlagScope loginScope(m_loggingIn);
    m_renewFailure.clear();
    if (connectWithLogin()) {
        settleAccount(false);
        return RenewResult::Renewed;
    }
    const SshFailure tunnel = m_connection->sshFailure();
    const unsigned int error = m_connection->errorNumber();
    m_renewFailure = QString::fromStdString(m_connection->connectFailure());
    m_connection->close();
    // Not answering is what a host that is coming back does; anything else will not mend by waiting.
    const bool notYet = tunnel == SshFailure::Unreachable || tunnel == SshFailure::DatabaseUnreachable ||
                        (tunnel == SshFailure::None && (error == 2002 || error == 2003 || error == 2013));
    if (notYet) {
        setPane(0, QStringLiteral("The SSH tunnel has ended; waiting for the SSH host to answer."));
        return RenewResult::NotYet;
    }
    setPane(0, QStringLiteral("It does not connect."));
    return RenewResult::Refused;
}

bool CSorvaneDoc::connectWithLogin() {
    const unsigned int port = parsePort(m_login.port).value_or(3306);
    m_connection->setTls(m_login.tls);
    m_connection->setSsh(m_login.ssh, m_login.sshSecrets, windowQuestion(m_op));
    // An unreachable host keeps the login waiting for seconds; the window keeps painting meanwhile.
    bool connected = false;
    BackgroundWork connecting;
    connecting.run({}, [&](WorkControl&) {
        connected = m_connection->connect(u8(m_login.host), u8(m_login.user), u8(m_login.password), port);
    });
    return connected;
}

ConnectResult CSorvaneDoc::settleAccount(bool announceAdmin) {
    if (m_status) {
        m_status->setPaneFixed(1, 150);
        m_status->setPaneFixed(2, 150);
        m_status->setPaneFixed(3, 170);
    }
    setPane(1, textf("Login name %s", u8(m_login.user)));
    setPane(2, textf("Host name %s", u8(m_login.host)));
    setPane(3, QStringLiteral("Reference speed"));
    if (m_status)
        m_status->setSecurityText(QString::fromStdString(connectionSecurityText(m_connection->sslCipher())));

    if (!m_connection->selectDb("mysql")) {
        m_accountKind = AccountKind::Common;
        setPane(0, QStringLiteral("It is under connection by the common user."));
        return ConnectResult::CommonUser;
    }
    setPane(0, QStringLiteral("It is under connection by Admin"));
    if (announceAdmin)
        m_op.inform(QStringLiteral("It is Admin."));
    m_accountKind = AccountKind::Admin;
    return ConnectResult::Admin;
}

}  // namespace velkin
