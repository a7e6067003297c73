#include "DatabaseListDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "AccountLegend.h"
#include "DatabaseDialog.h"
#include "DbDialog.h"
#include "GrantListText.h"
#include "PictureList.h"
#include "widgets/Pictures.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {
QPushButton* button(const QString& label, QWidget* parent) {
    auto* b = new QPushButton(label, parent);
    b->setObjectName(label);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

DatabaseListDialog::DatabaseListDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op) {
    build();
    fill();
}

void DatabaseListDialog::build() {
    setWindowTitle(QStringLiteral("Database List"));
    auto* update = button(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = button(QStringLiteral("Cancel"), this);
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
    Result dbs = m_connection.listDbs();
    if (!dbs) {
        m_op.inform(qs(m_connection.errorText()));
        return;
    }
    const QIcon database = databasePicture();
    while (Row row = dbs.fetchRow())
        m_databases->insertItem(0, pictureEntry(database, qs(row.text(0))));
    dbs = Result();

    if (m_connection.query("select * from db") != 0)
        return;
    Result rows = m_connection.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("There is no data."));
        return;
    }
    const QIcon pictures[] = {accountPicture(HostClass::Local), accountPicture(HostClass::Global),
                              accountPicture(HostClass::Restricted)};
    while (Row row = rows.fetchRow())
        m_grants->addItem(pictureEntry(pictures[static_cast<int>(hostClassOf(row.text(0)))], qs(row.text(1)),
                                       qs(row.text(0)), qs(row.text(2))));
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
