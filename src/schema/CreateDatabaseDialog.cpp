#include "CreateDatabaseDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "SchemaText.h"
#include "SchemaWork.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

CreateDatabaseDialog::CreateDatabaseDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op) {
    setWindowTitle(QStringLiteral("Create Database"));
    m_name = namedLineEdit(QStringLiteral("Database Name"), this);
    auto* create = namedButton(QStringLiteral("Create"), this);
    create->setAutoDefault(true);
    create->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(create, &QPushButton::clicked, this, &CreateDatabaseDialog::create);
    bindStopButton(m_work, cancel, [this] { reject(); }, {create, m_name});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Database Name"), m_name);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(360, 0);
}

QString CreateDatabaseDialog::databaseName() const {
    return qs(normalizeTypedName(u8(m_name->text())));
}

void CreateDatabaseDialog::create() {
    const QString name = databaseName();
    m_name->setText(name);
    if (name.isEmpty()) {
        m_op.inform(QStringLiteral("The database name to create is inputted."));
        return;
    }
    const SentStatement sent =
        sendBeside(m_work, m_connection, createDatabaseStatement(m_connection.dialect(), u8(name)));
    if (sent.stopped) {
        m_op.inform(qs(creationStoppedText()));
        return;
    }
    if (sent.failed) {
        m_op.inform(textf("It cannot create!!\n%s", sent.errorLine));
        return;
    }
    accept();
}

void CreateDatabaseDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("Creating the database")))
        QDialog::reject();
}

}  // namespace velkin
