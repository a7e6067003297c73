#include "RecordDetailsDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "RecordListText.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "transfer/WorkButtons.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {

enum class KeyPicture { Primary, Indexed, Plain };

KeyPicture pictureFor(std::string_view key) {
    if (key.substr(0, 3) == "PRI")
        return KeyPicture::Primary;
    if (key.substr(0, 3) == "MUL")
        return KeyPicture::Indexed;
    return KeyPicture::Plain;
}

QIcon keyIcon(KeyPicture kind) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (kind) {
        case KeyPicture::Primary:
            // A gold key.
            p.setPen(QPen(QColor(150, 110, 0), 1.5));
            p.setBrush(QColor(240, 200, 40));
            p.drawEllipse(QRectF(1.5, 4.5, 7, 7));
            p.drawLine(QPointF(8.5, 8), QPointF(15, 8));
            p.drawLine(QPointF(13, 8), QPointF(13, 11));
            break;
        case KeyPicture::Indexed:
            // An index card.
            p.setPen(QPen(QColor(40, 90, 170), 1));
            p.setBrush(QColor(210, 225, 250));
            p.drawRect(QRectF(2.5, 3.5, 11, 9));
            p.drawLine(QPointF(4.5, 6.5), QPointF(11.5, 6.5));
            p.drawLine(QPointF(4.5, 9.5), QPointF(9.5, 9.5));
            break;
        case KeyPicture::Plain:
            p.setPen(QPen(QColor(120, 120, 120), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 4.5, 7, 7));
            break;
    }
    return QIcon(pixmap);
}

/// The list's cell for a value: a NULL is told apart from the empty text by a grey "NULL".
QTableWidgetItem* contentsItem(const std::optional<std::string>& value) {
    if (value)
        return new QTableWidgetItem(qs(*value));
    auto* item = new QTableWidgetItem(QStringLiteral("NULL"));
    item->setForeground(QColor(Qt::gray));
    return item;
}

}  // namespace

RecordDetailsDialog::RecordDetailsDialog(Connection& connection, Operator& op, const std::string& database,
                                         const std::string& table, std::vector<Value> values, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_database(database),
      m_table(table),
      m_values(std::move(values)) {
    setWindowTitle(QStringLiteral("Record details"));
    m_list = reportList(QStringLiteral("columns"),
                        {{"Field", 150}, {"Type", 100}, {"Key", 70}, {"Contents", 250}}, this);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);

    auto* fields = new QGridLayout;
    m_fieldName = labelledField(fields, 0, QStringLiteral("Field name"), this, FieldMode::ReadOnly);
    m_type = labelledField(fields, 1, QStringLiteral("Type"), this, FieldMode::ReadOnly);
    m_key = labelledField(fields, 2, QStringLiteral("Key"), this, FieldMode::ReadOnly);
    m_contents =
        labelledField(fields, 3, QStringLiteral("The contents of the field"), this, FieldMode::ReadOnly);
    m_note = labelledField(fields, 4, QStringLiteral("Note"), this, FieldMode::ReadOnly);
    m_null = namedCheckBox(QStringLiteral("NULL"), this);
    m_null->setEnabled(false);
    auto* closeButton = namedButton(QStringLiteral("Close"), this);
    auto* amount = namedButton(QStringLiteral("Data amount"), this);
    m_delete = namedButton(QStringLiteral("delete"), this);
    m_update = namedButton(QStringLiteral("Update"), this);

    fields->addWidget(m_null, 3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(amount);
    buttons->addStretch();
    buttons->addWidget(m_update);
    buttons->addWidget(m_delete);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(620, 480);

    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int current, int, int, int) { lineChanged(current); });
    connect(m_null, &QCheckBox::toggled, this, &RecordDetailsDialog::nullToggled);
    // While a read or a change waits for the server (a row lock, say), Close stops it.
    bindStopButton(m_work, closeButton, [this] { close(); }, {m_update, m_delete, m_list});
    connect(m_update, &QPushButton::clicked, this, &RecordDetailsDialog::update);
    connect(m_delete, &QPushButton::clicked, this, &RecordDetailsDialog::deleteRow);
    connect(amount, &QPushButton::clicked, this, [this] {
        if (m_openDataAmount)
            m_openDataAmount();
    });
    fill();
}

void RecordDetailsDialog::fill() {
    QSignalBlocker quiet(m_list);
    m_list->setRowCount(0);
    m_line = -1;
    std::optional<std::vector<FieldLine>> fields;
    m_work.run({&m_connection},
               [&](WorkControl&) { fields = readFieldLines(m_connection, m_database, m_table); });
    if (!fields)
        return;
    m_columnCount = 0;
    m_delete->hide();
    m_update->hide();
    std::vector<KeyValue> key;
    m_notes.clear();
    m_contents->setReadOnly(true);
    m_null->setEnabled(false);
    for (const FieldLine& field : *fields) {
        const int position = m_columnCount;
        const Value value = position < static_cast<int>(m_values.size()) ? m_values[position] : Value();
        const KeyPicture picture = pictureFor(field.key());
        if (picture == KeyPicture::Primary) {
            m_contents->setReadOnly(false);
            m_null->setEnabled(true);
            key.push_back({field.name(), value});
            m_delete->show();
            m_update->show();
        }
        m_list->insertRow(position);
        m_list->setItem(position, 0, new QTableWidgetItem(keyIcon(picture), qs(field.name())));
        m_list->setItem(position, 1, new QTableWidgetItem(qs(field.type())));
        m_list->setItem(position, 2, new QTableWidgetItem(qs(field.key())));
        m_list->setItem(position, 3, contentsItem(value));
        m_notes.push_back(field.cell(5));
        ++m_columnCount;
    }
    m_where = whereByKey(m_connection, key);
}

void RecordDetailsDialog::selectLine(int line) {
    m_list->setCurrentCell(line, 0);
}

void RecordDetailsDialog::lineChanged(int line) {
    if (line < 0 || line >= m_list->rowCount())
        return;
    m_line = line;
    m_fieldName->setText(m_list->item(line, 0)->text());
    m_type->setText(m_list->item(line, 1)->text());
    m_key->setText(m_list->item(line, 2)->text());
    const bool null = line < static_cast<int>(m_values.size()) && !m_values[line];
    {
        QSignalBlocker quiet(m_null);
        m_null->setChecked(null);
    }
    m_contents->setText(null || line >= static_cast<int>(m_values.size()) ? QString() : qs(*m_values[line]));
    m_contents->setEnabled(!null);
    m_contents->setModified(false);
    m_note->setText(qs(m_notes[line]));
}

std::string RecordDetailsDialog::whereText() const {
    return m_where;
}

void RecordDetailsDialog::nullToggled(bool null) {
    m_contents->setEnabled(!null);
    if (null)
        m_contents->clear();
}

void RecordDetailsDialog::update() {
    if (m_line < 0)
        return;
    const Value newValue = m_null->isChecked() ? Value() : Value(u8(m_contents->text()));
    const std::string sql =
        updateRecordStatement(m_connection, m_database, m_table, u8(m_fieldName->text()), newValue, m_where);
    if (const std::optional<std::string> failure = send(sql)) {
        m_op.inform(textf("It failed in updating.\n%s", *failure));
        return;
    }
    if (m_line >= static_cast<int>(m_values.size()))
        m_values.resize(m_line + 1);
    m_values[m_line] = newValue;
    m_changed = true;
    const int line = m_line;
    fill();
    selectLine(line);
}

void RecordDetailsDialog::deleteRow() {
    if (!m_op.ask(QString::fromUtf8("本当に削除してもよろしいですか？")))
        return;
    const std::string sql = deleteRecordStatement(m_connection, m_database, m_table, m_where);
    if (const std::optional<std::string> failure = send(sql)) {
        m_op.inform(textf("It failed in deletion.\n%s", *failure));
        return;
    }
    m_changed = true;
    accept();
}

std::optional<std::string> RecordDetailsDialog::send(const std::string& sql) {
    std::optional<std::string> failure;
    // The server's answer is taken on the work's side: what a stop leaves behind resets it.
    m_work.run({&m_connection}, [&](WorkControl&) {
        if (m_connection.query(sql) != 0)
            failure = m_connection.errorLine();
    });
    return failure;
}

void RecordDetailsDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The change of the record")))
        QDialog::reject();
}

void RecordDetailsDialog::close() {
    if (keepOpenForWork(m_work, m_op, QStringLiteral("The change of the record")))
        return;
    if (m_changed)
        accept();
    else
        reject();
}

void RecordDetailsDialog::done(int result) {
    QDialog::done(m_changed ? int(QDialog::Accepted) : result);
}

}  // namespace velkin
