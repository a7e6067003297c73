#include "ReplicationRead.h"

#include "session/Connection.h"

namespace velkin {

namespace {

/// Every row of the statement by column name; nothing, with the refusal noted, when it failed.
std::optional<std::vector<NamedRow>> namedRows(Connection& connection, const std::string& sql,
                                               std::optional<Refusal>& refused) {
    if (connection.query(sql) != 0) {
        refused = Refusal{connection.errorNumber(), connection.errorText()};
        return std::nullopt;
    }
    Result result = connection.storeResult();
    if (!result) {
        refused = Refusal{connection.errorNumber(), connection.errorText()};
        return std::nullopt;
    }
    std::vector<NamedRow> rows;
    const std::vector<std::string> names = result.fieldNames();
    while (Row row = result.fetchRow()) {
        NamedRow named{names, {}};
        for (unsigned i = 0; i < row.size(); ++i)
            named.cells.push_back(row.value(i));
        rows.push_back(std::move(named));
    }
    return rows;
}

bool stopped(const std::atomic<bool>* stopFlag) {
    return stopFlag && stopFlag->load();
}

}  // namespace

ReplicationSnapshot readReplication(Connection& connection, const std::atomic<bool>* stopFlag) {
    ReplicationSnapshot s;
    const ServerDialect& dialect = connection.dialect();
    // The statements of one refresh go out together, so that no other call slips between them.
    const auto hold = connection.holdCalls();
    const auto lost = [&s, &connection] {
        s.lost = s.lost || connection.connectionLost();
        return s.lost;
    };

    if (auto rows = namedRows(connection, replicaStatusStatement(dialect), s.channelsRefused))
        for (const NamedRow& row : *rows)
            s.channels.push_back(parseReplicaChannel(row));
    if (lost() || stopped(stopFlag))
        return s;

    std::optional<Refusal> variablesRefused;
    if (auto rows = namedRows(connection, replicationVariablesStatement(dialect), variablesRefused);
        rows && !rows->empty()) {
        const NamedRow& row = rows->front();
        const auto cell = [&row](std::size_t i) {
            return row.cells.size() > i ? row.cells[i].value_or("") : "";
        };
        s.gtidBinlogPos = cell(0);
        s.gtidSlavePos = cell(1);
        s.gtidCurrentPos = cell(2);
        s.binlogFormat = cell(3);
        s.logBin = cell(4) == "1" || cell(4) == "ON";
        s.processListPartial = cell(5) == "0";
    }
    if (lost() || stopped(stopFlag))
        return s;

    // What a primary shows only matters where the server writes a binary log.
    if (!s.logBin)
        return s;
    if (auto rows = namedRows(connection, binlogStatusStatement(dialect), s.binlogRefused);
        rows && !rows->empty()) {
        s.binlogFile = rows->front().text({"File"});
        s.binlogPosition = rows->front().text({"Position"});
    }
    if (lost() || stopped(stopFlag))
        return s;
    if (auto rows = namedRows(connection, replicaHostsStatement(dialect), s.hostsRefused))
        for (const NamedRow& row : *rows)
            s.replicaHosts.push_back(parseReplicaHost(row));
    if (lost() || stopped(stopFlag))
        return s;
    std::optional<Refusal> dumpsRefused;
    if (auto rows = namedRows(connection, binlogDumpThreadsStatement(), dumpsRefused))
        for (const NamedRow& row : *rows)
            s.dumpThreads.push_back(DumpThread{row.text({"ID"}), row.text({"USER"}), row.text({"HOST"}),
                                               row.text({"TIME"}), row.text({"STATE"})});
    lost();
    return s;
}

}  // namespace velkin
