#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "GrantRowsTest.h"
#include "privileges/AccountStatements.h"
#include "privileges/GrantListText.h"
#include "privileges/UserEditorDialog.h"
#include "privileges/UserTableStatements.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// The classic grant-table rows of one test, all of user names beginning with velkin_ue.
class UserEditorTest : public GrantRowsTest {
protected:
    // These cases prove the statements on the classic grant tables; where accounts are changed with
    // account statements, AccountEffectsTest drives the same screens.
    void SetUp() override {
        if (onStockServer())
            GTEST_SKIP() << "statements of the classic grant tables";
        cleanGrantRows(*admin, "velkin\\_ue");
    }
    void TearDown() override {
        if (!onStockServer())
            cleanGrantRows(*admin, "velkin\\_ue");
    }
    void addUser(const std::string& host, const std::string& user, const std::string& password = "") {
        GrantRowsTest::addUser(
            host, user, sqlf(", Password = %s, Select_priv = 'Y', Alter_priv = 'Y'", literal(password)));
    }
    void addDb(const std::string& host, const std::string& db, const std::string& user,
               const char* select = "N") {
        GrantRowsTest::addDb(host, db, user, sqlf(", Select_priv = '%s'", select));
    }
};

const std::string kAllOff =
    ",Select_priv = 'N',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' ,Drop_priv "
    "= 'N' "
    ",Reload_priv = 'N' ,Shutdown_priv = 'N' ,Process_priv = 'N' ,File_priv = 'N' ,Grant_priv = 'N' "
    ",References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'N'";

}  // namespace

TEST_F(UserEditorTest, NewUserIsInsertedWithThePasswordFragmentEvenWhenEmpty) {
    UserEditorDialog dialog(*session, op);
    EXPECT_EQ("User information", dialog.windowTitle());
    edit(dialog, "Host name")->setText("localhost");
    edit(dialog, "User")->setText("velkin_ue_new");
    box(dialog, "user Select")->setChecked(true);
    box(dialog, "user Alter")->setChecked(true);
    StatementLog log;
    op.answer(true);
    dialog.update();

    const std::string expected =
        "INSERT INTO user SET Host = 'localhost',User = 'velkin_ue_new',Password = PASSWORD('')"
        ",Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' "
        ",Drop_priv = 'N' "
        ",Reload_priv = 'N' ,Shutdown_priv = 'N' ,Process_priv = 'N' ,File_priv = 'N' ,Grant_priv = 'N' "
        ",References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'Y'";
    EXPECT_EQ(std::vector<std::string>{expected}, log.statements);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
    EXPECT_EQ("May I update truly?", op.questions.at(0).text);
    EXPECT_EQ(QStringList{"It added to the database and data was confirmed."}, op.messageTexts());
    EXPECT_EQ("Y|N|Y|",
              value("SELECT CONCAT(Select_priv, '|', Insert_priv, '|', Alter_priv, '|', Password) FROM "
                    "mysql.user WHERE User = 'velkin_ue_new'"));
    EXPECT_EQ(UserEditorDialog::ExistingUser, dialog.mode());
    EXPECT_EQ("localhost", dialog.keyHost());
    EXPECT_EQ("velkin_ue_new", dialog.keyUser());

    // The second save updates the row it made instead of inserting again.
    log.clear();
    op.answer(true);
    dialog.update();
    ASSERT_FALSE(log.statements.empty());
    EXPECT_EQ(
        0u, log.statements[0].find("UPDATE user SET Host = 'localhost',User = 'velkin_ue_new',Select_priv"));
}

TEST_F(UserEditorTest, NewUserRefusalsAndQuotes) {
    UserEditorDialog dialog(*session, op);
    edit(dialog, "Host name")->setText("localhost");
    edit(dialog, "User")->setText("velkin_ue_o'q");
    edit(dialog, "Password")->setText("a");
    edit(dialog, "Check")->setText("b");
    StatementLog log;
    op.answer(false);
    dialog.update();
    EXPECT_TRUE(log.statements.empty()) << "No cancels";
    op.answer(true);
    dialog.update();
    EXPECT_TRUE(log.statements.empty());
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("A password is checked.", op.messages[0].text);
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
    EXPECT_TRUE(edit(dialog, "Password")->text().isEmpty());
    EXPECT_TRUE(edit(dialog, "Check")->text().isEmpty());

    // The commands that need an account say so before it exists, and send nothing.
    op.clear();
    op.defaultAnswer = true;
    dialog.addDatabase();
    dialog.deleteUser();
    dialog.updateDatabase();
    dialog.deleteDatabase();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(4u, op.messages.size());
    EXPECT_TRUE(op.modalTitles.isEmpty()) << "no database is chosen for an account that does not exist";

    // A quote in the user name is saved as typed.
    op.clear();
    op.answer(true);
    dialog.update();
    EXPECT_EQ(QStringList{"It added to the database and data was confirmed."}, op.messageTexts());
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.user WHERE User = 'velkin_ue_o''q'"));
}

TEST_F(UserEditorTest, ExistingUserOpensWithItsFlagsAndOwnDatabasesLastRowFirst) {
    addUser("localhost", "velkin_ue_open");
    addDb("localhost", "velkin_ue_a", "velkin_ue_open");
    addDb("localhost", "velkin_ue_b", "velkin_ue_open", "Y");
    addDb("otherhost", "velkin_ue_c", "velkin_ue_open");
    std::vector<std::string> serverOrder =
        column(*admin, "select Db from mysql.db where User = 'velkin_ue_open' AND Host = 'localhost'");

    UserEditorDialog dialog(*session, op, "localhost", "velkin_ue_open", "", nullptr);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_TRUE(box(dialog, "user Select")->isChecked());
    EXPECT_TRUE(box(dialog, "user Alter")->isChecked());
    EXPECT_FALSE(box(dialog, "user Insert")->isChecked());
    QListWidget* list = dialog.databaseList();
    ASSERT_EQ(2, list->count()) << "the same user name at another host is another account";
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(serverOrder[1 - i], list->item(i)->text().toStdString()) << "the last row comes first";

    StatementLog log;
    auto b = list->findItems("velkin_ue_b", Qt::MatchExactly).first();
    list->setCurrentItem(b);
    EXPECT_EQ((std::vector<std::string>{"select * from mysql.db where db = 'velkin_ue_b' AND Host = "
                                        "'localhost' AND User = 'velkin_ue_open'"}),
              log.statements);
    EXPECT_EQ("velkin_ue_b", dialog.selectedDatabase());
    EXPECT_EQ("localhost", edit(dialog, "db Host")->text());
    EXPECT_TRUE(edit(dialog, "db Host")->isReadOnly()) << "an entry's host is always the account's";
    EXPECT_TRUE(box(dialog, "db Select")->isChecked());
    EXPECT_FALSE(box(dialog, "db Insert")->isChecked());

    // Block update with the boxes as set, then the list is read again.
    box(dialog, "db Drop")->setChecked(true);
    log.clear();
    op.answer(true);
    dialog.updateDatabase();
    ASSERT_GE(log.statements.size(), 1u);
    EXPECT_EQ(
        "UPDATE db SET Host = 'localhost',User = 'velkin_ue_open',Select_priv = 'Y',Insert_priv = 'N'"
        ",Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' ,Drop_priv = 'Y' ,Grant_priv = 'N' "
        ",References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'N' where db = 'velkin_ue_b' AND Host = "
        "'localhost' AND User = 'velkin_ue_open'",
        log.statements[0]);
    EXPECT_EQ("select * from mysql.db where User = 'velkin_ue_open' AND Host = 'localhost'",
              log.statements.at(1));
    EXPECT_EQ("The database was updated.", op.messageTexts().last());
    EXPECT_EQ("Y",
              value("SELECT Drop_priv FROM mysql.db WHERE Db = 'velkin_ue_b' AND User = 'velkin_ue_open'"));

    // Block delete: two blanks after where.
    b = list->findItems("velkin_ue_b", Qt::MatchExactly).first();
    log.clear();
    op.answer(true);
    dialog.deleteDatabase();
    EXPECT_TRUE(log.sent(
        "DELETE FROM mysql.db where  Host = 'localhost' AND Db = 'velkin_ue_b' AND User = 'velkin_ue_open'"));
    EXPECT_EQ(1, list->count());
    EXPECT_EQ("velkin_ue_b", dialog.selectedDatabase()) << "the selected database is kept";
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.db WHERE Db = 'velkin_ue_c'"));
}

TEST_F(UserEditorTest, PasswordIsWrittenOnlyWhenTypedTwiceTheSame) {
    addUser("localhost", "velkin_ue_pw", "*stored");
    UserEditorDialog dialog(*session, op, "localhost", "velkin_ue_pw", "*stored", nullptr);
    EXPECT_EQ("*stored", edit(dialog, "Password")->text());
    StatementLog log;

    op.answer(true);
    dialog.update();
    ASSERT_FALSE(log.statements.empty());
    EXPECT_EQ(std::string::npos, log.statements[0].find("Password")) << "fields left alone";
    EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
    EXPECT_EQ(
        "UPDATE mysql.db SET Host = 'localhost',User = 'velkin_ue_pw' where User = 'velkin_ue_pw' AND Host = "
        "'localhost'",
        log.statements.at(1));
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);

    // Tabbing through Check without typing: the stored text differs from the empty Check.
    op.clear();
    dialog.checkFieldLeft();
    EXPECT_EQ(QStringList{"A password is inputted once again."}, op.messageTexts());
    EXPECT_EQ(appTitle(), op.messages[0].caption);
    EXPECT_TRUE(edit(dialog, "Password")->text().isEmpty());
    EXPECT_FALSE(dialog.passwordEdited());
    log.clear();
    op.answer(true);
    dialog.update();
    EXPECT_EQ(std::string::npos, log.statements.at(0).find("Password"));
    EXPECT_EQ("*stored", value("SELECT Password FROM mysql.user WHERE User = 'velkin_ue_pw'"));

    // The same new text typed into both fields goes between the key part and the flags.
    QTest::keyClicks(edit(dialog, "Password"), "n'ew");
    QTest::keyClicks(edit(dialog, "Check"), "n'ew");
    EXPECT_TRUE(dialog.passwordEdited());
    op.clear();
    log.clear();
    op.answer(true);
    dialog.update();
    EXPECT_EQ(
        "UPDATE user SET Host = 'localhost',User = 'velkin_ue_pw',Password = PASSWORD('n\\'ew')"
        ",Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' "
        ",Drop_priv = 'N' ,Reload_priv = 'N' ,Shutdown_priv = 'N' ,Process_priv = 'N' ,File_priv = 'N' "
        ",Grant_priv = 'N' ,References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'Y' where Host = "
        "'localhost' "
        "AND User = 'velkin_ue_pw'",
        log.statements.at(0));
    ASSERT_GE(op.messages.size(), 1u);
    EXPECT_EQ("A password is changed.!!", op.messages[0].text);
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Information, op.messages[0].icon);
    EXPECT_EQ(value("SELECT PASSWORD('n''ew')"),
              value("SELECT Password FROM mysql.user WHERE User = 'velkin_ue_pw'"));
}

TEST_F(UserEditorTest, RenameMovesOnlyThisAccountsPrivilegeRows) {
    addUser("localhost", "velkin_ue_old");
    addUser("otherhost", "velkin_ue_old");
    addDb("localhost", "velkin_ue_x", "velkin_ue_old");
    addDb("otherhost", "velkin_ue_y", "velkin_ue_old");
    for (const char* host : {"localhost", "otherhost"})
        exec(*admin, sqlf("INSERT INTO mysql.tables_priv SET Host = '%s', Db = 'velkin_ue_x', User = "
                          "'velkin_ue_old', Table_name = 't', Table_priv = 'Select'",
                          host));

    UserEditorDialog dialog(*session, op, "localhost", "velkin_ue_old", "", nullptr);
    edit(dialog, "User")->setText("velkin_ue_new2");
    StatementLog log;
    op.answer(true);
    dialog.update();
    ASSERT_EQ(6u, log.statements.size()) << "the user row, four kinds of privilege rows, the list";
    EXPECT_NE(std::string::npos,
              log.statements[0].find("where Host = 'localhost' AND User = 'velkin_ue_old'"))
        << "the row is addressed by the old key";
    EXPECT_EQ("velkin_ue_new2", dialog.keyUser());
    EXPECT_EQ("localhost", value("SELECT Host FROM mysql.user WHERE User = 'velkin_ue_new2'"));
    EXPECT_EQ("velkin_ue_new2", value("SELECT User FROM mysql.db WHERE Db = 'velkin_ue_x'"));
    EXPECT_EQ("velkin_ue_old", value("SELECT User FROM mysql.db WHERE Db = 'velkin_ue_y'"))
        << "the same user name at another host keeps its rows";
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.user WHERE User = 'velkin_ue_old'"));
    EXPECT_EQ("localhost|velkin_ue_new2,otherhost|velkin_ue_old",
              value("SELECT GROUP_CONCAT(Host, '|', User ORDER BY Host) FROM mysql.tables_priv WHERE Db = "
                    "'velkin_ue_x'"))
        << "table grants move with the account; nobody given the old name inherits them";
    EXPECT_EQ(std::vector<std::string>{"velkin_ue_x"}, labels(dialog.databaseList()));

    // The key follows the saved name: a second save changes the renamed account.
    box(dialog, "user Insert")->setChecked(true);
    op.answer(true);
    dialog.update();
    EXPECT_EQ("Y", value("SELECT Insert_priv FROM mysql.user WHERE User = 'velkin_ue_new2'"));
    EXPECT_EQ("N", value("SELECT Insert_priv FROM mysql.user WHERE User = 'velkin_ue_old'"));
}

TEST_F(UserEditorTest, DatabaseAdditionIsForTheAccountsOwnHost) {
    addUser("%", "velkin_ue_add");
    UserEditorDialog dialog(*session, op, "%", "velkin_ue_add", "", nullptr);
    StatementLog log;
    chooseDatabase("sorvane_common");
    dialog.addDatabase();
    EXPECT_EQ(QStringList{"Select Database"}, op.modalTitles);
    EXPECT_TRUE(
        log.sent("INSERT INTO mysql.db (Host,Db,User,Select_priv,Insert_priv,Update_priv,Delete_priv,"
                 "Create_priv,Drop_priv) VALUES('%','sorvane_common','velkin_ue_add','N','N','N','N',"
                 "'N','N')"));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(1, dialog.databaseList()->count());
    EXPECT_EQ("%", dialog.databaseList()->item(0)->data(Qt::UserRole).toString());

    chooseDatabase("sorvane_common");
    dialog.addDatabase();
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("There is no right to access.\n1062:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);

    op.clear();
    log.clear();
    chooseDatabase("mysql");
    dialog.addDatabase();
    EXPECT_EQ(QStringList{"The database of mysql cannot be added."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    op.clear();
    op.onModal([](QDialog&) { return int(QDialog::Rejected); });
    dialog.addDatabase();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(UserEditorTest, DeleteUserRemovesTheAccountAndEveryGrantRowItOwns) {
    addUser("localhost", "velkin_ue_del");
    addUser("otherhost", "velkin_ue_del");
    addDb("localhost", "velkin_ue_d1", "velkin_ue_del");
    addDb("otherhost", "velkin_ue_d2", "velkin_ue_del");
    addDb("%", "velkin_ue_d3", "velkin_ue_del");
    for (const char* host : {"localhost", "otherhost"}) {
        exec(*admin, sqlf("INSERT INTO mysql.tables_priv SET Host = '%s', Db = 'velkin_ue_d1', User = "
                          "'velkin_ue_del', Table_name = 't', Table_priv = 'Select'",
                          host));
        exec(*admin, sqlf("INSERT INTO mysql.columns_priv SET Host = '%s', Db = 'velkin_ue_d1', User = "
                          "'velkin_ue_del', Table_name = 't', Column_name = 'c', Column_priv = 'Select'",
                          host));
        exec(*admin, sqlf("INSERT INTO mysql.procs_priv SET Host = '%s', Db = 'velkin_ue_d1', User = "
                          "'velkin_ue_del', Routine_name = 'p', Routine_type = 'PROCEDURE', Proc_priv = "
                          "'Execute'",
                          host));
    }
    UserEditorDialog dialog(*session, op, "localhost", "velkin_ue_del", "", nullptr);
    StatementLog log;
    op.answer(false);
    dialog.deleteUser();
    EXPECT_TRUE(log.statements.empty());

    // The account's own rows go; the row at a host where no account of the name is left is shown
    // and goes once agreed.
    op.answer(true);
    op.answer(true);
    dialog.deleteUser();
    std::vector<std::string> expected{
        "DELETE FROM mysql.user where  Host = 'localhost' AND User = 'velkin_ue_del'"};
    for (const auto& sql : accountGrantRowsDelete(*session, "localhost", "velkin_ue_del"))
        expected.push_back(sql);
    expected.push_back(orphanGrantHostsQuery(*session, "velkin_ue_del"));
    for (const auto& sql : orphanGrantRowsDelete(*session, "velkin_ue_del"))
        expected.push_back(sql);
    EXPECT_EQ(expected, log.statements);
    EXPECT_EQ(orphanGrantsQuestion("velkin_ue_del", {"%"}), op.questions.at(2).text);
    EXPECT_EQ((std::vector<std::string>{"mysql_refresh(1)", "mysql_refresh(1)"}), log.calls)
        << "each removal is in force at once";
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_FALSE(dialog.account().has_value()) << "a deleted account is no account";
    EXPECT_EQ("otherhost", value("SELECT GROUP_CONCAT(Host) FROM mysql.user WHERE User = 'velkin_ue_del'"));
    EXPECT_EQ("velkin_ue_d2", value("SELECT GROUP_CONCAT(Db) FROM mysql.db WHERE User = 'velkin_ue_del'"));
    for (const char* table : {"tables_priv", "columns_priv", "procs_priv"})
        EXPECT_EQ("otherhost",
                  value(sqlf("SELECT GROUP_CONCAT(Host) FROM mysql.%s WHERE User = 'velkin_ue_del'", table)))
            << table << ": no grant of the deleted account remains, the other keeps its own";
}

TEST_F(UserEditorTest, PresetsAndMissingAccount) {
    UserEditorDialog dialog(*session, op);
    dialog.setAdmin();
    for (QCheckBox* b : dialog.findChildren<QCheckBox*>()) {
        if (b->objectName().startsWith("user ")) {
            EXPECT_TRUE(b->isChecked()) << b->objectName().toStdString();
        }
    }
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("It becomes an Admin setup.", op.messages[0].text);
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Information, op.messages[0].icon);
    dialog.setCommonUser();
    for (QCheckBox* b : dialog.findChildren<QCheckBox*>())
        EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(1u, op.messages.size()) << "no message for the common preset";

    op.clear();
    UserEditorDialog missing(*session, op, "nohost", "velkin_ue_missing", "", nullptr);
    EXPECT_EQ(QStringList{"User information was not able to be taken out."}, op.messageTexts());
    EXPECT_EQ(0, missing.databaseList()->count());

    op.clear();
    StatementLog log;
    UserEditorDialog::run(*session, op, nullptr);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls) << "every opener reloads the grants";
}
