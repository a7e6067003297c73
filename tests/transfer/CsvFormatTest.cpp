#include <gtest/gtest.h>

#include "session/Connection.h"
#include "transfer/CsvFormat.h"
#include "transfer/LoadDataStatement.h"
#include "transfer/TextModeFile.h"
#include "transfer/TransferMessages.h"

using namespace velkin;

namespace {

using Values = std::vector<std::optional<std::string_view>>;

/// The record the export writes for these values, through a row as the server hands it over.
std::string record(const CsvFormat& format, const Values& values) {
    std::vector<char*> cells;
    std::vector<unsigned long> lengths;
    for (const auto& value : values) {
        cells.push_back(value ? const_cast<char*>(value->data()) : nullptr);
        lengths.push_back(value ? value->size() : 0);
    }
    std::string out;
    appendCsvRecord(out, format, Row(cells.data(), lengths.data(), static_cast<unsigned>(values.size())));
    return out;
}

/// The same record without its line end, which every record has.
std::string line(const CsvFormat& format, const Values& values) {
    std::string text = record(format, values);
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    return text.substr(0, text.size() - 2);
}

}  // namespace

TEST(CsvFormat, TwelveLineForms) {
    const Values row{std::string_view("v"), std::string_view("w")};
    struct Case {
        CsvSeparator separator;
        CsvEnclosure enclosure;
        const char* line;
    };
    const Case cases[] = {
        {CsvSeparator::Comma, CsvEnclosure::None, "v,w"},
        {CsvSeparator::Comma, CsvEnclosure::Single, "'v','w'"},
        {CsvSeparator::Comma, CsvEnclosure::Double, "\"v\",\"w\""},
        {CsvSeparator::Comma, CsvEnclosure::User, "<<v<<,<<w<<"},
        {CsvSeparator::Tab, CsvEnclosure::None, "v\tw"},
        {CsvSeparator::Tab, CsvEnclosure::Single, "'v'\t'w'"},
        {CsvSeparator::Tab, CsvEnclosure::Double, "\"v\"\t\"w\""},
        {CsvSeparator::Tab, CsvEnclosure::User, "<<v<<\t<<w<<"},
        {CsvSeparator::User, CsvEnclosure::None, "v;;w"},
        {CsvSeparator::User, CsvEnclosure::Single, "'v';;'w'"},
        {CsvSeparator::User, CsvEnclosure::Double, "\"v\";;\"w\""},
        {CsvSeparator::User, CsvEnclosure::User, "<<v<<;;<<w<<"},
    };
    for (const Case& c : cases) {
        CsvFormat format(c.separator, c.enclosure, ";;", "<<");
        EXPECT_EQ(c.line, line(format, row))
            << static_cast<int>(c.separator) << "/" << static_cast<int>(c.enclosure);
    }
    // The user texts count only when their own choice is made.
    EXPECT_EQ("v,w", line(CsvFormat(CsvSeparator::Comma, CsvEnclosure::None, ";;", "<<"), row));
}

TEST(CsvFormat, ValuesThatWouldBreakTheLineAreQuotedAndTheirQuotesDoubled) {
    const CsvFormat plain(CsvSeparator::Comma, CsvEnclosure::None);
    EXPECT_EQ("1,abc,(null)\r\n",
              record(plain, {std::string_view("1"), std::string_view("abc"), std::nullopt}));
    EXPECT_EQ(
        "\"a,b\",\"x\"\"y\",\"two\nlines\",\"cr\rhere\",it's,C:\\dir\\",
        line(plain, {std::string_view("a,b"), std::string_view("x\"y"), std::string_view("two\nlines"),
                     std::string_view("cr\rhere"), std::string_view("it's"), std::string_view("C:\\dir\\")}));
    // A text that is the NULL spelling is quoted, NULL itself stays bare; '' is an empty piece.
    EXPECT_EQ("(null),\"(null)\",,\"NULL\"", line(plain, {std::nullopt, std::string_view("(null)"),
                                                          std::string_view(""), std::string_view("NULL")}));
    const CsvFormat slashN(CsvSeparator::Comma, CsvEnclosure::Double, {}, {}, "\\N");
    EXPECT_EQ("\\N,\"\\N\",\"(null)\"",
              line(slashN, {std::nullopt, std::string_view("\\N"), std::string_view("(null)")}));
    // Under an enclosure only that enclosure is doubled; a tab inside a value needs nothing more.
    EXPECT_EQ(
        "'it''s'\t'say \"hi\"'\t'tab\there'",
        line(CsvFormat(CsvSeparator::Tab, CsvEnclosure::Single),
             {std::string_view("it's"), std::string_view("say \"hi\""), std::string_view("tab\there")}));
    EXPECT_EQ("<<a<<<<b<<::<<<<<<<<", line(CsvFormat(CsvSeparator::User, CsvEnclosure::User, "::", "<<"),
                                           {std::string_view("a<<b"), std::string_view("<<")}));
    // Without an enclosure a tab only matters where it separates.
    EXPECT_EQ("\"tab\there\"\tx", line(CsvFormat(CsvSeparator::Tab, CsvEnclosure::None),
                                       {std::string_view("tab\there"), std::string_view("x")}));
    // A user separator inside a value needs the quotes, and so does any of its characters.
    EXPECT_EQ("a::\"b::c\"::\"d:\"",
              line(CsvFormat(CsvSeparator::User, CsvEnclosure::None, "::"),
                   {std::string_view("a"), std::string_view("b::c"), std::string_view("d:")}));
    EXPECT_EQ("abc", line(CsvFormat(CsvSeparator::User, CsvEnclosure::None, ""),
                          {std::string_view("a"), std::string_view("bc")}));
    // Bytes after a zero byte belong to the value: the row's lengths count, not the C string.
    EXPECT_EQ(std::string("a\0b,c", 5), line(plain, {std::string_view("a\0b", 3), std::string_view("c")}));
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
    all.characterSet = "utf8mb4";
    all.fieldsTerminated = ",";
    all.fieldsEnclosed = "\"";
    all.fieldsEscaped = "\\";
    all.linesTerminated = "\\r\\n";
    all.ignoreLines = "2";
    EXPECT_EQ(
        "LOAD DATA LOW_PRIORITY LOCAL INFILE '<f.csv>' REPLACE INTO TABLE d.t CHARACTER SET utf8mb4 FIELDS "
        "TERMINATED BY '<,>' OPTIONALLY ENCLOSED BY '<\">' ESCAPED BY '<\\>' LINES TERMINATED BY '<\r\n>' "
        "IGNORE 2 LINES",
        loadDataStatement(all, mark));

    all.fieldsEscaped = "none";
    all.nullText = "(null)";
    all.fields = {{"`a`"}, {"g", true}, {"`b c`"}};
    // A generated column's field is read and dropped; the others become NULL only on the spelling's
    // exact bytes.
    EXPECT_EQ(
        "LOAD DATA LOW_PRIORITY LOCAL INFILE '<f.csv>' REPLACE INTO TABLE d.t CHARACTER SET utf8mb4 FIELDS "
        "TERMINATED BY '<,>' OPTIONALLY ENCLOSED BY '<\">' ESCAPED BY '' LINES TERMINATED BY '<\r\n>' "
        "IGNORE 2 LINES (@v1, @v2, @v3) SET `a` = IF(CAST(@v1 AS BINARY) = '<(null)>', NULL, @v1), `b c` = "
        "IF(CAST(@v3 AS BINARY) = '<(null)>', NULL, @v3)",
        loadDataStatement(all, mark));
    // The bare word NULL under an enclosure is the server's own NULL, and "NULL" its own text.
    all.nullText = "NULL";
    EXPECT_TRUE(serverKeepsNullApart(all.nullText, all.fieldsEnclosed));
    const std::string direct = loadDataStatement(all, mark);
    EXPECT_EQ("IGNORE 2 LINES (`a`, @v2, `b c`)", direct.substr(direct.rfind("IGNORE")));
    EXPECT_FALSE(serverKeepsNullApart(std::string("NULL"), ""));
    EXPECT_FALSE(serverKeepsNullApart(std::string("(null)"), "\""));

    LoadDataOptions some;
    some.fileName = "f";
    some.target = "t";
    some.fieldsEscaped = "none";
    some.nullText = "\\N";
    some.fields = {{"x"}};
    EXPECT_EQ(
        "LOAD DATA INFILE '<f>' INTO TABLE t FIELDS ESCAPED BY '' (@v1) SET x = IF(CAST(@v1 AS BINARY) = "
        "'<\\N>', NULL, @v1)",
        loadDataStatement(some, mark));
    // Without the fields there is nothing to map; the server's own rules stay.
    some.fields.clear();
    EXPECT_EQ("LOAD DATA INFILE '<f>' INTO TABLE t FIELDS ESCAPED BY '' ", loadDataStatement(some, mark));

    // What SHOW FIELDS says of a column, on current and older servers of both kinds.
    EXPECT_EQ(LoadColumnKind::Value, loadColumnKind(""));
    EXPECT_EQ(LoadColumnKind::Value, loadColumnKind("auto_increment"));
    EXPECT_EQ(LoadColumnKind::Value, loadColumnKind("DEFAULT_GENERATED on update CURRENT_TIMESTAMP"));
    EXPECT_EQ(LoadColumnKind::Generated, loadColumnKind("STORED GENERATED"));
    EXPECT_EQ(LoadColumnKind::Generated, loadColumnKind("VIRTUAL GENERATED"));
    EXPECT_EQ(LoadColumnKind::Generated, loadColumnKind("PERSISTENT"));
    EXPECT_EQ(LoadColumnKind::Absent, loadColumnKind("INVISIBLE"));
    EXPECT_EQ(LoadColumnKind::Absent, loadColumnKind("VIRTUAL GENERATED, INVISIBLE"));
}

TEST(LoadDataStatement, FieldNotationMeansTheCharacters) {
    EXPECT_EQ(std::string("\t|\n|\r|\\|") + '\0' + "|\\N|\\",
              decodeFieldNotation("\\t|\\n|\\r|\\\\|\\0|\\N|\\"));
    EXPECT_EQ("\r\n", decodeFieldNotation("\\r\\n"));
    EXPECT_EQ("\\t", decodeFieldNotation("\\\\t"));
    EXPECT_EQ("::", decodeFieldNotation("::"));
}

TEST(LoadDataStatement, TheReportTellsWhatTheServerSaid) {
    const auto counts = parseLoadDataInfo("Records: 11  Deleted: 1  Skipped: 2  Warnings: 55");
    ASSERT_TRUE(counts);
    EXPECT_EQ(11u, counts->records);
    EXPECT_EQ(1u, counts->deleted);
    EXPECT_EQ(2u, counts->skipped);
    EXPECT_EQ(55u, counts->warnings);
    EXPECT_FALSE(parseLoadDataInfo(""));
    EXPECT_FALSE(parseLoadDataInfo("Records: 1  Deleted: 0"));

    EXPECT_EQ("Data was imported normally.\nRecords: 3  Deleted: 0  Skipped: 0  Warnings: 0",
              loadDataReport("Records: 3  Deleted: 0  Skipped: 0  Warnings: 0", ""));
    EXPECT_EQ("Records: 11  Deleted: 0  Skipped: 2  Warnings: 0",
              loadDataReport("Records: 11  Deleted: 0  Skipped: 2  Warnings: 0", ""));
    EXPECT_EQ(
        "Records: 3  Deleted: 0  Skipped: 0  Warnings: 1\nWarning 1265: Data truncated for column 'n' at row "
        "1",
        loadDataReport("Records: 3  Deleted: 0  Skipped: 0  Warnings: 1",
                       "Warning 1265: Data truncated for column 'n' at row 1"));
    // A line of another form is shown as it is, but never called normal.
    EXPECT_EQ("odd", loadDataReport("odd", ""));
    // No record landed: said first and plainly, never left to read like a warning.
    EXPECT_EQ(
        "Data was not imported: 0 of 2 records landed.\nRecords: 2  Deleted: 0  Skipped: 2  Warnings: 2\n"
        "Warning 1062: Duplicate entry '1' for key 'PRIMARY'",
        loadDataReport("Records: 2  Deleted: 0  Skipped: 2  Warnings: 2",
                       "Warning 1062: Duplicate entry '1' for key 'PRIMARY'"));
    EXPECT_EQ("Data was imported normally.\nRecords: 0  Deleted: 0  Skipped: 0  Warnings: 0",
              loadDataReport("Records: 0  Deleted: 0  Skipped: 0  Warnings: 0", ""));

    // A load ended early never reads like a success: the part the server took is named, and where
    // the engine is unknown, that records may have stayed.
    LoadCutShort cut;
    cut.serverEnded = false;
    cut.bytesSent = 300;
    cut.fileBytes = 1000;
    cut.keptRecords = 7;
    EXPECT_EQ(
        "The import was stopped while it ran after 300 of 1000 bytes of the file were sent: the server took "
        "that part as the whole file, and its 7 records stay in the table.",
        loadCutShortReport(cut));
    cut.serverEnded = true;
    cut.readError = "Input/output error";
    cut.errorLine = "1317:Query execution was interrupted";
    EXPECT_EQ(
        "Reading the file failed (Input/output error): the server ended the load; records it had read before "
        "may stay in the table.\n1317:Query execution was interrupted",
        loadCutShortReport(cut));
    EXPECT_EQ("1.5 MB of 3.0 MB sent, 4000 lines (2000 a second), 2 s",
              importProgressText(1572864, 3145728, 4000, 2000));
}
