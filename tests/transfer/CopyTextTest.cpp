#include <gtest/gtest.h>

#include "TransferTesting.h"
#include "support/TestServer.h"
#include "transfer/CopyText.h"
#include "transfer/MaintenanceText.h"
#include "transfer/TextModeFile.h"

#include <sys/stat.h>

#include <cstdio>

using namespace velkin;
using namespace velkin::test;

TEST(CopyText, TableTypeRewriteReplacesTheTypeWordAndKeepsWhatFollows) {
    // The clause last, with no blank after the type word.
    EXPECT_EQ("CREATE TABLE `t` (\r\n  `a` int(11)\r\n) TYPE=HEAP",
              createForTableType("CREATE TABLE `t` (\r\n  `a` int(11)\r\n) TYPE=MyISAM", "TYPE", "HEAP"));
    // Options after the type word stay.
    EXPECT_EQ(
        "CREATE TABLE `t` (\n  `a` int(11)\n) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 "
        "COLLATE=utf8mb4_general_ci",
        createForTableType("CREATE TABLE `t` (\n  `a` int(11)\n) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 "
                           "COLLATE=utf8mb4_general_ci",
                           "ENGINE", "MyISAM"));
    // Only the first clause is rewritten; a second choice replaces the first.
    const std::string once = createForTableType("CREATE TABLE t (a int) ENGINE=InnoDB", "ENGINE", "HEAP");
    EXPECT_EQ("CREATE TABLE t (a int) ENGINE=HEAP", once);
    EXPECT_EQ("CREATE TABLE t (a int) ENGINE=INNOBASE", createForTableType(once, "ENGINE", "INNOBASE"));
    // The clause is set off by one blank, also where the text had none.
    EXPECT_EQ("CREATE TABLE t (a int) ENGINE=ISAM",
              createForTableType("CREATE TABLE t (a int)ENGINE=x", "ENGINE", "ISAM"));
    // No clause: it is added, so that the chosen type applies. Nothing to rewrite: unchanged.
    EXPECT_EQ("CREATE TABLE t (a int) ENGINE=HEAP",
              createForTableType("CREATE TABLE t (a int)", "ENGINE", "HEAP"));
    EXPECT_EQ("", createForTableType("", "ENGINE", "HEAP"));
    EXPECT_EQ("CREATE TABLE t (a int) ENGINE=InnoDB",
              createForTableType("CREATE TABLE t (a int) ENGINE=InnoDB", "ENGINE", ""));
}

TEST(CopyText, NewNameRewriteKeepsTheDefinitionFromItsFirstParenthesis) {
    const std::string server = "CREATE TABLE `people` (\r\n  `id` int(11) NOT NULL\r\n) ENGINE=InnoDB";
    EXPECT_EQ("CREATE TABLE target.copy (\r\n  `id` int(11) NOT NULL\r\n) ENGINE=InnoDB",
              createForNewName(server, "target", "copy"));
    // No database chosen yet: the point stays in front of the name.
    EXPECT_EQ("CREATE TABLE .copy (\r\n  `id` int(11) NOT NULL\r\n) ENGINE=InnoDB",
              createForNewName(server, "", "copy"));
    // A type chosen before the destination survives the rename.
    const std::string typed = createForTableType(server, "ENGINE", "MyISAM");
    EXPECT_EQ("CREATE TABLE target.copy (\r\n  `id` int(11) NOT NULL\r\n) ENGINE=MyISAM",
              createForNewName(typed, "target", "copy"));
    EXPECT_EQ("no definition here", createForNewName("no definition here", "target", "copy"));
}

TEST(CopyText, NewNameRewriteSkipsParenthesesInsideQuotedNames) {
    EXPECT_EQ("CREATE TABLE t.n (\n  `x(1)` int\n)",
              createForNewName("CREATE TABLE `a(b` (\n  `x(1)` int\n)", "t", "n"));
    EXPECT_EQ("CREATE TABLE t.n (x int)", createForNewName("CREATE TABLE `a``(b` (x int)", "t", "n"));
    EXPECT_EQ("CREATE TABLE t.n (x int)",
              createForNewName("CREATE TABLE \"q(\"\"(\".`d(` (x int)", "t", "n"));
    EXPECT_EQ(std::string::npos, definitionStart("CREATE TABLE `only(quoted`"));
    EXPECT_EQ(std::string("CREATE TABLE `unclosed(`"),
              createForNewName("CREATE TABLE `unclosed(`", "t", "n"));
    // The dump names database and table in its CREATE; a view's text stays as it is.
    EXPECT_EQ("CREATE TABLE d.`a(b` (x int)", qualifiedCreate("CREATE TABLE `a(b` (x int)", "d", "`a(b`"));
    EXPECT_EQ("CREATE ALGORITHM=UNDEFINED VIEW `v` AS select 1",
              qualifiedCreate("CREATE ALGORITHM=UNDEFINED VIEW `v` AS select 1", "d", "v"));
}

TEST(CopyText, TypedNamesLoseTheirQuotesForTheCatalog) {
    EXPECT_EQ("x-y", unquotedName("`x-y`"));
    EXPECT_EQ("a`b", unquotedName("`a``b`"));
    EXPECT_EQ("plain", unquotedName("plain"));
    EXPECT_EQ("`", unquotedName("`"));
    EXPECT_EQ("", unquotedName("``"));
}

TEST(CopyText, LogEntriesAndStatements) {
    EXPECT_EQ("Data shift start\n", copyStartEntry());
    EXPECT_EQ("Data acquisition start 2000 - 3000     ", acquisitionStartEntry(2000));
    EXPECT_EQ("Data acquisition success 0 - 1000\n", acquisitionSuccessEntry(0));
    EXPECT_EQ("Data acquisition failure\n", acquisitionFailureEntry());
    EXPECT_EQ("Data shift end\n", copyEndEntry());
    EXPECT_EQ("\nError: Query=INSERT x\n", failedInsertEntry("INSERT x"));
    EXPECT_EQ("select count(*) from db.t", countStatement("db.t"));
    EXPECT_EQ("select * from db.t", readAllStatement("db.t"));
    EXPECT_EQ("Show create table db.t;", showCreateStatement("db.t"));
    EXPECT_EQ("INSERT INTO db.t ( name,age ) VALUES ", insertHead("db.t", "name,age"));
}

TEST(MaintenanceText, StatementsKeepTheirOptionOrder) {
    CheckOptions all;
    all.quick = all.fast = all.changed = all.medium = all.extended = true;
    EXPECT_EQ("CHECK TABLE db.t QUICK Extended Fast CHANGED MEDIUM", checkStatement("db.t", all));
    CheckOptions some;
    some.medium = some.fast = true;
    EXPECT_EQ("CHECK TABLE db.t Fast MEDIUM", checkStatement("db.t", some));
    EXPECT_EQ("CHECK TABLE db.t", checkStatement("db.t", {}));
    EXPECT_EQ("REPAIR TABLE db.t QUICK EXTENDED", repairStatement("db.t", {true, true}));
    EXPECT_EQ("REPAIR TABLE db.t EXTENDED", repairStatement("db.t", {false, true}));
    EXPECT_EQ("ANALYZE TABLE db.t", analyzeStatement("db.t"));
    EXPECT_EQ("OPTIMIZE TABLE db.t", optimizeStatement("db.t"));
    EXPECT_EQ("BACKUP TABLE db.t TO '/srv/back'", backupStatement("db.t", "/srv/back"));
    EXPECT_EQ("RESTORE TABLE db.t FROM '/srv/back'", restoreStatement("db.t", "/srv/back"));
    EXPECT_EQ("ALTER TABLE db.t ENGINE=Innobase", conversionStatement("db.t", "ENGINE", "Innobase"));
    EXPECT_EQ("ALTER TABLE db.t TYPE=HEAP", conversionStatement("db.t", "TYPE", "HEAP"));
}

TEST(MaintenanceText, LogLinesAreAppendedWithTextModeLineEnds) {
    EXPECT_EQ("1700000000 shop.orders /var/backup root localhost\n",
              maintenanceLogLine(1700000000ULL, "shop", "orders", "/var/backup", "root", "localhost"));
    // Opened from the table editor: no login and host, the blanks stay.
    EXPECT_EQ("5 d.t dir  \n", maintenanceLogLine(5, "d", "t", "dir", "", ""));

    ScratchDirectory dir;
    ASSERT_TRUE(appendToLog("Backup.log", maintenanceLogLine(1, "d", "t", "x", "u", "h")));
    ASSERT_TRUE(appendToLog("Backup.log", maintenanceLogLine(2, "d", "t", "y", "u", "h")));
    EXPECT_EQ("1 d.t x u h\r\n2 d.t y u h\r\n", fileBytes("Backup.log"));
    EXPECT_FALSE(appendToLog(dir.path() + "/missing/restore.log", "line\n"));
    // The logs name paths and accounts and hold copied rows: owner only, also when the file was
    // readable by others before.
    auto mode = [](const char* path) {
        struct stat st {};
        return ::stat(path, &st) == 0 ? static_cast<unsigned>(st.st_mode & 0777) : 0u;
    };
    EXPECT_EQ(0600u, mode("Backup.log"));
    {
        std::FILE* f = std::fopen("restore.log", "wb");
        ASSERT_NE(nullptr, f);
        std::fclose(f);
    }
    ::chmod("restore.log", 0644);
    ASSERT_TRUE(appendToLog("restore.log", "line\n"));
    EXPECT_EQ(0600u, mode("restore.log"));
    TextModeFile copyLog;
    ASSERT_TRUE(copyLog.openPrivate("rep_table.log"));
    EXPECT_TRUE(copyLog.close());
    EXPECT_EQ(0600u, mode("rep_table.log"));
}
