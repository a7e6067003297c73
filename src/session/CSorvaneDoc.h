#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "Connection.h"

namespace velkin {

class Operator;
class StatusPanes;

/// The four values a login hands to the session, all as typed, and the saved host's TLS settings.
struct LoginValues {
    QString user;
    QString password;
    QString host;
    QString port;
    TlsOptions tls{};
};

/// Shows the login and returns its values, or nothing when the person did not choose to connect.
/// It gets the port text to pre-set.
using LoginPrompt = std::function<std::optional<LoginValues>(const QString& presetPort)>;

/// The session: the one connection to one server, the login values, and the browsing state that
/// the object tree and the record list share.
class CSorvaneDoc {
public:
    enum ConnectResult { Admin = 0, Failed = -1, CommonUser = -2 };

    CSorvaneDoc(Operator& op, LoginPrompt loginPrompt, StatusPanes* status = nullptr);
    ~CSorvaneDoc();

    /// Logs in and connects; returns Admin, CommonUser or Failed. Ends the process with -1 when the
    /// person cancels the login. The connection object stays the same: it is closed and reopened in
    /// place. A call made while a login is already running does nothing and returns Failed.
    int Connect();

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
    Operator& op() const { return m_op; }
    /// The values of the last login, for a second connection to the same server.
    LoginValues loginValues() const { return {m_loginName, m_password, m_hostName, m_portText, m_tls}; }

    // Browsing state, set by the object tree and the record list.
    QString m_currentTable;
    QString m_currentDb;
    int m_nodeKind = 0;
    int m_adminFlag = 0;
    QString m_selectedText;
    QString m_portText;
    QString m_hostName;
    QString m_password;
    QString m_loginName;
    TlsOptions m_tls;
    int m_pageLength = 100;
    QString m_workingDirectory;
    int m_chartKind = -1;
    int m_filterActive = 0;
    int m_recordCount = 0;
    int m_currentPage = 0;

private:
    void enterWorkingDirectory();
    void setPane(int pane, const QString& text);

    Operator& m_op;
    LoginPrompt m_loginPrompt;
    StatusPanes* m_status;
    const std::unique_ptr<Connection> m_connection;
    bool m_loggingIn = false;
};

/// A port text as the login accepts it: decimal, 1 to 65535.
std::optional<unsigned int> parsePort(const QString& text);

}  // namespace velkin
