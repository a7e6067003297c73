#include "RangedChart.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "LineChartCtrl.h"
#include "MonitorText.h"
#include "session/SqlText.h"

namespace velkin {

std::uint32_t RangedChart::upper() const {
    return rangeBound(u8(range->text()));
}

RangedChart makeRangedChart(QWidget* owner, const QString& caption, const QString& rangeLabel,
                            std::uint32_t initialRange) {
    RangedChart made;
    made.chart = new LineChartCtrl(owner);
    // The chart keeps the size it had when its first series came; it is fixed before that.
    made.chart->setFixedSize(320, 120);
    made.range = new QLineEdit(QString::number(initialRange), owner);
    made.range->setObjectName(rangeLabel);
    made.range->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), made.range));
    made.range->setFixedWidth(64);
    QObject::connect(made.range, &QLineEdit::textChanged, made.chart, [made] {
        const std::uint32_t upper = made.upper();
        for (int i = 0; i < made.chart->seriesCount(); ++i)
            made.chart->SetSeriesRange(i, upper, 0);
    });
    made.column = new QVBoxLayout;
    made.column->addWidget(new QLabel(caption, owner));
    made.column->addWidget(made.chart);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(rangeLabel, owner));
    row->addWidget(made.range);
    row->addStretch();
    made.column->addLayout(row);
    return made;
}

}  // namespace velkin
