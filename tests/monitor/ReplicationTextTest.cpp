#include <gtest/gtest.h>

#include "monitor/ReplicationText.h"
#include "session/ServerDialect.h"

using namespace velkin;

namespace {

ServerDialect mariaDb(unsigned long version) {
    return ServerDialect(version, true);
}
ServerDialect mySql(unsigned long version) {
    return ServerDialect(version, false);
}

NamedRow row(std::vector<std::pair<std::string, std::optional<std::string>>> cells) {
    NamedRow r;
    for (auto& [name, value] : cells) {
        r.names.push_back(name);
        r.cells.push_back(value);
    }
    return r;
}

}  // namespace

TEST(ReplicationText, StatementsFollowTheServersVersion) {
    EXPECT_EQ(replicaStatusStatement(mariaDb(100500)), "SHOW ALL SLAVES STATUS");
    EXPECT_EQ(replicaStatusStatement(mariaDb(100501)), "SHOW ALL REPLICAS STATUS");
    EXPECT_EQ(replicaStatusStatement(mySql(80021)), "SHOW SLAVE STATUS");
    EXPECT_EQ(replicaStatusStatement(mySql(80022)), "SHOW REPLICA STATUS");

    EXPECT_EQ(binlogStatusStatement(mariaDb(100501)), "SHOW MASTER STATUS");
    EXPECT_EQ(binlogStatusStatement(mariaDb(100502)), "SHOW BINLOG STATUS");
    EXPECT_EQ(binlogStatusStatement(mySql(80100)), "SHOW MASTER STATUS");
    EXPECT_EQ(binlogStatusStatement(mySql(80200)), "SHOW BINARY LOG STATUS");

    EXPECT_EQ(replicaHostsStatement(mariaDb(100500)), "SHOW SLAVE HOSTS");
    EXPECT_EQ(replicaHostsStatement(mariaDb(101100)), "SHOW REPLICA HOSTS");
    EXPECT_EQ(replicaHostsStatement(mySql(50744)), "SHOW SLAVE HOSTS");
    EXPECT_EQ(replicaHostsStatement(mySql(80022)), "SHOW REPLICAS");

    EXPECT_EQ(replicaStatusPrivilege(mariaDb(101100)), "REPLICA MONITOR (SLAVE MONITOR)");
    EXPECT_EQ(replicaStatusPrivilege(mariaDb(100300)), "REPLICATION CLIENT");
    EXPECT_EQ(replicaStatusPrivilege(mySql(80400)), "REPLICATION CLIENT");
    EXPECT_EQ(binlogStatusPrivilege(mariaDb(101100)), "BINLOG MONITOR");
    EXPECT_EQ(replicaHostsPrivilege(mariaDb(101100)), "REPLICATION MASTER ADMIN");
}

TEST(ReplicationText, ControlStatementsNameTheConnectionAndTheThreads) {
    const ServerDialect current = mariaDb(101100);
    EXPECT_EQ(replicaControlStatement(current, true, "", ReplicaThreads::Both, false), "START REPLICA");
    EXPECT_EQ(replicaControlStatement(current, false, "second", ReplicaThreads::Io, false),
              "STOP REPLICA 'second' IO_THREAD");
    EXPECT_EQ(replicaControlStatement(current, true, "second", ReplicaThreads::Sql, false),
              "START REPLICA 'second' SQL_THREAD");
    EXPECT_EQ(replicaControlStatement(mariaDb(100400), false, "", ReplicaThreads::Sql, false),
              "STOP SLAVE SQL_THREAD");
    // A name read from the server is a literal, whatever it holds.
    EXPECT_EQ(replicaControlStatement(current, true, "it's\\x", ReplicaThreads::Both, false),
              "START REPLICA 'it''s\\\\x'");
    EXPECT_EQ(replicaControlStatement(current, true, "it's\\x", ReplicaThreads::Both, true),
              "START REPLICA 'it''s\\x'");
    // MySQL names channels otherwise; its statement stops every channel of the kind.
    EXPECT_EQ(replicaControlStatement(mySql(80400), false, "", ReplicaThreads::Io, false),
              "STOP REPLICA IO_THREAD");
    EXPECT_EQ(replicaControlStatement(mySql(50700), true, "", ReplicaThreads::Both, false), "START SLAVE");
}

TEST(ReplicationText, ReadsTheStatusOfMariaDbAndOfMySql8) {
    const ReplicaChannel maria = parseReplicaChannel(row({{"Connection_name", "second"},
                                                          {"Slave_IO_Running", "Yes"},
                                                          {"Slave_SQL_Running", "No"},
                                                          {"Seconds_Behind_Master", std::nullopt},
                                                          {"Master_Host", "10.0.0.5"},
                                                          {"Master_Port", "3306"},
                                                          {"Last_SQL_Errno", "1062"},
                                                          {"Last_SQL_Error", "Duplicate entry"},
                                                          {"Gtid_IO_Pos", "0-1-12,2-3-4"},
                                                          {"Gtid_Slave_Pos", "0-1-9,2-3-4"}}));
    EXPECT_EQ(maria.name, "second");
    EXPECT_EQ(maria.sqlRunning, "No");
    EXPECT_FALSE(maria.secondsBehind.has_value());
    EXPECT_EQ(maria.primaryHost, "10.0.0.5");
    EXPECT_EQ(maria.lastSqlErrno, 1062u);
    EXPECT_EQ(maria.lastSqlErrorTime, "");
    EXPECT_EQ(gtidTransactionsBehind(maria.gtidReceived, maria.gtidApplied), 3);

    const ReplicaChannel mysql = parseReplicaChannel(row({{"Replica_IO_Running", "Connecting"},
                                                          {"Source_Host", "db1"},
                                                          {"Seconds_Behind_Source", "42"},
                                                          {"Last_IO_Errno", "2003"},
                                                          {"Last_IO_Error_Timestamp", "251208 05:40:01"},
                                                          {"Channel_Name", ""}}));
    EXPECT_EQ(mysql.ioRunning, "Connecting");
    EXPECT_EQ(mysql.primaryHost, "db1");
    EXPECT_EQ(mysql.secondsBehind, 42);
    EXPECT_EQ(mysql.lastIoErrno, 2003u);
    EXPECT_EQ(mysql.lastIoErrorTime, "251208 05:40:01");
}

TEST(ReplicationText, CountsTransactionsBehindPerDomain) {
    EXPECT_EQ(gtidTransactionsBehind("", ""), 0);
    EXPECT_EQ(gtidTransactionsBehind("0-1-5", ""), 5);
    // A domain applied further than this connection received (another connection brought it).
    EXPECT_EQ(gtidTransactionsBehind("0-1-5", "0-1-7,2-3-1"), 0);
    EXPECT_EQ(gtidTransactionsBehind(" 0-1-5, 2-3-10", "0-1-5,2-3-4"), 6);
    // MySQL's sets are not MariaDB positions: no number rather than a wrong one.
    EXPECT_FALSE(gtidTransactionsBehind("3E11FA47-71CA-11E1-9E33-C80AA9429562:1-5", "").has_value());
    EXPECT_EQ(lagChartValue(std::nullopt), 0u);
    EXPECT_EQ(lagChartValue(-3), 0u);
    EXPECT_EQ(lagChartValue(17), 17u);
    EXPECT_EQ(lagChartValue(1LL << 40), 0xffffffffu);
}
