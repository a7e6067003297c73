#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>

#include "PictureShapes.h"
#include "Pictures.h"

namespace velkin {

namespace {

constexpr int kLarge = 32;

const QColor kOutline(40, 40, 48);
const QColor kScreen(60, 120, 200);
const QColor kCase(200, 200, 206);
const QColor kRefused(200, 30, 30);
const QColor kAdmitted(30, 150, 50);

QIcon large(const Paint& paint) {
    return QIcon(canvas(kLarge, true, paint));
}

/// A tower server: case, two drive slots and a lit lamp.
void server(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kCase);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setBrush(QColor(120, 120, 130));
    const qreal slotWidth = r.width() - 4;
    p.drawRect(QRectF(r.left() + 2, r.top() + 3, slotWidth, 2));
    p.drawRect(QRectF(r.left() + 2, r.top() + 7, slotWidth, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QRectF(r.left() + 2, r.bottom() - 5, 3, 3));
}

/// A monitor on a stand, its screen lit.
void monitor(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(90, 90, 100));
    const QRectF frame(r.left(), r.top(), r.width(), r.height() * 0.72);
    p.drawRoundedRect(frame, 1.5, 1.5);
    p.setBrush(kScreen);
    p.drawRect(frame.adjusted(2, 2, -2, -2));
    p.setBrush(QColor(90, 90, 100));
    const qreal neck = r.width() / 5;
    p.drawRect(QRectF(r.center().x() - neck / 2, frame.bottom(), neck, r.height() * 0.14));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.bottom() - r.height() * 0.14, r.width() * 0.6,
                      r.height() * 0.14));
}

void arrowHead(QPainter& p, QPointF tip, qreal dx) {
    p.setPen(Qt::NoPen);
    p.drawPath(outline({tip, {tip.x() - 5 * dx, tip.y() - 4}, {tip.x() - 5 * dx, tip.y() + 4}}));
}

/// A tower case with two drive bays and a lamp in the given colour.
QPixmap tower(QColor body) {
    return canvas(kLarge, true, [&](QPainter& p) {
        const qreal side = kLarge;
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
    });
}

}  // namespace

QIcon userPicture() {
    return large([](QPainter& p) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(60, 110, 190));
        QPainterPath body;
        body.moveTo(5, 30);
        body.cubicTo(5, 18, 27, 18, 27, 30);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(QColor(245, 205, 160));
        p.drawEllipse(QRectF(10, 3, 12, 13));
        p.setBrush(QColor(90, 60, 30));
        p.drawChord(QRectF(10, 3, 12, 11), 20 * 16, 140 * 16);
    });
}

QIcon localAccountPicture() {
    return large([](QPainter& p) {
        monitor(p, QRectF(3, 2, 26, 24));
        p.setPen(QPen(kOutline, 1));
        p.setBrush(kCase);
        p.drawRoundedRect(QRectF(4, 27, 24, 4), 1, 1);
    });
}

QIcon globalAccountPicture() {
    return large([](QPainter& p) {
        const QRectF globe(1, 1, 22, 22);
        p.setPen(QPen(QColor(20, 60, 130), 1));
        p.setBrush(QColor(90, 160, 230));
        p.drawEllipse(globe);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 160, 70));
        p.drawEllipse(QRectF(5, 5, 7, 6));
        p.drawEllipse(QRectF(12, 12, 6, 7));
        p.setPen(QPen(QColor(20, 60, 130), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(7, 1, 10, 22));
        p.drawLine(QPointF(1, 12), QPointF(23, 12));
        monitor(p, QRectF(16, 15, 15, 16));
    });
}

QIcon restrictedAccountPicture() {
    return large([](QPainter& p) {
        server(p, QRectF(2, 2, 11, 27));
        // The cable between them.
        p.setPen(QPen(QColor(230, 140, 20), 2));
        p.drawLine(QPointF(13, 19), QPointF(19, 19));
        // A notebook: open lid and flat base.
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(90, 90, 100));
        p.drawRect(QRectF(19, 14, 11, 9));
        p.setBrush(kScreen);
        p.drawRect(QRectF(20.5, 15.5, 8, 6));
        p.setBrush(kCase);
        p.drawPath(outline({{17, 27}, {19, 23}, {30, 23}, {31.5, 27}}));
    });
}

QIcon refusedHostPicture() {
    return large([](QPainter& p) {
        server(p, QRectF(19, 2, 11, 28));
        // An arrow runs at the server, turns before it and goes back.
        p.setPen(QPen(kRefused, 3, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath turn;
        turn.moveTo(1, 9);
        turn.lineTo(11, 9);
        turn.arcTo(QRectF(6, 9, 10, 12), 90, -180);
        turn.lineTo(6, 21);
        p.drawPath(turn);
        p.setBrush(kRefused);
        arrowHead(p, QPointF(1, 21), -1);
    });
}

QIcon restrictedHostPicture() {
    return large([](QPainter& p) {
        server(p, QRectF(19, 2, 11, 28));
        p.setPen(QPen(kAdmitted, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(1, 16), QPointF(16, 16));
        p.setBrush(kAdmitted);
        arrowHead(p, QPointF(22, 16), 1);
    });
}

QIcon databasePicture() {
    // White is the transparent colour of these pictures.
    QPixmap pixmap = canvas(
        QSize(kLarge, kLarge), true,
        [](QPainter& p) {
            const QColor body(70, 130, 200);
            const QRectF r(4, 4, 24, 25);
            const qreal cap = 8;
            p.setPen(QPen(QColor(30, 70, 130), 1.5));
            p.setBrush(body);
            p.drawPath(drumSide(r, cap, false));
            p.setBrush(body.lighter(140));
            p.drawEllipse(drumRim(r, cap));
            p.setPen(QPen(body.lighter(170), 1));
            p.drawArc(drumRim(r, cap, 8), 180 * 16, 180 * 16);
            p.drawArc(drumRim(r, cap, 13), 180 * 16, 180 * 16);
        },
        Qt::white);
    pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
    return QIcon(pixmap);
}

QIcon largeServerPicture() {
    return normalAndSelected(tower(QColor(150, 155, 165)), tower(QColor(90, 120, 200)));
}

QPixmap chartServerPicture() {
    return canvas(kLarge, true, [](QPainter& p) {
        QLinearGradient metal(0, 0, 32, 0);
        metal.setColorAt(0, QColor(225, 225, 232));
        metal.setColorAt(1, QColor(160, 160, 172));
        for (int unit = 0; unit < 3; ++unit) {
            const QRectF box(5, 2 + unit * 9, 22, 8);
            p.setPen(QPen(kOutline, 1));
            p.setBrush(metal);
            p.drawRoundedRect(box, 1.5, 1.5);
            p.setBrush(QColor(70, 70, 80));
            p.drawRect(QRectF(box.left() + 3, box.top() + 3, 10, 2));
            p.setPen(Qt::NoPen);
            p.setBrush(unit == 0 ? QColor(40, 200, 60) : QColor(250, 180, 30));
            p.drawEllipse(QRectF(box.right() - 6, box.top() + 2.5, 3.5, 3.5));
        }
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(90, 90, 100));
        p.drawRect(QRectF(8, 29, 16, 2));
    });
}

QPixmap chartDatabasePicture() {
    return canvas(kLarge, true, [](QPainter& p) {
        QLinearGradient body(4, 0, 28, 0);
        body.setColorAt(0, QColor(250, 210, 90));
        body.setColorAt(1, QColor(200, 140, 20));
        const QRectF r(4, 1, 24, 30);
        const qreal cap = 10;
        p.setPen(QPen(QColor(120, 80, 10), 1));
        p.setBrush(body);
        p.drawPath(drumSide(r, cap, true));
        // The bands lie under the top, which is drawn last.
        p.setBrush(Qt::NoBrush);
        for (qreal band : {7, 14})
            p.drawArc(drumRim(r, cap, band), 180 * 16, 180 * 16);
        p.setBrush(QColor(255, 235, 160));
        p.drawEllipse(drumRim(r, cap));
    });
}

QPixmap chartTablePicture() {
    return canvas(kLarge, false, [](QPainter& p) {
        const QRect sheet(3, 5, 26, 22);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.setBrush(QColor(60, 110, 190));
        p.drawRect(QRect(sheet.left(), sheet.top(), sheet.width(), 5));
        p.setPen(QPen(QColor(140, 150, 170), 1));
        for (int y = sheet.top() + 10; y < sheet.bottom(); y += 5)
            p.drawLine(sheet.left(), y, sheet.right(), y);
        for (int x = sheet.left() + 9; x < sheet.right(); x += 9)
            p.drawLine(x, sheet.top() + 5, x, sheet.bottom());
        p.setPen(QPen(kOutline, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(sheet);
    });
}

}  // namespace velkin
