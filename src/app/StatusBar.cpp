#include "StatusBar.h"

namespace velkin {

StatusBar::StatusBar(QStatusBar* bar) : m_bar(bar) {
    const char* initial[kPaneCount] = {"Connecting", "Login Name", "Host Name", "", ""};
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(initial[i]), bar);
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panes[i] = label;
    }
    // The message pane gives way first when the window is narrow, so the panes that say where one
    // is never overlap or get cut.
    m_panes[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panes[0]->setMinimumWidth(0);
    bar->addWidget(m_panes[0], 1);
    // The lock keys' states cannot be read on every desktop Qt runs on, so there are no key panes;
    // an indicator that never changes would only mislead.
    // Whether the connection is encrypted sits right after the host name it is about.
    m_security = new QLabel(bar);
    m_security->setObjectName(QStringLiteral("security"));
    m_security->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_security->hide();
    for (int i : {kRecordPane, 1, 2})
        bar->addPermanentWidget(m_panes[i]);
    bar->addPermanentWidget(m_security);
    bar->addPermanentWidget(m_panes[3]);
    m_panes[kRecordPane]->hide();
    m_panes[3]->hide();
}

void StatusBar::setPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= kPaneCount)
        return;
    m_panes[pane]->setText(text);
    if (pane == kRecordPane || pane == 3)
        m_panes[pane]->setVisible(!text.isEmpty());
}

void StatusBar::setPaneFixed(int pane, int) {
    if (pane < 0 || pane >= kPaneCount)
        return;
    // The panes are as wide as their texts: a fixed width cut long names and wasted room on short
    // ones that the record pane needs at 1024 pixels. Only the raised look is taken.
    m_panes[pane]->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void StatusBar::setSecurityText(const QString& text) {
    // The record pane needs the room at 1024 pixels: an encrypted connection shows a short mark
    // whose tip names the cipher, a plain one shows no pane; the host pane's tip tells either way.
    const bool encrypted = text.startsWith(QStringLiteral("Encrypted"));
    m_security->setText(encrypted ? QStringLiteral("TLS") : QString());
    m_security->setToolTip(text);
    m_security->setVisible(encrypted);
    m_panes[2]->setToolTip(text);
}

QString StatusBar::paneText(int pane) const {
    return m_panes.at(pane)->text();
}

}  // namespace velkin
