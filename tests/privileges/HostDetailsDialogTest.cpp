#include "GrantRowsTest.h"
#include "privileges/HostDetailsDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {
using HostDetailsTest = HostTableTest;
}

TEST_F(HostDetailsTest, UpdateWritesTheFlagsAndCloses) {
    addHost("velkin_pe_h", "velkin_pe_db", ", Create_priv = 'Y', Alter_priv = 'Y'");
    StatementLog log;
    HostDetailsDialog dialog(*session, op, "velkin_pe_h", "velkin_pe_db");
    EXPECT_EQ("Host details", dialog.windowTitle());
    EXPECT_EQ(
        std::vector<std::string>{
            "select * from mysql.host where db = 'velkin_pe_db' AND Host = 'velkin_pe_h'"},
        log.statements);
    EXPECT_EQ("velkin_pe_h", edit(dialog, "Host")->text());
    EXPECT_TRUE(edit(dialog, "Host")->isReadOnly());
    EXPECT_EQ("velkin_pe_db", edit(dialog, "Database")->text());
    EXPECT_TRUE(edit(dialog, "Database")->isReadOnly());
    EXPECT_EQ((std::vector<std::string>{"host Create", "host Alter"}), checked(dialog, "host "));

    box(dialog, "host Create")->setChecked(false);
    box(dialog, "host Insert")->setChecked(true);
    log.clear();
    op.answer(false);
    dialog.update();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(0, dialog.result());
    op.answer(true);
    dialog.update();
    EXPECT_EQ("May I update truly?(velkin_pe_h)", op.questions.at(1).text);
    EXPECT_EQ(
        (std::vector<std::string>{
            "UPDATE host SET Host = 'velkin_pe_h',Select_priv = 'N',Insert_priv = 'Y',Update_priv = 'N' "
            ",Delete_priv = 'N' ,Create_priv = 'N' ,Drop_priv = 'N' ,Grant_priv = 'N' ,References_priv = 'N' "
            ",Index_priv = 'N',Alter_priv = 'Y' where db = 'velkin_pe_db' AND Host = 'velkin_pe_h'"}),
        log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls) << "the write is put into force";
    EXPECT_EQ("Y|N|Y",
              value("SELECT CONCAT_WS('|', Insert_priv, Create_priv, Alter_priv) FROM mysql.host WHERE "
                    "Db = 'velkin_pe_db'"));
}

TEST_F(HostDetailsTest, DeleteRemovesTheRowAndCloses) {
    addHost("velkin_pe_h", "velkin_pe_db");
    addHost("velkin_pe_h", "velkin_pe_db2");
    HostDetailsDialog dialog(*session, op, "velkin_pe_h", "velkin_pe_db");
    StatementLog log;
    op.answer(false);
    dialog.deleteHost();
    EXPECT_EQ("May I delete truly?(velkin_pe_h)", op.questions.at(0).text);
    EXPECT_EQ(0, dialog.result());
    op.answer(true);
    dialog.deleteHost();
    EXPECT_EQ(
        std::vector<std::string>{
            "DELETE FROM mysql.host where  Host = 'velkin_pe_h' AND Db = 'velkin_pe_db'"},
        log.statements);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("velkin_pe_db2", value("SELECT GROUP_CONCAT(Db) FROM mysql.host WHERE Host = 'velkin_pe_h'"));
}

TEST_F(HostDetailsTest, AnEmptyHostIsRefusedAndAMissingRowSaysSo) {
    HostDetailsDialog dialog(*session, op, "", "velkin_pe_db");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("User information was not able to be taken out.", op.messages[0].text);
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);

    op.clear();
    op.defaultAnswer = true;
    StatementLog log;
    dialog.update();
    dialog.deleteHost();
    EXPECT_EQ((QStringList{"A host is chosen.", "A host is chosen."}), op.messageTexts());
    EXPECT_TRUE(op.questions.empty());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(0, dialog.result());
}
