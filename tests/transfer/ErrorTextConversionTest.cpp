#include <gtest/gtest.h>

#include "transfer/ErrorTextConversion.h"

using namespace velkin;

namespace {
const std::string kToDouble = "\x1b$B";
const std::string kToSingle = "\x1b(B";
}  // namespace

TEST(ErrorTextConversion, JisPairBetweenTheEscapesBecomesOneShiftJisCharacter) {
    // "$\"" is the JIS X 0208 code of a hiragana a, 0x82A0 in Shift_JIS.
    EXPECT_EQ(std::string("x\x82\xA0y"), convertErrorText("x" + kToDouble + "$\"" + kToSingle + "y"));
    EXPECT_EQ(QString::fromUtf8("xあy"),
              displayErrorText(convertErrorText("x" + kToDouble + "$\"" + kToSingle + "y")));
    // Two pairs, one from each row parity of the code table, and a pair of the upper range.
    EXPECT_EQ(std::string("\x88\x9F\x93\xFA\xE0\x40"), convertErrorText(kToDouble + "0!F|_!" + kToSingle));
    EXPECT_EQ(QString::fromUtf8("亜日"), displayErrorText(convertErrorText(kToDouble + "0!F|" + kToSingle)));
    EXPECT_EQ(0x82A0u, jisToShiftJis(0x2422));
    EXPECT_EQ(0x889Fu, jisToShiftJis(0x3021));
    EXPECT_EQ(0u, jisToShiftJis(0x2420));
}

TEST(ErrorTextConversion, BareLineFeedsBecomeCarriageReturnAndLineFeed) {
    EXPECT_EQ("a\r\nb", convertErrorText("a\nb"));
    EXPECT_EQ("\r\nstart", convertErrorText("\nstart"));
    EXPECT_EQ("kept\r\nas is", convertErrorText("kept\r\nas is"));
    EXPECT_EQ("two\r\n\r\n", convertErrorText("two\n\n"));
    // A line feed inside double-byte mode is no pair: it is handled as a single byte.
    EXPECT_EQ(std::string("\x82\xA0\r\n"), convertErrorText(kToDouble + "$\"\n"));
    EXPECT_EQ("Table 'x' doesn't exist", convertErrorText("Table 'x' doesn't exist"));
}

TEST(ErrorTextConversion, SecondByteOutsideTheRangeWritesTwoZeroBytesThatEndTheShownText) {
    const std::string converted = convertErrorText("ab" + kToDouble + "$ " + kToSingle + "cd");
    EXPECT_EQ(std::string("ab\0\0cd", 6), converted);
    EXPECT_EQ(QStringLiteral("ab"), displayErrorText(converted));
    // A pair cut short by the end of the text ends there too.
    EXPECT_EQ(std::string("a\0\0", 3), convertErrorText("a" + kToDouble + "$"));
}

TEST(ErrorTextConversion, OtherCodePagesKeepThePairAndOtherEscapesAreCopied) {
    EXPECT_EQ("x$\"y", convertErrorText("x" + kToDouble + "$\"" + kToSingle + "y", false));
    EXPECT_EQ("\x1b$@$\"", convertErrorText("\x1b$@$\""));
    // Text in the session's own character set passes unchanged and reads as itself.
    EXPECT_EQ(QString::fromUtf8("表 'あ' がない"), displayErrorText(convertErrorText("表 'あ' がない")));
}
