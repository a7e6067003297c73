#include <gtest/gtest.h>

#include <random>

#include "session/Connection.h"
#include "transfer/CsvFileText.h"
#include "transfer/CsvFormat.h"
#include "transfer/LoadDataStatement.h"

using namespace velkin;

namespace {

/// The rows the reader makes of the whole input, fed in pieces of the given size (0: all at once),
/// so that no piece boundary may change what comes out.
std::string rowsOf(const CsvReadFormat& format, std::string_view input, std::size_t piece = 0,
                   CsvReadNotes* notes = nullptr) {
    CsvRecordReader reader(format);
    std::string out;
    if (piece == 0)
        piece = input.size() + 1;
    for (std::size_t at = 0; at < input.size(); at += piece)
        reader.feed(input.substr(at, piece), out);
    reader.finish(out);
    if (notes)
        *notes = reader.notes();
    return out;
}

CsvReadFormat readFormat(std::string separator, std::string enclosure, std::string escape,
                         std::string lineEnd, std::string nullText) {
    CsvReadFormat f;
    f.separator = std::move(separator);
    f.enclosure = std::move(enclosure);
    f.escape = std::move(escape);
    f.lineEnd = std::move(lineEnd);
    f.nullText = std::move(nullText);
    return f;
}

}  // namespace

TEST(CsvRecordReader, AwkwardFilesBecomeTheServersRowFormWhateverThePieces) {
    const CsvReadFormat exportDefault = readFormat(",", "\"", "", "\r\n", "(null)");
    struct Case {
        const char* what;
        CsvReadFormat format;
        std::string input;
        std::string rows;
        unsigned long long records;
        unsigned long long bareNulls;
        bool damaged;
    };
    const Case cases[] = {
        {"NULL bare, its look-alikes enclosed, '' both ways", exportDefault,
         "(null),\"(null)\",NULL,\"NULL\",null,\"\\N\",,\"\"\r\n",
         "\\N\t(null)\t\\N\tNULL\tnull\t\\\\N\t\t\n", 1, 0, false},
        {"quotes doubled, separators and line ends inside", exportDefault,
         "\"say \"\"hi\"\"\",\"a,b\",\"two\r\nlines\",\"\"\"\"\r\n2,x\r\n",
         "say \"hi\"\ta,b\ttwo\\r\\nlines\t\"\n2\tx\n", 2, 0, false},
        {"quotes escaped by a backslash", readFormat(",", "\"", "\\", "\n", "(null)"),
         "\"a\\\"b\",\\N,\"\\N\",x\\ty,end\\\n", "a\"b\t\\N\t\\N\tx\\ty\tend\\n\n", 1, 0, false},
        {"binary bytes, emoji and a backslash pass unchanged", exportDefault,
         std::string("\"\0", 2) + "\xff\xfe\\\x1a\",😀 漢字\r\n", "\\0\xff\xfe\\\\\x1a\t😀 漢字\n", 1, 0,
         false},
        {"no line end after the last record", exportDefault, "1,a\r\n2,b", "1\ta\n2\tb\n", 2, 0, false},
        {"a damaged last line ends inside its enclosure", exportDefault, "1,a\r\n2,\"open,\r\nmore",
         "1\ta\n2\topen,\\r\\nmore\n", 2, 0, true},
        {"an enclosure inside a value closes only before a separator or line end", exportDefault,
         "\"a\"b\",\"\",x\"\"y\r\n", "a\"b\t\tx\"\"y\n", 1, 0, false},
        {"a lone CR or LF inside a bare value under CR LF", exportDefault, "a\rb,c\nd\r\n", "a\\rb\tc\\nd\n",
         1, 0, false},
        {"no enclosure: the bare spelling is NULL and counted", readFormat("\t", "", "", "\n", "\\N"),
         "\\N\t\"\\N\"\tNULL\n\\N\t\t\n", "\\N\t\"\\\\N\"\tNULL\n\\N\t\t\n", 2, 2, false},
        {"separator, enclosure and spelling of several characters",
         readFormat("::", "<<", "", "\r\n", "NULL"), "<<a<<<<b<<::NULL::<<NULL<<::<<<<<::<<:<<\r\n",
         "a<<b\t\\N\tNULL\t<\t:\n", 1, 0, false},
        {"empty fields, an empty line, a separator before the end", exportDefault, ",\r\n\r\nx,",
         "\t\n\nx\t\n", 3, 0, false},
        {"an empty file has no record", exportDefault, "", "", 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (std::size_t piece : {0, 1, 2, 3, 7}) {
            SCOPED_TRACE(piece);
            CsvReadNotes notes;
            EXPECT_EQ(c.rows, rowsOf(c.format, c.input, piece, &notes));
            EXPECT_EQ(c.records, notes.records);
            EXPECT_EQ(c.bareNulls, notes.bareNulls);
            EXPECT_EQ(c.damaged, notes.endedInsideEnclosure);
        }
    }
    // Records the server skips at the head raise no note.
    CsvReadFormat skipping = readFormat(",", "", "", "\n", "(null)");
    skipping.ignoredRecords = 1;
    CsvReadNotes notes;
    rowsOf(skipping, "(null)\n(null)\n", 0, &notes);
    EXPECT_EQ(1u, notes.bareNulls);

    notes.bareNulls = 3;
    notes.endedInsideEnclosure = true;
    EXPECT_EQ(
        "3 values \"(null)\" became NULL: with no enclosure the file cannot keep a text \"(null)\" apart "
        "from "
        "NULL, so such a text is NULL in the table now.\nThe file ends inside an enclosed value: its last "
        "record was loaded as it stands and may be incomplete.",
        csvReadWarnings(notes, "(null)"));
    EXPECT_EQ("", csvReadWarnings(CsvReadNotes{}, "(null)"));
}

TEST(CsvRecordReader, EveryValueTheExportWritesComesBackInEveryFormItOffers) {
    // Values made of the characters that matter to some form: separators, enclosures, quotes, line
    // ends, backslashes, the letters of the spellings, a zero byte and a character beyond ASCII.
    const std::string alphabet = std::string(",\t:'\"|<\r\n\\N()nulLa") + std::string(1, '\0') + "ü";
    std::mt19937 random(42);
    const auto value = [&]() -> std::optional<std::string> {
        switch (random() % 8) {
            case 0:
                return std::nullopt;
            case 1: {
                static const char* const lookAlikes[] = {"NULL", "null", "(null)", "\\N",
                                                         "",     "N",    "<<",     "\""};
                return std::string(lookAlikes[random() % 8]);
            }
            default: {
                std::string v;
                for (std::size_t n = random() % 7; n > 0; --n)
                    v += alphabet[random() % alphabet.size()];
                return v;
            }
        }
    };
    struct Enclosure {
        CsvEnclosure kind;
        const char* user;
        const char* read;
    };
    const Enclosure enclosures[] = {{CsvEnclosure::None, "", "\""},
                                    {CsvEnclosure::Single, "", "'"},
                                    {CsvEnclosure::Double, "", "\""},
                                    {CsvEnclosure::User, "|", "|"},
                                    {CsvEnclosure::User, "<<", "<<"}};
    const std::pair<CsvSeparator, const char*> separators[] = {
        {CsvSeparator::Comma, ","}, {CsvSeparator::Tab, "\t"}, {CsvSeparator::User, "::"}};
    for (const char* spelling : {"(null)", "\\N", "NULL"}) {
        for (const auto& [separator, separatorText] : separators) {
            for (const Enclosure& e : enclosures) {
                const CsvFormat format(separator, e.kind, separatorText, e.user, spelling);
                SCOPED_TRACE(std::string(spelling) + " " + format.separator() + " " + e.read);
                EXPECT_EQ("", csvReadBackProblem(format));
                std::string file;
                std::string expected;
                for (int row = 0; row < 200; ++row) {
                    std::vector<char*> cells;
                    std::vector<unsigned long> lengths;
                    std::vector<std::optional<std::string>> values;
                    for (int column = 0; column < 4; ++column)
                        values.push_back(value());
                    for (const auto& v : values) {
                        cells.push_back(v ? const_cast<char*>(v->data()) : nullptr);
                        lengths.push_back(v ? v->size() : 0);
                        if (cells.size() > 1)
                            expected += '\t';
                        if (v)
                            appendRowFormText(expected, *v);
                        else
                            expected += "\\N";
                    }
                    expected += '\n';
                    appendCsvRecord(file, format, Row(cells.data(), lengths.data(), 4));
                }
                CsvReadNotes notes;
                EXPECT_EQ(expected, rowsOf(readFormat(separatorText, e.read, "", "\r\n", spelling), file,
                                           4093, &notes));
                EXPECT_EQ(200u, notes.records);
                EXPECT_EQ(0u, notes.bareNulls);
            }
        }
    }
}

TEST(CsvRecordReader, FormsThatCannotBeReadBackAreNamed) {
    EXPECT_EQ("There is no separator: the values of a line run together.",
              csvReadBackProblem(CsvFormat(CsvSeparator::User, CsvEnclosure::None, "")));
    EXPECT_EQ("The separator holds a character of the enclosure or a line break.",
              csvReadBackProblem(CsvFormat(CsvSeparator::User, CsvEnclosure::Single, "';")));
    EXPECT_EQ("The separator holds a character of the enclosure or a line break.",
              csvReadBackProblem(CsvFormat(CsvSeparator::User, CsvEnclosure::None, "\"")));
    EXPECT_EQ("The enclosure holds a line break.",
              csvReadBackProblem(CsvFormat(CsvSeparator::Comma, CsvEnclosure::User, "", "\n")));
    EXPECT_EQ("NULL is spelt as nothing, which the import takes for its default spelling.",
              csvReadBackProblem(CsvFormat(CsvSeparator::Comma, CsvEnclosure::None, "", "", "")));
    EXPECT_EQ(
        "NULL is spelt \"a,b\", which holds a character of the separator, of the enclosure, a quote or a "
        "line "
        "break.",
        csvReadBackProblem(CsvFormat(CsvSeparator::Comma, CsvEnclosure::None, "", "", "a,b")));
    EXPECT_NE("", csvReadBackProblem(CsvFormat(CsvSeparator::Comma, CsvEnclosure::Single, "", "", "'x'")));
}

TEST(LoadDataStatement, AFileOfTheClientIsHandedOverInTheServersRowForm) {
    const EscapeText mark = [](std::string_view s) { return "<" + std::string(s) + ">"; };
    LoadDataOptions o;
    o.fileName = "f.csv";
    o.target = "d.t";
    o.local = true;
    o.characterSet = "utf8mb4";
    o.fieldsTerminated = "::";
    o.fieldsEnclosed = "\"";
    o.fieldsEscaped = "none";
    o.linesTerminated = "\\r\\n";
    o.nullText = "\\N";
    // The typed format is the program's to read; the statement names the rows' own.
    EXPECT_EQ(
        "LOAD DATA LOCAL INFILE '<f.csv>' INTO TABLE d.t CHARACTER SET utf8mb4 FIELDS TERMINATED BY '<\t>' "
        "ESCAPED BY '<\\>' LINES TERMINATED BY '<\n>' ",
        loadStreamStatement(o, mark));
    o.lowPriority = o.replace = true;
    o.ignoreLines = "2";
    o.fields = {{"`a`"}, {"g", true}, {"`b c`"}};
    EXPECT_EQ(
        "LOAD DATA LOW_PRIORITY LOCAL INFILE '<f.csv>' REPLACE INTO TABLE d.t CHARACTER SET utf8mb4 FIELDS "
        "TERMINATED BY '<\t>' ESCAPED BY '<\\>' LINES TERMINATED BY '<\n>' IGNORE 2 LINES (`a`, @v2, `b c`)",
        loadStreamStatement(o, mark));

    CsvReadFormat f = csvReadFormat(o);
    EXPECT_EQ("::", f.separator);
    EXPECT_EQ("\"", f.enclosure);
    EXPECT_EQ("", f.escape);
    EXPECT_EQ("\r\n", f.lineEnd);
    EXPECT_EQ("\\N", f.nullText.value());
    EXPECT_EQ(2u, f.ignoredRecords);
    // Empty fields are the server's defaults.
    f = csvReadFormat(LoadDataOptions{});
    EXPECT_EQ("\t", f.separator);
    EXPECT_EQ("", f.enclosure);
    EXPECT_EQ("\\", f.escape);
    EXPECT_EQ("\n", f.lineEnd);
    EXPECT_FALSE(f.nullText);

    // The server cannot keep an enclosed text apart from a spelling other than NULL, and says so.
    EXPECT_EQ(
        "The server read the file: a text \"(null)\" in it, enclosed or not, became NULL as well. The file "
        "of "
        "a client is read exactly.",
        serverNullWarning(std::string("(null)"), "\""));
    EXPECT_EQ("", serverNullWarning(std::string("NULL"), "\""));
    // A reading note keeps the report from calling the import normal.
    EXPECT_EQ("Records: 1  Deleted: 0  Skipped: 0  Warnings: 0\nnote",
              loadDataReport("Records: 1  Deleted: 0  Skipped: 0  Warnings: 0", "", "note"));
}
