#include "CreateTableDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "FieldEditorGroup.h"
#include "SchemaText.h"
#include "SchemaWork.h"
#include "ServerColumns.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {

const QString kYes = QStringLiteral("YES");

QString flag(bool set) {
    return set ? kYes : QString();
}

}  // namespace

CreateTableDialog::CreateTableDialog(Connection& connection, Operator& op, const QString& database,
                                     QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_openedDatabase(database) {
    setWindowTitle(QStringLiteral("Create New Table"));
    buildScreen();
    m_tableName->setText(QStringLiteral("table1"));
    m_databaseName->setText(database);
    fillTableTypes();
}

void CreateTableDialog::buildScreen() {
    m_fields = reportList(QStringLiteral("Field list"),
                          {{"Field name", 100},
                           {"Type", 75},
                           {"Length", 65},
                           {"UNSIGNED", 70},
                           {"ZEROFILL", 70},
                           {"NULL", 45},
                           {"PRI", 45},
                           {"INDEX", 50},
                           {"BINARY", 60},
                           {"AUTO_INC", 65},
                           {"Default", 90}},
                          this);
    m_fields->setShowGrid(true);
    m_fields->installEventFilter(this);
    connect(m_fields, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0)
            selectRow(row);
    });

    m_query = new QPlainTextEdit(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_query->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* update = namedButton(QStringLiteral("Update"), this);
    connect(update, &QPushButton::clicked, this, &CreateTableDialog::rebuild);

    auto* create = namedButton(QStringLiteral("Create"), this);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* remove = namedButton(QStringLiteral("Delete"), this);
    m_databaseName = namedLineEdit(QStringLiteral("Database Name"), this);
    m_tableName = namedLineEdit(QStringLiteral("Table Name"), this);
    m_tableType = new QComboBox(this);
    m_tableType->setObjectName(QStringLiteral("Table type"));
    m_tableType->setPlaceholderText(QStringLiteral("Table type"));
    m_databaseName->installEventFilter(this);
    m_tableName->installEventFilter(this);
    connect(create, &QPushButton::clicked, this, &CreateTableDialog::create);
    connect(remove, &QPushButton::clicked, this, &CreateTableDialog::deleteField);
    connect(m_tableType, &QComboBox::currentIndexChanged, this, &CreateTableDialog::rebuild);
    bindStopButton(m_work, cancel, [this] { reject(); },
                   {create, update, remove, m_fields, m_query, m_databaseName, m_tableName, m_tableType});

    auto* right = new QVBoxLayout;
    right->addWidget(create);
    right->addWidget(cancel);
    right->addSpacing(12);
    right->addWidget(new QLabel(QStringLiteral("Database Name"), this));
    right->addWidget(m_databaseName);
    right->addWidget(new QLabel(QStringLiteral("Table Name"), this));
    right->addWidget(m_tableName);
    right->addSpacing(12);
    right->addWidget(remove);
    right->addWidget(m_tableType);
    right->addStretch();

    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(new QLabel(QStringLiteral("Query"), this));
    queryRow->addStretch();
    queryRow->addWidget(update);

    auto* left = new QVBoxLayout;
    left->addWidget(m_fields, 3);
    left->addWidget(buildEditor());
    left->addLayout(queryRow);
    left->addWidget(m_query, 2);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    resize(900, 640);
}

QWidget* CreateTableDialog::buildEditor() {
    // Unique keys and index names are not part of a new table's design here.
    m_editor = new FieldEditorGroup({QStringLiteral("Set Field"), QStringLiteral("Field Name"),
                                     QStringLiteral("UNIQUE"), QStringLiteral("Check")},
                                    false, this);
    connect(m_editor->addButton(QStringLiteral("Insert")), &QPushButton::clicked, this,
            &CreateTableDialog::insertField);
    connect(m_editor->addButton(QStringLiteral("Add")), &QPushButton::clicked, this,
            &CreateTableDialog::addField);
    return m_editor;
}

void CreateTableDialog::fillTableTypes() {
    std::vector<std::string> types;
    m_work.run({&m_connection}, [&](WorkControl&) { types = serverTableTypes(m_connection); });
    const QSignalBlocker quiet(m_tableType);
    for (const std::string& type : types)
        m_tableType->addItem(qs(type));
    m_tableType->setCurrentIndex(-1);
}

QString CreateTableDialog::tableName() const {
    return qs(normalizeTypedName(u8(m_tableName->text())));
}

std::vector<ColumnDefinition> CreateTableDialog::rows() const {
    std::vector<ColumnDefinition> rows;
    auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_fields->item(row, column);
        return item ? item->text() : QString();
    };
    for (int row = 0; row < m_fields->rowCount(); ++row) {
        ColumnDefinition c;
        c.name = u8(cell(row, Name));
        c.type = u8(cell(row, Type));
        c.length = u8(cell(row, Length));
        c.isUnsigned = cell(row, Unsigned) == kYes;
        c.zerofill = cell(row, Zerofill) == kYes;
        c.null = cell(row, Null) == kYes;
        c.primaryKey = cell(row, Primary) == kYes;
        c.index = cell(row, Index) == kYes;
        c.binary = cell(row, Binary) == kYes;
        c.autoIncrement = cell(row, AutoInc) == kYes;
        c.defaultValue = u8(cell(row, Default));
        rows.push_back(c);
    }
    return rows;
}

std::string CreateTableDialog::statement() const {
    // The box shows plain line ends; the statement keeps the CR LF pairs it was written with.
    QString text = m_query->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return u8(text);
}

void CreateTableDialog::addField() {
    putField(false);
}

void CreateTableDialog::insertField() {
    putField(true);
}

void CreateTableDialog::putField(bool insert) {
    const ColumnDefinition column = m_editor->column();
    if (column.name.empty()) {
        m_op.inform(QStringLiteral("The field name is not inputted."));
        return;
    }
    const int existing = rowNamed(qs(column.name));
    if (existing >= 0) {
        if (!m_op.ask(QStringLiteral("May I overwrite truly?")))
            return;
        const QSignalBlocker quiet(m_fields);
        m_fields->removeRow(existing);
    }
    const int count = m_fields->rowCount();
    const int at = insert && m_currentRow >= 0 && m_currentRow < count ? m_currentRow : count;
    {
        const QSignalBlocker quiet(m_fields);
        m_fields->insertRow(at);
        writeRow(at, column);
        // The list's own cursor would follow the rows it was on; dropping it lets the next click on
        // any row load that row.
        m_fields->clearSelection();
        m_fields->setCurrentCell(-1, -1);
    }
    // The row just written is the one Insert and Delete act on next.
    m_currentRow = at;
    clearEditor();
    rebuild();
}

void CreateTableDialog::writeRow(int row, const ColumnDefinition& c) {
    const QString texts[] = {
        qs(c.name),        qs(c.type),         qs(c.length),  flag(c.isUnsigned), flag(c.zerofill),
        flag(c.null),      flag(c.primaryKey), flag(c.index), flag(c.binary),     flag(c.autoIncrement),
        qs(c.defaultValue)};
    for (int column = Name; column <= Default; ++column)
        m_fields->setItem(row, column, new QTableWidgetItem(texts[column]));
}

int CreateTableDialog::rowNamed(const QString& name) const {
    for (int row = 0; row < m_fields->rowCount(); ++row) {
        const QTableWidgetItem* item = m_fields->item(row, Name);
        if (item && item->text().compare(name, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

void CreateTableDialog::deleteField() {
    if (!m_op.ask(QStringLiteral("May I delete truly?")))
        return;
    if (m_currentRow < 0 || m_currentRow >= m_fields->rowCount())
        return;
    const QSignalBlocker quiet(m_fields);
    m_fields->removeRow(m_currentRow);
    m_fields->clearSelection();
    m_fields->setCurrentCell(-1, -1);
    // No row is current until the operator picks one, so a second Delete removes nothing unseen.
    m_currentRow = -1;
}

void CreateTableDialog::selectRow(int row) {
    if (row < 0 || row >= m_fields->rowCount())
        return;
    m_currentRow = row;
    m_editor->load(rows()[static_cast<std::size_t>(row)]);
}

void CreateTableDialog::clearEditor() {
    m_editor->clear();
}

void CreateTableDialog::rebuild() {
    // Typed names are made plain once, shown so, and quoted by the statement where they need it.
    const QString database = qs(normalizeTypedName(u8(m_databaseName->text())));
    const QString table = tableName();
    if (database != m_databaseName->text())
        m_databaseName->setText(database);
    if (table != m_tableName->text())
        m_tableName->setText(table);
    const std::string sql =
        createTableStatement(u8(database), u8(table), rows(), u8(m_tableType->currentText()),
                             m_connection.dialect(), valueQuoter(m_connection));
    QString shown = qs(sql);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_query->setPlainText(shown);
    m_rebuiltTable = m_tableName->text();
}

void CreateTableDialog::create() {
    if (!m_op.ask(textf("May I create truly? (%s.%s)", u8(m_openedDatabase), u8(m_rebuiltTable))))
        return;
    const SentStatement sent = sendBeside(m_work, m_connection, statement());
    if (sent.stopped) {
        m_op.inform(qs(creationStoppedText()));
        return;
    }
    if (sent.failed) {
        m_op.inform(textf("It has not created.\n%s", sent.errorLine));
        return;
    }
    accept();
}

void CreateTableDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("Creating the table")))
        QDialog::reject();
}

bool CreateTableDialog::eventFilter(QObject* watched, QEvent* event) {
    if (isFocusLoss(event)) {
        if (watched == m_tableName || watched == m_databaseName)
            rebuild();
    } else if (watched == m_fields && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteField();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
