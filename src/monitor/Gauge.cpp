#include "Gauge.h"

#include <fmt/printf.h>
#include <QPainter>

#include <vector>

namespace velkin {

namespace {

/// The level's height above the bottom, from the percentage kept clear of both ends.
double levelHeight(const GaugeShape& shape, double percent) {
    double p = percent;
    if (p >= 99)
        p = 98;
    if (p <= 1)
        p = 2;
    return p * 0.01 * shape.height;
}

}  // namespace

QString gaugeLabel(double percent) {
    return QString::fromStdString(fmt::sprintf("%-5.2f%%", percent));
}

int gaugeLevelRow(const GaugeShape& shape, double percent) {
    return static_cast<int>(shape.top + shape.height - levelHeight(shape, percent));
}

void drawGauge(QImage& image, const GaugeShape& s, double percent, const QFont& labelFont) {
    const int x = s.x;
    const int y = s.top;
    const int H = s.height;
    const int W = s.width;
    const int D = s.depth;
    const double m = levelHeight(s, percent);
    const int level = gaugeLevelRow(s, percent);
    const bool empty = percent == 0;
    const bool full = percent == 100;

    {
        QPainter p(&image);
        p.setPen(QPen(gaugeOutlineColour(), 1));
        // Top face.
        p.drawLine(x, y, x + W / 2, y - D);
        p.drawLine(x + W / 2, y - D, x + W, y);
        p.drawLine(x + W, y, x + W / 2, y + D);
        p.drawLine(x + W / 2, y + D, x, y);
        // Body.
        p.drawLine(x, y, x, y + H);
        p.drawLine(x, y + H, x + W / 2, y + H + D);
        p.drawLine(x + W / 2, y + H + D, x + W, y + H);
        p.drawLine(x + W, y + H, x + W, y);
        p.drawLine(x + W / 2, y + H + D, x + W / 2, y + D);
        if (!empty && !full) {
            p.drawLine(x, level, x + W / 2, level + D);
            p.drawLine(x + W / 2, level + D, x + W, level);
        }
        // Leader and label.
        const int leaderRow = level - D;
        p.drawLine(x + W, level, x + W + W / 4, leaderRow);
        p.drawLine(x + W + W / 4, leaderRow, x + 2 * W + W / 4, leaderRow);
        p.setFont(labelFont);
        p.drawText(QRect(x + W + W / 4, leaderRow - 20, 2 * W, 20), Qt::AlignLeft | Qt::AlignTop,
                   gaugeLabel(percent));
    }

    const QColor border = gaugeOutlineColour();
    const QPoint topFace(x + W / 2, y);
    floodFill(image, topFace, gaugeEmptyColour(), border);
    if (!full) {
        const int above = static_cast<int>(y + (H - m) / 2);
        floodFill(image, QPoint(x + 1, above), gaugeEmptyColour(), border);
        floodFill(image, QPoint(x + W - 1, above), gaugeEmptyColour(), border);
    }
    if (!empty) {
        const int below = static_cast<int>(y + H - m / 2);
        floodFill(image, QPoint(x + 1, below), gaugeFullColour(), border);
        floodFill(image, QPoint(x + W - 1, below), gaugeFullColour(), border);
        if (percent >= 100)
            floodFill(image, topFace, gaugeFullColour(), border);
    }
}

void floodFill(QImage& image, QPoint seed, QColor fill, QColor border) {
    if (!image.rect().contains(seed))
        return;
    const QRgb borderRgb = border.rgb();
    const QRgb fillRgb = fill.rgb();
    auto pixel = [&](int px, int py) { return image.pixel(px, py) | 0xff000000u; };
    if (pixel(seed.x(), seed.y()) == (borderRgb | 0xff000000u))
        return;

    const int w = image.width();
    std::vector<bool> visited(static_cast<std::size_t>(w) * static_cast<std::size_t>(image.height()), false);
    std::vector<QPoint> pending{seed};
    while (!pending.empty()) {
        const QPoint at = pending.back();
        pending.pop_back();
        if (!image.rect().contains(at))
            continue;
        const std::size_t index =
            static_cast<std::size_t>(at.y()) * static_cast<std::size_t>(w) + static_cast<std::size_t>(at.x());
        if (visited[index] || pixel(at.x(), at.y()) == (borderRgb | 0xff000000u))
            continue;
        visited[index] = true;
        image.setPixel(at, fillRgb);
        pending.push_back(QPoint(at.x() + 1, at.y()));
        pending.push_back(QPoint(at.x() - 1, at.y()));
        pending.push_back(QPoint(at.x(), at.y() + 1));
        pending.push_back(QPoint(at.x(), at.y() - 1));
    }
}

}  // namespace velkin
