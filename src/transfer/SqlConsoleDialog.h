#pragma once

#include <QDialog>
#include <QTime>
#include <cstddef>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleRun.h"
#include "ScriptFile.h"
#include "session/BackgroundWork.h"

class QCompleter;
class QKeyEvent;
class QLineEdit;
class QSpinBox;
class QPlainTextEdit;
class QTabBar;
class QTimer;
class QStringListModel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

class Connection;
class Operator;
class RowModel;
class WorkProgress;
class PackedRows;
class StatementHistory;
class NameCatalog;

/// "SQL Issue": runs the statement the operator types on the session and lists the rows it returns,
/// with a tree of databases, tables and fields to pick names from, script files, a remembered font
/// and the CSV export of the statement's rows.
class SqlConsoleDialog : public QDialog {
    Q_OBJECT
public:
    SqlConsoleDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);
    ~SqlConsoleDialog() override;

    /// "Execution" and Ctrl+Shift+Enter: sends the query box's text as typed and shows its answer.
    void execute();
    /// Ctrl+Enter: the statement the cursor is in (or right after), read as a script would read it.
    void executeCurrent();
    /// Ctrl+Up (step -1) and Ctrl+Down (+1): the statements run before, newest first.
    void recall(int step);
    /// Ctrl+Space (asked), and a point typed after a name: the names that may stand at the cursor, in a
    /// list to choose from.
    void completeName(bool asked = true);
    /// "Load", "Save as", "Save": script files.
    void load();
    /// "Run file": runs a script or dump file's statements straight from the file, whatever its bytes.
    void runFile();
    void saveAs();
    void save();
    /// "Font": the query box's font; remembered when the console closes.
    void chooseFont();
    /// "CSV Export": the CSV export of the query box's statement.
    void exportCsv();
    /// "Cancel" and closing the window: remembers the font, then closes.
    void reject() override;

    /// The rows the list shows: those of the result chosen when a run gave several.
    RowModel& rows();
    /// Whether statements are running (beside the window).
    bool isRunning() const { return m_work.running(); }

    /// What a run reports, on the window's thread.
    void showRunning(const ConsoleReached& reached);
    void beginRows(std::vector<std::string> names);
    void addRows(PackedRows&& rows);
    void endRows(const ConsoleResult& result);

private:
    void buildScreen();
    bool fillDatabases();
    void applyRememberedFont();
    void rememberFont();
    void reactToSelection(QTreeWidgetItem* current);
    void loadChildren(QTreeWidgetItem* node);
    void insertName(QTreeWidgetItem* node);
    void showOutcome(const ConsoleOutcome& outcome);
    /// After a result outgrew the limit: says so and offers the export of the whole result.
    void offerExportOfCut(const ConsoleOutcome& outcome);
    void runText(std::string_view text);
    static QString scriptFilter();
    bool queryKey(QKeyEvent* key);
    /// The query box's text, unless statements run or it is empty (which is said).
    std::optional<QString> textToRun();
    void copySelection();
    /// Drops the results of the run before.
    void clearResults();
    void showResult(int index);
    void fitColumns();
    void paintProgress();
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Writes the query box's text to path; says why when it could not.
    bool writeScript(const QString& path);
    /// Whether path may be written: it holds what the query box was loaded from or saved as, or
    /// the person agrees to replace what it holds.
    bool mayOverwrite(const QString& path);
    void buildCompletion();
    void showCompletion(const QString& typed);
    void followCompletion();
    void insertCompletion(const QString& name);
    bool completionKey(QKeyEvent* key);

    Connection& m_connection;
    Operator& m_op;
    /// The file whose text is in the query box, where "Save" writes: set only by a load or a save.
    QLineEdit* m_scriptFile = nullptr;
    /// What that file held when its text was put into the box or the box's text into it.
    ScriptFingerprint m_scriptHeld;
    QPlainTextEdit* m_query = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_status = nullptr;
    WorkProgress* m_progress = nullptr;
    /// Repaints the progress line a few times a second while a script runs, so that its times move
    /// also while one statement takes long.
    QTimer* m_progressTimer = nullptr;
    ConsoleReached m_lastReached;
    bool m_runTold = false;
    /// One tab a result with rows, when a run gave more than one.
    QTabBar* m_resultTabs = nullptr;
    /// The models of the results after the first (which is m_rows), in order.
    std::vector<RowModel*> m_moreResults;
    RowModel* m_receiving = nullptr;
    int m_resultsInRun = 0;
    QTableView* m_list = nullptr;
    RowModel* m_rows = nullptr;
    QLineEdit* m_arrivalTime = nullptr;
    QLineEdit* m_displayTime = nullptr;
    /// The cell megabytes of results the console keeps; beyond them it offers the CSV export.
    QSpinBox* m_resultLimit = nullptr;
    /// The tree reacts to selections only when set; cleared while it is being filled.
    bool m_treeReacts = false;
    /// The font width the settings hold; the font chooser knows none and makes it 0.
    int m_fontWidth = 0;
    std::time_t m_issued = 0;
    std::time_t m_arrived = 0;
    std::time_t m_displayed = 0;
    QTime m_started;
    std::size_t m_scriptBytes = 0;
    bool m_rowsArrived = false;
    bool m_widthsFitted = false;
    BackgroundWork m_work;
    std::unique_ptr<StatementHistory> m_history;
    std::vector<std::string> m_recalled;
    /// Where a walk through the history stands; -1 when none goes on.
    int m_recallAt = -1;
    QString m_beforeRecall;
    bool m_recalling = false;
    std::unique_ptr<NameCatalog> m_names;
    QCompleter* m_completer = nullptr;
    QStringListModel* m_completionModel = nullptr;
    /// What the shown list of names was made for.
    std::vector<std::string> m_completionQualifiers;
    int m_completionStart = 0;
    int m_completionWidth = 0;
};

}  // namespace velkin
