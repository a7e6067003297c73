#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QStringList>

#include "ChartText.h"

class QPainter;

namespace velkin {

/// The 32 by 32 picture that stands for the chart's item.
QPixmap chartPicture(ChartPicture picture);

/// The faces a chart text asks for, best first: the Japanese Gothic the charts were made with, then
/// the Japanese Gothic faces that a Linux desktop has, fixed-width before proportional.
QStringList chartFontFamilies();
/// A chart text's font at its pixel height, weight and slant.
QFont chartFont(const ChartFont& font);

/// Paints the layout with its top left corner at the painter's origin: lines, then pictures, then
/// texts. Lines are not smoothed, so bars and rules keep their exact colours and thicknesses.
void paintChart(QPainter& painter, const ChartLayout& layout);
/// The layout on a white image of the given size.
QImage renderChart(const ChartLayout& layout, const QSize& size);

}  // namespace velkin
