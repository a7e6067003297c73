#pragma once

#include <QLabel>
#include <QStatusBar>
#include <array>

#include "session/StatusPanes.h"

namespace velkin {

/// The main window's status bar: the message pane, and beside it the record list's place (records,
/// database, table, page), login name, host name and reference time. Every pane but the message pane
/// is as wide as its text, so nothing that tells the operator where they are is cut.
class StatusBar : public StatusPanes {
public:
    static constexpr int kPaneCount = 5;

    explicit StatusBar(QStatusBar* bar);

    void setPaneText(int pane, const QString& text) override;
    void setPaneFixed(int pane, int width) override;
    QString paneText(int pane) const;
    QLabel* pane(int pane) const { return m_panes.at(pane); }
    /// Shown beside the host name once a connection was made: encrypted or not, and the cipher.
    void setSecurityText(const QString& text) override;
    QLabel* securityPane() const { return m_security; }

private:
    QStatusBar* m_bar;
    QLabel* m_security = nullptr;
    std::array<QLabel*, kPaneCount> m_panes{};
};

}  // namespace velkin
