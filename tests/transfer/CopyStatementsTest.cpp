#include <gtest/gtest.h>

#include <algorithm>

#include "support/TestServer.h"
#include "transfer/CopyStatements.h"
#include "transfer/CopyText.h"
#include "transfer/KeySteps.h"

using namespace velkin;
using namespace velkin::test;

TEST(CopyStatements, RangeKeyIsThePrimaryKeyElseTheShortestUniqueKeyWithoutNulls) {
    auto line = [](const char* index, const char* column, const char* type, bool nullable = false,
                   bool prefix = false) {
        return KeyColumnLine{index, column, type, nullable, prefix};
    };
    using Key = std::optional<std::vector<std::string>>;
    EXPECT_EQ(Key({"a", "b"}), rangeKey({line("PRIMARY", "a", "int"), line("PRIMARY", "b", "varchar"),
                                         line("u", "c", "bigint")}));
    EXPECT_EQ(Key({"c"}), rangeKey({line("long", "x", "int"), line("long", "y", "int"),
                                    line("u", "c", "date"), line("v", "d", "int", true)}));
    // A key that may hold NULL, covers a prefix, or holds values whose text is rounded cannot bound ranges.
    EXPECT_EQ(Key(), rangeKey({line("PRIMARY", "f", "double"), line("u", "d", "int", true),
                               line("p", "t", "varchar", false, true), line("e", "e", "enum")}));
    EXPECT_EQ(Key(), rangeKey({}));
}

TEST(CopyStatements, BlocksAreKeyRangesInKeyOrder) {
    std::unique_ptr<Connection> c = connectAdmin();
    ASSERT_TRUE(c);
    EXPECT_EQ("id > '1000'", keyAfterCondition(*c, {"id"}, {"1000"}));
    EXPECT_EQ("id <= 'O\\'Brien'", keyUpToCondition(*c, {"id"}, {"O'Brien"}));
    EXPECT_EQ("((a > '1') OR (a = '1' AND b > 'x'))", keyAfterCondition(*c, {"a", "b"}, {"1", "x"}));
    EXPECT_EQ("((a < '1') OR (a = '1' AND `b c` < '2') OR (a = '1' AND `b c` = '2' AND d <= '3'))",
              keyUpToCondition(*c, {"a", "`b c`", "d"}, {"1", "2", "3"}));
    EXPECT_EQ("SELECT id FROM db.s ORDER BY id LIMIT 999, 1", blockEndQuery("db.s", "id", "", 1000));
    EXPECT_EQ("SELECT a,b FROM db.s WHERE a > '1' ORDER BY a,b LIMIT 999, 1",
              blockEndQuery("db.s", "a,b", "a > '1'", 1000));
    EXPECT_EQ(
        "INSERT INTO db.d ( id,name ) SELECT id,name FROM db.s WHERE id > '1' AND id <= '9' ORDER BY id",
        blockCopyStatement("db.d", "id,name", "db.s", bothConditions("id > '1'", "id <= '9'"), "id"));
    EXPECT_EQ("INSERT INTO db.d ( id ) SELECT id FROM db.s ORDER BY id",
              blockCopyStatement("db.d", "id", "db.s", bothConditions("", ""), "id"));
    EXPECT_EQ("SELECT id,name FROM db.s WHERE id > '1' ORDER BY id",
              blockReadStatement("db.s", "id,name", bothConditions("id > '1'", ""), "id"));
    // The key's columns are looked up in the catalog of the one table, not of every table there is.
    Result plan = c->select("EXPLAIN " + uniqueKeysQuery(*c, "mysql", "db"));
    int catalogTables = 0;
    while (Row row = plan.fetchRow()) {
        ++catalogTables;
        EXPECT_NE(std::string::npos, row.str(9).find("Scanned 0 databases")) << row.str(9);
    }
    EXPECT_EQ(2, catalogTables);
}

TEST(CopyStatements, IntegerKeysAreCutIntoBlocksOfAboutTheRowsAsked) {
    for (const char* text : {"0", "-9223372036854775808", "18446744073709551615", "42"})
        EXPECT_EQ(text, keyIntegerText(parseKeyInteger(text).value_or(-1)));
    for (const char* text : {"", "-", "1.5", "1e3", "18446744073709551616", "-9223372036854775809"})
        EXPECT_FALSE(parseKeyInteger(text)) << text;
    EXPECT_TRUE(isIntegerType("BIGINT"));
    EXPECT_FALSE(isIntegerType("decimal"));
    EXPECT_EQ("SELECT MIN(`a b`), MAX(`a b`) FROM db.s", keyBoundsQuery("db.s", "`a b`"));
    EXPECT_EQ("SELECT MIN(id), MAX(id) FROM db.s WHERE id > '7'", keyBoundsQuery("db.s", "id", "id > '7'"));

    auto uppers = [](KeySteps steps, const std::vector<long long>& rowsHeld) {
        std::vector<std::string> list;
        for (long long rows : rowsHeld) {
            list.push_back(steps.upper() ? keyIntegerText(*steps.upper()) : "end");
            steps.next(rows);
        }
        return list;
    };
    using Texts = std::vector<std::string>;
    // A dense key: blocks as wide as the rows asked, the last without an upper bound.
    EXPECT_EQ((Texts{"10000", "20000", "end"}), uppers(KeySteps(1, 25000, 10000), {10000, 10000, 5000}));
    EXPECT_EQ((Texts{"end"}), uppers(KeySteps(5, 7, 10000), {3}));
    // Empty blocks widen the next four times, crowded ones narrow it, at most four times either way.
    EXPECT_EQ((Texts{"10", "50", "60", "70"}), uppers(KeySteps(1, 1000, 10), {0, 200, 10, 10}));
    EXPECT_EQ((Texts{"10", "50", "end"}), uppers(KeySteps(1, 100, 10), {0, 0, 0}));
    // Past a gap the next block starts at the next key, as wide as before.
    KeySteps gap(1, 1000000, 10);
    gap.restartAt(500000);
    EXPECT_EQ("500009", keyIntegerText(gap.upper().value()));
    // The widest keys: no overflow at either end.
    EXPECT_EQ((Texts{"-4611686018427387905", "13835058055282163711", "end"}),
              uppers(KeySteps(parseKeyInteger("-9223372036854775808").value(),
                              parseKeyInteger("18446744073709551615").value(), 4611686018427387904LL),
                     {0, 0, 0}));
}

TEST(CopyStatements, DumpRowsAreLoadedUnderOneLockAndOneTransaction) {
    EXPECT_EQ(
        "SET @velkin_unique_checks = @@unique_checks, @velkin_autocommit = @@autocommit;\n"
        "SET unique_checks = 0;\n"
        "LOCK TABLES db.`t t` WRITE;\n"
        "ALTER TABLE db.`t t` DISABLE KEYS;\n"
        "SET autocommit = 0;\n",
        dumpRowsPrologue("db.`t t`"));
    EXPECT_EQ(
        "COMMIT;\n"
        "ALTER TABLE db.`t t` ENABLE KEYS;\n"
        "UNLOCK TABLES;\n"
        "SET unique_checks = @velkin_unique_checks, autocommit = @velkin_autocommit;\n",
        dumpRowsEpilogue("db.`t t`"));
}

TEST(CopyStatements, LoadStreamCarriesEveryValueAndReadsBackTheSame) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    std::vector<std::optional<std::string>> values = {std::nullopt,
                                                      std::string("NULL"),
                                                      std::string("\\N"),
                                                      std::string(""),
                                                      std::string("a\tb\nc\r\\d"),
                                                      bytes,
                                                      std::string("emoji \xF0\x9F\x98\x80")};
    std::vector<char*> cells;
    std::vector<unsigned long> lengths;
    for (auto& v : values) {
        cells.push_back(v ? v->data() : nullptr);
        lengths.push_back(v ? v->size() : 0);
    }
    const Row row(cells.data(), lengths.data(), static_cast<unsigned>(cells.size()));
    std::string stream;
    appendLoadDataRow(stream, row);
    appendLoadDataRow(stream, row);
    EXPECT_EQ("\\N\tNULL\t\\\\N\t\ta\\tb\\nc\\r\\\\d\t", stream.substr(0, 26));
    EXPECT_EQ(2, std::count(stream.begin(), stream.end(), '\n'));
    EXPECT_EQ((std::vector<ValueRow>{values, values}), parseLoadDataRows(stream));
    EXPECT_EQ(
        "LOAD DATA LOCAL INFILE 'rows' INTO TABLE db.`t t` CHARACTER SET utf8mb4 FIELDS TERMINATED BY "
        "X'09' ESCAPED BY X'5C' LINES TERMINATED BY X'0A' ( a,`b c` )",
        copyLoadStatement("db.`t t`", "utf8mb4", "a,`b c`"));
}
