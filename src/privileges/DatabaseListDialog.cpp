#include "DatabaseListDialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "AccountLegend.h"
#include "DatabaseDialog.h"
#include "DbDialog.h"
#include "GrantListText.h"
#include "GrantStatements.h"
#include "PictureList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Pictures.h"

namespace velkin {

DatabaseListDialog::DatabaseListDialog(Connection& connection, Operator& op, QWidget* parent)
    : PictureListScreen(connection, op, QStringLiteral("Database List"),
                        {QStringLiteral("A list of the database currently created"),
                         QStringLiteral("The database list which can be accessed")},
                        parent) {
    m_grants = list(QStringLiteral("The database list which can be accessed"));
    connect(databaseList(), &QListWidget::itemDoubleClicked, this, &DatabaseListDialog::openDatabase);
    connect(m_grants, &QListWidget::itemDoubleClicked, this, &DatabaseListDialog::openGrant);
    screenLayout()->addWidget(new AccountLegend(this));
    resize(560, 560);
    fill();
}

void DatabaseListDialog::fill() {
    if (!m_calls.selectDb("mysql"))
        return;
    QSignalBlocker quiet(m_grants);
    m_grants->clear();
    if (!fillDatabases())
        return;
    if (m_calls.query(allDbRowsQuery()) != 0)
        return;
    Result rows = m_calls.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("There is no data."));
        return;
    }
    const AccountPictures pictures;
    while (Row row = rows.fetchRow())
        m_grants->addItem(
            pictureEntry(pictures.of(row.text(0)), qs(row.text(1)), qs(row.text(0)), qs(row.text(2))));
}

void DatabaseListDialog::openDatabase(QListWidgetItem* item) {
    if (!item || item->text().isEmpty())
        return;
    DatabaseDialog dialog(m_connection, m_op, item->text(), this);
    runThenFill(dialog);
}

void DatabaseListDialog::openGrant(QListWidgetItem* item) {
    if (!item)
        return;
    DbDialog dialog(m_connection, m_op, item->data(kSecondText).toString(), item->text(),
                    item->data(kThirdText).toString(), this);
    runThenFill(dialog);
}

}  // namespace velkin
