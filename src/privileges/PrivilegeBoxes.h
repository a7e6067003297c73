#pragma once

#include <QWidget>
#include <vector>

#include "PrivilegeFlags.h"

class QCheckBox;

namespace velkin {

/// The ten check boxes of a mysql.db or mysql.host row, kept in column order and shown in two
/// columns: Select to Create on the left, Drop to Alter on the right.
class PrivilegeBoxes : public QWidget {
    Q_OBJECT
public:
    /// Each box is named namePrefix followed by its label ("db Select", "host Alter").
    PrivilegeBoxes(GrantTable table, const QString& namePrefix, QWidget* parent = nullptr);

    /// Sets each box from a `select *` row of the table, by position.
    void setFromRow(const Row& row);
    std::vector<bool> flags() const;
    /// The flags of the row last set, whatever the boxes show now: what a change starts from.
    const std::vector<bool>& held() const { return m_held; }
    void uncheckAll();
    const std::vector<QCheckBox*>& boxes() const { return m_boxes; }

private:
    GrantTable m_table;
    std::vector<QCheckBox*> m_boxes;
    std::vector<bool> m_held;
};

}  // namespace velkin
