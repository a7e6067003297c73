#include "ProfilePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <initializer_list>

namespace velkin {

namespace {

constexpr int kSide = 16;

QPainterPath closedPath(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    for (const QPointF& corner : corners)
        path.elementCount() == 0 ? path.moveTo(corner) : path.lineTo(corner);
    path.closeSubpath();
    return path;
}

void drawFolder(QPainter& p, bool open) {
    const QColor edge(150, 110, 20);
    p.setPen(QPen(edge, 1));
    // Back with its tab.
    p.setBrush(QColor(230, 185, 60));
    p.drawPath(closedPath({{1.5, 3.5}, {6.5, 3.5}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13.5}, {1.5, 13.5}}));
    if (open) {
        // The front leans forward, showing the inside.
        p.setBrush(QColor(255, 225, 120));
        p.drawPath(closedPath({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
    } else {
        p.setBrush(QColor(250, 210, 90));
        p.drawRect(QRectF(1.5, 7.5, 13, 6));
    }
}

void drawComputer(QPainter& p, bool lit) {
    p.setPen(QPen(QColor(60, 60, 70), 1));
    // Monitor.
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(1.5, 1.5, 13, 9));
    p.setBrush(lit ? QColor(90, 200, 255) : QColor(40, 60, 110));
    p.drawRect(QRectF(3.5, 3.5, 9, 5));
    // Stand and base.
    p.setBrush(QColor(160, 160, 165));
    p.drawRect(QRectF(6.5, 10.5, 3, 2));
    p.drawRect(QRectF(3.5, 12.5, 9, 2));
    if (lit) {
        p.setPen(QPen(QColor(255, 255, 255), 1));
        p.drawLine(QPointF(4.5, 5.5), QPointF(9.5, 5.5));
        p.drawLine(QPointF(4.5, 7.0), QPointF(7.5, 7.0));
    }
}

}  // namespace

QPixmap profilePicture(int index) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (index) {
        case 0:
            drawFolder(painter, false);
            break;
        case 1:
            drawFolder(painter, true);
            break;
        case 2:
            drawComputer(painter, false);
            break;
        case 3:
            drawComputer(painter, true);
            break;
        default:
            break;
    }
    return pixmap;
}

QIcon profileIcon(int kind) {
    QIcon icon;
    icon.addPixmap(profilePicture(kind), QIcon::Normal);
    icon.addPixmap(profilePicture(kind + 1), QIcon::Selected);
    return icon;
}

}  // namespace velkin
