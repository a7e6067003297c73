#include "SystemVariablesDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "MonitorText.h"
#include "VariableExplanations.h"
#include "session/BackgroundWork.h"
#include "session/Connection.h"
#include "session/InputPause.h"
#include "session/SqlText.h"

#include <algorithm>

namespace velkin {

namespace {
constexpr int kNameWidth = 150;
}  // namespace

SystemVariablesDialog::SystemVariablesDialog(Connection& connection, QWidget* parent)
    : QDialog(parent), m_connection(connection) {
    setWindowTitle(QStringLiteral("System variable list"));

    m_list = new QTableWidget(0, 2, this);
    m_list->setObjectName(QStringLiteral("System variable list"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("Variable"), QStringLiteral("Value")});
    m_list->setColumnWidth(0, kNameWidth);
    m_list->setColumnWidth(1, 500);
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { showExplanation(row); });

    m_explanation = new QLineEdit(this);
    m_explanation->setObjectName(QStringLiteral("Explanation :"));
    m_explanation->setReadOnly(true);
    auto* explanationLine = new QHBoxLayout;
    explanationLine->addWidget(new QLabel(QStringLiteral("Explanation :"), this));
    explanationLine->addWidget(m_explanation, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Kept for the Escape key and the close box, which cancel as in any dialog; only OK is offered.
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->hide();
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(explanationLine);
    layout->addLayout(buttons);
    resize(700, 450);

    Pairs variables;
    Pairs help;
    read(variables, help);
    fill(variables);
    takeHelp(help);
}

void SystemVariablesDialog::read(Pairs& variables, Pairs& help) {
    Connection* connection = &m_connection;
    BackgroundWork work;
    const InputPause pause;
    work.run({connection}, [connection, &variables, &help](WorkControl&) {
        if (connection->query(variablesStatement()) == 0)
            if (Result result = connection->storeResult())
                while (Row row = result.fetchRow())
                    variables.emplace_back(row.str(0), row.str(1));
        // Help tables are optional (and may be closed to the account): without them the fixed
        // explanations stand.
        if (connection->query(variableHelpStatement()) != 0)
            return;
        Result result = connection->storeResult();
        while (Row row = result.fetchRow())
            if (!row.isNull(1))
                help.emplace_back(row.str(0), row.str(1));
    });
}

void SystemVariablesDialog::takeHelp(const Pairs& help) {
    for (const auto& [name, text] : help)
        m_help.insert(textf("%s", name).toLower(), helpLine(textf("%s", text)));
}

void SystemVariablesDialog::fill(const Pairs& variables) {
    for (const auto& [variable, setting] : variables) {
        const int at = m_list->rowCount();
        m_list->insertRow(at);
        auto* name = new QTableWidgetItem(textf("%s", variable));
        name->setToolTip(name->text());
        m_list->setItem(at, 0, name);
        auto* value = new QTableWidgetItem(textf("%s", setting));
        // Long values (paths, flag lists) are cut in the cell; the tip shows them whole.
        value->setToolTip(value->text());
        m_list->setItem(at, 1, value);
    }
    m_list->sortItems(0, Qt::AscendingOrder);
    // The names are the key to the list: the column is as wide as the longest (the operator can
    // still drag it), never narrower than it starts.
    m_list->resizeColumnToContents(0);
    m_list->setColumnWidth(0, std::max(m_list->columnWidth(0), kNameWidth));
}

void SystemVariablesDialog::showExplanation(int row) {
    const QTableWidgetItem* name = row >= 0 ? m_list->item(row, 0) : nullptr;
    if (!name)
        return;
    const QString help = m_help.value(name->text().toLower());
    m_explanation->setText(help.isEmpty() ? variableExplanation(name->text()) : help);
    m_explanation->setCursorPosition(0);
    m_explanation->setToolTip(help);
}

}  // namespace velkin
