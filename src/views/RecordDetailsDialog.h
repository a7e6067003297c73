#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/BackgroundWork.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velkin {

class Connection;
class Operator;

/// "Record details": one row of the current table field by field; the row is updated or deleted by
/// its primary key.
class RecordDetailsDialog : public QDialog {
    Q_OBJECT
public:
    /// A cell of the row; nothing for NULL.
    using Value = std::optional<std::string>;

    RecordDetailsDialog(Connection& connection, Operator& op, const std::string& database,
                        const std::string& table, std::vector<Value> values, QWidget* parent = nullptr);

    /// The text after WHERE that identifies the row: the key clause without its first AND.
    std::string whereText() const;
    bool changed() const { return m_changed; }
    void reject() override;
    QTableWidget* list() const { return m_list; }
    const std::vector<Value>& values() const { return m_values; }
    /// Opens the data amount screen for the table; the opener supplies it.
    void setDataAmountOpener(std::function<void()> opener) { m_openDataAmount = std::move(opener); }

    void selectLine(int line);
    void update();
    void deleteRow();
    void close();
    /// Ends the dialog; after a change it ends accepted however it was closed, so that the record
    /// list reads the rows again.
    void done(int result) override;

private:
    /// Sends a change beside the window; the server's "%d:%s" when it refused or was stopped.
    std::optional<std::string> send(const std::string& sql);
    void nullToggled(bool null);
    void fill();
    void lineChanged(int line);

    Connection& m_connection;
    Operator& m_op;
    std::string m_database;
    std::string m_table;
    std::vector<Value> m_values;
    std::vector<std::string> m_notes;
    /// The condition that finds this row by its key; empty when the table has none.
    std::string m_where;
    int m_columnCount = 0;
    int m_line = -1;
    bool m_changed = false;
    BackgroundWork m_work;
    std::function<void()> m_openDataAmount;

    QTableWidget* m_list;
    QLineEdit* m_fieldName;
    QLineEdit* m_type;
    QLineEdit* m_key;
    QLineEdit* m_contents;
    /// Beside the value: the field is NULL rather than a text (an empty box is the empty text).
    QCheckBox* m_null;
    QLineEdit* m_note;
    QPushButton* m_delete;
    QPushButton* m_update;
};

}  // namespace velkin
