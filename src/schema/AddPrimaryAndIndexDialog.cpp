#include "AddPrimaryAndIndexDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "SchemaWork.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {

void moveField(QListWidget* from, QListWidget* to, QListWidgetItem* item) {
    if (!item)
        item = from->currentItem();
    if (!item || item->listWidget() != from)
        return;
    to->addItem(from->takeItem(from->row(item)));
}

}  // namespace

AddPrimaryAndIndexDialog::AddPrimaryAndIndexDialog(Connection& connection, Operator& op,
                                                   const QString& database, const QString& table,
                                                   KeyKind mode, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_database(database),
      m_table(table),
      m_mode(mode) {
    setWindowTitle(QStringLiteral("Add Primary and Index"));
    buildScreen(database, table);
    if (mode == KeyKind::Primary) {
        m_indexName->setText(QStringLiteral("PRIMARY"));
        m_indexName->setEnabled(false);
    }
    listFields();
}

void AddPrimaryAndIndexDialog::buildScreen(const QString& database, const QString& table) {
    auto* databaseBox = namedLineEdit(QStringLiteral("Database"), this);
    databaseBox->setText(database);
    databaseBox->setReadOnly(true);
    auto* tableBox = namedLineEdit(QStringLiteral("Table"), this);
    tableBox->setText(table);
    tableBox->setReadOnly(true);
    m_indexName = namedLineEdit(QStringLiteral("Index name"), this);
    m_available = new QListWidget(this);
    m_available->setObjectName(QStringLiteral("Fields"));
    m_chosen = new QListWidget(this);
    m_chosen->setObjectName(QStringLiteral("Chosen fields"));

    auto* right = namedButton(QStringLiteral(">"), this);
    auto* allRight = namedButton(QStringLiteral(">>"), this);
    auto* allLeft = namedButton(QStringLiteral("<<"), this);
    auto* left = namedButton(QStringLiteral("<"), this);
    // These two take no part; shown disabled, pressing them is not taken for a move that failed.
    allRight->setEnabled(false);
    allLeft->setEnabled(false);
    auto* create = namedButton(QStringLiteral("Create"), this);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(right, &QPushButton::clicked, this, [this] { choose(); });
    connect(left, &QPushButton::clicked, this, [this] { unchoose(); });
    connect(m_available, &QListWidget::itemDoubleClicked, this, &AddPrimaryAndIndexDialog::choose);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &AddPrimaryAndIndexDialog::unchoose);
    connect(create, &QPushButton::clicked, this, &AddPrimaryAndIndexDialog::create);
    bindStopButton(m_work, cancel, [this] { reject(); }, {create, right, left, m_available, m_chosen});

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("Database"), this), 0, 0);
    head->addWidget(databaseBox, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Table"), this), 1, 0);
    head->addWidget(tableBox, 1, 1);
    head->addWidget(new QLabel(QStringLiteral("Index name"), this), 2, 0);
    head->addWidget(m_indexName, 2, 1);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QPushButton* b : {right, allRight, allLeft, left})
        arrows->addWidget(b);
    arrows->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_available);
    lists->addLayout(arrows);
    lists->addWidget(m_chosen);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    resize(480, 360);
}

void AddPrimaryAndIndexDialog::listFields() {
    Result fields = readBeside(m_work, m_connection,
                               showFieldsStatement(m_connection.dialect(), u8(m_database), u8(m_table)));
    if (!fields)
        return;
    // A primary key and a plain index here take only fields that cannot be NULL.
    const bool nullableToo = m_mode == KeyKind::Unique;
    while (Row row = fields.fetchRow())
        if (nullableToo || row.text(2) != "YES")
            m_available->addItem(qs(row.text(0)));
}

bool AddPrimaryAndIndexDialog::hasPrimaryKey() {
    Result keys = readBeside(m_work, m_connection,
                             showKeysStatement(m_connection.dialect(), u8(m_database), u8(m_table)));
    // Without the key list the drop is tried, and the server's answer shown.
    if (!keys)
        return true;
    const std::vector<std::string> names = keys.fieldNames();
    const auto at = std::find(names.begin(), names.end(), "Key_name");
    const unsigned column = at == names.end() ? 2u : static_cast<unsigned>(at - names.begin());
    while (Row row = keys.fetchRow())
        if (row.text(column) == "PRIMARY")
            return true;
    return false;
}

void AddPrimaryAndIndexDialog::choose(QListWidgetItem* item) {
    moveField(m_available, m_chosen, item);
}

void AddPrimaryAndIndexDialog::unchoose(QListWidgetItem* item) {
    moveField(m_chosen, m_available, item);
}

void AddPrimaryAndIndexDialog::create() {
    WaitCursor wait(m_op);
    const ServerDialect& dialect = m_connection.dialect();
    const std::string database = u8(m_database);
    const std::string table = u8(m_table);
    // A table without a primary key gets one; only an existing one is dropped first.
    bool dropped = false;
    if (m_mode == KeyKind::Primary && hasPrimaryKey()) {
        const SentStatement sent =
            sendBeside(m_work, m_connection, dropPrimaryKeyStatement(dialect, database, table));
        if (sent.stopped) {
            m_op.inform(qs(changeStoppedText()));
            return;
        }
        if (sent.failed) {
            m_op.inform(textf("Deletion was not completed.\n%s", sent.errorLine));
            return;
        }
        dropped = true;
    }
    if (m_chosen->count() == 0)
        return;
    std::vector<std::string> fields;
    for (int i = 0; i < m_chosen->count(); ++i)
        fields.push_back(u8(m_chosen->item(i)->text()));
    const std::string name =
        m_mode == KeyKind::Primary ? std::string() : normalizeTypedName(u8(m_indexName->text()));
    if (m_mode != KeyKind::Primary)
        m_indexName->setText(qs(name));
    const SentStatement sent =
        sendBeside(m_work, m_connection, addKeyStatement(dialect, database, table, m_mode, name, fields));
    if (sent.stopped) {
        m_op.inform(qs(changeStoppedText(dropped ? "The old primary key was removed" : "")));
        return;
    }
    if (sent.failed) {
        m_op.inform(textf("Updating was not completed.\n%s", sent.errorLine));
        return;
    }
    accept();
}

void AddPrimaryAndIndexDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The change of the table")))
        QDialog::reject();
}

}  // namespace velkin
