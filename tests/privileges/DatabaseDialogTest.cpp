#include <QFont>
#include <QTableWidget>
#include <QTest>

#include "GrantRowsTest.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/HoverSelection.h"
#include "privileges/PictureList.h"
#include "privileges/UserEditorDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class DatabaseDialogTest : public GrantRowsTest {
protected:
    /// The "User List" as host@user texts, top to bottom.
    static std::vector<std::string> accounts(const QTableWidget* list) {
        std::vector<std::string> rows;
        for (int r = 0; r < list->rowCount(); ++r)
            rows.push_back((list->item(r, 0)->text() + "@" + list->item(r, 1)->text()).toStdString());
        return rows;
    }
    static int accountRow(const QTableWidget* list, const QString& user) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, 1)->text() == user)
                return r;
        ADD_FAILURE() << "no account " << user.toStdString();
        return -1;
    }
};

}  // namespace

TEST_F(DatabaseDialogTest, OpensWithGrantedUsersAndAccountsLastRowFirst) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a", ", Select_priv = 'Y', Drop_priv = 'Y'");
    addDb("%", "velkin_pe_db", "velkin_pe_b");
    addDb("velkin_pe_h", "velkin_pe_db", "");
    addDb("localhost", "velkin_pe_other", "velkin_pe_c");
    StatementLog log;
    DatabaseDialog dialog(*session, op, "velkin_pe_db");

    EXPECT_EQ("Database", dialog.windowTitle());
    EXPECT_EQ("velkin_pe_db", edit(dialog, "Database name")->text());
    EXPECT_TRUE(edit(dialog, "Database name")->isReadOnly());
    // Roles are left out where the server has them.
    const std::string accountsRead = onStockServer()
                                         ? "select Host,User from mysql.user u where u.is_role <> 'Y'"
                                         : "select Host,User from mysql.user";
    EXPECT_EQ((std::vector<std::string>{"select * from mysql.db where Db = 'velkin_pe_db'", accountsRead}),
              log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();

    const auto serverUsers = rows("select * from mysql.db where Db = 'velkin_pe_db'", {2});
    EXPECT_EQ(reversed(serverUsers), labels(dialog.grantedUsers()));
    EXPECT_EQ("%", entry(dialog.grantedUsers(), "velkin_pe_b")->data(kSecondText).toString());
    auto serverAccounts = rows(accountsRead, {0, 1});
    for (auto& a : serverAccounts)
        a[a.find('|')] = '@';
    EXPECT_EQ(reversed(serverAccounts), accounts(dialog.userList()));
    EXPECT_EQ("Host", dialog.userList()->horizontalHeaderItem(0)->text());
    EXPECT_EQ("User", dialog.userList()->horizontalHeaderItem(1)->text());
    EXPECT_EQ(100, dialog.userList()->columnWidth(0));

    // Choosing a granted user loads its row into the block.
    log.clear();
    dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_a"));
    EXPECT_EQ((std::vector<std::string>{"select * from mysql.db where db = 'velkin_pe_db' AND Host = "
                                        "'localhost' AND User = 'velkin_pe_a'"}),
              log.statements);
    EXPECT_EQ("velkin_pe_a", dialog.selectedUser());
    EXPECT_EQ("localhost", dialog.selectedHost());
    EXPECT_EQ("localhost", edit(dialog, "Host")->text());
    EXPECT_EQ((std::vector<std::string>{"db Select", "db Drop"}), checked(dialog, "db "));
}

TEST_F(DatabaseDialogTest, UpdateRewritesHostAndFlagsThenForgetsTheChoice) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a", ", Select_priv = 'Y'");
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_a"));
    edit(dialog, "Host")->setText("velkin_pe_h2");
    box(dialog, "db Alter")->setChecked(true);
    box(dialog, "db Update")->setChecked(true);

    StatementLog log;
    op.answer(false);
    dialog.update();
    EXPECT_TRUE(log.statements.empty()) << "No cancels";
    op.answer(true);
    dialog.update();
    EXPECT_EQ("May I update truly?(velkin_pe_a)", op.questions.at(1).text);
    EXPECT_EQ(appTitle(), op.questions.at(1).caption);
    EXPECT_EQ(
        (std::vector<std::string>{
            "UPDATE db SET Host = 'velkin_pe_h2',Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'Y' "
            ",Delete_priv = 'N' ,Create_priv = 'N' ,Drop_priv = 'N' ,Grant_priv = 'N' ,References_priv = 'N' "
            ",Index_priv = 'N',Alter_priv = 'Y' where db = 'velkin_pe_db' AND Host = 'localhost' AND User = "
            "'velkin_pe_a'",
            "select * from mysql.db where Db = 'velkin_pe_db'"}),
        log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ("velkin_pe_h2|Y|Y|Y|N",
              value("SELECT CONCAT_WS('|', Host, Select_priv, Update_priv, Alter_priv, "
                    "Insert_priv) FROM mysql.db WHERE User = 'velkin_pe_a'"));
    EXPECT_EQ("velkin_pe_h2", entry(dialog.grantedUsers(), "velkin_pe_a")->data(kSecondText).toString());
    EXPECT_TRUE(dialog.selectedUser().isEmpty());
    EXPECT_TRUE(edit(dialog, "Host")->text().isEmpty());
    EXPECT_TRUE(checked(dialog, "db ").empty());

    // With the choice forgotten, both commands refuse.
    op.clear();
    log.clear();
    dialog.update();
    dialog.deleteGrant();
    EXPECT_EQ((QStringList{"A user is chosen.", "A user is chosen."}), op.messageTexts());
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(DatabaseDialogTest, TheAnonymousUserCanBeChosenButNotChangedOrDeleted) {
    addDb("velkin_pe_h", "velkin_pe_db", "", ", Select_priv = 'Y'");
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    ASSERT_EQ(1, dialog.grantedUsers()->count());
    StatementLog log;
    dialog.grantedUsers()->setCurrentRow(0);
    EXPECT_EQ((std::vector<std::string>{
                  "select * from mysql.db where db = 'velkin_pe_db' AND Host = 'velkin_pe_h' AND User = ''"}),
              log.statements);
    EXPECT_EQ("velkin_pe_h", edit(dialog, "Host")->text());
    EXPECT_EQ(std::vector<std::string>{"db Select"}, checked(dialog, "db "));

    log.clear();
    op.defaultAnswer = true;
    dialog.update();
    dialog.deleteGrant();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_TRUE(op.questions.empty());
    ASSERT_EQ(2u, op.messages.size());
    for (const auto& m : op.messages) {
        EXPECT_EQ("A user is chosen.", m.text);
        EXPECT_EQ(appTitle(), m.caption);
        EXPECT_EQ(MessageIcon::None, m.icon);
    }
    EXPECT_EQ("1", value("SELECT COUNT(*) FROM mysql.db WHERE Db = 'velkin_pe_db' AND User = ''"));
}

TEST_F(DatabaseDialogTest, DeleteRemovesOnlyTheChosenRow) {
    addDb("localhost", "velkin_pe_db", "velkin_pe_a");
    addDb("%", "velkin_pe_db", "velkin_pe_a");
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    ASSERT_EQ(2, dialog.grantedUsers()->count());
    for (int i = 0; i < 2; ++i)
        if (dialog.grantedUsers()->item(i)->data(kSecondText).toString() == "%")
            dialog.grantedUsers()->setCurrentRow(i);
    ASSERT_EQ("%", dialog.selectedHost());

    StatementLog log;
    op.answer(false);
    dialog.deleteGrant();
    EXPECT_TRUE(log.statements.empty());
    op.answer(true);
    dialog.deleteGrant();
    EXPECT_EQ("May I delete truly?(velkin_pe_a)", op.questions.at(1).text);
    EXPECT_EQ((std::vector<std::string>{
                  "DELETE FROM mysql.db where  Host = '%' AND Db = 'velkin_pe_db' AND User = 'velkin_pe_a'",
                  "select * from mysql.db where Db = 'velkin_pe_db'"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty()) << "a delete is silent";
    EXPECT_EQ("localhost", value("SELECT GROUP_CONCAT(Host) FROM mysql.db WHERE Db = 'velkin_pe_db'"));
    ASSERT_EQ(1, dialog.grantedUsers()->count());
    EXPECT_EQ("localhost", dialog.grantedUsers()->item(0)->data(kSecondText).toString());
    EXPECT_TRUE(dialog.selectedUser().isEmpty());
}

TEST_F(DatabaseDialogTest, DoubleClickedAccountGetsARowWithTheTableDefaults) {
    addUser("velkin_pe_h", "velkin_pe_new");
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    const int row = accountRow(dialog.userList(), "velkin_pe_new");
    ASSERT_GE(row, 0);

    StatementLog log;
    op.answer(false);
    emit dialog.userList()->cellDoubleClicked(row, 1);
    EXPECT_EQ("May I add truly?(velkin_pe_new)", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());

    op.answer(true);
    emit dialog.userList()->cellDoubleClicked(row, 0);
    EXPECT_EQ((std::vector<std::string>{
                  "INSERT INTO mysql.db SET  Host = 'velkin_pe_h',Db = 'velkin_pe_db',User = 'velkin_pe_new'",
                  "select * from mysql.db where Db = 'velkin_pe_db'"}),
              log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ(std::vector<std::string>{"velkin_pe_new"}, labels(dialog.grantedUsers()));
    EXPECT_EQ("N|N|N",
              value("SELECT CONCAT_WS('|', Select_priv, Drop_priv, Alter_priv) FROM mysql.db WHERE User "
                    "= 'velkin_pe_new'"));

    // The row exists now: a second addition fails.
    op.clear();
    op.answer(true);
    dialog.addAccount(row);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("There is no right to access.\n1062:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
}

TEST_F(DatabaseDialogTest, QuotesInNamesStayPartOfTheValues) {
    addDb("localhost", "velkin_pe_d'q", "velkin_pe_o'q", ", Insert_priv = 'Y'");
    StatementLog log;
    DatabaseDialog dialog(*session, op, "velkin_pe_d'q");
    EXPECT_EQ("select * from mysql.db where Db = 'velkin_pe_d\\'q'", log.statements.at(0));
    dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_o'q"));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(std::vector<std::string>{"db Insert"}, checked(dialog, "db "));
    box(dialog, "db Grant")->setChecked(true);
    op.answer(true);
    dialog.update();
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ("Y", value("SELECT Grant_priv FROM mysql.db WHERE User = 'velkin_pe_o''q'"));
}

TEST_F(DatabaseDialogTest, ASessionWithoutGrantTablesIsToldWhy) {
    auto common = connectAs(commonAccount());
    DatabaseDialog dialog(*common, op, "velkin_pe_db");
    ASSERT_EQ(2u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("There is no right to access.\n1142:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ(appTitle(), op.messages[0].caption);
    EXPECT_TRUE(op.messages[1].text.startsWith("There is no right to access.\n1142:"))
        << op.messages[1].text.toStdString();
    EXPECT_EQ(0, dialog.grantedUsers()->count());
    EXPECT_EQ(0, dialog.userList()->rowCount());
}

TEST_F(DatabaseDialogTest, PointerRestingOnAnAccountSelectsAndUnderlinesIt) {
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    QTableWidget* list = dialog.userList();
    ASSERT_GE(list->rowCount(), 2);
    dialog.userListHover()->enter(list->model()->index(1, 0));
    EXPECT_TRUE(list->item(1, 0)->font().underline());
    EXPECT_TRUE(list->item(1, 1)->font().underline());
    EXPECT_TRUE(list->selectedItems().isEmpty()) << "not before the pointer has rested";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->selectedItems().isEmpty(); }, 3000));
    EXPECT_EQ(1, list->currentRow());
    EXPECT_EQ(2, list->selectedItems().size()) << "the whole row";

    dialog.userListHover()->enter(list->model()->index(0, 1));
    EXPECT_FALSE(list->item(1, 0)->font().underline());
    EXPECT_TRUE(list->item(0, 0)->font().underline());
}

TEST_F(DatabaseDialogTest, EnterClosesAsOk) {
    DatabaseDialog dialog(*session, op, "velkin_pe_db");
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
}

TEST_F(DatabaseDialogTest, UserEditorOpensItForADoubleClickedDatabase) {
    addUser("localhost", "velkin_pe_ue");
    addDb("localhost", "velkin_pe_db", "velkin_pe_ue");
    UserEditorDialog editor(*session, op, "localhost", "velkin_pe_ue", "", nullptr);
    ASSERT_EQ(1, editor.databaseList()->count());
    QString opened;
    op.onModal([&opened](QDialog& d) {
        opened = dynamic_cast<DatabaseDialog&>(d).database();
        return int(QDialog::Rejected);
    });
    StatementLog log;
    emit editor.databaseList()->itemDoubleClicked(editor.databaseList()->item(0));
    EXPECT_EQ(QStringList{"Database"}, op.modalTitles);
    EXPECT_EQ("velkin_pe_db", opened);
    EXPECT_EQ(2u, log.statements.size()) << "the Database dialog's own reads, nothing reloaded afterwards";
    EXPECT_TRUE(log.calls.empty());
}
