#pragma once

#include <QDialog>
#include <atomic>
#include <string>
#include <vector>

#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"

class QLineEdit;
class QPushButton;

namespace velkin {

class Connection;
class Operator;
class WorkControl;
class WorkProgress;

/// The database duplicate: creates a new database and copies every table of the current one into
/// it, definitions and rows.
class DatabaseDuplicateDialog : public QDialog {
    Q_OBJECT
public:
    /// login: the session's login values, for the second connection the rows are read on.
    DatabaseDuplicateDialog(Connection& session, Operator& op, const LoginValues& login,
                            const QString& database, QWidget* parent = nullptr);

    /// "Create": makes the copy and closes the dialog with success.
    void create();
    /// The new database's name as the server spells it; valid once the dialog has closed with success.
    QString newDatabase() const;
    /// Closing during a copy asks whether to stop it; the dialog closes only once it has ended.
    void reject() override;

private:
    /// Creates the database and copies into it; false, with the reason in problems, when there is
    /// no new database to copy into. Otherwise problems lists what did not arrive.
    bool copyDatabase(const std::string& typed, std::string& problems, Connection* reader,
                      WorkControl& control);
    /// Recreates the source's views in the new database; what could not be created.
    std::string copyViews(const std::string& actual);
    /// Creates a sequence in the new database (target, quoted) at the value the source has reached.
    std::string copySequence(const std::string& sequence, const std::string& target);
    /// Recreates the triggers of the tables in the new database (target, quoted), after their rows;
    /// what could not be created.
    std::string copyTriggers(const std::vector<std::string>& tables, const std::string& target);

    Connection& m_session;
    Operator& m_op;
    LoginValues m_login;
    std::string m_database;
    std::string m_copiedName;
    QLineEdit* m_newDatabase = nullptr;
    QPushButton* m_createButton = nullptr;
    QPushButton* m_cancel = nullptr;
    WorkProgress* m_progress = nullptr;
    BackgroundWork m_work;
    bool m_copying = false;
};

}  // namespace velkin
