#pragma once

#include <QDialog>
#include <QTimer>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "LoadDataStatement.h"
#include "session/BackgroundWork.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

namespace velkin {

class Connection;
class Operator;
class WorkProgress;

/// "Import from CSV": loads a delimited text file into a chosen table with one LOAD DATA statement
/// that the server carries out. A file of the client is read by the program, which tells a bare NULL
/// from an enclosed text of the same letters and hands the server its records in the server's own
/// row form; a file of the server's host is the server's to read. The statement runs beside the
/// window, which shows how far the file has gone and answers Stop.
class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    CsvImportDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// "::": chooses the file and shows its first lines.
    void chooseFile();
    /// "OK": composes and sends the statement; the dialog stays open.
    void import();
    /// Closing while the import runs asks whether to stop it; it closes only once the import has ended.
    void reject() override;

    /// The statement the controls describe now.
    std::string statement() const;
    LoadDataOptions options() const;
    /// Fills the format fields with what reads a file of the CSV export in its default form back.
    void useExportSettings();

private:
    /// How one run of the statement ended, learnt beside the window before anything else is sent.
    struct LoadEnd {
        int status = 0;
        bool stopped = false;
        unsigned errorNumber = 0;
        std::string errorText;
        std::string errorLine;
        std::string info;
        std::string firstWarning;
        std::optional<bool> transactional;
        std::optional<unsigned long long> tableRecords;
        std::optional<unsigned long long> keptRecords;
        unsigned long long bytesSent = 0;
        std::string readError;
        /// What the program's reading of a file of the client found that the table cannot hold.
        std::string readWarnings;
        /// What a file the server read may have lost to the NULL spelling.
        std::string serverNullWarning;
    };
    /// Runs the statement beside the window; file: the local file the program reads and hands over
    /// in the server's row form, or none when the server reads a file of its own.
    LoadEnd runLoad(const std::string& sql, const LoadDataOptions& options, std::ifstream* file,
                    unsigned long long fileBytes);
    /// runLoad's work, on the work's thread.
    LoadEnd sendLoad(const std::string& sql, const LoadDataOptions& options, std::ifstream* file,
                     WorkControl& control);
    /// What the server kept after a load that did not end normally.
    void learnWhatStayed(LoadEnd& end, bool clientEndedFile);
    void report(const LoadEnd& end, unsigned long long fileBytes);
    void showProgress(unsigned long long sent, unsigned long long lines);
    void fillDatabases();
    void chooseDatabase(QListWidgetItem* item);
    void chooseTable(QListWidgetItem* item);
    void showPreview(const QString& path);
    void loadColumns();
    void showNullNote();
    std::string nullSpelling() const;

    Connection& m_connection;
    Operator& m_op;
    std::string m_database;
    std::string m_table;
    /// The fields of the chosen table's rows, for turning the NULL spelling back into NULL and
    /// dropping what the server computes.
    std::vector<LoadField> m_fields;
    QLineEdit* m_fileName = nullptr;
    QCheckBox* m_local = nullptr;
    QCheckBox* m_lowPriority = nullptr;
    QCheckBox* m_replace = nullptr;
    QLineEdit* m_terminated = nullptr;
    QLineEdit* m_enclosed = nullptr;
    QLineEdit* m_escaped = nullptr;
    QLineEdit* m_linesTerminated = nullptr;
    QLineEdit* m_ignoreLines = nullptr;
    QLineEdit* m_nullText = nullptr;
    QLabel* m_nullNote = nullptr;
    QLineEdit* m_target = nullptr;
    QListWidget* m_databases = nullptr;
    QListWidget* m_tables = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    WorkProgress* m_progress = nullptr;
    /// The file's size and the records sent so far while it is sent, for its progress.
    unsigned long long m_fileBytes = 0;
    unsigned long long m_lines = 0;
    /// Tells the time while the server reads a file of its own, which reports no progress.
    QTimer m_serverTick;
    BackgroundWork m_work;
};

/// The first eight lines of a file as the preview shows them, each read as a chunk of at most 1023
/// bytes (a longer line counts as several), line ends unchanged. Nothing when it cannot be opened.
std::optional<std::string> csvPreview(const std::string& path);

}  // namespace velkin
