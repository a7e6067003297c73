#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "LoadDataStatement.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

namespace velkin {

class Connection;
class Operator;

/// "Import from CSV": loads a delimited text file into a chosen table with one LOAD DATA statement
/// that the server carries out.
class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    CsvImportDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// "::": chooses the file and shows its first lines.
    void chooseFile();
    /// "OK": composes and sends the statement; the dialog stays open.
    void import();

    /// The statement the controls describe now.
    std::string statement() const;
    LoadDataOptions options() const;
    /// Fills the format fields with what reads a file of the CSV export in its default form back.
    void useExportSettings();

private:
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
};

/// The first eight lines of a file as the preview shows them, each read as a chunk of at most 1023
/// bytes (a longer line counts as several), line ends unchanged. Nothing when it cannot be opened.
std::optional<std::string> csvPreview(const std::string& path);

}  // namespace velkin
