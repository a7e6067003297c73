#include <gtest/gtest.h>

#include <sys/types.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "session/Connection.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"
#include "session/StallWatch.h"
#include "support/FrozenServer.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(Connection, RowsAreNullableBytesWithTheirLengths) {
    auto c = connectAdmin();
    Result r = c->select("SELECT NULL, '', 'a\\0b', 'x'");
    ASSERT_TRUE(r);
    EXPECT_EQ(4u, r.fieldCount());
    Row row = r.fetchRow();
    ASSERT_TRUE(row);
    EXPECT_TRUE(row.isNull(0));
    EXPECT_FALSE(row.value(0).has_value());
    EXPECT_FALSE(row.isNull(1));
    EXPECT_EQ("", row.value(1).value());
    EXPECT_EQ(std::string("a\0b", 3), row.str(2));
    EXPECT_TRUE(row.isNull(7)) << "a column past the end reads as NULL, not out of bounds";
    EXPECT_FALSE(r.fetchRow());
}

TEST(Connection, ReportsFailuresAsNumberAndText) {
    auto c = connectAdmin();
    ASSERT_NE(0, c->query("SELEC 1"));
    EXPECT_EQ(1064u, c->errorNumber());
    EXPECT_EQ("1064:" + c->errorText(), c->errorLine());
    EXPECT_FALSE(c->storeResult());
    EXPECT_FALSE(c->select("SELECT * FROM no_such_db.no_such_table"));
    EXPECT_EQ(1146u, c->errorNumber());
}

TEST(Connection, ObserverSeesEveryStatementOnEveryConnection) {
    auto a = connectAdmin();
    auto b = connectAdmin();
    StatementLog log;
    a->select("SELECT 1");
    b->query("SELECT 2");
    b->storeResult();
    a->listDbs();  // a list call is not a statement of ours
    EXPECT_EQ((std::vector<std::string>{"SELECT 1", "SELECT 2"}), log.statements);
}

TEST(Connection, ListCallsAndServerCalls) {
    ScratchDatabase db("velkin_conn_lists");
    auto c = connectAdmin();
    exec(*c, "CREATE TABLE velkin_conn_lists.t1 (id INT PRIMARY KEY, name VARCHAR(20))");
    exec(*c, "CREATE TABLE velkin_conn_lists.t2 (x INT)");

    auto dbs = [&] {
        std::vector<std::string> names;
        Result r = c->listDbs();
        while (Row row = r.fetchRow())
            names.push_back(row.str(0));
        return names;
    }();
    EXPECT_NE(dbs.end(), std::find(dbs.begin(), dbs.end(), "velkin_conn_lists"));
    EXPECT_NE(dbs.end(), std::find(dbs.begin(), dbs.end(), "mysql"));

    ASSERT_TRUE(c->selectDb("velkin_conn_lists"));
    Result tables = c->listTables();
    EXPECT_EQ(2u, tables.rowCount());
    Result fields = c->listFields("t1");
    ASSERT_TRUE(fields);
    EXPECT_EQ((std::vector<std::string>{"id", "name"}), fields.fieldNames());

    EXPECT_TRUE(c->ping());
    EXPECT_NE(std::string::npos, c->stat().find("Uptime"));
    EXPECT_FALSE(c->serverInfo().empty());
    EXPECT_GE(c->serverVersion(), 100000u);
    Result processes = c->listProcesses();
    EXPECT_GE(processes.rowCount(), 1u);
    EXPECT_EQ(0, c->refresh(1));
    EXPECT_FALSE(c->selectDb("velkin_no_such_database"));
}

TEST(Connection, CountsOpenConnectionsAndRefusesAFailedLogin) {
    int before = Connection::openCount();
    {
        auto c = connectAdmin();
        EXPECT_EQ(before + 1, Connection::openCount());
        Connection bad;
        EXPECT_FALSE(bad.connect(testHost(), "root", "wrong-password", testPort()));
        EXPECT_FALSE(bad.isOpen());
        EXPECT_FALSE(bad.ping());
        EXPECT_EQ(1045u, bad.errorNumber());
        EXPECT_EQ(before + 1, Connection::openCount());
    }
    EXPECT_EQ(before, Connection::openCount());
}

TEST(Connection, LocalhostWithAnotherPortGoesOverTcp) {
    // The test server has no socket where the library looks by default: only TCP reaches it.
    Connection c;
    ASSERT_TRUE(c.connect("localhost", "root", "", testPort())) << c.errorText();
    Result r = c.select("SELECT HOST FROM information_schema.PROCESSLIST WHERE ID = CONNECTION_ID()");
    Row row = r.fetchRow();
    ASSERT_TRUE(row);
    EXPECT_NE(std::string::npos, row.str(0).find(':'))
        << "a TCP client is listed with its port: " << row.str(0);
}

TEST(Connection, KilledConnectionFailsItsPing) {
    auto victim = connectAdmin();
    auto killer = connectAdmin();
    ASSERT_TRUE(victim->ping());
    ASSERT_EQ(0, killer->kill(victim->threadId()));
    EXPECT_FALSE(victim->ping());
}

TEST(Connection, RenewedInPlaceAfterALoss) {
    const int before = Connection::openCount();
    auto killer = connectAdmin();
    Connection c;
    EXPECT_EQ(0u, c.generation());
    ASSERT_TRUE(c.connect(testHost(), adminAccount().user, adminAccount().password, testPort()));
    EXPECT_EQ(1u, c.generation());
    const unsigned long first = c.threadId();
    ASSERT_EQ(0, killer->kill(first));
    EXPECT_NE(0, c.query("SELECT 1")) << "the killed session refuses the statement";

    // A closed connection answers every call with an error and touches no freed handle.
    c.close();
    EXPECT_FALSE(c.isOpen());
    EXPECT_EQ(before + 1, Connection::openCount()) << "only the killer is open";
    EXPECT_NE(0, c.query("SELECT 1"));
    EXPECT_EQ(2006u, c.errorNumber());
    EXPECT_FALSE(c.select("SELECT 1"));
    EXPECT_FALSE(c.listProcesses());
    c.stat();
    EXPECT_EQ(2006u, c.errorNumber());
    EXPECT_FALSE(c.ping());
    EXPECT_FALSE(c.selectDb("mysql"));
    EXPECT_EQ("it\\'s", c.escape("it's"));
    c.close();

    // The same object takes the next login; the previous handle is gone on the server too.
    ASSERT_TRUE(c.connect(testHost(), adminAccount().user, adminAccount().password, testPort()));
    EXPECT_EQ(2u, c.generation());
    EXPECT_EQ(before + 2, Connection::openCount());
    EXPECT_NE(first, c.threadId());
    EXPECT_EQ(std::to_string(c.threadId()), scalar(c, "SELECT CONNECTION_ID()"));
    EXPECT_TRUE(c.dialect().isMariaDb());

    // Connecting again while open replaces the session: still one connection.
    const unsigned long second = c.threadId();
    ASSERT_TRUE(c.connect(testHost(), adminAccount().user, adminAccount().password, testPort()));
    EXPECT_EQ(before + 2, Connection::openCount());
    EXPECT_NE(second, c.threadId());
    EXPECT_FALSE(c.connect(testHost(), "root", "wrong-password", testPort()));
    EXPECT_EQ(1045u, c.errorNumber());
    EXPECT_EQ(before + 1, Connection::openCount());
    EXPECT_EQ(3u, c.generation()) << "a failed login is no new session";
}

TEST(ServerDialect, TableTypeClauseAndNamesFollowTheServer) {
    EXPECT_STREQ("TYPE", ServerDialect(40122).tableTypeKeyword());
    EXPECT_STREQ("TYPE", ServerDialect(50499).tableTypeKeyword());
    EXPECT_STREQ("ENGINE", ServerDialect(50500).tableTypeKeyword());
    EXPECT_STREQ("ENGINE", ServerDialect(101100, true).tableTypeKeyword());

    EXPECT_TRUE(ServerDialect::sameTableType("HEAP", "MEMORY"));
    EXPECT_TRUE(ServerDialect::sameTableType("INNOBASE", "InnoDB"));
    EXPECT_TRUE(ServerDialect::sameTableType("myisam", "MyISAM"));
    EXPECT_FALSE(ServerDialect::sameTableType("HEAP", "MyISAM"));
    EXPECT_EQ("MEMORY", ServerDialect::currentTableTypeName("HEAP"));
    EXPECT_EQ("InnoDB", ServerDialect::currentTableTypeName("INNOBASE"));
    EXPECT_EQ("ISAM", ServerDialect::currentTableTypeName("ISAM"));

    auto c = connectAdmin();
    EXPECT_TRUE(c->dialect().isMariaDb());
    EXPECT_STREQ("ENGINE", c->dialect().tableTypeKeyword());
}

TEST(TableTypes, SortedChoicesAndWhereInnobaseComesFrom) {
    EXPECT_EQ((std::vector<std::string>{"HEAP", "ISAM", "MyISAM"}), tableTypeChoices(false));
    EXPECT_EQ((std::vector<std::string>{"HEAP", "INNOBASE", "ISAM", "MyISAM"}), tableTypeChoices(true));

    using Pairs = NamePairs;
    EXPECT_EQ(true, haveInnobase(Pairs{{"have_bdb", "NO"}, {"have_innobase", "YES"}}));
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "DISABLED"}}));
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "yes"}})) << "the answer is compared exactly";
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "YES "}}));
    EXPECT_EQ(std::nullopt, haveInnobase(Pairs{{"Have_innobase", "YES"}, {"have_innodb", "YES"}}));

    EXPECT_TRUE(innodbEngineAvailable(Pairs{{"MyISAM", "YES"}, {"InnoDB", "DEFAULT"}}));
    EXPECT_TRUE(innodbEngineAvailable(Pairs{{"InnoDB", "YES"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{{"InnoDB", "NO"}, {"MEMORY", "YES"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{{"InnoDB", "DISABLED"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{}));
}

TEST(TableTypes, FromTheServersEnginesUnderTheirKnownNames) {
    using Pairs = NamePairs;
    const Pairs current = {
        {"CSV", "YES"},      {"MRG_MyISAM", "YES"},    {"MEMORY", "YES"},     {"Aria", "YES"},
        {"MyISAM", "YES"},   {"SEQUENCE", "YES"},      {"InnoDB", "DEFAULT"}, {"PERFORMANCE_SCHEMA", "YES"},
        {"FEDERATED", "NO"}, {"BLACKHOLE", "DISABLED"}};
    EXPECT_EQ((std::vector<std::string>{"Aria", "CSV", "HEAP", "INNOBASE", "MRG_MyISAM", "MyISAM"}),
              tableTypesFromEngines(current))
        << "no ISAM where the server has none";
    EXPECT_EQ((std::vector<std::string>{"HEAP", "ISAM", "MyISAM"}),
              tableTypesFromEngines(
                  Pairs{{"ISAM", "YES"}, {"HEAP", "YES"}, {"MyISAM", "DEFAULT"}, {"MEMORY", "YES"}}))
        << "an old server's names, each once";
    EXPECT_TRUE(tableTypesFromEngines(Pairs{}).empty());
}

TEST(TableTypes, TheServersOwnAnswer) {
    auto c = connectAdmin();
    StatementLog log;
    EXPECT_TRUE(serverHasInnobase(*c));
    EXPECT_EQ((std::vector<std::string>{"SHOW VARIABLES", "SHOW ENGINES"}), log.statements)
        << "a current server no longer reports have_innobase";
    const std::vector<std::string> types = serverTableTypes(*c);
    for (const char* type : {"HEAP", "INNOBASE", "MyISAM"})
        EXPECT_NE(types.end(), std::find(types.begin(), types.end(), type)) << type;
    EXPECT_EQ(tableTypeChoices(true), offeredTableTypes(*c));
}

TEST(Connection, ASilentServerIsGivenUpOnWhileALongStatementIsLeftAlone) {
    using namespace std::chrono_literals;
    const auto quiet = StallWatch::quietTime();
    StallWatch::setTimes(300ms, 1s);
    auto c = connectAdmin();
    const unsigned before = StallWatch::abandoned();
    // Longer than the quiet time, but the server answers and runs it: legitimate work.
    EXPECT_EQ("0", scalar(*c, "SELECT SLEEP(1.5)"));
    EXPECT_EQ(before, StallWatch::abandoned());
    {
        FrozenServer frozen;
        ASSERT_TRUE(frozen.frozen());
        // Without the watch this call would wait as long as the server stays stopped.
        EXPECT_NE(0, c->query("SELECT 1"));
        EXPECT_TRUE(c->connectionLost()) << c->errorLine();
        EXPECT_EQ(before + 1, StallWatch::abandoned());
    }
    // Once the server goes on, a new login works on the same object.
    ASSERT_TRUE(c->connect(testHost(), adminAccount().user, adminAccount().password, testPort()));
    EXPECT_EQ("1", scalar(*c, "SELECT 1"));
    StallWatch::setTimes(quiet, 3s);
}
