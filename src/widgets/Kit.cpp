#include "Kit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace velkin {

QPushButton* namedButton(const QString& label, QWidget* parent, const QString& name) {
    auto* button = new QPushButton(label, parent);
    button->setObjectName(name.isEmpty() ? label : name);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* namedCheckBox(const QString& label, QWidget* parent) {
    auto* box = new QCheckBox(label, parent);
    box->setObjectName(label);
    return box;
}

QGroupBox* namedGroup(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(title);
    return box;
}

QLineEdit* namedLineEdit(const QString& name, QWidget* parent, FieldMode mode) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(mode == FieldMode::ReadOnly);
    if (mode == FieldMode::Masked)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QLineEdit* labelledField(QGridLayout* grid, int row, const QString& name, QWidget* parent, FieldMode mode) {
    grid->addWidget(new QLabel(name, parent), row, 0);
    QLineEdit* edit = namedLineEdit(name, parent, mode);
    grid->addWidget(edit, row, 1);
    return edit;
}

QComboBox* labelledList(QGridLayout* grid, int row, const QString& name, QWidget* parent) {
    grid->addWidget(new QLabel(name, parent), row, 0);
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    grid->addWidget(list, row, 1);
    return list;
}

QLineEdit* formField(QFormLayout* form, const QString& label, QWidget* parent, FieldMode mode) {
    QLineEdit* edit = namedLineEdit(label, parent, mode);
    form->addRow(label, edit);
    return edit;
}

QPushButton* acceptCancelButtons(QDialogButtonBox* box, const QString& acceptLabel, QDialog* dialog) {
    QPushButton* accept = box->addButton(acceptLabel, QDialogButtonBox::AcceptRole);
    accept->setObjectName(acceptLabel);
    accept->setDefault(true);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return accept;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

FileNameRow fileNameRow(const QString& label, QWidget* parent) {
    FileNameRow row{new QHBoxLayout, namedLineEdit(label, parent), namedButton(QStringLiteral("::"), parent)};
    row.layout->addWidget(new QLabel(label, parent));
    row.layout->addWidget(row.field, 1);
    row.layout->addWidget(row.browse);
    return row;
}

QListWidget* largeIconList(const QString& name, QWidget* parent, int cellWidth, int cellHeight) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    list->setResizeMode(QListView::Adjust);
    list->setMovement(QListView::Static);
    list->setWordWrap(true);
    list->setGridSize(QSize(cellWidth, cellHeight));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QTableWidget* reportList(const QString& name, std::initializer_list<std::pair<const char*, int>> columns,
                         QWidget* parent) {
    auto* list = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    list->setObjectName(name);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setHighlightSections(false);
    list->setWordWrap(false);
    int column = 0;
    for (const auto& [header, width] : columns) {
        list->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(header)));
        list->setColumnWidth(column, width);
        ++column;
    }
    return list;
}

bool isFocusLoss(const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    return static_cast<const QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
}

}  // namespace velkin
