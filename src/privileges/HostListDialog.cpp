#include "HostListDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "AccessRestrictionDialog.h"
#include "DatabasePicture.h"
#include "GrantListText.h"
#include "GrantStatements.h"
#include "HostDetailsDialog.h"
#include "PictureList.h"
#include "PrivilegeFlags.h"
#include "PrivilegePictures.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {
const QString kDatabases = QStringLiteral("The database currently created");
const QString kRefused = QStringLiteral("The host who is doing access refusal");
const QString kRestricted = QStringLiteral("The host who is doing access restriction");
}  // namespace

HostListDialog::HostListDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_steps(connection, op) {
    build();
    if (!m_connection.dialect().honoursHostTable())
        showHostTableIgnored(*this, {m_refused, m_restricted});
    fill();
}

void HostListDialog::build() {
    setWindowTitle(QStringLiteral("Host List"));
    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(update, &QPushButton::clicked, this, &HostListDialog::fill);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_databases = pictureList(kDatabases, this);
    connect(m_databases, &QListWidget::itemDoubleClicked, this, &HostListDialog::openDatabase);
    m_refused = pictureList(kRefused, this);
    m_restricted = pictureList(kRestricted, this);
    for (QListWidget* list : {m_refused, m_restricted}) {
        list->installEventFilter(this);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
            const auto selected = list->selectedItems();
            if (!selected.isEmpty())
                chooseHost(selected.first());
        });
        connect(list, &QListWidget::itemDoubleClicked, this, &HostListDialog::openHost);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    for (QListWidget* list : {m_databases, m_refused, m_restricted}) {
        layout->addWidget(new QLabel(list->objectName(), this));
        layout->addWidget(list, 1);
    }
    resize(560, 640);
}

void HostListDialog::fill() {
    fillDatabases();
    fillHosts(m_refused, false);
    fillHosts(m_restricted, true);
}

void HostListDialog::fillDatabases() {
    if (!m_connection.selectDb("mysql"))
        return;
    QSignalBlocker quiet(m_databases);
    m_databases->clear();
    listDatabases(m_databases, m_connection, m_op, true);
}

void HostListDialog::fillHosts(QListWidget* list, bool restricted) {
    if (!m_connection.dialect().honoursHostTable())
        return;
    if (!m_connection.selectDb("mysql"))
        return;
    if (m_connection.query(allHostRowsQuery()) != 0)
        return;
    QSignalBlocker quiet(list);
    list->clear();
    Result rows = m_connection.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("There is no data."));
        return;
    }
    const QIcon picture = restricted ? restrictedHostPicture() : refusedHostPicture();
    while (Row row = rows.fetchRow()) {
        if (isRestrictedHost(row) != restricted)
            continue;
        const QString host = qs(row.text(0)), database = qs(row.text(1));
        list->addItem(pictureEntry(picture, hostEntryLabel(host, database), host, database));
    }
}

void HostListDialog::chooseHost(QListWidgetItem* item) {
    if (!item)
        return;
    m_selectedHost = item->data(kSecondText).toString();
    m_selectedDatabase = item->data(kThirdText).toString();
}

void HostListDialog::openDatabase(QListWidgetItem* item) {
    if (!item || item->text().isEmpty())
        return;
    AccessRestrictionDialog dialog(m_connection, m_op, item->text(), this);
    m_op.runModal(dialog);
    fill();
}

void HostListDialog::openHost(QListWidgetItem* item) {
    if (!item)
        return;
    const QString host = item->data(kSecondText).toString(), database = item->data(kThirdText).toString();
    if (database.isEmpty())
        return;
    HostDetailsDialog dialog(m_connection, m_op, host, database, this);
    m_op.runModal(dialog);
    fill();
}

void HostListDialog::deleteHost() {
    if (!m_steps.confirmChosen(m_selectedHost, QStringLiteral("A host is chosen."), "May I delete truly?(%s)") ||
        !m_steps.removeHostRow(u8(m_selectedHost), u8(m_selectedDatabase)))
        return;
    fill();
}

bool HostListDialog::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_refused || watched == m_restricted) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteHost();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
