#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace velkin {

/// A strip recorder: several series of unsigned values drawn as running lines that scroll from
/// right to left, one 4-pixel step per Advance. The drawing lives in a back buffer so that a step
/// only draws its new strip and a repaint is one copy.
class LineChartCtrl : public QWidget {
    Q_OBJECT
public:
    /// The name the control is known by in dialogs; also its object name.
    static constexpr const char* kWindowClass = "LINE_CHART_CTRL";
    static constexpr int kStepWidth = 4;
    static constexpr int kGridSpacing = 8;
    static QColor backgroundColour() { return QColor(0, 0, 0); }
    static QColor gridColour() { return QColor(0, 128, 0); }
    /// Shown before the first series exists.
    static QColor classBackgroundColour() { return QColor(192, 192, 192); }

    explicit LineChartCtrl(QWidget* parent = nullptr);

    /// Appends a series with current and previous value 0; the first one also creates the back
    /// buffer at the control's present size. False, and nothing added, when memory runs out.
    bool AddSeries(const QColor& colour, std::uint32_t upper, std::uint32_t lower);
    /// Stores the value clamped to the series' bounds and returns the former current value;
    /// 0 and no change for an index that names no series.
    std::uint32_t SetSeriesValue(int index, std::uint32_t value);
    /// 1, or 0 for an index that names no series. Stored values are left as they are.
    int SetSeriesRange(int index, std::uint32_t upper, std::uint32_t lower);
    /// Scrolls one step and draws the new strip and one segment per series.
    void Advance();

    int seriesCount() const { return static_cast<int>(m_series.size()); }
    std::uint32_t upperBound(int index) const;
    std::uint32_t lowerBound(int index) const;
    /// The back buffer; null before the first series.
    const QImage& backBuffer() const { return m_buffer; }

    /// The row at which a value is drawn in a chart of height h. A value at or above the upper bound
    /// lies on the top row and one at or below the lower bound on the bottom row, so a zero or
    /// inverted range, or a value left above a lowered bound, is drawn at an edge instead of
    /// dividing by zero or landing outside the chart.
    static int valueRow(std::uint32_t value, std::uint32_t upper, std::uint32_t lower, int h);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Series {
        QColor colour;
        std::uint32_t lower = 0;
        std::uint32_t upper = 0;
        std::uint32_t current = 0;
        std::uint32_t previous = 0;
    };

    bool hasSeries(int index) const { return index >= 0 && index < seriesCount(); }
    void createBackBuffer();
    void scrollLeft();
    void drawNewStrip();
    void drawSegments();

    std::vector<Series> m_series;
    QImage m_buffer;
    /// Shared by every chart of the program, as the vertical grid of old was.
    static bool s_gridPhase;
};

}  // namespace velkin
