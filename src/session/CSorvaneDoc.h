#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "Connection.h"
#include "Selection.h"
#include "SessionKinds.h"

namespace velkin {

class Operator;
class StatusPanes;

/// The four values a login hands to the session, all as typed, and the saved host's TLS and SSH
/// tunnel settings with the SSH secrets asked for at login.
struct LoginValues {
    QString user;
    QString password;
    QString host;
    QString port;
    TlsOptions tls{};
    SshOptions ssh{};
    SshSecrets sshSecrets{};
    /// The saved host the values came from; empty for values typed by hand.
    QString profile{};
};

/// Shows the login and returns its values, or nothing when the person did not choose to connect.
/// It gets the port text to pre-set and the saved host of the last login (empty at the first), so
/// that a login again starts where the person was.
using LoginPrompt =
    std::function<std::optional<LoginValues>(const QString& presetPort, const QString& profile)>;

class ScreenDispatcher;

/// The session: the one connection to one server, the login values, and what the object tree has
/// chosen.
class CSorvaneDoc {
public:
    CSorvaneDoc(Operator& op, LoginPrompt loginPrompt, StatusPanes* status = nullptr);
    ~CSorvaneDoc();

    /// Logs in and connects. Ends the process with -1 when the person cancels the login. The
    /// connection object stays the same: it is closed and reopened in place. A call made while a
    /// login is already running does nothing and answers Failed.
    ConnectResult Connect();
    /// Connects again with the login in force, asking nothing: after the session's SSH tunnel
    /// ended, the tunnel is built anew with this login's secrets, which are kept in memory only.
    /// The connection object stays the same, so the open screens go on with it. Refused leaves
    /// the reason in renewFailure().
    RenewResult renew();
    const QString& renewFailure() const { return m_renewFailure; }

    /// The session's connection while it is usable; null before the first login, after a failed one
    /// and while a login runs. The object behind it lives as long as the session.
    Connection* connection() const { return isConnected() ? m_connection.get() : nullptr; }
    /// The session's connection object, usable or not; screens may hold it for as long as they are
    /// open, since logins renew it in place and nothing destroys it before the session ends.
    Connection& sessionConnection() const { return *m_connection; }
    /// True when a connection was made and has not been given up.
    bool isConnected() const { return m_connection->isOpen(); }
    /// True while the login dialog of Connect is up: the keep-alive check and anything that polls
    /// the server wait until it is over.
    bool isLoggingIn() const { return m_loggingIn; }
    void setStatusPanes(StatusPanes* status) { m_status = status; }
    StatusPanes* statusPanes() const { return m_status; }
    Operator& op() const { return m_op; }

    // The last login, as far as screens that do not log in may know it.
    AccountKind accountKind() const { return m_accountKind; }
    bool isAdmin() const { return m_accountKind == AccountKind::Admin; }
    const QString& loginName() const { return m_login.user; }
    const QString& hostName() const { return m_login.host; }
    const QString& portText() const { return m_login.port; }
    const TlsOptions& tls() const { return m_login.tls; }
    const SshOptions& ssh() const { return m_login.ssh; }
    /// The saved host of the last login; empty when its values were typed.
    const QString& profile() const { return m_login.profile; }
    /// The folder the profile files are read from, fixed at the first login.
    const QString& workingDirectory() const { return m_workingDirectory; }

    /// What the object tree has chosen. Screens take a copy when they open, so that what they
    /// were opened for stays theirs whatever is chosen meanwhile.
    const Selection& selection() const { return m_selection; }
    void select(const Selection& selection) { m_selection = selection; }
    /// Forgets what was chosen: after a new login, which may be to another server, nothing chosen
    /// before stands for anything.
    void resetBrowsing();

private:
    // The password goes only where a second connection to the same server is opened.
    friend class ScreenDispatcher;
    const LoginValues& loginValues() const { return m_login; }

    void enterWorkingDirectory();
    /// Connects with the login values beside the window; false leaves the connection's failure.
    bool connectWithLogin();
    /// The status panes and the account kind of a connection just made.
    ConnectResult settleAccount(bool announceAdmin);
    void setPane(int pane, const QString& text);

    Operator& m_op;
    LoginPrompt m_loginPrompt;
    StatusPanes* m_status;
    const std::unique_ptr<Connection> m_connection;
    bool m_loggingIn = false;
    QString m_renewFailure;

    LoginValues m_login;
    AccountKind m_accountKind = AccountKind::Common;
    QString m_workingDirectory;
    Selection m_selection;
};

/// A port text as the login accepts it: decimal, 1 to 65535.
std::optional<unsigned int> parsePort(const QString& text);

}  // namespace velkin
