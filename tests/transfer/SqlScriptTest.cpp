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

TEST(SqlScript, SplitsAtSemicolonsAsTheClientDoesWithLines) {
    EXPECT_EQ(
        (Pieces{{"CREATE TABLE t (a INT)", 1}, {"INSERT INTO t VALUES (1) ", 2}, {"SELECT * FROM t", 4}}),
        splitSqlScript("CREATE TABLE t (a INT);\n  INSERT INTO t VALUES (1) ;\n\nSELECT * FROM t\n"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("SELECT 1"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("SELECT 1;"));
    EXPECT_EQ((Texts{"SELECT 1", "SELECT 2"}), texts("SELECT 1;SELECT 2;;; ;\r\n"));
    EXPECT_TRUE(splitSqlScript("").empty());
    EXPECT_TRUE(splitSqlScript(" ;\n ; \t").empty());
    EXPECT_EQ((Pieces{{"SELECT\r\n 2", 2}}), splitSqlScript("\r\nSELECT\r\n 2;"));
    // The line a failure is reported at is the one where the statement ended.
    const Pieces multi = splitSqlScript("SELECT\n1\n;SELECT 2");
    ASSERT_EQ(2u, multi.size());
    EXPECT_EQ("SELECT\n1\n", multi[0].text);
    EXPECT_EQ(3, multi[0].endLine);
    EXPECT_EQ(3, multi[1].line);
}

TEST(SqlScript, QuotesAndBackslashesFollowTheClientAndTheServersMode) {
    EXPECT_EQ((Texts{"INSERT INTO t VALUES ('a;b', \"c;d\")", "SELECT `we;ird` FROM `x``;y`"}),
              texts("INSERT INTO t VALUES ('a;b', \"c;d\");SELECT `we;ird` FROM `x``;y`;"));
    EXPECT_EQ((Texts{"SELECT 'it''s; fine'", "SELECT 'back\\'; slash'", "SELECT \"q\"\";\""}),
              texts("SELECT 'it''s; fine'; SELECT 'back\\'; slash'; SELECT \"q\"\";\";"));
    EXPECT_EQ((Texts{"SELECT 'a\\'", "SELECT 2"}), texts("SELECT 'a\\'; SELECT 2;", false));
    // The client lets a backslash escape inside a backtick name too.
    EXPECT_EQ((Texts{"SELECT `a\\`; SELECT 2"}), texts("SELECT `a\\`; SELECT 2"));
    EXPECT_EQ((Pieces{{"SELECT 'a\nb;\nc'", 1}, {"SELECT 3", 4}}),
              splitSqlScript("SELECT 'a\nb;\nc';\nSELECT 3"));
    EXPECT_EQ((Texts{"SELECT 1", "SELECT 'open; SELECT 2;"}), texts("SELECT 1; SELECT 'open; SELECT 2;"));
    EXPECT_EQ((Texts{"SELECT '😀;é'", "SELECT 1"}), texts("SELECT '😀;é';SELECT 1"));
    // A script may switch NO_BACKSLASH_ESCAPES: each statement is read by the rule in force for it.
    SqlScriptReader reader("SELECT 'a\\'; SELECT 'b\\'; SELECT 3;");
    EXPECT_EQ("SELECT 'a\\'", reader.next(false)->text);
    EXPECT_EQ("SELECT 'b\\'; SELECT 3;", reader.next(true)->text);
    EXPECT_FALSE(reader.next(true));
}

TEST(SqlScript, CommentsInAStatementAreSentAndThoseBeforeOneLeftOut) {
    EXPECT_EQ((Pieces{{"SELECT 1", 2}, {"SELECT 2", 4}, {"SELECT 3", 6}}),
              splitSqlScript(
                  "-- first; not a delimiter\nSELECT 1;\n# second; too\nSELECT 2;\n/* three;\n lines; */ "
                  "SELECT 3;\n-- trailing; comment only\n/* and; this */"));
    EXPECT_EQ((Texts{"SELECT 1--1", "SELECT 2"}), texts("SELECT 1--1; SELECT 2"));
    EXPECT_EQ((Texts{"SELECT 1 --\n", "SELECT 2"}), texts("SELECT 1 --\n; SELECT 2"));
    EXPECT_EQ((Texts{"SELECT 1 /* one; */ + 1", "SELECT 2 -- two;\n"}),
              texts("SELECT 1 /* one; */ + 1; SELECT 2 -- two;\n;"));
    // Quotes inside comments and comment marks inside quotes are text; a word right after a comment
    // gets a blank before it, and a comment after the delimiter on its line stays with the statement.
    EXPECT_EQ((Texts{"SELECT 'a -- b', \"# c\", '/* d */' /* it's */ , 1 # don't\n",
                     "CREATE PROCEDURE p() BEGIN /*x*/ SELECT 1; END -- p's end", "SELECT 2 /* a *//* b */"}),
              texts("SELECT 'a -- b', \"# c\", '/* d */' /* it's */, 1 # don't\n;\n"
                    "DELIMITER //\nCREATE PROCEDURE p() BEGIN /*x*/SELECT 1; END// -- p's end\n"
                    "DELIMITER ;\n/* before */ SELECT 2 /* a *//* b */; /* after */\n"));
    EXPECT_EQ((Pieces{{"SELECT 1 # first\n", 1}, {"SELECT 2 /* a\nb */\n", 3}}),
              splitSqlScript("SELECT 1 # first\n;\nSELECT 2 /* a\nb */\n;\n"));
    EXPECT_EQ((Texts{"/*!40101 SET NAMES utf8mb4 */", "/*M!100000 SELECT 1 */"}),
              texts("/*!40101 SET NAMES utf8mb4 */;\n/*M!100000 SELECT 1 */;\n/* plain */;"));
    // Inside hidden text the delimiter ends the statement, as it does for the client.
    EXPECT_EQ((Texts{"/*!50003 SELECT 1", "SELECT 2 */"}), texts("/*!50003 SELECT 1; SELECT 2 */;"));
    EXPECT_EQ(
        (Texts{
            "/*!50003 CREATE*/ /*!50003 TRIGGER x BEFORE INSERT ON t FOR EACH ROW BEGIN SET @a = 1; END */",
            "/*!50003 SET sql_mode = @saved */ "}),
        texts("DELIMITER ;;\n/*!50003 CREATE*/ /*!50003 TRIGGER x BEFORE INSERT ON t FOR EACH ROW BEGIN SET "
              "@a = 1; END */;;\nDELIMITER ;\n/*!50003 SET sql_mode = @saved */ ;"));
    EXPECT_EQ((Texts{"SELECT 1 /* open; to the end"}), texts("SELECT 1 /* open; to the end"));
    // Within hidden text, the body of a dumped routine, comments are sent too; a plain comment there
    // ends at the second closing, as the client reads it.
    EXPECT_EQ(
        (Texts{"/*!50003 CREATE*/ /*!50003 TRIGGER x BEFORE INSERT ON t FOR EACH ROW BEGIN\n"
               "-- why; this\nSET @a = 1; # and; this\n/* block; */ SET @b = 2;\nEND */"}),
        texts("DELIMITER ;;\n/*!50003 CREATE*/ /*!50003 TRIGGER x BEFORE INSERT ON t FOR EACH ROW BEGIN\n"
              "-- why; this\nSET @a = 1; # and; this\n/* block; */SET @b = 2;\nEND */;;\nDELIMITER ;\n"));
}

TEST(SqlScript, DelimiterCommandsChangeTheDelimiter) {
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
                      {"SELECT 5 ", 11},
                      {"SELECT 6", 11}}),
              splitSqlScript(script));
    // Statements after the new delimiter may share a line; inside a statement the word is text.
    EXPECT_EQ(
        (Texts{"SELECT 2; SELECT 3", "SELECT 4", "SELECT 5", "SELECT 1 AS\nDELIMITER "}),
        texts(
            "DELIMITER $$\nSELECT 2; SELECT 3$$ SELECT 4$$\nDELIMITER ;\nSELECT 5;SELECT 1 AS\nDELIMITER ;"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("DELIMITER\t;;\nSELECT 1;;"));
    EXPECT_EQ((Texts{"SELECT 'x\nDELIMITER //'"}), texts("SELECT 'x\nDELIMITER //';"));
    // Without a word, or with a backslash, the delimiter stays; DELIMITERS is not the command.
    EXPECT_EQ((Texts{"SELECT 1", "DELIMITERS x"}), texts("DELIMITER \nSELECT 1;DELIMITERS x;"));
    EXPECT_EQ((Texts{"SELECT 1"}), texts("DELIMITER a\\b\nSELECT 1;"));
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
