#pragma once

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <functional>
#include <initializer_list>

class QPainter;

namespace velkin {

// The shapes more than one picture is made of. Inside the widgets library only.

using Paint = std::function<void(QPainter&)>;

/// A picture of the given size painted on a background (transparent unless the picture keys on a colour).
QPixmap canvas(const QSize& size, bool smooth, const Paint& paint,
               const QColor& background = Qt::transparent);
QPixmap canvas(int side, bool smooth, const Paint& paint);
/// The selected image of a node shows its kind as well as the normal one.
QIcon normalAndSelected(const QPixmap& normal, const QPixmap& selected);

/// A closed outline through the points.
QPainterPath outline(std::initializer_list<QPointF> points);

/// The side of a drum standing in `r`, whose top and bottom are ellipses `cap` high.
QPainterPath drumSide(const QRectF& r, qreal cap, bool closed);
/// The drum's top ellipse, moved `down` for the rims of its bands.
QRectF drumRim(const QRectF& r, qreal cap, qreal down = 0);
/// A plain drum: outlined in a darker shade of its fill, its top in `top`.
void drum(QPainter& p, const QRectF& r, const QColor& fill, qreal penWidth, const QColor& top);

}  // namespace velkin
