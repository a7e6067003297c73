#include <gtest/gtest.h>

#include "session/ServerDialect.h"
#include "views/RecordListText.h"

using namespace velkin;

namespace {

const ServerDialect kDialect;

FilterConditions noConditions() {
    FilterConditions c;
    for (auto& set : c)
        set.assign(64, std::string());
    return c;
}

}  // namespace

TEST(RecordListText, PlainStatementsQuoteOnlyUnusualNames) {
    EXPECT_EQ("select * from d.t LIMIT 0,100", pageStatement(kDialect, "d", "t", 0, 100));
    EXPECT_EQ("select * from shop.items LIMIT 75,25", pageStatement(kDialect, "shop", "items", 3, 25));
    EXPECT_EQ("select count(*) from d.t", countStatement(kDialect, "d", "t"));
    EXPECT_EQ("select * from d.`order` LIMIT 0,10", pageStatement(kDialect, "d", "order", 0, 10));
    EXPECT_EQ("select count(*) from `my-db`.`odd``name`", countStatement(kDialect, "my-db", "odd`name"));
    EXPECT_EQ("select count(*) from `1st`.user", countStatement(kDialect, "1st", "user"));
}

TEST(RecordListText, FilterClauseTakesConditionsColumnByColumn) {
    auto c = noConditions();
    c[0][0] = "> 10";
    c[1][0] = "< 20";
    const std::string clause = filterClause(kDialect, "d", "t", {"a"}, c);
    EXPECT_EQ("from d.t  WHERE a > 10 AND a < 20", clause);
    EXPECT_EQ("Select count(*) from d.t  WHERE a > 10 AND a < 20", filteredCountStatement(clause));
    EXPECT_EQ("Select * from d.t  WHERE a > 10 AND a < 20 LIMIT 0,100",
              filteredPageStatement(clause, 0, 100));
    EXPECT_EQ("Select * from d.t  WHERE a > 10 AND a < 20 LIMIT 300,50",
              filteredPageStatement(clause, 6, 50));

    // All conditions of a column come before those of the next, whatever set they are in.
    auto order = noConditions();
    order[2][0] = "IS NOT NULL";
    order[0][1] = "LIKE 'x%'";
    order[1][1] = "<> 'xy'";
    order[0][2] = "= 'O''Brien' OR 1=1";  // the operator's SQL goes in as typed
    EXPECT_EQ("from d.t  WHERE a IS NOT NULL AND b LIKE 'x%' AND b <> 'xy' AND c = 'O''Brien' OR 1=1",
              filterClause(kDialect, "d", "t", {"a", "b", "c"}, order));

    for (std::size_t set = 0; set < 3; ++set) {
        auto first = noConditions();
        first[set][1] = "= 7";
        EXPECT_EQ("from d.t  WHERE b = 7", filterClause(kDialect, "d", "t", {"a", "b"}, first))
            << "set " << set;
    }

    auto names = noConditions();
    names[0][0] = "= 1";
    names[0][1] = "< 5";
    EXPECT_EQ("from `select`.t  WHERE `key` = 1 AND `my col` < 5",
              filterClause(kDialect, "select", "t", {"key", "my col"}, names));

    auto beyond = noConditions();
    beyond[0][3] = "= 1";  // a column the table no longer has
    EXPECT_EQ("", filterClause(kDialect, "d", "t", {"a", "b", "c"}, beyond));
    FilterConditions shortSets;
    shortSets[0] = {"= 1"};
    EXPECT_EQ("from d.t  WHERE a = 1", filterClause(kDialect, "d", "t", {"a", "b"}, shortSets));
}

TEST(RecordListText, ListStatementsFilterOnlyWhenActiveWithACondition) {
    auto c = noConditions();
    c[0][0] = "> 10";
    ListStatements filtered = listStatements(kDialect, "d", "t", {"a"}, c, true, 0, 100);
    EXPECT_EQ("Select * from d.t  WHERE a > 10 LIMIT 0,100", filtered.page);
    EXPECT_EQ("Select count(*) from d.t  WHERE a > 10", filtered.count);
    EXPECT_TRUE(filtered.filtered);

    ListStatements inactive = listStatements(kDialect, "d", "t", {"a"}, c, false, 1, 100);
    EXPECT_EQ("select * from d.t LIMIT 100,100", inactive.page);
    EXPECT_EQ("select count(*) from d.t", inactive.count);
    EXPECT_FALSE(inactive.filtered);

    ListStatements empty = listStatements(kDialect, "d", "t", {"a"}, noConditions(), true, 2, 10);
    EXPECT_EQ("select * from d.t LIMIT 20,10", empty.page);
    EXPECT_EQ("select count(*) from d.t", empty.count);
    EXPECT_FALSE(empty.filtered);
}

TEST(RecordListText, StatusTexts) {
    EXPECT_EQ(QStringLiteral("Record : 250  Database: d  Table: t  Current Page : 3"),
              recordStatusText("250", "d", "t", 2, false));
    EXPECT_EQ(QStringLiteral("検索結果 Record : 9  Database: d  Table: t  Current Page : 1"),
              recordStatusText("9", "d", "t", 0, true));
    EXPECT_EQ(QStringLiteral("Record : 0  Database: データ  Table: 表  Current Page : 1"),
              recordStatusText("0", "データ", "表", 0, false));
    EXPECT_EQ(QStringLiteral("Reference time : RES 3 s FREE 12 s"), referenceTimeText(3, 12));
}

TEST(RecordListText, Paging) {
    EXPECT_EQ(1, nextPageIndex(250, 0, 100));
    EXPECT_EQ(2, nextPageIndex(250, 1, 100));
    EXPECT_EQ(2, nextPageIndex(250, 2, 100)) << "the last, partly filled page is the end";
    EXPECT_EQ(1, nextPageIndex(200, 1, 100)) << "two full pages: the second is the last";
    EXPECT_EQ(1, nextPageIndex(200, 0, 100));
    EXPECT_EQ(1, nextPageIndex(101, 0, 100));
    EXPECT_EQ(1, nextPageIndex(101, 1, 100));
    EXPECT_EQ(0, nextPageIndex(100, 0, 100));
    EXPECT_EQ(0, nextPageIndex(1, 0, 1));
    EXPECT_EQ(1, nextPageIndex(2, 0, 1));
    EXPECT_EQ(0, nextPageIndex(99, 0, 100));
    EXPECT_EQ(4, nextPageIndex(0, 4, 100)) << "without a count the page stays";
    EXPECT_EQ(3, nextPageIndex(10, 2, 3));
    EXPECT_EQ(0, nextPageIndex(10, 0, 0)) << "no page length, no paging";
    EXPECT_EQ(std::nullopt, previousPageIndex(0));
    EXPECT_EQ(0, previousPageIndex(1));
    EXPECT_EQ(6, previousPageIndex(7));
}

TEST(RecordListText, OnlyTheMysqlGrantTablesGetTheirEditors) {
    EXPECT_EQ(RowEditor::UserEditor, rowEditorFor("mysql", "user"));
    EXPECT_EQ(RowEditor::DbEditor, rowEditorFor("mysql", "db"));
    EXPECT_EQ(RowEditor::HostEditor, rowEditorFor("mysql", "host"));
    for (const char* table : {"tables_priv", "User", "Host", "Database"})
        EXPECT_EQ(RowEditor::RecordDetails, rowEditorFor("mysql", table)) << table;
    EXPECT_EQ(RowEditor::RecordDetails, rowEditorFor("shop", "user"));

    EXPECT_FALSE(userRowOpens("", "", ""));
    EXPECT_TRUE(userRowOpens("localhost", "", ""));
    EXPECT_TRUE(userRowOpens("", "bob", ""));
    EXPECT_TRUE(userRowOpens("", "", "*ABC"));
}
