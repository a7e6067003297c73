#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "SchemaText.h"
#include "session/BackgroundWork.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;

namespace velkin {

class Connection;
class Operator;
class Result;

/// "Table": one table's fields and keys, changed with ALTER TABLE statements; the way into field
/// addition, rename, and the maintenance, duplication and data amount screens of the same table.
class TableEditorDialog : public QDialog {
    Q_OBJECT
public:
    /// Opens another screen for the table. The opener supplies these for the screens that live in
    /// other subsystems; their buttons stay disabled until then.
    using TableAction = std::function<void(QWidget* parent, const QString& database, const QString& table)>;

    enum FieldColumn { Field, Type, Null, Key, Default, Extra };

    TableEditorDialog(Connection& connection, Operator& op, const QString& database, const QString& table,
                      QWidget* parent = nullptr);

    void setMaintenanceAction(TableAction action);
    void setDuplicationAction(TableAction action);
    void setDataAmountAction(TableAction action);

    /// The table's name now, which a rename in the dialog may have changed.
    QString tableName() const { return m_table; }
    QTableWidget* fieldList() const { return m_fields; }
    QTableWidget* keyList() const { return m_keys; }
    QString currentField() const { return m_currentField; }
    QString currentFieldType() const { return m_currentType; }
    QString currentKey() const { return m_currentKey; }

    void reload();
    void selectField(int row);
    void selectKey(int row);
    void updateField();
    void dropField();
    void dropKey();
    void addField();
    void renameTable();
    void addKey(KeyKind kind);
    void openMaintenance();
    void openDuplication();
    void openDataAmount();

    /// The field list's and the key list's context menus; their actions act here.
    void fillFieldMenu(QMenu& menu);
    void fillKeyMenu(QMenu& menu);

    /// Closing while a change runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScreen();
    void showFields(Result& result);
    void showKeys(Result& result);
    /// Sends one change of the table; on refusal says failure with the server's "%d:%s", on Stop that
    /// the table is unchanged. True when it landed.
    bool sendChange(const std::string& sql, const char* failure);
    QString fieldCell(int row, int column) const;
    /// The primary key's fields in key order, as the key list shows them.
    std::vector<std::string> primaryKeyFields() const;
    bool changeField(const std::string& newName);
    void reportUpdateFailure(const std::string& errorLine);
    /// The cell of a key row under the result's column of that name (or at the usual position).
    QString keyCell(int row, const char* column, int usualPosition) const;
    void runAction(const TableAction& action);
    void showMenu(QTableWidget* list, const QPoint& pos, void (TableEditorDialog::*fill)(QMenu&));

    Connection& m_connection;
    Operator& m_op;
    QString m_database;
    QString m_table;
    QString m_currentField;
    QString m_currentType;
    QString m_currentKey;
    /// Whether the chosen field was listed as a key field: the box changes the key only when the
    /// operator changes it.
    bool m_wasPrimary = false;
    TableAction m_maintenance;
    TableAction m_duplication;
    TableAction m_dataAmount;

    QTableWidget* m_fields = nullptr;
    QTableWidget* m_keys = nullptr;
    QLineEdit* m_chosenName = nullptr;
    QCheckBox* m_primary = nullptr;
    QCheckBox* m_null = nullptr;
    QPushButton* m_maintenanceButton = nullptr;
    QPushButton* m_duplicationButton = nullptr;
    QPushButton* m_dataAmountButton = nullptr;
    /// Every read and change of the table runs here, beside the window; "Close" stops it meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
