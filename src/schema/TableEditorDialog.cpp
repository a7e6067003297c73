#include "TableEditorDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "AddPrimaryAndIndexDialog.h"
#include "FieldAdditionDialog.h"
#include "FieldRole.h"
#include "RenameTableDialog.h"
#include "SchemaWork.h"
#include "ServerColumns.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {

/// Fills a row from the result's values, up to the first NULL: the cells after it stay empty.
void fillRow(QTableWidget* list, int row, const Row& values, int columns, const QIcon* icon = nullptr) {
    for (int column = 0; column < columns; ++column) {
        if (values.isNull(static_cast<unsigned>(column)))
            break;
        auto* item = new QTableWidgetItem(qs(values.text(static_cast<unsigned>(column))));
        if (column == 0 && icon)
            item->setIcon(*icon);
        list->setItem(row, column, item);
    }
}

bool isKey(const QEvent* event, int key) {
    return event->type() == QEvent::KeyPress && static_cast<const QKeyEvent*>(event)->key() == key;
}

}  // namespace

TableEditorDialog::TableEditorDialog(Connection& connection, Operator& op, const QString& database,
                                     const QString& table, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_database(database), m_table(table) {
    setWindowTitle(QStringLiteral("Table"));
    buildScreen();
    setWindowTitle(textf("Table list  Database :%s Table:%s", u8(database), u8(table)));
    reload();
}

void TableEditorDialog::buildScreen() {
    m_fields = reportList(
        QStringLiteral("Field list"),
        {{"Field", 130}, {"Type", 130}, {"NULL", 50}, {"Key", 50}, {"Default", 90}, {"Qther", 100}}, this);
    m_fields->setShowGrid(true);
    m_fields->setIconSize(QSize(16, 16));
    m_keys = reportList(QStringLiteral("Key list"), {}, this);
    m_keys->setShowGrid(false);
    for (QTableWidget* list : {m_fields, m_keys}) {
        list->installEventFilter(this);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    connect(m_fields, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0)
            selectField(row);
    });
    connect(m_keys, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0)
            selectKey(row);
    });
    connect(m_fields, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showMenu(m_fields, pos, &TableEditorDialog::fillFieldMenu); });
    connect(m_keys, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showMenu(m_keys, pos, &TableEditorDialog::fillKeyMenu); });

    auto* close = namedButton(QStringLiteral("Close"), this);
    auto* addField = namedButton(QStringLiteral("Field addition"), this);
    auto* rename = namedButton(QStringLiteral("Table name change"), this);
    m_chosenName = namedLineEdit(QStringLiteral("The field name chosen"), this);
    m_primary = namedCheckBox(QStringLiteral("Primary key"), this);
    m_null = namedCheckBox(QStringLiteral("NULL"), this);
    auto* update = namedButton(QStringLiteral("Update"), this);
    m_maintenanceButton = namedButton(QStringLiteral("Maintenance Restoration"), this);
    m_duplicationButton = namedButton(QStringLiteral("Table duplicate"), this);
    m_dataAmountButton = namedButton(QStringLiteral("The amount of data"), this);
    for (QPushButton* b : {m_maintenanceButton, m_duplicationButton, m_dataAmountButton})
        b->setEnabled(false);
    connect(addField, &QPushButton::clicked, this, &TableEditorDialog::addField);
    connect(rename, &QPushButton::clicked, this, &TableEditorDialog::renameTable);
    connect(update, &QPushButton::clicked, this, &TableEditorDialog::updateField);
    connect(m_maintenanceButton, &QPushButton::clicked, this, &TableEditorDialog::openMaintenance);
    connect(m_duplicationButton, &QPushButton::clicked, this, &TableEditorDialog::openDuplication);
    connect(m_dataAmountButton, &QPushButton::clicked, this, &TableEditorDialog::openDataAmount);

    auto* keyGroup = new QGroupBox(QStringLiteral("Key Setup"), this);
    keyGroup->setObjectName(QStringLiteral("Key Setup"));
    auto* addPrimary = namedButton(QStringLiteral("Primary key addition"), keyGroup);
    auto* addIndex = namedButton(QStringLiteral("Index addition"), keyGroup);
    auto* addUnique = namedButton(QStringLiteral("Unique addition"), keyGroup);
    connect(addPrimary, &QPushButton::clicked, this, [this] { addKey(KeyKind::Primary); });
    connect(addIndex, &QPushButton::clicked, this, [this] { addKey(KeyKind::Index); });
    connect(addUnique, &QPushButton::clicked, this, [this] { addKey(KeyKind::Unique); });
    m_keys->setParent(keyGroup);
    // An ALTER on a big table, or one waiting for a lock, can run for minutes: "Close" stops it.
    bindStopButton(m_work, close, [this] { accept(); },
                   {m_fields, m_keys, addField, rename, m_chosenName, m_primary, m_null, update, addPrimary,
                    addIndex, addUnique});
    auto* keyButtons = new QHBoxLayout;
    keyButtons->addWidget(new QLabel(QStringLiteral("Key List"), keyGroup));
    keyButtons->addStretch();
    keyButtons->addWidget(addPrimary);
    keyButtons->addWidget(addIndex);
    keyButtons->addWidget(addUnique);
    auto* keyLayout = new QVBoxLayout(keyGroup);
    keyLayout->addLayout(keyButtons);
    keyLayout->addWidget(m_keys);

    auto* right = new QVBoxLayout;
    right->addWidget(close);
    right->addWidget(addField);
    right->addWidget(rename);
    right->addSpacing(12);
    right->addWidget(new QLabel(QStringLiteral("The field name chosen"), this));
    right->addWidget(m_chosenName);
    right->addWidget(m_primary);
    right->addWidget(m_null);
    right->addWidget(update);
    right->addSpacing(12);
    right->addWidget(m_maintenanceButton);
    right->addWidget(m_duplicationButton);
    right->addWidget(m_dataAmountButton);
    right->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(m_fields, 1);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(keyGroup, 2);
    resize(820, 600);
}

void TableEditorDialog::setMaintenanceAction(TableAction action) {
    m_maintenance = std::move(action);
    m_maintenanceButton->setEnabled(bool(m_maintenance));
}

void TableEditorDialog::setDuplicationAction(TableAction action) {
    m_duplication = std::move(action);
    m_duplicationButton->setEnabled(bool(m_duplication));
}

void TableEditorDialog::setDataAmountAction(TableAction action) {
    m_dataAmount = std::move(action);
    m_dataAmountButton->setEnabled(bool(m_dataAmount));
}

// ---- The two lists --------------------------------------------------------------------------------

void TableEditorDialog::reload() {
    const QSignalBlocker quietKeys(m_keys);
    m_keys->setColumnCount(0);
    const std::string fieldsSql = showFieldsStatement(m_connection.dialect(), u8(m_database), u8(m_table));
    const std::string keysSql = showKeysStatement(m_connection.dialect(), u8(m_database), u8(m_table));
    Result fields;
    Result keys;
    m_work.run({&m_connection}, [&](WorkControl&) {
        fields = m_connection.select(fieldsSql);
        keys = m_connection.select(keysSql);
    });
    showFields(fields);
    showKeys(keys);
    // The field worked on stays chosen, now with what the server holds for it.
    for (int row = 0; row < m_fields->rowCount(); ++row)
        if (!m_currentField.isEmpty() && fieldCell(row, Field) == m_currentField)
            m_fields->setCurrentCell(row, Field);
}

void TableEditorDialog::showFields(Result& result) {
    if (!result)
        return;
    const QSignalBlocker quiet(m_fields);
    m_fields->setRowCount(0);
    const QIcon pictures[] = {fieldPicture(FieldRole::PrimaryKey), fieldPicture(FieldRole::MultipleKey),
                              fieldPicture(FieldRole::Plain)};
    while (Row row = result.fetchRow()) {
        const int at = m_fields->rowCount();
        m_fields->insertRow(at);
        const QIcon& picture = pictures[static_cast<int>(fieldRole(qs(row.text(Key))))];
        fillRow(m_fields, at, row, Extra + 1, &picture);
    }
}

void TableEditorDialog::showKeys(Result& result) {
    if (!result)
        return;
    const QSignalBlocker quiet(m_keys);
    const std::vector<std::string> names = result.fieldNames();
    const int columns = static_cast<int>(names.size());
    m_keys->setColumnCount(columns);
    for (int column = 0; column < columns; ++column) {
        m_keys->setHorizontalHeaderItem(column,
                                        new QTableWidgetItem(qs(names[static_cast<std::size_t>(column)])));
        m_keys->setColumnWidth(column, 100);
    }
    m_keys->setRowCount(0);
    while (Row row = result.fetchRow()) {
        const int at = m_keys->rowCount();
        m_keys->insertRow(at);
        fillRow(m_keys, at, row, columns);
    }
}

QString TableEditorDialog::fieldCell(int row, int column) const {
    const QTableWidgetItem* item = m_fields->item(row, column);
    return item ? item->text() : QString();
}

QString TableEditorDialog::keyCell(int row, const char* column, int usualPosition) const {
    int at = usualPosition;
    for (int c = 0; c < m_keys->columnCount(); ++c) {
        const QTableWidgetItem* header = m_keys->horizontalHeaderItem(c);
        if (header && header->text() == QLatin1String(column))
            at = c;
    }
    const QTableWidgetItem* item = m_keys->item(row, at);
    return item ? item->text() : QString();
}

void TableEditorDialog::selectField(int row) {
    if (row < 0 || row >= m_fields->rowCount())
        return;
    m_currentField = fieldCell(row, Field);
    m_currentType = fieldCell(row, Type);
    m_wasPrimary = fieldCell(row, Key) == QLatin1String("PRI");
    m_primary->setChecked(m_wasPrimary);
    m_null->setChecked(fieldCell(row, Null) == QLatin1String("YES"));
    m_chosenName->setText(m_currentField);
}

void TableEditorDialog::selectKey(int row) {
    if (row < 0 || row >= m_keys->rowCount())
        return;
    // A key row chooses the key only: the field row chosen, its name box and check boxes stay,
    // so that "Update" never gives one field another's settings.
    m_currentKey = keyCell(row, "Key_name", 2);
}

std::vector<std::string> TableEditorDialog::primaryKeyFields() const {
    std::vector<std::string> fields;
    for (int row = 0; row < m_keys->rowCount(); ++row)
        if (keyCell(row, "Key_name", 2) == QLatin1String("PRIMARY"))
            fields.push_back(u8(keyCell(row, "Column_name", 4)));
    return fields;
}

// ---- Changes --------------------------------------------------------------------------------------

void TableEditorDialog::updateField() {
    WaitCursor wait(m_op);
    const QString newName = qs(normalizeTypedName(u8(m_chosenName->text())));
    m_chosenName->setText(newName);
    if (!newName.isEmpty() && !m_currentField.isEmpty() && changeField(u8(newName)))
        m_currentField = newName;
    reload();
}

bool TableEditorDialog::changeField(const std::string& newName) {
    const std::string field = u8(m_currentField);
    // The change repeats everything the server has for the field: a definition made from the listed
    // type alone would convert the data to the table's character set and drop the rest.
    std::optional<ServerColumn> column;
    std::string readFailure;
    m_work.run({&m_connection}, [&](WorkControl&) {
        column = readServerColumn(m_connection, u8(m_database), u8(m_table), field);
        if (!column && m_connection.errorNumber() != 0)
            readFailure = m_connection.errorLine();
    });
    if (!column) {
        if (!readFailure.empty())
            reportUpdateFailure(readFailure);
        return false;
    }
    ColumnChange change;
    change.newName = newName;
    change.nullable = m_null->isChecked();
    change.addPrimaryKey = m_primary->isChecked() && !m_wasPrimary;
    if (!m_primary->isChecked() && m_wasPrimary) {
        std::vector<std::string> key = primaryKeyFields();
        const auto own = std::find(key.begin(), key.end(), field);
        if (own != key.end()) {
            key.erase(own);
            change.leavePrimaryKey = true;
            change.otherPrimaryColumns = key;
        }
    }
    const std::string sql = changeColumnStatement(m_connection.dialect(), u8(m_database), u8(m_table),
                                                  *column, change, valueQuoter(m_connection));
    return sendChange(sql, "Updating was not completed.\n%s");
}

bool TableEditorDialog::sendChange(const std::string& sql, const char* failure) {
    const SentStatement sent = sendBeside(m_work, m_connection, sql);
    if (sent.stopped)
        m_op.inform(qs(changeStoppedText()));
    else if (sent.failed)
        m_op.inform(textf(failure, sent.errorLine));
    return !sent.failed;
}

void TableEditorDialog::reportUpdateFailure(const std::string& errorLine) {
    m_op.inform(textf("Updating was not completed.\n%s", errorLine));
}

void TableEditorDialog::dropField() {
    if (!m_op.ask(textf("May I delete this %s field?", u8(m_currentField))))
        return;
    sendChange(dropFieldStatement(m_connection.dialect(), u8(m_database), u8(m_table), u8(m_currentField)),
               "It has not deleted.\n%s");
    m_currentField.clear();
    m_chosenName->clear();
    m_null->setChecked(false);
    m_primary->setChecked(false);
    reload();
}

void TableEditorDialog::dropKey() {
    if (!m_op.ask(textf("May I delete this %s key?", u8(m_currentKey))))
        return;
    sendChange(dropKeyStatement(m_connection.dialect(), u8(m_database), u8(m_table), u8(m_currentKey)),
               "It has not deleted.\n%s");
    reload();
}

// ---- Other screens --------------------------------------------------------------------------------

void TableEditorDialog::addField() {
    FieldAdditionDialog dialog(m_connection, m_op, m_database, m_table, this);
    if (m_op.runModal(dialog) == QDialog::Accepted)
        reload();
}

void TableEditorDialog::renameTable() {
    RenameTableDialog dialog(m_connection, m_op, m_database, m_table, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return;
    m_table = dialog.tableName();
    setWindowTitle(textf("Table List  Database:%s Table:%s", u8(m_database), u8(m_table)));
}

void TableEditorDialog::addKey(KeyKind kind) {
    AddPrimaryAndIndexDialog dialog(m_connection, m_op, m_database, m_table, kind, this);
    if (m_op.runModal(dialog) == QDialog::Accepted)
        reload();
}

void TableEditorDialog::openMaintenance() {
    runAction(m_maintenance);
}

void TableEditorDialog::openDuplication() {
    runAction(m_duplication);
}

void TableEditorDialog::openDataAmount() {
    runAction(m_dataAmount);
}

void TableEditorDialog::runAction(const TableAction& action) {
    // Those screens use the connection the running work holds.
    if (action && !m_work.running())
        action(this, m_database, m_table);
}

// ---- Menus and keys -------------------------------------------------------------------------------

void TableEditorDialog::fillFieldMenu(QMenu& menu) {
    connect(menu.addAction(QStringLiteral("Add")), &QAction::triggered, this, &TableEditorDialog::addField);
    connect(menu.addAction(QStringLiteral("Delete")), &QAction::triggered, this,
            &TableEditorDialog::dropField);
    // Kept for its place in the menu; a field's details are all in its row already.
    menu.addAction(QStringLiteral("Details"));
}

void TableEditorDialog::fillKeyMenu(QMenu& menu) {
    connect(menu.addAction(QStringLiteral("Primary key addition")), &QAction::triggered, this,
            [this] { addKey(KeyKind::Primary); });
    connect(menu.addAction(QStringLiteral("Unique addition")), &QAction::triggered, this,
            [this] { addKey(KeyKind::Unique); });
    connect(menu.addAction(QStringLiteral("Index addition")), &QAction::triggered, this,
            [this] { addKey(KeyKind::Index); });
    connect(menu.addAction(QStringLiteral("Delete")), &QAction::triggered, this, &TableEditorDialog::dropKey);
}

void TableEditorDialog::showMenu(QTableWidget* list, const QPoint& pos,
                                 void (TableEditorDialog::*fill)(QMenu&)) {
    QMenu menu(this);
    (this->*fill)(menu);
    menu.exec(list->viewport()->mapToGlobal(pos));
}

void TableEditorDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The change of the table")))
        QDialog::reject();
}

bool TableEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fields && isKey(event, Qt::Key_Delete)) {
        dropField();
        return true;
    }
    if (watched == m_fields && isKey(event, Qt::Key_Insert)) {
        addField();
        return true;
    }
    if (watched == m_keys && isKey(event, Qt::Key_Delete)) {
        dropKey();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velkin
