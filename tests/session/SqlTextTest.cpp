#include <gtest/gtest.h>

#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(SqlText, FormatsArePrintfFormats) {
    EXPECT_EQ("select * from db1.t1 LIMIT 200,100",
              sqlf("select * from %s.%s LIMIT %d,%d", "db1", "t1", 200, 100));
    EXPECT_EQ("1045:Access denied", sqlf("%d:%s", 1045, std::string("Access denied")));
    EXPECT_EQ(QString::fromUtf8("検索結果 12"), textf("検索結果 %d", 12));
}

TEST(SqlText, ValuesWithQuotesAndBackslashesLandUnchanged) {
    ScratchDatabase db("velkin_sqltext_values");
    auto c = connectAdmin();
    exec(*c, "CREATE TABLE velkin_sqltext_values.t (id INT, v VARCHAR(100) NULL)");
    const std::string tricky[] = {"O'Brien", "back\\slash", "it''s", "\\'; DROP TABLE t; --", "plain", "行"};
    int id = 0;
    for (const auto& value : tricky) {
        std::string sql =
            sqlf("INSERT INTO %s.%s VALUES (%d, '%s')", db.name(), "t", ++id, escapeValue(*c, value));
        ASSERT_EQ(0, c->query(sql)) << sql << " " << c->errorLine();
    }
    EXPECT_EQ("INSERT INTO x VALUES ('plain')", sqlf("INSERT INTO x VALUES ('%s')", escapeValue(*c, "plain")))
        << "values without special characters keep the statement text";
    EXPECT_EQ("O\\'Brien", escapeValue(*c, "O'Brien"));

    std::vector<std::string> stored = column(*c, "SELECT v FROM velkin_sqltext_values.t ORDER BY id");
    EXPECT_EQ(std::vector<std::string>(std::begin(tricky), std::end(tricky)), stored);

    exec(*c, sqlf("INSERT INTO velkin_sqltext_values.t VALUES (99, %s)", quoteValue(*c, std::nullopt)));
    exec(*c, sqlf("INSERT INTO velkin_sqltext_values.t VALUES (98, %s)",
                  quoteValue(*c, std::string_view("NULL"))));
    EXPECT_EQ("(null)", scalar(*c, "SELECT v FROM velkin_sqltext_values.t WHERE id = 99"));
    EXPECT_EQ("NULL", scalar(*c, "SELECT v FROM velkin_sqltext_values.t WHERE id = 98"))
        << "the text NULL stays a text";
}

TEST(SqlText, NamesAreBareUnlessTheyNeedQuoting) {
    ServerDialect d(101100, true);
    EXPECT_EQ("user", quoteName("user", d));
    EXPECT_EQ("Host", quoteName("Host", d));
    EXPECT_EQ("my_table$2", quoteName("my_table$2", d));
    EXPECT_EQ("status", quoteName("status", d));
    EXPECT_EQ("`rank`", quoteName("rank", d));
    EXPECT_EQ("`Select`", quoteName("Select", d));
    EXPECT_EQ("`order`", quoteName("order", d));
    EXPECT_EQ("`2024data`", quoteName("2024data", d));
    EXPECT_EQ("`my table`", quoteName("my table", d));
    EXPECT_EQ("`a-b`", quoteName("a-b", d));
    EXPECT_EQ("`we``ird`", quoteName("we`ird", d));
    EXPECT_EQ("`日本`", quoteName("日本", d));
    EXPECT_EQ("``", quoteName("", d));

    ServerDialect withServerWords(80400);
    EXPECT_EQ("novelword", quoteName("novelword", withServerWords));
    withServerWords.addReservedWords({"novelword"});
    EXPECT_EQ("`NovelWord`", quoteName("NovelWord", withServerWords));
}

TEST(SqlText, QuotedNamesWorkOnTheServer) {
    ScratchDatabase db("velkin sqltext-names");
    auto c = connectAdmin();
    for (std::string table : {"rank", "we`ird", "plain_t", "select"}) {
        std::string q = qualifiedName(*c, db.name(), table);
        exec(*c, sqlf("CREATE TABLE %s (%s INT)", q, quoteName(*c, "order")));
        exec(*c, sqlf("INSERT INTO %s VALUES (7)", q));
        EXPECT_EQ("7", scalar(*c, sqlf("select * from %s", q))) << q;
    }
    EXPECT_EQ("`velkin sqltext-names`.plain_t", qualifiedName(*c, db.name(), "plain_t"));
}

TEST(SqlText, LikeLiteralMatchesOnlyTheNamedTable) {
    ScratchDatabase db("velkin_sqltext_like");
    auto c = connectAdmin();
    const char* names[] = {"a_b", "axb", "a%b", "aZZb", "q'uote", "back\\slash", "backxslash"};
    for (const char* n : names)
        exec(*c, sqlf("CREATE TABLE %s (x INT)", qualifiedName(*c, db.name(), n)));
    ASSERT_TRUE(c->selectDb(db.name()));
    for (const char* n : names) {
        std::string pattern = likeLiteral(n);
        Result r = c->listTables(pattern.c_str());
        ASSERT_TRUE(r) << n << " " << c->errorLine();
        std::vector<std::string> found;
        while (Row row = r.fetchRow())
            found.push_back(row.str(0));
        EXPECT_EQ(std::vector<std::string>{n}, found) << "pattern " << pattern;
    }
    EXPECT_EQ("a\\_b\\%c", likeLiteral("a_b%c"));
}

TEST(SqlText, ColumnListReadsAwkwardTablesAndSaysWhenRefused) {
    ScratchDatabase db("velkin sqltext 'cols'");
    auto c = connectAdmin();
    exec(*c, sqlf("CREATE TABLE %s (`id` INT PRIMARY KEY, `it's` VARCHAR(5) NULL DEFAULT NULL, b BLOB)",
                  qualifiedName(*c, db.name(), "a`b c")));
    EXPECT_EQ("SHOW fields FROM `velkin sqltext 'cols'`.`a``b c`",
              showFieldsStatement(*c, db.name(), "a`b c"));
    EXPECT_EQ(db.name(), scalar(*c, showDatabasesStatement() + " LIKE '" + likeLiteral(*c, db.name()) + "'"));

    const auto lines = readFieldLines(*c, db.name(), "a`b c");
    ASSERT_TRUE(lines) << c->errorLine();
    ASSERT_EQ(3u, lines->size());
    EXPECT_EQ("id", (*lines)[0].name());
    EXPECT_EQ("PRI", (*lines)[0].key());
    EXPECT_EQ("it's", (*lines)[1].name());
    EXPECT_EQ("varchar(5)", (*lines)[1].type());
    EXPECT_FALSE((*lines)[1].cells.at(4)) << "a NULL default stays NULL, not an empty text";
    EXPECT_EQ("b", (*lines)[2].name());

    EXPECT_FALSE(readFieldLines(*c, db.name(), "missing"));
    EXPECT_EQ(1146u, c->errorNumber());
}
