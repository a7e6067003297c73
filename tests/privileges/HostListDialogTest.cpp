#include <QTest>

#include "GrantRowsTest.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/HostDetailsDialog.h"
#include "privileges/HostListDialog.h"
#include "privileges/PictureList.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class HostListTest : public HostTableTest {
protected:
    /// This test's entries of a host list as host|db, in list order.
    static std::vector<std::string> mine(const QListWidget* list) {
        std::vector<std::string> rows;
        for (int i = 0; i < list->count(); ++i) {
            const QString db = list->item(i)->data(kThirdText).toString();
            if (db.startsWith("velkin_pe") ||
                list->item(i)->data(kSecondText).toString().startsWith("velkin_pe"))
                rows.push_back((list->item(i)->data(kSecondText).toString() + "|" + db).toStdString());
        }
        return rows;
    }
    static QListWidgetItem* hostEntry(QListWidget* list, const QString& label) { return entry(list, label); }
};

}  // namespace

TEST_F(HostListTest, HostRowsLandInExactlyOneListInServerOrder) {
    addHost("%", "velkin_pe_d1");
    addHost("h", "velkin_pe_d1", ", Select_priv = 'Y'");
    addHost("velkin_pe_x", "velkin_pe_d2", ", Execute_priv = 'Y'");
    addHost("velkin_pe_n", "velkin_pe_d2");
    addHost("velkin_pe_y", "velkin_pe_d1", ", Alter_priv = 'Y'");
    StatementLog log;
    HostListDialog dialog(*session, op);
    EXPECT_EQ("Host List", dialog.windowTitle());
    EXPECT_EQ((std::vector<std::string>{"select * from host", "select * from host"}), log.statements);
    EXPECT_TRUE(op.messages.empty());

    EXPECT_EQ(reversed(column(*admin, "SHOW DATABASES")), labels(dialog.databaseList()))
        << "databases in reverse server order";

    std::vector<std::string> refused, restricted;
    for (const auto& row : rows("select * from mysql.host", {0, 1})) {
        if (row.find("velkin_pe") == std::string::npos)
            continue;
        (row == "%|velkin_pe_d1" || row == "velkin_pe_n|velkin_pe_d2" ? refused : restricted).push_back(row);
    }
    EXPECT_EQ(refused, mine(dialog.refusedList()));
    EXPECT_EQ(restricted, mine(dialog.restrictedList()));
    EXPECT_EQ(3u, restricted.size()) << "a Y beyond the ten edited columns restricts too";

    QListWidgetItem* all = hostEntry(dialog.refusedList(), "All hosts\n(velkin_pe_d1)");
    ASSERT_NE(nullptr, all);
    EXPECT_EQ("%", all->data(kSecondText).toString());
    EXPECT_EQ("velkin_pe_d1", all->data(kThirdText).toString());
    EXPECT_NE(nullptr, hostEntry(dialog.restrictedList(), "h\n(velkin_pe_d1)")) << "a one-character host";
    EXPECT_NE(nullptr, hostEntry(dialog.restrictedList(), "velkin_pe_x\n(velkin_pe_d2)"));
}

TEST_F(HostListTest, TheDeleteKeyRemovesTheChosenHostRow) {
    addHost("velkin_pe_x", "velkin_pe_d1", ", Select_priv = 'Y'");
    addHost("velkin_pe_x", "velkin_pe_d2", ", Select_priv = 'Y'");
    HostListDialog dialog(*session, op);
    StatementLog log;
    QTest::keyClick(dialog.restrictedList(), Qt::Key_Delete);
    EXPECT_EQ(QStringList{"A host is chosen."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    op.clear();
    dialog.restrictedList()->setCurrentItem(
        hostEntry(dialog.restrictedList(), "velkin_pe_x\n(velkin_pe_d2)"));
    EXPECT_EQ("velkin_pe_x", dialog.selectedHost());
    EXPECT_EQ("velkin_pe_d2", dialog.selectedDatabase());
    op.answer(true);
    QTest::keyClick(dialog.restrictedList(), Qt::Key_Delete);
    EXPECT_EQ("May I delete truly?(velkin_pe_x)", op.questions.at(0).text);
    EXPECT_EQ((std::vector<std::string>{
                  "DELETE FROM mysql.host where  Host = 'velkin_pe_x' AND Db = 'velkin_pe_d2'",
                  "select * from host", "select * from host"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(std::vector<std::string>{"velkin_pe_x|velkin_pe_d1"}, mine(dialog.restrictedList()));
    EXPECT_EQ("velkin_pe_d1", value("SELECT GROUP_CONCAT(Db) FROM mysql.host WHERE Host = 'velkin_pe_x'"));
}

TEST_F(HostListTest, DoubleClicksOpenTheEditorsAndRefill) {
    addHost("velkin_pe_x", "velkin_pe_d1");
    addHost("velkin_pe_e", "");
    HostListDialog dialog(*session, op);
    StatementLog log;

    QString seen;
    op.onModal([&seen](QDialog& d) {
        seen = dynamic_cast<AccessRestrictionDialog&>(d).database();
        return int(QDialog::Accepted);
    });
    emit dialog.databaseList()->itemDoubleClicked(entry(dialog.databaseList(), "sorvane_common"));
    EXPECT_EQ(QStringList{QString::fromUtf8("アクセス制限")}, op.modalTitles);
    EXPECT_EQ("sorvane_common", seen);
    EXPECT_EQ("select * from host", log.statements.back()) << "filled again afterwards";

    op.clear();
    op.onModal([&seen](QDialog& d) {
        auto& details = dynamic_cast<HostDetailsDialog&>(d);
        seen = details.host() + "|" + details.database();
        return int(QDialog::Rejected);
    });
    log.clear();
    emit dialog.refusedList()->itemDoubleClicked(
        hostEntry(dialog.refusedList(), "velkin_pe_x\n(velkin_pe_d1)"));
    EXPECT_EQ(QStringList{"Host details"}, op.modalTitles);
    EXPECT_EQ("velkin_pe_x|velkin_pe_d1", seen);
    EXPECT_EQ("select * from host", log.statements.back());

    // A row without a database opens nothing.
    op.clear();
    log.clear();
    emit dialog.refusedList()->itemDoubleClicked(hostEntry(dialog.refusedList(), "velkin_pe_e\n()"));
    EXPECT_TRUE(op.modalTitles.isEmpty());
    EXPECT_TRUE(log.statements.empty());
}
