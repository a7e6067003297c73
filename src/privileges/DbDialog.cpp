#include "DbDialog.h"

#include <QGridLayout>
#include <QGroupBox>
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

DbDialog::DbDialog(Connection& connection, Operator& op, const QString& host, const QString& database,
                   const QString& user, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
      m_keyHost(host),
      m_keyDatabase(database),
      m_keyUser(user) {
    build();
    loadRow();
}

void DbDialog::build() {
    setWindowTitle(QStringLiteral("DB"));
    auto* grid = new QGridLayout;
    m_host = labelledField(grid, 0, QStringLiteral("Host"), this);
    m_database = labelledField(grid, 1, QStringLiteral("Database name"), this);
    m_user = labelledField(grid, 2, QStringLiteral("User name"), this);
    const std::pair<QLineEdit*, QString> keys[] = {
        {m_host, m_keyHost}, {m_database, m_keyDatabase}, {m_user, m_keyUser}};
    for (const auto& [edit, text] : keys) {
        edit->setMaxLength(255);
        edit->setText(text);
    }

    auto* setup = new QGroupBox(QStringLiteral("Detailed setup"), this);
    m_boxes = new PrivilegeBoxes(GrantTable::Db, QStringLiteral("db "), setup);
    auto* setupLayout = new QVBoxLayout(setup);
    setupLayout->addWidget(m_boxes);

    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* remove = namedButton(QStringLiteral("Delete"), this);
    connect(update, &QPushButton::clicked, this, &DbDialog::update);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &DbDialog::deleteRow);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(cancel);
    buttons->addWidget(remove);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->addWidget(setup, 3, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    resize(400, 300);
}

void DbDialog::loadRow() {
    if (!m_steps.useGrantDatabase(false))
        return;
    m_steps.loadRow(dbRowQuery(m_connection, u8(m_keyDatabase), u8(m_keyHost), u8(m_keyUser)),
                    [this](const Row& row) { m_boxes->setFromRow(row); });
}

void DbDialog::update() {
    save();
    accept();
}

void DbDialog::save() {
    if (!m_op.ask(QStringLiteral("May I update truly?")))
        return;
    const QString host = m_host->text(), database = m_database->text(), user = m_user->text();
    if (database != m_keyDatabase &&
        !m_op.ask(QStringLiteral("The database name is changed. Is it very well?")))
        return;
    const DatabaseEntry from{u8(m_keyDatabase), u8(m_keyHost), u8(m_keyUser)};
    const DatabaseEntry to{u8(database), u8(host), u8(user)};
    const std::string sql = dbRowUpdate(m_connection, {true, true, false}, from, to, m_boxes->flags());
    if (!m_steps.changeDatabaseEntry(from, m_boxes->held(), to, m_boxes->flags(), sql,
                                     QStringLiteral("It failed in updating.")))
        return;
    m_keyHost = host;
    m_keyDatabase = database;
    m_keyUser = user;
    loadRow();
    m_op.inform(QStringLiteral("The database was updated and data was confirmed."));
}

void DbDialog::deleteRow() {
    if (!m_steps.confirmChosen(m_keyUser, QStringLiteral("A user is chosen."), "May I delete truly?(%s)"))
        return;
    if (!m_steps.removeDatabaseEntry({u8(m_keyDatabase), u8(m_keyHost), u8(m_keyUser)}, m_boxes->held()))
        return;
    accept();
}

}  // namespace velkin
