#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class ServerDialect;

// What the replication screen sends and how it reads the answers. Every statement is chosen by the
// server's version: the replica words came in MariaDB 10.5.1 and MySQL 8.0.22, and the binary log's
// own status statement in MariaDB 10.5.2 and MySQL 8.2.

/// Every replica connection of the server with its threads, positions and errors.
std::string replicaStatusStatement(const ServerDialect& dialect);
/// The binary log file and position the server writes now.
std::string binlogStatusStatement(const ServerDialect& dialect);
/// The replicas that registered with this server as their primary.
std::string replicaHostsStatement(const ServerDialect& dialect);
/// The threads that send the binary log to replicas: id, user, host, seconds, state.
std::string binlogDumpThreadsStatement();
/// GTID positions (binary log, applied, current), binlog_format, log_bin and whether the account
/// holds PROCESS, in one row.
std::string replicationVariablesStatement(const ServerDialect& dialect);

/// Which threads of a replica connection an action starts or stops.
enum class ReplicaThreads { Both, Io, Sql };
/// START or STOP of one replica connection; name is the connection's name ("" for the default
/// one) and is written as a quoted literal, escaped as the server reads literals.
std::string replicaControlStatement(const ServerDialect& dialect, bool start, std::string_view name,
                                    ReplicaThreads threads, bool noBackslashEscapes);

/// The privilege an account needs for each figure, in the server's own words.
std::string replicaStatusPrivilege(const ServerDialect& dialect);
std::string binlogStatusPrivilege(const ServerDialect& dialect);
std::string replicaHostsPrivilege(const ServerDialect& dialect);

/// One row of a result by column name: the server's cells with the names of its columns.
struct NamedRow {
    std::vector<std::string> names;
    std::vector<std::optional<std::string>> cells;
    /// The first of the names that the row has (the same figure under its MariaDB, old MySQL and
    /// MySQL 8 names); nothing when none is there or the cell is NULL.
    std::optional<std::string> get(std::initializer_list<std::string_view> candidates) const;
    std::string text(std::initializer_list<std::string_view> candidates) const;
};

/// One replica connection as the screen shows it.
struct ReplicaChannel {
    std::string name;  ///< "" for the default connection
    std::string ioRunning;
    std::string sqlRunning;
    std::string ioState;
    std::string sqlState;
    std::optional<long long> secondsBehind;  ///< nothing while the SQL thread does not run
    std::string primaryHost;
    std::string primaryPort;
    std::string usingGtid;
    std::string gtidReceived;  ///< Gtid_IO_Pos (MariaDB) or Retrieved_Gtid_Set (MySQL)
    std::string gtidApplied;   ///< Gtid_Slave_Pos (MariaDB) or Executed_Gtid_Set (MySQL)
    std::string sourceLogFile;
    std::string readPosition;
    std::string execPosition;
    std::string relayLogSpace;
    unsigned lastIoErrno = 0;
    std::string lastIoError;
    std::string lastIoErrorTime;  ///< the server's time of the error; MariaDB keeps none
    unsigned lastSqlErrno = 0;
    std::string lastSqlError;
    std::string lastSqlErrorTime;
};
ReplicaChannel parseReplicaChannel(const NamedRow& row);

/// A replica that registered with this server (SHOW REPLICA HOSTS).
struct ReplicaHost {
    std::string serverId;
    std::string host;
    std::string port;
};
ReplicaHost parseReplicaHost(const NamedRow& row);

/// The transactions a replica connection has received but not applied, from two GTID positions of
/// MariaDB ("0-1-12,2-3-4"): the sum over the domains of received minus applied sequence numbers.
/// Nothing when a position cannot be read.
std::optional<long long> gtidTransactionsBehind(std::string_view received, std::string_view applied);

/// A chart value for the lag: nothing (the SQL thread stands) gives 0, huge lags the largest value.
std::uint32_t lagChartValue(std::optional<long long> seconds);

// What the screen says.
QString replicationCaption();
QString neitherReplicaNorPrimaryText();
QString noReplicaConnectedText();
QString privilegeMissingText(const QString& figure, const std::string& privilege, unsigned errorNumber,
                             const std::string& errorText);
QString figureUnreadableText(const QString& figure, unsigned errorNumber, const std::string& errorText);
QString processPrivilegeText();
QString replicaActionQuestion(const std::string& statement);
QString replicaActionFailedText(const std::string& statement, const std::string& errorLine);
QString threadsLabel(ReplicaThreads threads, bool start);
QString connectionLabel(const std::string& name);

/// The server's error number for a privilege the account lacks (ER_SPECIFIC_ACCESS_DENIED_ERROR),
/// and for a statement refused outright (ER_ACCESS_DENIED_ERROR, ER_DBACCESS_DENIED_ERROR).
bool isPrivilegeRefusal(unsigned errorNumber);

}  // namespace velkin
