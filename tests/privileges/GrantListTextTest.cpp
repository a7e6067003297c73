#include <gtest/gtest.h>

#include "privileges/GrantListText.h"
#include "privileges/GrantStatements.h"
#include "privileges/PrivilegeFlags.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(GrantListText, HostClassesAndLabels) {
    EXPECT_EQ(HostClass::Local, hostClassOf("localhost"));
    EXPECT_EQ(HostClass::Global, hostClassOf("%"));
    EXPECT_EQ(HostClass::Global, hostClassOf("%.example.com"));
    for (const char* host :
         {"LOCALHOST", "Localhost", "127.0.0.1", "192.168.%", "", "localhost.localdomain", "a%"})
        EXPECT_EQ(HostClass::Restricted, hostClassOf(host)) << host;
    EXPECT_EQ("Local User", hostClassText(HostClass::Local));
    EXPECT_EQ("Global User", hostClassText(HostClass::Global));
    EXPECT_EQ("The user with restriction", hostClassText(HostClass::Restricted));

    EXPECT_EQ("(no user)", accountLabel(""));
    EXPECT_EQ("root", accountLabel("root"));
    EXPECT_EQ("", accountUser("(no user)"));
    EXPECT_EQ("root", accountUser("root"));
    EXPECT_EQ("May I delete truly?\n\nUser : \nHost     : %", deleteAccountQuestion("", "%"));
    EXPECT_EQ(
        "Privileges remain for tester at hosts that have no "
        "account:\n\n'tester'@'localhost'\n'tester'@'10.%'\n\n"
        "They still apply when tester connects from those hosts, and an account created later with that name "
        "would inherit them.\n\nMay I delete them too?",
        orphanGrantsQuestion("tester", {"localhost", "10.%"}));

    EXPECT_EQ("All hosts\n(shop)", hostEntryLabel("%", "shop"));
    EXPECT_EQ("h\n(shop)", hostEntryLabel("h", "shop"));
    EXPECT_EQ("%.example.com\n(shop)", hostEntryLabel("%.example.com", "shop"));
    EXPECT_EQ("100%\n(a%sb)", hostEntryLabel("100%", "a%sb")) << "percent signs in values are not formats";
}

TEST(GrantListText, ClassifiesRowsByAnyLaterColumnBeginningWithY) {
    auto c = connectAdmin();
    Result r = c->select(
        "SELECT 'h', 'u', 'Yes', 'N' UNION ALL SELECT 'h', 'Yuki', '', 'N' UNION ALL SELECT 'h', 'u', 'p', "
        "'yes'");
    Row row = r.fetchRow();
    EXPECT_FALSE(isPrivilegedAccount(row)) << "the password column does not count";
    EXPECT_TRUE(isRestrictedHost(row)) << "for a host row it is a privilege column";
    row = r.fetchRow();
    EXPECT_FALSE(isPrivilegedAccount(row));
    EXPECT_FALSE(isRestrictedHost(row)) << "Host and Db do not count, whatever they begin with";
    row = r.fetchRow();
    EXPECT_TRUE(isPrivilegedAccount(row));
}

TEST(GrantStatements, ExactTextsWithEscapedValues) {
    auto c = connectAdmin();
    EXPECT_EQ("select * from mysql.db where db = 'd' AND Host = 'h' AND User = 'u'",
              dbRowQuery(*c, "d", "h", "u"));
    EXPECT_EQ("DELETE FROM mysql.db where  Host = 'h' AND Db = 'd' AND User = 'O\\'Brien'",
              dbRowDelete(*c, "h", "d", "O'Brien"));
    EXPECT_EQ("select * from mysql.host where db = 'd' AND Host = '%'", hostRowQuery(*c, "d", "%"));
    EXPECT_EQ("DELETE FROM mysql.host where  Host = 'h' AND Db = 'a\\\\b'", hostRowDelete(*c, "h", "a\\b"));
    EXPECT_EQ(
        "UPDATE host SET Host = 'n',Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' "
        ",Create_priv = 'N' ,Drop_priv = 'N' ,Grant_priv = 'N' ,References_priv = 'N' ,Index_priv = "
        "'N',Alter_priv = "
        "'Y' where db = 'd' AND Host = 'h'",
        hostRowUpdate(*c, "n", {true, false, false, false, false, false, false, false, false, true}, "d",
                      "h"));
    EXPECT_EQ("INSERT INTO mysql.host SET  Host = 'n\\'',Db = 'd'", hostRowInsert(*c, "n'", "d"));
    EXPECT_EQ("select * from mysql.host where Db = 'a\\'b'", databaseHostRowsQuery(*c, "a'b"));
    EXPECT_EQ("select * from host", allHostRowsQuery());
}

TEST(GrantStatements, DatabaseRowsInEveryFormTheScreensWrite) {
    auto c = connectAdmin();
    const DatabaseEntry from{"d'", "h", "u"}, to{"e", "h2", "v'"};
    const std::vector<bool> flags{true, false, false, false, false, false, true, false, false, false};
    const std::string set =
        ",Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' "
        ",Drop_priv "
        "= 'N' ,Grant_priv = 'Y' ,References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'N'";
    const std::string where = " where db = 'd\\'' AND Host = 'h' AND User = 'u'";
    EXPECT_EQ("UPDATE db SET Host = 'h2'" + set + where,
              dbRowUpdate(*c, {false, false, true}, from, to, flags));
    EXPECT_EQ("UPDATE db SET Host = 'h2',User = 'v\\''" + set + where,
              dbRowUpdate(*c, {false, true, true}, from, to, flags));
    EXPECT_EQ("UPDATE mysql.db SET Host = 'h2',Db = 'e',User = 'v\\''" + set + where,
              dbRowUpdate(*c, {true, true, false}, from, to, flags));

    EXPECT_EQ("INSERT INTO mysql.db SET  Host = 'h2',Db = 'e',User = 'v\\''", dbRowInsert(*c, to));
    EXPECT_EQ(
        "INSERT INTO mysql.db (Host,Db,User,Select_priv,Insert_priv,Update_priv,Delete_priv,Create_priv,"
        "Drop_priv) VALUES('%','d\\'','u','N','N','N','N','N','N')",
        emptyDbRowInsert(*c, "d'", "%", "u"));
    EXPECT_EQ("select * from mysql.db where Db = 'd\\''", databaseDbRowsQuery(*c, "d'"));
    EXPECT_EQ("select * from mysql.db where User = 'O\\'Brien' AND Host = '%'",
              accountDbRowsQuery(*c, "%", "O'Brien"));
    EXPECT_EQ("select * from db", allDbRowsQuery());
}
