#include "PictureListScreen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "PictureList.h"
#include "session/Operator.h"
#include "widgets/Kit.h"

namespace velkin {

PictureListScreen::PictureListScreen(Connection& connection, Operator& op, const QString& title,
                                     std::initializer_list<QString> lists, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_calls(connection, op) {
    setWindowTitle(title);
    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    connect(update, &QPushButton::clicked, this, [this] { fill(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(cancel);
    buttons->addStretch();
    m_layout = new QVBoxLayout(this);
    m_layout->addLayout(buttons);
    for (const QString& name : lists) {
        QListWidget* added = pictureList(name, this);
        if (!m_databases)
            m_databases = added;
        m_layout->addWidget(new QLabel(name, this));
        m_layout->addWidget(added, 1);
    }
}

QListWidget* PictureListScreen::list(const QString& name) const {
    return findChild<QListWidget*>(name);
}

bool PictureListScreen::fillDatabases() {
    QSignalBlocker quiet(m_databases);
    m_databases->clear();
    return listDatabases(m_databases, m_calls, m_op, true);
}

void PictureListScreen::runThenFill(QDialog& dialog) {
    m_op.runModal(dialog);
    fill();
}

}  // namespace velkin
