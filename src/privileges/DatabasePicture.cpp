#include "DatabasePicture.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace velkin {

QIcon databasePicture() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor body(70, 130, 200), edge(30, 70, 130);
    p.setPen(QPen(edge, 1.5));
    p.setBrush(body);
    QPainterPath drum;
    drum.moveTo(4, 8);
    drum.lineTo(4, 25);
    drum.arcTo(QRectF(4, 21, 24, 8), 180, 180);
    drum.lineTo(28, 8);
    p.drawPath(drum);
    p.setBrush(body.lighter(140));
    p.drawEllipse(QRectF(4, 4, 24, 8));
    p.setPen(QPen(body.lighter(170), 1));
    p.drawArc(QRectF(4, 12, 24, 8), 180 * 16, 180 * 16);
    p.drawArc(QRectF(4, 17, 24, 8), 180 * 16, 180 * 16);
    p.end();
    // White is the transparent colour of these pictures.
    pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
    return QIcon(pixmap);
}

}  // namespace velkin
