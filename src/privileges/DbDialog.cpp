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

namespace velkin {

namespace {

QLineEdit* field(const QString& name, const QString& text, QWidget* parent) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setMaxLength(255);
    return e;
}
}  // namespace

DbDialog::DbDialog(Connection& connection, Operator& op, const QString& host, const QString& database,
                   const QString& user, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_steps(connection, op),
      m_keyHost(host),
      m_keyDatabase(database),
      m_keyUser(user) {
    build();
    loadRow();
}

void DbDialog::build() {
    setWindowTitle(QStringLiteral("DB"));
    m_host = field(QStringLiteral("Host"), m_keyHost, this);
    m_database = field(QStringLiteral("Database name"), m_keyDatabase, this);
    m_user = field(QStringLiteral("User name"), m_keyUser, this);

    auto* setup = new QGroupBox(QStringLiteral("Detailed setup"), this);
    m_boxes = new PrivilegeBoxes(GrantTable::Db, QStringLiteral("db "), setup);
    auto* setupLayout = new QVBoxLayout(setup);
    setupLayout->addWidget(m_boxes);

    auto* update = new QPushButton(QStringLiteral("Update"), this);
    update->setObjectName(QStringLiteral("Update"));
    update->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    auto* remove = new QPushButton(QStringLiteral("Delete"), this);
    remove->setObjectName(QStringLiteral("Delete"));
    remove->setAutoDefault(false);
    connect(update, &QPushButton::clicked, this, &DbDialog::update);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &DbDialog::deleteRow);

    auto* grid = new QGridLayout;
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Host", m_host}, {"Database name", m_database}, {"User name", m_user}};
    int row = 0;
    for (const auto& [label, edit] : fields) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
    }
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
                    [this](const Row& row) {
                        m_boxes->setFromRow(row);
                        m_held = m_boxes->flags();
                    });
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
    const std::string set =
        sqlf("Host = '%s',Db = '%s',User = '%s'", escapeValue(m_connection, u8(host)),
             escapeValue(m_connection, u8(database)), escapeValue(m_connection, u8(user))) +
        flagFragments(GrantTable::Db, m_boxes->flags());
    const std::string sql =
        sqlf("UPDATE mysql.db SET %s where db = '%s' AND Host = '%s' AND User = '%s'", set,
             escapeValue(m_connection, u8(m_keyDatabase)), escapeValue(m_connection, u8(m_keyHost)),
             escapeValue(m_connection, u8(m_keyUser)));
    const DatabaseEntry from{u8(m_keyDatabase), u8(m_keyHost), u8(m_keyUser)};
    const DatabaseEntry to{u8(database), u8(host), u8(user)};
    if (!m_steps.changeDatabaseEntry(from, m_held, to, m_boxes->flags(), sql,
                                     QStringLiteral("It failed in updating.")))
        return;
    m_keyHost = host;
    m_keyDatabase = database;
    m_keyUser = user;
    loadRow();
    m_op.inform(QStringLiteral("The database was updated and data was confirmed."));
}

void DbDialog::deleteRow() {
    if (m_keyUser.isEmpty()) {
        m_op.inform(QStringLiteral("A user is chosen."));
        return;
    }
    if (!m_op.ask(textf("May I delete truly?(%s)", u8(m_keyUser))))
        return;
    if (!m_steps.useGrantDatabase(true))
        return;
    if (!m_steps.removeDatabaseEntry({u8(m_keyDatabase), u8(m_keyHost), u8(m_keyUser)}, m_held,
                                     QStringLiteral("There is no right to access.")))
        return;
    accept();
}

}  // namespace velkin
