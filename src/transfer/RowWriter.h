#pragma once

// How a copy writes rows into its destination: the plan read from the server's catalog and the
// writer that sends INSERT statements and settles the ones refused. Used by the row copy alone.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ColumnFormText.h"
#include "CopyStatements.h"
#include "CopyText.h"
#include "RowCopy.h"
#include "session/Connection.h"

namespace velkin {

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
    /// Rows in the destination before the copy, to tell how many of a refused statement stayed, and
    /// how many landed when the destination went away during the copy.
    long long rowsBefore = 0;
    bool rowsBeforeKnown = false;
    /// The session's mode, when the copy changed it (strict for every table, a key of 0 kept).
    std::optional<std::string> sqlMode;
};

/// The rows a table holds; ok tells whether the server answered.
long long countOf(Connection& connection, const std::string& table, bool& ok);

/// How the destination takes its rows, from the server's catalog and the session's settings; makes
/// the session strict for every table when a table without transactions needs it.
InsertPlan planInserts(Connection& destination, const CopyTable& to);

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

/// Collects rows into INSERT statements and sends them. A refused statement is settled row by row:
/// each row that the destination does not hold yet goes again alone, so that a refused row is
/// logged with its own statement and the rows after it still land.
class RowWriter {
public:
    RowWriter(Connection& destination, std::string head, const CopyTable& to, InsertPlan plan,
              std::function<void(std::string_view)> log)
        : m_destination(destination),
          m_head(std::move(head)),
          m_table(to.statementName),
          m_plan(std::move(plan)),
          m_log(std::move(log)) {
        m_statement.reserve(1 << 16);
    }

    /// The form of each column's values; quoted throughout without.
    void setForms(std::vector<ValueForm> forms) { m_forms = std::move(forms); }

    void add(const Row& row) {
        m_piece.clear();
        appendRowValues(m_piece, row, m_forms, m_destination);
        addPiece();
    }

    void addValues(const ValueRow& row) {
        m_piece.clear();
        appendRowValues(m_piece, row, m_forms, m_destination);
        addPiece();
    }

    /// The row in m_piece.
    void addPiece() {
        ++m_rowsSent;
        if (m_lost)
            return;
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
            if (m_destination.connectionLost()) {
                markLost(static_cast<long long>(left));
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
        appendRowValues(m_piece, row, m_forms, m_destination);
        ++m_rowsSent;
        if (!m_lost)
            sendAlone(m_piece);
    }

    /// Rows that the server copied itself.
    void addLanded(long long rows) {
        m_rowsSent += rows;
        m_landed += rows;
    }

    /// How many leading rows of a block that the server refused to copy the destination kept: none
    /// in a transactional table, those before the refused one otherwise (copied in key order).
    long long keptOfRefusedBlock() { return rowsKeptOfRefusal().value_or(0); }

    bool keepsNothingOfRefusals() const { return m_plan.refusal == Refusal::Nothing; }

    /// The destination went away: nothing more is sent, and `inFlight` rows were on their way when it
    /// did, so whether they landed is unknown (negative: an unknown number).
    void markLost(long long inFlight) {
        if (m_lost)
            return;
        m_lost = true;
        m_lostError = m_destination.errorLine();
        m_uncertain = inFlight;
    }
    bool lost() const { return m_lost; }
    const std::string& lostError() const { return m_lostError; }
    long long rowsUncertain() const { return m_uncertain; }
    long long rowsBefore() const { return m_plan.rowsBefore; }
    bool rowsBeforeKnown() const { return m_plan.rowsBeforeKnown; }
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
        const std::optional<long long> stayed = rowsKeptOfRefusal();
        if (!stayed || *stayed >= static_cast<long long>(rows))
            return std::nullopt;
        return static_cast<std::size_t>(*stayed);
    }

    /// Rows the destination holds beyond those of this copy known to have landed: what a refused
    /// statement kept. None when the count fails or says something impossible (another writer).
    std::optional<long long> rowsKeptOfRefusal() {
        if (m_plan.refusal == Refusal::Nothing)
            return 0;
        bool counted = false;
        const long long kept = countOf(m_destination, m_table, counted) - m_plan.rowsBefore - m_landed;
        if (!counted || kept < 0)
            return std::nullopt;
        return kept;
    }

    void sendAlone(std::string_view values) {
        if (m_lost)
            return;
        m_single.assign(m_head);
        m_single.append(values);
        if (m_destination.query(m_single) == 0) {
            ++m_landed;
            return;
        }
        if (m_destination.connectionLost()) {
            markLost(1);
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
    std::vector<ValueForm> m_forms;
    std::string m_statement;
    std::vector<std::size_t> m_starts;
    std::string m_piece;
    std::string m_single;
    std::string m_retry;
    long long m_rowsSent = 0;
    long long m_rowsFailed = 0;
    /// Rows of this copy that the destination holds.
    long long m_landed = 0;
    bool m_lost = false;
    std::string m_lostError;
    long long m_uncertain = 0;
};

}  // namespace velkin
