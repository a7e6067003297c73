#pragma once

#include <QDialog>
#include <string>

#include "ColumnDefinition.h"
#include "TypeRuleControls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace velkin {

class Connection;
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScreen();
    void applyTypeRules();
    /// Sends a statement; on refusal shows the failure text with the server's error and says false.
    bool send(const std::string& sql, const char* failure);

    Connection& m_connection;
    Operator& m_op;
    QString m_database;
    QString m_table;

    QLineEdit* m_fieldName = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_default = nullptr;
    QCheckBox* m_unsigned = nullptr;
    QCheckBox* m_zerofill = nullptr;
    QCheckBox* m_binary = nullptr;
    QCheckBox* m_autoInc = nullptr;
    QCheckBox* m_null = nullptr;
    QCheckBox* m_unique = nullptr;
    QLineEdit* m_uniqueName = nullptr;
    QCheckBox* m_primary = nullptr;
    QCheckBox* m_index = nullptr;
    QLineEdit* m_indexName = nullptr;
    TypeRuleControls m_typeRules;
};

}  // namespace velkin
