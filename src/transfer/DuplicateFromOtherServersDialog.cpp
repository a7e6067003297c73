#include "DuplicateFromOtherServersDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "CopyCreate.h"
#include "CopyStatements.h"
#include "CopyText.h"
#include "RowCopy.h"
#include "TextModeFile.h"
#include "TransferMessages.h"
#include "WorkButtons.h"
#include "profiles/HostFile.h"
#include "profiles/ProfileSecrets.h"
#include "profiles/SshLogin.h"
#include "profiles/SshSettingsFile.h"
#include "profiles/TlsSettingsFile.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"
#include "session/WindowQuestion.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

constexpr const char* kLogName = "rep_other_server.log";

/// A framed list of large icons, titled as its content.
QListWidget* framedIconList(const QString& title, QWidget* parent, QLayout* into) {
    auto* frame = new QGroupBox(title, parent);
    QListWidget* list = largeIconList(title, frame, 100, 60);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(list);
    into->addWidget(frame);
    return list;
}

}  // namespace

DuplicateFromOtherServersDialog::DuplicateFromOtherServersDialog(Connection& session, Operator& op,
                                                                 QWidget* parent)
    : QDialog(parent), m_session(session), m_op(op) {
    setWindowTitle(QStringLiteral("The duplicate from other servers"));

    auto* lists = new QHBoxLayout;
    m_servers = framedIconList(QStringLiteral("Server"), this, lists);
    m_databases = framedIconList(QStringLiteral("Database"), this, lists);
    m_tables = framedIconList(QStringLiteral("Table"), this, lists);

    m_fields = new QTreeWidget(this);
    m_fields->setObjectName(QStringLiteral("Fields"));
    m_fields->setRootIsDecorated(false);
    m_fields->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fields->setMouseTracking(true);
    m_fields->setHeaderLabels({QStringLiteral("Field"), QStringLiteral("Type"), QStringLiteral("NULL"),
                               QStringLiteral("Key"), QStringLiteral("Default"), QStringLiteral("Other")});
    const int widths[] = {130, 130, 50, 50, 90, 100};
    for (int i = 0; i < 6; ++i)
        m_fields->setColumnWidth(i, widths[i]);

    m_create = new QPlainTextEdit(this);
    m_create->setObjectName(QStringLiteral("CREATE TABLE"));  // a name, not a statement
    m_create->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* form = new QGridLayout;
    m_destination = labelledList(form, 0, QStringLiteral("The database of a duplicate place"), this);
    m_newTable = labelledField(form, 1, QStringLiteral("A new table name"), this);
    m_tableType = labelledList(form, 2, QStringLiteral("Table type"), this);
    m_dataCopy = namedCheckBox(QStringLiteral("A data copy is performed."), this);
    form->addWidget(m_dataCopy, 3, 0, 1, 2);
    m_sourceCount = labelledField(form, 4, QStringLiteral("The number of copied material records"), this,
                                  FieldMode::ReadOnly);
    m_copiedCount =
        labelledField(form, 5, QStringLiteral("The copied number of records"), this, FieldMode::ReadOnly);

    m_duplicateButton = namedButton(QStringLiteral("Duplicate"), this);
    m_duplicateButton->setDefault(true);
    m_cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_duplicateButton);
    buttons->addWidget(m_cancel);

    auto* left = new QVBoxLayout;
    left->addLayout(lists, 2);
    left->addWidget(m_fields, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_create, 1);
    right->addLayout(form);
    m_progress = new WorkProgress(this);
    right->addWidget(m_progress);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    resize(1000, 600);

    // Opening: the live profiles, the type list, the session's databases.
    m_profiles = HostFile().liveRecords();
    const QIcon server = largeServerPicture();
    for (const HostRecord& profile : m_profiles)
        new QListWidgetItem(server, qs(profile.displayName), m_servers);
    for (const std::string& type : serverTableTypes(m_session))
        m_tableType->addItem(qs(type));
    m_tableType->setCurrentIndex(-1);
    QStringList databases;
    if (Result rows = m_session.select(showDatabasesStatement()))
        while (Row row = rows.fetchRow())
            databases << qs(row.text(0));
    databases.sort(Qt::CaseInsensitive);
    m_destination->addItems(databases);
    m_destination->setCurrentIndex(-1);
    m_dataCopy->setChecked(true);

    connect(m_servers, &QListWidget::currentItemChanged, this,
            &DuplicateFromOtherServersDialog::chooseServer);
    connect(m_databases, &QListWidget::currentItemChanged, this,
            &DuplicateFromOtherServersDialog::chooseDatabase);
    connect(m_tables, &QListWidget::currentItemChanged, this, &DuplicateFromOtherServersDialog::chooseTable);
    connect(m_tableType, &QComboBox::currentIndexChanged, this,
            &DuplicateFromOtherServersDialog::applyTableType);
    connect(m_destination, &QComboBox::currentIndexChanged, this,
            &DuplicateFromOtherServersDialog::applyDestinationName);
    connect(m_newTable, &QLineEdit::textChanged, this,
            &DuplicateFromOtherServersDialog::applyDestinationName);
    connect(m_duplicateButton, &QPushButton::clicked, this, &DuplicateFromOtherServersDialog::duplicate);
    // The lists would use the connections the copy holds.
    bindStopButton(m_work, m_cancel, [this] { reject(); },
                   {m_duplicateButton, m_servers, m_databases, m_tables});
}

DuplicateFromOtherServersDialog::~DuplicateFromOtherServersDialog() = default;

QString DuplicateFromOtherServersDialog::createText() const {
    return m_create->toPlainText();
}

void DuplicateFromOtherServersDialog::forgetTable() {
    m_sourceTable.clear();
    m_fields->clear();
}

void DuplicateFromOtherServersDialog::chooseServer(QListWidgetItem* item) {
    if (!item || m_copying)
        return;
    WaitCursor wait(m_op);
    m_sourceDatabase.clear();
    forgetTable();
    m_databases->clear();
    m_tables->clear();
    m_create->clear();
    // One second connection at a time: the old one is closed before the next is opened.
    m_source.reset();
    const HostRecord& profile = m_profiles.at(static_cast<std::size_t>(m_servers->row(item)));
    auto connection = std::make_unique<Connection>();
    connection->setTls(TlsSettingsFile().find(profile.displayName));
    // The other server is reached through its own profile's tunnel, with its own SSH login.
    const SshOptions ssh = SshSettingsFile().find(profile.displayName);
    const auto sshSecrets = askSshSecrets(m_op, this, ssh, profile.displayName);
    if (!sshSecrets)
        return;
    connection->setSsh(ssh, *sshSecrets, windowQuestion(m_op));
    // A profile whose password is kept nowhere is asked for it, as its login would be.
    const std::optional<std::string> password = loginPassword(m_op, this, profile);
    if (!password)
        return;
    if (!connection->connect(profile.hostName, profile.userName, *password, qs(profile.port).toUInt()))
        return;
    m_source = std::move(connection);
    Result rows = m_source->select(showDatabasesStatement());
    if (!rows)
        return;
    const QIcon picture = largeDatabasePicture();
    while (Row row = rows.fetchRow())
        new QListWidgetItem(picture, qs(row.text(0)), m_databases);
}

void DuplicateFromOtherServersDialog::chooseDatabase(QListWidgetItem* item) {
    if (!item || m_copying)
        return;
    m_sourceDatabase = u8(item->text());
    forgetTable();
    m_tables->clear();
    m_create->clear();
    WaitCursor wait(m_op);
    if (m_sourceDatabase.empty() || !m_source)
        return;
    if (m_source->query(useDatabaseStatement(quoteName(*m_source, m_sourceDatabase))) != 0)
        return;
    Result rows = m_source->select(showTablesStatement());
    if (!rows)
        return;
    const QIcon picture = largeTablePicture();
    while (Row row = rows.fetchRow())
        new QListWidgetItem(picture, qs(row.text(0)), m_tables);
}

void DuplicateFromOtherServersDialog::chooseTable(QListWidgetItem* item) {
    if (!item || m_copying)
        return;
    m_sourceTable = u8(item->text());
    m_fields->clear();
    if (m_sourceTable.empty() || !m_source)
        return;
    const std::string name = qualifiedName(*m_source, m_sourceDatabase, m_sourceTable);
    const std::optional<std::vector<FieldLine>> lines =
        readFieldLines(*m_source, m_sourceDatabase, m_sourceTable);
    if (!lines)
        return;
    for (const FieldLine& field : *lines) {
        auto* line = new QTreeWidgetItem(m_fields);
        line->setText(0, qs(field.name()));
        // A NULL (a default of NULL) ends the row: the cells after it stay empty.
        for (std::size_t i = 1; i <= 5 && i < field.cells.size() && field.cells[i]; ++i)
            line->setText(static_cast<int>(i), qs(*field.cells[i]));
    }
    if (Result create = m_source->select(showCreateStatement(name)))
        if (Row row = create.fetchRow())
            m_create->setPlainText(qs(toTextModeLineEnds(row.text(1))));
    applyTableType();
    applyDestinationName();
}

void DuplicateFromOtherServersDialog::applyTableType() {
    const std::string text = u8(createText());
    const std::string type = u8(m_tableType->currentText());
    if (text.empty() || type.empty())
        return;
    m_create->setPlainText(qs(createForTableType(text, m_session.dialect().tableTypeKeyword(), type)));
}

void DuplicateFromOtherServersDialog::applyDestinationName() {
    const std::string text = u8(createText());
    const std::string database = u8(m_destination->currentText());
    if (text.empty() || m_destination->currentIndex() < 0 || database.empty())
        return;
    m_create->setPlainText(
        qs(createForNewName(text, quoteName(m_session, database), u8(m_newTable->text()))));
}

void DuplicateFromOtherServersDialog::duplicate() {
    if (m_copying)
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I reproduce?")))
        return;
    const std::string destination = u8(m_destination->currentText());
    if (m_destination->currentIndex() < 0 || destination.empty()) {
        m_op.inform(QStringLiteral("The database of a copy place is chosen."));
        return;
    }
    const std::string newTable = u8(m_newTable->text());
    if (newTable.empty()) {
        m_op.inform(QStringLiteral("A new table is inputted."));
        return;
    }
    const bool copying = m_dataCopy->isChecked() && m_source && !m_sourceTable.empty();
    const CopyDestination to{destination, unquotedName(newTable),
                             quoteName(m_session, destination) + "." + newTable};
    const std::optional<CopyCreate> fitted =
        fitCreateForCopy(m_session, m_op, u8(createText()), copying ? m_sourceTable : std::string(), to);
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
    // A statement written by hand with no source chosen creates the table and has no rows to copy.
    std::string outcome;
    if (copying) {
        m_copying = true;
        RowCopy copy(
            *m_source,
            {m_sourceDatabase, m_sourceTable, qualifiedName(*m_source, m_sourceDatabase, m_sourceTable)},
            m_session, {to.database, to.table, to.statementName});
        copy.setBulkLoad(true);
        copy.setLogFile(kLogName);
        copy.setLogNotes(fitted->notes);
        m_copiedCount->clear();
        // The copy counts its source before the first row; until then the bar only moves.
        m_progress->start();
        RowCopyOutcome copied;
        // The copy runs beside the window, which keeps painting its counters and answers Stop.
        m_work.run({m_source.get(), &m_session}, [&](WorkControl& control) {
            copy.setStopFlag(&control.stopFlag());
            showCopyProgress(copy, control, *m_progress, m_sourceCount, m_copiedCount);
            copied = copy.run();
        });
        m_progress->advance(static_cast<std::uint64_t>(std::max(copied.rowsLanded, 0LL)));
        m_progress->finish(copied.whole());
        outcome = copyOutcomeText(copied, kLogName);
        m_copying = false;
    } else if (!fitted->notes.empty()) {
        writeLogNotes(kLogName, fitted->notes);
    }
    m_op.inform(outcome.empty() ? QStringLiteral("It was created normally.") : qs(outcome));
}

void DuplicateFromOtherServersDialog::done(int result) {
    if (keepOpenForWork(m_work, m_op, QStringLiteral("The copy")))
        return;
    m_source.reset();
    QDialog::done(result);
}

}  // namespace velkin
