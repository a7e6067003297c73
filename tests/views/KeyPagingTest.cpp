#include <gtest/gtest.h>

#include <QStringList>

#include "ViewTesting.h"
#include "session/SqlText.h"
#include "session/StatusPanes.h"
#include "views/PageRead.h"

using namespace velkin;
using namespace velkin::test;

namespace {

using Statements = std::vector<std::string>;

constexpr int kRows = 40;
constexpr int kLength = 7;
constexpr int kLastPage = (kRows - 1) / kLength;

/// A table of kRows rows inserted out of key order, paged through the record list and compared, page
/// by page, with what a second client reads by "ORDER BY key LIMIT offset, n".
class KeyPaging : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ConnectResult::Admin, doc.Connect());
        op.clear();
    }

    /// columns: the table's column definitions and keys; values(i): the i-th row's VALUES text.
    void make(const std::string& table, const std::string& columns, const std::string& engine,
              const std::function<std::string(int)>& values) {
        exec(db.admin(), sqlf("CREATE TABLE %s.%s (%s) ENGINE=%s", db.name(), table, columns, engine));
        std::string rows;
        // Every seventh row first, so that the order rows were written in is not the key's.
        for (int start = 0; start < 7; ++start)
            for (int i = start; i < kRows; i += 7)
                rows += (rows.empty() ? "" : ",") + values(i);
        exec(db.admin(), sqlf("INSERT INTO %s.%s VALUES %s", db.name(), table, rows));
    }

    CSorvaneView& open(const std::string& table) {
        CSorvaneView& list = host.showTable(qs(db.name()), qs(table));
        list.setPage(0, kLength);
        list.refresh();
        return list;
    }

    /// The rows the list shows, each as its cells joined by '|'.
    static QStringList shown(CSorvaneView& list) {
        QStringList rows;
        for (int r = 0; r < list.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list.columnCount(); ++c)
                cells << list.cellText(r, c);
            rows << cells.join('|');
        }
        return rows;
    }

    /// What the offset statement ordered by the key gives for a page.
    QStringList expected(const std::string& table, const std::string& cells, const std::string& key, int page,
                         const std::string& where = "") {
        QStringList rows;
        for (const std::string& row :
             column(db.admin(), sqlf("SELECT CONCAT_WS('|', %s) FROM %s.%s %s ORDER BY %s LIMIT %d,%d", cells,
                                     db.name(), table, where, key, page * kLength, kLength)))
            rows << qs(row);
        return rows;
    }

    /// Forward with Page Up to the last page, back with Page Dwon to the first, then jumps.
    void walk(const std::string& table, const std::string& cells, const std::string& key,
              const std::string& where = "") {
        CSorvaneView& list = *host.recordList();
        const int counted =
            std::stoi(scalar(db.admin(), sqlf("SELECT COUNT(*) FROM %s.%s %s", db.name(), table, where)));
        ASSERT_EQ(where.empty() ? kLastPage : (counted - 1) / kLength, lastPage(list)) << table;
        ASSERT_GT(lastPage(list), 2) << "deep enough for every way to a page";
        for (int page = 0;; ++page) {
            EXPECT_EQ(expected(table, cells, key, page, where), shown(list)) << table << " page " << page;
            if (page == lastPage(list))
                break;
            list.nextPage();
        }
        for (int page = lastPage(list) - 1; page >= 0; --page) {
            list.previousPage();
            EXPECT_EQ(expected(table, cells, key, page, where), shown(list)) << table << " back to " << page;
        }
        for (int page : {3, lastPage(list), lastPage(list) - 1, 1}) {
            list.setPage(page, kLength);
            list.refresh();
            EXPECT_EQ(expected(table, cells, key, page, where), shown(list)) << table << " jump to " << page;
        }
    }
    static int lastPage(CSorvaneView& list) { return std::max(0, (list.paging().count - 1) / kLength); }

    ScratchDatabase db{"velkin_keypage"};
    ScriptedOperator op;
    CSorvaneDoc doc{op, loginAs(adminAccount())};
    TestViewHost host{doc, op};
};

}  // namespace

TEST_F(KeyPaging, EveryPageHoldsTheRowsOfTheOffsetStatementInKeyOrder) {
    const auto number = [](int i) { return sqlf("(%d,'row %d')", (i * 37) % 101, i); };
    for (const char* engine : {"InnoDB", "MyISAM"}) {
        const std::string table = std::string("ints_") + engine;
        make(table, "id INT PRIMARY KEY, b VARCHAR(20)", engine, number);
        open(table);
        walk(table, "id, b", "id");
    }

    // A composite key, a text key whose collation ignores case, and a unique key over NOT NULL
    // columns in a table without a primary key.
    make("pair", "g INT, name VARCHAR(10), v INT, PRIMARY KEY (g, name)", "InnoDB",
         [](int i) { return sqlf("(%d,'n%02d',%d)", i % 3, (i * 7) % 40, i); });
    open("pair");
    walk("pair", "g, name, v", "g, name");
    make("words", "w VARCHAR(20) PRIMARY KEY, v INT", "InnoDB",
         [](int i) { return sqlf("('%s%02d',%d)", i % 2 ? "Ab" : "aB", i, i); });
    open("words");
    walk("words", "w, v", "w");
    make("uniq", "u BIGINT NOT NULL, v VARCHAR(5), UNIQUE KEY (u)", "MyISAM",
         [](int i) { return sqlf("(%d,'v%d')", 1000 - i * 3, i); });
    open("uniq");
    walk("uniq", "u, v", "u");

    // With a filter: only the rows it lets through, still in key order.
    CSorvaneView& list = open(std::string("ints_InnoDB"));
    list.m_conditions[0] = {"> 20"};
    list.setFiltered(true);
    list.setPage(0, kLength);
    list.refresh();
    walk("ints_InnoDB", "id, b", "id", "WHERE id > 20");
}

TEST_F(KeyPaging, NextPagesStartAfterTheShownKeyAndTablesWithoutAKeyPageByOffset) {
    make("keyed", "id INT PRIMARY KEY, b INT", "InnoDB", [](int i) { return sqlf("(%d,%d)", i, i); });
    CSorvaneView& keyed = open("keyed");
    StatementLog log;
    keyed.nextPage();
    ASSERT_FALSE(log.statements.empty());
    EXPECT_EQ(sqlf("select * from %s.keyed WHERE id > '6' ORDER BY id LIMIT 7", db.name()),
              log.statements.front());

    // A unique key that may hold NULL cannot order the pages; nor can one that ORDER BY in a
    // condition overrides.
    make("loose", "u INT NULL, UNIQUE KEY (u)", "InnoDB", [](int i) { return sqlf("(%d)", i); });
    CSorvaneView& loose = open("loose");
    log.clear();
    loose.nextPage();
    EXPECT_EQ((Statements{sqlf("select * from %s.loose LIMIT 7,7", db.name()),
                          sqlf("select count(*) from %s.loose", db.name())}),
              log.statements);
    CSorvaneView& ordered = open("keyed");
    ordered.m_conditions[0] = {"", "> 0 ORDER BY b DESC"};
    ordered.setFiltered(true);
    log.clear();
    ordered.refresh();
    EXPECT_EQ(sqlf("Select * from %s.keyed  WHERE b > 0 ORDER BY b DESC LIMIT 0,7", db.name()),
              log.statements.front());
    EXPECT_EQ("39", ordered.cellText(0, 0));
}

TEST_F(KeyPaging, ABigInnoDbTableShowsItsEstimateWithTheFirstPageAndTheExactCountAfter) {
    make("big", "id INT PRIMARY KEY, b INT", "InnoDB", [](int i) { return sqlf("(%d,%d)", i, i); });
    make("small", "id INT PRIMARY KEY, b INT", "MyISAM", [](int i) { return sqlf("(%d,%d)", i, i); });
    exec(db.admin(), sqlf("ANALYZE TABLE %s.big", db.name()));
    const std::string estimate = scalar(db.admin(), sqlf("SELECT TABLE_ROWS FROM information_schema.TABLES "
                                                         "WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME = 'big'",
                                                         db.name()));
    const long long usual = countLaterFrom();
    setCountLaterFrom(1);
    StatementLog log;
    CSorvaneView& big = open("big");
    const auto countAt = std::find(log.statements.begin(), log.statements.end(),
                                   sqlf("select count(*) from %s.big", db.name()));
    const auto pageAt = std::find_if(log.statements.begin(), log.statements.end(),
                                     [](const std::string& s) { return s.rfind("select * from", 0) == 0; });
    ASSERT_NE(log.statements.end(), countAt);
    EXPECT_LT(pageAt, countAt) << "the page is not held up by the count";
    QStringList records;
    for (const auto& [pane, text] : host.panes.history)
        if (pane == kRecordPane)
            records << text.section("  ", 0, 0);
    EXPECT_EQ((QStringList{QString::fromStdString("Record : about " + estimate), "Record : 40"}),
              records.mid(0, 2));
    EXPECT_EQ(40, big.paging().count);

    host.panes.history.clear();
    open("small");
    setCountLaterFrom(usual);
    for (const auto& [pane, text] : host.panes.history)
        EXPECT_FALSE(text.contains("about")) << "a MyISAM table knows its count at once";
}
