#pragma once

#include <QDialog>
#include <initializer_list>
#include <string>
#include <utility>

#include "CsvFormat.h"
#include "session/BackgroundWork.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velkin {

class Connection;
class Operator;
class TextModeFile;
class WorkProgress;

/// The four controls of a choice between fixed entries and the operator's own text: the two radio
/// buttons, the list of fixed choices and the user text, in their group.
struct ChoiceGroup {
    QGroupBox* box;
    QRadioButton* byDefault;
    QComboBox* list;
    QRadioButton* byUser;
    QLineEdit* text;
};

/// "The output to a CSV File": writes the rows of one statement into a delimited text file in the
/// separator and enclosure the operator chooses, with a sample of the first rows.
class CsvExportDialog : public QDialog {
    Q_OBJECT
public:
    /// statement: a SELECT without its own LIMIT or closing semicolon (the sample appends one).
    CsvExportDialog(Connection& connection, Operator& op, const QString& statement,
                    QWidget* parent = nullptr);
    /// The export of a whole table (statement reads database.table): the table's status guesses how
    /// many rows there are, so that the progress can tell how far it has come.
    CsvExportDialog(Connection& connection, Operator& op, const QString& statement, const QString& database,
                    const QString& table, QWidget* parent = nullptr);

    /// "::": the save-file chooser for "File name".
    void chooseFile();
    /// "OK": writes the file; the dialog stays open.
    void write();
    /// Closing while the file is written asks whether to stop; it closes only once writing has ended.
    void reject() override;

    /// The format the controls describe now.
    CsvFormat format() const;
    const std::string& statement() const { return m_statement; }

signals:
    /// A progress text was shown in the "Sample" box during writing.
    void progressShown(const QString& text);

private:
    QWidget* buildSeparatorGroup();
    QWidget* buildEnclosureGroup();
    /// A choice group with these list entries (label, value) whose every change refreshes the sample.
    ChoiceGroup buildChoiceGroup(const QString& title,
                                 std::initializer_list<std::pair<QString, int>> choices);
    void refreshSample();
    void showProgress(long block, long long written);
    /// The table status's guess of the rows of a whole table's export, on the work's thread.
    void guessRows(WorkControl& control);
    /// Streams the statement's rows into the open file and closes it; what went wrong, or empty.
    std::string writeRows(TextModeFile& file);
    /// writeRows' work, beside the window: endText is what the sample box says at the end.
    std::string exportRows(TextModeFile& file, const CsvFormat& fmt, WorkControl& control, QString& endText);

    Connection& m_connection;
    Operator& m_op;
    std::string m_statement;
    QLineEdit* m_fileName = nullptr;
    QRadioButton* m_separatorUser = nullptr;
    QComboBox* m_separatorList = nullptr;
    QLineEdit* m_separatorText = nullptr;
    QRadioButton* m_enclosureUser = nullptr;
    QComboBox* m_enclosureList = nullptr;
    QLineEdit* m_enclosureText = nullptr;
    QComboBox* m_nullText = nullptr;
    QPlainTextEdit* m_sample = nullptr;
    /// Changes compute a sample only once the dialog has opened.
    bool m_sampleReady = false;
    /// Set while a file is written: one file at a time, and no sample query on the busy session.
    bool m_writing = false;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    WorkProgress* m_progress = nullptr;
    std::string m_sourceDatabase;
    std::string m_sourceTable;
    BackgroundWork m_work;
};

}  // namespace velkin
