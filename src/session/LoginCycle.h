#pragma once

#include <QObject>
#include <functional>

#include "KeepAlive.h"

namespace velkin {

class CSorvaneDoc;

/// Logs the session in, on request and whenever the keep-alive check finds the connection lost,
/// and has what depends on the login built anew from it. One login at a time, whatever asks for
/// another while the login dialog is up.
class LoginCycle : public QObject {
public:
    /// leaving runs before the login (what is shown stops acting on the old one); rebuild after
    /// it, told whether an earlier login came before.
    LoginCycle(CSorvaneDoc& doc, std::function<void()> leaving, std::function<void(bool renewal)> rebuild,
               QObject* parent = nullptr);

    /// Connects (login), forgets what was chosen, rebuilds and starts the keep-alive check.
    void login();
    KeepAlive& keepAlive() { return m_keepAlive; }

private:
    CSorvaneDoc& m_doc;
    std::function<void()> m_leaving;
    std::function<void(bool)> m_rebuild;
    KeepAlive m_keepAlive;
    bool m_running = false;
    bool m_loggedIn = false;
};

}  // namespace velkin
