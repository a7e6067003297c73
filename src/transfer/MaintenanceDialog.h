#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "session/BackgroundWork.h"
#include "session/TableStatus.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velkin {

class Connection;
class Operator;
class WorkProgress;

/// "Maintenance and Restoration" of one table: storage type conversions, repair, check, analysis,
/// optimisation, backup and restore on the server host, and a dump into a local SQL script. Each
/// runs beside the window with Stop, one at a time.
class MaintenanceDialog : public QDialog {
    Q_OBJECT
public:
    /// workingDirectory, loginName and hostName come from the session when the object tree opens
    /// the dialog and are empty when the table editor does; they go into the backup and restore logs.
    MaintenanceDialog(Connection& session, Operator& op, const QString& database, const QString& table,
                      const QString& workingDirectory = QString(), const QString& loginName = QString(),
                      const QString& hostName = QString(), QWidget* parent = nullptr);

    /// The conversion buttons; type is "MyISAM", "ISAM", "HEAP" or "INNOBASE".
    void convert(const QString& type);
    void repair();
    void check();
    void analyze();
    void optimize();
    void backup();
    void restore();
    /// "::" of the dump area: the save-file chooser for the output file.
    void chooseDumpFile();
    void dump();
    /// Closing while a command or the dump runs asks whether to stop it, and waits for its end.
    void reject() override;

private:
    QWidget* buildHead();
    QWidget* buildRepair();
    QWidget* buildAnalysis();
    QWidget* buildCheck();
    QWidget* buildBackup();
    QWidget* buildRestore();
    QWidget* buildDump();
    /// What the table's status statement gave.
    struct StatusRead {
        enum State { Failed, NoResult, NoRow, Found } state = Failed;
        TableStatus table;
    };
    StatusRead readStatusNow();
    void readStatusAtStart();
    /// Sends the conversion and shows its outcome; target is the type text the status must show.
    void sendConversion(const std::string& target);

    /// One maintenance statement as the buttons send it: asked first (when there is a question),
    /// refused with its own message, its verdict row shown in its field.
    struct Command {
        const char* question;
        /// The statement; nothing when it cannot be made (the reason has been shown).
        std::function<std::optional<std::string>()> statement;
        const char* failure;
        /// Where the verdict goes; none for a command whose rows are only taken off the connection.
        QLineEdit* verdict;
    };
    /// NotDone: not sent, or refused (the reason has been shown); Stopped: ended by Stop.
    enum class CommandEnd { NotDone, Stopped, Done, DoneWithError };
    static bool finished(CommandEnd end) {
        return end == CommandEnd::Done || end == CommandEnd::DoneWithError;
    }
    CommandEnd runCommand(const Command& command);
    /// What one maintenance statement left, read beside the window.
    struct StatementEnd {
        int status = 0;
        bool stopped = false;
        bool hasResult = false;
        bool hasRow = false;
        /// The first row's verdict and message type.
        std::string verdict;
        std::string verdictType;
        /// Any row said error, or the statement failed: what it said.
        bool anyError = false;
        std::string errorLine;
    };
    StatementEnd runStatement(const std::string& statement);
    void showRunning();
    /// A backup or restore statement for the directory in the field; nothing when it is empty.
    std::optional<std::string> withDirectory(const QLineEdit* field,
                                             std::string (*statement)(std::string_view, std::string_view));
    void logBackupOrRestore(const char* logName, const QString& directory);
    bool busy() const { return m_work.running(); }

    Connection& m_session;
    Operator& m_op;
    std::string m_database;
    std::string m_table;
    std::string m_tableName;
    QString m_workingDirectory;
    QString m_loginName;
    QString m_hostName;
    QLineEdit* m_type = nullptr;
    QCheckBox* m_repairQuick = nullptr;
    QCheckBox* m_repairExtended = nullptr;
    QLineEdit* m_repairResult = nullptr;
    QLineEdit* m_analysisResult = nullptr;
    QLineEdit* m_lastCheck = nullptr;
    QLineEdit* m_checkResult = nullptr;
    QCheckBox* m_checkQuick = nullptr;
    QCheckBox* m_checkFast = nullptr;
    QCheckBox* m_checkChanged = nullptr;
    QCheckBox* m_checkMedium = nullptr;
    QCheckBox* m_checkExtended = nullptr;
    QLineEdit* m_backupDirectory = nullptr;
    QLineEdit* m_backupResult = nullptr;
    QLineEdit* m_restoreDirectory = nullptr;
    QLineEdit* m_restoreResult = nullptr;
    QLineEdit* m_dumpFile = nullptr;
    WorkProgress* m_dumpProgress = nullptr;
    QPushButton* m_close = nullptr;
    /// Says which statement runs and for how long.
    QLabel* m_running = nullptr;
    QTimer m_runningTick;
    QElapsedTimer m_clock;
    std::string m_runningStatement;
    /// What runs, as the closing question names it.
    QString m_workName;
    /// Every command and the dump run here, one at a time, while the session is theirs.
    BackgroundWork m_work;
};

}  // namespace velkin
