#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "ProgressText.h"

class QLabel;
class QProgressBar;

namespace velkin {

/// How far a long work has come: a bar (object name "Progress") and a line under it ("Progress
/// text") with the count, its rate, the time it took and the time left. Fed with what is done of
/// what there is, it keeps its own clock and repaints a few times a second at most, however often
/// it is fed. The bar never goes back and never fills before the work has ended; without a total
/// it only moves, to show that the work goes on.
class WorkProgress : public QWidget {
    Q_OBJECT
public:
    explicit WorkProgress(QWidget* parent = nullptr);

    /// A new run: total 0 when it is not known; estimated when it is the server's guess.
    void start(std::uint64_t total = 0, bool estimated = false, const QString& unit = QStringLiteral("rows"));
    /// A better total learnt while the work runs (a count after a guess).
    void setTotal(std::uint64_t total, bool estimated);
    /// What goes before the figures, such as which of several tables is being copied.
    void setStage(const QString& stage);
    /// The count so far.
    void advance(std::uint64_t done);
    /// The work has ended; whole: all there was has been done, and the bar fills.
    void finish(bool whole);

    /// A new run of a work that tells its own figures: the clock starts, the bar is empty, the line
    /// is left to showOwn() and setText().
    void startOwn();
    /// The bar at done of total, the line as given.
    void showOwn(std::uint64_t done, std::uint64_t total, const QString& text);
    /// A moving bar (busy) or an empty one.
    void showBusy(bool busy);
    void setText(const QString& text);
    /// The time since start().
    std::int64_t elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

private:
    void repaint(bool now);
    void setPermille(int permille);

    QProgressBar* m_bar = nullptr;
    QLabel* m_text = nullptr;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceShown;
    /// Tells the time while no count arrives (a long block, a slow server).
    QTimer m_tick;
    /// Shows a count that came too soon after the last one once its turn has come.
    QTimer m_late;
    ProgressFigures m_figures;
    QString m_unit;
    QString m_stage;
    int m_shown = 0;
};

}  // namespace velkin
