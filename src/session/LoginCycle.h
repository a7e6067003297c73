#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "KeepAlive.h"

namespace velkin {

class CSorvaneDoc;

/// Logs the session in, on request and whenever the keep-alive check finds the connection lost,
/// and has what depends on the login built anew from it. One login at a time, whatever asks for
/// another while the login dialog is up. A session lost with its SSH tunnel needs no login: it is
/// connected again, tunnel first, as soon as the SSH host answers, under the screens that are open.
class LoginCycle : public QObject {
public:
    /// How often a host whose tunnel ended is tried again.
    static constexpr int kTunnelRetryMs = 5000;

    /// leaving runs before the login (what is shown stops acting on the old one); rebuild after
    /// it, told whether an earlier login came before.
    LoginCycle(CSorvaneDoc& doc, std::function<void()> leaving, std::function<void(bool renewal)> rebuild,
               QObject* parent = nullptr);

    /// Connects (login), forgets what was chosen, rebuilds and starts the keep-alive check.
    void login();
    KeepAlive& keepAlive() { return m_keepAlive; }

    /// Runs when the session came back without a login: what shows the server's data reads it again.
    void setResumed(std::function<void()> resumed) { m_resumed = std::move(resumed); }
    /// Waits for the SSH host of a session whose tunnel ended, trying it now and then every retry
    /// interval, until the session is back or a login takes over.
    void awaitTunnel();
    bool isAwaitingTunnel() const { return m_retry.isActive(); }
    /// The time between tries; tests shorten it.
    void setTunnelRetryInterval(int milliseconds) { m_retry.setInterval(milliseconds); }

private:
    void retryTunnel();

    CSorvaneDoc& m_doc;
    std::function<void()> m_leaving;
    std::function<void(bool)> m_rebuild;
    std::function<void()> m_resumed;
    KeepAlive m_keepAlive;
    QTimer m_retry;
    bool m_running = false;
    bool m_loggedIn = false;
};

}  // namespace velkin
