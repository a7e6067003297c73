#include <gtest/gtest.h>

#include "transfer/CsvFormat.h"
#include "transfer/LoadDataStatement.h"
#include "transfer/TextModeFile.h"

using namespace velkin;

namespace {
using Values = std::vector<std::optional<std::string_view>>;
}

TEST(CsvFormat, TwelvePieceForms) {
    const std::optional<std::string_view> v = std::string_view("v");
    struct Case {
        CsvSeparator separator;
        CsvEnclosure enclosure;
        const char* piece;
    };
    const Case cases[] = {
        {CsvSeparator::Comma, CsvEnclosure::None, "v,"},
        {CsvSeparator::Comma, CsvEnclosure::Single, "'v',"},
        {CsvSeparator::Comma, CsvEnclosure::Double, "\"v\","},
        {CsvSeparator::Comma, CsvEnclosure::User, "<<v<<,"},
        {CsvSeparator::Tab, CsvEnclosure::None, "v\t"},
        {CsvSeparator::Tab, CsvEnclosure::Single, "'v'\t"},
        {CsvSeparator::Tab, CsvEnclosure::Double, "\"v\"\t"},
        {CsvSeparator::Tab, CsvEnclosure::User, "<<v<<\t"},
        {CsvSeparator::User, CsvEnclosure::None, "v;;"},
        {CsvSeparator::User, CsvEnclosure::Single, "'v';;"},
        {CsvSeparator::User, CsvEnclosure::Double, "\"v\";;"},
        {CsvSeparator::User, CsvEnclosure::User, "<<v<<;;"},
    };
    for (const Case& c : cases) {
        CsvFormat format(c.separator, c.enclosure, ";;", "<<");
        EXPECT_EQ(c.piece, format.piece(v))
            << static_cast<int>(c.separator) << "/" << static_cast<int>(c.enclosure);
    }
    // The user texts count only when their own choice is made.
    EXPECT_EQ("v,", CsvFormat(CsvSeparator::Comma, CsvEnclosure::None, ";;", "<<").piece(v));
}

TEST(CsvFormat, LinesLoseExactlyTheirLastByte) {
    const Values row{std::string_view("1"), std::string_view("abc"), std::nullopt};
    EXPECT_EQ("1,abc,(null)\r\n", csvSampleLine(CsvFormat(CsvSeparator::Comma, CsvEnclosure::None), row));
    EXPECT_EQ("'a'\t'b'", CsvFormat(CsvSeparator::Tab, CsvEnclosure::Single)
                              .line({std::string_view("a"), std::string_view("b")}));
    EXPECT_EQ("a::b:", CsvFormat(CsvSeparator::User, CsvEnclosure::None, "::")
                           .line({std::string_view("a"), std::string_view("b")}));
    EXPECT_EQ("ab", CsvFormat(CsvSeparator::User, CsvEnclosure::None, "")
                        .line({std::string_view("a"), std::string_view("bc")}));
    EXPECT_EQ("a,b,c,d", CsvFormat(CsvSeparator::Comma, CsvEnclosure::None)
                             .line({std::string_view("a,b"), std::string_view("c,d")}));
    EXPECT_EQ("\"x\"\"y\"",
              CsvFormat(CsvSeparator::Comma, CsvEnclosure::Double).line({std::string_view("x\"\"y")}));
    EXPECT_EQ("", CsvFormat(CsvSeparator::User, CsvEnclosure::None, "").line({std::string_view("")}));
    EXPECT_EQ("Select * from d.t Limit 6", csvSampleStatement("Select * from d.t"));
    EXPECT_EQ("Under a file output・・・1001 Record", csvProgressText(1001));
}

TEST(CsvFormat, TextModeWritesEveryLineFeedAsCarriageReturnAndLineFeed) {
    EXPECT_EQ("a\r\nb\r\r\n", toTextModeLineEnds("a\nb\r\n"));
}

TEST(LoadDataStatement, ComposesTheClausesInOrderWithEscapedTexts) {
    // An escape that marks what it touched shows which texts are escaped and which are not.
    const EscapeText mark = [](std::string_view s) { return "<" + std::string(s) + ">"; };
    LoadDataOptions all;
    all.fileName = "f.csv";
    all.lowPriority = all.local = all.replace = true;
    all.target = "d.t";
    all.fieldsTerminated = ",";
    all.fieldsEnclosed = "\"";
    all.fieldsEscaped = "\\";
    all.linesTerminated = "\r\n";
    all.ignoreLines = "2";
    EXPECT_EQ(
        "LOAD DATA LOW_PRIORITY LOCAL INFILE '<f.csv>' REPLACE INTO TABLE d.t FIELDS TERMINATED BY '<,>' "
        "OPTIONALLY ENCLOSED BY '<\">' ESCAPED BY '<\\>' LINES TERMINATED BY '<\r\n>' IGNORE 2 LINES",
        loadDataStatement(all, mark));
}
