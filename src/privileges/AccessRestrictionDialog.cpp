#include "AccessRestrictionDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "GrantStatements.h"
#include "HoverSelection.h"
#include "PictureList.h"
#include "PrivilegeBoxes.h"
#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

AccessRestrictionDialog::AccessRestrictionDialog(Connection& connection, Operator& op,
                                                 const QString& database, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
      m_database(database) {
    build();
    if (!m_connection.dialect().honoursHostTable()) {
        showHostTableIgnored(
            *this, {m_addButton, m_newHost, m_hosts, m_host, m_boxes, m_updateButton, m_deleteButton});
        return;
    }
    fillHostList();
}

void AccessRestrictionDialog::build() {
    setWindowTitle(QString::fromUtf8("アクセス制限"));

    auto* name = namedLineEdit(QStringLiteral("Database"), this, FieldMode::ReadOnly);
    name->setText(m_database);
    auto* add = m_addButton = namedButton(QStringLiteral("Add"), this);
    connect(add, &QPushButton::clicked, this, &AccessRestrictionDialog::add);
    m_newHost = namedLineEdit(QStringLiteral("Add host"), this);
    m_newHost->setMaxLength(255);

    m_hosts = pictureList(QStringLiteral("Host list"), this);
    m_hover = new HoverSelection(m_hosts, false);
    connect(m_hosts, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = m_hosts->selectedItems();
        if (!selected.isEmpty())
            chooseHost(selected.first());
    });

    m_host = namedLineEdit(QStringLiteral("Host"), this);
    m_host->setMaxLength(255);
    m_boxes = new PrivilegeBoxes(GrantTable::Host, QStringLiteral("host "), this);
    auto* update = m_updateButton = namedButton(QStringLiteral("Update"), this);
    auto* remove = m_deleteButton = namedButton(QStringLiteral("Delete"), this);
    auto* close = namedButton(QStringLiteral("Close"), this);
    close->setDefault(true);
    connect(update, &QPushButton::clicked, this, &AccessRestrictionDialog::update);
    connect(remove, &QPushButton::clicked, this, &AccessRestrictionDialog::deleteHost);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Database"), this), 0, 0);
    top->addWidget(name, 0, 1);
    top->addWidget(close, 0, 2);
    top->addWidget(add, 1, 0);
    top->addWidget(m_newHost, 1, 1);

    auto* block = new QGridLayout;
    block->addWidget(new QLabel(QStringLiteral("Host"), this), 0, 0);
    block->addWidget(m_host, 0, 1);
    block->addWidget(m_boxes, 1, 0, 1, 2);
    block->addWidget(update, 2, 0);
    block->addWidget(remove, 2, 1);
    block->setRowStretch(3, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_hosts, 1);
    middle->addLayout(block);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    resize(560, 420);
}

void AccessRestrictionDialog::fillHostList() {
    QSignalBlocker quiet(m_hosts);
    m_hosts->clear();
    Result rows = m_steps.readRows(databaseHostRowsQuery(m_connection, u8(m_database)));
    if (!rows)
        return;
    const QIcon refused = refusedHostPicture(), restricted = restrictedHostPicture();
    while (Row row = rows.fetchRow()) {
        const bool restricts = isRestrictedHost(row);
        QListWidgetItem* item = pictureEntry(restricts ? restricted : refused, qs(row.text(0)));
        item->setData(kPictureRole, restricts ? Restricted : Refused);
        m_hosts->insertItem(0, item);
    }
}

void AccessRestrictionDialog::chooseHost(QListWidgetItem* item) {
    if (!item)
        return;
    m_selectedHost = item->text();
    if (!m_steps.useGrantDatabase(false))
        return;
    m_steps.loadRow(hostRowQuery(m_connection, u8(m_database), u8(m_selectedHost)), [this](const Row& row) {
        m_host->setText(qs(row.text(0)));
        m_boxes->setFromRow(row);
    });
}

void AccessRestrictionDialog::clearBlock() {
    m_host->clear();
    m_boxes->uncheckAll();
}

void AccessRestrictionDialog::add() {
    const QString host = m_newHost->text();
    if (host.isEmpty()) {
        m_op.inform(QStringLiteral("The host who restricts is inputted."));
        return;
    }
    if (!m_op.ask(textf("May I add truly?(%s)", u8(host))))
        return;
    if (!m_steps.useGrantDatabase(true))
        return;
    if (!m_steps.writeGrantTable(hostRowInsert(m_connection, u8(host), u8(m_database)),
                                 QStringLiteral("There is no right to access.")))
        return;
    fillHostList();
    m_op.inform(QStringLiteral("The database was updated."));
}

void AccessRestrictionDialog::update() {
    updateChosenHost();
    // The host field and boxes served this one update, whatever became of it; the next one starts
    // from a newly chosen host.
    clearBlock();
}

void AccessRestrictionDialog::updateChosenHost() {
    if (!m_steps.confirmChosen(m_selectedHost, QStringLiteral("A host is chosen."),
                               "May I update truly?(%s)"))
        return;
    const std::string sql =
        hostRowUpdate(m_connection, u8(m_host->text()), m_boxes->flags(), u8(m_database), u8(m_selectedHost));
    if (!m_steps.writeGrantTable(sql, QStringLiteral("It failed in updating.")))
        return;
    m_selectedHost.clear();
    fillHostList();
    m_op.inform(QStringLiteral("The database was updated."));
}

void AccessRestrictionDialog::deleteHost() {
    if (!m_steps.confirmChosen(m_selectedHost, QStringLiteral("A host is chosen."),
                               "May I delete truly?(%s)") ||
        !m_steps.removeHostRow(u8(m_selectedHost), u8(m_database)))
        return;
    fillHostList();
    m_selectedHost.clear();
    clearBlock();
}

}  // namespace velkin
