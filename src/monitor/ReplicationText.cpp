#include "ReplicationText.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>

#include "MonitorText.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

bool mariaDbFrom(const ServerDialect& dialect, unsigned long version) {
    return dialect.isMariaDb() && dialect.version() >= version;
}

bool mySqlFrom(const ServerDialect& dialect, unsigned long version) {
    return !dialect.isMariaDb() && dialect.version() >= version;
}

/// REPLICA in the statements of servers that know the word, SLAVE before.
bool replicaWords(const ServerDialect& dialect) {
    return mariaDbFrom(dialect, 100501) || mySqlFrom(dialect, 80022);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

std::string literal(std::string_view text, bool noBackslashEscapes) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "''";
        else if (c == '\\' && !noBackslashEscapes)
            out += "\\\\";
        else if (c == '\0')
            out += noBackslashEscapes ? std::string(1, c) : std::string("\\0");
        else
            out += c;
    }
    return out + "'";
}

/// "domain-server-seq,..." as the last sequence number of each domain.
std::optional<std::map<long long, long long>> gtidDomains(std::string_view position) {
    std::map<long long, long long> domains;
    std::size_t start = 0;
    while (start < position.size()) {
        std::size_t end = position.find(',', start);
        if (end == std::string_view::npos)
            end = position.size();
        std::string item(position.substr(start, end - start));
        item.erase(std::remove_if(item.begin(), item.end(), [](unsigned char c) { return std::isspace(c); }),
                   item.end());
        start = end + 1;
        if (item.empty())
            continue;
        const std::size_t first = item.find('-');
        const std::size_t last = item.rfind('-');
        if (first == std::string::npos || first == last)
            return std::nullopt;
        const std::string domain = item.substr(0, first);
        const std::string server = item.substr(first + 1, last - first - 1);
        const std::string seq = item.substr(last + 1);
        // Domain, server and sequence are plain numbers; anything else is no MariaDB position.
        for (const std::string* part : {&domain, &server, &seq})
            if (part->empty() || part->size() > 18 ||
                !std::all_of(part->begin(), part->end(), [](unsigned char c) { return std::isdigit(c); }))
                return std::nullopt;
        domains[std::stoll(domain)] = std::stoll(seq);
    }
    return domains;
}

}  // namespace

std::string replicaStatusStatement(const ServerDialect& dialect) {
    if (dialect.isMariaDb())
        return replicaWords(dialect) ? "SHOW ALL REPLICAS STATUS" : "SHOW ALL SLAVES STATUS";
    return replicaWords(dialect) ? "SHOW REPLICA STATUS" : "SHOW SLAVE STATUS";
}

std::string binlogStatusStatement(const ServerDialect& dialect) {
    if (mariaDbFrom(dialect, 100502))
        return "SHOW BINLOG STATUS";
    if (mySqlFrom(dialect, 80200))
        return "SHOW BINARY LOG STATUS";
    return "SHOW MASTER STATUS";
}

std::string replicaHostsStatement(const ServerDialect& dialect) {
    if (mariaDbFrom(dialect, 100501))
        return "SHOW REPLICA HOSTS";
    if (mySqlFrom(dialect, 80022))
        return "SHOW REPLICAS";
    return "SHOW SLAVE HOSTS";
}

std::string binlogDumpThreadsStatement() {
    return "SELECT ID, USER, HOST, TIME, STATE FROM information_schema.PROCESSLIST "
           "WHERE COMMAND LIKE 'Binlog Dump%' ORDER BY ID";
}

std::string replicationVariablesStatement(const ServerDialect& dialect) {
    // Whether the account holds PROCESS itself: without it the process list hides other accounts'
    // threads, the replicas' among them, and says nothing about it.
    const std::string process =
        ", (SELECT COUNT(*) FROM information_schema.USER_PRIVILEGES WHERE PRIVILEGE_TYPE = 'PROCESS' "
        "AND GRANTEE = CONCAT('''', SUBSTRING_INDEX(CURRENT_USER(), '@', 1), '''@''', "
        "SUBSTRING_INDEX(CURRENT_USER(), '@', -1), ''''))";
    if (dialect.isMariaDb())
        return "SELECT @@global.gtid_binlog_pos, @@global.gtid_slave_pos, @@global.gtid_current_pos, "
               "@@global.binlog_format, @@global.log_bin" +
               process;
    // MySQL keeps one set of executed transactions; it stands for all three positions.
    return "SELECT @@global.gtid_executed, @@global.gtid_executed, @@global.gtid_executed, "
           "@@global.binlog_format, @@global.log_bin" +
           process;
}

std::string replicaControlStatement(const ServerDialect& dialect, bool start, std::string_view name,
                                    ReplicaThreads threads, bool noBackslashEscapes) {
    std::string sql = start ? "START " : "STOP ";
    sql += replicaWords(dialect) ? "REPLICA" : "SLAVE";
    // Only MariaDB names its connections here; the default one goes without a name.
    if (dialect.isMariaDb() && !name.empty())
        sql += " " + literal(name, noBackslashEscapes);
    if (threads == ReplicaThreads::Io)
        sql += " IO_THREAD";
    else if (threads == ReplicaThreads::Sql)
        sql += " SQL_THREAD";
    return sql;
}

std::string replicaStatusPrivilege(const ServerDialect& dialect) {
    if (mariaDbFrom(dialect, 100509))
        return "REPLICA MONITOR (SLAVE MONITOR)";
    if (mariaDbFrom(dialect, 100502))
        return "REPLICATION SLAVE ADMIN";
    return "REPLICATION CLIENT";
}

std::string binlogStatusPrivilege(const ServerDialect& dialect) {
    return mariaDbFrom(dialect, 100502) ? "BINLOG MONITOR" : "REPLICATION CLIENT";
}

std::string replicaHostsPrivilege(const ServerDialect& dialect) {
    return mariaDbFrom(dialect, 100502) ? "REPLICATION MASTER ADMIN" : "REPLICATION SLAVE";
}

std::optional<std::string> NamedRow::get(std::initializer_list<std::string_view> candidates) const {
    for (std::string_view candidate : candidates)
        for (std::size_t i = 0; i < names.size() && i < cells.size(); ++i)
            if (equalsNoCase(names[i], candidate))
                return cells[i];
    return std::nullopt;
}

std::string NamedRow::text(std::initializer_list<std::string_view> candidates) const {
    return get(candidates).value_or(std::string());
}

ReplicaChannel parseReplicaChannel(const NamedRow& row) {
    ReplicaChannel c;
    c.name = row.text({"Connection_name", "Channel_Name"});
    c.ioRunning = row.text({"Slave_IO_Running", "Replica_IO_Running"});
    c.sqlRunning = row.text({"Slave_SQL_Running", "Replica_SQL_Running"});
    c.ioState = row.text({"Slave_IO_State", "Replica_IO_State"});
    c.sqlState = row.text({"Slave_SQL_Running_State", "Replica_SQL_Running_State", "Slave_SQL_State"});
    if (auto behind = row.get({"Seconds_Behind_Master", "Seconds_Behind_Source"}))
        c.secondsBehind = leadingInteger(*behind);
    c.primaryHost = row.text({"Master_Host", "Source_Host"});
    c.primaryPort = row.text({"Master_Port", "Source_Port"});
    c.usingGtid = row.text({"Using_Gtid", "Auto_Position"});
    c.gtidReceived = row.text({"Gtid_IO_Pos", "Retrieved_Gtid_Set"});
    c.gtidApplied = row.text({"Gtid_Slave_Pos", "Executed_Gtid_Set"});
    c.sourceLogFile = row.text({"Master_Log_File", "Source_Log_File"});
    c.readPosition = row.text({"Read_Master_Log_Pos", "Read_Source_Log_Pos"});
    c.execPosition = row.text({"Exec_Master_Log_Pos", "Exec_Source_Log_Pos"});
    c.relayLogSpace = row.text({"Relay_Log_Space"});
    c.lastIoErrno = static_cast<unsigned>(leadingInteger(row.text({"Last_IO_Errno"})));
    c.lastIoError = row.text({"Last_IO_Error"});
    c.lastIoErrorTime = row.text({"Last_IO_Error_Timestamp"});
    c.lastSqlErrno = static_cast<unsigned>(leadingInteger(row.text({"Last_SQL_Errno"})));
    c.lastSqlError = row.text({"Last_SQL_Error"});
    c.lastSqlErrorTime = row.text({"Last_SQL_Error_Timestamp"});
    return c;
}

ReplicaHost parseReplicaHost(const NamedRow& row) {
    return ReplicaHost{row.text({"Server_id"}), row.text({"Host"}), row.text({"Port"})};
}

std::optional<long long> gtidTransactionsBehind(std::string_view received, std::string_view applied) {
    const auto got = gtidDomains(received);
    const auto done = gtidDomains(applied);
    if (!got || !done)
        return std::nullopt;
    long long behind = 0;
    for (const auto& [domain, seq] : *got) {
        const auto it = done->find(domain);
        const long long appliedSeq = it == done->end() ? 0 : it->second;
        behind += std::max(0LL, seq - appliedSeq);
    }
    return behind;
}

std::uint32_t lagChartValue(std::optional<long long> seconds) {
    if (!seconds || *seconds <= 0)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<long long>(*seconds, std::numeric_limits<std::uint32_t>::max()));
}

QString replicationCaption() {
    return QStringLiteral("Replication");
}

QString neitherReplicaNorPrimaryText() {
    return QStringLiteral(
        "This server is neither a replica nor a primary: it has no replica connection "
        "and writes no binary log.");
}

QString noReplicaConnectedText() {
    return QStringLiteral("No replica is connected to this server.");
}

QString privilegeMissingText(const QString& figure, const std::string& privilege, unsigned errorNumber,
                             const std::string& errorText) {
    return QStringLiteral("%1 cannot be read: the account needs the %2 privilege.\n%3:%4")
        .arg(figure, qs(privilege))
        .arg(errorNumber)
        .arg(qs(errorText));
}

QString figureUnreadableText(const QString& figure, unsigned errorNumber, const std::string& errorText) {
    return QStringLiteral("%1 cannot be read.\n%2:%3").arg(figure).arg(errorNumber).arg(qs(errorText));
}

QString processPrivilegeText() {
    return QStringLiteral(
        "Without the PROCESS privilege the account sees only its own threads, not "
        "the replicas' Binlog Dump threads.");
}

QString replicaActionQuestion(const std::string& statement) {
    return QStringLiteral("May I send this statement?\n\n%1").arg(qs(statement));
}

QString replicaActionFailedText(const std::string& statement, const std::string& errorLine) {
    return QStringLiteral("The server refused %1\n%2").arg(qs(statement), qs(errorLine));
}

QString threadsLabel(ReplicaThreads threads, bool start) {
    const QString verb = start ? QStringLiteral("Start") : QStringLiteral("Stop");
    switch (threads) {
        case ReplicaThreads::Io:
            return verb + QStringLiteral(" IO");
        case ReplicaThreads::Sql:
            return verb + QStringLiteral(" SQL");
        case ReplicaThreads::Both:
            break;
    }
    return verb + QStringLiteral(" both");
}

QString connectionLabel(const std::string& name) {
    return name.empty() ? QStringLiteral("(default)") : qs(name);
}

bool isPrivilegeRefusal(unsigned errorNumber) {
    return errorNumber == 1227 || errorNumber == 1044 || errorNumber == 1045 || errorNumber == 1142;
}

}  // namespace velkin
