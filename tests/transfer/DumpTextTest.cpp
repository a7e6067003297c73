#include <gtest/gtest.h>

#include "session/ServerDialect.h"
#include "support/TestServer.h"
#include "transfer/ColumnFormText.h"
#include "transfer/DumpText.h"

using namespace velkin;
using namespace velkin::test;

TEST(DumpText, TriggerBodyIsKeptAndItsHeadWrittenAnew) {
    // Names, timing and event come from the catalog; only the body is taken from the text, after
    // FOR EACH ROW outside quotes and comments, and without an order clause.
    EXPECT_EQ(
        "CREATE DEFINER=`a@b`@`%` TRIGGER d.`t r` AFTER DELETE ON d.t FOR EACH ROW INSERT INTO x VALUES "
        "('for each "
        "row')",
        createTriggerStatement(
            "a@b@%", "d.`t r`", "AFTER", "DELETE", "d.t",
            "CREATE DEFINER=`x`@`y` TRIGGER `for each row` /* FOR EACH ROW */ AFTER DELETE ON "
            "`t` for\n each  row FOLLOWS `other ``one``` INSERT INTO x VALUES ('for each row')")
            .value_or("(none)"));
    EXPECT_EQ(
        "CREATE TRIGGER d.r BEFORE UPDATE ON d.t FOR EACH ROW SET NEW.a = 1",
        createTriggerStatement("", "d.r", "BEFORE", "UPDATE", "d.t",
                               "CREATE TRIGGER r BEFORE UPDATE ON t FOR EACH ROW PRECEDES q SET NEW.a = 1")
            .value_or("(none)"));
    EXPECT_FALSE(
        createTriggerStatement("u@h", "d.r", "BEFORE", "INSERT", "d.t", "CREATE TRIGGER `FOR EACH ROW`"));
    EXPECT_FALSE(
        createTriggerStatement("u@h", "d.r", "BEFORE", "INSERT", "d.t", "CREATE TRIGGER r FOR EACH ROW "));
    EXPECT_EQ("`role`", definerClause("role"));

    EXPECT_EQ(";;", triggerDelimiter({"SET a = 1;", "BEGIN; END"}));
    EXPECT_EQ("$$", triggerDelimiter({"SET a = ';;'"}));
    EXPECT_EQ(";;;;", triggerDelimiter({"';;;' $$", "//"}));
    EXPECT_EQ("DELIMITER $$\n", delimiterLine("$$"));
}

TEST(DumpText, ViewsAndSequencesAreNamedWithTheirDatabase) {
    EXPECT_EQ(
        "CREATE ALGORITHM=UNDEFINED DEFINER=`a VIEW b`@`localhost` SQL SECURITY DEFINER VIEW d.v AS select 1",
        createWithQualifiedName("CREATE ALGORITHM=UNDEFINED DEFINER=`a VIEW b`@`localhost` SQL SECURITY "
                                "DEFINER VIEW `v` AS select 1",
                                "VIEW", "d.v"));
    EXPECT_EQ(
        "CREATE SEQUENCE d.`s s` start with 1 ENGINE=InnoDB",
        createWithQualifiedName("CREATE SEQUENCE `s``s` start with 1 ENGINE=InnoDB", "SEQUENCE", "d.`s s`"));
    EXPECT_EQ("CREATE TABLE t (a int)", createWithQualifiedName("CREATE TABLE t (a int)", "VIEW", "d.v"));
    EXPECT_EQ("DO SETVAL(d.s, 135, 0, 2)", setSequenceStatement("d.s", "135", "2"));
}

TEST(DumpText, HeaderSetsEverythingBeforeTheFirstCreateAndTheFooterGivesItBack) {
    const std::string header = dumpFileHeader("sjis", true, true);
    EXPECT_EQ(
        0u, header.find("-- Creation of a table\nSET @velkin_character_set_client = @@character_set_client"));
    for (const char* line :
         {"\nSET NAMES sjis;\n", "\nSET time_zone = '+00:00';\n",
          "\nSET sql_mode = 'NO_AUTO_VALUE_ON_ZERO,NO_BACKSLASH_ESCAPES', foreign_key_checks = 0;\n",
          "\nSET system_versioning_insert_history = 1;\n"})
        EXPECT_NE(std::string::npos, header.find(line)) << line;
    EXPECT_EQ(std::string::npos, dumpFileHeader("utf8mb4", false, false).find("insert_history"));
    EXPECT_NE(std::string::npos, dumpFileHeader("utf8mb4", false, false).find("'NO_AUTO_VALUE_ON_ZERO', "));
    EXPECT_EQ(std::string::npos, dumpFileFooter(false).find("insert_history"));
    EXPECT_NE(std::string::npos,
              dumpFileFooter(true).find("system_versioning_insert_history = @velkin_insert_history"));
    EXPECT_TRUE(versionTakesHistory(ServerDialect(101100, true)));
    EXPECT_FALSE(versionTakesHistory(ServerDialect(101099, true)));
    EXPECT_FALSE(versionTakesHistory(ServerDialect(80400, false)));
}

TEST(ColumnFormText, EachColumnReadsAndWritesInTheFormThatComesBack) {
    EXPECT_TRUE(textComesBackExactly("latin1", "utf8mb4"));
    EXPECT_TRUE(textComesBackExactly("sjis", "sjis"));
    EXPECT_TRUE(textComesBackExactly("sjis", "binary"));
    EXPECT_TRUE(textComesBackExactly("", "utf8mb4"));
    EXPECT_FALSE(textComesBackExactly("utf8mb4", "utf8mb3"));
    for (const char* set : {"sjis", "cp932", "big5", "gbk", "ujis", "koi8r", "cp1250"})
        EXPECT_FALSE(textComesBackExactly(set, "utf8mb4")) << set;

    TableColumns table;
    table.kind = TableKind::SystemVersioned;
    using P = TableColumn::Period;
    table.columns = {
        {"id", "int", "", false, true, P::None},         {"f", "float", "", false, false, P::None},
        {"e", "enum", "utf8mb4", false, false, P::None}, {"b", "bit", "", false, false, P::None},
        {"g", "point", "", false, false, P::None},       {"s", "varchar", "sjis", false, false, P::None},
        {"v", "int", "", true, false, P::None},          {"u", "text", "latin1", false, false, P::None}};
    const ServerDialect dialect(101100, true);
    std::vector<CarriedColumn> carried = carriedColumns(table, dialect, "utf8mb4", false);
    EXPECT_EQ("id,f + 0e0,e + 0,b + 0,g,CAST(s AS BINARY),u", carriedSelectList(carried));
    EXPECT_EQ("id,f,e,b,g,s,u", carriedInsertList(carried));
    EXPECT_EQ("select id from d.t", carriedReadStatement("d.t", "id", false));
    // History adds the implicit period columns, or reads the declared ones in their place.
    carried = carriedColumns(table, dialect, "utf8mb4", true);
    EXPECT_EQ("id,f,e,b,g,s,u,row_start,row_end", carriedInsertList(carried));
    EXPECT_EQ("select a from d.t FOR SYSTEM_TIME ALL", carriedReadStatement("d.t", "a", true));
    table.columns.push_back({"from", "timestamp", "", false, false, P::RowStart});
    table.columns.push_back({"to", "timestamp", "", false, true, P::RowEnd});
    EXPECT_EQ("id,f,e,b,g,s,u", carriedInsertList(carriedColumns(table, dialect, "utf8mb4", false)));
    EXPECT_EQ("id,f,e,b,g,s,u,`from`,`to`",
              carriedInsertList(carriedColumns(table, dialect, "utf8mb4", true)));

    Connection unconnected;
    std::string out;
    appendRowValues(out, ValueRow{std::nullopt, "-1.5e-7", "abc", std::string("a\nb\0", 4), "x'y", "1; DROP"},
                    {ValueForm::Number, ValueForm::Number, ValueForm::Hex, ValueForm::Quoted,
                     ValueForm::Quoted, ValueForm::Number},
                    unconnected, true);
    EXPECT_EQ("( NULL,-1.5e-7,X'616263',X'610A6200','x\\'y','1; DROP' )", out);
}
