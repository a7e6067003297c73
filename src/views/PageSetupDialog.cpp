#include "PageSetupDialog.h"

#include "session/BackgroundWork.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "PageSetupText.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

PageSetupDialog::PageSetupDialog(Connection& connection, Operator& op, int currentPage, int pageLength,
                                 const std::string& countStatement, QWidget* parent)
    : QDialog(parent), m_op(op), m_page(currentPage), m_pageLength(pageLength) {
    m_pageNumber = namedLineEdit(QStringLiteral("page number"), this);
    m_pageCount = namedLineEdit(QStringLiteral("page count"), this, FieldMode::ReadOnly);
    m_pageLengthField = namedLineEdit(QStringLiteral("page length"), this);
    m_range = namedLineEdit(QStringLiteral("range"), this, FieldMode::ReadOnly);
    m_recordCountField = namedLineEdit(QStringLiteral("Record Count"), this, FieldMode::ReadOnly);
    m_pageNumber->setValidator(new QIntValidator(-999999999, 999999999, this));
    m_pageLengthField->setValidator(new QIntValidator(0, 999999999, this));

    auto* upButton = namedButton(QStringLiteral("Up"), this);
    auto* downButton = namedButton(QStringLiteral("Dwn"), this);
    auto* okButton = namedButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    auto* cancelButton = namedButton(QStringLiteral("Cancel"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_pageNumber, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("/"), this), 0, 1);
    grid->addWidget(m_pageCount, 0, 2);
    grid->addWidget(upButton, 0, 3);
    grid->addWidget(downButton, 0, 4);
    grid->addWidget(m_pageLengthField, 1, 0);
    grid->addWidget(m_range, 1, 2, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Record Count"), this), 2, 0);
    grid->addWidget(m_recordCountField, 2, 2, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 3, 0, 1, 5);

    m_pageNumber->setText(QString::number(currentPage + 1));
    m_pageLengthField->setText(QString::number(pageLength));
    Result counted = besideWindow(connection, [&] { return connection.select(countStatement); });
    if (Row row = counted.fetchRow()) {
        m_recordCountField->setText(qs(row.text(0)));
        m_recordCount = std::stoll("0" + row.str(0));
        m_pageCountValue = pageCountFor(m_recordCount, pageLength);
        m_pageCount->setText(QString::number(m_pageCountValue));
        m_counted = true;
        showRange();
    }

    connect(m_pageNumber, &QLineEdit::textChanged, this, &PageSetupDialog::pageNumberChanged);
    connect(m_pageLengthField, &QLineEdit::textChanged, this, &PageSetupDialog::pageLengthChanged);
    connect(upButton, &QPushButton::clicked, this, &PageSetupDialog::up);
    connect(downButton, &QPushButton::clicked, this, &PageSetupDialog::down);
    connect(okButton, &QPushButton::clicked, this, &PageSetupDialog::ok);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PageSetupDialog::showRange() {
    if (!m_counted)
        return;
    m_range->setText(pageRangeText(m_pageNumber->text().toInt(), m_pageCountValue,
                                   m_pageLengthField->text().toInt(), m_recordCount));
}

void PageSetupDialog::pageNumberChanged() {
    showRange();
}

void PageSetupDialog::pageLengthChanged() {
    const int length = m_pageLengthField->text().toInt();
    if (length == 0 || !m_counted)
        return;
    m_pageCountValue = pageCountFor(m_recordCount, length);
    m_pageCount->setText(QString::number(m_pageCountValue));
    showRange();
}

void PageSetupDialog::up() {
    const int number = m_pageNumber->text().toInt();
    if (number != m_pageCountValue)
        m_pageNumber->setText(QString::number(number + 1));
}

void PageSetupDialog::down() {
    const int number = m_pageNumber->text().toInt();
    if (number != 1)
        m_pageNumber->setText(QString::number(number - 1));
}

void PageSetupDialog::ok() {
    const int number = m_pageNumber->text().toInt();
    // A page before the first would make the list's statement fail: ask for a real page instead.
    if (number < 1) {
        m_op.inform(QStringLiteral("The page number must be 1 or more."));
        return;
    }
    // Without a count there is no last page to hold the choice to.
    PageChoice choice = pageChoiceFor(number, m_pageLengthField->text().toInt(),
                                      m_counted ? m_pageCountValue : std::numeric_limits<int>::max());
    m_page = choice.page;
    m_pageLength = choice.pageLength;
    accept();
}

}  // namespace velkin
