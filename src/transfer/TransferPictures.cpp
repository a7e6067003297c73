#include "TransferPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace velkin {

namespace {

using Draw = std::function<void(QPainter&, qreal side, QColor accent)>;

QPixmap picture(int side, QColor accent, const Draw& draw) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, side, accent);
    return pixmap;
}

// The selected image differs in colour only, so that the highlighted node still reads as its kind.
QIcon pair(int side, QColor normal, QColor selected, const Draw& draw) {
    QIcon icon;
    icon.addPixmap(picture(side, normal, draw), QIcon::Normal);
    icon.addPixmap(picture(side, selected, draw), QIcon::Selected);
    return icon;
}

void cylinder(QPainter& p, qreal side, QColor fill) {
    const QRectF r(side * 0.15, side * 0.08, side * 0.7, side * 0.84);
    const qreal cap = r.height() / 4;
    p.setPen(QPen(fill.darker(170), side / 16));
    p.setBrush(fill);
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    p.drawPath(body);
    p.setBrush(fill.lighter(130));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

void grid(QPainter& p, qreal side, QColor head) {
    const QRectF r(side * 0.08, side * 0.15, side * 0.84, side * 0.7);
    p.setPen(QPen(QColor(80, 80, 80), side / 16));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() / 3), head);
    p.drawLine(QPointF(r.left(), r.top() + r.height() / 3), QPointF(r.right(), r.top() + r.height() / 3));
    p.drawLine(QPointF(r.left(), r.top() + r.height() * 2 / 3),
               QPointF(r.right(), r.top() + r.height() * 2 / 3));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void field(QPainter& p, qreal side, QColor fill) {
    const QRectF r(side * 0.3, side * 0.08, side * 0.4, side * 0.84);
    p.setPen(QPen(fill.darker(170), side / 16));
    p.setBrush(fill);
    p.drawRect(r);
    p.setPen(QPen(Qt::white, side / 16));
    for (int i = 1; i < 4; ++i) {
        const qreal y = r.top() + r.height() * i / 4;
        p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
    }
}

}  // namespace

QIcon databaseNodePicture() {
    return pair(16, QColor(210, 170, 40), QColor(240, 120, 30), cylinder);
}
QIcon tableNodePicture() {
    return pair(16, QColor(90, 130, 200), QColor(30, 90, 220), grid);
}
QIcon fieldNodePicture() {
    return pair(16, QColor(60, 150, 90), QColor(20, 120, 50), field);
}
QIcon largeDatabasePicture() {
    return pair(32, QColor(210, 170, 40), QColor(240, 120, 30), cylinder);
}
QIcon largeTablePicture() {
    return pair(32, QColor(90, 130, 200), QColor(30, 90, 220), grid);
}

}  // namespace velkin
