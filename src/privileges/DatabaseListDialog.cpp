#include "DatabaseListDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "AccountLegend.h"
#include "DatabaseDialog.h"
#include "DatabasePicture.h"
#include "DbDialog.h"
#include "GrantListText.h"
#include "GrantStatements.h"
#include "PictureList.h"
#include "PrivilegePictures.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

DatabaseListDialog::DatabaseListDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op) {
    build();
    fill();
}

void DatabaseListDialog::build() {
    setWindowTitle(QStringLiteral("Database List"));
    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(update, &QPushButton::clicked, this, &DatabaseListDialog::fill);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_databases = pictureList(QStringLiteral("A list of the database currently created"), this);
    m_grants = pictureList(QStringLiteral("The database list which can be accessed"), this);
    connect(m_databases, &QListWidget::itemDoubleClicked, this, &DatabaseListDialog::openDatabase);
    connect(m_grants, &QListWidget::itemDoubleClicked, this, &DatabaseListDialog::openGrant);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    for (QListWidget* list : {m_databases, m_grants}) {
        layout->addWidget(new QLabel(list->objectName(), this));
        layout->addWidget(list, 1);
    }
    layout->addWidget(new AccountLegend(this));
    resize(560, 560);
}

void DatabaseListDialog::fill() {
    if (!m_connection.selectDb("mysql"))
        return;
    QSignalBlocker quietDatabases(m_databases), quietGrants(m_grants);
    m_databases->clear();
    m_grants->clear();
    if (!listDatabases(m_databases, m_connection, m_op, true))
        return;
    if (m_connection.query(allDbRowsQuery()) != 0)
        return;
    Result rows = m_connection.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("There is no data."));
        return;
    }
    const AccountPictures pictures;
    while (Row row = rows.fetchRow())
        m_grants->addItem(pictureEntry(pictures.of(row.text(0)), qs(row.text(1)), qs(row.text(0)), qs(row.text(2))));
}

void DatabaseListDialog::openDatabase(QListWidgetItem* item) {
    if (!item || item->text().isEmpty())
        return;
    DatabaseDialog dialog(m_connection, m_op, item->text(), this);
    m_op.runModal(dialog);
    fill();
}

void DatabaseListDialog::openGrant(QListWidgetItem* item) {
    if (!item)
        return;
    DbDialog dialog(m_connection, m_op, item->data(kSecondText).toString(), item->text(),
                    item->data(kThirdText).toString(), this);
    m_op.runModal(dialog);
    fill();
}

}  // namespace velkin
