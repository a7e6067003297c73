#include "RowCopy.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "CopyStatements.h"
#include "CopyText.h"
#include "RowStream.h"
#include "TextModeFile.h"
#include "session/CSorvaneDoc.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Room left in a packet for the protocol's own bytes.
constexpr std::size_t kPacketMargin = 1024;
/// The statement size to keep under when the server does not tell its packet limit.
constexpr std::size_t kFallbackPacket = 1 << 20;

/// How a refused INSERT of many rows leaves the destination.
enum class Refusal {
    /// Unknown (no catalog, or no such table in it): every row goes in a statement of its own.
    Unknown,
    /// Nothing of the statement stays: a transactional destination.
    Nothing,
    /// The rows before the refused one stay: a destination without transactions.
    Leading,
};

/// How the destination takes its rows.
struct InsertPlan {
    Refusal refusal = Refusal::Unknown;
    std::size_t statementLimit = kFallbackPacket - kPacketMargin;
    /// Rows in the destination before the copy, to tell how many of a refused statement stayed.
    long long rowsBefore = 0;
    /// The session's mode, when the copy makes it strict for every table.
    std::optional<std::string> sqlMode;
};

bool hasMode(std::string_view modes, std::string_view mode) {
    std::size_t start = 0;
    while (start <= modes.size()) {
        const std::size_t end = std::min(modes.find(',', start), modes.size());
        if (modes.substr(start, end - start) == mode)
            return true;
        start = end + 1;
    }
    return false;
}

long long countOf(Connection& connection, const std::string& table, bool& ok) {
    Result result = connection.select(countStatement(table));
    Row row = result.fetchRow();
    ok = static_cast<bool>(row);
    return row ? std::strtoll(row.str(0).c_str(), nullptr, 10) : 0;
}

InsertPlan planInserts(Connection& destination, const CopyTable& to) {
    InsertPlan plan;
    const std::string sql = insertPlanQuery(destination, to.database, to.table);
    std::string modes;
    {
        Result result = destination.select(sql);
        Row row = result.fetchRow();
        if (!row)
            return plan;  // a server without a catalog: one statement per row is right everywhere
        const unsigned long long packet = std::strtoull(row.str(0).c_str(), nullptr, 10);
        if (packet > 2 * kPacketMargin)
            plan.statementLimit = static_cast<std::size_t>(packet) - kPacketMargin;
        if (row.text(1) == "YES")
            plan.refusal = Refusal::Nothing;
        else if (row.text(1) == "NO")
            plan.refusal = Refusal::Leading;
        modes = row.str(2);
    }
    if (plan.refusal != Refusal::Leading)
        return plan;
    bool counted = false;
    plan.rowsBefore = countOf(destination, to.statementName, counted);
    if (!counted) {
        plan.refusal = Refusal::Unknown;
        return plan;
    }
    // Strict for transactional tables only, a server refuses a bad value in a statement's first row
    // and adjusts it in later rows of a table without transactions. Strict for every table, a row
    // refused alone is refused in company too, where the statement then stops.
    if (hasMode(modes, "STRICT_TRANS_TABLES") && !hasMode(modes, "STRICT_ALL_TABLES") &&
        destination.query(setSqlModeStatement(destination, modes + ",STRICT_ALL_TABLES")) == 0)
        plan.sqlMode = modes;
    return plan;
}

/// Gives the session its own mode back when the copy ends.
class ModeRestore {
public:
    ModeRestore(Connection& connection, const std::optional<std::string>& mode)
        : m_connection(connection), m_mode(mode) {}
    ~ModeRestore() {
        if (m_mode)
            m_connection.query(setSqlModeStatement(m_connection, *m_mode));
    }
    ModeRestore(const ModeRestore&) = delete;
    ModeRestore& operator=(const ModeRestore&) = delete;

private:
    Connection& m_connection;
    std::optional<std::string> m_mode;
};

/// The source rows: streamed from a connection of their own, or stored whole when the source is the
/// connection that also writes.
class SourceRows {
public:
    SourceRows(Connection& connection, bool stream)
        : m_connection(connection), m_stream(connection), m_streaming(stream) {}

    bool open(const std::string& sql) {
        if (m_streaming)
            return m_stream.open(sql);
        if (m_connection.query(sql) != 0)
            return false;
        m_stored = m_connection.storeResult();
        return static_cast<bool>(m_stored);
    }
    std::vector<std::string> fieldNames() const {
        return m_streaming ? m_stream.fieldNames() : m_stored.fieldNames();
    }
    Row next() { return m_streaming ? m_stream.next() : m_stored.fetchRow(); }
    bool failed() const { return m_streaming && m_stream.failed(); }

private:
    Connection& m_connection;
    RowStream m_stream;
    Result m_stored;
    bool m_streaming;
};

}  // namespace

/// Collects rows into INSERT statements and sends them. A refused statement is settled row by row:
/// each row that the destination does not hold yet goes again alone, so that a refused row is
/// logged with its own statement and the rows after it still land.
class RowCopy::Writer {
public:
    Writer(Connection& destination, std::string head, const CopyTable& to, InsertPlan plan,
           std::function<void(std::string_view)> log)
        : m_destination(destination),
          m_head(std::move(head)),
          m_table(to.statementName),
          m_plan(std::move(plan)),
          m_log(std::move(log)) {
        m_statement.reserve(1 << 16);
    }

    void add(const Row& row) {
        m_piece.clear();
        appendRowValues(m_piece, row, m_destination);
        addPiece();
    }

    void addValues(const ValueRow& row) {
        m_piece.clear();
        appendRowValues(m_piece, row, m_destination);
        addPiece();
    }

    /// The row in m_piece.
    void addPiece() {
        ++m_rowsSent;
        if (m_plan.refusal == Refusal::Unknown) {
            sendAlone(m_piece);
            return;
        }
        if (!m_starts.empty() && m_statement.size() + 1 + m_piece.size() > m_plan.statementLimit)
            flush();
        if (m_starts.empty()) {
            m_statement = m_head;
        } else {
            m_statement += ',';
        }
        m_starts.push_back(m_statement.size());
        m_statement += m_piece;
    }

    void flush() {
        std::size_t first = 0;
        while (first < m_starts.size()) {
            const std::size_t left = m_starts.size() - first;
            if (left == 1) {
                sendAlone(piece(first));
                break;
            }
            if (first == 0 ? m_destination.query(m_statement) == 0 : sendFrom(first)) {
                m_landed += static_cast<long long>(left);
                break;
            }
            // Nothing stayed of a transactional statement: each of its rows again alone. Without
            // transactions the statement stopped at the row after those that stayed.
            const std::optional<std::size_t> stayed = rowsThatStayed(left);
            if (!stayed || m_plan.refusal == Refusal::Nothing) {
                for (std::size_t i = first; i < m_starts.size(); ++i)
                    sendAlone(piece(i));
                break;
            }
            first += *stayed;
            m_landed += static_cast<long long>(*stayed);
            sendAlone(piece(first));
            ++first;
        }
        m_starts.clear();
        m_statement.clear();
    }

    /// A row that goes in a statement of its own, logged when refused.
    void addAlone(const Row& row) {
        m_piece.clear();
        appendRowValues(m_piece, row, m_destination);
        ++m_rowsSent;
        sendAlone(m_piece);
    }

    /// Rows that the server copied itself.
    void addLanded(long long rows) {
        m_rowsSent += rows;
        m_landed += rows;
    }

    /// How many leading rows of a block that the server refused to copy the destination kept: none
    /// in a transactional table, those before the refused one otherwise (copied in key order).
    std::size_t keptOfRefusedBlock() {
        if (m_plan.refusal == Refusal::Nothing)
            return 0;
        bool counted = false;
        const long long kept = countOf(m_destination, m_table, counted) - m_plan.rowsBefore - m_landed;
        if (!counted || kept < 0)
            return 0;
        m_landed += kept;
        m_rowsSent += kept;
        return static_cast<std::size_t>(kept);
    }

    bool keepsNothingOfRefusals() const { return m_plan.refusal == Refusal::Nothing; }
    long long rowsSent() const { return m_rowsSent; }
    long long rowsFailed() const { return m_rowsFailed; }
    long long rowsLanded() const { return m_landed; }

private:
    std::string_view piece(std::size_t i) const {
        const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] - 1 : m_statement.size();
        return std::string_view(m_statement).substr(m_starts[i], end - m_starts[i]);
    }

    bool sendFrom(std::size_t first) {
        m_retry.assign(m_head);
        m_retry.append(std::string_view(m_statement).substr(m_starts[first]));
        return m_destination.query(m_retry) == 0;
    }

    /// How many leading rows of a refused statement of `rows` rows the destination kept.
    std::optional<std::size_t> rowsThatStayed(std::size_t rows) {
        if (m_plan.refusal == Refusal::Nothing)
            return 0;
        bool counted = false;
        const long long stayed = countOf(m_destination, m_table, counted) - m_plan.rowsBefore - m_landed;
        // Another writer on the table would make the count say something impossible.
        if (!counted || stayed < 0 || stayed >= static_cast<long long>(rows))
            return std::nullopt;
        return static_cast<std::size_t>(stayed);
    }

    void sendAlone(std::string_view values) {
        m_single.assign(m_head);
        m_single.append(values);
        if (m_destination.query(m_single) == 0) {
            ++m_landed;
            return;
        }
        ++m_rowsFailed;
        m_log(failedInsertEntry(m_single));
    }

    Connection& m_destination;
    std::string m_head;
    std::string m_table;
    InsertPlan m_plan;
    std::function<void(std::string_view)> m_log;
    std::string m_statement;
    std::vector<std::size_t> m_starts;
    std::string m_piece;
    std::string m_single;
    std::string m_retry;
    long long m_rowsSent = 0;
    long long m_rowsFailed = 0;
    /// Rows of this copy that the destination holds.
    long long m_landed = 0;
};

RowCopy::RowCopy(Connection& source, CopyTable from, Connection& destination, CopyTable to)
    : m_source(source), m_from(std::move(from)), m_destination(destination), m_to(std::move(to)) {}

RowCopyOutcome RowCopy::run() {
    RowCopyOutcome outcome;
    std::optional<UtcSession> sourceZone(std::in_place, m_source);
    std::optional<UtcSession> destinationZone;
    if (&m_source != &m_destination)
        destinationZone.emplace(m_destination);
    if (Result count = m_source.select(countStatement(m_from.statementName))) {
        Row row = count.fetchRow();
        if (row && m_originalShown)
            m_originalShown(row.str(0));
    }

    TextModeFile logFile;
    const bool logging = !m_logName.empty() && logFile.openPrivate(m_logName, m_logAppends);
    outcome.logFailed = !m_logName.empty() && !logging;
    auto log = [&](std::string_view entry) {
        if (logging)
            logFile.write(entry);
    };
    log(copyStartEntry());

    Connection::BusyScope busy(m_destination);
    const InsertPlan plan = planInserts(m_destination, m_to);
    ModeRestore restore(m_destination, plan.sqlMode);

    long long offset = 0;
    log(acquisitionStartEntry(offset));
    auto finish = [&] {
        if (logging && !logFile.close())
            outcome.logFailed = true;
    };
    std::optional<Writer> writer;
    // Marks a block written: the counters repainted, one event let through, the block's log lines.
    auto endBlock = [&] {
        writer->flush();
        if (m_progressShown)
            m_progressShown(writer->rowsLanded());
        letPendingEventsThrough();
        log(acquisitionSuccessEntry(offset));
        offset += kCopyBlockRows;
        log(acquisitionStartEntry(offset));
    };
    auto settle = [&] {
        outcome.rowsFailed = writer->rowsFailed();
        outcome.rowsLanded = writer->rowsLanded();
        finish();
        return outcome;
    };

    if (std::optional<KeyRanges> ranges =
            m_serverSide && plan.refusal != Refusal::Unknown ? keyRanges() : std::nullopt) {
        writer.emplace(m_destination, insertHead(m_to.statementName, ranges->columns), m_to, plan, log);
        if (!copyByKeyRanges(*ranges, *writer, outcome, endBlock))
            log(acquisitionFailureEntry());
        else
            log(copyEndEntry());
        return settle();
    }

    SourceRows rows(m_source, &m_source != &m_destination);
    // A transactional destination can take a block whole or not at all: it is fed by LOAD DATA,
    // and a block that does not land whole and unchanged is settled by INSERTs as any other.
    bool loading = m_bulkLoad && plan.refusal == Refusal::Nothing;
    std::string loadRows;
    long long loadCount = 0;
    std::string loadStatement;
    auto loadBlock = [&] {
        if (loadCount == 0)
            return;
        const BlockLoad result = loadWhole(loadStatement, loadRows, loadCount);
        if (result == BlockLoad::Loaded) {
            writer->addLanded(loadCount);
        } else {
            for (const ValueRow& values : parseLoadDataRows(loadRows))
                writer->addValues(values);
            // A statement refused as such (the server takes no local rows) will be refused again.
            loading = result == BlockLoad::Changed;
        }
        loadRows.clear();
        loadCount = 0;
    };
    const std::string read =
        m_columns.empty()
            ? readAllStatement(m_from.statementName)
            : readColumnsStatement(m_from.statementName, columnList(m_columns, m_source.dialect()));
    if (!rows.open(read)) {
        outcome.readError = m_source.errorLine();
        log(acquisitionFailureEntry());
        outcome.readFailed = true;
        finish();
        return outcome;
    }
    const std::string columns = columnList(rows.fieldNames(), m_destination.dialect());
    writer.emplace(m_destination, insertHead(m_to.statementName, columns), m_to, plan, log);
    if (loading)
        loadStatement = copyLoadStatement(m_to.statementName, m_source.characterSet(), columns);

    int inBlock = 0;
    while (Row row = rows.next()) {
        if (loading) {
            appendLoadDataRow(loadRows, row);
            ++loadCount;
        } else {
            writer->add(row);
        }
        ++outcome.rowsRead;
        if (++inBlock == kCopyBlockRows) {
            loadBlock();
            endBlock();
            inBlock = 0;
        }
    }
    loadBlock();
    if (rows.failed()) {
        outcome.readError = m_source.errorLine();
        // The rows that did arrive are sound; they are written before the copy gives up.
        writer->flush();
        if (m_progressShown)
            m_progressShown(writer->rowsLanded());
        log(acquisitionFailureEntry());
        outcome.readFailed = true;
    } else {
        if (inBlock > 0)
            endBlock();
        log(copyEndEntry());
    }
    return settle();
}

RowCopy::BlockLoad RowCopy::loadWhole(const std::string& statement, const std::string& rows,
                                      long long count) {
    if (m_destination.query(startTransactionStatement()) != 0)
        return BlockLoad::Refused;
    std::size_t at = 0;
    const int status = m_destination.loadLocal(statement, [&](char* buffer, unsigned int length) -> long {
        const std::size_t n = std::min<std::size_t>(length, rows.size() - at);
        std::memcpy(buffer, rows.data() + at, n);
        at += n;
        return static_cast<long>(n);
    });
    // Local rows that the server cannot take are skipped with a warning, not refused: only a block
    // that landed whole and without a warning is kept.
    const bool whole = status == 0 && m_destination.affectedRows() == static_cast<std::uint64_t>(count) &&
                       m_destination.warningCount() == 0;
    if (whole && m_destination.query(commitStatement()) == 0)
        return BlockLoad::Loaded;
    m_destination.query(rollbackStatement());
    return status == 0 ? BlockLoad::Changed : BlockLoad::Refused;
}

std::optional<RowCopy::KeyRanges> RowCopy::keyRanges() {
    std::vector<KeyColumnLine> lines;
    {
        Result result = m_destination.select(uniqueKeysQuery(m_destination, m_from.database, m_from.table));
        while (Row row = result.fetchRow())
            lines.push_back({row.str(0), row.str(1), row.str(2), row.text(3) == "1", row.text(4) == "1"});
    }
    const std::optional<std::vector<std::string>> key = rangeKey(lines);
    if (!key)
        return std::nullopt;
    std::vector<std::string> columns = m_columns;
    if (columns.empty()) {
        Result result = m_destination.select(copyColumnsQuery(m_destination, m_from.database, m_from.table));
        while (Row row = result.fetchRow())
            if (row.text(1) != "1")
                columns.push_back(row.str(0));
    }
    if (columns.empty())
        return std::nullopt;
    KeyRanges ranges;
    const ServerDialect& dialect = m_destination.dialect();
    for (const std::string& name : *key)
        ranges.keys.push_back(quoteName(name, dialect));
    ranges.keyList = columnList(*key, dialect);
    ranges.columns = columnList(columns, dialect);
    return ranges;
}

bool RowCopy::copyByKeyRanges(const KeyRanges& ranges, Writer& writer, RowCopyOutcome& outcome,
                              const std::function<void()>& endBlock) {
    std::string after;
    for (;;) {
        std::optional<std::vector<std::string>> last;
        if (m_destination.query(blockEndQuery(m_from.statementName, ranges.keyList, after, kCopyBlockRows)) !=
            0)
            return readFailed(outcome);
        if (Result end = m_destination.storeResult()) {
            if (Row row = end.fetchRow()) {
                last.emplace();
                for (unsigned i = 0; i < row.size(); ++i)
                    last->push_back(row.str(i));
            }
        } else if (m_destination.errorNumber() != 0) {
            return readFailed(outcome);
        }
        const std::string range =
            bothConditions(after, last ? keyUpToCondition(m_destination, ranges.keys, *last) : std::string());
        long long rows = 0;
        if (m_destination.query(blockCopyStatement(m_to.statementName, ranges.columns, m_from.statementName,
                                                   range, ranges.keyList)) == 0) {
            rows = static_cast<long long>(m_destination.affectedRows());
            writer.addLanded(rows);
        } else if (!settleRefusedBlock(ranges, range, writer, rows)) {
            outcome.rowsRead += rows;
            return readFailed(outcome);
        }
        outcome.rowsRead += rows;
        if (rows > 0)
            endBlock();
        if (!last)
            return true;
        after = keyAfterCondition(m_destination, ranges.keys, *last);
    }
}

bool RowCopy::settleRefusedBlock(const KeyRanges& ranges, const std::string& range, Writer& writer,
                                 long long& rows) {
    // What the server kept of the block stays; the refused row goes alone, so that it is logged
    // with its own statement, and the rest follows as any streamed rows do.
    const std::size_t kept = writer.keptOfRefusedBlock();
    Result block =
        m_destination.select(blockReadStatement(m_from.statementName, ranges.columns, range, ranges.keyList));
    if (!block)
        return false;
    for (std::size_t index = 0; Row row = block.fetchRow(); ++index, ++rows) {
        if (index == kept || (index > kept && writer.keepsNothingOfRefusals()))
            writer.addAlone(row);
        else if (index > kept)
            writer.add(row);
    }
    return true;
}

bool RowCopy::readFailed(RowCopyOutcome& outcome) {
    outcome.readError = m_destination.errorLine();
    outcome.readFailed = true;
    return false;
}

UtcSession::UtcSession(Connection& connection) : m_connection(connection) {
    Result zone = m_connection.select(timeZoneQuery());
    Row row = zone.fetchRow();
    if (!row)
        return;
    m_previous = row.str(0);
    if (m_previous == kUtcZone)
        return;
    m_changed = m_connection.query(setTimeZoneStatement(m_connection, kUtcZone)) == 0;
}

UtcSession::~UtcSession() {
    // A connection that went away has no zone to give back.
    if (m_changed && m_connection.isOpen())
        m_connection.query(setTimeZoneStatement(m_connection, m_previous));
}

std::unique_ptr<Connection> openReaderConnection(const LoginValues& login) {
    auto connection = std::make_unique<Connection>();
    const unsigned int port = parsePort(login.port).value_or(0);
    connection->setTls(login.tls);
    if (!connection->connect(u8(login.host), u8(login.user), u8(login.password), port))
        return nullptr;
    return connection;
}

}  // namespace velkin
