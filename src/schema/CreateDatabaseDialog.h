#pragma once

#include <QDialog>

#include "session/BackgroundWork.h"

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
    /// Closing while the statement runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

private:
    Connection& m_connection;
    Operator& m_op;
    QLineEdit* m_name;
    /// The statement runs here, beside the window; "Cancel" stops it meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
