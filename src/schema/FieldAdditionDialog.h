#pragma once

#include <QDialog>
#include <string>

#include "ColumnDefinition.h"
#include "session/BackgroundWork.h"

namespace velkin {

class Connection;
class FieldEditorGroup;
class Operator;

/// "Field addition": adds one field to an existing table and, on request, makes it a primary key,
/// an index and a unique index, each with a statement of its own sent after the one before succeeded.
class FieldAdditionDialog : public QDialog {
    Q_OBJECT
public:
    FieldAdditionDialog(Connection& connection, Operator& op, const QString& database, const QString& table,
                        QWidget* parent = nullptr);

    /// The field as the editor describes it now.
    ColumnDefinition column() const;

    void add();
    void clear();
    /// Closing while a statement runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

private:
    void buildScreen();
    /// Sends a statement; on refusal shows the failure text with the server's error and says false.
    /// The statements before it landed: a stop says so, and that the rest was not done.
    bool send(const std::string& sql, const char* failure, bool fieldAdded);

    Connection& m_connection;
    Operator& m_op;
    QString m_database;
    QString m_table;

    FieldEditorGroup* m_editor = nullptr;
    /// The statements run here, beside the window; "Cancel" stops them meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
