#include "FieldAdditionDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "SchemaText.h"
#include "widgets/Kit.h"
#include "ServerColumns.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

FieldAdditionDialog::FieldAdditionDialog(Connection& connection, Operator& op, const QString& database,
                                         const QString& table, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_database(database), m_table(table) {
    setWindowTitle(QStringLiteral("Field addition"));
    buildScreen();
}

void FieldAdditionDialog::buildScreen() {
    auto* group = new QGroupBox(QStringLiteral("Field setup"), this);
    group->setObjectName(QStringLiteral("Field setup"));
    m_fieldName = namedLineEdit(QStringLiteral("Field name"), group);
    m_type = new QComboBox(group);
    m_type->setObjectName(QStringLiteral("Type"));
    for (const std::string& type : columnTypes())
        m_type->addItem(qs(type));
    m_type->setCurrentIndex(-1);
    m_type->installEventFilter(this);
    connect(m_type, &QComboBox::activated, this, &FieldAdditionDialog::applyTypeRules);
    m_length = namedLineEdit(QStringLiteral("Length"), group);
    m_default = namedLineEdit(QStringLiteral("Default"), group);
    m_unsigned = namedCheckBox(QStringLiteral("UNSIGNED"), group);
    m_zerofill = namedCheckBox(QStringLiteral("ZEROFILL"), group);
    m_binary = namedCheckBox(QStringLiteral("BINARY"), group);
    m_autoInc = namedCheckBox(QStringLiteral("AUTO_INC"), group);
    m_null = namedCheckBox(QStringLiteral("NULL"), group);
    m_unique = namedCheckBox(QStringLiteral("Unique"), group);
    m_uniqueName = namedLineEdit(QStringLiteral("Unique name"), group);
    m_primary = namedCheckBox(QStringLiteral("Primary Key"), group);
    m_index = namedCheckBox(QStringLiteral("Index"), group);
    m_indexName = namedLineEdit(QStringLiteral("Index name"), group);
    m_typeRules = {m_length, m_unsigned, m_zerofill, m_binary, m_default};

    // References and checks cannot be given to an added field here; their controls stay disabled.
    auto* reference = namedCheckBox(QStringLiteral("Reference"), group);
    auto* referenceName = namedLineEdit(QStringLiteral("Reference name"), group);
    auto* browse = namedButton(QStringLiteral("..."), group);
    auto* check = namedCheckBox(QStringLiteral("チェック"), group);
    auto* checkText = namedLineEdit(QStringLiteral("チェック name"), group);
    for (QWidget* w : std::initializer_list<QWidget*>{reference, referenceName, browse, check, checkText})
        w->setEnabled(false);

    auto* clear = namedButton(QStringLiteral("Clear"), group);
    connect(clear, &QPushButton::clicked, this, &FieldAdditionDialog::clear);

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Field name"), group), 0, 0);
    grid->addWidget(m_fieldName, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Type"), group), 0, 2);
    grid->addWidget(m_type, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Length"), group), 1, 0);
    grid->addWidget(m_length, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Default"), group), 1, 2);
    grid->addWidget(m_default, 1, 3);
    auto* flags = new QHBoxLayout;
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null})
        flags->addWidget(box);
    flags->addStretch();
    grid->addLayout(flags, 2, 0, 1, 4);
    grid->addWidget(m_unique, 3, 0);
    grid->addWidget(m_uniqueName, 3, 1);
    grid->addWidget(m_primary, 3, 2);
    grid->addWidget(m_index, 4, 0);
    grid->addWidget(m_indexName, 4, 1);
    auto* referenceRow = new QHBoxLayout;
    referenceRow->addWidget(referenceName);
    referenceRow->addWidget(browse);
    grid->addWidget(reference, 5, 0);
    grid->addLayout(referenceRow, 5, 1);
    grid->addWidget(check, 5, 2);
    grid->addWidget(checkText, 5, 3);
    grid->addWidget(clear, 6, 3);

    auto* add = namedButton(QStringLiteral("Add"), this);
    add->setAutoDefault(true);
    add->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(add, &QPushButton::clicked, this, &FieldAdditionDialog::add);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
}

ColumnDefinition FieldAdditionDialog::column() const {
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

void FieldAdditionDialog::add() {
    WaitCursor wait(m_op);
    const ColumnDefinition c = column();
    m_fieldName->setText(qs(c.name));
    const std::string indexName = normalizeTypedName(u8(m_indexName->text()));
    const std::string uniqueName = normalizeTypedName(u8(m_uniqueName->text()));
    m_indexName->setText(qs(indexName));
    m_uniqueName->setText(qs(uniqueName));
    const std::string database = u8(m_database);
    const std::string table = u8(m_table);
    const ServerDialect& dialect = m_connection.dialect();
    // The field's name is not checked here: the server's refusal says more than a message of ours.
    if (!send(addFieldStatement(dialect, database, table, c, valueQuoter(m_connection)),
              "It has not created.\n%d:%s"))
        return;
    if (m_primary->isChecked() &&
        !send(addFieldKeyStatement(dialect, database, table, KeyKind::Primary, {}, c.name),
              "Primary key creation was not completed.\n%d:%s"))
        return;
    if (m_index->isChecked() &&
        !send(addFieldKeyStatement(dialect, database, table, KeyKind::Index, indexName, c.name),
              "Index creation was not completed.\n%d:%s"))
        return;
    if (m_unique->isChecked() &&
        !send(addFieldKeyStatement(dialect, database, table, KeyKind::Unique, uniqueName, c.name),
              "Creation of Unique was not completed.\n%d:%s"))
        return;
    accept();
}

bool FieldAdditionDialog::send(const std::string& sql, const char* failure) {
    if (m_connection.query(sql) == 0)
        return true;
    m_op.inform(textf(failure, m_connection.errorNumber(), m_connection.errorText()));
    return false;
}

void FieldAdditionDialog::clear() {
    m_fieldName->clear();
    m_type->setCurrentIndex(-1);
    m_length->clear();
    m_default->clear();
    m_indexName->clear();
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null, m_primary, m_index, m_unique})
        box->setChecked(false);
    m_fieldName->setFocus();
}

void FieldAdditionDialog::applyTypeRules() {
    m_typeRules.apply(m_type->currentText());
}

bool FieldAdditionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_type && isFocusLoss(event))
        applyTypeRules();
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
