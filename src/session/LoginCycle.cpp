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
          doc, [this] { login(); }, this) {}

void LoginCycle::login() {
    if (m_running || m_doc.isLoggingIn())
        return;
    FlagScope running(m_running);
    WaitCursor wait(m_doc.op());
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

}  // namespace velkin
