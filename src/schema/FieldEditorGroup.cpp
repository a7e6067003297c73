#include "FieldEditorGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "SchemaText.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

FieldEditorGroup::FieldEditorGroup(const Labels& labels, bool namedKeys, QWidget* parent)
    : QGroupBox(labels.title, parent) {
    setObjectName(labels.title);
    m_fieldName = namedLineEdit(labels.fieldName, this);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("Type"));
    for (const std::string& type : columnTypes())
        m_type->addItem(qs(type));
    m_type->setCurrentIndex(-1);
    m_type->installEventFilter(this);
    connect(m_type, &QComboBox::activated, this, &FieldEditorGroup::applyTypeRules);
    m_length = namedLineEdit(QStringLiteral("Length"), this);
    m_default = namedLineEdit(QStringLiteral("Default"), this);
    m_unsigned = namedCheckBox(QStringLiteral("UNSIGNED"), this);
    m_zerofill = namedCheckBox(QStringLiteral("ZEROFILL"), this);
    m_binary = namedCheckBox(QStringLiteral("BINARY"), this);
    m_autoInc = namedCheckBox(QStringLiteral("AUTO_INC"), this);
    m_null = namedCheckBox(QStringLiteral("NULL"), this);
    m_primary = namedCheckBox(QStringLiteral("Primary Key"), this);
    m_index = namedCheckBox(QStringLiteral("Index"), this);
    m_indexName = namedLineEdit(QStringLiteral("Index name"), this);
    m_unique = namedCheckBox(labels.unique, this);
    m_uniqueName = namedLineEdit(labels.unique + QStringLiteral(" name"), this);
    m_typeRules = {m_length, m_unsigned, m_zerofill, m_binary, m_default};

    // References and checks are not part of a field's design here; their controls show where they
    // would go and stay disabled.
    m_reference = namedCheckBox(QStringLiteral("Reference"), this);
    auto* referenceName = namedLineEdit(QStringLiteral("Reference name"), this);
    auto* browse = namedButton(QStringLiteral("..."), this);
    m_check = namedCheckBox(labels.check, this);
    auto* checkText = namedLineEdit(labels.check + QStringLiteral(" name"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_reference, referenceName, browse, m_check, checkText})
        w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{m_indexName, m_unique, m_uniqueName})
        w->setEnabled(namedKeys);

    auto* clearButton = namedButton(QStringLiteral("Clear"), this);
    connect(clearButton, &QPushButton::clicked, this, &FieldEditorGroup::clear);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(labels.fieldName, this), 0, 0);
    grid->addWidget(m_fieldName, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Type"), this), 0, 2);
    grid->addWidget(m_type, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Length"), this), 1, 0);
    grid->addWidget(m_length, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Default"), this), 1, 2);
    grid->addWidget(m_default, 1, 3);
    auto* flags = new QHBoxLayout;
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null, m_primary})
        flags->addWidget(box);
    flags->addStretch();
    grid->addLayout(flags, 2, 0, 1, 4);
    grid->addWidget(m_index, 3, 0);
    grid->addWidget(m_indexName, 3, 1);
    grid->addWidget(m_unique, 3, 2);
    grid->addWidget(m_uniqueName, 3, 3);
    auto* referenceRow = new QHBoxLayout;
    referenceRow->addWidget(referenceName);
    referenceRow->addWidget(browse);
    grid->addWidget(m_reference, 4, 0);
    grid->addLayout(referenceRow, 4, 1);
    grid->addWidget(m_check, 4, 2);
    grid->addWidget(checkText, 4, 3);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch();
    m_buttons->addWidget(clearButton);
    grid->addLayout(m_buttons, 5, 0, 1, 4);
}

QPushButton* FieldEditorGroup::addButton(const QString& label) {
    auto* button = namedButton(label, this);
    m_buttons->addWidget(button);
    return button;
}

ColumnDefinition FieldEditorGroup::column() const {
    ColumnDefinition c;
    c.name = normalizeTypedName(u8(m_fieldName->text()));
    c.type = u8(m_type->currentText());
    c.length = u8(m_length->text());
    c.defaultValue = u8(m_default->text());
    c.isUnsigned = m_unsigned->isChecked();
    c.zerofill = m_zerofill->isChecked();
    c.binary = m_binary->isChecked();
    c.autoIncrement = m_autoInc->isChecked();
    c.null = m_null->isChecked();
    c.primaryKey = m_primary->isChecked();
    c.index = m_index->isChecked();
    return c;
}

void FieldEditorGroup::load(const ColumnDefinition& c) {
    m_fieldName->setText(qs(c.name));
    m_type->setCurrentIndex(m_type->findText(qs(c.type), Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_length->setText(qs(c.length));
    m_default->setText(qs(c.defaultValue));
    m_unsigned->setChecked(c.isUnsigned);
    m_zerofill->setChecked(c.zerofill);
    m_null->setChecked(c.null);
    m_primary->setChecked(c.primaryKey);
    m_index->setChecked(c.index);
    m_binary->setChecked(c.binary);
    m_autoInc->setChecked(c.autoIncrement);
    applyTypeRules();
}

void FieldEditorGroup::clear() {
    m_fieldName->clear();
    m_type->setCurrentIndex(-1);
    for (QLineEdit* edit : {m_length, m_default, m_indexName})
        edit->clear();
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null, m_primary, m_index, m_unique,
                           m_reference, m_check})
        box->setChecked(false);
    m_fieldName->setFocus();
}

void FieldEditorGroup::applyTypeRules() {
    m_typeRules.apply(m_type->currentText());
}

bool FieldEditorGroup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_type && isFocusLoss(event))
        applyTypeRules();
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace velkin
