#include "UserListDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "AccountLegend.h"
#include "AccountStatements.h"
#include "GrantListText.h"
#include "PictureList.h"
#include "PrivilegeFlags.h"
#include "UserEditorDialog.h"
#include "UserTableStatements.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

UserListDialog::UserListDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_calls(connection, op), m_steps(m_calls, op) {
    build();
    fill();
}

QListWidget* UserListDialog::accountList(const QString& name) {
    QListWidget* list = pictureList(name, this);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->installEventFilter(this);
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
        const auto selected = list->selectedItems();
        if (!selected.isEmpty())
            chooseAccount(selected.first());
    });
    connect(list, &QListWidget::itemDoubleClicked, this, &UserListDialog::openAccount);
    connect(list, &QListWidget::customContextMenuRequested, this,
            [this, list](const QPoint& pos) { showContextMenu(list, pos); });
    return list;
}

void UserListDialog::build() {
    setWindowTitle(QStringLiteral("User List"));

    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* close = namedButton(QStringLiteral("Close"), this);
    auto* newUser = namedButton(QStringLiteral("New User"), this);
    auto* remove = namedButton(QStringLiteral("Delete"), this);
    connect(update, &QPushButton::clicked, this, &UserListDialog::fill);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(newUser, &QPushButton::clicked, this, &UserListDialog::newUser);
    connect(remove, &QPushButton::clicked, this, &UserListDialog::deleteAccount);

    m_admin = accountList(QStringLiteral("Admin"));
    m_common = accountList(QStringLiteral("Common user"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {update, close, newUser, remove})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* bottom = new QGridLayout;
    m_user = labelledField(bottom, 0, QStringLiteral("User"), this, FieldMode::ReadOnly);
    m_host = labelledField(bottom, 1, QStringLiteral("The host who can access"), this, FieldMode::ReadOnly);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("Admin"), this));
    layout->addWidget(m_admin, 1);
    layout->addWidget(new QLabel(QStringLiteral("Common user"), this));
    layout->addWidget(m_common, 1);
    layout->addWidget(new AccountLegend(this));
    layout->addLayout(bottom);
    resize(560, 600);
}

void UserListDialog::fill() {
    // A session that may not read the grant tables gets empty-handed lists, without a message.
    if (!m_calls.selectDb("mysql"))
        return;
    if (!m_calls.describesTable("user"))
        return;
    // Where mysql.user is not the classic table, its columns are named (the flags keep their
    // positions, only privileges decide Admin) and roles are left out.
    const ServerDialect& dialect = m_connection.dialect();
    if (m_calls.query(dialect.usesAccountStatements() ? accountRowsQuery(dialect) : allUserRowsQuery()) != 0)
        return;
    QSignalBlocker quietAdmin(m_admin), quietCommon(m_common);
    m_admin->clear();
    m_common->clear();
    Result rows = m_calls.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("There is no data."));
        return;
    }
    const AccountPictures pictures;
    while (Row row = rows.fetchRow()) {
        const QIcon& picture = pictures.of(row.text(0));
        QListWidget* list = isPrivilegedAccount(row) ? m_admin : m_common;
        list->addItem(pictureEntry(picture, accountLabel(qs(row.text(1))), qs(row.text(0)), qs(row.text(2))));
    }
    selectListed();
}

void UserListDialog::selectListed() {
    // The fields and the highlight must name an account that exists: Delete acts on what they show.
    if (m_selectedUser.isEmpty() && m_selectedHost.isEmpty())
        return;
    for (QListWidget* list : {m_admin, m_common}) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (item->text() == m_selectedUser && item->data(kSecondText).toString() == m_selectedHost) {
                QSignalBlocker quiet(list);
                list->setCurrentItem(item);
                return;
            }
        }
    }
    clearSelection();
}

void UserListDialog::clearSelection() {
    m_selectedUser.clear();
    m_selectedHost.clear();
    m_user->clear();
    m_host->clear();
}

void UserListDialog::chooseAccount(QListWidgetItem* item) {
    if (!item)
        return;
    m_selectedUser = item->text();
    m_selectedHost = item->data(kSecondText).toString();
    m_user->setText(m_selectedUser);
    m_host->setText(m_selectedHost);
}

void UserListDialog::openAccount(QListWidgetItem* item) {
    if (!item)
        return;
    openEditor(item->text(), item->data(kSecondText).toString(), item->data(kThirdText).toString());
}

void UserListDialog::openEditor(const QString& label, const QString& host, const QString& password) {
    std::optional<AccountKey> endedOn;
    UserEditorDialog::run(m_connection, m_op, host, accountUser(label), password, this, &endedOn);
    refillAfterEditor(endedOn);
}

void UserListDialog::newUser() {
    std::optional<AccountKey> endedOn;
    UserEditorDialog::run(m_connection, m_op, this, &endedOn);
    refillAfterEditor(endedOn);
}

void UserListDialog::refillAfterEditor(const std::optional<AccountKey>& endedOn) {
    if (endedOn) {
        m_selectedUser = accountLabel(endedOn->user);
        m_selectedHost = endedOn->host;
        m_user->setText(m_selectedUser);
        m_host->setText(m_selectedHost);
    }
    fill();
}

void UserListDialog::deleteAccount() {
    if (m_selectedUser.isEmpty() && m_selectedHost.isEmpty()) {
        m_op.inform(QStringLiteral("A user is chosen."));
        return;
    }
    const QString user = accountUser(m_selectedUser), host = m_selectedHost;
    if (!m_op.ask(deleteAccountQuestion(user, host)))
        return;
    if (!m_steps.deleteAccount(u8(host), u8(user)))
        return;
    fill();
}

QMenu* UserListDialog::contextMenu(QListWidget* list, const QPoint& pos) {
    auto* menu = new QMenu(this);
    QAction* add = menu->addAction(QStringLiteral("Add"));
    QAction* remove = menu->addAction(QStringLiteral("Delete"));
    QAction* details = menu->addAction(QStringLiteral("Details"));
    connect(add, &QAction::triggered, this, &UserListDialog::newUser);
    connect(remove, &QAction::triggered, this, &UserListDialog::deleteAccount);
    // "Details" opens the editor as a double-click does, on the entry under the pointer or else
    // the list's current entry.
    QListWidgetItem* item = list->itemAt(pos);
    if (!item)
        item = list->currentItem();
    details->setEnabled(item != nullptr);
    if (item) {
        const QString label = item->text(), host = item->data(kSecondText).toString(),
                      password = item->data(kThirdText).toString();
        connect(details, &QAction::triggered, this,
                [this, label, host, password] { openEditor(label, host, password); });
    }
    return menu;
}

void UserListDialog::showContextMenu(QListWidget* list, const QPoint& pos) {
    std::unique_ptr<QMenu> menu(contextMenu(list, pos));
    menu->exec(list->viewport()->mapToGlobal(pos));
}

bool UserListDialog::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_admin || watched == m_common) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteAccount();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
