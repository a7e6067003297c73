#include "FilterDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

FilterDialog::FilterDialog(Connection& connection, const std::string& database, const std::string& table,
                           const ConditionSets& conditions, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Filter"));
    m_conditions = conditions;

    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QStringLiteral("columns"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Conditions 1"),
                                       QStringLiteral("Conditions 2"), QStringLiteral("Conditions 3")});
    for (int c = 0; c < 4; ++c) m_list->setColumnWidth(c, 200);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_fieldName = new QLineEdit(this);
    m_fieldName->setObjectName(QStringLiteral("field name"));
    m_fieldName->setReadOnly(true);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Field"), this), 0, 0);
    grid->addWidget(m_fieldName, 0, 1);
    for (int set = 0; set < 3; ++set) {
        const QString name = QStringLiteral("Conditions %1").arg(set + 1);
        m_conditionEdits[set] = new QLineEdit(this);
        m_conditionEdits[set]->setObjectName(name);
        grid->addWidget(new QLabel(name, this), set + 1, 0);
        grid->addWidget(m_conditionEdits[set], set + 1, 1);
        connect(m_conditionEdits[set], &QLineEdit::textEdited, this,
                [this, set](const QString& text) { conditionEdited(set, text); });
    }
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("OK"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(840, 420);

    Result fields = connection.select(sqlf("SHOW fields FROM %s", qualifiedName(connection, database, table)));
    int row = 0;
    while (Row field = fields.fetchRow()) {
        m_list->insertRow(row);
        m_list->setItem(row, 0, new QTableWidgetItem(qs(field.text(0))));
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
    if (row < 0) return;
    m_row = row;
    m_fieldName->setText(m_list->item(row, 0)->text());
    for (int set = 0; set < 3; ++set) m_conditionEdits[set]->setText(m_list->item(row, set + 1)->text());
    m_conditionEdits[0]->setFocus();
}

void FilterDialog::conditionEdited(int set, const QString& text) {
    // Typed before any row was chosen, a condition belongs to no column: it is not kept.
    if (m_row < 0) return;
    m_list->item(m_row, set + 1)->setText(text);
}

void FilterDialog::ok() {
    for (int row = 0; row < m_list->rowCount(); ++row)
        for (int set = 0; set < 3; ++set) m_conditions[set][row] = u8(m_list->item(row, set + 1)->text());
    accept();
}

}  // namespace velkin
