#pragma once

#include <QDialog>

class QLineEdit;

namespace velkin {

class Connection;
class Operator;

/// "Create Database": creates a database under the name as typed.
class CreateDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    CreateDatabaseDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// The "Database Name" text: the new database's name once the dialog has closed with OK.
    QString databaseName() const;

    void create();

private:
    Connection& m_connection;
    Operator& m_op;
    QLineEdit* m_name;
};

}  // namespace velkin
