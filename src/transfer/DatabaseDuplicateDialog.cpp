#include "DatabaseDuplicateDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "CopyText.h"
#include "RowCopy.h"
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

DatabaseDuplicateDialog::DatabaseDuplicateDialog(Connection& session, Operator& op, const LoginValues& login,
                                                 const QString& database, QWidget* parent)
    : QDialog(parent), m_session(session), m_op(op), m_login(login), m_database(u8(database)) {
    setWindowTitle(QString());
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Database"), this), 0, 0);
    auto* source = new QLineEdit(database, this);
    source->setObjectName(QStringLiteral("Database"));
    source->setReadOnly(true);
    grid->addWidget(source, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("New Database"), this), 1, 0);
    m_newDatabase = new QLineEdit(this);
    m_newDatabase->setObjectName(QStringLiteral("New Database"));
    grid->addWidget(m_newDatabase, 1, 1);

    QPushButton* createButton = button(QStringLiteral("Create"), this);
    createButton->setDefault(true);
    QPushButton* cancel = button(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(createButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(360, 120);

    connect(createButton, &QPushButton::clicked, this, &DatabaseDuplicateDialog::create);
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (!m_copying)
            reject();
    });
}

QString DatabaseDuplicateDialog::newDatabase() const {
    return m_newDatabase->text();
}

void DatabaseDuplicateDialog::create() {
    if (m_copying)
        return;
    const std::string newDatabase = u8(m_newDatabase->text());
    if (newDatabase.empty()) {
        m_op.inform(QStringLiteral("A new database is inputted."));
        return;
    }
    if (!m_op.ask(QStringLiteral("May I reproduce?")))
        return;
    m_copying = true;
    {
        WaitCursor wait(m_op);
        // An existing database is filled further, so its refusal does not stop the copy.
        m_session.query(sqlf("Create Database %s", newDatabase));
        std::vector<std::string> tables;
        if (Result rows = m_session.select(sqlf("SHOW TABLES FROM %s", quoteName(m_session, m_database))))
            while (Row row = rows.fetchRow())
                tables.push_back(row.str(0));
        std::unique_ptr<Connection> reader = openReaderConnection(m_login);
        Connection& source = reader ? *reader : m_session;
        for (const std::string& table : tables) {
            const std::string sourceName = qualifiedName(m_session, m_database, table);
            const std::string createText = createTextFromServer(m_session, sourceName);
            const std::string copyName = newDatabase + "." + quoteName(m_session, table);
            if (createText.find('(') != std::string::npos)
                m_session.query(createForNewName(createText, newDatabase, quoteName(m_session, table)));
            // Typed as the source's own name, the copy would read and write the same tables.
            if (newDatabase == m_database)
                continue;
            RowCopy copy(source, {m_database, table, qualifiedName(source, m_database, table)}, m_session,
                         {newDatabase, table, copyName});
            copy.run();
        }
    }
    m_copying = false;
    m_op.inform(QStringLiteral("It was created normally."));
    accept();
}

}  // namespace velkin
