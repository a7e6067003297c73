#include "GrantRowsTest.h"
#include "privileges/DbDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {
using DbDialogTest = GrantRowsTest;
}

TEST_F(DbDialogTest, OpensWithTheRowKeyAndFlags) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a",
          ", Insert_priv = 'Y', Grant_priv = 'y', Index_priv = 'N'");
    StatementLog log;
    DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
    EXPECT_EQ("DB", dialog.windowTitle());
    EXPECT_EQ((std::vector<std::string>{"select * from mysql.db where db = 'velkin_pe_db' AND Host = "
                                        "'localhost' AND User = 'velkin_pe_a'"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ("localhost", edit(dialog, "Host")->text());
    EXPECT_EQ("velkin_pe_db", edit(dialog, "Database name")->text());
    EXPECT_EQ("velkin_pe_a", edit(dialog, "User name")->text());
    EXPECT_EQ((std::vector<std::string>{"db Insert", "db Grant"}), checked(dialog, "db "));
    EXPECT_EQ(10u, dialog.findChildren<QCheckBox*>().size());

    op.clear();
    DbDialog missing(*session, op, "localhost", "velkin_pe_db", "velkin_pe_none");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("User information was not able to be taken out.", op.messages[0].text);
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
}

TEST_F(DbDialogTest, UpdateMovesTheRowToTheNewKeyAndShowsItThere) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a", ", Select_priv = 'Y'");
    DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
    edit(dialog, "Host")->setText("velkin_pe_h");
    edit(dialog, "Database name")->setText("velkin_pe_db2");
    edit(dialog, "User name")->setText("velkin_pe_b");
    box(dialog, "db Delete")->setChecked(true);
    StatementLog log;
    op.answer(true);
    op.answer(true);
    dialog.update();

    ASSERT_EQ(2u, op.questions.size());
    EXPECT_EQ("May I update truly?", op.questions[0].text);
    EXPECT_EQ("The database name is changed. Is it very well?", op.questions[1].text);
    EXPECT_EQ(
        (std::vector<std::string>{
            "UPDATE mysql.db SET Host = 'velkin_pe_h',Db = 'velkin_pe_db2',User = 'velkin_pe_b',Select_priv "
            "= 'Y'"
            ",Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'Y' ,Create_priv = 'N' ,Drop_priv = 'N' "
            ",Grant_priv = 'N' ,References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'N' where db = "
            "'velkin_pe_db' AND Host = 'localhost' AND User = 'velkin_pe_a'",
            "select * from mysql.db where db = 'velkin_pe_db2' AND Host = 'velkin_pe_h' AND User = "
            "'velkin_pe_b'"}),
        log.statements);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
    EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("velkin_pe_h", dialog.keyHost());
    EXPECT_EQ("velkin_pe_db2", dialog.keyDatabase());
    EXPECT_EQ("velkin_pe_b", dialog.keyUser());
    EXPECT_EQ("0", value("SELECT COUNT(*) FROM mysql.db WHERE User = 'velkin_pe_a'"));
    EXPECT_EQ("velkin_pe_h|velkin_pe_db2|Y|Y",
              value("SELECT CONCAT_WS('|', Host, Db, Select_priv, Delete_priv) FROM "
                    "mysql.db WHERE User = 'velkin_pe_b'"));
    EXPECT_EQ((std::vector<std::string>{"db Select", "db Delete"}), checked(dialog, "db "));
}

TEST_F(DbDialogTest, UpdateClosesAsOkWhateverHappens) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a");
    addDb("localhost", "velkin_pe_db", "velkin_pe_b");
    StatementLog log;
    {
        DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
        log.clear();
        op.answer(false);
        dialog.update();
        EXPECT_EQ(QDialog::Accepted, dialog.result());
        EXPECT_TRUE(log.statements.empty());
    }
    {
        DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
        edit(dialog, "Database name")->setText("velkin_pe_db3");
        log.clear();
        op.clear();
        op.answer(true);
        op.answer(false);
        dialog.update();
        EXPECT_EQ(2u, op.questions.size());
        EXPECT_EQ(QDialog::Accepted, dialog.result());
        EXPECT_TRUE(log.statements.empty()) << "No to the changed name saves nothing";
    }
    {
        // Taking the key of another row fails at the server.
        DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
        edit(dialog, "User name")->setText("velkin_pe_b");
        log.clear();
        op.clear();
        op.answer(true);
        dialog.update();
        ASSERT_EQ(1u, op.messages.size());
        EXPECT_TRUE(op.messages[0].text.startsWith("It failed in updating.\n1062:"))
            << op.messages[0].text.toStdString();
        EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
        EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
        EXPECT_TRUE(log.calls.empty());
        EXPECT_EQ(QDialog::Accepted, dialog.result());
        EXPECT_EQ("velkin_pe_a", dialog.keyUser()) << "the key stays after a failure";
    }
    EXPECT_EQ("2", value("SELECT COUNT(*) FROM mysql.db WHERE Db = 'velkin_pe_db'"));
}

TEST_F(DbDialogTest, DeleteRemovesTheRowAndClosesOrRefusesAnEmptyUser) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a");
    addDb("velkin_pe_h", "velkin_pe_db", "");
    StatementLog log;
    {
        DbDialog dialog(*session, op, "velkin_pe_h", "velkin_pe_db", "");
        log.clear();
        op.defaultAnswer = true;
        dialog.deleteRow();
        EXPECT_EQ(QStringList{"A user is chosen."}, op.messageTexts());
        EXPECT_EQ(MessageIcon::None, op.messages[0].icon);
        EXPECT_TRUE(op.questions.empty());
        EXPECT_TRUE(log.statements.empty());
        EXPECT_EQ(0, dialog.result());
    }
    op.clear();
    op.defaultAnswer = false;
    DbDialog dialog(*session, op, "localhost", "velkin_pe_db", "velkin_pe_a");
    log.clear();
    dialog.deleteRow();
    EXPECT_EQ("May I delete truly?(velkin_pe_a)", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(0, dialog.result()) << "No keeps the dialog open";
    op.answer(true);
    dialog.deleteRow();
    EXPECT_EQ((std::vector<std::string>{"DELETE FROM mysql.db where  Host = 'localhost' AND Db = "
                                        "'velkin_pe_db' AND User = 'velkin_pe_a'"}),
              log.statements);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.db WHERE Db = 'velkin_pe_db'"));
}
