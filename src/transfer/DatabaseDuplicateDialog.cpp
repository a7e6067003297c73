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
#include "RowCopy.h"
#include "TransferMessages.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {

constexpr const char* kLogName = "rep_table.log";
/// ER_TABLE_EXISTS_ERROR: an existing table of an existing database is filled further.
constexpr unsigned kTableExists = 1050;

}  // namespace

DatabaseDuplicateDialog::DatabaseDuplicateDialog(Connection& session, Operator& op, const LoginValues& login,
                                                 const QString& database, QWidget* parent)
    : QDialog(parent), m_session(session), m_op(op), m_login(login), m_database(u8(database)) {
    setWindowTitle(QString());
    auto* grid = new QGridLayout;
    labelledField(grid, 0, QStringLiteral("Database"), this, FieldMode::ReadOnly)->setText(database);
    m_newDatabase = labelledField(grid, 1, QStringLiteral("New Database"), this);

    QPushButton* createButton = namedButton(QStringLiteral("Create"), this);
    createButton->setDefault(true);
    QPushButton* cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(createButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(360, 120);

    connect(createButton, &QPushButton::clicked, this, &DatabaseDuplicateDialog::create);
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (!m_copying)
            reject();
    });
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
    {
        WaitCursor wait(m_op);
        copied = copyDatabase(typed, problems);
    }
    m_copying = false;
    if (!copied) {
        m_op.inform(qs(problems));
        return;
    }
    m_op.inform(problems.empty() ? QStringLiteral("It was created normally.")
                                 : qs(databaseCopyIncompleteText(problems)));
    accept();
}

bool DatabaseDuplicateDialog::copyDatabase(const std::string& typed, std::string& problems) {
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
    std::unique_ptr<Connection> reader = openReaderConnection(m_login);
    Connection& source = reader ? *reader : m_session;
    bool firstLog = true;
    for (const std::string& table : tables) {
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
        copy.setLogFile(kLogName);
        copy.setLogAppends(!firstLog);
        firstLog = false;
        const std::string outcome = copyOutcomeText(copy.run(), kLogName);
        if (!outcome.empty())
            problems += table + ": " + outcome + "\n";
    }
    problems += copyViews(actual);
    problems += copyTriggers(actual);
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
    if (m_session.query(createSequenceForNewName(createText, copyName)) != 0 &&
        m_session.errorNumber() != kTableExists)
        return objectNotCreatedText(sequence, "sequence", m_session.errorLine()) + "\n";
    // The copy goes on from where the source has come, as a reloaded dump does.
    std::string next;
    if (Result result = m_session.select(sequenceNextValueQuery(sourceName)))
        if (Row row = result.fetchRow())
            next = row.str(0);
    if (next.empty() || !m_session.select(setSequenceStatement(copyName, next)))
        return objectNotCreatedText(sequence, "sequence's value", m_session.errorLine()) + "\n";
    return {};
}

std::string DatabaseDuplicateDialog::copyTriggers(const std::string& actual) {
    std::vector<std::string> names;
    if (Result rows = m_session.select(databaseTriggersQuery(m_session, m_database)))
        while (Row row = rows.fetchRow())
            names.push_back(row.str(0));
    if (names.empty())
        return {};
    // A trigger's statement names its table bare, and is read in the mode it was written in: both
    // are borrowed from the session and given back.
    std::optional<std::string> previousDatabase;
    std::string previousMode;
    if (Result result = m_session.select(sessionDatabaseAndModeQuery()))
        if (Row row = result.fetchRow()) {
            if (!row.isNull(0))
                previousDatabase = row.str(0);
            previousMode = row.str(1);
        }
    std::string problems;
    if (!m_session.selectDb(actual))
        return objectNotCreatedText(names.front(), "trigger", m_session.errorLine()) + "\n";
    for (const std::string& name : names) {
        Result result =
            m_session.select(showCreateTriggerStatement(qualifiedName(m_session, m_database, name)));
        Row row = result.fetchRow();
        if (!row) {
            problems += objectNotCreatedText(name, "trigger", m_session.errorLine()) + "\n";
            continue;
        }
        const std::string statement = row.str(2);
        m_session.query(setSqlModeStatement(m_session, row.text(1)));
        if (m_session.query(statement) != 0)
            problems += objectNotCreatedText(name, "trigger", m_session.errorLine()) + "\n";
    }
    m_session.query(setSqlModeStatement(m_session, previousMode));
    if (previousDatabase)
        m_session.selectDb(*previousDatabase);
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
