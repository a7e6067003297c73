#include "CopyPictures.h"

#include <QPainter>
#include <QPixmap>

namespace velkin {

namespace {

/// A tower case with two drive bays and a lamp; the selected image differs in colour only.
QPixmap tower(QColor body) {
    const int side = 32;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(side * 0.25, side * 0.06, side * 0.5, side * 0.88);
    p.setPen(QPen(body.darker(170), 2));
    p.setBrush(body);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(QPen(body.darker(200), 1.5));
    for (int i = 0; i < 2; ++i) {
        const qreal y = r.top() + side * (0.14 + 0.12 * i);
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - side * 0.12), 2, 2);
    return pixmap;
}

}  // namespace

QIcon largeServerPicture() {
    QIcon icon;
    icon.addPixmap(tower(QColor(150, 155, 165)), QIcon::Normal);
    icon.addPixmap(tower(QColor(90, 120, 200)), QIcon::Selected);
    return icon;
}

}  // namespace velkin
