#include "RenameTableDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
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

RenameTableDialog::RenameTableDialog(Connection& connection, Operator& op, const QString& database,
                                     const QString& table, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_database(database), m_table(table) {
    setWindowTitle(QStringLiteral("Table name change"));
    auto* current = namedLineEdit(QStringLiteral("The table name to change"), this);
    current->setText(textf("%s.%s", u8(database), u8(table)));
    current->setReadOnly(true);
    auto* prefix = namedLineEdit(QStringLiteral("A new table name prefix"), this);
    prefix->setText(database + QLatin1Char('.'));
    prefix->setReadOnly(true);
    m_newName = namedLineEdit(QStringLiteral("A new table name"), this);
    m_newName->setText(table);

    auto* ok = namedButton(QStringLiteral("OK"), this);
    ok->setAutoDefault(true);
    ok->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &RenameTableDialog::rename);
    bindStopButton(m_work, cancel, [this] { reject(); }, {ok, m_newName});

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("The table name to change"), this), 0, 0);
    grid->addWidget(current, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("A new table name"), this), 1, 0);
    grid->addWidget(prefix, 1, 1);
    grid->addWidget(m_newName, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(460, 0);
}

void RenameTableDialog::rename() {
    const QString newName = qs(normalizeTypedName(u8(m_newName->text())));
    m_newName->setText(newName);
    const SentStatement sent =
        sendBeside(m_work, m_connection,
                   renameTableStatement(m_connection.dialect(), u8(m_database), u8(m_table), u8(newName)));
    if (sent.stopped)
        m_op.inform(qs(changeStoppedText()), QStringLiteral("Velkin Infomation"), MessageIcon::Stop);
    else if (sent.failed)
        m_op.inform(textf("It has not changed!!\n%s", sent.errorLine), QStringLiteral("Velkin Infomation"),
                    MessageIcon::Stop);
    else
        m_table = newName;
    accept();
}

void RenameTableDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The change of the table")))
        QDialog::reject();
}

}  // namespace velkin
