#include <gtest/gtest.h>

#include <vector>

#include "app/FindInList.h"

using namespace velkin;

namespace {
struct Grid {
    std::vector<std::vector<QString>> rows;
    FindResult find(int start, FindRequest r) const {
        int columns = rows.empty() ? 0 : static_cast<int>(rows[0].size());
        return findInRows(
            static_cast<int>(rows.size()), columns, [this](int row, int column) { return rows[row][column]; },
            start, r);
    }
};
FindRequest req(const char* text, bool down = true, bool matchCase = false, bool wholeWord = false) {
    return FindRequest{QString::fromUtf8(text), down, matchCase, wholeWord};
}
}  // namespace

TEST(FindInList, DirectionStartAndMessages) {
    Grid g{{{"alpha", "one"}, {"beta", "two"}, {"Gamma", "alphabet"}}};
    EXPECT_EQ(0, g.find(-1, req("alpha")).row) << "no hot row: downward starts at row 0";
    EXPECT_EQ(2, g.find(0, req("alpha")).row) << "the hot row itself is not searched";
    EXPECT_EQ(0, g.find(1, req("alpha", false)).row) << "upward from the second row searches row 0";
    EXPECT_EQ(FindOutcome::NotFound, g.find(0, req("alpha", false)).outcome) << "nothing above row 0";
    EXPECT_EQ(FindOutcome::NotFound, g.find(2, req("alpha")).outcome) << "nothing below the last row";
    EXPECT_EQ(FindOutcome::NoMore, g.find(3, req("alpha")).outcome);
    EXPECT_EQ("It cannot search any more.", findMessage(FindOutcome::NoMore));
    EXPECT_EQ("A character sequence was not found.", findMessage(FindOutcome::NotFound));

    Grid empty;
    EXPECT_EQ(FindOutcome::NoMore, empty.find(0, req("x")).outcome);
    EXPECT_EQ(FindOutcome::NotFound, empty.find(-1, req("x")).outcome);
}

TEST(FindInList, CaseAndWholeWord) {
    Grid g{{{"x", "GAMMA ray"}, {"gamma", "y"}}};
    EXPECT_EQ(0, g.find(-1, req("gamma")).row) << "without match case both sides are upper-cased";
    EXPECT_EQ(1, g.find(-1, req("gamma", true, true)).row);
    EXPECT_EQ(1, g.find(-1, req("GAMMA", true, false, true)).row) << "a whole word must equal the cell";
    EXPECT_EQ(FindOutcome::NotFound, g.find(-1, req("Gamma", true, true, true)).outcome);
}

TEST(FindInList, OnlyTheFirst256ColumnsAreSearched) {
    Grid g;
    g.rows.push_back(std::vector<QString>(300, QStringLiteral("-")));
    g.rows[0][255] = QStringLiteral("last");
    g.rows[0][256] = QStringLiteral("beyond");
    EXPECT_EQ(0, g.find(-1, req("last")).row);
    EXPECT_EQ(FindOutcome::NotFound, g.find(-1, req("beyond")).outcome);
}
