#include "PrivilegePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace velkin {

namespace {

const QColor kOutline(40, 40, 48);
const QColor kScreen(60, 120, 200);
const QColor kCase(200, 200, 206);
const QColor kRefused(200, 30, 30);
const QColor kAdmitted(30, 150, 50);

QIcon draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    paint(p);
    p.end();
    return QIcon(pixmap);
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
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip.x() - 5 * dx, tip.y() - 4);
    head.lineTo(tip.x() - 5 * dx, tip.y() + 4);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.drawPath(head);
}

}  // namespace

QIcon userPicture() {
    return draw([](QPainter& p) {
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

QIcon accountPicture(HostClass hostClass) {
    switch (hostClass) {
        case HostClass::Local:
            return draw([](QPainter& p) {
                monitor(p, QRectF(3, 2, 26, 24));
                p.setPen(QPen(kOutline, 1));
                p.setBrush(kCase);
                p.drawRoundedRect(QRectF(4, 27, 24, 4), 1, 1);
            });
        case HostClass::Global:
            return draw([](QPainter& p) {
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
        case HostClass::Restricted:
            break;
    }
    return draw([](QPainter& p) {
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
        QPainterPath base;
        base.moveTo(17, 27);
        base.lineTo(19, 23);
        base.lineTo(30, 23);
        base.lineTo(31.5, 27);
        base.closeSubpath();
        p.drawPath(base);
    });
}

QIcon refusedHostPicture() {
    return draw([](QPainter& p) {
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
    return draw([](QPainter& p) {
        server(p, QRectF(19, 2, 11, 28));
        p.setPen(QPen(kAdmitted, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(1, 16), QPointF(16, 16));
        p.setBrush(kAdmitted);
        arrowHead(p, QPointF(22, 16), 1);
    });
}

AccountPictures::AccountPictures()
    : m_pictures{accountPicture(HostClass::Local), accountPicture(HostClass::Global),
                 accountPicture(HostClass::Restricted)} {}

const QIcon& AccountPictures::of(std::string_view host) const {
    return m_pictures[static_cast<int>(hostClassOf(host))];
}

}  // namespace velkin
