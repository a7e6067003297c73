#include <gtest/gtest.h>

#include "MonitorTesting.h"
#include "monitor/LineChartCtrl.h"

using namespace velkin;
using namespace velkin::test;

namespace {

constexpr int kW = 64;
constexpr int kH = 40;
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

/// A chart of a known size, as a dialog fixes it before the first series.
struct Chart {
    Chart() { ctrl.setFixedSize(kW, kH); }
    QImage picture() { return rendered(ctrl); }
    LineChartCtrl ctrl;
};

bool isGrid(const QImage& image, int x, int y) {
    return colourAt(image, x, y) == LineChartCtrl::gridColour();
}
bool isBlack(const QImage& image, int x, int y) {
    return colourAt(image, x, y) == QColor(0, 0, 0);
}

/// Columns among the last `width` ones that are grid-green on every row between two hatch lines.
std::vector<int> verticalGridColumns(const QImage& image, int width) {
    std::vector<int> columns;
    for (int x = image.width() - width; x < image.width(); ++x) {
        bool line = true;
        for (int y = 1; y < LineChartCtrl::kGridSpacing; ++y)
            line = line && isGrid(image, x, y);
        if (line)
            columns.push_back(x);
    }
    return columns;
}

}  // namespace

TEST(LineChartCtrl, ShowsClassBackgroundUntilTheFirstSeriesThenACrossHatch) {
    Chart chart;
    EXPECT_EQ(chart.ctrl.objectName(), QStringLiteral("LINE_CHART_CTRL"));
    EXPECT_TRUE(chart.ctrl.backBuffer().isNull());
    chart.ctrl.Advance();  // nothing to scroll yet
    EXPECT_TRUE(chart.ctrl.backBuffer().isNull());
    EXPECT_EQ(colourAt(chart.picture(), 10, 10), LineChartCtrl::classBackgroundColour());

    ASSERT_TRUE(chart.ctrl.AddSeries(kRed, 100, 0));
    EXPECT_EQ(chart.ctrl.backBuffer().size(), QSize(kW, kH));
    const QImage p = chart.picture();
    // Lines every 8 pixels both ways, black between them.
    EXPECT_TRUE(isGrid(p, 0, 0));
    EXPECT_TRUE(isGrid(p, 8, 3));
    EXPECT_TRUE(isGrid(p, 3, 16));
    EXPECT_TRUE(isGrid(p, 56, 37));
    EXPECT_TRUE(isBlack(p, 3, 3));
    EXPECT_TRUE(isBlack(p, 12, 13));
    EXPECT_TRUE(isBlack(p, kW - 1, kH - 1));
}

TEST(LineChartCtrl, AdvanceScrollsFourPixelsAndDrawsTheFirstSegmentFromTheBottomToTheValue) {
    Chart chart;
    chart.ctrl.AddSeries(kRed, 100, 0);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 100), 0u);
    chart.ctrl.Advance();
    const QImage p = chart.picture();

    // The hatch moved left by one step: the line at x = 8 is now at x = 4.
    EXPECT_TRUE(isGrid(p, 4, 3));
    EXPECT_TRUE(isBlack(p, 8, 3));
    // The new strip keeps only horizontal lines (and perhaps the vertical one at w - 2).
    EXPECT_TRUE(isGrid(p, kW - 4, 8));
    EXPECT_TRUE(isBlack(p, kW - 4, 5));
    // One segment from the bottom row at w - 5 to the top edge at w - 1.
    EXPECT_EQ(colourAt(p, kW - 5, kH - 1), kRed);
    EXPECT_EQ(colourAt(p, kW - 1, 0), kRed);
    // Nothing of the segment strays to the left of its step.
    for (int y = 0; y < kH; ++y)
        EXPECT_NE(colourAt(p, kW - 6, y), kRed) << y;
}

TEST(LineChartCtrl, ValuesAreClampedToTheBoundsAndPlacedByTheirShareOfTheRange) {
    Chart chart;
    chart.ctrl.AddSeries(kRed, 100, 0);
    chart.ctrl.AddSeries(kBlue, 100, 0);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 500), 0u);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 50), 100u) << "500 was stored as the upper bound";
    EXPECT_EQ(chart.ctrl.SetSeriesValue(1, 25), 0u);
    chart.ctrl.Advance();
    QImage p = chart.picture();
    // h * (100 - 50) / 100 = 20 and h * (100 - 25) / 100 = 30, truncated.
    EXPECT_EQ(colourAt(p, kW - 1, 20), kRed);
    EXPECT_EQ(colourAt(p, kW - 1, 30), kBlue);
    // The red segment came down from the top (previous value 100), the blue one up from the bottom.
    EXPECT_EQ(colourAt(p, kW - 5, 0), kRed);
    EXPECT_EQ(colourAt(p, kW - 5, kH - 1), kBlue);

    // A value below a raised lower bound is stored as that bound and drawn on the bottom row.
    EXPECT_EQ(chart.ctrl.SetSeriesRange(0, 100, 20), 1);
    chart.ctrl.SetSeriesValue(0, 5);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 5), 20u);
    chart.ctrl.Advance();
    p = chart.picture();
    EXPECT_EQ(colourAt(p, kW - 1, kH - 1), kRed);
    // The later series is drawn over the earlier one where they meet.
    chart.ctrl.SetSeriesRange(0, 100, 0);
    chart.ctrl.SetSeriesValue(0, 60);
    chart.ctrl.SetSeriesValue(1, 60);
    chart.ctrl.SetSeriesValue(0, 60);
    chart.ctrl.SetSeriesValue(1, 60);
    chart.ctrl.Advance();
    p = chart.picture();
    EXPECT_EQ(colourAt(p, kW - 3, 16), kBlue);
}

TEST(LineChartCtrl, ZeroOrInvertedRangesAndValuesAboveALoweredBoundLieOnTheEdges) {
    EXPECT_EQ(LineChartCtrl::valueRow(100, 100, 0, kH), 0);
    EXPECT_EQ(LineChartCtrl::valueRow(0, 100, 0, kH), kH - 1);
    EXPECT_EQ(LineChartCtrl::valueRow(75, 100, 0, kH), 10);
    EXPECT_EQ(LineChartCtrl::valueRow(1, 3, 0, kH), 26);
    EXPECT_EQ(LineChartCtrl::valueRow(0, 0, 0, kH), 0);
    EXPECT_EQ(LineChartCtrl::valueRow(7, 0, 0, kH), 0);
    EXPECT_EQ(LineChartCtrl::valueRow(150, 100, 0, kH), 0);
    EXPECT_EQ(LineChartCtrl::valueRow(60, 100, 20, kH), 20);
    EXPECT_EQ(LineChartCtrl::valueRow(30, 10, 50, kH), 0);
    EXPECT_EQ(LineChartCtrl::valueRow(5, 10, 50, kH), kH - 1);

    Chart chart;
    chart.ctrl.AddSeries(kRed, 100, 0);
    chart.ctrl.SetSeriesValue(0, 80);
    // The stored 80 now lies above the upper bound; it is drawn at the top, not beyond it.
    chart.ctrl.SetSeriesRange(0, 50, 0);
    chart.ctrl.Advance();
    QImage p = chart.picture();
    EXPECT_EQ(colourAt(p, kW - 1, 0), kRed);

    // An emptied range: every value is its upper bound, drawn at the top, and nothing divides by zero.
    chart.ctrl.SetSeriesRange(0, 0, 0);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 7), 80u);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 7), 0u);
    chart.ctrl.Advance();
    p = chart.picture();
    EXPECT_EQ(colourAt(p, kW - 1, 0), kRed);
    EXPECT_EQ(colourAt(p, kW - 5, 0), kRed);
}

TEST(LineChartCtrl, TwoStepsDrawExactlyOneVerticalGridLineSharedByAllCharts) {
    Chart chart;
    chart.ctrl.AddSeries(kRed, 100, 0);
    // The series stays on the top row, out of the rows that are looked at.
    chart.ctrl.SetSeriesValue(0, 100);
    chart.ctrl.SetSeriesValue(0, 100);
    for (int step = 0; step < 4; ++step)
        chart.ctrl.Advance();
    QImage p = chart.picture();
    EXPECT_EQ(verticalGridColumns(p, 8).size(), 1u);
    const std::vector<int> lines = verticalGridColumns(p, 16);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1] - lines[0], 8);
    EXPECT_TRUE(lines[1] == kW - 2 || lines[1] == kW - 6);

    // Another chart's step turns the same toggle: this chart's next step then repeats its last one.
    Chart other;
    other.ctrl.AddSeries(kBlue, 100, 0);
    chart.ctrl.Advance();
    const bool lineBefore = isGrid(chart.picture(), kW - 2, 3);
    other.ctrl.Advance();
    chart.ctrl.Advance();
    EXPECT_EQ(isGrid(chart.picture(), kW - 2, 3), lineBefore);
}

TEST(LineChartCtrl, IndexesThatNameNoSeriesReturnZeroAndChangeNothing) {
    Chart chart;
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 5), 0u);
    EXPECT_EQ(chart.ctrl.SetSeriesRange(0, 5, 0), 0);
    chart.ctrl.AddSeries(kRed, 100, 0);
    chart.ctrl.SetSeriesValue(0, 42);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(1, 5), 0u);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(-1, 5), 0u);
    EXPECT_EQ(chart.ctrl.SetSeriesRange(1, 5, 1), 0);
    EXPECT_EQ(chart.ctrl.SetSeriesRange(-1, 5, 1), 0);
    EXPECT_EQ(chart.ctrl.seriesCount(), 1);
    EXPECT_EQ(chart.ctrl.upperBound(0), 100u);
    EXPECT_EQ(chart.ctrl.lowerBound(0), 0u);
    EXPECT_EQ(chart.ctrl.SetSeriesValue(0, 1), 42u);
}
