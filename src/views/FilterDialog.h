#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace velkin {

class Connection;

/// "Filter": up to three conditions for each column of the current table, however many it has, from which the
/// record list builds its WHERE clause.
class FilterDialog : public QDialog {
    Q_OBJECT
public:
    using ConditionSets = std::array<std::vector<std::string>, 3>;

    FilterDialog(Connection& connection, const std::string& database, const std::string& table,
                 const ConditionSets& conditions, QWidget* parent = nullptr);

    /// The three sets as OK leaves them, by column position, one entry for every column of the table.
    const ConditionSets& conditions() const { return m_conditions; }
    QTableWidget* list() const { return m_list; }
    QLineEdit* conditionEdit(int set) const { return m_conditionEdits[set]; }

    void ok();

private:
    void rowChanged(int row);
    void conditionEdited(int set, const QString& text);

    QTableWidget* m_list;
    QLineEdit* m_fieldName;
    std::array<QLineEdit*, 3> m_conditionEdits{};
    int m_row = -1;
    ConditionSets m_conditions;
};

}  // namespace velkin
