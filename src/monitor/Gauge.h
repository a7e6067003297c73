#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

namespace velkin {

/// A drawn gauge: an upright box seen from above, whose side faces are red up to the level and
/// blue above it, with a leader and the percentage beside it.
struct GaugeShape {
    int x = 0;
    int top = 100;
    int height = 200;
    int width = 50;
    int depth = 10;
};

inline QColor gaugeEmptyColour() {
    return QColor(0, 0, 255);
}
inline QColor gaugeFullColour() {
    return QColor(255, 0, 0);
}
inline QColor gaugeOutlineColour() {
    return QColor(0, 0, 0);
}

/// The gauge's label: "%-5.2f%%", so 0.5 reads "0.50 %".
QString gaugeLabel(double percent);

/// The row of the level line and the leader. The level is never drawn closer than 2 % to either
/// end, so that both colours stay visible; the label keeps the true percentage.
int gaugeLevelRow(const GaugeShape& shape, double percent);

/// Draws the outline, level, leader, label and fills of one gauge into the image.
void drawGauge(QImage& image, const GaugeShape& shape, double percent, const QFont& labelFont);

/// Fills the region around seed, up to pixels of the border colour (4-connected), with fill.
/// Nothing happens when the seed is outside the image or on the border.
void floodFill(QImage& image, QPoint seed, QColor fill, QColor border);

}  // namespace velkin
