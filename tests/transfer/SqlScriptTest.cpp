#include <gtest/gtest.h>

#include "transfer/SqlScript.h"

using namespace velkin;

namespace velkin {
void PrintTo(const ScriptStatement& s, std::ostream* os) {
    *os << "{\"" << s.text << "\", line " << s.line << "}";
}
}  // namespace velkin

namespace {
using Pieces = std::vector<ScriptStatement>;

std::vector<std::string> texts(std::string_view script, bool backslash = true) {
    std::vector<std::string> out;
    for (const ScriptStatement& s : splitSqlScript(script, backslash))
        out.push_back(s.text);
    return out;
}
using Texts = std::vector<std::string>;
}  // namespace

TEST(SqlScript, SplitsAtSemicolonsWithLinesAndTrimsBlanks) {
    EXPECT_EQ(
        (Pieces{{"CREATE TABLE t (a INT)", 1}, {"INSERT INTO t VALUES (1)", 2}, {"SELECT * FROM t", 4}}),
        splitSqlScript("CREATE TABLE t (a INT);\n  INSERT INTO t VALUES (1) ;\n\nSELECT * FROM t\n"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("SELECT 1"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("SELECT 1;"));
    EXPECT_EQ((Texts{"SELECT 1", "SELECT 2"}), texts("SELECT 1;SELECT 2;;; ;\r\n"));
    EXPECT_TRUE(splitSqlScript("").empty());
    EXPECT_TRUE(splitSqlScript(" ;\n ; \t").empty());
    EXPECT_EQ((Pieces{{"SELECT\r\n 2", 2}}), splitSqlScript("\r\nSELECT\r\n 2;"));
}

TEST(SqlScript, DelimitersInsideQuotesAndNamesDoNotCount) {
    EXPECT_EQ((Texts{"INSERT INTO t VALUES ('a;b', \"c;d\")", "SELECT `we;ird` FROM `x``;y`"}),
              texts("INSERT INTO t VALUES ('a;b', \"c;d\");SELECT `we;ird` FROM `x``;y`;"));
    // Doubled quotes and backslash escapes keep the text open.
    EXPECT_EQ((Texts{"SELECT 'it''s; fine'", "SELECT 'back\\'; slash'", "SELECT \"q\"\";\""}),
              texts("SELECT 'it''s; fine'; SELECT 'back\\'; slash'; SELECT \"q\"\";\";"));
    // Without backslash escapes a backslash is an ordinary character and the quote ends the text.
    EXPECT_EQ((Texts{"SELECT 'a\\'", "SELECT 2"}), texts("SELECT 'a\\'; SELECT 2;", false));
    // A backtick name knows no backslash escape.
    EXPECT_EQ((Texts{"SELECT `a\\`", "SELECT 2"}), texts("SELECT `a\\`; SELECT 2"));
    // Line breaks inside a text count for the next statement's line.
    EXPECT_EQ((Pieces{{"SELECT 'a\nb;\nc'", 1}, {"SELECT 3", 4}}),
              splitSqlScript("SELECT 'a\nb;\nc';\nSELECT 3"));
    // An unclosed quote runs to the end: the server, not the splitter, says what is wrong.
    EXPECT_EQ((Texts{"SELECT 1", "SELECT 'open; SELECT 2;"}), texts("SELECT 1; SELECT 'open; SELECT 2;"));
    // Emoji and other UTF-8 pass through whole.
    EXPECT_EQ((Texts{"SELECT '😀;é'", "SELECT 1"}), texts("SELECT '😀;é';SELECT 1"));
}

TEST(SqlScript, CommentsHideDelimitersAndCommentOnlyPiecesAreLeftOut) {
    EXPECT_EQ((Pieces{{"-- first; not a delimiter\nSELECT 1", 2},
                      {"# second; too\nSELECT 2", 4},
                      {"/* three;\n lines; */ SELECT 3", 6}}),
              splitSqlScript(
                  "-- first; not a delimiter\nSELECT 1;\n# second; too\nSELECT 2;\n/* three;\n lines; */ "
                  "SELECT 3;\n-- trailing; comment only\n/* and; this */"));
    // "--" without a blank after it is an operator, not a comment.
    EXPECT_EQ((Texts{"SELECT 1--1", "SELECT 2"}), texts("SELECT 1--1; SELECT 2"));
    EXPECT_EQ((Texts{"SELECT 1 --", "SELECT 2"}), texts("SELECT 1 --\n; SELECT 2"));
    // A comment inside a statement stays in it.
    EXPECT_EQ((Texts{"SELECT 1 /* one; */ + 1", "SELECT 2 -- two;"}),
              texts("SELECT 1 /* one; */ + 1; SELECT 2 -- two;\n;"));
    // Hidden statement text counts as code.
    EXPECT_EQ((Texts{"/*!40101 SET NAMES utf8mb4 */", "/*M!100000 SELECT 1 */"}),
              texts("/*!40101 SET NAMES utf8mb4 */;\n/*M!100000 SELECT 1 */;\n/* plain */;"));
    EXPECT_EQ((Texts{"SELECT 1 /* open; to the end"}), texts("SELECT 1 /* open; to the end"));
}

TEST(SqlScript, DelimiterLinesChangeTheDelimiter) {
    const std::string script =
        "DROP PROCEDURE IF EXISTS p;\n"
        "DELIMITER //\n"
        "CREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT ';//';\nEND//\n"
        "delimiter ;\n"
        "CALL p();\n"
        "DELIMITER $$ trailing words are ignored\n"
        "SELECT 5 $$ SELECT 6$$\n";
    EXPECT_EQ((Pieces{{"DROP PROCEDURE IF EXISTS p", 1},
                      {"CREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT ';//';\nEND", 3},
                      {"CALL p()", 9},
                      {"SELECT 5", 11},
                      {"SELECT 6", 11}}),
              splitSqlScript(script));
    // Only at the start of a statement and of a line is DELIMITER a command.
    EXPECT_EQ((Texts{"SELECT 1 AS DELIMITER", "SELECT 'x\nDELIMITER //'"}),
              texts("SELECT 1 AS DELIMITER ;SELECT 'x\nDELIMITER //';"));
    EXPECT_EQ((Texts{"SELECT 1\nDELIMITER //", "SELECT 2"}), texts("SELECT 1\nDELIMITER //;SELECT 2;"))
        << "inside a statement it is text";
    // A DELIMITER line without a word keeps the delimiter; the word DELIMITERS is not the command.
    EXPECT_EQ((Texts{"SELECT 1", "DELIMITERS x"}), texts("DELIMITER \nSELECT 1;DELIMITERS x;"));
}

TEST(SqlScript, FindsTheFirstByteThatIsNotUtf8) {
    EXPECT_EQ(std::nullopt, firstInvalidUtf8(""));
    EXPECT_EQ(std::nullopt, firstInvalidUtf8("plain; é ü 漢字 😀 \xF4\x8F\xBF\xBF"));
    EXPECT_EQ(std::optional<std::size_t>(4), firstInvalidUtf8("abc \xAB def")) << "a lone continuation byte";
    EXPECT_EQ(std::optional<std::size_t>(1), firstInvalidUtf8("a\xC3")) << "cut off at the end";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xC0\xAF")) << "overlong";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xE0\x80\xAF")) << "overlong";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xED\xA0\x80")) << "a surrogate";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xF4\x90\x80\x80")) << "above U+10FFFF";
    EXPECT_EQ(std::optional<std::size_t>(2), firstInvalidUtf8("\xC3\xA9\xE6\xBC")) << "a short sequence";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xE6\x41\x41"))
        << "a plain byte where a continuation belongs";
    EXPECT_EQ(std::optional<std::size_t>(0), firstInvalidUtf8("\xFF"));
}
