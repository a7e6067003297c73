#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "ReplicationText.h"

namespace velkin {

class Connection;

/// A statement of the round that the server refused, kept so that the screen can say why.
struct Refusal {
    unsigned errorNumber = 0;
    std::string errorText;
};

/// A Binlog Dump thread: a replica reading this server's binary log.
struct DumpThread {
    std::string id;
    std::string user;
    std::string host;
    std::string seconds;
    std::string state;
};

/// Everything one refresh of the replication screen reads, in one round of statements.
struct ReplicationSnapshot {
    std::vector<ReplicaChannel> channels;
    std::optional<Refusal> channelsRefused;

    std::string binlogFile;
    std::string binlogPosition;
    std::optional<Refusal> binlogRefused;

    std::vector<ReplicaHost> replicaHosts;
    std::optional<Refusal> hostsRefused;
    std::vector<DumpThread> dumpThreads;
    /// The process list shows only the account's own threads (no PROCESS privilege).
    bool processListPartial = false;

    std::string gtidBinlogPos;
    std::string gtidSlavePos;
    std::string gtidCurrentPos;
    std::string binlogFormat;
    bool logBin = false;

    /// The connection was lost during the round; nothing above is complete.
    bool lost = false;

    bool isReplica() const { return !channels.empty(); }
    bool isPrimary() const { return logBin; }
};

/// Sends the round of statements (replica status, binary log status, replica hosts, dump threads,
/// variables) and reads the answers. A refused statement is noted, not fatal; stopFlag ends the
/// round between statements.
ReplicationSnapshot readReplication(Connection& connection, const std::atomic<bool>* stopFlag = nullptr);

}  // namespace velkin
