#include "PrivilegeBoxes.h"

#include <QCheckBox>
#include <QGridLayout>

namespace velkin {

PrivilegeBoxes::PrivilegeBoxes(GrantTable table, const QString& namePrefix, QWidget* parent)
    : QWidget(parent), m_table(table) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto& columns = privilegeColumns(table);
    const int perColumn = static_cast<int>(columns.size() + 1) / 2;
    for (size_t i = 0; i < columns.size(); ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(columns[i].label), this);
        box->setObjectName(namePrefix + QString::fromUtf8(columns[i].label));
        m_boxes.push_back(box);
        const int index = static_cast<int>(i);
        grid->addWidget(box, index % perColumn, index / perColumn);
    }
}

void PrivilegeBoxes::setFromRow(const Row& row) {
    const std::vector<bool> on = readFlags(row, m_table);
    for (size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(on[i]);
    m_held = on;
}

std::vector<bool> PrivilegeBoxes::flags() const {
    std::vector<bool> on;
    for (auto* box : m_boxes)
        on.push_back(box->isChecked());
    return on;
}

void PrivilegeBoxes::uncheckAll() {
    for (auto* box : m_boxes)
        box->setChecked(false);
}

}  // namespace velkin
