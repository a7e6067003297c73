#include <gtest/gtest.h>

#include <QApplication>

#include "MonitorTesting.h"
#include "monitor/Gauge.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const QColor kPaper(200, 200, 200);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

/// One gauge at x = 100 on a plain image, as the dialog draws its first one.
QImage drawn(double percent) {
    QImage image(640, 330, QImage::Format_RGB32);
    image.fill(kPaper);
    GaugeShape shape;
    shape.x = 100;
    drawGauge(image, shape, percent, QApplication::font());
    return image;
}

int count(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += colourAt(image, x, y) == colour;
    return n;
}

/// The points inside the gauge's faces at which the tests look: top face centre, left and right
/// faces well above a low level, and just above the bottom edge at the middle of each side face.
const QPoint kTop(125, 100), kLeftHigh(112, 200), kRightHigh(138, 200), kLeftLow(112, 303),
    kRightLow(138, 303);

}  // namespace

TEST(Gauge, LabelsCarryTheTruePercentageLeftAligned) {
    EXPECT_EQ(gaugeLabel(0.5), "0.50 %");
    EXPECT_EQ(gaugeLabel(0), "0.00 %");
    EXPECT_EQ(gaugeLabel(100), "100.00%");
    EXPECT_EQ(gaugeLabel(37.126), "37.13%");
    GaugeShape shape;
    EXPECT_EQ(gaugeLevelRow(shape, 50), 200);
    EXPECT_EQ(gaugeLevelRow(shape, 0.5), 296) << "kept 2 % above the bottom";
    EXPECT_EQ(gaugeLevelRow(shape, 0), 296);
    EXPECT_EQ(gaugeLevelRow(shape, 99.5), 104) << "kept at 98 %";
}

TEST(Gauge, HalfFullIsRedBelowTheLevelAndBlueAboveWithABlueTop) {
    const QImage image = drawn(50);
    EXPECT_EQ(colourAt(image, kTop.x(), kTop.y()), kBlue);
    EXPECT_EQ(colourAt(image, 112, 150), kBlue);
    EXPECT_EQ(colourAt(image, 138, 150), kBlue);
    EXPECT_EQ(colourAt(image, 112, 250), kRed);
    EXPECT_EQ(colourAt(image, 138, 250), kRed);
    // The level line runs from (x, 200) down to the middle edge at (x + W/2, 210).
    EXPECT_EQ(colourAt(image, 100, 200), kBlack);
    EXPECT_EQ(colourAt(image, 125, 210), kBlack);
    // The leader rises from the right edge at the level and runs across at 10 pixels higher.
    EXPECT_EQ(colourAt(image, 200, 190), kBlack);
    // Fills stop at the outline: nothing outside the body changed colour.
    EXPECT_EQ(colourAt(image, 95, 200), kPaper);
    EXPECT_EQ(colourAt(image, 155, 250), kPaper);
    EXPECT_EQ(colourAt(image, 125, 85), kPaper);
    EXPECT_EQ(colourAt(image, 125, 315), kPaper);
}

TEST(Gauge, HalfAPercentDrawsItsLevelAtTwoPercentButLabelsHalfAPercent) {
    const QImage image = drawn(0.5);
    EXPECT_EQ(colourAt(image, kTop.x(), kTop.y()), kBlue);
    EXPECT_EQ(colourAt(image, kLeftHigh.x(), kLeftHigh.y()), kBlue);
    EXPECT_EQ(colourAt(image, kRightHigh.x(), kRightHigh.y()), kBlue);
    // At 0.5 % the level would lie at row 299 and leave these blue; at 2 % (row 296) they are red.
    EXPECT_EQ(colourAt(image, kLeftLow.x(), kLeftLow.y()), kRed);
    EXPECT_EQ(colourAt(image, kRightLow.x(), kRightLow.y()), kRed);
    EXPECT_EQ(colourAt(image, 100, 296), kBlack);
    EXPECT_EQ(colourAt(image, 200, 286), kBlack) << "leader at the 2 % level";
    // The label "0.50 %" is written above the leader, right of the gauge.
    int ink = 0;
    for (int y = 266; y < 286; ++y)
        for (int x = 162; x < 262; ++x)
            ink += colourAt(image, x, y) != kPaper;
    EXPECT_GT(ink, 10);
}

TEST(Gauge, ZeroIsAllBlueWithoutLevelAndHundredAllRedIncludingTheTop) {
    const QImage empty = drawn(0);
    for (const QPoint& at : {kTop, kLeftHigh, kRightHigh, kLeftLow, kRightLow})
        EXPECT_EQ(colourAt(empty, at.x(), at.y()), kBlue) << at.x() << "," << at.y();
    EXPECT_EQ(count(empty, kRed), 0);

    const QImage full = drawn(100);
    for (const QPoint& at : {kTop, kLeftHigh, kRightHigh, kLeftLow, kRightLow})
        EXPECT_EQ(colourAt(full, at.x(), at.y()), kRed) << at.x() << "," << at.y();
    EXPECT_EQ(count(full, kBlue), 0);
    for (int y = 110; y <= 300; ++y)
        EXPECT_NE(colourAt(full, 112, y), kBlack) << "no level line, row " << y;
}
