#pragma once

#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "session/PackedRows.h"

namespace velkin {

class Connection;

/// Where a run stands when a statement is about to be sent.
struct ConsoleReached {
    /// Statement number of total (from 1), starting on line. total is 0 when the text holds no
    /// statement and goes as typed.
    int number = 1;
    int total = 0;
    int line = 1;
    /// The bytes of the text read up to the statement's end.
    std::size_t bytesRead = 0;
    /// The rows the statements before it changed, as the server counted them.
    std::uint64_t affected = 0;
};

/// One result with rows, once its rows have arrived.
struct ConsoleResult {
    int statement = 0;
    /// The statement's beginning, on one line.
    std::string head;
    std::uint64_t rows = 0;
    /// From the statement's sending (or the end of its result before) to the end of its rows.
    std::int64_t elapsedMs = 0;
};

/// What a run of the console's text tells its screen as it goes; called on the run's thread, in order.
class ConsoleSink {
public:
    virtual ~ConsoleSink() = default;
    virtual void statementSent(const ConsoleReached& reached) = 0;
    /// A result with rows begins; its rows follow in pieces, then rowsEnded.
    virtual void rowsBegin(std::vector<std::string> names) = 0;
    virtual void rowsArrived(PackedRows&& rows) = 0;
    virtual void rowsEnded(const ConsoleResult& result) = 0;
};

/// How a run of the console's text ended.
struct ConsoleOutcome {
    enum class End { Done, Refused, Stopped };
    End end = End::Done;
    /// The statements the text holds (0: it held none and went as typed) and those that were sent.
    int total = 0;
    int sent = 0;
    /// The result field's text as the last statement left it.
    QString status;
    /// Whether a result of the last statement sent had rows.
    bool rowsShown = false;
    /// Rows of the last statement's results that arrived.
    std::uint64_t rows = 0;
    /// The rows the statements changed, as the server counted them.
    std::uint64_t affected = 0;
    /// For a refused statement: its first and last line, the server's number, state and text. For a
    /// stopped run: the first line of the statement the stop cut (statement number sent), 0 when the
    /// stop came between statements.
    int line = 0;
    int endLine = 0;
    unsigned errorNumber = 0;
    std::string sqlState;
    std::string errorText;
    /// Set when the results outgrew the cells the console keeps: the result that crossed the limit
    /// keeps its first keptRows rows, the rest of its allRows were read and dropped, and the
    /// statement that gave it is kept for an export of the whole result.
    bool cut = false;
    std::uint64_t keptRows = 0;
    std::uint64_t allRows = 0;
    std::string cutStatement;
};

/// Runs the console's text on the connection as the command-line client runs a script: statement by
/// statement, every result of one read before the next is sent, ending at the first refusal. Stop is
/// looked at between statements and between pieces of rows; a statement that ran while Stop was
/// asked for counts as stopped, whatever it answered (a killed SLEEP answers 1).
/// keepBytes bounds the cell bytes the run's results hand over in all; rows beyond it are read and
/// dropped, and the outcome says so.
ConsoleOutcome runConsoleText(Connection& connection, std::string_view text, const std::atomic<bool>& stop,
                              ConsoleSink& sink, std::uint64_t keepBytes = UINT64_MAX);

}  // namespace velkin
