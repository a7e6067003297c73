#include "PictureShapes.h"

#include <QPainter>

namespace velkin {

QPixmap canvas(const QSize& size, bool smooth, const Paint& paint, const QColor& background) {
    QPixmap pixmap(size);
    pixmap.fill(background);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    paint(p);
    p.end();
    return pixmap;
}

QPixmap canvas(int side, bool smooth, const Paint& paint) {
    return canvas(QSize(side, side), smooth, paint);
}

QIcon normalAndSelected(const QPixmap& normal, const QPixmap& selected) {
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(selected, QIcon::Selected);
    return icon;
}

QPainterPath outline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    for (const QPointF& point : points) {
        if (path.elementCount() == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

QPainterPath drumSide(const QRectF& r, qreal cap, bool closed) {
    QPainterPath side;
    side.moveTo(r.left(), r.top() + cap / 2);
    side.lineTo(r.left(), r.bottom() - cap / 2);
    side.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    side.lineTo(r.right(), r.top() + cap / 2);
    if (closed)
        side.closeSubpath();
    return side;
}

QRectF drumRim(const QRectF& r, qreal cap, qreal down) {
    return QRectF(r.left(), r.top() + down, r.width(), cap);
}

void drum(QPainter& p, const QRectF& r, const QColor& fill, qreal penWidth, const QColor& top) {
    const qreal cap = r.height() / 4;
    p.setPen(QPen(fill.darker(170), penWidth));
    p.setBrush(fill);
    p.drawPath(drumSide(r, cap, false));
    p.setBrush(top);
    p.drawEllipse(drumRim(r, cap));
}

}  // namespace velkin
