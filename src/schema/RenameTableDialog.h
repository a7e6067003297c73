#pragma once

#include <QDialog>

#include "session/BackgroundWork.h"

class QLineEdit;

namespace velkin {

class Connection;
class Operator;

/// "Table name change": renames a table within its database. It always closes with OK, so that the
/// opener takes tableName(): the new name after a rename, the old one after a refusal.
class RenameTableDialog : public QDialog {
    Q_OBJECT
public:
    RenameTableDialog(Connection& connection, Operator& op, const QString& database, const QString& table,
                      QWidget* parent = nullptr);

    /// The table's name as it stands on the server after the dialog.
    QString tableName() const { return m_table; }

    void rename();
    /// Closing while the statement runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

private:
    Connection& m_connection;
    Operator& m_op;
    QString m_database;
    QString m_table;
    QLineEdit* m_newName;
    /// The statement runs here, beside the window; "Cancel" stops it meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
