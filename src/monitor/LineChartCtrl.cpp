#include "LineChartCtrl.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstring>
#include <new>

namespace velkin {

bool LineChartCtrl::s_gridPhase = false;

LineChartCtrl::LineChartCtrl(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kWindowClass));
    setCursor(Qt::ArrowCursor);
    // Every pixel is painted from the back buffer or the class background; erasing first would flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool LineChartCtrl::AddSeries(const QColor& colour, std::uint32_t upper, std::uint32_t lower) {
    try {
        m_series.push_back(Series{colour, lower, upper, 0, 0});
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (m_buffer.isNull())
        createBackBuffer();
    update();
    return true;
}

std::uint32_t LineChartCtrl::SetSeriesValue(int index, std::uint32_t value) {
    if (!hasSeries(index))
        return 0;
    Series& s = m_series[static_cast<std::size_t>(index)];
    value = std::min(value, s.upper);
    value = std::max(value, s.lower);
    const std::uint32_t former = s.current;
    s.previous = s.current;
    s.current = value;
    return former;
}

int LineChartCtrl::SetSeriesRange(int index, std::uint32_t upper, std::uint32_t lower) {
    if (!hasSeries(index))
        return 0;
    Series& s = m_series[static_cast<std::size_t>(index)];
    s.upper = upper;
    s.lower = lower;
    return 1;
}

std::uint32_t LineChartCtrl::upperBound(int index) const {
    return hasSeries(index) ? m_series[static_cast<std::size_t>(index)].upper : 0;
}

std::uint32_t LineChartCtrl::lowerBound(int index) const {
    return hasSeries(index) ? m_series[static_cast<std::size_t>(index)].lower : 0;
}

void LineChartCtrl::createBackBuffer() {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    m_buffer = QImage(w, h, QImage::Format_RGB32);
    m_buffer.fill(backgroundColour());
    QPainter p(&m_buffer);
    p.setPen(QPen(gridColour(), 1));
    for (int y = 0; y < h; y += kGridSpacing)
        p.drawLine(0, y, w - 1, y);
    for (int x = 0; x < w; x += kGridSpacing)
        p.drawLine(x, 0, x, h - 1);
}

void LineChartCtrl::Advance() {
    if (m_buffer.isNull())
        return;
    scrollLeft();
    drawNewStrip();
    drawSegments();
    update();
}

void LineChartCtrl::scrollLeft() {
    const int w = m_buffer.width();
    if (w <= kStepWidth)
        return;
    const std::size_t bytes = static_cast<std::size_t>(w - kStepWidth) * sizeof(QRgb);
    for (int y = 0; y < m_buffer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_buffer.scanLine(y));
        std::memmove(line, line + kStepWidth, bytes);
    }
}

void LineChartCtrl::drawNewStrip() {
    const int w = m_buffer.width();
    const int h = m_buffer.height();
    const int left = std::max(w - kStepWidth, 0);
    QPainter p(&m_buffer);
    p.fillRect(QRect(left, 0, w - left, h), backgroundColour());
    p.setPen(QPen(gridColour(), 1));
    // The horizontal lines keep the rows of the first cross-hatch, so they join the scrolled ones.
    for (int y = 0; y < h; y += kGridSpacing)
        p.drawLine(left, y, w - 1, y);
    s_gridPhase = !s_gridPhase;
    if (s_gridPhase)
        p.drawLine(w - 2, 0, w - 2, h - 1);
}

void LineChartCtrl::drawSegments() {
    const int w = m_buffer.width();
    const int h = m_buffer.height();
    QPainter p(&m_buffer);
    for (const Series& s : m_series) {
        p.setPen(QPen(s.colour, 1));
        const int y1 = valueRow(s.previous, s.upper, s.lower, h);
        const int y2 = valueRow(s.current, s.upper, s.lower, h);
        p.drawLine(w - kStepWidth - 1, y1, w - 1, y2);
    }
}

int LineChartCtrl::valueRow(std::uint32_t value, std::uint32_t upper, std::uint32_t lower, int h) {
    const int bottom = std::max(h - 1, 0);
    if (value >= upper)
        return 0;
    if (value <= lower)
        return bottom;
    const double range = static_cast<double>(upper - lower);
    const double offset = static_cast<double>(value - lower);
    const int y = static_cast<int>(h * (range - offset) / range);
    // The formula puts 0 at y = h, one row below the picture; the bottom row is where it shows.
    return std::clamp(y, 0, bottom);
}

void LineChartCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_buffer.isNull()) {
        p.fillRect(rect(), classBackgroundColour());
        return;
    }
    // The buffer keeps the size of its creation; a control grown since shows its class background around it.
    if (m_buffer.size() != size())
        p.fillRect(rect(), classBackgroundColour());
    p.drawImage(0, 0, m_buffer);
}

}  // namespace velkin
