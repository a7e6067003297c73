#include "FieldAdditionDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "FieldEditorGroup.h"
#include "SchemaText.h"
#include "SchemaWork.h"
#include "ServerColumns.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

FieldAdditionDialog::FieldAdditionDialog(Connection& connection, Operator& op, const QString& database,
                                         const QString& table, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_database(database), m_table(table) {
    setWindowTitle(QStringLiteral("Field addition"));
    buildScreen();
}

void FieldAdditionDialog::buildScreen() {
    m_editor = new FieldEditorGroup({QStringLiteral("Field setup"), QStringLiteral("Field name"),
                                     QStringLiteral("Unique"), QStringLiteral("チェック")},
                                    true, this);

    auto* add = namedButton(QStringLiteral("Add"), this);
    add->setAutoDefault(true);
    add->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(add, &QPushButton::clicked, this, &FieldAdditionDialog::add);
    bindStopButton(m_work, cancel, [this] { reject(); }, {add, m_editor});
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_editor, 1);
    layout->addLayout(buttons);
}

ColumnDefinition FieldAdditionDialog::column() const {
    return m_editor->column();
}

void FieldAdditionDialog::add() {
    WaitCursor wait(m_op);
    const ColumnDefinition c = column();
    m_editor->fieldName()->setText(qs(c.name));
    const std::string indexName = normalizeTypedName(u8(m_editor->indexName()->text()));
    const std::string uniqueName = normalizeTypedName(u8(m_editor->uniqueName()->text()));
    m_editor->indexName()->setText(qs(indexName));
    m_editor->uniqueName()->setText(qs(uniqueName));
    const std::string database = u8(m_database);
    const std::string table = u8(m_table);
    const ServerDialect& dialect = m_connection.dialect();
    // The field's name is not checked here: the server's refusal says more than a message of ours.
    if (!send(addFieldStatement(dialect, database, table, c, valueQuoter(m_connection)),
              "It has not created.\n%s", false))
        return;
    if (c.primaryKey && !send(addFieldKeyStatement(dialect, database, table, KeyKind::Primary, {}, c.name),
                              "Primary key creation was not completed.\n%s", true))
        return;
    if (c.index && !send(addFieldKeyStatement(dialect, database, table, KeyKind::Index, indexName, c.name),
                         "Index creation was not completed.\n%s", true))
        return;
    if (m_editor->unique()->isChecked() &&
        !send(addFieldKeyStatement(dialect, database, table, KeyKind::Unique, uniqueName, c.name),
              "Creation of Unique was not completed.\n%s", true))
        return;
    accept();
}

bool FieldAdditionDialog::send(const std::string& sql, const char* failure, bool fieldAdded) {
    const SentStatement sent = sendBeside(m_work, m_connection, sql);
    if (sent.stopped)
        m_op.inform(qs(changeStoppedText(fieldAdded ? "The field was added" : "")));
    else if (sent.failed)
        m_op.inform(textf(failure, sent.errorLine));
    return !sent.failed;
}

void FieldAdditionDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The change of the table")))
        QDialog::reject();
}

void FieldAdditionDialog::clear() {
    m_editor->clear();
}

}  // namespace velkin
