#include "SqlConsoleDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <mutex>

#include "ConsoleNames.h"
#include "ConsoleRun.h"
#include "CsvExportDialog.h"
#include "SqlScript.h"
#include "StatementHistory.h"
#include "TransferMessages.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/RowModel.h"
#include "session/SqlText.h"
#include "widgets/ColumnWidths.h"
#include "widgets/Kit.h"
#include "widgets/ProgressText.h"
#include "widgets/WorkProgress.h"

// The console's runs: the typed text, the statement under the cursor, a file; each beside the window.

namespace velkin {

namespace {

/// Hands what the run reports over to the window's thread, in order.
class ScreenSink : public ConsoleSink {
public:
    ScreenSink(WorkControl& control, SqlConsoleDialog& screen) : m_control(control), m_screen(screen) {}

    void statementSent(const ConsoleReached& reached) override {
        // A dump of one row per statement sends thousands a second: the window is told where the run
        // has got to, with at most one telling waiting for it, instead of every statement.
        {
            const std::lock_guard<std::mutex> hold(m_latest->lock);
            m_latest->reached = reached;
            if (m_latest->waiting)
                return;
            m_latest->waiting = true;
        }
        m_control.post([s = &m_screen, latest = m_latest] {
            ConsoleReached now;
            {
                const std::lock_guard<std::mutex> hold(latest->lock);
                now = latest->reached;
                latest->waiting = false;
            }
            s->showRunning(now);
        });
    }
    void rowsBegin(std::vector<std::string> names) override {
        m_control.post(
            [s = &m_screen, names = std::move(names)]() mutable { s->beginRows(std::move(names)); });
    }
    void rowsArrived(PackedRows&& rows) override {
        // Posted work is copied; the rows themselves are not.
        auto held = std::make_shared<PackedRows>(std::move(rows));
        m_control.post([s = &m_screen, held] { s->addRows(std::move(*held)); });
    }
    void rowsEnded(const ConsoleResult& result) override {
        m_control.post([s = &m_screen, result] { s->endRows(result); });
    }

private:
    struct Latest {
        std::mutex lock;
        ConsoleReached reached;
        bool waiting = false;
    };
    WorkControl& m_control;
    SqlConsoleDialog& m_screen;
    std::shared_ptr<Latest> m_latest = std::make_shared<Latest>();
};

}  // namespace

std::optional<QString> SqlConsoleDialog::textToRun() {
    if (m_work.running())
        return std::nullopt;
    const QString text = m_query->toPlainText();
    if (text.isEmpty()) {
        m_op.inform(QStringLiteral("Please input Query!!"));
        return std::nullopt;
    }
    return text;
}

void SqlConsoleDialog::execute() {
    const std::optional<QString> text = textToRun();
    if (!text)
        return;
    m_history->add(u8(*text));
    runText(u8(*text));
}

void SqlConsoleDialog::executeCurrent() {
    const std::optional<QString> typed = textToRun();
    if (!typed)
        return;
    const QString& text = *typed;
    const std::string all = u8(text);
    const std::size_t cursor = u8(text.left(m_query->textCursor().position())).size();
    // Read from the top, so that DELIMITER lines and quotes before the cursor count as they would.
    SqlScriptReader reader(all);
    std::optional<ScriptStatement> chosen;
    while (std::optional<ScriptStatement> statement = reader.next(!m_connection.noBackslashEscapes())) {
        chosen = std::move(statement);
        if (reader.position() >= cursor)
            break;
    }
    const std::string sent = chosen ? chosen->text : all;
    m_history->add(sent);
    runText(sent);
}

void SqlConsoleDialog::runFile() {
    if (m_work.running())
        return;
    const QString path = m_op.chooseOpenFile(this, QString(), scriptFilter());
    if (path.isEmpty())
        return;
    // The file's bytes go to the server as they stand, without passing through the query box: a dump
    // with binary values or in another character set runs as the command-line client runs it, and a
    // file larger than memory is read from the page cache as its statements go.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_op.inform(QStringLiteral("It failed in opening of a file.\n") + file.errorString());
        return;
    }
    if (file.size() == 0) {
        m_op.inform(QStringLiteral("Please input Query!!"));
        return;
    }
    const uchar* bytes = file.map(0, file.size());
    if (!bytes) {
        m_op.inform(QStringLiteral("It failed in opening of a file.\n") + file.errorString());
        return;
    }
    // The query box does not hold the file's text, so the file does not become where "Save" writes.
    runText(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(file.size())));
}

void SqlConsoleDialog::runText(std::string_view text) {
    m_issued = std::time(nullptr);
    m_started = QTime::currentTime();
    m_scriptBytes = text.size();
    m_rowsArrived = false;
    m_runTold = false;
    ConsoleOutcome outcome;
    const std::uint64_t keepBytes = static_cast<std::uint64_t>(m_resultLimit->value()) * 1024 * 1024;
    // The statements run beside the window, which keeps painting and answers Stop; the session's
    // connection is the console's until they end.
    m_work.run({&m_connection}, [&](WorkControl& control) {
        ScreenSink sink(control, *this);
        outcome = runConsoleText(m_connection, text, control.stopAskedFlag(), sink, keepBytes);
    });
    m_progressTimer->stop();
    m_progress->hide();
    // The statements may have created, dropped or switched any name the completion knew.
    m_names->forget();
    showOutcome(outcome);
    if (outcome.cut)
        offerExportOfCut(outcome);
}

void SqlConsoleDialog::offerExportOfCut(const ConsoleOutcome& outcome) {
    if (!m_op.ask(qs(consoleCutText(m_resultLimit->value(), outcome.keptRows, outcome.allRows))))
        return;
    CsvExportDialog dialog(m_connection, m_op, qs(outcome.cutStatement), this);
    m_op.runModal(dialog);
}

void SqlConsoleDialog::showRunning(const ConsoleReached& reached) {
    // The list keeps the rows of the script's last statement that returned any. The first telling
    // comes before any result of the run, though it may be a later statement than the first.
    const bool first = !m_runTold;
    m_runTold = true;
    if (first && reached.total > 0) {
        m_rows->clearRows();
        clearResults();
    }
    m_status->setText(qs(consoleRunningText(reached.number, reached.total, reached.line,
                                            u8(m_started.toString(QStringLiteral("HH:mm:ss"))))));
    if (reached.total <= 1)
        return;
    m_lastReached = reached;
    if (m_progress->isHidden()) {
        m_progress->startOwn();
        m_progress->show();
        m_progressTimer->start(250);
        paintProgress();
    }
}

void SqlConsoleDialog::paintProgress() {
    // A dump sends thousands of statements a second; the line tells the last of them when it is due.
    ProgressFigures figures;
    figures.done = m_lastReached.bytesRead;
    figures.total = m_scriptBytes;
    figures.elapsedMs = m_progress->elapsedMs();
    m_progress->showOwn(m_lastReached.bytesRead, m_scriptBytes,
                        qs(consoleProgressText(m_lastReached.number, m_lastReached.total,
                                               m_lastReached.affected, progressText(figures, "bytes"))));
}

RowModel& SqlConsoleDialog::rows() {
    auto* shown = qobject_cast<RowModel*>(m_list->model());
    return shown ? *shown : *m_rows;
}

void SqlConsoleDialog::clearResults() {
    const QSignalBlocker quiet(m_resultTabs);
    while (m_resultTabs->count() > 0)
        m_resultTabs->removeTab(m_resultTabs->count() - 1);
    m_resultTabs->hide();
    if (m_list->model() != m_rows)
        m_list->setModel(m_rows);
    for (RowModel* model : m_moreResults)
        delete model;
    m_moreResults.clear();
    m_receiving = m_rows;
    m_resultsInRun = 0;
}

void SqlConsoleDialog::beginRows(std::vector<std::string> names) {
    // The first result of a run takes the list's own model, whose headings a later statement without
    // rows keeps; each further result gets one of its own and a tab.
    if (m_resultsInRun == 0) {
        m_receiving = m_rows;
    } else {
        m_receiving = new RowModel(this);
        m_moreResults.push_back(m_receiving);
    }
    ++m_resultsInRun;
    m_receiving->setColumns(std::move(names));
    if (m_list->model() != m_receiving)
        m_list->setModel(m_receiving);
    m_widthsFitted = false;
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setMouseTracking(true);
}

void SqlConsoleDialog::addRows(PackedRows&& rows) {
    m_receiving->appendBatch(std::move(rows));
    m_arrived = std::time(nullptr);
    m_rowsArrived = true;
    if (m_widthsFitted || m_list->model() != m_receiving)
        return;
    fitColumns();
    m_widthsFitted = true;
}

void SqlConsoleDialog::fitColumns() {
    // A column widens to its header and first values, as the record list's do, so that addresses
    // and times are read whole.
    const std::vector<int> widths = ColumnWidths::fitted(*m_list);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        m_list->setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
}

void SqlConsoleDialog::endRows(const ConsoleResult& result) {
    const QSignalBlocker quiet(m_resultTabs);
    const int at = m_resultTabs->addTab(
        qs(consoleResultText(result.statement, result.head, result.rows, result.elapsedMs)));
    m_resultTabs->setTabToolTip(at, m_resultTabs->tabText(at));
    m_resultTabs->setCurrentIndex(at);
    m_resultTabs->setVisible(m_resultTabs->count() > 1);
}

void SqlConsoleDialog::showResult(int index) {
    // While a run goes on, the rows keep arriving in their own model whichever result is shown.
    if (index < 0 || index > static_cast<int>(m_moreResults.size()))
        return;
    RowModel* model = index == 0 ? m_rows : m_moreResults.at(static_cast<std::size_t>(index - 1));
    if (m_list->model() == model)
        return;
    m_list->setModel(model);
    fitColumns();
}

void SqlConsoleDialog::showOutcome(const ConsoleOutcome& outcome) {
    m_status->setText(outcome.status);
    if (m_rowsArrived) {
        m_displayed = std::time(nullptr);
        m_arrivalTime->setText(textf("%lu s", static_cast<unsigned long>(m_arrived - m_issued)));
        m_displayTime->setText(textf("%lu s", static_cast<unsigned long>(m_displayed - m_issued)));
    }
    switch (outcome.end) {
        case ConsoleOutcome::End::Stopped:
            m_status->setText(qs(consoleStoppedText(outcome.sent, outcome.total, outcome.line,
                                                    outcome.rowsShown ? outcome.rows : 0)));
            return;
        case ConsoleOutcome::End::Done:
            if (!outcome.rowsShown && outcome.total <= 1)
                m_rows->clearRows();
            if (outcome.sent > 1)
                m_status->setText(textf("%d statements were processed. ", outcome.sent) + outcome.status);
            return;
        case ConsoleOutcome::End::Refused:
            break;
    }
    if (outcome.total <= 1) {
        m_op.inform(QStringLiteral("Query execution cannot be performed!!"));
        return;
    }
    const QString where = textf("Statement %d of %d (line %d)", outcome.sent,
                                std::max(outcome.total, outcome.sent), outcome.line);
    m_status->setText(where + ": " + m_status->text());
    // The last line reads as the command-line client reports the same failure.
    m_op.inform(textf("Query execution cannot be performed!!\n%s\n%d:%s\nERROR %d (%s) at line %d: %s",
                      u8(where), outcome.errorNumber, outcome.errorText, outcome.errorNumber,
                      outcome.sqlState, outcome.endLine, outcome.errorText));
}

}  // namespace velkin
