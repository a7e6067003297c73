#include "PictureList.h"

#include <QListWidget>

#include "ServerCalls.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

QListWidget* pictureList(const QString& name, QWidget* parent) {
    return largeIconList(name, parent, 110, 70);
}

QListWidgetItem* pictureEntry(const QIcon& picture, const QString& label, const QString& second,
                              const QString& third) {
    auto* item = new QListWidgetItem(picture, label);
    // Long names are cut short under the picture; the tip shows them whole.
    item->setToolTip(label);
    item->setData(kSecondText, second);
    item->setData(kThirdText, third);
    return item;
}

bool listDatabases(QListWidget* list, ServerCalls& calls, Operator& op, bool lastFirst) {
    Result dbs = calls.listDbs();
    if (!dbs) {
        op.inform(qs(calls.connection().errorText()));
        return false;
    }
    const QIcon picture = databasePicture();
    while (Row row = dbs.fetchRow())
        list->insertItem(lastFirst ? 0 : list->count(), pictureEntry(picture, qs(row.text(0))));
    return true;
}

}  // namespace velkin
