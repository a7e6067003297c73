#include "StatusBar.h"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QTime>
#include <algorithm>

namespace velkin {

namespace {
/// Room that a squeezed pane still keeps: a few characters and the ellipsis.
constexpr int kSqueezedChars = 8;
}  // namespace

PaneLabel::PaneLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setFullText(text);
}

void PaneLabel::setFullText(const QString& text) {
    m_fullText = text;
    showFitting();
    updateGeometry();
}

QSize PaneLabel::sizeHint() const {
    const int frame = 2 * frameWidth() + 2 * margin() + 2;
    return {fontMetrics().horizontalAdvance(m_fullText) + frame, QLabel::sizeHint().height()};
}

QSize PaneLabel::minimumSizeHint() const {
    const int frame = 2 * frameWidth() + 2 * margin() + 2;
    const int squeezed = fontMetrics().averageCharWidth() * kSqueezedChars + frame;
    return {std::min(sizeHint().width(), squeezed), QLabel::minimumSizeHint().height()};
}

void PaneLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitting();
}

void PaneLabel::showFitting() {
    const int room = std::max(0, contentsRect().width() - 2 * margin());
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, room);
    setText(shown);
    QStringList tip;
    if (shown != m_fullText)
        tip << m_fullText;
    if (!m_note.isEmpty())
        tip << m_note;
    setToolTip(tip.join(QLatin1Char('\n')));
}

void PaneLabel::setNote(const QString& note) {
    m_note = note;
    showFitting();
}

StatusBar::StatusBar(QStatusBar* bar) : m_bar(bar) {
    const char* initial[kPaneCount] = {"Connecting", "Login Name", "Host Name", "", ""};
    // One row of our own: the bar's own layout keeps permanent panes whole and squeezes the message
    // pane to nothing, where every pane should give way in turn.
    auto* row = new QWidget(bar);
    row->setObjectName(QStringLiteral("panes"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new PaneLabel(QString::fromUtf8(initial[i]), row);
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panes[i] = label;
    }
    // Every pane asks for its whole text; a cut text stays whole in the pane's tooltip.
    // No pane stretches: short of room, the layout takes from every pane alike instead of squeezing
    // the stretching one to nothing; spare room goes to the gap after the message pane.
    layout->addWidget(m_panes[0]);
    layout->addStretch(1);
    // The lock keys' states cannot be read on every desktop Qt runs on, so there are no key panes;
    // an indicator that never changes would only mislead.
    // Whether the connection is encrypted sits right after the host name it is about.
    m_security = new QLabel(row);
    m_security->setObjectName(QStringLiteral("security"));
    m_security->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_security->hide();
    for (int i : {kRecordPane, 1, 2})
        layout->addWidget(m_panes[i]);
    layout->addWidget(m_security);
    layout->addWidget(m_panes[3]);
    m_panes[kRecordPane]->hide();
    m_panes[3]->hide();
    m_workText = new QLabel(row);
    m_workText->setObjectName(QStringLiteral("work"));
    m_stop = new QPushButton(QStringLiteral("Stop"), row);
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_workText->hide();
    m_stop->hide();
    layout->addWidget(m_workText);
    layout->addWidget(m_stop);
    QObject::connect(m_stop, &QPushButton::clicked, row, [this] {
        if (m_work)
            m_work->stop();
    });
    // Most reads end within a blink; only one that takes a while shows itself, so the bar does not flicker.
    m_workShown = new QTimer(row);
    m_workShown->setSingleShot(true);
    m_workShown->setInterval(300);
    QObject::connect(m_workShown, &QTimer::timeout, row, [this] {
        if (!m_work || !m_work->running())
            return;
        m_workText->show();
        m_stop->show();
    });
    bar->addWidget(row, 1);
}

QObject* StatusBar::showWork(BackgroundWork* work, const QString& what) {
    m_work = work;
    if (!work) {
        m_workShown->stop();
        m_workText->hide();
        m_stop->hide();
        return m_stop;
    }
    m_workText->setText(what + QStringLiteral(" since ") +
                        QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    m_workShown->start();
    return m_stop;
}

void StatusBar::setPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= kPaneCount)
        return;
    m_panes[pane]->setFullText(text);
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
    m_panes[2]->setNote(text);
}

QString StatusBar::paneText(int pane) const {
    return m_panes.at(pane)->fullText();
}

}  // namespace velkin
