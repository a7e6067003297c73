#include <gtest/gtest.h>

#include "privileges/AccountStatements.h"
#include "privileges/UserTableStatements.h"
#include "session/ServerDialect.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

// Select Insert Update Delete Create Drop Reload Shutdown Process File Grant References Index Alter
std::vector<bool> global(std::initializer_list<int> on) {
    std::vector<bool> flags(14, false);
    for (int i : on)
        flags[static_cast<size_t>(i)] = true;
    return flags;
}
// Select Insert Update Delete Create Drop Grant References Index Alter
std::vector<bool> ten(std::initializer_list<int> on) {
    std::vector<bool> flags(10, false);
    for (int i : on)
        flags[static_cast<size_t>(i)] = true;
    return flags;
}

ServerDialect dialect(unsigned long version, bool mariaDb, const char* userType, bool password, bool role,
                      bool host) {
    ServerDialect d(version, mariaDb);
    d.learnAccounts({userType, password, role, host});
    return d;
}

}  // namespace

TEST(ServerDialect, LearnsTheAccountModelFromTheGrantTables) {
    const ServerDialect mariaDb1011 = dialect(101100, true, "VIEW", true, true, false);
    EXPECT_TRUE(mariaDb1011.usesAccountStatements());
    EXPECT_TRUE(mariaDb1011.userHasPasswordColumn());
    EXPECT_TRUE(mariaDb1011.userHasRoleColumn());
    EXPECT_FALSE(mariaDb1011.honoursHostTable());
    EXPECT_FALSE(mariaDb1011.grantsDatabasesByStatement());

    const ServerDialect classicTest = dialect(101100, true, "BASE TABLE", true, false, true);
    EXPECT_EQ(AccountModel::ClassicGrantTables, classicTest.accountModel());
    EXPECT_FALSE(classicTest.honoursHostTable()) << "10.x ignores mysql.host even where it exists";

    const ServerDialect mysql8 = dialect(80036, false, "BASE TABLE", false, false, false);
    EXPECT_TRUE(mysql8.usesAccountStatements()) << "no Password column";
    EXPECT_FALSE(mysql8.userHasPasswordColumn());
    EXPECT_TRUE(mysql8.grantsDatabasesByStatement());

    const ServerDialect mysql57 = dialect(50744, false, "BASE TABLE", false, false, false);
    EXPECT_TRUE(mysql57.usesAccountStatements());
    EXPECT_FALSE(mysql57.grantsDatabasesByStatement());

    EXPECT_TRUE(dialect(50173, false, "BASE TABLE", true, false, true).honoursHostTable());
    EXPECT_FALSE(dialect(50173, false, "BASE TABLE", true, false, false).honoursHostTable()) << "no table";
    EXPECT_FALSE(dialect(50607, false, "BASE TABLE", true, false, true).honoursHostTable());
    EXPECT_TRUE(dialect(50560, true, "BASE TABLE", true, false, true).honoursHostTable());
    EXPECT_FALSE(dialect(100000, true, "BASE TABLE", true, true, true).honoursHostTable());
    EXPECT_EQ(AccountModel::ClassicGrantTables,
              dialect(100311, true, "BASE TABLE", true, true, false).accountModel());

    // A login that cannot see mysql.user: the version decides.
    EXPECT_TRUE(dialect(101100, true, "", false, false, false).usesAccountStatements());
    EXPECT_FALSE(dialect(100311, true, "", false, false, false).usesAccountStatements());
    EXPECT_FALSE(dialect(80036, false, "", false, false, false).userHasPasswordColumn());
}

TEST(ServerDialect, TheLoginLearnsWhatThisServerIs) {
    auto c = connectAdmin();
    EXPECT_EQ(onStockServer(), c->dialect().usesAccountStatements());
    EXPECT_FALSE(c->dialect().honoursHostTable());
    EXPECT_EQ(onStockServer(), c->dialect().userHasRoleColumn()) << "the classic layout has no is_role";
}

TEST(AccountStatements, ExactTextsWithEscapedValues) {
    auto c = connectAdmin();
    EXPECT_EQ("'O\\'Brien'@'%'", accountName(*c, "%", "O'Brien"));
    EXPECT_EQ("CREATE USER 'u'@'h' IDENTIFIED BY 'it\\'s \\\"x\\\"'",
              createUserStatement(*c, "h", "u", "it's \"x\""));
    EXPECT_EQ("CREATE USER ''@'localhost' IDENTIFIED BY ''", createUserStatement(*c, "localhost", "", ""));
    EXPECT_EQ("ALTER USER 'u'@'h' IDENTIFIED BY 'a\\\\b'", alterPasswordStatement(*c, "h", "u", "a\\b"));
    EXPECT_EQ("RENAME USER 'u'@'h' TO 'v'@'%'", renameUserStatement(*c, "h", "u", "%", "v"));
    EXPECT_EQ("DROP USER 'u'@'h'", dropUserStatement(*c, "h", "u"));

    EXPECT_EQ("GRANT SELECT, RELOAD, ALTER ON *.* TO 'u'@'h'",
              globalGrantStatement(*c, "h", "u", global({0, 6, 13})));
    EXPECT_EQ("GRANT SELECT ON *.* TO 'u'@'h' WITH GRANT OPTION",
              globalGrantStatement(*c, "h", "u", global({0, 10})));
    EXPECT_EQ("GRANT USAGE ON *.* TO 'u'@'h' WITH GRANT OPTION",
              globalGrantStatement(*c, "h", "u", global({10})));
    EXPECT_EQ("", globalGrantStatement(*c, "h", "u", global({})));
    EXPECT_EQ(
        "GRANT SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, RELOAD, SHUTDOWN, PROCESS, FILE, REFERENCES, "
        "INDEX, ALTER ON *.* TO 'u'@'h' WITH GRANT OPTION",
        globalGrantStatement(*c, "h", "u", std::vector<bool>(14, true)));

    EXPECT_EQ(
        "REVOKE INSERT, UPDATE, DELETE, CREATE, DROP, RELOAD, SHUTDOWN, PROCESS, FILE, GRANT OPTION, "
        "REFERENCES, INDEX, ALTER ON *.* FROM 'u'@'h'",
        globalRevokeStatement(*c, "h", "u", global({0})));
    EXPECT_EQ("", globalRevokeStatement(*c, "h", "u", std::vector<bool>(14, true)));

    EXPECT_EQ((std::vector<std::string>{"GRANT INSERT, ALTER ON `a``b`.* TO 'u'@'h' WITH GRANT OPTION",
                                        "REVOKE SELECT, REFERENCES ON `a``b`.* FROM 'u'@'h'"}),
              databaseGrantStatements(*c, "a`b", "h", "u", ten({0, 7, 8}), ten({1, 6, 8, 9})));
    EXPECT_EQ((std::vector<std::string>{"REVOKE GRANT OPTION ON `d`.* FROM 'u'@'h'"}),
              databaseGrantStatements(*c, "d", "h", "u", ten({0, 6}), ten({0})));
    EXPECT_TRUE(databaseGrantStatements(*c, "d", "h", "u", ten({2}), ten({2})).empty());
    EXPECT_EQ((std::vector<std::string>{"REVOKE GRANT OPTION ON `d`.* FROM 'u'@'h'",
                                        "REVOKE ALL PRIVILEGES ON `d`.* FROM 'u'@'h'"}),
              databaseRevokeAllStatements(*c, "d", "h", "u", ten({0, 6})));
    EXPECT_EQ(std::vector<std::string>{"REVOKE ALL PRIVILEGES ON `d`.* FROM 'u'@'h'"},
              databaseRevokeAllStatements(*c, "d", "h", "u", ten({})));

    // Rows of the name at a host that no account of the name has, in every table that holds them.
    const std::string orphan =
        " User = 'u\\'' AND Host NOT IN (SELECT Host FROM mysql.user WHERE User = 'u\\'')";
    EXPECT_EQ("SELECT Host FROM mysql.db WHERE" + orphan + " UNION SELECT Host FROM mysql.tables_priv WHERE" +
                  orphan + " UNION SELECT Host FROM mysql.columns_priv WHERE" + orphan +
                  " UNION SELECT Host FROM mysql.procs_priv WHERE" + orphan + " ORDER BY Host",
              orphanGrantHostsQuery(*c, "u'"));
    EXPECT_EQ((std::vector<std::string>{"DELETE FROM mysql.db where " + orphan,
                                        "DELETE FROM mysql.tables_priv where " + orphan,
                                        "DELETE FROM mysql.columns_priv where " + orphan,
                                        "DELETE FROM mysql.procs_priv where " + orphan}),
              orphanGrantRowsDelete(*c, "u'"));
    EXPECT_EQ(3u, privilegeRowTables(ServerDialect(41022, false)).size()) << "no routine grants before 5.0";
}

TEST(UserTableStatements, ExactTextsWithEscapedValues) {
    auto c = connectAdmin();
    const std::string flags =
        ",Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' "
        ",Drop_priv "
        "= 'N' ,Reload_priv = 'N' ,Shutdown_priv = 'N' ,Process_priv = 'N' ,File_priv = 'N' ,Grant_priv = "
        "'N' "
        ",References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'Y'";
    EXPECT_EQ("Host = 'localhost',User = 'O\\'Brien'", hostUserKeyPart(*c, "localhost", "O'Brien"));
    EXPECT_EQ("select * from mysql.user where Host = 'h\\'' AND User = 'u'", userRowQuery(*c, "h'", "u"));
    EXPECT_EQ("select * from user", allUserRowsQuery());
    EXPECT_EQ("INSERT INTO user SET Host = 'h',User = 'u\\'',Password = PASSWORD('p\\'w')" + flags,
              userRowInsert(*c, "h", "u'", "p'w", global({0, 13})));
    EXPECT_EQ("UPDATE user SET Host = 'h2',User = 'u2'" + flags + " where Host = 'h' AND User = 'O\\'Brien'",
              userRowUpdate(*c, "h2", "u2", std::nullopt, global({0, 13}), "h", "O'Brien"));
    EXPECT_EQ("UPDATE user SET Host = 'h',User = 'u',Password = PASSWORD('')" + flags +
                  " where Host = 'h' AND User = 'u'",
              userRowUpdate(*c, "h", "u", std::string_view(), global({0, 13}), "h", "u"))
        << "an empty password is set too when it was typed";
    EXPECT_EQ((std::vector<std::string>{
                  "UPDATE mysql.db SET Host = 'h2',User = 'u2' where User = 'u\\'' AND Host = 'h'",
                  "UPDATE mysql.tables_priv SET Host = 'h2',User = 'u2' where User = 'u\\'' AND Host = 'h'",
                  "UPDATE mysql.columns_priv SET Host = 'h2',User = 'u2' where User = 'u\\'' AND Host = 'h'",
                  "UPDATE mysql.procs_priv SET Host = 'h2',User = 'u2' where User = 'u\\'' AND Host = 'h'"}),
              accountGrantRowsMove(*c, "h2", "u2", "h", "u'"));
    EXPECT_EQ("DELETE FROM mysql.user where  Host = 'h' AND User = 'u\\''", userRowDelete(*c, "h", "u'"));
    EXPECT_EQ((std::vector<std::string>{"DELETE FROM mysql.db where  User = 'u\\'' AND Host = 'h'",
                                        "DELETE FROM mysql.tables_priv where  User = 'u\\'' AND Host = 'h'",
                                        "DELETE FROM mysql.columns_priv where  User = 'u\\'' AND Host = 'h'",
                                        "DELETE FROM mysql.procs_priv where  User = 'u\\'' AND Host = 'h'"}),
              accountGrantRowsDelete(*c, "h", "u'"));

    EXPECT_EQ("select Host,User from mysql.user u where u.is_role <> 'Y'",
              accountKeysQuery(dialect(101100, true, "VIEW", true, true, false)));
    EXPECT_EQ("select Host,User from mysql.user",
              accountKeysQuery(dialect(101100, true, "BASE TABLE", true, true, true)))
        << "where the grant tables are written directly every row is offered";
    EXPECT_EQ("select Host,User from mysql.user",
              accountKeysQuery(dialect(50744, false, "BASE TABLE", false, false, false)));
}

TEST(AccountStatements, NamedColumnReadsPerServer) {
    const std::string flags =
        ", Select_priv, Insert_priv, Update_priv, Delete_priv, Create_priv, Drop_priv, Reload_priv, "
        "Shutdown_priv, Process_priv, File_priv, Grant_priv, References_priv, Index_priv, Alter_priv";
    EXPECT_EQ("select Host, User, Password" + flags + " from mysql.user u where u.is_role <> 'Y'",
              accountRowsQuery(dialect(101100, true, "VIEW", true, true, false)));
    EXPECT_EQ("select Host, User, '' AS Password" + flags +
                  " from mysql.user u where NOT EXISTS (SELECT 1 FROM mysql.role_edges r WHERE r.FROM_HOST = "
                  "u.Host AND r.FROM_USER = u.User)",
              accountRowsQuery(dialect(80036, false, "BASE TABLE", false, false, false)));
    EXPECT_EQ("select Host, User, '' AS Password" + flags + " from mysql.user u",
              accountRowsQuery(dialect(50744, false, "BASE TABLE", false, false, false)));

    // The reads of this server give the classic positions and leave roles out.
    auto c = connectAdmin();
    exec(*c, "DROP ROLE IF EXISTS velkin_pe_role");
    if (c->dialect().userHasRoleColumn())
        exec(*c, "CREATE ROLE velkin_pe_role");
    Result rows = c->select(accountRowsQuery(c->dialect()));
    ASSERT_TRUE(rows) << c->errorLine();
    EXPECT_EQ(17u, rows.fieldCount());
    bool sawRoot = false;
    while (Row row = rows.fetchRow()) {
        EXPECT_NE("velkin_pe_role", row.str(1));
        if (row.str(0) == "localhost" && row.str(1) == "root") {
            sawRoot = true;
            EXPECT_EQ("Y", row.str(3));
            EXPECT_EQ("Y", row.str(16));
        }
    }
    EXPECT_TRUE(sawRoot);
    Result one = c->select(accountRowQuery(*c, "localhost", "root"));
    ASSERT_TRUE(one) << c->errorLine();
    EXPECT_EQ(1u, one.rowCount());
    if (c->dialect().userHasRoleColumn())
        exec(*c, "DROP ROLE velkin_pe_role");
}

// Every account statement that MariaDB also accepts is run here, so that the texts are proven
// against a server and not only against their grammar.
TEST(AccountStatements, TheServerAcceptsEveryStatement) {
    if (!onStockServer())
        GTEST_SKIP() << "account statements write mysql.global_priv, which the classic layout hides";
    auto c = connectAdmin();
    auto clean = [&] {
        exec(*c, "DROP USER IF EXISTS 'velkin_pe_t'@'h', 'velkin_pe_t2'@'%'");
        exec(*c, "DROP DATABASE IF EXISTS velkin_pe_tdb");
    };
    clean();
    exec(*c, "CREATE DATABASE velkin_pe_tdb");
    exec(*c, createUserStatement(*c, "h", "velkin_pe_t", "it's \"x\""));
    exec(*c, globalGrantStatement(*c, "h", "velkin_pe_t", std::vector<bool>(14, true)));
    exec(*c, globalRevokeStatement(*c, "h", "velkin_pe_t", global({0})));
    EXPECT_EQ("Y|N|N", scalar(*c,
                              "SELECT CONCAT_WS('|', Select_priv, Insert_priv, Grant_priv) FROM mysql.user "
                              "WHERE User = 'velkin_pe_t'"));
    exec(*c, globalGrantStatement(*c, "h", "velkin_pe_t", global({10})));
    EXPECT_EQ("Y", scalar(*c, "SELECT Grant_priv FROM mysql.user WHERE User = 'velkin_pe_t'"));
    for (const auto& sql :
         databaseGrantStatements(*c, "velkin_pe_tdb", "h", "velkin_pe_t", ten({}), ten({0, 6, 9})))
        exec(*c, sql);
    EXPECT_EQ("Y|N|Y|Y",
              scalar(*c,
                     "SELECT CONCAT_WS('|', Select_priv, Insert_priv, Grant_priv, Alter_priv) FROM "
                     "mysql.db WHERE User = 'velkin_pe_t'"));
    for (const auto& sql :
         databaseGrantStatements(*c, "velkin_pe_tdb", "h", "velkin_pe_t", ten({0, 6, 9}), ten({9})))
        exec(*c, sql);
    EXPECT_EQ("N|N|N|Y",
              scalar(*c,
                     "SELECT CONCAT_WS('|', Select_priv, Insert_priv, Grant_priv, Alter_priv) FROM "
                     "mysql.db WHERE User = 'velkin_pe_t'"));
    exec(*c, alterPasswordStatement(*c, "h", "velkin_pe_t", "new'one"));
    exec(*c, renameUserStatement(*c, "h", "velkin_pe_t", "%", "velkin_pe_t2"));
    EXPECT_EQ("%", scalar(*c, "SELECT Host FROM mysql.db WHERE User = 'velkin_pe_t2'"))
        << "RENAME moves db rows";
    exec(*c, "GRANT INSERT ON velkin_pe_tdb.* TO 'velkin_pe_t2'@'%' WITH GRANT OPTION");
    for (const auto& sql :
         databaseRevokeAllStatements(*c, "velkin_pe_tdb", "%", "velkin_pe_t2", ten({1, 6, 9})))
        exec(*c, sql);
    EXPECT_EQ("0", scalar(*c, "SELECT COUNT(*) FROM mysql.db WHERE User LIKE 'velkin\\_pe\\_t%'"));
    exec(*c, dropUserStatement(*c, "%", "velkin_pe_t2"));
    EXPECT_EQ("0", scalar(*c, "SELECT COUNT(*) FROM mysql.user WHERE User LIKE 'velkin\\_pe\\_t%'"));
    clean();
}
