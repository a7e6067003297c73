#include "ChartPictures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

#include "privileges/PrivilegePictures.h"

namespace velkin {

namespace {

const QColor kOutline(40, 40, 48);

QPixmap draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    paint(p);
    p.end();
    return pixmap;
}

/// Two rack units stacked, each with a drive slot and a lamp, on a foot.
QPixmap serverPicture() {
    return draw([](QPainter& p) {
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

/// A drum of data: a cylinder with two bands.
QPixmap databasePicture() {
    return draw([](QPainter& p) {
        QLinearGradient body(4, 0, 28, 0);
        body.setColorAt(0, QColor(250, 210, 90));
        body.setColorAt(1, QColor(200, 140, 20));
        const qreal left = 4, right = 28, top = 6, bottom = 26, rim = 5;
        QPainterPath drum;
        drum.moveTo(left, top);
        drum.lineTo(left, bottom);
        drum.arcTo(QRectF(left, bottom - rim, right - left, 2 * rim), 180, 180);
        drum.lineTo(right, top);
        drum.closeSubpath();
        p.setPen(QPen(QColor(120, 80, 10), 1));
        p.setBrush(body);
        p.drawPath(drum);
        p.setBrush(Qt::NoBrush);
        for (qreal band : {top + 7, top + 14})
            p.drawArc(QRectF(left, band - rim, right - left, 2 * rim), 180 * 16, 180 * 16);
        p.setBrush(QColor(255, 235, 160));
        p.drawEllipse(QRectF(left, top - rim, right - left, 2 * rim));
    });
}

/// A sheet of rows and columns under a blue title row.
QPixmap tablePicture() {
    return draw([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
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

}  // namespace

QPixmap chartPicture(ChartPicture picture) {
    switch (picture) {
        case ChartPicture::Server:
            return serverPicture();
        case ChartPicture::Database:
            return databasePicture();
        case ChartPicture::Table:
            return tablePicture();
        case ChartPicture::User:
            return userPicture().pixmap(32, 32);
        case ChartPicture::Permitted:
            return restrictedHostPicture().pixmap(32, 32);
        case ChartPicture::Refused:
            return refusedHostPicture().pixmap(32, 32);
    }
    return QPixmap();
}

QStringList chartFontFamilies() {
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
}

QFont chartFont(const ChartFont& font) {
    QFont f;
    f.setFamilies(chartFontFamilies());
    f.setPixelSize(font.height);
    f.setWeight(static_cast<QFont::Weight>(font.weight));
    f.setItalic(font.italic);
    return f;
}

void paintChart(QPainter& painter, const ChartLayout& layout) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const ChartLine& line : layout.lines) {
        painter.setPen(QPen(line.colour, line.thickness, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(line.from, line.to);
    }
    for (const ChartIcon& icon : layout.icons)
        painter.drawPixmap(icon.at, chartPicture(icon.picture));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const ChartText& text : layout.texts) {
        painter.setFont(chartFont(text.font));
        painter.setPen(text.colour);
        // A chart text is placed by the top of its line, the painter writes on the base line.
        painter.drawText(QPoint(text.at.x(), text.at.y() + painter.fontMetrics().ascent()), text.text);
    }
    painter.restore();
}

QImage renderChart(const ChartLayout& layout, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChart(painter, layout);
    painter.end();
    return image;
}

}  // namespace velkin
