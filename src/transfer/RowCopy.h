#pragma once

#include <functional>
#include <memory>
#include <string>

#include "session/Connection.h"

namespace velkin {

struct LoginValues;

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
    /// Rows whose own INSERT the server refused (each logged with its statement).
    long long rowsFailed = 0;
    /// The read broke off, or never started.
    bool readFailed = false;
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
    /// Receives the source's row count as the server gave it.
    void onOriginalCount(std::function<void(const std::string&)> shown) {
        m_originalShown = std::move(shown);
    }
    /// Receives the number of rows sent so far, after each block.
    void onProgress(std::function<void(long long)> shown) { m_progressShown = std::move(shown); }

    RowCopyOutcome run();

private:
    class Writer;

    Connection& m_source;
    CopyTable m_from;
    Connection& m_destination;
    CopyTable m_to;
    std::string m_logName;
    std::function<void(const std::string&)> m_originalShown;
    std::function<void(long long)> m_progressShown;
};

/// A second connection to the session's server, to read a copy's source on while the session
/// writes; nothing when it cannot be made.
std::unique_ptr<Connection> openReaderConnection(const LoginValues& login);

}  // namespace velkin
