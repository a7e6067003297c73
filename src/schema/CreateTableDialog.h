#pragma once

#include <QDialog>
#include <vector>

#include "ColumnDefinition.h"
#include "session/BackgroundWork.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace velkin {

class Connection;
class FieldEditorGroup;
class Operator;

/// "Create New Table": the operator lists the fields, the dialog writes the CREATE TABLE statement
/// into the Query box, and "Create" sends whatever the box then holds.
class CreateTableDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { Name, Type, Length, Unsigned, Zerofill, Null, Primary, Index, Binary, AutoInc, Default };

    CreateTableDialog(Connection& connection, Operator& op, const QString& database,
                      QWidget* parent = nullptr);

    /// The "Table Name" text: the new table's name once the dialog has closed with OK.
    QString tableName() const;
    QTableWidget* fieldList() const { return m_fields; }
    /// The rows of the field list as column definitions.
    std::vector<ColumnDefinition> rows() const;
    /// The statement as "Create" would send it.
    std::string statement() const;
    /// The row that Insert and Delete act on; -1 when none.
    int currentRow() const { return m_currentRow; }

    void addField();
    void insertField();
    void deleteField();
    void selectRow(int row);
    void clearEditor();
    void rebuild();
    void create();
    /// Closing while the statement runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScreen();
    QWidget* buildEditor();
    void fillTableTypes();
    void putField(bool insert);
    void writeRow(int row, const ColumnDefinition& column);
    int rowNamed(const QString& name) const;

    Connection& m_connection;
    Operator& m_op;
    QString m_openedDatabase;
    QString m_rebuiltTable;
    int m_currentRow = -1;

    QTableWidget* m_fields = nullptr;
    FieldEditorGroup* m_editor = nullptr;

    QPlainTextEdit* m_query = nullptr;
    QLineEdit* m_databaseName = nullptr;
    QLineEdit* m_tableName = nullptr;
    QComboBox* m_tableType = nullptr;
    /// The server's table types are read and the table is created here, beside the window; "Cancel"
    /// stops it meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
