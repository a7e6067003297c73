#include "SelectDatabaseDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "PictureList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

SelectDatabaseDialog::SelectDatabaseDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_calls(connection, op) {
    setWindowTitle(QStringLiteral("Select Database"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("databases"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(32, 32));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    resize(420, 300);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SelectDatabaseDialog::choose);

    listDatabases(m_list, m_calls, op, false);
}

void SelectDatabaseDialog::choose(QListWidgetItem* item) {
    if (!item)
        return;
    m_chosen = item->text();
    accept();
}

}  // namespace velkin
