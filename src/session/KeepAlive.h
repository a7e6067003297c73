#pragma once

#include "BackgroundWork.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace velkin {

class CSorvaneDoc;

/// Pings the server every minute; a lost session is reported once and handed to onLost, which
/// logs in again. A session lost with its SSH tunnel is reported as the tunnel's end and handed to
/// onTunnelEnded where one is set. It never checks while a login is running.
class KeepAlive : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 60000;

    KeepAlive(CSorvaneDoc& doc, std::function<void()> onLost, QObject* parent = nullptr);

    /// Takes over sessions lost with their SSH tunnel, which need no new login.
    void setOnTunnelEnded(std::function<void()> onTunnelEnded) { m_onTunnelEnded = std::move(onTunnelEnded); }

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    /// The time between checks; tests shorten it instead of waiting a minute.
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    int interval() const { return m_timer.interval(); }
    /// One check, as the timer runs it. Skipped while a statement or a read is in progress.
    void check();

private:
    CSorvaneDoc& m_doc;
    std::function<void()> m_onLost;
    std::function<void()> m_onTunnelEnded;
    QTimer m_timer;
    BackgroundWork m_check;
    bool m_handlingLoss = false;
};

}  // namespace velkin
