#include "DatabaseDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AccountStatements.h"
#include "GrantStatements.h"
#include "HoverSelection.h"
#include "PictureList.h"
#include "PrivilegeBoxes.h"
#include "PrivilegeFlags.h"
#include "UserTableStatements.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

DatabaseDialog::DatabaseDialog(Connection& connection, Operator& op, const QString& database, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
      m_database(database) {
    build();
    fillGrantedUsers();
    fillUserList();
}

void DatabaseDialog::build() {
    setWindowTitle(QStringLiteral("Database"));

    auto* name = namedLineEdit(QStringLiteral("Database name"), this, FieldMode::ReadOnly);
    name->setText(m_database);

    m_accounts = new QTableWidget(0, 2, this);
    m_accounts->setObjectName(QStringLiteral("User List"));
    m_accounts->setHorizontalHeaderLabels({QStringLiteral("Host"), QStringLiteral("User")});
    m_accounts->setColumnWidth(0, 100);
    m_accounts->setColumnWidth(1, 100);
    m_accounts->verticalHeader()->hide();
    m_accounts->setShowGrid(true);
    m_accounts->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_accounts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_accounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hover = new HoverSelection(m_accounts, true);
    connect(m_accounts, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { addAccount(row); });

    auto* setup = new QGroupBox(QStringLiteral("User setup"), this);
    m_granted = pictureList(QStringLiteral("The general user name which can be used"), setup);
    connect(m_granted, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = m_granted->selectedItems();
        if (!selected.isEmpty())
            chooseUser(selected.first());
    });
    m_host = namedLineEdit(QStringLiteral("Host"), setup);
    m_host->setMaxLength(255);
    m_boxes = new PrivilegeBoxes(GrantTable::Db, QStringLiteral("db "), setup);
    auto* update = namedButton(QStringLiteral("Update"), setup);
    auto* remove = namedButton(QStringLiteral("Delete"), setup);
    connect(update, &QPushButton::clicked, this, &DatabaseDialog::update);
    connect(remove, &QPushButton::clicked, this, &DatabaseDialog::deleteGrant);

    auto* setupGrid = new QGridLayout(setup);
    setupGrid->addWidget(new QLabel(QStringLiteral("The general user name which can be used"), setup), 0, 0);
    setupGrid->addWidget(m_granted, 1, 0, 4, 1);
    setupGrid->addWidget(new QLabel(QStringLiteral("Host"), setup), 1, 1);
    setupGrid->addWidget(m_host, 1, 2);
    setupGrid->addWidget(m_boxes, 2, 1, 1, 2);
    setupGrid->addWidget(update, 3, 1);
    setupGrid->addWidget(remove, 3, 2);
    setupGrid->setColumnStretch(0, 1);

    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Database name"), this), 0, 0);
    top->addWidget(name, 0, 1);
    top->addWidget(cancel, 0, 2);
    top->addWidget(new QLabel(QStringLiteral("User List"), this), 1, 0, 1, 3);
    top->addWidget(m_accounts, 2, 0, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(setup, 1);
    resize(560, 620);
}

void DatabaseDialog::keyPressEvent(QKeyEvent* event) {
    // The OK button is hidden, yet Enter still closes the dialog as OK.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DatabaseDialog::fillGrantedUsers() {
    Result rows = m_steps.readRows(databaseDbRowsQuery(m_connection, u8(m_database)));
    if (!rows)
        return;
    QSignalBlocker quiet(m_granted);
    m_granted->clear();
    const QIcon picture = userPicture();
    while (Row row = rows.fetchRow())
        m_granted->insertItem(0, pictureEntry(picture, qs(row.text(2)), qs(row.text(0))));
}

void DatabaseDialog::fillUserList() {
    m_accounts->setRowCount(0);
    m_accounts->setHorizontalHeaderLabels({QStringLiteral("Host"), QStringLiteral("User")});
    // Roles are not accounts that one logs in with; they are offered nowhere.
    Result rows = m_steps.readRows(accountKeysQuery(m_connection.dialect()));
    if (!rows)
        return;
    while (Row row = rows.fetchRow()) {
        m_accounts->insertRow(0);
        m_accounts->setItem(0, 0, new QTableWidgetItem(qs(row.text(0))));
        m_accounts->setItem(0, 1, new QTableWidgetItem(qs(row.text(1))));
    }
}

void DatabaseDialog::chooseUser(QListWidgetItem* item) {
    if (!item)
        return;
    m_selectedHost = item->data(kSecondText).toString();
    m_selectedUser = item->text();
    if (!m_steps.useGrantDatabase(false))
        return;
    m_steps.loadRow(dbRowQuery(m_connection, u8(m_database), u8(m_selectedHost), u8(m_selectedUser)),
                    [this](const Row& row) {
                        m_host->setText(qs(row.text(0)));
                        m_boxes->setFromRow(row);
                    });
}

void DatabaseDialog::clearChoice() {
    m_selectedUser.clear();
    m_host->clear();
    m_boxes->uncheckAll();
}

void DatabaseDialog::update() {
    if (!m_steps.confirmChosen(m_selectedUser, QStringLiteral("A user is chosen."),
                               "May I update truly?(%s)"))
        return;
    const DatabaseEntry from{u8(m_database), u8(m_selectedHost), u8(m_selectedUser)};
    const DatabaseEntry to{u8(m_database), u8(m_host->text()), u8(m_selectedUser)};
    // The bare table name relies on mysql being the default database since the user was loaded.
    const std::string sql = dbRowUpdate(m_connection, {false, false, true}, from, to, m_boxes->flags());
    if (!m_steps.changeDatabaseEntry(from, m_boxes->held(), to, m_boxes->flags(), sql,
                                     QStringLiteral("It failed in updating.")))
        return;
    fillGrantedUsers();
    clearChoice();
    m_op.inform(QStringLiteral("The database was updated."));
}

void DatabaseDialog::deleteGrant() {
    if (!m_steps.confirmChosen(m_selectedUser, QStringLiteral("A user is chosen."),
                               "May I delete truly?(%s)"))
        return;
    if (!m_steps.removeDatabaseEntry({u8(m_database), u8(m_selectedHost), u8(m_selectedUser)},
                                     m_boxes->held()))
        return;
    fillGrantedUsers();
    clearChoice();
}

void DatabaseDialog::addAccount(int row) {
    QTableWidgetItem* hostItem = m_accounts->item(row, 0);
    QTableWidgetItem* userItem = m_accounts->item(row, 1);
    if (!hostItem || !userItem)
        return;
    const QString host = hostItem->text(), user = userItem->text();
    if (!m_op.ask(textf("May I add truly?(%s)", u8(user))))
        return;
    if (!m_steps.useGrantDatabase(true))
        return;
    // A database entry without privileges cannot be made with GRANT, so the row is written on every
    // server.
    if (!m_steps.writeGrantTable(dbRowInsert(m_connection, {u8(m_database), u8(host), u8(user)}),
                                 QStringLiteral("There is no right to access.")))
        return;
    fillGrantedUsers();
    m_op.inform(QStringLiteral("The database was updated."));
}

}  // namespace velkin
