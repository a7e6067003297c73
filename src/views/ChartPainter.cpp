#include "ChartPainter.h"

#include <QIcon>
#include <QPainter>

#include "widgets/Pictures.h"

namespace velkin {

QPixmap chartPicture(ChartPicture picture) {
    switch (picture) {
        case ChartPicture::Server:
            return chartServerPicture();
        case ChartPicture::Database:
            return chartDatabasePicture();
        case ChartPicture::Table:
            return chartTablePicture();
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
