#include "HostDetailsDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "GrantStatements.h"
#include "PrivilegeBoxes.h"
#include "PrivilegeFlags.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

HostDetailsDialog::HostDetailsDialog(Connection& connection, Operator& op, const QString& host,
                                     const QString& database, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_steps(connection, op),
      m_host(host),
      m_database(database) {
    build();
    if (!m_connection.dialect().honoursHostTable()) {
        showHostTableIgnored(*this, {m_boxes, m_updateButton, m_deleteButton});
        return;
    }
    loadRow();
}

void HostDetailsDialog::build() {
    setWindowTitle(QStringLiteral("Host details"));
    auto* host = new QLineEdit(m_host, this);
    host->setObjectName(QStringLiteral("Host"));
    host->setReadOnly(true);
    auto* database = new QLineEdit(m_database, this);
    database->setObjectName(QStringLiteral("Database"));
    database->setReadOnly(true);
    m_boxes = new PrivilegeBoxes(GrantTable::Host, QStringLiteral("host "), this);

    auto* update = m_updateButton = new QPushButton(QStringLiteral("Update"), this);
    update->setObjectName(QStringLiteral("Update"));
    update->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    auto* remove = m_deleteButton = new QPushButton(QStringLiteral("Delete"), this);
    remove->setObjectName(QStringLiteral("Delete"));
    remove->setAutoDefault(false);
    connect(update, &QPushButton::clicked, this, &HostDetailsDialog::update);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &HostDetailsDialog::deleteHost);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Host"), this), 0, 0);
    grid->addWidget(host, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Database"), this), 1, 0);
    grid->addWidget(database, 1, 1);
    grid->addWidget(m_boxes, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(cancel);
    buttons->addWidget(remove);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    resize(380, 260);
}

void HostDetailsDialog::loadRow() {
    if (!m_steps.useGrantDatabase(false))
        return;
    m_steps.loadRow(hostRowQuery(m_connection, u8(m_database), u8(m_host)),
                    [this](const Row& row) { m_boxes->setFromRow(row); });
}

void HostDetailsDialog::update() {
    if (m_host.isEmpty()) {
        m_op.inform(QStringLiteral("A host is chosen."));
        return;
    }
    if (!m_op.ask(textf("May I update truly?(%s)", u8(m_host))))
        return;
    // The host field cannot be edited here, so the row keeps its host.
    if (!m_steps.writeGrantTable(
            hostRowUpdate(m_connection, u8(m_host), m_boxes->flags(), u8(m_database), u8(m_host)),
            QStringLiteral("It failed in updating.")))
        return;
    m_op.inform(QStringLiteral("The database was updated."));
    accept();
}

void HostDetailsDialog::deleteHost() {
    if (m_host.isEmpty()) {
        m_op.inform(QStringLiteral("A host is chosen."));
        return;
    }
    if (!m_op.ask(textf("May I delete truly?(%s)", u8(m_host))))
        return;
    if (!m_steps.useGrantDatabase(true))
        return;
    if (!m_steps.writeGrantTable(hostRowDelete(m_connection, u8(m_host), u8(m_database)),
                                 QStringLiteral("There is no right to access.")))
        return;
    accept();
}

}  // namespace velkin
