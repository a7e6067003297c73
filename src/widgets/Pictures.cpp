#include "Pictures.h"

#include <QFontMetrics>
#include <QPainter>

#include "PictureShapes.h"

namespace velkin {

namespace {

constexpr int kSmall = 16;

void page(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 160), 1));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
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

/// A plus sign whose cross bar runs from `left` to `right` at the centre's height.
void plus(QPainter& p, QPointF centre, qreal left, qreal right, QColor color) {
    p.setPen(QPen(color, 2));
    p.drawLine(QPointF(centre.x(), centre.y() - 3.5), QPointF(centre.x(), centre.y() + 3.5));
    p.drawLine(QPointF(left, centre.y()), QPointF(right, centre.y()));
}

const QColor kToolBlue(40, 90, 170), kToolGreen(30, 140, 60), kToolRed(200, 40, 40), kToolGrey(80, 80, 80);
const QColor kDrumGold(230, 190, 80);

void drawTool(QPainter& p, ToolPicture picture) {
    switch (picture) {
        case ToolPicture::Plugs:
            p.setPen(QPen(kToolGrey, 1));
            p.setBrush(QColor(220, 220, 225));
            p.drawRect(QRectF(1.5, 5.5, 6, 5));
            p.drawRect(QRectF(8.5, 5.5, 6, 5));
            p.setPen(QPen(kToolGreen, 2));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
            break;
        case ToolPicture::PageOut:
            page(p, QRectF(1.5, 1.5, 9, 13));
            arrow(p, QPointF(7, 8), QPointF(15, 8), kToolGreen);
            break;
        case ToolPicture::PageIn:
            page(p, QRectF(5.5, 1.5, 9, 13));
            arrow(p, QPointF(0, 8), QPointF(9, 8), kToolBlue);
            break;
        case ToolPicture::AddPerson:
            person(p, kToolBlue);
            plus(p, QPointF(12.5, 10.5), 9, 16, kToolGreen);
            break;
        case ToolPicture::Scissors:
            p.setPen(QPen(kToolGrey, 1.5));
            p.drawLine(QPointF(5, 1), QPointF(11, 10));
            p.drawLine(QPointF(11, 1), QPointF(5, 10));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2, 10, 4, 4));
            p.drawEllipse(QRectF(10, 10, 4, 4));
            break;
        case ToolPicture::TwoPages:
            page(p, QRectF(1.5, 1.5, 8, 10));
            page(p, QRectF(6.5, 4.5, 8, 10));
            break;
        case ToolPicture::Clipboard:
            p.setPen(QPen(QColor(120, 80, 30), 1));
            p.setBrush(QColor(200, 150, 80));
            p.drawRect(QRectF(1.5, 2.5, 10, 12));
            page(p, QRectF(6.5, 6.5, 8, 8));
            break;
        case ToolPicture::Magnifier:
            p.setPen(QPen(kToolGrey, 2));
            p.setBrush(QColor(200, 230, 255));
            p.drawEllipse(QRectF(2, 2, 8, 8));
            p.drawLine(QPointF(9, 9), QPointF(14, 14));
            break;
        case ToolPicture::Funnel:
            p.setPen(QPen(kToolBlue.darker(), 1));
            p.setBrush(QColor(120, 170, 230));
            p.drawPath(outline({{1.5, 2.5}, {14.5, 2.5}, {9.5, 8.5}, {9.5, 14.5}, {6.5, 12.5}, {6.5, 8.5}}));
            break;
        case ToolPicture::LineGraph:
            p.setPen(QPen(kToolGrey, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(kToolGreen, 1.5));
            p.drawPolyline(
                QPolygonF({QPointF(2, 11), QPointF(5, 7), QPointF(8, 9), QPointF(11, 4), QPointF(14, 6)}));
            break;
        case ToolPicture::Variables:
            page(p, QRectF(2.5, 1.5, 11, 13));
            letters(p, QRectF(2, 3, 12, 10), QStringLiteral("x="), kToolBlue, 8);
            break;
        case ToolPicture::Sql:
            letters(p, QRectF(0, 0, 16, 16), QStringLiteral("SQL"), kToolBlue, 7);
            break;
        case ToolPicture::NewDatabase:
            drum(p, QRectF(1.5, 1.5, 10, 13), kDrumGold, 1, kDrumGold);
            plus(p, QPointF(13, 11.5), 9.5, 16, kToolGreen);
            break;
        case ToolPicture::Cross:
            p.setPen(QPen(kToolRed, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 3), QPointF(13, 13));
            p.drawLine(QPointF(13, 3), QPointF(3, 13));
            break;
        case ToolPicture::TwoDatabases:
            drum(p, QRectF(0.5, 1.5, 8, 10), kDrumGold, 1, kDrumGold);
            drum(p, QRectF(7.5, 4.5, 8, 10), QColor(150, 200, 120), 1, QColor(150, 200, 120));
            break;
        case ToolPicture::Reload:
            p.setPen(QPen(kToolGreen, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2, 2, 12, 12), 60 * 16, 280 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(kToolGreen);
            p.drawPolygon(QPolygonF({QPointF(9, 0), QPointF(14, 3), QPointF(9, 6)}));
            break;
        case ToolPicture::Stop:
            p.setPen(QPen(kToolRed.darker(), 1));
            p.setBrush(kToolRed);
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            break;
        case ToolPicture::Page:
            page(p, QRectF(2.5, 1.5, 11, 13));
            break;
        case ToolPicture::ArrowRight:
            arrow(p, QPointF(2, 8), QPointF(14, 8), kToolBlue);
            break;
        case ToolPicture::ArrowLeft:
            arrow(p, QPointF(14, 8), QPointF(2, 8), kToolBlue);
            break;
        case ToolPicture::QuestionMark:
            p.setPen(Qt::NoPen);
            p.setBrush(kToolBlue);
            p.drawEllipse(QRectF(1, 1, 14, 14));
            letters(p, QRectF(1, 1, 14, 14), QStringLiteral("?"), Qt::white, 11);
            break;
        case ToolPicture::Blank:
            break;
    }
}

void drawFolder(QPainter& p, bool open) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    // Back with its tab.
    p.setBrush(QColor(230, 185, 60));
    p.drawPath(outline({{1.5, 3.5}, {6.5, 3.5}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13.5}, {1.5, 13.5}}));
    if (open) {
        // The front leans forward, showing the inside.
        p.setBrush(QColor(255, 225, 120));
        p.drawPath(outline({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
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

/// A stack of disks, the usual sign of a database.
void drawTreeDatabase(QPainter& p, bool lit) {
    const QRectF r(2.5, 1.5, 11, 13);
    const qreal cap = 4;
    p.setPen(QPen(QColor(40, 70, 120), 1));
    p.setBrush(lit ? QColor(120, 200, 255) : QColor(90, 130, 190));
    p.drawPath(drumSide(r, cap, true));
    p.setBrush(lit ? QColor(200, 240, 255) : QColor(150, 185, 230));
    p.drawEllipse(drumRim(r, cap));
    // The disks' rims.
    p.setBrush(Qt::NoBrush);
    p.drawArc(drumRim(r, cap, 4), 180 * 16, 180 * 16);
    p.drawArc(drumRim(r, cap, 7), 180 * 16, 180 * 16);
}

/// A grid with a title row.
void drawTreeTable(QPainter& p, bool lit) {
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

/// A key: a bow with its hole, a shaft and two teeth; the bow lies over the shaft or under it.
struct KeyShape {
    QRectF bow, shaft, tooth, shortTooth;
    bool bowOnTop;
};

void key(QPainter& p, const KeyShape& k) {
    if (!k.bowOnTop)
        p.drawEllipse(k.bow);
    p.drawRect(k.shaft);
    p.drawRect(k.tooth);
    p.drawRect(k.shortTooth);
    if (k.bowOnTop)
        p.drawEllipse(k.bow);
    p.setBrush(Qt::white);
    p.drawEllipse(k.bow.adjusted(2, 2, -2, -2));
}

/// The grant tables decide who may open what.
void drawTreeKey(QPainter& p, bool lit) {
    p.setPen(QPen(lit ? QColor(140, 100, 0) : QColor(80, 80, 90), 1));
    p.setBrush(lit ? QColor(250, 200, 40) : QColor(170, 170, 180));
    key(p, {QRectF(0.5, 4.5, 7, 7), QRectF(6.5, 6.5, 8, 3), QRectF(11.5, 9.5, 2, 3), QRectF(8.5, 9.5, 1.5, 2),
            true});
}

/// A key of the field list, in the given colour.
QIcon fieldKey(const QColor& colour) {
    return QIcon(canvas(kSmall, true, [&](QPainter& p) {
        p.setPen(QPen(colour.darker(160), 1.2));
        p.setBrush(colour);
        key(p, {QRectF(1.5, 4.5, 7, 7), QRectF(8, 7, 7, 2), QRectF(11, 9, 1.5, 3), QRectF(13.5, 9, 1.5, 2),
                false});
    }));
}

// The transfer screens' shapes scale with the picture; the selected image differs in colour only.
using Scaled = void (*)(QPainter&, qreal side, QColor accent);

QIcon scaledPair(int side, QColor normal, QColor selected, Scaled draw) {
    const auto at = [&](QColor accent) {
        return canvas(side, true, [&](QPainter& p) { draw(p, side, accent); });
    };
    return normalAndSelected(at(normal), at(selected));
}

void scaledDrum(QPainter& p, qreal side, QColor fill) {
    drum(p, QRectF(side * 0.15, side * 0.08, side * 0.7, side * 0.84), fill, side / 16, fill.lighter(130));
}

void scaledGrid(QPainter& p, qreal side, QColor head) {
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

void scaledField(QPainter& p, qreal side, QColor fill) {
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

const QColor kNodeDrum(210, 170, 40), kNodeDrumLit(240, 120, 30);
const QColor kNodeGrid(90, 130, 200), kNodeGridLit(30, 90, 220);

}  // namespace

QIcon toolPicture(ToolPicture picture) {
    return QIcon(canvas(kSmall, true, [&](QPainter& p) { drawTool(p, picture); }));
}

QIcon applicationIcon() {
    return QIcon(canvas(32, true, [](QPainter& p) {
        p.scale(2, 2);
        drum(p, QRectF(1.5, 1.5, 13, 13), QColor(60, 120, 190), 1, QColor(60, 120, 190));
        letters(p, QRectF(1, 4, 14, 12), QStringLiteral("V"), Qt::white, 9);
    }));
}

QPixmap aboutLogo() {
    // The name is measured in the font it is drawn with, so that no font cuts it.
    const QString name = QStringLiteral("VelkinSorvane");
    QFont font;
    font.setPixelSize(18);
    font.setBold(true);
    const int nameWidth = QFontMetrics(font).horizontalAdvance(name) + 8;
    constexpr int kPicture = 48;
    return canvas(QSize(kPicture + nameWidth, 48), true, [&](QPainter& p) {
        p.save();
        p.scale(3, 3);
        drum(p, QRectF(0.5, 0.5, 13, 15), QColor(60, 120, 190), 1, QColor(60, 120, 190));
        p.restore();
        letters(p, QRectF(kPicture, 0, nameWidth, 48), name, QColor(40, 70, 130), 18);
    });
}

QPixmap profilePicture(int index) {
    return canvas(kSmall, false, [&](QPainter& p) {
        if (index == 0 || index == 1)
            drawFolder(p, index == 1);
        else if (index == 2 || index == 3)
            drawComputer(p, index == 3);
    });
}

QIcon profileIcon(int kind) {
    return normalAndSelected(profilePicture(kind), profilePicture(kind + 1));
}

QPixmap treePicture(int index) {
    return canvas(kSmall, true, [&](QPainter& p) {
        const bool selected = index % 2 == 1;
        switch (index / 2) {
            case 0:
                drawTreeDatabase(p, selected);
                break;
            case 1:
                drawTreeTable(p, selected);
                break;
            case 2:
                drawTreeKey(p, selected);
                break;
            default:
                break;
        }
    });
}

QIcon treeIcon(int kind) {
    return normalAndSelected(treePicture(kind), treePicture(kind + 1));
}

QIcon primaryKeyPicture() {
    return fieldKey(QColor(235, 190, 40));
}

QIcon multipleKeyPicture() {
    return fieldKey(QColor(150, 170, 200));
}

QIcon plainFieldPicture() {
    return QIcon(canvas(kSmall, false, [](QPainter& p) {
        p.setPen(QColor(90, 90, 120));
        p.setBrush(QColor(220, 228, 245));
        for (int y = 1; y < 15; y += 5)
            p.drawRect(4, y, 8, 4);
    }));
}

QIcon databaseNodePicture() {
    return scaledPair(kSmall, kNodeDrum, kNodeDrumLit, scaledDrum);
}
QIcon tableNodePicture() {
    return scaledPair(kSmall, kNodeGrid, kNodeGridLit, scaledGrid);
}
QIcon fieldNodePicture() {
    return scaledPair(kSmall, QColor(60, 150, 90), QColor(20, 120, 50), scaledField);
}
QIcon largeDatabasePicture() {
    return scaledPair(32, kNodeDrum, kNodeDrumLit, scaledDrum);
}
QIcon largeTablePicture() {
    return scaledPair(32, kNodeGrid, kNodeGridLit, scaledGrid);
}

}  // namespace velkin
