#include "KeepAlive.h"

#include "CSorvaneDoc.h"
#include "FlagScope.h"
#include "Operator.h"

namespace velkin {

KeepAlive::KeepAlive(CSorvaneDoc& doc, std::function<void()> onLost, QObject* parent)
    : QObject(parent), m_doc(doc), m_onLost(std::move(onLost)) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &KeepAlive::check);
}

void KeepAlive::start() {
    m_timer.start();
}

void KeepAlive::stop() {
    m_timer.stop();
}

void KeepAlive::check() {
    // A login closes the connection before its dialog comes up: that is no loss, and one login at a
    // time is all the person can answer. The same holds while a loss is being reported.
    if (m_doc.isLoggingIn() || m_handlingLoss)
        return;
    Connection* c = m_doc.connection();
    // A copy that lets events through between batches must not see our ping in between.
    if (c && c->isBusy())
        return;
    if (m_check.running())
        return;
    // No connection at all (the login failed) counts as lost: the person gets a new login. The ping
    // runs beside the window, which keeps answering while a silent server is being given up on.
    bool alive = false;
    if (c) {
        Connection::BusyScope busy(*c);
        m_check.run({}, [c, &alive](WorkControl&) { alive = c->ping(); });
    }
    if (alive)
        return;
    FlagScope handling(m_handlingLoss);
    // Stopped and closed before the message, which lets events through: the timer must not report
    // the loss twice, and screens that poll must find the connection gone rather than call the
    // client library on a dead handle.
    m_timer.stop();
    Connection& session = m_doc.sessionConnection();
    // Only a session that was there can have lost its tunnel; a failed login has none to lose.
    const bool tunnelEnded = c && session.tunnelEnded();
    session.close();
    if (!tunnelEnded) {
        m_doc.op().inform(QStringLiteral("The session to a server is cut."));
        if (m_onLost)
            m_onLost();
        return;
    }
    const QString ended = QString::fromStdString(sshTunnelEndedText(m_doc.ssh()));
    if (!m_onTunnelEnded) {
        m_doc.op().inform(ended + QStringLiteral(", and with it the session to the server."));
        if (m_onLost)
            m_onLost();
        return;
    }
    m_doc.op().inform(ended +
                      QStringLiteral(", and with it the session to the server. Both are built again as soon "
                                     "as the SSH host answers; the open screens stay."));
    m_onTunnelEnded();
}

}  // namespace velkin
