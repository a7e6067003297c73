#include <QLabel>

#include "GrantRowsTest.h"
#include "privileges/AccountLegend.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/DatabaseListDialog.h"
#include "privileges/DbDialog.h"
#include "privileges/PictureList.h"

using namespace velkin;
using namespace velkin::test;

namespace {
using DatabaseListTest = GrantRowsTest;

bool hasPicture(const QListWidgetItem* item, HostClass hostClass) {
    return item->icon().pixmap(32, 32).toImage() == accountPicture(hostClass).pixmap(32, 32).toImage();
}
}  // namespace

TEST_F(DatabaseListTest, DatabasesLastFirstAndGrantRowsInServerOrder) {
    addDb("localhost", "velkin_pe_d1", "velkin_pe_a");
    addDb("%", "velkin_pe_d2", "velkin_pe_b");
    addDb("192.168.%", "velkin_pe_d1", "velkin_pe_c");
    StatementLog log;
    DatabaseListDialog dialog(*session, op);
    EXPECT_EQ("Database List", dialog.windowTitle());
    EXPECT_EQ(std::vector<std::string>{"select * from db"}, log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(reversed(column(*admin, "SHOW DATABASES")), labels(dialog.databaseList()));

    const auto server = rows("select * from mysql.db", {1, 0, 2});
    std::vector<std::string> shown;
    for (int i = 0; i < dialog.grantList()->count(); ++i) {
        const QListWidgetItem* item = dialog.grantList()->item(i);
        shown.push_back((item->text() + "|" + item->data(kSecondText).toString() + "|" +
                         item->data(kThirdText).toString())
                            .toStdString());
        const QString host = item->data(kSecondText).toString();
        const HostClass expected = host == "localhost"    ? HostClass::Local
                                   : host.startsWith('%') ? HostClass::Global
                                                          : HostClass::Restricted;
        EXPECT_TRUE(hasPicture(item, expected)) << shown.back();
    }
    EXPECT_EQ(server, shown);
    for (const char* legend : {"Local User", "Global User", "The user with restriction"})
        EXPECT_NE(nullptr, dialog.findChild<QLabel*>(legend)) << legend;
}

TEST_F(DatabaseListTest, DoubleClicksOpenTheDatabaseAndDbDialogsAndRefill) {
    addDb("localhost", "velkin_pe_d1", "velkin_pe_a");
    DatabaseListDialog dialog(*session, op);
    StatementLog log;
    QString seen;
    op.onModal([&seen](QDialog& d) {
        seen = dynamic_cast<DatabaseDialog&>(d).database();
        return int(QDialog::Rejected);
    });
    emit dialog.databaseList()->itemDoubleClicked(entry(dialog.databaseList(), "sorvane_common"));
    EXPECT_EQ(QStringList{"Database"}, op.modalTitles);
    EXPECT_EQ("sorvane_common", seen);
    EXPECT_EQ("select * from db", log.statements.back());
    EXPECT_TRUE(log.calls.empty());

    op.clear();
    log.clear();
    op.onModal([&seen](QDialog& d) {
        auto& db = dynamic_cast<DbDialog&>(d);
        seen = db.keyHost() + "|" + db.keyDatabase() + "|" + db.keyUser();
        return int(QDialog::Rejected);
    });
    emit dialog.grantList()->itemDoubleClicked(entry(dialog.grantList(), "velkin_pe_d1"));
    EXPECT_EQ(QStringList{"DB"}, op.modalTitles);
    EXPECT_EQ("localhost|velkin_pe_d1|velkin_pe_a", seen);
    EXPECT_EQ((std::vector<std::string>{"select * from mysql.db where db = 'velkin_pe_d1' AND Host = "
                                        "'localhost' AND User = 'velkin_pe_a'",
                                        "select * from db"}),
              log.statements);
}
