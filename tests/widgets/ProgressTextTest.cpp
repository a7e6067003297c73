#include <gtest/gtest.h>

#include "widgets/ProgressText.h"

using namespace velkin;

namespace {

ProgressFigures figures(std::uint64_t done, std::uint64_t total, bool estimated, std::int64_t ms,
                        bool finished = false) {
    ProgressFigures f;
    f.done = done;
    f.total = total;
    f.estimated = estimated;
    f.elapsedMs = ms;
    f.finished = finished;
    return f;
}

}  // namespace

TEST(ProgressText, TellsRateElapsedAndTimeLeft) {
    EXPECT_EQ("120,000 of about 1,000,000 rows, 40,000 rows/s, 3 s elapsed, about 22 s left",
              progressText(figures(120000, 1000000, true, 3000)));
    EXPECT_EQ("1,500 of 6,000 rows, 500 rows/s, 3 s elapsed, about 9 s left",
              progressText(figures(1500, 6000, false, 3000)));
    EXPECT_EQ(150, progressPermille(figures(120000, 800000, true, 3000)));
    // Nothing done yet: no rate, so no time left either.
    EXPECT_EQ("0 of 6,000 rows, 0 s elapsed", progressText(figures(0, 6000, false, 0)));
    EXPECT_EQ("7 min 30 s", durationText(450));
    EXPECT_EQ("2 h 5 min", durationText(7500));
    EXPECT_EQ("1,234,567", groupedNumber(1234567));
    EXPECT_EQ("999", groupedNumber(999));
}

TEST(ProgressText, AGuessPassedEarlyNeverFillsTheBar) {
    // Rows beyond a low guess: the bar waits short of full and the line stops promising a time.
    EXPECT_EQ(999, progressPermille(figures(5000, 4000, true, 1000)));
    EXPECT_EQ(999, progressPermille(figures(4000, 4000, false, 1000)));
    EXPECT_EQ("5,000 rows (about 4,000 expected), 5,000 rows/s, 1 s elapsed",
              progressText(figures(5000, 4000, true, 1000)));
    // Only the end fills it, and then says what it took.
    EXPECT_EQ(1000, progressPermille(figures(5000, 5000, true, 2000, true)));
    EXPECT_EQ("5,000 rows in 2 s, 2,500 rows/s", progressText(figures(5000, 5000, true, 2000, true)));
}

TEST(ProgressText, WithoutATotalTellsCountAndRateOnly) {
    EXPECT_EQ(-1, progressPermille(figures(30000, 0, false, 2000)));
    EXPECT_EQ("30,000 rows, 15,000 rows/s, 2 s elapsed", progressText(figures(30000, 0, false, 2000)));
    EXPECT_EQ("12 records, 3 records/s, 4 s elapsed", progressText(figures(12, 0, false, 4000), "records"));
}
