#include "DatabaseDuplicateDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <vector>

#include "CopyStatements.h"
#include "CopyText.h"
#include "DatabaseCopyText.h"
#include "DumpText.h"
#include "RowCopy.h"
#include "TableTriggers.h"
#include "TransferMessages.h"
#include "WorkButtons.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"
#include "widgets/Kit.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

constexpr const char* kLogName = "rep_table.log";
/// ER_TABLE_EXISTS_ERROR: an existing table of an existing database is filled further.
constexpr unsigned kTableExists = 1050;

std::uint64_t guessedRows(const TableStatusList& status, const std::string& table) {
    for (const TableStatus& row : status.tables)
        if (row.name == table)
            return row.rows;
    return 0;
}

}  // namespace

DatabaseDuplicateDialog::DatabaseDuplicateDialog(Connection& session, Operator& op, const LoginValues& login,
                                                 const QString& database, QWidget* parent)
    : QDialog(parent), m_session(session), m_op(op), m_login(login), m_database(u8(database)) {
    setWindowTitle(QString());
    auto* grid = new QGridLayout;
    labelledField(grid, 0, QStringLiteral("Database"), this, FieldMode::ReadOnly)->setText(database);
    m_newDatabase = labelledField(grid, 1, QStringLiteral("New Database"), this);

    m_createButton = namedButton(QStringLiteral("Create"), this);
    m_createButton->setDefault(true);
    m_cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_createButton);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    m_progress = new WorkProgress(this);
    layout->addLayout(grid);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(420, 160);

    connect(m_createButton, &QPushButton::clicked, this, &DatabaseDuplicateDialog::create);
    bindStopButton(m_work, m_cancel, [this] { reject(); }, {m_createButton, m_newDatabase});
}

void DatabaseDuplicateDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The copy")))
        QDialog::reject();
}

QString DatabaseDuplicateDialog::newDatabase() const {
    return qs(m_copiedName);
}

void DatabaseDuplicateDialog::create() {
    if (m_copying)
        return;
    const std::string typed = u8(m_newDatabase->text());
    if (typed.empty()) {
        m_op.inform(QStringLiteral("A new database is inputted."));
        return;
    }
    if (!m_op.ask(QStringLiteral("May I reproduce?")))
        return;
    m_copying = true;
    std::string problems;
    bool copied = false;
    // The rows are read on a connection of their own while the session writes; the copy runs beside
    // the window, which answers Stop.
    std::unique_ptr<Connection> reader = openReaderConnection(m_login);
    m_work.run({&m_session, reader.get()},
               [&](WorkControl& control) { copied = copyDatabase(typed, problems, reader.get(), control); });
    m_copying = false;
    if (!copied) {
        m_op.inform(qs(problems));
        return;
    }
    m_op.inform(problems.empty() ? QStringLiteral("It was created normally.")
                                 : qs(databaseCopyIncompleteText(problems)));
    accept();
}

bool DatabaseDuplicateDialog::copyDatabase(const std::string& typed, std::string& problems,
                                           Connection* reader, WorkControl& control) {
    const std::atomic<bool>& stop = control.stopFlag();
    // An existing database is filled further, so its refusal does not stop the copy; whether the
    // name is a database afterwards, and which, the server says in its own spelling.
    m_session.query(createTypedDatabaseStatement(typed));
    const std::string createError = m_session.errorNumber() != 0 ? m_session.errorLine() : std::string();
    std::string actual;
    {
        Result result = m_session.select(showCreateDatabaseStatement(typed));
        if (Row row = result.fetchRow())
            actual = row.str(0);
    }
    if (actual.empty()) {
        problems = databaseNotCreatedText(typed, createError.empty() ? m_session.errorLine() : createError);
        return false;
    }
    if (actual == m_database) {
        problems = sameDatabaseText(actual);
        return false;
    }
    m_copiedName = actual;
    const std::string target = quoteName(m_session, actual);

    std::vector<std::string> tables;
    std::vector<std::string> sequences;
    if (Result rows = m_session.select(fullTablesStatement(quoteName(m_session, m_database))))
        while (Row row = rows.fetchRow()) {
            if (row.text(1) == "BASE TABLE")
                tables.push_back(row.str(0));
            else if (row.text(1) == "SEQUENCE")
                sequences.push_back(row.str(0));
        }
    // A table's default may draw from a sequence, so sequences come first.
    for (const std::string& sequence : sequences)
        problems += copySequence(sequence, target);

    // Tables are created in name order, so a child may come before the table its key refers to.
    ForeignKeyChecksOff checksOff(m_session);
    Connection& source = reader ? *reader : m_session;
    bool firstLog = true;
    std::vector<std::string> notDone;
    // The server's guesses of the tables' rows, read once for all of them on the reading side, are
    // the bar's totals.
    const TableStatusList status = readTableStatus(source, m_database);
    int number = 0;
    for (const std::string& table : tables) {
        ++number;
        if (stop) {
            notDone.push_back(table);
            continue;
        }
        const std::uint64_t guess = guessedRows(status, table);
        control.post([this, number, count = tables.size(), table, guess] {
            m_progress->start(guess, true);
            m_progress->setStage(qs(tableStageText(number, static_cast<int>(count), table)));
        });
        const std::string sourceName = qualifiedName(m_session, m_database, table);
        const std::string createText = createTextFromServer(m_session, sourceName);
        const std::string copyName = target + "." + quoteName(m_session, table);
        if (m_session.query(createForNewName(createText, target, quoteName(m_session, table))) != 0 &&
            m_session.errorNumber() != kTableExists) {
            problems += objectNotCreatedText(table, "table", m_session.errorLine()) + "\n";
            continue;
        }
        RowCopy copy(source, {m_database, table, qualifiedName(source, m_database, table)}, m_session,
                     {actual, table, copyName});
        copy.setServerSide(true);
        copy.setStopFlag(&stop);
        copy.setLogFile(kLogName);
        copy.setLogAppends(!firstLog);
        firstLog = false;
        showCopyProgress(copy, control, *m_progress, nullptr, nullptr);
        const RowCopyOutcome copied = copy.run();
        control.post([this, copied] {
            m_progress->advance(static_cast<std::uint64_t>(std::max(copied.rowsLanded, 0LL)));
            m_progress->finish(copied.whole());
        });
        const std::string outcome = copyOutcomeText(copied, kLogName);
        if (!outcome.empty())
            problems += table + ": " + outcome + "\n";
    }
    if (stop) {
        // What was not begun is named; views and triggers would refer to tables that are not there.
        problems += databaseCopyStoppedText(notDone) + "\n";
    } else {
        problems += copyViews(actual);
        problems += copyTriggers(tables, target);
    }
    if (!problems.empty() && problems.back() == '\n')
        problems.pop_back();
    return true;
}

std::string DatabaseDuplicateDialog::copySequence(const std::string& sequence, const std::string& target) {
    const std::string sourceName = qualifiedName(m_session, m_database, sequence);
    const std::string copyName = target + "." + quoteName(m_session, sequence);
    std::string createText;
    if (Result result = m_session.select(showCreateSequenceStatement(sourceName)))
        if (Row row = result.fetchRow())
            createText = row.str(1);
    if (m_session.query(createWithQualifiedName(createText, "SEQUENCE", copyName)) != 0 &&
        m_session.errorNumber() != kTableExists)
        return objectNotCreatedText(sequence, "sequence", m_session.errorLine()) + "\n";
    // The copy goes on from where the source has come, as a reloaded dump does.
    std::string next, round;
    if (Result result = m_session.select(sequenceStateQuery(sourceName)))
        if (Row row = result.fetchRow()) {
            next = row.str(0);
            round = row.str(1);
        }
    if (next.empty() || m_session.query(setSequenceStatement(copyName, next, round)) != 0)
        return objectNotCreatedText(sequence, "sequence's value", m_session.errorLine()) + "\n";
    return {};
}

std::string DatabaseDuplicateDialog::copyTriggers(const std::vector<std::string>& tables,
                                                  const std::string& target) {
    // Each trigger is made under the mode and collation it was written in, which the session lends and
    // gets back.
    std::string previousMode, previousCollation;
    if (Result result = m_session.select(sessionModeQuery()))
        if (Row row = result.fetchRow()) {
            previousMode = row.str(0);
            previousCollation = row.str(1);
        }
    std::string problems;
    bool changed = false;
    for (const std::string& table : tables) {
        bool listed = false;
        const std::vector<TriggerCopy> triggers = readTableTriggers(
            m_session, m_database, table, target, target + "." + quoteName(m_session, table), listed);
        if (!listed)
            problems += triggersNotReadText(table, m_session.errorLine()) + "\n";
        for (const TriggerCopy& trigger : triggers) {
            if (trigger.statement.empty()) {
                problems += objectNotCreatedText(trigger.name, "trigger", trigger.problem) + "\n";
                continue;
            }
            changed = true;
            m_session.query(trigger.settings);
            if (m_session.query(trigger.statement) != 0)
                problems += objectNotCreatedText(trigger.name, "trigger", m_session.errorLine()) + "\n";
        }
    }
    if (changed && !previousCollation.empty())
        m_session.query(triggerSettingsStatement(m_session, previousMode, previousCollation));
    return problems;
}

std::string DatabaseDuplicateDialog::copyViews(const std::string& actual) {
    struct View {
        std::string name, security, definition, checkOption;
    };
    std::vector<View> views;
    if (Result rows = m_session.select(viewsQuery(m_session, m_database)))
        while (Row row = rows.fetchRow())
            views.push_back({row.str(0), row.str(1), row.str(2), row.str(3)});
    // A view on another view needs that one first; each round creates what it can.
    std::vector<std::string> errors(views.size());
    std::vector<bool> done(views.size(), false);
    for (bool progress = true; progress;) {
        progress = false;
        for (std::size_t i = 0; i < views.size(); ++i) {
            if (done[i])
                continue;
            const View& v = views[i];
            const std::string statement = copiedViewStatement(
                quoteName(m_session, actual) + "." + quoteName(m_session, v.name), v.security, v.definition,
                v.checkOption, m_database, quoteName(m_session, actual));
            if (m_session.query(statement) == 0 || m_session.errorNumber() == kTableExists) {
                done[i] = progress = true;
                continue;
            }
            errors[i] = m_session.errorLine();
        }
    }
    std::string problems;
    for (std::size_t i = 0; i < views.size(); ++i)
        if (!done[i])
            problems += objectNotCreatedText(views[i].name, "view", errors[i]) + "\n";
    return problems;
}

}  // namespace velkin
