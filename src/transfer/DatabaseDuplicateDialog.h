#pragma once

#include <QDialog>
#include <string>

#include "session/CSorvaneDoc.h"

class QLineEdit;

namespace velkin {

class Connection;
class Operator;

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
    /// The new database's name as typed; valid once the dialog has closed with success.
    QString newDatabase() const;

private:
    Connection& m_session;
    Operator& m_op;
    LoginValues m_login;
    std::string m_database;
    QLineEdit* m_newDatabase = nullptr;
    bool m_copying = false;
};

}  // namespace velkin
