#pragma once

#include <QString>
#include <cstdint>

class QLineEdit;
class QVBoxLayout;
class QWidget;

namespace velkin {

class LineChartCtrl;

/// A running chart as the cluster screens show one: its caption above, and below it a range box
/// (named by its label) whose number is the upper bound of every series, applied as it is typed.
struct RangedChart {
    LineChartCtrl* chart = nullptr;
    QLineEdit* range = nullptr;
    /// The caption, the chart and the range row, for the screen's layout.
    QVBoxLayout* column = nullptr;

    /// The upper bound the range box holds now, for a series added later.
    std::uint32_t upper() const;
};

RangedChart makeRangedChart(QWidget* owner, const QString& caption, const QString& rangeLabel,
                            std::uint32_t initialRange);

}  // namespace velkin
