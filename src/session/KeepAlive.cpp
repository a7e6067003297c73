#include "KeepAlive.h"

#include "CSorvaneDoc.h"
#include "Operator.h"

namespace velkin {

KeepAlive::KeepAlive(CSorvaneDoc& doc, std::function<void()> onLost, QObject* parent)
    : QObject(parent), m_doc(doc), m_onLost(std::move(onLost)) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &KeepAlive::check);
}

void KeepAlive::start() { m_timer.start(); }

void KeepAlive::stop() { m_timer.stop(); }

void KeepAlive::check() {
    Connection* c = m_doc.connection();
    // A copy that lets events through between batches must not see our ping in between.
    if (c && c->isBusy()) return;
    // No connection at all (the login failed) counts as lost: the person gets a new login.
    if (c && c->ping()) return;
    m_doc.op().inform(QStringLiteral("The session to a server is cut."));
    m_timer.stop();
    if (m_onLost) m_onLost();
}

}  // namespace velkin
