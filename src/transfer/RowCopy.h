#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ColumnFormText.h"
#include "session/Connection.h"

namespace velkin {

struct LoginValues;
class KeySteps;
class RowWriter;

/// A table as a copy names it: the plain names (for looking it up in the server's catalog) and the
/// text that stands for it in statements.
struct CopyTable {
    std::string database;
    std::string table;
    std::string statementName;
};

/// What a row copy did.
struct RowCopyOutcome {
    long long rowsRead = 0;
    /// Rows the destination holds: the copied count.
    long long rowsLanded = 0;
    /// Rows whose own INSERT the server refused (each logged with its statement).
    long long rowsFailed = 0;
    /// The read broke off, or never started.
    bool readFailed = false;
    /// The source's "%d:%s" when the read failed.
    std::string readError;
    /// The log could not be created or did not take every entry.
    bool logFailed = false;
    /// The destination went away during the copy ("%d:%s"); the copy stopped there.
    std::string destinationLost;
    /// Rows on their way when it did, whose landing nobody could confirm; negative when their number
    /// is unknown too.
    long long rowsUncertain = 0;
    /// The rows the source held when the copy began; negative when it was not counted.
    long long sourceRows = -1;
    /// The source keeps the history of its rows, which the destination's server could not take.
    bool historyLeft = false;
    /// The operator stopped the copy before its end.
    bool stopped = false;

    /// Every row the source gave landed.
    bool whole() const { return !stopped && !readFailed && rowsFailed == 0 && destinationLost.empty(); }
};

/// The row copy shared by the table and database duplicates and the copy from another server:
/// counts the source, reads it with one statement and writes its rows through the destination,
/// with a copy log and counters repainted once per block of rows.
///
/// The source is streamed: rows come from one consistent read in the server's order and the client
/// never holds more than one statement's worth of them. Streaming needs a source connection of its
/// own; when source and destination are one connection the answer is stored whole instead.
///
/// Rows go out in multi-row INSERT statements of a block of rows at most, each within the server's
/// packet limit. A refused statement is settled row by row, so that every refused row is logged with
/// its own one-row statement and every good row still lands: a transactional destination kept nothing
/// of it, so all its rows go again alone; a destination without transactions kept the rows before
/// the refused one, which its row count tells, so that row goes alone and the rest follow together.
/// For such a destination the session is strict for every table while the copy runs (when it was
/// strict for transactional ones), so that a row refused alone is refused in company as well. A
/// destination the server's catalog does not know gets one statement per row.
class RowCopy {
public:
    RowCopy(Connection& source, CopyTable from, Connection& destination, CopyTable to);

    /// The log to create anew in the current directory; none when empty. A log that cannot be created
    /// leaves the copy without one.
    void setLogFile(std::string name) { m_logName = std::move(name); }
    /// Receives the source's row count: the server's count before the rows are read, or, when the
    /// server copies the rows itself, the number it copied once it is done. Not asked for without it.
    void onOriginalCount(std::function<void(const std::string&)> shown) {
        m_originalShown = std::move(shown);
    }
    /// Appends to the log instead of creating it anew (one log for the tables of a database).
    void setLogAppends(bool append) { m_logAppends = append; }
    /// Lines the log tells before the rows: what the copy changed in the table's definition.
    void setLogNotes(std::vector<std::string> notes) { m_logNotes = std::move(notes); }
    /// Receives the number of rows that landed so far, after each block.
    void onProgress(std::function<void(long long)> shown) { m_progressShown = std::move(shown); }

    /// Source and destination are tables of one server, which the destination connection reads
    /// itself: a source with a key is then copied by the server in blocks of key ranges, fifty batches
    /// to a block; a refused block goes again a batch at a time.
    void setServerSide(bool serverSide) { m_serverSide = serverSide; }

    /// Feeds a transactional destination through LOAD DATA from the client, a block at a time, instead
    /// of INSERT statements; a block that does not land whole and unchanged is rolled back and goes in
    /// INSERTs as without it.
    void setBulkLoad(bool load) { m_bulkLoad = load; }

    /// A flag set from another thread when the operator stops the copy: it ends after the block it is
    /// in (a block's statement may be ended by the server meanwhile), and counts what landed.
    void setStopFlag(const std::atomic<bool>* flag) { m_stopFlag = flag; }

    RowCopyOutcome run();

private:
    /// How a source with a usable key is cut into blocks: the key's names, quoted, alone and joined,
    /// and the columns copied.
    struct KeyRanges {
        std::vector<std::string> keys;
        std::string keyList;
        std::string columns;
        /// The same columns in their read forms, for reading a block's rows to the client.
        std::string readList;
        /// The key is one integer column.
        bool integer = false;
    };

    /// Rows of the source in key order: after the condition `after` and up to `upTo`, either empty for
    /// no bound.
    struct KeySpan {
        std::string after;
        std::string upTo;
    };
    /// Marks the rows read so far written: counters, one event, the log lines of whole batches.
    using BlockEnd = std::function<void()>;

    std::optional<KeyRanges> keyRanges();
    /// Copies the source by the server, in blocks of an integer key's values or of a counted number of
    /// rows of any other key.
    bool copyOnServer(const KeyRanges& ranges, RowWriter& writer, RowCopyOutcome& outcome,
                      const BlockEnd& endBlock);
    bool copyBySteps(const KeyRanges& ranges, KeySteps& steps, RowWriter& writer, RowCopyOutcome& outcome,
                     const BlockEnd& endBlock);
    /// Copies the span in blocks of `blockRows` rows, the first of `firstRows`; the first `kept` rows
    /// of it are in the destination already.
    bool copyByKeyRanges(const KeyRanges& ranges, const KeySpan& span, int firstRows, int blockRows,
                         long long kept, RowWriter& writer, RowCopyOutcome& outcome,
                         const BlockEnd& endBlock);
    /// One block's INSERT ... SELECT; the rows it landed, none when the server refused it.
    std::optional<long long> copyBlock(const KeyRanges& ranges, const std::string& range, RowWriter& writer);
    /// The last key of the next block within the condition, or none when fewer rows are left.
    bool findBlockEnd(const KeyRanges& ranges, const std::string& within, int blockRows,
                      std::optional<std::vector<std::string>>& last);
    /// Settles a refused block of which the destination kept the first `kept` rows (counted when 0).
    bool settleRefusedBlock(const KeyRanges& ranges, const std::string& range, long long kept,
                            RowWriter& writer, long long& rows);
    bool readFailed(RowCopyOutcome& outcome);
    bool stopped() const { return m_stopFlag && m_stopFlag->load(); }
    /// Settles a stopped copy: what landed counted in the destination, one log line.
    void settleStopped(const RowWriter& writer, RowCopyOutcome& outcome,
                       const std::function<void(std::string_view)>& log);
    /// Settles a copy whose destination went away: the rows that landed counted on a new connection
    /// where the server answers again, one log line for why the copy stopped.
    void settleLost(const RowWriter& writer, RowCopyOutcome& outcome,
                    const std::function<void(std::string_view)>& log);
    enum class BlockLoad { Loaded, Changed, Refused, Lost };
    BlockLoad loadWhole(const std::string& statement, const std::string& rows, long long count,
                        RowWriter& writer);

    Connection& m_source;
    CopyTable m_from;
    Connection& m_destination;
    CopyTable m_to;
    std::string m_logName;
    /// The columns copied and how each travels; empty when the catalog could not tell ("*").
    std::vector<CarriedColumn> m_carried;
    std::vector<std::string> m_logNotes;
    bool m_logAppends = false;
    bool m_serverSide = false;
    bool m_bulkLoad = false;
    std::function<void(const std::string&)> m_originalShown;
    std::function<void(long long)> m_progressShown;
    const std::atomic<bool>* m_stopFlag = nullptr;
    /// The rows went by the server's own INSERT ... SELECT, read on the destination's connection.
    bool m_copiedOnServer = false;
    /// The server's blocks read committed rows without locking them.
    bool m_readCommitted = false;
};

/// Holds a connection at time_zone '+00:00' while it lives, so that TIMESTAMP values travel as the
/// same instant between sessions and servers of different zones; gives the zone back at the end.
class UtcSession {
public:
    explicit UtcSession(Connection& connection);
    ~UtcSession();
    UtcSession(const UtcSession&) = delete;
    UtcSession& operator=(const UtcSession&) = delete;

private:
    Connection& m_connection;
    std::string m_previous;
    bool m_changed = false;
};

/// Foreign-key checks off on a connection while it lives, and its own setting back afterwards: a copy
/// creates children before their parents, and its rows may name parents that come later.
class ForeignKeyChecksOff {
public:
    explicit ForeignKeyChecksOff(Connection& connection);
    ~ForeignKeyChecksOff();
    ForeignKeyChecksOff(const ForeignKeyChecksOff&) = delete;
    ForeignKeyChecksOff& operator=(const ForeignKeyChecksOff&) = delete;

private:
    Connection& m_connection;
    std::string m_previous;
};

/// Creates the log anew with only these lines: a copy without rows still tells what it changed.
void writeLogNotes(const std::string& logName, const std::vector<std::string>& notes);

/// A second connection to the session's server, to read a copy's source on while the session
/// writes; nothing when it cannot be made.
std::unique_ptr<Connection> openReaderConnection(const LoginValues& login);

}  // namespace velkin
