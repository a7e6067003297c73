#include "CreateTableDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "SchemaText.h"
#include "widgets/Kit.h"
#include "ServerColumns.h"
#include "TableTypes.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

const QString kYes = QStringLiteral("YES");

QString flag(bool set) {
    return set ? kYes : QString();
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
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
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &CreateTableDialog::deleteField);
    connect(m_tableType, &QComboBox::currentIndexChanged, this, &CreateTableDialog::rebuild);

    auto* right = new QVBoxLayout;
    right->addWidget(create);
    right->addWidget(cancel);
    right->addSpacing(12);
    right->addWidget(label(QStringLiteral("Database Name"), this));
    right->addWidget(m_databaseName);
    right->addWidget(label(QStringLiteral("Table Name"), this));
    right->addWidget(m_tableName);
    right->addSpacing(12);
    right->addWidget(remove);
    right->addWidget(m_tableType);
    right->addStretch();

    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(label(QStringLiteral("Query"), this));
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
    auto* group = new QGroupBox(QStringLiteral("Set Field"), this);
    group->setObjectName(QStringLiteral("Set Field"));
    m_fieldName = namedLineEdit(QStringLiteral("Field Name"), group);
    m_type = new QComboBox(group);
    m_type->setObjectName(QStringLiteral("Type"));
    for (const std::string& type : columnTypes())
        m_type->addItem(qs(type));
    m_type->setCurrentIndex(-1);
    m_type->installEventFilter(this);
    connect(m_type, &QComboBox::activated, this, &CreateTableDialog::applyTypeRules);
    m_length = namedLineEdit(QStringLiteral("Length"), group);
    m_default = namedLineEdit(QStringLiteral("Default"), group);
    m_unsigned = namedCheckBox(QStringLiteral("UNSIGNED"), group);
    m_zerofill = namedCheckBox(QStringLiteral("ZEROFILL"), group);
    m_binary = namedCheckBox(QStringLiteral("BINARY"), group);
    m_autoInc = namedCheckBox(QStringLiteral("AUTO_INC"), group);
    m_null = namedCheckBox(QStringLiteral("NULL"), group);
    m_primary = namedCheckBox(QStringLiteral("Primary Key"), group);
    m_index = namedCheckBox(QStringLiteral("Index"), group);
    m_indexName = namedLineEdit(QStringLiteral("Index name"), group);
    m_typeRules = {m_length, m_unsigned, m_zerofill, m_binary, m_default};

    // Unique keys, references and checks are not part of a new table's design here; the controls
    // show where they would go and stay disabled.
    auto* unique = namedCheckBox(QStringLiteral("UNIQUE"), group);
    auto* uniqueName = namedLineEdit(QStringLiteral("UNIQUE name"), group);
    auto* reference = namedCheckBox(QStringLiteral("Reference"), group);
    auto* referenceName = namedLineEdit(QStringLiteral("Reference name"), group);
    auto* browse = namedButton(QStringLiteral("..."), group);
    auto* check = namedCheckBox(QStringLiteral("Check"), group);
    auto* checkText = namedLineEdit(QStringLiteral("Check name"), group);
    m_disabledBoxes = {unique, reference, check};
    for (QWidget* w : std::initializer_list<QWidget*>{m_indexName, unique, uniqueName, reference,
                                                      referenceName, browse, check, checkText})
        w->setEnabled(false);

    auto* clear = namedButton(QStringLiteral("Clear"), group);
    auto* insert = namedButton(QStringLiteral("Insert"), group);
    auto* add = namedButton(QStringLiteral("Add"), group);
    connect(clear, &QPushButton::clicked, this, &CreateTableDialog::clearEditor);
    connect(insert, &QPushButton::clicked, this, &CreateTableDialog::insertField);
    connect(add, &QPushButton::clicked, this, &CreateTableDialog::addField);

    auto* grid = new QGridLayout(group);
    grid->addWidget(label(QStringLiteral("Field Name"), group), 0, 0);
    grid->addWidget(m_fieldName, 0, 1);
    grid->addWidget(label(QStringLiteral("Type"), group), 0, 2);
    grid->addWidget(m_type, 0, 3);
    grid->addWidget(label(QStringLiteral("Length"), group), 1, 0);
    grid->addWidget(m_length, 1, 1);
    grid->addWidget(label(QStringLiteral("Default"), group), 1, 2);
    grid->addWidget(m_default, 1, 3);
    auto* flags = new QHBoxLayout;
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null, m_primary})
        flags->addWidget(box);
    flags->addStretch();
    grid->addLayout(flags, 2, 0, 1, 4);
    grid->addWidget(m_index, 3, 0);
    grid->addWidget(m_indexName, 3, 1);
    grid->addWidget(unique, 3, 2);
    grid->addWidget(uniqueName, 3, 3);
    auto* referenceRow = new QHBoxLayout;
    referenceRow->addWidget(referenceName);
    referenceRow->addWidget(browse);
    grid->addWidget(reference, 4, 0);
    grid->addLayout(referenceRow, 4, 1);
    grid->addWidget(check, 4, 2);
    grid->addWidget(checkText, 4, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(insert);
    buttons->addWidget(add);
    grid->addLayout(buttons, 5, 0, 1, 4);
    return group;
}

void CreateTableDialog::fillTableTypes() {
    const QSignalBlocker quiet(m_tableType);
    for (const std::string& type : serverTableTypes(m_connection))
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

ColumnDefinition CreateTableDialog::editorColumn() const {
    ColumnDefinition c;
    c.name = normalizeTypedName(u8(m_fieldName->text()));
    c.type = u8(m_type->currentText());
    c.length = u8(m_length->text());
    c.defaultValue = u8(m_default->text());
    c.isUnsigned = m_unsigned->isChecked();
    c.zerofill = m_zerofill->isChecked();
    c.null = m_null->isChecked();
    c.primaryKey = m_primary->isChecked();
    c.index = m_index->isChecked();
    c.binary = m_binary->isChecked();
    c.autoIncrement = m_autoInc->isChecked();
    return c;
}

void CreateTableDialog::addField() {
    putField(false);
}

void CreateTableDialog::insertField() {
    putField(true);
}

void CreateTableDialog::putField(bool insert) {
    const ColumnDefinition column = editorColumn();
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
    m_fieldName->setFocus();
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
    const ColumnDefinition c = rows()[static_cast<std::size_t>(row)];
    m_fieldName->setText(qs(c.name));
    m_type->setCurrentIndex(m_type->findText(qs(c.type), Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_length->setText(qs(c.length));
    m_default->setText(qs(c.defaultValue));
    m_unsigned->setChecked(c.isUnsigned);
    m_zerofill->setChecked(c.zerofill);
    m_null->setChecked(c.null);
    m_primary->setChecked(c.primaryKey);
    m_index->setChecked(c.index);
    // BINARY and AUTO_INC come from the row as well: a row loaded and added again must not lose them.
    m_binary->setChecked(c.binary);
    m_autoInc->setChecked(c.autoIncrement);
    applyTypeRules();
}

void CreateTableDialog::clearEditor() {
    m_fieldName->clear();
    m_type->setCurrentIndex(-1);
    m_length->clear();
    m_default->clear();
    m_indexName->clear();
    for (QCheckBox* box : {m_unsigned, m_zerofill, m_binary, m_autoInc, m_null, m_primary, m_index})
        box->setChecked(false);
    for (QCheckBox* box : m_disabledBoxes)
        box->setChecked(false);
    m_fieldName->setFocus();
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
    if (m_connection.query(statement()) != 0) {
        m_op.inform(
            textf("It has not created.\n%d:%s", m_connection.errorNumber(), m_connection.errorText()));
        return;
    }
    accept();
}

void CreateTableDialog::applyTypeRules() {
    m_typeRules.apply(m_type->currentText());
}

bool CreateTableDialog::eventFilter(QObject* watched, QEvent* event) {
    if (isFocusLoss(event)) {
        if (watched == m_tableName || watched == m_databaseName)
            rebuild();
        else if (watched == m_type)
            applyTypeRules();
    } else if (watched == m_fields && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteField();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
