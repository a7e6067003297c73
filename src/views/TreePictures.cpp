#include "TreePictures.h"

#include <QPainter>
#include <QPainterPath>

namespace velkin {

namespace {

constexpr int kSide = 16;

/// A stack of disks, the usual sign of a database.
void drawDatabase(QPainter& p, bool lit) {
    const QColor edge(40, 70, 120);
    const QColor body = lit ? QColor(120, 200, 255) : QColor(90, 130, 190);
    const QColor top = lit ? QColor(200, 240, 255) : QColor(150, 185, 230);
    p.setPen(QPen(edge, 1));
    p.setBrush(body);
    QPainterPath side;
    side.moveTo(2.5, 3.5);
    side.lineTo(2.5, 12.5);
    side.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    side.lineTo(13.5, 3.5);
    side.closeSubpath();
    p.drawPath(side);
    p.setBrush(top);
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    // The disks' rims.
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 5.5, 11, 4), 180 * 16, 180 * 16);
    p.drawArc(QRectF(2.5, 8.5, 11, 4), 180 * 16, 180 * 16);
}

/// A grid with a title row.
void drawTable(QPainter& p, bool lit) {
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setBrush(lit ? QColor(255, 170, 40) : QColor(70, 120, 180));
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setPen(QPen(QColor(150, 150, 160), 1));
    for (double y : {8.5, 11.0})
        p.drawLine(QPointF(2.0, y), QPointF(14.0, y));
    for (double x : {6.5, 10.5})
        p.drawLine(QPointF(x, 6.0), QPointF(x, 13.0));
}

/// A key: the grant tables decide who may open what.
void drawKey(QPainter& p, bool lit) {
    const QColor metal = lit ? QColor(250, 200, 40) : QColor(170, 170, 180);
    const QColor edge = lit ? QColor(140, 100, 0) : QColor(80, 80, 90);
    p.setPen(QPen(edge, 1));
    p.setBrush(metal);
    // Shaft and bit.
    p.drawRect(QRectF(6.5, 6.5, 8, 3));
    p.drawRect(QRectF(11.5, 9.5, 2, 3));
    p.drawRect(QRectF(8.5, 9.5, 1.5, 2));
    // Bow with its hole.
    p.drawEllipse(QRectF(0.5, 4.5, 7, 7));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(2.5, 6.5, 3, 3));
}

}  // namespace

QPixmap treePicture(int index) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const bool selected = index % 2 == 1;
    switch (index / 2) {
        case 0:
            drawDatabase(painter, selected);
            break;
        case 1:
            drawTable(painter, selected);
            break;
        case 2:
            drawKey(painter, selected);
            break;
        default:
            break;
    }
    return pixmap;
}

QIcon treeIcon(int kind) {
    QIcon icon;
    icon.addPixmap(treePicture(kind), QIcon::Normal);
    icon.addPixmap(treePicture(kind + 1), QIcon::Selected);
    return icon;
}

}  // namespace velkin
