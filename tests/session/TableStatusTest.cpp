#include <gtest/gtest.h>

#include <map>

#include "session/Connection.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(TableStatus, ReadsCurrentAndOldStatusLayoutsByName) {
    using Cells = std::vector<std::optional<std::string>>;
    const std::vector<std::string> current = {
        "Name",        "Engine",          "Version",      "Row_format", "Rows",           "Avg_row_length",
        "Data_length", "Max_data_length", "Index_length", "Data_free",  "Auto_increment", "Create_time",
        "Update_time", "Check_time",      "Collation",    "Checksum",   "Create_options", "Comment"};
    const Cells currentRow = {"t",
                              "Aria",
                              "10",
                              "Page",
                              "3",
                              "12",
                              "5000000000",
                              "0",
                              "8192",
                              "16",
                              std::nullopt,
                              "2024-01-02 03:04:05",
                              std::nullopt,
                              std::nullopt,
                              "utf8mb4_general_ci",
                              std::nullopt,
                              "transactional=1",
                              ""};
    const TableStatus a = parseTableStatus(current, currentRow);
    EXPECT_EQ(a.name, "t");
    EXPECT_EQ(a.type, "Aria");
    EXPECT_EQ(a.rowFormat, "Page");
    EXPECT_EQ(a.rows, 3u);
    EXPECT_EQ(a.avgRowLength, 12u);
    EXPECT_EQ(a.data, 5000000000u);
    EXPECT_EQ(a.max, 0u);
    EXPECT_EQ(a.index, 8192u);
    EXPECT_EQ(a.free, 16u);
    EXPECT_EQ(a.created, "2024-01-02 03:04:05");
    EXPECT_EQ(a.updated, "");
    EXPECT_EQ(a.checked, "");
    EXPECT_EQ(a.options, "transactional=1");

    // The old layout: no Version, Collation or Checksum, "Type" for the engine.
    const std::vector<std::string> old = {
        "Name",           "Type",           "Row_format",      "Rows",
        "Avg_row_length", "Data_length",    "Max_data_length", "Index_length",
        "Data_free",      "Auto_increment", "Create_time",     "Update_time",
        "Check_time",     "Create_options", "Comment"};
    const Cells oldRow = {"t",
                          "MyISAM",
                          "Fixed",
                          "4",
                          "7",
                          "28",
                          "4294967295",
                          "2048",
                          "0",
                          std::nullopt,
                          "2001-01-01 00:00:00",
                          "2001-01-02 00:00:00",
                          "2001-01-03 00:00:00",
                          "",
                          ""};
    const TableStatus b = parseTableStatus(old, oldRow);
    EXPECT_EQ(b.type, "MyISAM");
    EXPECT_EQ(b.rows, 4u);
    EXPECT_EQ(b.max, 4294967295u);
    EXPECT_EQ(b.index, 2048u);
    EXPECT_EQ(b.checked, "2001-01-03 00:00:00");
    // Without names the old positions hold.
    EXPECT_EQ(parseTableStatus({}, oldRow).data, 28u);
    EXPECT_EQ(parseTableStatus({}, oldRow).updated, "2001-01-02 00:00:00");
    EXPECT_EQ(parseTableStatus({}, {}).rows, 0u);
}

TEST(TableStatus, ReadsADatabaseInOneStatementAndOneTableByItsExactName) {
    ScratchDatabase db("velkin_status");
    exec(db.admin(), "CREATE TABLE velkin_status.a_b (c INT) ENGINE=MyISAM");
    exec(db.admin(), "CREATE TABLE velkin_status.aab (c INT) ENGINE=InnoDB");
    exec(db.admin(), "CREATE TABLE velkin_status.`it's ``odd``` (c CHAR(10)) ENGINE=MyISAM");
    exec(db.admin(), "INSERT INTO velkin_status.a_b VALUES (1), (2), (3)");
    auto connection = connectAdmin();

    StatementLog log;
    const TableStatusList all = readTableStatus(*connection, "velkin_status");
    EXPECT_EQ(std::vector<std::string>{"SHOW TABLE STATUS FROM velkin_status"}, log.statements);
    ASSERT_TRUE(all.read());
    std::map<std::string, TableStatus> byName;
    for (const TableStatus& t : all.tables)
        byName[t.name] = t;
    ASSERT_EQ(3u, byName.size());
    EXPECT_EQ("MyISAM", byName["a_b"].type);
    EXPECT_EQ(3u, byName["a_b"].rows) << "MyISAM counts its rows exactly";
    EXPECT_EQ(3u * byName["a_b"].avgRowLength, byName["a_b"].data);
    EXPECT_EQ("InnoDB", byName["aab"].type);
    EXPECT_EQ("MyISAM", byName["it's `odd`"].type);

    // The pattern's _ and the name's quote and backticks are taken literally.
    log.clear();
    const TableStatusList one = readTableStatus(*connection, "velkin_status", "a_b");
    EXPECT_EQ(std::vector<std::string>{"SHOW TABLE STATUS FROM velkin_status Like 'a\\_b'"}, log.statements);
    ASSERT_TRUE(one.read());
    ASSERT_EQ(1u, one.tables.size());
    EXPECT_EQ("a_b", one.tables[0].name);
    const TableStatusList odd = readTableStatus(*connection, "velkin_status", "it's `odd`");
    ASSERT_EQ(1u, odd.tables.size());
    EXPECT_EQ("it's `odd`", odd.tables[0].name);

    const TableStatusList none = readTableStatus(*connection, "velkin_status", "nothere");
    EXPECT_TRUE(none.read());
    EXPECT_TRUE(none.tables.empty());
    const TableStatusList refused = readTableStatus(*connection, "velkin_status_nowhere");
    EXPECT_EQ(TableStatusList::Outcome::QueryFailed, refused.outcome);
    EXPECT_EQ(1049u, connection->errorNumber());
}
