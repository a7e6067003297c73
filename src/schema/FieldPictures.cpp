#include "FieldPictures.h"

#include <QPainter>
#include <QPixmap>

namespace velkin {

namespace {

/// A key: a ring and a bit with two teeth, in the given colour.
QPixmap keyPixmap(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colour.darker(160), 1.2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 4.5, 7, 7));
    p.drawRect(QRectF(8, 7, 7, 2));
    p.drawRect(QRectF(11, 9, 1.5, 3));
    p.drawRect(QRectF(13.5, 9, 1.5, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3.5, 6.5, 3, 3));
    return pixmap;
}

/// A plain field: a column of cells.
QPixmap fieldPixmap() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(90, 90, 120));
    p.setBrush(QColor(220, 228, 245));
    for (int y = 1; y < 15; y += 5)
        p.drawRect(4, y, 8, 4);
    return pixmap;
}

}  // namespace

FieldRole fieldRole(const QString& key) {
    if (key.startsWith(QStringLiteral("PRI")))
        return FieldRole::PrimaryKey;
    if (key.startsWith(QStringLiteral("MUL")))
        return FieldRole::MultipleKey;
    return FieldRole::Plain;
}

QIcon fieldPicture(FieldRole role) {
    switch (role) {
        case FieldRole::PrimaryKey:
            return QIcon(keyPixmap(QColor(235, 190, 40)));
        case FieldRole::MultipleKey:
            return QIcon(keyPixmap(QColor(150, 170, 200)));
        case FieldRole::Plain:
            break;
    }
    return QIcon(fieldPixmap());
}

}  // namespace velkin
