#include <QTest>

#include "GrantRowsTest.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/HoverSelection.h"
#include "widgets/Pictures.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class AccessRestrictionTest : public HostTableTest {
protected:
    static int picture(QListWidget* list, const char* host) {
        QListWidgetItem* item = entry(list, QString::fromUtf8(host));
        return item ? item->data(AccessRestrictionDialog::kPictureRole).toInt() : -1;
    }
    static bool samePicture(const QIcon& a, const QIcon& b) {
        return a.pixmap(32, 32).toImage() == b.pixmap(32, 32).toImage();
    }
};

}  // namespace

TEST_F(AccessRestrictionTest, OpensWithRefusedAndRestrictedHostsLastRowFirst) {
    addHost("velkin_pe_none", "velkin_pe_db");
    addHost("velkin_pe_sel", "velkin_pe_db", ", Select_priv = 'Y'");
    addHost("velkin_pe_exec", "velkin_pe_db", ", Execute_priv = 'Y'");
    addHost("velkin_pe_else", "velkin_pe_other", ", Select_priv = 'Y'");
    StatementLog log;
    AccessRestrictionDialog dialog(*session, op, "velkin_pe_db");

    EXPECT_EQ(QString::fromUtf8("アクセス制限"), dialog.windowTitle());
    EXPECT_EQ("velkin_pe_db", edit(dialog, "Database")->text());
    EXPECT_EQ(std::vector<std::string>{"select * from mysql.host where Db = 'velkin_pe_db'"}, log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(reversed(rows("select * from mysql.host where Db = 'velkin_pe_db'", {0})),
              labels(dialog.hostList()));
    EXPECT_EQ(AccessRestrictionDialog::Refused, picture(dialog.hostList(), "velkin_pe_none"));
    EXPECT_EQ(AccessRestrictionDialog::Restricted, picture(dialog.hostList(), "velkin_pe_sel"));
    EXPECT_EQ(AccessRestrictionDialog::Restricted, picture(dialog.hostList(), "velkin_pe_exec"))
        << "a Y beyond the ten edited columns restricts too";
    EXPECT_TRUE(samePicture(refusedHostPicture(), entry(dialog.hostList(), "velkin_pe_none")->icon()));
    EXPECT_TRUE(samePicture(restrictedHostPicture(), entry(dialog.hostList(), "velkin_pe_exec")->icon()));

    // Choosing a host loads its row; the extra column is not one of the boxes.
    log.clear();
    dialog.hostList()->setCurrentItem(entry(dialog.hostList(), "velkin_pe_exec"));
    EXPECT_EQ(
        std::vector<std::string>{
            "select * from mysql.host where db = 'velkin_pe_db' AND Host = 'velkin_pe_exec'"},
        log.statements);
    EXPECT_EQ("velkin_pe_exec", dialog.selectedHost());
    EXPECT_EQ("velkin_pe_exec", edit(dialog, "Host")->text());
    EXPECT_TRUE(checked(dialog, "host ").empty());
    dialog.hostList()->setCurrentItem(entry(dialog.hostList(), "velkin_pe_sel"));
    EXPECT_EQ(std::vector<std::string>{"host Select"}, checked(dialog, "host "));
}

TEST_F(AccessRestrictionTest, AddInsertsARefusedHostOnce) {
    AccessRestrictionDialog dialog(*session, op, "velkin_pe_db");
    StatementLog log;
    op.defaultAnswer = true;
    dialog.add();
    EXPECT_EQ(QStringList{"The host who restricts is inputted."}, op.messageTexts());
    EXPECT_TRUE(op.questions.empty());

    op.clear();
    edit(dialog, "Add host")->setText("velkin_pe_new");
    op.answer(false);
    dialog.add();
    EXPECT_EQ("May I add truly?(velkin_pe_new)", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());
    op.answer(true);
    dialog.add();
    EXPECT_EQ(
        (std::vector<std::string>{"INSERT INTO mysql.host SET  Host = 'velkin_pe_new',Db = 'velkin_pe_db'",
                                  "select * from mysql.host where Db = 'velkin_pe_db'"}),
        log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ(std::vector<std::string>{"velkin_pe_new"}, labels(dialog.hostList()));
    EXPECT_EQ(AccessRestrictionDialog::Refused, picture(dialog.hostList(), "velkin_pe_new"));
    EXPECT_EQ("velkin_pe_new", edit(dialog, "Add host")->text()) << "the field keeps its text";

    op.clear();
    op.answer(true);
    dialog.add();
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("There is no right to access.\n1062:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.host WHERE Db = 'velkin_pe_db'"));
}

TEST_F(AccessRestrictionTest, UpdateRenamesTheHostAndAlwaysEmptiesTheBlock) {
    addHost("velkin_pe_old", "velkin_pe_db");
    AccessRestrictionDialog dialog(*session, op, "velkin_pe_db");

    // Nothing chosen: refused, yet the block is emptied.
    edit(dialog, "Host")->setText("typed");
    box(dialog, "host Drop")->setChecked(true);
    StatementLog log;
    dialog.update();
    EXPECT_EQ(QStringList{"A host is chosen."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(edit(dialog, "Host")->text().isEmpty());
    EXPECT_TRUE(checked(dialog, "host ").empty());

    op.clear();
    dialog.hostList()->setCurrentItem(entry(dialog.hostList(), "velkin_pe_old"));
    edit(dialog, "Host")->setText("velkin_pe_ren");
    box(dialog, "host Select")->setChecked(true);
    box(dialog, "host Reference")->setChecked(true);
    log.clear();
    op.answer(true);
    dialog.update();
    EXPECT_EQ("May I update truly?(velkin_pe_old)", op.questions.at(0).text);
    EXPECT_EQ(
        (std::vector<std::string>{
            "UPDATE host SET Host = 'velkin_pe_ren',Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' "
            ",Delete_priv = 'N' ,Create_priv = 'N' ,Drop_priv = 'N' ,Grant_priv = 'N' ,References_priv = 'Y' "
            ",Index_priv = 'N',Alter_priv = 'N' where db = 'velkin_pe_db' AND Host = 'velkin_pe_old'",
            "select * from mysql.host where Db = 'velkin_pe_db'"}),
        log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ(std::vector<std::string>{"velkin_pe_ren"}, labels(dialog.hostList()));
    EXPECT_EQ(AccessRestrictionDialog::Restricted, picture(dialog.hostList(), "velkin_pe_ren"));
    EXPECT_EQ("velkin_pe_ren|Y|Y|N",
              value("SELECT CONCAT_WS('|', Host, Select_priv, References_priv, Drop_priv) "
                    "FROM mysql.host WHERE Db = 'velkin_pe_db'"));
    EXPECT_TRUE(dialog.selectedHost().isEmpty());
    EXPECT_TRUE(edit(dialog, "Host")->text().isEmpty());
    EXPECT_TRUE(checked(dialog, "host ").empty());

    // No to the question: nothing sent, the block still emptied.
    dialog.hostList()->setCurrentItem(entry(dialog.hostList(), "velkin_pe_ren"));
    log.clear();
    op.answer(false);
    dialog.update();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(edit(dialog, "Host")->text().isEmpty());
    EXPECT_TRUE(checked(dialog, "host ").empty());
}

TEST_F(AccessRestrictionTest, DeleteRemovesTheChosenHost) {
    addHost("velkin_pe_a", "velkin_pe_db", ", Index_priv = 'Y'");
    addHost("velkin_pe_b", "velkin_pe_db");
    AccessRestrictionDialog dialog(*session, op, "velkin_pe_db");
    StatementLog log;
    dialog.deleteHost();
    EXPECT_EQ(QStringList{"A host is chosen."}, op.messageTexts());

    op.clear();
    dialog.hostList()->setCurrentItem(entry(dialog.hostList(), "velkin_pe_a"));
    EXPECT_EQ(std::vector<std::string>{"host Index"}, checked(dialog, "host "));
    log.clear();
    op.answer(true);
    dialog.deleteHost();
    EXPECT_EQ("May I delete truly?(velkin_pe_a)", op.questions.at(0).text);
    EXPECT_EQ((std::vector<std::string>{
                  "DELETE FROM mysql.host where  Host = 'velkin_pe_a' AND Db = 'velkin_pe_db'",
                  "select * from mysql.host where Db = 'velkin_pe_db'"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(std::vector<std::string>{"velkin_pe_b"}, labels(dialog.hostList()));
    EXPECT_TRUE(dialog.selectedHost().isEmpty());
    EXPECT_TRUE(edit(dialog, "Host")->text().isEmpty());
    EXPECT_TRUE(checked(dialog, "host ").empty());
}

TEST_F(AccessRestrictionTest, PointerRestingOnAHostChoosesIt) {
    addHost("velkin_pe_a", "velkin_pe_db");
    addHost("velkin_pe_b", "velkin_pe_db");
    AccessRestrictionDialog dialog(*session, op, "velkin_pe_db");
    StatementLog log;
    const QModelIndex index = dialog.hostList()->model()->index(1, 0);
    const QString host = dialog.hostList()->item(1)->text();
    dialog.hostListHover()->enter(index);
    EXPECT_TRUE(dialog.selectedHost().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.selectedHost().isEmpty(); }, 3000));
    EXPECT_EQ(host, dialog.selectedHost());
    EXPECT_EQ(host, edit(dialog, "Host")->text());
    EXPECT_EQ(1u, log.statements.size());
}

TEST_F(AccessRestrictionTest, ASessionWithoutGrantTablesIsToldWhy) {
    auto common = connectAs(commonAccount());
    pinOldServer(*common);
    AccessRestrictionDialog dialog(*common, op, "velkin_pe_db");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("There is no right to access.\n1142:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ(appTitle(), op.messages.at(0).caption);
    EXPECT_EQ(MessageIcon::None, op.messages.at(0).icon);
}
