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

/// What a run of the console's text tells its screen as it goes; called on the run's thread, in order.
class ConsoleSink {
public:
    virtual ~ConsoleSink() = default;
    /// Statement number of total (from 1), starting on line, is about to be sent; bytesRead of the text
    /// have been read up to its end. total is 0 when the text holds no statement and goes as typed.
    virtual void statementSent(int number, int total, int line, std::size_t bytesRead) = 0;
    /// A result with rows begins; its rows follow in pieces.
    virtual void rowsBegin(std::vector<std::string> names) = 0;
    virtual void rowsArrived(PackedRows&& rows) = 0;
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
    /// For a refused statement: its first and last line, the server's number, state and text. For a
    /// stopped run: the first line of the statement the stop cut (statement number sent), 0 when the
    /// stop came between statements.
    int line = 0;
    int endLine = 0;
    unsigned errorNumber = 0;
    std::string sqlState;
    std::string errorText;
};

/// Runs the console's text on the connection as the command-line client runs a script: statement by
/// statement, every result of one read before the next is sent, ending at the first refusal. Stop is
/// looked at between statements and between pieces of rows; a statement that ran while Stop was
/// asked for counts as stopped, whatever it answered (a killed SLEEP answers 1).
ConsoleOutcome runConsoleText(Connection& connection, std::string_view text, const std::atomic<bool>& stop,
                              ConsoleSink& sink);

}  // namespace velkin
