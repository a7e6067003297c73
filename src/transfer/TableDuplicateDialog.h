#pragma once

#include <QDialog>
#include <string>

#include "CopyCreate.h"
#include "RowCopy.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velkin {

class Connection;
class Operator;
class WorkProgress;

/// "The duplicate of a table": creates a copy of one table's definition under a new name, in a
/// chosen database and optionally of another table type, and copies its rows on request.
class TableDuplicateDialog : public QDialog {
    Q_OBJECT
public:
    /// login: the session's login values, for the second connection the rows are read on.
    TableDuplicateDialog(Connection& session, Operator& op, const LoginValues& login, const QString& database,
                         const QString& table, QWidget* parent = nullptr);

    /// "Create": creates the table from the CREATE box and copies the rows when asked; the dialog
    /// stays open for further copies.
    void create();
    /// "Log": shows the last copy's log.
    void showLog();
    /// Closing during a copy asks whether to stop it; the dialog closes only once it has ended.
    void reject() override;
    /// The copy in progress, which Stop ends.
    BackgroundWork& work() { return m_work; }

    /// The CREATE box's text now.
    QString createText() const;

private:
    void rewriteForNewName();
    void rewriteForTableType();
    RowCopyOutcome copyRows(const CopyDestination& to, std::vector<std::string> notes);
    /// Reads the table status's row count beside the window, for a bar without a count.
    void guessTotal(Connection& source, WorkControl& control);

    Connection& m_session;
    Operator& m_op;
    LoginValues m_login;
    std::string m_database;
    std::string m_table;
    QPlainTextEdit* m_create = nullptr;
    QComboBox* m_destination = nullptr;
    QLineEdit* m_newTable = nullptr;
    QComboBox* m_tableType = nullptr;
    QCheckBox* m_dataCopy = nullptr;
    QLineEdit* m_originalCount = nullptr;
    QLineEdit* m_copiedCount = nullptr;
    QPlainTextEdit* m_logView = nullptr;
    WorkProgress* m_progress = nullptr;
    QPushButton* m_createButton = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_logButton = nullptr;
    BackgroundWork m_work;
    bool m_copying = false;
};

}  // namespace velkin
