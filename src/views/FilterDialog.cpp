#include "FilterDialog.h"

#include "session/BackgroundWork.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "RecordListText.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

FilterDialog::FilterDialog(Connection& connection, const std::string& database, const std::string& table,
                           const ConditionSets& conditions, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Filter"));
    m_conditions = conditions;

    m_list = reportList(QStringLiteral("columns"),
                        {{"Field", 200}, {"Conditions 1", 200}, {"Conditions 2", 200}, {"Conditions 3", 200}},
                        this);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->setShowGrid(true);

    auto* grid = new QGridLayout;
    // The field's label is "Field"; the box keeps its own name, apart from the list's header.
    m_fieldName = namedLineEdit(QStringLiteral("field name"), this, FieldMode::ReadOnly);
    grid->addWidget(new QLabel(QStringLiteral("Field"), this), 0, 0);
    grid->addWidget(m_fieldName, 0, 1);
    for (int set = 0; set < 3; ++set) {
        m_conditionEdits[set] =
            labelledField(grid, set + 1, QStringLiteral("Conditions %1").arg(set + 1), this);
        m_conditionEdits[set]->setPlaceholderText(filterHintText());
        connect(m_conditionEdits[set], &QLineEdit::textEdited, this,
                [this, set](const QString& text) { conditionEdited(set, text); });
    }
    // A bare value ("Osaka") is not a condition; the person sees what the box expects before typing.
    auto* hint = new QLabel(
        QStringLiteral("A condition follows the field's name, for example: %1").arg(filterHintText()), this);
    hint->setObjectName(QStringLiteral("filter hint"));
    hint->setWordWrap(true);
    grid->addWidget(hint, 4, 0, 1, 2);
    auto* okButton = namedButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    auto* cancelButton = namedButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(840, 420);

    const auto fields = besideWindow(connection, [&] { return readFieldLines(connection, database, table); });
    int row = 0;
    for (const FieldLine& field : fields.value_or(std::vector<FieldLine>())) {
        m_list->insertRow(row);
        m_list->setItem(row, 0, new QTableWidgetItem(qs(field.name())));
        for (auto& set : m_conditions)
            if (static_cast<int>(set.size()) <= row)
                set.resize(row + 1);
        for (int set = 0; set < 3; ++set)
            m_list->setItem(row, set + 1, new QTableWidgetItem(qs(m_conditions[set][row])));
        ++row;
    }

    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int current, int, int, int) { rowChanged(current); });
    connect(okButton, &QPushButton::clicked, this, &FilterDialog::ok);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void FilterDialog::rowChanged(int row) {
    if (row < 0)
        return;
    m_row = row;
    m_fieldName->setText(m_list->item(row, 0)->text());
    for (int set = 0; set < 3; ++set)
        m_conditionEdits[set]->setText(m_list->item(row, set + 1)->text());
    m_conditionEdits[0]->setFocus();
}

void FilterDialog::conditionEdited(int set, const QString& text) {
    // Typed before any row was chosen, a condition belongs to no column: it is not kept.
    if (m_row < 0)
        return;
    m_list->item(m_row, set + 1)->setText(text);
}

void FilterDialog::ok() {
    for (int row = 0; row < m_list->rowCount(); ++row)
        for (int set = 0; set < 3; ++set)
            m_conditions[set][row] = u8(m_list->item(row, set + 1)->text());
    accept();
}

}  // namespace velkin
