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
#include "widgets/Kit.h"

namespace velkin {

HostDetailsDialog::HostDetailsDialog(Connection& connection, Operator& op, const QString& host,
                                     const QString& database, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
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
    auto* grid = new QGridLayout;
    labelledField(grid, 0, QStringLiteral("Host"), this, FieldMode::ReadOnly)->setText(m_host);
    labelledField(grid, 1, QStringLiteral("Database"), this, FieldMode::ReadOnly)->setText(m_database);
    m_boxes = new PrivilegeBoxes(GrantTable::Host, QStringLiteral("host "), this);

    auto* update = m_updateButton = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* remove = m_deleteButton = namedButton(QStringLiteral("Delete"), this);
    connect(update, &QPushButton::clicked, this, &HostDetailsDialog::update);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &HostDetailsDialog::deleteHost);

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
    if (!m_steps.confirmChosen(m_host, QStringLiteral("A host is chosen."), "May I update truly?(%s)"))
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
    if (!m_steps.confirmChosen(m_host, QStringLiteral("A host is chosen."), "May I delete truly?(%s)") ||
        !m_steps.removeHostRow(u8(m_host), u8(m_database)))
        return;
    accept();
}

}  // namespace velkin
