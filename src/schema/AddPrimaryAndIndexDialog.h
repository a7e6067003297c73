#pragma once

#include <QDialog>

#include "SchemaText.h"
#include "session/BackgroundWork.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace velkin {

class Connection;
class Operator;

/// "Add Primary and Index": a primary key, an index or a unique index over fields the operator
/// moves, in key order, from the table's fields to the chosen ones.
class AddPrimaryAndIndexDialog : public QDialog {
    Q_OBJECT
public:
    AddPrimaryAndIndexDialog(Connection& connection, Operator& op, const QString& database,
                             const QString& table, KeyKind mode, QWidget* parent = nullptr);

    KeyKind mode() const { return m_mode; }
    QListWidget* availableFields() const { return m_available; }
    QListWidget* chosenFields() const { return m_chosen; }

    /// Moves the selected field (or the given one) to the end of the other list.
    void choose(QListWidgetItem* item = nullptr);
    void unchoose(QListWidgetItem* item = nullptr);
    void create();
    /// Closing while a statement runs asks whether to stop it; the screen stays until it has ended.
    void reject() override;

private:
    void buildScreen(const QString& database, const QString& table);
    void listFields();
    /// Whether the table has a primary key now (true when the server cannot say).
    bool hasPrimaryKey();

    Connection& m_connection;
    Operator& m_op;
    QString m_database;
    QString m_table;
    KeyKind m_mode;
    QLineEdit* m_indexName = nullptr;
    QListWidget* m_available = nullptr;
    QListWidget* m_chosen = nullptr;
    /// The reads and changes run here, beside the window; "Cancel" stops them meanwhile.
    BackgroundWork m_work;
};

}  // namespace velkin
