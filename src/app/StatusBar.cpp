#include "StatusBar.h"

namespace velkin {

StatusBar::StatusBar(QStatusBar* bar) : m_bar(bar) {
    const char* initial[kPaneCount] = {"Connecting", "Login Name", "Host Name", "KANA", "CAP", "NUM", "SCRL"};
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(initial[i]), bar);
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panes[i] = label;
        if (i == 0) {
            // The message pane gives way first when the window is narrow, so the fixed panes never overlap.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            label->setMinimumWidth(0);
            bar->addWidget(label, 1);
        }
        else
            bar->addPermanentWidget(label);
    }
}

void StatusBar::setPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < kPaneCount) m_panes[pane]->setText(text);
}

void StatusBar::setPaneFixed(int pane, int width) {
    if (pane < 0 || pane >= kPaneCount) return;
    m_panes[pane]->setFixedWidth(width);
    m_panes[pane]->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void StatusBar::setSecurityText(const QString& text) {
    if (!m_security) {
        m_security = new QLabel(m_bar);
        m_security->setObjectName(QStringLiteral("security"));
        m_security->setFrameStyle(QFrame::Panel | QFrame::Raised);
        // Right after the host name pane: the permanent panes start with login name and host name.
        m_bar->insertPermanentWidget(2, m_security);
    }
    m_security->setText(text);
}

QString StatusBar::paneText(int pane) const { return m_panes.at(pane)->text(); }

}  // namespace velkin
