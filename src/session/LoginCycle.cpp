#include "LoginCycle.h"

#include "CSorvaneDoc.h"
#include "FlagScope.h"
#include "Operator.h"

namespace velkin {

LoginCycle::LoginCycle(CSorvaneDoc& doc, std::function<void()> leaving, std::function<void(bool)> rebuild,
                       QObject* parent)
    : QObject(parent),
      m_doc(doc),
      m_leaving(std::move(leaving)),
      m_rebuild(std::move(rebuild)),
      m_keepAlive(
          doc, [this] { login(); }, this) {
    m_keepAlive.setOnTunnelEnded([this] { awaitTunnel(); });
    m_retry.setInterval(kTunnelRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &LoginCycle::retryTunnel);
}

void LoginCycle::login() {
    if (m_running || m_doc.isLoggingIn())
        return;
    FlagScope running(m_running);
    WaitCursor wait(m_doc.op());
    // A login the person asked for replaces the wait for a tunnel's host.
    m_retry.stop();
    if (m_leaving)
        m_leaving();
    m_keepAlive.stop();
    const bool renewal = m_loggedIn;
    m_doc.Connect();
    m_loggedIn = true;
    m_doc.resetBrowsing();
    if (m_rebuild)
        m_rebuild(renewal);
    m_keepAlive.start();
}

void LoginCycle::awaitTunnel() {
    m_keepAlive.stop();
    m_retry.start();
    retryTunnel();
}

void LoginCycle::retryTunnel() {
    if (m_running || m_doc.isLoggingIn())
        return;
    RenewResult result;
    {
        FlagScope running(m_running);
        result = m_doc.renew();
    }
    if (result == RenewResult::NotYet)
        return;
    m_retry.stop();
    if (result == RenewResult::Refused) {
        // The host answers but will not have this login (its key changed, the account was refused):
        // the person has to judge, in a login that starts from the same saved host.
        m_doc.op().inform(m_doc.renewFailure());
        login();
        return;
    }
    // The same login on the same server: what was chosen still stands, and the screens go on.
    if (m_resumed)
        m_resumed();
    m_keepAlive.start();
}

}  // namespace velkin
