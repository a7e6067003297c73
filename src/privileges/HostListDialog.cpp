#include "HostListDialog.h"

#include <QKeyEvent>
#include <QListWidget>

#include "AccessRestrictionDialog.h"
#include "GrantListText.h"
#include "GrantStatements.h"
#include "HostDetailsDialog.h"
#include "PictureList.h"
#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Pictures.h"

namespace velkin {

namespace {
const QString kDatabases = QStringLiteral("The database currently created");
const QString kRefused = QStringLiteral("The host who is doing access refusal");
const QString kRestricted = QStringLiteral("The host who is doing access restriction");
}  // namespace

HostListDialog::HostListDialog(Connection& connection, Operator& op, QWidget* parent)
    : PictureListScreen(connection, op, QStringLiteral("Host List"), {kDatabases, kRefused, kRestricted},
                        parent),
      m_steps(m_calls, op) {
    m_refused = list(kRefused);
    m_restricted = list(kRestricted);
    connect(databaseList(), &QListWidget::itemDoubleClicked, this, &HostListDialog::openDatabase);
    for (QListWidget* hosts : {m_refused, m_restricted}) {
        hosts->installEventFilter(this);
        connect(hosts, &QListWidget::itemSelectionChanged, this, [this, hosts] {
            const auto selected = hosts->selectedItems();
            if (!selected.isEmpty())
                chooseHost(selected.first());
        });
        connect(hosts, &QListWidget::itemDoubleClicked, this, &HostListDialog::openHost);
    }
    resize(560, 640);
    if (!m_connection.dialect().honoursHostTable())
        showHostTableIgnored(*this, {m_refused, m_restricted});
    fill();
}

void HostListDialog::fill() {
    if (m_calls.selectDb("mysql"))
        fillDatabases();
    fillHosts(m_refused, false);
    fillHosts(m_restricted, true);
}

void HostListDialog::fillHosts(QListWidget* list, bool restricted) {
    if (!m_connection.dialect().honoursHostTable())
        return;
    if (!m_calls.selectDb("mysql"))
        return;
    if (m_calls.query(allHostRowsQuery()) != 0)
        return;
    QSignalBlocker quiet(list);
    list->clear();
    Result rows = m_calls.storeResult();
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
    runThenFill(dialog);
}

void HostListDialog::openHost(QListWidgetItem* item) {
    if (!item)
        return;
    const QString host = item->data(kSecondText).toString(), database = item->data(kThirdText).toString();
    if (database.isEmpty())
        return;
    HostDetailsDialog dialog(m_connection, m_op, host, database, this);
    runThenFill(dialog);
}

void HostListDialog::deleteHost() {
    if (!m_steps.confirmChosen(m_selectedHost, QStringLiteral("A host is chosen."),
                               "May I delete truly?(%s)") ||
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
