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
#include <algorithm>
#include <ctime>

#include "MaintenanceText.h"
#include "RowStream.h"
#include "TableDump.h"
#include "WorkButtons.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"
#include "widgets/Kit.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

/// A labelled field whose paths and server answers need room to be read, however wide the
/// neighbouring area is.
QLineEdit* wideField(QGridLayout* grid, int row, const QString& name, QWidget* parent,
                     FieldMode mode = FieldMode::ReadOnly) {
    QLineEdit* edit = labelledField(grid, row, name, parent, mode);
    edit->setMinimumWidth(180);
    return edit;
}

/// The grid of an area, whose fields take the room the buttons leave.
QGridLayout* areaGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    return grid;
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
    // While a command or the dump runs, Close is its Stop and no other button may start anything.
    std::vector<QWidget*> blocked;
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button != m_close)
            blocked.push_back(button);
    bindStopButton(
        m_work, m_close, [this] { reject(); }, blocked);
    m_runningTick.setInterval(1000);
    connect(&m_runningTick, &QTimer::timeout, this, &MaintenanceDialog::showRunning);
    readStatusAtStart();
}

QWidget* MaintenanceDialog::buildHead() {
    auto* head = new QWidget(this);
    auto* grid = new QGridLayout(head);
    grid->setContentsMargins(0, 0, 0, 0);
    wideField(grid, 0, QStringLiteral("Database"), head)->setText(qs(m_database));
    wideField(grid, 1, QStringLiteral("Table"), head)->setText(qs(m_table));
    m_type = wideField(grid, 2, QStringLiteral("Table type"), head);
    auto* conversions = new QHBoxLayout;
    for (const char* type : {"MyISAM", "ISAM", "HEAP", "INNOBASE"}) {
        QPushButton* b = namedButton(QString::fromLatin1(type), head);
        conversions->addWidget(b);
        const QString target = QString::fromLatin1(type);
        connect(b, &QPushButton::clicked, this, [this, target] { convert(target); });
    }
    conversions->addStretch(1);
    m_close = namedButton(QStringLiteral("Close"), head);
    conversions->addWidget(m_close);
    grid->addLayout(conversions, 3, 0, 1, 2);
    m_running = new QLabel(head);
    m_running->setObjectName(QStringLiteral("Running"));
    grid->addWidget(m_running, 4, 0, 1, 2);
    return head;
}

QWidget* MaintenanceDialog::buildRepair() {
    QGroupBox* box = namedGroup(QStringLiteral("Table repair"), this);
    QGridLayout* grid = areaGrid(box);
    m_repairQuick = namedCheckBox(QStringLiteral("QUICK"), box);
    m_repairExtended = namedCheckBox(QStringLiteral("EXTENDED"), box);
    QPushButton* run = namedButton(QStringLiteral("Repair"), box);
    grid->addWidget(m_repairQuick, 0, 0);
    grid->addWidget(m_repairExtended, 0, 1);
    grid->addWidget(run, 0, 2);
    m_repairResult = wideField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::repair);
    return box;
}

QWidget* MaintenanceDialog::buildAnalysis() {
    QGroupBox* box = namedGroup(QStringLiteral("Analysis and optimization"), this);
    QGridLayout* grid = areaGrid(box);
    m_analysisResult = wideField(grid, 0, QStringLiteral("Result"), box);
    auto* buttons = new QHBoxLayout;
    QPushButton* analyse = namedButton(QStringLiteral("Analyze"), box);
    QPushButton* optimise = namedButton(QStringLiteral("Optimize"), box);
    buttons->addStretch(1);
    buttons->addWidget(analyse);
    buttons->addWidget(optimise);
    grid->addLayout(buttons, 1, 0, 1, 2);
    connect(analyse, &QPushButton::clicked, this, &MaintenanceDialog::analyze);
    connect(optimise, &QPushButton::clicked, this, &MaintenanceDialog::optimize);
    return box;
}

QWidget* MaintenanceDialog::buildCheck() {
    QGroupBox* box = namedGroup(QStringLiteral("Table check"), this);
    QGridLayout* grid = areaGrid(box);
    m_lastCheck = wideField(grid, 0, QStringLiteral("Last check"), box);
    m_checkResult = wideField(grid, 1, QStringLiteral("Result"), box);
    auto* options = new QHBoxLayout;
    m_checkQuick = namedCheckBox(QStringLiteral("QUICK"), box);
    m_checkFast = namedCheckBox(QStringLiteral("FAST"), box);
    m_checkChanged = namedCheckBox(QStringLiteral("CHANGED"), box);
    m_checkMedium = namedCheckBox(QStringLiteral("MEDIUM"), box);
    m_checkExtended = namedCheckBox(QStringLiteral("EXTENDED"), box);
    for (QCheckBox* b : {m_checkQuick, m_checkFast, m_checkChanged, m_checkMedium, m_checkExtended})
        options->addWidget(b);
    QPushButton* run = namedButton(QStringLiteral("Check"), box);
    options->addWidget(run);
    grid->addLayout(options, 2, 0, 1, 2);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::check);
    return box;
}

QWidget* MaintenanceDialog::buildBackup() {
    QGroupBox* box = namedGroup(QStringLiteral("Backup to the server"), this);
    QGridLayout* grid = areaGrid(box);
    m_backupDirectory = wideField(grid, 0, QStringLiteral("Server directory"), box, FieldMode::Editable);
    QPushButton* run = namedButton(QStringLiteral("Backup"), box);
    grid->addWidget(run, 0, 2);
    m_backupResult = wideField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::backup);
    return box;
}

QWidget* MaintenanceDialog::buildRestore() {
    QGroupBox* box = namedGroup(QStringLiteral("Restoration from the server"), this);
    QGridLayout* grid = areaGrid(box);
    m_restoreDirectory = wideField(grid, 0, QStringLiteral("Server directory"), box, FieldMode::Editable);
    QPushButton* run = namedButton(QStringLiteral("Restore"), box);
    grid->addWidget(run, 0, 2);
    m_restoreResult = wideField(grid, 1, QStringLiteral("Result"), box);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::restore);
    return box;
}

QWidget* MaintenanceDialog::buildDump() {
    QGroupBox* box = namedGroup(QStringLiteral("Dump to a file"), this);
    QGridLayout* grid = areaGrid(box);
    m_dumpFile = wideField(grid, 0, QStringLiteral("Output file"), box, FieldMode::Editable);
    QPushButton* browse = namedButton(QStringLiteral("::"), box);
    QPushButton* run = namedButton(QStringLiteral("Dump"), box);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(run, 1, 2);
    connect(browse, &QPushButton::clicked, this, &MaintenanceDialog::chooseDumpFile);
    connect(run, &QPushButton::clicked, this, &MaintenanceDialog::dump);
    m_dumpProgress = new WorkProgress(box);
    grid->addWidget(m_dumpProgress, 2, 0, 1, 3);
    return box;
}

MaintenanceDialog::StatusRead MaintenanceDialog::readStatusNow() {
    StatusRead now;
    TableStatusList status = readTableStatus(m_session, m_database, m_table);
    switch (status.outcome) {
        case TableStatusList::Outcome::QueryFailed:
            now.state = StatusRead::Failed;
            break;
        case TableStatusList::Outcome::NoResult:
            now.state = StatusRead::NoResult;
            break;
        case TableStatusList::Outcome::Read:
            now.state = status.tables.empty() ? StatusRead::NoRow : StatusRead::Found;
            if (!status.tables.empty())
                now.table = std::move(status.tables.front());
            break;
    }
    return now;
}

void MaintenanceDialog::readStatusAtStart() {
    const StatusRead status = readStatusNow();
    if (status.state == StatusRead::NoResult)
        m_op.inform(QStringLiteral("Data is unacquirable."));
    if (status.state != StatusRead::Found)
        return;
    m_type->setText(qs(status.table.type));
    m_lastCheck->setText(qs(status.table.checked));
}

void MaintenanceDialog::convert(const QString& type) {
    if (busy())
        return;
    if (type == QLatin1String("INNOBASE")) {
        // The capability is asked before the question, and the type compared only after it.
        const bool innobase = [this] {
            WaitCursor wait(m_op);
            return serverHasInnobase(m_session);
        }();
        if (!innobase) {
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
    const std::string keyword = m_session.dialect().tableTypeKeyword();
    const CommandEnd end =
        runCommand({nullptr, [&] { return conversionStatement(m_tableName, keyword, target); },
                    "It failed in shift.", nullptr});
    if (end == CommandEnd::NotDone)
        return;
    const StatusRead status = readStatusNow();
    if (end == CommandEnd::Stopped) {
        // A stopped conversion leaves the table as it was; the field shows what the server says.
        if (status.state == StatusRead::Found)
            m_type->setText(qs(status.table.type));
        return;
    }
    switch (status.state) {
        case StatusRead::Failed:
            return;
        case StatusRead::NoResult:
            m_op.inform(QStringLiteral("Data is unacquirable."));
            return;
        case StatusRead::NoRow:
            m_op.inform(QStringLiteral("This server cannot use this function."));
            return;
        case StatusRead::Found:
            break;
    }
    // A server that kept another type (it may substitute its default) has not shifted the table.
    if (!ServerDialect::sameTableType(status.table.type, target))
        return;
    m_type->setText(qs(status.table.type));
    m_op.inform(QStringLiteral("It succeeded in shift."));
}

MaintenanceDialog::CommandEnd MaintenanceDialog::runCommand(const Command& command) {
    if (command.question && !m_op.ask(QString::fromUtf8(command.question)))
        return CommandEnd::NotDone;
    const std::optional<std::string> statement = command.statement();
    if (!statement)
        return CommandEnd::NotDone;
    const StatementEnd end = runStatement(*statement);
    // A statement that finished before Stop reached it shows its own verdict; one that Stop ended
    // has none, and its rows say only that it was interrupted.
    if (end.stopped && end.anyError) {
        if (command.verdict)
            command.verdict->setText(qs(maintenanceStoppedVerdict()));
        m_op.inform(qs(maintenanceStoppedText(*statement, end.errorLine)));
        return CommandEnd::Stopped;
    }
    if (end.status != 0) {
        m_op.inform(QString::fromUtf8(command.failure));
        return CommandEnd::NotDone;
    }
    if (!command.verdict)
        return CommandEnd::Done;
    if (!end.hasResult) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return CommandEnd::NotDone;
    }
    if (!end.hasRow) {
        m_op.inform(QStringLiteral("This server cannot use this function."));
        return CommandEnd::Done;
    }
    command.verdict->setText(qs(end.verdict));
    return end.verdictType == "error" ? CommandEnd::DoneWithError : CommandEnd::Done;
}

MaintenanceDialog::StatementEnd MaintenanceDialog::runStatement(const std::string& statement) {
    StatementEnd end;
    m_runningStatement = statement;
    m_workName = qs(statement);
    m_clock.start();
    showRunning();
    m_runningTick.start();
    // The statement runs beside the window, which keeps painting and answers Stop (KILL QUERY ends
    // a long OPTIMIZE or ALTER, or one waiting for a lock); the session is the statement's until
    // it ends.
    m_work.run({&m_session}, [&](WorkControl&) {
        end.status = m_session.query(statement);
        if (end.status != 0) {
            end.anyError = true;
            end.errorLine = m_session.errorLine();
        } else if (Result result = m_session.storeResult()) {
            // Rows that are not shown must still leave the connection before the next statement.
            end.hasResult = true;
            while (Row row = result.fetchRow()) {
                const std::string type(row.text(2));
                if (!end.hasRow) {
                    end.hasRow = true;
                    end.verdict = verdictText(row);
                    end.verdictType = type;
                }
                if (!end.anyError &&
                    QString::fromStdString(type).compare(QLatin1String("error"), Qt::CaseInsensitive) == 0) {
                    end.anyError = true;
                    end.errorLine = verdictText(row);
                }
            }
        }
    });
    // Asked once the work has ended: Stop ends the statement before it raises the flag, so the work
    // may see its statement end before the flag.
    end.stopped = m_work.stopRequested();
    m_runningTick.stop();
    m_runningStatement.clear();
    m_running->clear();
    return end;
}

void MaintenanceDialog::showRunning() {
    m_running->setText(qs(maintenanceRunningText(m_runningStatement, m_clock.elapsed() / 1000)));
}

void MaintenanceDialog::repair() {
    if (busy())
        return;
    const RepairOptions options{m_repairQuick->isChecked(), m_repairExtended->isChecked()};
    if (finished(runCommand({"May I restore?", [&] { return repairStatement(m_tableName, options); },
                             "It failed in restoration.", m_repairResult})))
        m_op.inform(QStringLiteral("Restoration was completed."));
}

void MaintenanceDialog::check() {
    if (busy())
        return;
    CheckOptions options;
    options.quick = m_checkQuick->isChecked();
    options.fast = m_checkFast->isChecked();
    options.changed = m_checkChanged->isChecked();
    options.medium = m_checkMedium->isChecked();
    options.extended = m_checkExtended->isChecked();
    if (!finished(runCommand({nullptr, [&] { return checkStatement(m_tableName, options); },
                              "It failed in the check.", m_checkResult})))
        return;
    const StatusRead status = readStatusNow();
    if (status.state == StatusRead::Failed || status.state == StatusRead::NoResult) {
        m_op.inform(QStringLiteral("Data is unacquirable."));
        return;
    }
    if (status.state == StatusRead::Found)
        m_lastCheck->setText(qs(status.table.checked));
    m_op.inform(QStringLiteral("The check was completed."));
}

void MaintenanceDialog::analyze() {
    if (busy())
        return;
    if (finished(runCommand({"May I Analyze?", [&] { return analyzeStatement(m_tableName); },
                             "It failed in analysis.", m_analysisResult})))
        m_op.inform(QStringLiteral("An analysis were completed."));
}

void MaintenanceDialog::optimize() {
    if (busy())
        return;
    const CommandEnd end = runCommand({"May I optimize?", [&] { return optimizeStatement(m_tableName); },
                                       "It failed in optimization.", nullptr});
    if (finished(end))
        m_analysisResult->setText(QStringLiteral("Optimization was completed."));
    else if (end == CommandEnd::Stopped)
        m_analysisResult->setText(qs(maintenanceStoppedVerdict()));
}

void MaintenanceDialog::logBackupOrRestore(const char* logName, const QString& directory) {
    if (!m_workingDirectory.isEmpty())
        QDir::setCurrent(m_workingDirectory);
    if (!appendToLog(logName,
                     maintenanceLogLine(static_cast<unsigned long long>(std::time(nullptr)), m_database,
                                        m_table, u8(directory), u8(m_loginName), u8(m_hostName))))
        m_op.inform(QStringLiteral("%1 could not be written.").arg(QString::fromUtf8(logName)));
}

std::optional<std::string> MaintenanceDialog::withDirectory(const QLineEdit* field,
                                                            std::string (*statement)(std::string_view,
                                                                                     std::string_view)) {
    const QString directory = field->text();
    if (directory.isEmpty()) {
        m_op.inform(QStringLiteral("The directory of a server is inputted."));
        return std::nullopt;
    }
    return statement(m_tableName, escapeValue(m_session, u8(directory)));
}

void MaintenanceDialog::backup() {
    if (busy())
        return;
    if (!finished(
            runCommand({"May I back up?", [&] { return withDirectory(m_backupDirectory, backupStatement); },
                        "It failed in backup.", m_backupResult})))
        return;
    logBackupOrRestore("Backup.log", m_backupDirectory->text());
    m_op.inform(QStringLiteral("Backup was completed."));
}

void MaintenanceDialog::restore() {
    if (busy())
        return;
    const CommandEnd end =
        runCommand({"May I restore?", [&] { return withDirectory(m_restoreDirectory, restoreStatement); },
                    "It failed in shift.", m_restoreResult});
    if (!finished(end))
        return;
    logBackupOrRestore("restore.log", m_restoreDirectory->text());
    m_op.inform(end == CommandEnd::DoneWithError
                    ? QStringLiteral("Restoration carried out the unusual end. A result is checked.")
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
    if (!m_op.ask(QStringLiteral("May I dump?")))
        return;
    const QString path = m_dumpFile->text();
    if (path.isEmpty()) {
        m_op.inform(QStringLiteral("The file name to output is inputted."));
        return;
    }
    m_workName = QStringLiteral("The dump");
    DumpOutcome outcome;
    // The rows are read and written beside the window, which answers Stop; the session is the dump's
    // until it ends.
    m_dumpProgress->start();
    m_work.run({&m_session}, [&](WorkControl& control) {
        // The server's guess of the rows, read before the first one, is the bar's total.
        const TableStatusList status = readTableStatus(m_session, m_database, m_table);
        if (status.read() && !status.tables.empty() && status.tables.front().rows > 0)
            control.post([this, rows = status.tables.front().rows] { m_dumpProgress->setTotal(rows, true); });
        const auto shown = [this, &control](long long rows) {
            control.post([this, rows] { m_dumpProgress->advance(static_cast<std::uint64_t>(rows)); });
        };
        outcome = dumpTable(m_session, m_database, m_table, u8(path), shown, &control.stopFlag());
    });
    m_dumpProgress->advance(static_cast<std::uint64_t>(std::max(outcome.rows, 0LL)));
    m_dumpProgress->finish(outcome.opened && outcome.failure.empty());
    if (!outcome.opened)
        return;
    m_op.inform(outcome.failure.empty() ? QStringLiteral("Dumping was completed.") : qs(outcome.failure));
}

void MaintenanceDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, m_workName))
        QDialog::reject();
}

}  // namespace velkin
