#include "SchemaWidgets.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace velkin {

QPushButton* namedButton(const QString& label, QWidget* parent) {
    auto* button = new QPushButton(label, parent);
    button->setObjectName(label);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* namedCheckBox(const QString& label, QWidget* parent) {
    auto* box = new QCheckBox(label, parent);
    box->setObjectName(label);
    return box;
}

QLineEdit* namedLineEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
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
