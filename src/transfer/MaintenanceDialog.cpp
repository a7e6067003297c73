#include "MaintenanceDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <ctime>

#include "MaintenanceText.h"
#include "RowStream.h"
#include "TableDump.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

QPushButton* button(const QString& label, QWidget* parent) {
    auto* b = new QPushButton(label, parent);
    b->setObjectName(label);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* option(const QString& label, QWidget* parent) {
    auto* box = new QCheckBox(label, parent);
    box->setObjectName(label);
    return box;
}

QLineEdit* field(const QString& name, QWidget* parent, bool readOnly = true) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    return edit;
}

/// A labelled field on a row of a grid.
QLineEdit* labelledField(QGridLayout* grid, int row, const QString& name, QWidget* parent,
                         bool readOnly = true) {
    grid->addWidget(new QLabel(name, parent), row, 0);
    QLineEdit* edit = field(name, parent, readOnly);
    // Paths and server answers need room to be read, however wide the neighbouring area is.
    edit->setMinimumWidth(180);
    grid->addWidget(edit, row, 1);
    return edit;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(title);
    return box;
}

/// The grid of an area, whose fields take the room the buttons leave.
QGridLayout* areaGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    return grid;
}

/// What the table-status statement gave.
struct Status {
    enum State { Failed, NoResult, NoRow, Found } state = Failed;
    std::string type;
    std::string checkTime;
};

Status readStatus(Connection& session, const std::string& sql) {
    Status status;
    if (session.query(sql) != 0)
        return status;
    Result result = session.storeResult();
    if (!result) {
        status.state = Status::NoResult;
        return status;
    }
    // Servers from 4.1 on put a version column before the check time; its name finds it on all.
    unsigned checkColumn = 12;
    const std::vector<std::string> names = result.fieldNames();
    for (unsigned i = 0; i < names.size(); ++i)
        if (names[i] == "Check_time")
            checkColumn = i;
    Row row = result.fetchRow();
    if (!row) {
        status.state = Status::NoRow;
        return status;
    }
    status.state = Status::Found;
    status.type = row.str(1);
    status.checkTime = row.str(checkColumn);
    return status;
}

}  // namespace

MaintenanceDialog::MaintenanceDialog(Connection& session, Operator& op, const QString& database,
                                     const QString& table, const QString& workingDirectory,
                                     const QString& loginName, const QString& hostName, QWidget* parent)
    : QDialog(parent),
      m_session(session),
      m_op(op),
      m_database(u8(database)),
      m_table(u8(table)),
      m_tableName(qualifiedName(session, m_database, m_table)),
      m_workingDirectory(workingDirectory),
      m_loginName(loginName),
      m_hostName(hostName) {
    setWindowTitle(QStringLiteral("Maintenance and Restoration"));
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildRepair());
    left->addWidget(buildAnalysis());
    left->addWidget(buildCheck());
    auto* right = new QVBoxLayout;
    right->addWidget(buildBackup());
    right->addWidget(buildRestore());
    right->addWidget(buildDump());
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHead());
    layout->addLayout(columns);
    resize(900, 520);
    readStatusAtStart();
}

QWidget* MaintenanceDialog::buildHead() {
    auto* head = new QWidget(this);
    auto* grid = new QGridLayout(head);
    grid->setContentsMargins(0, 0, 0, 0);
    labelledField(grid, 0, QStringLiteral("Database"), head)->setText(qs(m_database));
    labelledField(grid, 1, QStringLiteral("Table"), head)->setText(qs(m_table));
    m_type = labelledField(grid, 2, QStringLiteral("Table type"), head);
    auto* conversions = new QHBoxLayout;
    for (const char* type : {"MyISAM", "ISAM", "HEAP", "INNOBASE"}) {
        QPushButton* b = button(QString::fromLatin1(type), head);
        conversions->addWidget(b);
        const QString target = QString::fromLatin1(type);
        connect(b, &QPushButton::clicked, this, [this, target] { convert(target); });
    }
    conversions->addStretch(1);
    QPushButton* close = button(QStringLiteral("Close"), head);
    conversions->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    grid->addLayout(conversions, 3, 0, 1, 2);
    return head;
}

QWidget* MaintenanceDialog::buildRepair() {
    QGroupBox* box = group(QStringLiteral("Table repair"), this);
    QGridLayout* grid = areaGrid(box);
    m_repairQuick = option(QStringLiteral("QUICK"), box);
    m_repairExtended = option(QStringLiteral("EXTENDED"), box);
    QPushButton* run = button(QStringLiteral("Repair"), box);
    grid->addWidget(m_repairQuick, 0, 0);
    grid->addWidget(m_repairExtended, 0, 1);
    grid->addWidget(run, 0, 2);
    m_repairResult = labelledField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::repair);
    return box;
}

QWidget* MaintenanceDialog::buildAnalysis() {
    QGroupBox* box = group(QStringLiteral("Analysis and optimization"), this);
    QGridLayout* grid = areaGrid(box);
    m_analysisResult = labelledField(grid, 0, QStringLiteral("Result"), box);
    auto* buttons = new QHBoxLayout;
    QPushButton* analyse = button(QStringLiteral("Analyze"), box);
    QPushButton* optimise = button(QStringLiteral("Optimize"), box);
    buttons->addStretch(1);
    buttons->addWidget(analyse);
    buttons->addWidget(optimise);
    grid->addLayout(buttons, 1, 0, 1, 2);
    connect(analyse, &QPushButton::clicked, this, &MaintenanceDialog::analyze);
    connect(optimise, &QPushButton::clicked, this, &MaintenanceDialog::optimize);
    return box;
}

QWidget* MaintenanceDialog::buildCheck() {
    QGroupBox* box = group(QStringLiteral("Table check"), this);
    QGridLayout* grid = areaGrid(box);
    m_lastCheck = labelledField(grid, 0, QStringLiteral("Last check"), box);
    m_checkResult = labelledField(grid, 1, QStringLiteral("Result"), box);
    auto* options = new QHBoxLayout;
    m_checkQuick = option(QStringLiteral("QUICK"), box);
    m_checkFast = option(QStringLiteral("FAST"), box);
    m_checkChanged = option(QStringLiteral("CHANGED"), box);
    m_checkMedium = option(QStringLiteral("MEDIUM"), box);
    m_checkExtended = option(QStringLiteral("EXTENDED"), box);
    for (QCheckBox* b : {m_checkQuick, m_checkFast, m_checkChanged, m_checkMedium, m_checkExtended})
        options->addWidget(b);
    QPushButton* run = button(QStringLiteral("Check"), box);
    options->addWidget(run);
    grid->addLayout(options, 2, 0, 1, 2);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::check);
    return box;
}

QWidget* MaintenanceDialog::buildBackup() {
    QGroupBox* box = group(QStringLiteral("Backup to the server"), this);
    QGridLayout* grid = areaGrid(box);
    m_backupDirectory = labelledField(grid, 0, QStringLiteral("Server directory"), box, false);
    QPushButton* run = button(QStringLiteral("Backup"), box);
    grid->addWidget(run, 0, 2);
    m_backupResult = labelledField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::backup);
    return box;
}

QWidget* MaintenanceDialog::buildRestore() {
    QGroupBox* box = group(QStringLiteral("Restoration from the server"), this);
    QGridLayout* grid = areaGrid(box);
    m_restoreDirectory = labelledField(grid, 0, QStringLiteral("Server directory"), box, false);
    QPushButton* run = button(QStringLiteral("Restore"), box);
    grid->addWidget(run, 0, 2);
    m_restoreResult = labelledField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::restore);
    return box;
}

QWidget* MaintenanceDialog::buildDump() {
    QGroupBox* box = group(QStringLiteral("Dump to a file"), this);
    QGridLayout* grid = areaGrid(box);
    m_dumpFile = labelledField(grid, 0, QStringLiteral("Output file"), box, false);
    QPushButton* browse = button(QStringLiteral("::"), box);
    QPushButton* run = button(QStringLiteral("Dump"), box);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(run, 1, 2);
    connect(browse, &QPushButton::clicked, this, &MaintenanceDialog::chooseDumpFile);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::dump);
    return box;
}

void MaintenanceDialog::readStatusAtStart() {
    const Status status = readStatus(m_session, tableStatusStatement(m_session, m_database, m_table));
    if (status.state == Status::NoResult)
        m_op.inform(QStringLiteral("Data is unacquirable."));
    if (status.state != Status::Found)
        return;
    m_type->setText(qs(status.type));
    m_lastCheck->setText(qs(status.checkTime));
}

void MaintenanceDialog::convert(const QString& type) {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (type == QLatin1String("INNOBASE")) {
        // The capability is asked before the question, and the type compared only after it.
        if (!serverHasInnobase(m_session)) {
            m_op.inform(QStringLiteral("As for this server, INNOBASE table is not supported."));
            return;
        }
        if (!m_op.ask(QStringLiteral("May I shift?")))
            return;
        if (ServerDialect::sameTableType(u8(m_type->text()), "Innobase")) {
            m_op.inform(QStringLiteral("It is already Innobase."));
            return;
        }
        sendConversion("Innobase");
        return;
    }
    const std::string target = u8(type);
    if (ServerDialect::sameTableType(u8(m_type->text()), target)) {
        m_op.inform(textf("It is already %s.", target));
        return;
    }
    if (!m_op.ask(QStringLiteral("May I shift?")))
        return;
    sendConversion(target);
}

void MaintenanceDialog::sendConversion(const std::string& target) {
    if (m_session.query(conversionStatement(m_tableName, m_session.dialect().tableTypeKeyword(), target)) !=
        0) {
        m_op.inform(QStringLiteral("It failed in shift."));
        return;
    }
    const Status status = readStatus(m_session, tableStatusStatement(m_session, m_database, m_table));
    switch (status.state) {
        case Status::Failed:
            return;
        case Status::NoResult:
            m_op.inform(QStringLiteral("Data is unacquirable."));
            return;
        case Status::NoRow:
            m_op.inform(QStringLiteral("This server cannot use this function."));
            return;
        case Status::Found:
            break;
    }
    // A server that kept another type (it may substitute its default) has not shifted the table.
    if (!ServerDialect::sameTableType(status.type, target))
        return;
    m_type->setText(qs(status.type));
    m_op.inform(QStringLiteral("It succeeded in shift."));
}

void MaintenanceDialog::repair() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I restore?")))
        return;
    const RepairOptions options{m_repairQuick->isChecked(), m_repairExtended->isChecked()};
    if (m_session.query(repairStatement(m_tableName, options)) != 0) {
        m_op.inform(QStringLiteral("It failed in restoration."));
        return;
    }
    Result result = m_session.storeResult();
    if (!result) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    if (Row row = result.fetchRow())
        m_repairResult->setText(qs(verdictText(row)));
    else
        m_op.inform(QStringLiteral("This server cannot use this function."));
    m_op.inform(QStringLiteral("Restoration was completed."));
}

void MaintenanceDialog::check() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    CheckOptions options;
    options.quick = m_checkQuick->isChecked();
    options.fast = m_checkFast->isChecked();
    options.changed = m_checkChanged->isChecked();
    options.medium = m_checkMedium->isChecked();
    options.extended = m_checkExtended->isChecked();
    if (m_session.query(checkStatement(m_tableName, options)) != 0) {
        m_op.inform(QStringLiteral("It failed in the check."));
        return;
    }
    {
        Result result = m_session.storeResult();
        if (!result) {
            m_op.inform(QStringLiteral("Data is unacquirable."));
            return;
        }
        if (Row row = result.fetchRow())
            m_checkResult->setText(qs(verdictText(row)));
        else
            m_op.inform(QStringLiteral("This server cannot use this function."));
    }
    const Status status = readStatus(m_session, tableStatusStatement(m_session, m_database, m_table));
    if (status.state == Status::Failed || status.state == Status::NoResult) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    if (status.state == Status::Found)
        m_lastCheck->setText(qs(status.checkTime));
    m_op.inform(QStringLiteral("The check was completed."));
}

void MaintenanceDialog::analyze() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I Analyze?")))
        return;
    if (m_session.query(analyzeStatement(m_tableName)) != 0) {
        m_op.inform(QStringLiteral("It failed in analysis."));
        return;
    }
    Result result = m_session.storeResult();
    if (!result) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    if (Row row = result.fetchRow())
        m_analysisResult->setText(qs(verdictText(row)));
    else
        m_op.inform(QStringLiteral("This server cannot use this function."));
    m_op.inform(QStringLiteral("An analysis were completed."));
}

void MaintenanceDialog::optimize() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I optimize?")))
        return;
    if (m_session.query(optimizeStatement(m_tableName)) != 0) {
        m_op.inform(QStringLiteral("It failed in optimization."));
        return;
    }
    // The verdict rows are not shown, but they must leave the connection before the next statement.
    m_session.storeResult();
    m_analysisResult->setText(QStringLiteral("Optimization was completed."));
}

void MaintenanceDialog::logBackupOrRestore(const char* logName, const QString& directory) {
    if (!m_workingDirectory.isEmpty())
        QDir::setCurrent(m_workingDirectory);
    if (!appendToLog(logName, maintenanceLogLine(static_cast<unsigned long long>(std::time(nullptr)), m_database,
                                                 m_table, u8(directory), u8(m_loginName), u8(m_hostName))))
        m_op.inform(QStringLiteral("%1 could not be written.").arg(QString::fromUtf8(logName)));
}

void MaintenanceDialog::backup() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I back up?")))
        return;
    const QString directory = m_backupDirectory->text();
    if (directory.isEmpty()) {
        m_op.inform(QStringLiteral("The directory of a server is inputted."));
        return;
    }
    if (m_session.query(backupStatement(m_tableName, escapeValue(m_session, u8(directory)))) != 0) {
        m_op.inform(QStringLiteral("It failed in backup."));
        return;
    }
    Result result = m_session.storeResult();
    if (!result) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    if (Row row = result.fetchRow())
        m_backupResult->setText(qs(verdictText(row)));
    else
        m_op.inform(QStringLiteral("This server cannot use this function."));
    logBackupOrRestore("Backup.log", directory);
    m_op.inform(QStringLiteral("Backup was completed."));
}

void MaintenanceDialog::restore() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I restore?")))
        return;
    const QString directory = m_restoreDirectory->text();
    if (directory.isEmpty()) {
        m_op.inform(QStringLiteral("The directory of a server is inputted."));
        return;
    }
    if (m_session.query(restoreStatement(m_tableName, escapeValue(m_session, u8(directory)))) != 0) {
        m_op.inform(QStringLiteral("It failed in shift."));
        return;
    }
    Result result = m_session.storeResult();
    if (!result) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    bool failed = false;
    if (Row row = result.fetchRow()) {
        m_restoreResult->setText(qs(verdictText(row)));
        failed = row.text(2) == "error";
    } else {
        m_op.inform(QStringLiteral("This server cannot use this function."));
    }
    logBackupOrRestore("restore.log", directory);
    m_op.inform(failed ? QStringLiteral("Restoration carried out the unusual end. A result is checked.")
                       : QStringLiteral("Restoration was completed."));
}

void MaintenanceDialog::chooseDumpFile() {
    QString path = m_op.chooseSaveFile(this, QString(), QStringLiteral("ＳＱＬ文 (*.sql)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".sql");
    m_dumpFile->setText(path);
}

void MaintenanceDialog::dump() {
    if (busy())
        return;
    WaitCursor wait(m_op);
    if (!m_op.ask(QStringLiteral("May I dump?")))
        return;
    const QString path = m_dumpFile->text();
    if (path.isEmpty()) {
        m_op.inform(QStringLiteral("The file name to output is inputted."));
        return;
    }
    m_dumping = true;
    const DumpOutcome outcome =
        dumpTable(m_session, m_database, m_table, u8(path), [](long long) { letPendingEventsThrough(); });
    m_dumping = false;
    if (!outcome.opened)
        return;
    m_op.inform(outcome.failure.empty() ? QStringLiteral("Dumping was completed.") : qs(outcome.failure));
}

void MaintenanceDialog::reject() {
    if (m_dumping)
        return;
    QDialog::reject();
}

}  // namespace velkin
