#include "Pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace velkin {

namespace {

constexpr int kSide = 16;

void cylinder(QPainter& p, QRectF r, QColor fill) {
    p.setBrush(fill);
    p.setPen(QPen(fill.darker(170), 1));
    const qreal cap = r.height() / 4;
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    p.drawPath(body);
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

void page(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 160), 1));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2.5) p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void arrow(QPainter& p, QPointF from, QPointF to, QColor color) {
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF a = line;
    a.setLength(4);
    a.setAngle(line.angle() + 35);
    QLineF b = line;
    b.setLength(4);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void letters(QPainter& p, QRectF r, const QString& text, QColor color, int pixelSize) {
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void person(QPainter& p, QColor color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(3, 1, 6, 6));
    p.drawRoundedRect(QRectF(1, 8, 10, 7), 3, 3);
}

void draw(QPainter& p, Command c) {
    const QColor blue(40, 90, 170), green(30, 140, 60), red(200, 40, 40), grey(80, 80, 80);
    switch (c) {
        case Command::Connect:
            p.setPen(QPen(grey, 1));
            p.setBrush(QColor(220, 220, 225));
            p.drawRect(QRectF(1.5, 5.5, 6, 5));
            p.drawRect(QRectF(8.5, 5.5, 6, 5));
            p.setPen(QPen(green, 2));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
            break;
        case Command::ExportCsv:
            page(p, QRectF(1.5, 1.5, 9, 13));
            arrow(p, QPointF(7, 8), QPointF(15, 8), green);
            break;
        case Command::ImportCsv:
            page(p, QRectF(5.5, 1.5, 9, 13));
            arrow(p, QPointF(0, 8), QPointF(9, 8), blue);
            break;
        case Command::AddUser:
            person(p, blue);
            p.setPen(QPen(green, 2));
            p.drawLine(QPointF(12.5, 7), QPointF(12.5, 14));
            p.drawLine(QPointF(9, 10.5), QPointF(16, 10.5));
            break;
        case Command::Cut:
            p.setPen(QPen(grey, 1.5));
            p.drawLine(QPointF(5, 1), QPointF(11, 10));
            p.drawLine(QPointF(11, 1), QPointF(5, 10));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2, 10, 4, 4));
            p.drawEllipse(QRectF(10, 10, 4, 4));
            break;
        case Command::Copy:
            page(p, QRectF(1.5, 1.5, 8, 10));
            page(p, QRectF(6.5, 4.5, 8, 10));
            break;
        case Command::Paste:
            p.setPen(QPen(QColor(120, 80, 30), 1));
            p.setBrush(QColor(200, 150, 80));
            p.drawRect(QRectF(1.5, 2.5, 10, 12));
            page(p, QRectF(6.5, 6.5, 8, 8));
            break;
        case Command::Find:
            p.setPen(QPen(grey, 2));
            p.setBrush(QColor(200, 230, 255));
            p.drawEllipse(QRectF(2, 2, 8, 8));
            p.drawLine(QPointF(9, 9), QPointF(14, 14));
            break;
        case Command::Filter: {
            QPainterPath funnel;
            funnel.moveTo(1.5, 2.5);
            funnel.lineTo(14.5, 2.5);
            funnel.lineTo(9.5, 8.5);
            funnel.lineTo(9.5, 14.5);
            funnel.lineTo(6.5, 12.5);
            funnel.lineTo(6.5, 8.5);
            funnel.closeSubpath();
            p.setPen(QPen(blue.darker(), 1));
            p.setBrush(QColor(120, 170, 230));
            p.drawPath(funnel);
            break;
        }
        case Command::ProcessDisplay:
            p.setPen(QPen(grey, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(green, 1.5));
            p.drawPolyline(QPolygonF({QPointF(2, 11), QPointF(5, 7), QPointF(8, 9), QPointF(11, 4), QPointF(14, 6)}));
            break;
        case Command::SystemVariableList:
            page(p, QRectF(2.5, 1.5, 11, 13));
            letters(p, QRectF(2, 3, 12, 10), QStringLiteral("x="), blue, 8);
            break;
        case Command::SqlExecution:
            letters(p, QRectF(0, 0, 16, 16), QStringLiteral("SQL"), blue, 7);
            break;
        case Command::DatabaseCreation:
            cylinder(p, QRectF(1.5, 1.5, 10, 13), QColor(230, 190, 80));
            p.setPen(QPen(green, 2));
            p.drawLine(QPointF(13, 8), QPointF(13, 15));
            p.drawLine(QPointF(9.5, 11.5), QPointF(16, 11.5));
            break;
        case Command::Delete:
            p.setPen(QPen(red, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 3), QPointF(13, 13));
            p.drawLine(QPointF(13, 3), QPointF(3, 13));
            break;
        case Command::DatabaseDuplicate:
            cylinder(p, QRectF(0.5, 1.5, 8, 10), QColor(230, 190, 80));
            cylinder(p, QRectF(7.5, 4.5, 8, 10), QColor(150, 200, 120));
            break;
        case Command::PrivilegeReload: {
            p.setPen(QPen(green, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2, 2, 12, 12), 60 * 16, 280 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(green);
            p.drawPolygon(QPolygonF({QPointF(9, 0), QPointF(14, 3), QPointF(9, 6)}));
            break;
        }
        case Command::ServerStop:
            p.setPen(QPen(red.darker(), 1));
            p.setBrush(red);
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            break;
        case Command::PageSetup:
            page(p, QRectF(2.5, 1.5, 11, 13));
            break;
        case Command::PageUp:
            arrow(p, QPointF(2, 8), QPointF(14, 8), blue);
            break;
        case Command::PageDown:
            arrow(p, QPointF(14, 8), QPointF(2, 8), blue);
            break;
        case Command::About:
            p.setPen(Qt::NoPen);
            p.setBrush(blue);
            p.drawEllipse(QRectF(1, 1, 14, 14));
            letters(p, QRectF(1, 1, 14, 14), QStringLiteral("?"), Qt::white, 11);
            break;
        default:
            break;
    }
}

}  // namespace

QIcon commandIcon(Command command) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    draw(painter, command);
    painter.end();
    return QIcon(pixmap);
}

QIcon applicationIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(2, 2);
    cylinder(p, QRectF(1.5, 1.5, 13, 13), QColor(60, 120, 190));
    letters(p, QRectF(1, 4, 14, 12), QStringLiteral("V"), Qt::white, 9);
    p.end();
    return QIcon(pixmap);
}

QPixmap aboutLogo() {
    // The name is measured in the font it is drawn with, so that no font cuts it.
    const QString name = QStringLiteral("VelkinSorvane");
    QFont font;
    font.setPixelSize(18);
    font.setBold(true);
    const int nameWidth = QFontMetrics(font).horizontalAdvance(name) + 8;
    constexpr int kPicture = 48;
    QPixmap pixmap(kPicture + nameWidth, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.save();
    p.scale(3, 3);
    cylinder(p, QRectF(0.5, 0.5, 13, 15), QColor(60, 120, 190));
    p.restore();
    letters(p, QRectF(kPicture, 0, nameWidth, 48), name, QColor(40, 70, 130), 18);
    p.end();
    return pixmap;
}

}  // namespace velkin
