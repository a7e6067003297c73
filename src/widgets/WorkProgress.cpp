#include "WorkProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace velkin {

namespace {

constexpr int kSteps = 1000;
constexpr qint64 kShownEveryMs = 250;

}  // namespace

WorkProgress::WorkProgress(QWidget* parent) : QWidget(parent) {
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Progress"));
    m_bar->setRange(0, kSteps);
    m_bar->setValue(0);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("Progress text"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] { repaint(true); });
    m_late.setSingleShot(true);
    connect(&m_late, &QTimer::timeout, this, [this] { repaint(true); });
}

void WorkProgress::start(std::uint64_t total, bool estimated, const QString& unit) {
    m_figures = ProgressFigures{};
    m_figures.total = total;
    m_figures.estimated = estimated;
    m_unit = unit;
    m_stage.clear();
    m_shown = 0;
    m_bar->setRange(0, kSteps);
    m_bar->setValue(0);
    m_clock.start();
    m_sinceShown.invalidate();
    m_tick.start();
    repaint(true);
}

void WorkProgress::startOwn() {
    m_tick.stop();
    m_late.stop();
    m_shown = 0;
    m_bar->setRange(0, kSteps);
    m_bar->setValue(0);
    m_text->clear();
    m_clock.start();
}

void WorkProgress::setTotal(std::uint64_t total, bool estimated) {
    m_figures.total = total;
    m_figures.estimated = estimated;
    repaint(true);
}

void WorkProgress::setStage(const QString& stage) {
    m_stage = stage;
    repaint(true);
}

void WorkProgress::advance(std::uint64_t done) {
    m_figures.done = done;
    repaint(false);
}

void WorkProgress::finish(bool whole) {
    m_tick.stop();
    m_late.stop();
    m_figures.finished = true;
    // A whole work did all there was, however far off the guess was.
    if (whole)
        m_figures.total = m_figures.done;
    repaint(true);
    // A stopped or broken work of unknown length leaves an empty bar, not a full one.
    if (!whole && m_figures.total == 0)
        setPermille(0);
}

void WorkProgress::showOwn(std::uint64_t done, std::uint64_t total, const QString& text) {
    const int permille =
        total > 0 ? static_cast<int>(std::min<double>(kSteps, static_cast<double>(done) * kSteps / total))
                  : kSteps;
    setPermille(permille);
    m_text->setText(text);
}

void WorkProgress::showBusy(bool busy) {
    m_tick.stop();
    m_shown = 0;
    m_bar->setRange(0, busy ? 0 : kSteps);
    m_bar->setValue(0);
}

void WorkProgress::setText(const QString& text) {
    m_text->setText(text);
}

void WorkProgress::repaint(bool now) {
    if (!now && m_sinceShown.isValid() && m_sinceShown.elapsed() < kShownEveryMs) {
        if (!m_late.isActive())
            m_late.start(static_cast<int>(kShownEveryMs - m_sinceShown.elapsed()));
        return;
    }
    m_late.stop();
    m_sinceShown.start();
    m_figures.elapsedMs = elapsedMs();
    const int permille = progressPermille(m_figures);
    if (permille < 0) {
        m_bar->setRange(0, 0);
    } else {
        if (m_bar->maximum() == 0)
            m_bar->setRange(0, kSteps);
        // A total learnt late may put the work further back than shown; the bar waits instead.
        if (m_figures.finished || permille > m_shown)
            setPermille(m_figures.finished ? permille : std::max(permille, m_shown));
    }
    const QString figures = QString::fromStdString(progressText(m_figures, m_unit.toStdString()));
    m_text->setText(m_stage + figures);
}

void WorkProgress::setPermille(int permille) {
    if (m_bar->maximum() == 0)
        m_bar->setRange(0, kSteps);
    m_shown = permille;
    m_bar->setValue(permille);
}

}  // namespace velkin
