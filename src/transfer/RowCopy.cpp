#include "RowCopy.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "CopyHistory.h"
#include "CopyStatements.h"
#include "CopyText.h"
#include "DatabaseCopyText.h"
#include "RowStream.h"
#include "RowWriter.h"
#include "TableColumns.h"
#include "TextModeFile.h"
#include "session/CSorvaneDoc.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Rows and bytes of one block loaded from the client (the copy from another server).
constexpr long long kLoadBlockRows = 10 * kCopyBlockRows;
constexpr std::size_t kLoadBlockBytes = 16 << 20;

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
    void close() {
        m_stream.close();
        m_stored = Result();
    }

private:
    Connection& m_connection;
    RowStream m_stream;
    Result m_stored;
    bool m_streaming;
};

}  // namespace

RowCopy::RowCopy(Connection& source, CopyTable from, Connection& destination, CopyTable to)
    : m_source(source), m_from(std::move(from)), m_destination(destination), m_to(std::move(to)) {}

RowCopyOutcome RowCopy::run() {
    RowCopyOutcome outcome;
    std::optional<UtcSession> sourceZone(std::in_place, m_source);
    std::optional<UtcSession> destinationZone;
    if (&m_source != &m_destination)
        destinationZone.emplace(m_destination);
    // Nobody to show the count to (the tables of a database duplicate): the server is spared it.
    auto showCount = [&] {
        if (!m_originalShown)
            return;
        Result count = m_source.select(countStatement(m_from.statementName));
        if (Row row = count.fetchRow()) {
            outcome.sourceRows = std::strtoll(row.str(0).c_str(), nullptr, 10);
            m_originalShown(row.str(0));
        }
    };

    TextModeFile logFile;
    const bool logging = !m_logName.empty() && logFile.openPrivate(m_logName, m_logAppends);
    outcome.logFailed = !m_logName.empty() && !logging;
    auto log = [&](std::string_view entry) {
        if (logging)
            logFile.write(entry);
    };
    log(copyStartEntry());
    for (const std::string& note : m_logNotes)
        log(note);

    // Every column the rows hold, each read in a form that comes back bit for bit; "*" only where the
    // catalog cannot tell.
    const TableColumns sourceColumns = readTableColumns(m_source, m_from.database, m_from.table);
    const CopyHistory history(m_destination, m_to, sourceColumns.kind == TableKind::SystemVersioned);
    outcome.historyLeft = history.versioned() && !history.kept();
    m_carried = carriedColumns(sourceColumns, m_source.dialect(), m_source.characterSet(), history.kept());
    const std::vector<ValueForm> forms = valueForms(m_carried);
    Connection::BusyScope busy(m_destination);
    const InsertPlan plan = planInserts(m_destination, m_to);
    ModeRestore restore(m_destination, plan.sqlMode);

    long long offset = 0;
    log(acquisitionStartEntry(offset));
    auto finish = [&] {
        if (logging && !logFile.close())
            outcome.logFailed = true;
    };
    std::optional<RowWriter> writer;
    // The log speaks of batches of a thousand rows, however the rows travel: a pair of lines for each
    // batch read whole, and at the end one for the last part of one.
    auto logBatches = [&](long long rows, bool last) {
        while (offset < rows && (last || offset + kCopyBlockRows <= rows)) {
            log(acquisitionSuccessEntry(offset));
            offset += kCopyBlockRows;
            log(acquisitionStartEntry(offset));
        }
    };
    // Marks the rows read so far written: the counters told, the log.
    auto endBlock = [&] {
        writer->flush();
        if (m_progressShown)
            m_progressShown(writer->rowsLanded());
        logBatches(outcome.rowsRead, false);
    };
    auto settle = [&] {
        outcome.rowsFailed = writer->rowsFailed();
        outcome.rowsLanded = writer->rowsLanded();
        if (writer->lost())
            settleLost(*writer, outcome, log);
        else if (outcome.stopped)
            settleStopped(*writer, outcome, log);
        finish();
        return outcome;
    };

    if (std::optional<KeyRanges> ranges = m_serverSide && !history.kept() && plan.refusal != Refusal::Unknown
                                              ? keyRanges()
                                              : std::nullopt) {
        m_copiedOnServer = true;
        writer.emplace(m_destination, insertHead(m_to.statementName, ranges->columns), m_to, plan, log);
        // The rows the server copied are the source's count as its blocks read them, and the screen
        // showed the count when it opened: at a million rows a count of its own cost the server a
        // tenth of the copy. Only a copy that broke off asks for the count.
        if (writer->lost()) {
            // Nothing to read on a connection that is gone.
        } else if (!copyOnServer(*ranges, *writer, outcome, endBlock)) {
            outcome.stopped = stopped();
            if (!writer->lost() && !outcome.stopped && m_destination.connectionLost())
                writer->markLost(0);
            if (!writer->lost() && !outcome.stopped) {
                log(acquisitionFailureEntry());
                showCount();
            }
        } else {
            logBatches(outcome.rowsRead, true);
            log(copyEndEntry());
            if (m_originalShown)
                m_originalShown(std::to_string(outcome.rowsRead));
        }
        return settle();
    }

    showCount();
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
        const BlockLoad result = loadWhole(loadStatement, loadRows, loadCount, *writer);
        if (result == BlockLoad::Loaded) {
            writer->addLanded(loadCount);
        } else if (result != BlockLoad::Lost) {
            // Settled a batch at a time, each batch's log lines after its rows, so that a refused row is
            // logged within its own batch.
            long long position = outcome.rowsRead - loadCount;
            for (const ValueRow& values : parseLoadDataRows(loadRows, forms)) {
                writer->addValues(values);
                if (++position % kCopyBlockRows == 0) {
                    writer->flush();
                    logBatches(position, false);
                }
            }
            // A statement refused as such (the server takes no local rows) will be refused again.
            loading = result == BlockLoad::Changed;
        }
        loadRows.clear();
        loadCount = 0;
    };
    const std::string read =
        m_carried.empty()
            ? readAllStatement(m_from.statementName)
            : carriedReadStatement(m_from.statementName, carriedSelectList(m_carried), history.kept());
    if (!rows.open(read)) {
        outcome.readError = m_source.errorLine();
        log(acquisitionFailureEntry());
        outcome.readFailed = true;
        finish();
        return outcome;
    }
    const std::string columns = m_carried.empty() ? columnList(rows.fieldNames(), m_destination.dialect())
                                                  : carriedInsertList(m_carried);
    writer.emplace(m_destination, insertHead(m_to.statementName, columns), m_to, plan, log);
    writer->setForms(forms);
    if (loading)
        loadStatement = m_carried.empty()
                            ? copyLoadStatement(m_to.statementName, m_source.characterSet(), columns)
                            : copyLoadStatement(m_to.statementName, m_source.characterSet(), m_carried);

    // Loaded blocks are larger: each costs a statement and a commit of its own.
    long long inBlock = 0;
    while (Row row = rows.next()) {
        ++outcome.rowsRead;
        ++inBlock;
        bool blockFull = inBlock == kCopyBlockRows;
        if (loading) {
            appendLoadDataRow(loadRows, row, forms);
            ++loadCount;
            blockFull = inBlock == kLoadBlockRows || loadRows.size() >= kLoadBlockBytes;
        } else {
            writer->add(row);
        }
        if (blockFull) {
            loadBlock();
            endBlock();
            inBlock = 0;
            if (writer->lost() || stopped())
                break;
        }
    }
    loadBlock();
    // A stop may have ended the source's statement too, which then reads as a read that broke off.
    outcome.stopped = stopped() && !writer->lost();
    if (writer->lost() || outcome.stopped) {
        // The rows left in the source are not read to the end for nothing: its statement is stopped.
        if (inBlock > 0 && outcome.stopped)
            endBlock();
        if (&m_source != &m_destination)
            m_source.stopRunningStatement();
        rows.close();
    } else if (rows.failed()) {
        outcome.readError = m_source.errorLine();
        // The rows that did arrive are sound; they are written before the copy gives up.
        endBlock();
        log(acquisitionFailureEntry());
        outcome.readFailed = true;
    } else {
        if (inBlock > 0)
            endBlock();
        logBatches(outcome.rowsRead, true);
        log(copyEndEntry());
    }
    return settle();
}

RowCopy::BlockLoad RowCopy::loadWhole(const std::string& statement, const std::string& rows, long long count,
                                      RowWriter& writer) {
    // Until the COMMIT is sent the server rolls the block back when the connection breaks; during the
    // COMMIT nobody can tell.
    auto lost = [&](long long inFlight) {
        writer.markLost(inFlight);
        return BlockLoad::Lost;
    };
    if (m_destination.query(startTransactionStatement()) != 0)
        return m_destination.connectionLost() ? lost(0) : BlockLoad::Refused;
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
    if (status != 0 && m_destination.connectionLost())
        return lost(0);
    if (whole && m_destination.query(commitStatement()) == 0)
        return BlockLoad::Loaded;
    if (whole && m_destination.connectionLost())
        return lost(count);
    m_destination.query(rollbackStatement());
    return status == 0 ? BlockLoad::Changed : BlockLoad::Refused;
}

void RowCopy::settleStopped(const RowWriter& writer, RowCopyOutcome& outcome,
                            const std::function<void(std::string_view)>& log) {
    log(copyStoppedEntry());
    m_destination.settleStop();
    // A block the server was copying when the stop came may have kept part of itself (a table without
    // transactions): the destination tells what landed.
    outcome.readFailed = false;
    outcome.readError.clear();
    bool counted = false;
    const long long rows = countOf(m_destination, m_to.statementName, counted);
    if (counted && writer.rowsBeforeKnown())
        outcome.rowsLanded = rows - writer.rowsBefore();
    // A copy the server made itself counted no source, but can say how much was left.
    if (outcome.sourceRows < 0 && m_copiedOnServer) {
        const long long source = countOf(m_destination, m_from.statementName, counted);
        if (counted)
            outcome.sourceRows = source;
    }
}

void RowCopy::settleLost(const RowWriter& writer, RowCopyOutcome& outcome,
                         const std::function<void(std::string_view)>& log) {
    outcome.destinationLost = writer.lostError();
    // The reads broke off with it; that is not the source's fault.
    outcome.readFailed = false;
    outcome.readError.clear();
    outcome.rowsUncertain = writer.rowsUncertain();
    log(destinationLostEntry(outcome.destinationLost));
    // Where the server answers again, the destination itself tells what landed.
    if (!writer.rowsBeforeKnown())
        return;
    std::unique_ptr<Connection> twin = m_destination.openTwin();
    if (!twin)
        return;
    bool counted = false;
    const long long rows = countOf(*twin, m_to.statementName, counted);
    if (!counted)
        return;
    outcome.rowsLanded = rows - writer.rowsBefore();
    outcome.rowsUncertain = 0;
    // A copy the server made itself counted no source; on the same server the twin can.
    if (outcome.sourceRows < 0 && m_copiedOnServer) {
        const long long source = countOf(*twin, m_from.statementName, counted);
        if (counted)
            outcome.sourceRows = source;
    }
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

ForeignKeyChecksOff::ForeignKeyChecksOff(Connection& connection) : m_connection(connection) {
    Result result = m_connection.select(foreignKeyChecksQuery());
    Row row = result.fetchRow();
    if (row && row.text(0) != "0") {
        m_previous = row.str(0);
        m_connection.query(setForeignKeyChecksStatement("0"));
    }
}

ForeignKeyChecksOff::~ForeignKeyChecksOff() {
    if (!m_previous.empty() && m_connection.isOpen())
        m_connection.query(setForeignKeyChecksStatement(m_previous));
}

void writeLogNotes(const std::string& logName, const std::vector<std::string>& notes) {
    TextModeFile file;
    if (!file.openPrivate(logName))
        return;
    for (const std::string& note : notes)
        file.write(note);
    file.close();
}

std::unique_ptr<Connection> openReaderConnection(const LoginValues& login) {
    auto connection = std::make_unique<Connection>();
    const unsigned int port = parsePort(login.port).value_or(0);
    connection->setTls(login.tls);
    // The session's tunnel serves this second connection too; the host key is trusted by then.
    connection->setSsh(login.ssh, login.sshSecrets);
    if (!connection->connect(u8(login.host), u8(login.user), u8(login.password), port))
        return nullptr;
    return connection;
}

}  // namespace velkin
