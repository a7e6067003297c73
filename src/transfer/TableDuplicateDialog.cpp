#include "TableDuplicateDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CopyCreate.h"
#include "CopyStatements.h"
#include "CopyText.h"
#include "RowCopy.h"
#include "TextModeFile.h"
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

}  // namespace

TableDuplicateDialog::TableDuplicateDialog(Connection& session, Operator& op, const LoginValues& login,
                                           const QString& database, const QString& table, QWidget* parent)
    : QDialog(parent),
      m_session(session),
      m_op(op),
      m_login(login),
      m_database(u8(database)),
      m_table(u8(table)) {
    setWindowTitle(QStringLiteral("The duplicate of a table"));

    // Two fields carry the label "Table"; each side keeps its own in a container of its own.
    auto* source = new QWidget(this);
    source->setObjectName(QStringLiteral("Source"));
    auto* sourceGrid = new QGridLayout(source);
    sourceGrid->setContentsMargins(0, 0, 0, 0);
    labelledField(sourceGrid, 0, QStringLiteral("Database"), source, FieldMode::ReadOnly)->setText(database);
    labelledField(sourceGrid, 1, QStringLiteral("Table"), source, FieldMode::ReadOnly)->setText(table);

    auto* createLabel = new QLabel(QStringLiteral("SQL of the table created"), this);
    m_create = new QPlainTextEdit(this);
    m_create->setObjectName(QStringLiteral("SQL of the table created"));
    m_create->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* destination = new QWidget(this);
    destination->setObjectName(QStringLiteral("Destination"));
    auto* destinationGrid = new QGridLayout(destination);
    destinationGrid->setContentsMargins(0, 0, 0, 0);
    m_destination =
        labelledList(destinationGrid, 0, QStringLiteral("The database point to create"), destination);
    destinationGrid->addWidget(new QLabel(QStringLiteral("Table"), destination), 0, 2);
    m_newTable = namedLineEdit(QStringLiteral("Table"), destination);
    destinationGrid->addWidget(m_newTable, 0, 3);
    m_tableType = labelledList(destinationGrid, 1, QStringLiteral("The table type to create"), destination);

    m_dataCopy = namedCheckBox(QStringLiteral("Data copy"), this);
    auto* counters = new QGridLayout;
    m_originalCount = labelledField(counters, 0, QStringLiteral("The original number of records"), this,
                                    FieldMode::ReadOnly);
    m_copiedCount =
        labelledField(counters, 1, QStringLiteral("The copied number of records"), this, FieldMode::ReadOnly);
    m_logView = new QPlainTextEdit(this);
    m_logView->setObjectName(QStringLiteral("Log view"));
    m_logView->setReadOnly(true);
    m_logView->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_progress = new WorkProgress(this);

    m_createButton = namedButton(QStringLiteral("Create"), this);
    m_createButton->setDefault(true);
    m_cancel = namedButton(QStringLiteral("Cancel"), this);
    m_logButton = namedButton(QStringLiteral("Log"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_createButton);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_logButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(createLabel);
    layout->addWidget(m_create, 2);
    layout->addWidget(destination);
    layout->addWidget(m_dataCopy);
    layout->addLayout(counters);
    layout->addWidget(m_progress);
    layout->addWidget(m_logView, 1);
    layout->addLayout(buttons);
    resize(640, 620);

    // Opening: the new name starts as the source's, the count, the definition, the two lists. The
    // name goes into statements as the field shows it, so a name read from the server is quoted.
    m_newTable->setText(qs(quoteName(m_session, m_table)));
    const std::string sourceName = qualifiedName(m_session, m_database, m_table);
    if (Result count = m_session.select(countStatement(sourceName)))
        if (Row row = count.fetchRow())
            m_originalCount->setText(qs(row.text(0)));
    m_create->setPlainText(qs(toTextModeLineEnds(createTextFromServer(m_session, sourceName))));
    QStringList databases;
    if (Result rows = m_session.select(showDatabasesStatement()))
        while (Row row = rows.fetchRow())
            databases << qs(row.text(0));
    databases.sort(Qt::CaseInsensitive);
    m_destination->addItems(databases);
    m_destination->setCurrentIndex(-1);
    for (const char* type : {"HEAP", "INNOBASE", "ISAM", "MyISAM"})
        m_tableType->addItem(QString::fromLatin1(type));
    m_tableType->setCurrentIndex(-1);

    connect(m_destination, &QComboBox::currentIndexChanged, this, &TableDuplicateDialog::rewriteForNewName);
    connect(m_newTable, &QLineEdit::textChanged, this, &TableDuplicateDialog::rewriteForNewName);
    connect(m_tableType, &QComboBox::currentIndexChanged, this, &TableDuplicateDialog::rewriteForTableType);
    connect(m_createButton, &QPushButton::clicked, this, &TableDuplicateDialog::create);
    bindStopButton(m_work, m_cancel, [this] { reject(); }, {m_createButton, m_logButton});
    connect(m_logButton, &QPushButton::clicked, this, &TableDuplicateDialog::showLog);
}

QString TableDuplicateDialog::createText() const {
    return m_create->toPlainText();
}

void TableDuplicateDialog::rewriteForNewName() {
    const std::string text =
        createForNewName(u8(createText()), chosenDatabase(m_session, u8(m_destination->currentText())),
                         u8(m_newTable->text()));
    m_create->setPlainText(qs(text));
}

void TableDuplicateDialog::rewriteForTableType() {
    const std::string text = createForTableType(u8(createText()), m_session.dialect().tableTypeKeyword(),
                                                u8(m_tableType->currentText()));
    m_create->setPlainText(qs(text));
}

void TableDuplicateDialog::create() {
    if (m_copying)
        return;
    const std::string destination = u8(m_destination->currentText());
    if (m_destination->currentIndex() < 0 || destination.empty()) {
        m_op.inform(QStringLiteral("A database is chosen."));
        return;
    }
    const std::string newTable = u8(m_newTable->text());
    if (newTable.empty()) {
        m_op.inform(QStringLiteral("A table is inputted."));
        return;
    }
    if (!m_op.ask(QStringLiteral("May I reproduce?")))
        return;
    const CopyDestination to{destination, unquotedName(newTable),
                             chosenDatabase(m_session, destination) + "." + newTable};
    const std::optional<CopyCreate> fitted = fitCreateForCopy(m_session, m_op, u8(createText()), m_table, to);
    if (!fitted)
        return;
    // The copy's rows may name parents that its checks would look for in vain until they are copied.
    ForeignKeyChecksOff checksOff(m_session);
    m_session.query(fitted->text);
    const std::string error = m_session.errorText();
    if (!error.empty()) {
        m_op.inform(qs(error));
        return;
    }
    std::string outcome;
    if (m_dataCopy->isChecked())
        outcome = copyOutcomeText(copyRows(to, fitted->notes), kLogName);
    else if (!fitted->notes.empty())
        writeLogNotes(kLogName, fitted->notes);
    m_op.inform(outcome.empty() ? QStringLiteral("It was created normally.") : qs(outcome));
}

RowCopyOutcome TableDuplicateDialog::copyRows(const CopyDestination& to, std::vector<std::string> notes) {
    m_copying = true;
    // The rows are read on a connection of their own while the session writes; without one the
    // session reads them whole first.
    std::unique_ptr<Connection> reader = openReaderConnection(m_login);
    Connection& source = reader ? *reader : m_session;
    RowCopy copy(source, {m_database, m_table, qualifiedName(source, m_database, m_table)}, m_session,
                 {to.database, to.table, to.statementName});
    copy.setLogNotes(std::move(notes));
    copy.setServerSide(true);
    copy.setLogFile(kLogName);
    m_copiedCount->clear();
    // The count of the opening is the total while it holds; rows added since only hold the bar short
    // of full until the end.
    bool counted = false;
    const std::uint64_t opened = m_originalCount->text().toULongLong(&counted);
    m_progress->start(counted ? opened : 0, false);
    RowCopyOutcome outcome;
    // The copy runs beside the window, which keeps painting its counters and answers Stop; the
    // session's connection is the copy's until it ends.
    m_work.run({&m_session, reader.get()}, [&](WorkControl& control) {
        if (!counted)
            guessTotal(source, control);
        copy.setStopFlag(&control.stopFlag());
        showCopyProgress(copy, control, *m_progress, m_originalCount, m_copiedCount);
        outcome = copy.run();
    });
    m_progress->advance(static_cast<std::uint64_t>(std::max(outcome.rowsLanded, 0LL)));
    m_progress->finish(outcome.whole());
    m_copying = false;
    return outcome;
}

void TableDuplicateDialog::guessTotal(Connection& source, WorkControl& control) {
    // Without a count the server's own guess of the rows will do, said to be one.
    const TableStatusList status = readTableStatus(source, m_database, m_table);
    if (status.read() && !status.tables.empty() && status.tables.front().rows > 0)
        control.post([this, rows = status.tables.front().rows] { m_progress->setTotal(rows, true); });
}

void TableDuplicateDialog::showLog() {
    const std::optional<std::string> log = readTextModeFile(kLogName);
    if (!log)
        return;
    m_logView->setPlainText(qs(toTextModeLineEnds(*log)));
}

void TableDuplicateDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The copy")))
        QDialog::reject();
}

}  // namespace velkin
