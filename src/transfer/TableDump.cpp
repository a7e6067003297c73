#include "TableDump.h"

#include "TableTriggers.h"

#include "ColumnFormText.h"
#include "CopyStatements.h"
#include "CopyText.h"
#include "DumpText.h"
#include "RowCopy.h"
#include "RowStream.h"
#include "TableColumns.h"
#include "TextModeFile.h"
#include "TransferMessages.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Statements of many rows reload far faster than one per row; this size keeps each well inside
/// the packet limit of every server and client.
constexpr std::size_t kDumpStatementBytes = 1 << 20;

std::string sessionCharacterSet(Connection& connection) {
    Result result = connection.select(characterSetQuery());
    Row row = result.fetchRow();
    // Results sent unconverted are bytes as stored; "binary" reads them back the same way.
    return row && !row.isNull(0) ? row.str(0) : std::string("binary");
}

/// The server's "%d:%s" after a failed statement, or a plain word when it answered without rows.
std::string whyNothing(Connection& connection) {
    return connection.errorNumber() != 0 ? connection.errorLine() : std::string("the server gave no answer");
}

/// One dump in progress: the table, the file and what it could not carry.
class Dump {
public:
    Dump(Connection& connection, std::string_view database, std::string_view table, TextModeFile& file,
         DumpOutcome& outcome)
        : m_connection(connection),
          m_database(database),
          m_table(table),
          m_name(qualifiedName(connection, database, table)),
          m_file(file),
          m_outcome(outcome),
          m_noBackslashEscapes(connection.noBackslashEscapes()) {}

    void run(const std::function<void(long long)>& progress, const std::atomic<bool>* stop) {
        m_stop = stop;
        const std::string characterSet = sessionCharacterSet(m_connection);
        const TableColumns columns = readTableColumns(m_connection, m_database, m_table);
        const bool withHistory = columns.kind == TableKind::SystemVersioned && historyKept(columns);
        m_file.write(dumpFileHeader(characterSet, m_noBackslashEscapes, withHistory));
        if (columns.kind == TableKind::View) {
            writeDefinition(showCreateStatement(m_name), "VIEW");
        } else if (columns.kind == TableKind::Sequence) {
            writeDefinition(showCreateSequenceStatement(m_name), "SEQUENCE");
            writeSequenceState();
        } else {
            writeCreateTable();
            writeRows(columns, characterSet, withHistory, progress);
            // After a broken read or write the file is incomplete anyway and says so.
            if (m_readError.empty() && !m_stopped && !m_file.failed())
                writeTriggers();
        }
        m_file.write(dumpFileFooter(withHistory));
    }

    /// The read's "%d:%s" when it broke off; empty when every row arrived.
    const std::string& readError() const { return m_readError; }
    /// The rows ended at a stop.
    bool stopped() const { return m_stopped; }

private:
    void notCarried(const std::string& what, const std::string& why) {
        m_outcome.notCarried.push_back(notCarriedText(what, why));
    }

    /// Whether the file can hold the past versions of a system-versioned table's rows; names them as
    /// not carried when it cannot.
    bool historyKept(const TableColumns& columns) {
        std::string why;
        if (columns.periodType() != "timestamp") {
            why = "its versions are marked by transaction ids, which no session can write back";
        } else if (!versionTakesHistory(m_connection.dialect())) {
            why = "this server cannot write past row versions back";
        } else {
            Result result = m_connection.select(secureTimestampQuery());
            Row row = result.fetchRow();
            if (!row || row.text(0) != "NO")
                why = "the server's secure_timestamp keeps sessions from writing past row versions";
        }
        if (why.empty())
            return true;
        notCarried("The history of " + m_name + " (the past versions of its rows)", why);
        return false;
    }

    void writeCreateTable() {
        Result create = m_connection.select(showCreateStatement(m_name));
        if (Row row = create.fetchRow()) {
            m_file.write(qualifiedCreate(row.text(1), quoteName(m_connection, m_database),
                                         quoteName(m_connection, m_table)));
            m_file.write(";\n");
            return;
        }
        notCarried("The definition of " + m_name, whyNothing(m_connection));
    }

    /// A view's or a sequence's CREATE, named by database and name.
    void writeDefinition(const std::string& statement, std::string_view keyword) {
        Result create = m_connection.select(statement);
        if (Row row = create.fetchRow()) {
            m_file.write(createWithQualifiedName(row.text(1), keyword, m_name));
            m_file.write(";\n");
            return;
        }
        notCarried("The definition of " + m_name, whyNothing(m_connection));
    }

    void writeSequenceState() {
        Result state = m_connection.select(sequenceStateQuery(m_name));
        if (Row row = state.fetchRow()) {
            m_file.write(setSequenceStatement(m_name, row.text(0), row.text(1)));
            m_file.write(";\n");
            return;
        }
        notCarried("The next value of the sequence " + m_name, whyNothing(m_connection));
    }

    void writeRows(const TableColumns& columns, const std::string& characterSet, bool withHistory,
                   const std::function<void(long long)>& progress) {
        std::string statementText = readAllStatement(m_name);
        std::string insertColumns;
        std::vector<ValueForm> forms;
        if (columns.found()) {
            const std::vector<CarriedColumn> carried =
                carriedColumns(columns, m_connection.dialect(), characterSet, withHistory);
            if (carried.empty())
                return;
            statementText = carriedReadStatement(m_name, carriedSelectList(carried), withHistory);
            insertColumns = carriedInsertList(carried);
            forms = valueForms(carried);
        }
        RowStream rows(m_connection);
        if (!rows.open(statementText)) {
            if (m_connection.errorNumber() != 0)
                m_readError = m_connection.errorLine();
            return;
        }
        // Without the catalog the read's own names are all there is.
        if (insertColumns.empty())
            insertColumns = columnList(rows.fieldNames(), m_connection.dialect());
        const std::string head = insertHead(m_name, insertColumns);
        std::string statement;
        statement.reserve(kDumpStatementBytes + (1 << 16));
        std::string values;
        long long inStatement = 0;
        bool rowsWritten = false;
        auto flush = [&] {
            if (inStatement == 0)
                return true;
            statement += ";\n";
            // The reload goes fast only with what the prologue sets; a table without rows needs none.
            if (!rowsWritten)
                m_file.write(dumpRowsPrologue(m_name));
            rowsWritten = true;
            const bool ok = m_file.write(statement);
            if (ok)
                m_outcome.rows += inStatement;
            statement.clear();
            inStatement = 0;
            return ok;
        };
        long long read = 0;
        while (Row row = rows.next()) {
            values.clear();
            appendRowValues(values, row, forms, m_connection, m_noBackslashEscapes);
            if (inStatement > 0 && statement.size() + 1 + values.size() > kDumpStatementBytes && !flush())
                break;
            statement += inStatement == 0 ? head : std::string(",");
            statement += values;
            ++inStatement;
            if (++read % kCopyBlockRows != 0)
                continue;
            if (progress)
                progress(read);
            if (m_stop && m_stop->load()) {
                m_stopped = true;
                break;
            }
        }
        // A stop ends the read on the server too, which is not a read that broke.
        m_stopped = m_stopped || (m_stop && m_stop->load());
        if (!m_file.failed() && !m_stopped && rows.failed())
            m_readError = m_connection.errorLine();
        // Rows that arrived before a read broke off are sound and belong in the file.
        flush();
        if (read % kCopyBlockRows != 0 && progress)
            progress(read);
        rows.close();
        if (m_stopped)
            m_connection.settleStop();
        if (rowsWritten)
            m_file.write(dumpRowsEpilogue(m_name));
    }

    struct Trigger {
        std::string settings;
        std::string statement;
    };

    /// The table's triggers after its rows, each under the sql_mode and collation it was made with.
    void writeTriggers() {
        bool listed = false;
        const std::vector<TriggerCopy> found = readTableTriggers(
            m_connection, m_database, m_table, quoteName(m_connection, m_database), m_name, listed);
        if (!listed)
            notCarried("The triggers of " + m_name, m_connection.errorLine());
        std::vector<Trigger> triggers;
        std::vector<std::string> texts;
        for (const TriggerCopy& trigger : found) {
            if (trigger.statement.empty()) {
                notCarried("The trigger " + trigger.name, trigger.problem);
                continue;
            }
            triggers.push_back({trigger.settings, trigger.statement});
            texts.push_back(trigger.settings);
            texts.push_back(trigger.statement);
        }
        if (triggers.empty())
            return;
        const std::string delimiter = triggerDelimiter(texts);
        m_file.write(delimiterLine(delimiter));
        for (const Trigger& trigger : triggers) {
            m_file.write(trigger.settings + delimiter + "\n");
            m_file.write(trigger.statement + delimiter + "\n");
        }
        m_file.write(delimiterLine(";"));
    }

    Connection& m_connection;
    std::string_view m_database;
    std::string_view m_table;
    std::string m_name;
    TextModeFile& m_file;
    DumpOutcome& m_outcome;
    bool m_noBackslashEscapes;
    const std::atomic<bool>* m_stop = nullptr;
    bool m_stopped = false;
    std::string m_readError;
};

}  // namespace

DumpOutcome dumpTable(Connection& connection, std::string_view database, std::string_view table,
                      const std::string& path, const std::function<void(long long)>& progress,
                      const std::atomic<bool>* stop) {
    DumpOutcome outcome;
    TextModeFile file;
    if (!file.open(path))
        return outcome;
    outcome.opened = true;
    UtcSession zone(connection);
    Dump dump(connection, database, table, file, outcome);
    dump.run(progress, stop);
    if (!file.close())
        outcome.failure = dumpWriteFailedText(outcome.rows, file.errorText());
    else if (!dump.readError().empty())
        outcome.failure = dumpReadBrokenText(outcome.rows, dump.readError());
    else if (dump.stopped())
        outcome.failure = dumpStoppedText(outcome.rows);
    if (!outcome.notCarried.empty()) {
        if (!outcome.failure.empty())
            outcome.failure += '\n';
        outcome.failure += dumpNotCarriedText(outcome.notCarried);
    }
    return outcome;
}

}  // namespace velkin
