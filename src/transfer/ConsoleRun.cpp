#include "ConsoleRun.h"

#include <chrono>
#include <optional>

#include "ErrorTextConversion.h"
#include "RowStream.h"
#include "SqlScript.h"
#include "session/Connection.h"

namespace velkin {

namespace {

using Clock = std::chrono::steady_clock;
/// Rows reach the list at least this often while they stream, and in pieces of about a block.
constexpr auto kHandOver = std::chrono::milliseconds(50);

QString converted(const std::string& text) {
    return displayErrorText(convertErrorText(text));
}

/// The result field's text for a result without rows: the server's account of what the statement
/// did ("Rows matched: 1 Changed: 1 Warnings: 0") is the one thing worth showing.
QString rowlessStatus(const Connection& connection) {
    const std::string info = connection.info();
    if (!info.empty())
        return converted(info);
    const std::string error = connection.errorText();
    if (!error.empty())
        return converted(error);
    return QStringLiteral("It was processed correctly.");
}

/// A statement's beginning for a list of results: blanks run together, at most about 80 bytes, never
/// a character cut in two.
std::string statementHead(std::string_view sql) {
    constexpr std::size_t kLimit = 80;
    std::string head;
    bool blank = false;
    for (const char c : sql) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !head.empty();
            continue;
        }
        if (head.size() >= kLimit && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            head += "...";
            return head;
        }
        if (blank)
            head += ' ';
        blank = false;
        head += c;
    }
    return head;
}

class StatementRun {
public:
    StatementRun(Connection& connection, const std::atomic<bool>& stop, ConsoleSink& sink,
                 ConsoleOutcome& out, std::uint64_t keepBytes)
        : m_connection(connection), m_stop(stop), m_sink(sink), m_out(out), m_keepBytes(keepBytes) {}

    /// Sends statement number and reads every result it gives; false when the server refused it.
    bool run(const std::string& sql, int number) {
        m_out.rowsShown = false;
        m_out.rows = 0;
        m_number = number;
        m_sql = &sql;
        m_resultStart = Clock::now();
        RowStream stream(m_connection);
        if (stream.query(sql) != 0) {
            m_out.status = converted(m_connection.errorText());
            return false;
        }
        for (;;) {
            m_out.status = QString::fromStdString(m_connection.errorText());
            if (stream.begin()) {
                readRows(stream);
            } else {
                m_out.status = rowlessStatus(m_connection);
                const std::uint64_t changed = m_connection.affectedRows();
                if (changed != static_cast<std::uint64_t>(-1))
                    m_out.affected += changed;
            }
            stream.close();
            if (!m_connection.moreResults())
                return true;
            const int next = m_connection.nextResult();
            if (next > 0) {
                m_out.status = converted(m_connection.errorText());
                return false;
            }
            if (next < 0)
                return true;
        }
    }

private:
    void readRows(RowStream& stream) {
        m_out.status = QStringLiteral("It was processed correctly.");
        m_out.rowsShown = true;
        std::vector<std::string> names = stream.fieldNames();
        const auto width = static_cast<unsigned>(names.size());
        m_sink.rowsBegin(std::move(names));
        PackedRows piece(width, true);
        Clock::time_point handed = Clock::now();
        const std::uint64_t before = m_out.rows;
        // The rows go straight from the connection into packed pieces that the list adopts whole: the
        // list is the client's only copy of the answer, so a large answer costs its bytes once.
        // Once a result has crossed the limit, the results after it keep nothing either.
        const bool alreadyCut = m_out.cut;
        bool dropping = alreadyCut;
        while (Row row = stream.next()) {
            ++m_out.rows;
            if (dropping) {
                // Past the limit the rows are read and counted, never kept; Stop still ends it.
                if (m_out.rows % 4096 == 0 && m_stop.load())
                    break;
                continue;
            }
            piece.add(row);
            if (m_held + piece.cellBytes() >= m_keepBytes) {
                handOver(piece, width);
                dropping = true;
                m_out.cut = true;
                m_out.keptRows = m_out.rows - before;
                m_out.cutStatement = *m_sql;
                continue;
            }
            if (piece.cellBytes() < PackedRows::kBlockBytes &&
                (m_out.rows % 256 != 0 || Clock::now() - handed < kHandOver))
                continue;
            handOver(piece, width);
            handed = Clock::now();
            if (m_stop.load())
                break;
        }
        handOver(piece, width);
        if (dropping && !alreadyCut)
            m_out.allRows = m_out.rows - before;
        if (stream.failed())
            m_out.status = converted(m_connection.errorText());
        const Clock::time_point now = Clock::now();
        ConsoleResult result;
        result.statement = m_number;
        result.head = statementHead(*m_sql);
        result.rows = m_out.rows - before;
        result.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_resultStart).count();
        m_resultStart = now;
        m_sink.rowsEnded(result);
    }

    void handOver(PackedRows& piece, unsigned width) {
        if (piece.empty())
            return;
        piece.trim();
        m_held += piece.cellBytes();
        m_sink.rowsArrived(std::move(piece));
        piece.reset(width);
    }

    Connection& m_connection;
    const std::atomic<bool>& m_stop;
    ConsoleSink& m_sink;
    ConsoleOutcome& m_out;
    const std::uint64_t m_keepBytes;
    /// The cell bytes handed over so far in the run.
    std::uint64_t m_held = 0;
    int m_number = 0;
    const std::string* m_sql = nullptr;
    Clock::time_point m_resultStart;
};

void noteRefusal(const Connection& connection, const ScriptStatement& statement, ConsoleOutcome& out) {
    out.end = ConsoleOutcome::End::Refused;
    out.line = statement.line;
    out.endLine = statement.endLine;
    out.errorNumber = connection.errorNumber();
    out.sqlState = connection.sqlState();
    out.errorText = connection.errorText();
}

}  // namespace

ConsoleOutcome runConsoleText(Connection& connection, std::string_view text, const std::atomic<bool>& stop,
                              ConsoleSink& sink, std::uint64_t keepBytes) {
    ConsoleOutcome out;
    out.total = countSqlStatements(text, !connection.noBackslashEscapes());
    StatementRun statement(connection, stop, sink, out, keepBytes);
    // Text without a statement (blanks, comments) goes as typed: the server's answer tells what is wrong.
    if (out.total == 0) {
        sink.statementSent(ConsoleReached{1, 0, 1, text.size(), 0});
        out.sent = 1;
        if (!statement.run(std::string(text), 1))
            noteRefusal(connection, ScriptStatement{std::string(text), 1, 1}, out);
        if (stop.load())
            out.end = ConsoleOutcome::End::Stopped;
        return out;
    }
    SqlScriptReader reader(text);
    // A statement may switch NO_BACKSLASH_ESCAPES on or off; the next one is read by the rule it left.
    while (std::optional<ScriptStatement> next = reader.next(!connection.noBackslashEscapes())) {
        if (stop.load()) {
            out.end = ConsoleOutcome::End::Stopped;
            return out;
        }
        ++out.sent;
        sink.statementSent(ConsoleReached{out.sent, std::max(out.total, out.sent), next->line,
                                          reader.position(), out.affected});
        const bool ran = statement.run(next->text, out.sent);
        if (stop.load()) {
            out.end = ConsoleOutcome::End::Stopped;
            out.line = next->line;
            return out;
        }
        if (!ran) {
            noteRefusal(connection, *next, out);
            return out;
        }
    }
    return out;
}

}  // namespace velkin
