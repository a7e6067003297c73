#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <map>

#include "GrantRowsTest.h"
#include "privileges/AccountLegend.h"
#include "privileges/AccountStatements.h"
#include "privileges/GrantListText.h"
#include "privileges/PictureList.h"
#include "privileges/UserEditorDialog.h"
#include "privileges/UserListDialog.h"
#include "privileges/UserTableStatements.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class UserListTest : public GrantRowsTest {
protected:
    // These cases prove the statements on the classic grant tables; where accounts are changed with
    // account statements, AccountEffectsTest drives the same list.
    void SetUp() override {
        if (onStockServer())
            GTEST_SKIP() << "statements of the classic grant tables";
        GrantRowsTest::SetUp();
    }
    /// Entries as user@host, the user being the label.
    static std::vector<std::string> accounts(const QListWidget* list) {
        std::vector<std::string> rows;
        for (int i = 0; i < list->count(); ++i)
            rows.push_back(
                (list->item(i)->text() + "@" + list->item(i)->data(kSecondText).toString()).toStdString());
        return rows;
    }
    static QListWidgetItem* account(QListWidget* list, const QString& user, const QString& host) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == user && list->item(i)->data(kSecondText).toString() == host)
                return list->item(i);
        ADD_FAILURE() << "no entry " << user.toStdString() << "@" << host.toStdString();
        return nullptr;
    }
    static bool hasPicture(QListWidgetItem* item, HostClass hostClass) {
        return item &&
               item->icon().pixmap(32, 32).toImage() == accountPicture(hostClass).pixmap(32, 32).toImage();
    }
    /// Answers the next nested dialog with the user editor's mode and key, as "mode|host|user|password".
    void recordEditor(QString* seen) {
        op.onModal([seen](QDialog& d) {
            auto& editor = dynamic_cast<UserEditorDialog&>(d);
            *seen = QString::number(editor.mode()) + "|" + editor.keyHost() + "|" + editor.keyUser() + "|" +
                    editor.findChild<QLineEdit*>("Password")->text();
            return int(QDialog::Rejected);
        });
    }
};

}  // namespace

TEST_F(UserListTest, AccountsAreSplitByPrivilegeInServerOrderWithHostPictures) {
    addUser("localhost", "velkin_pe_sel", ", Select_priv = 'Y'");
    addUser("%", "velkin_pe_none");
    addUser("%.example.com", "velkin_pe_exec", ", Execute_priv = 'Y'");
    addUser("LOCALHOST", "velkin_pe_caps");
    addUser("192.168.%", "velkin_pe_net", ", Alter_priv = 'Y'");
    addUser("10.0.0.1", "velkin_pe_ip");
    addUser("velkin_pe_anon", "");
    StatementLog log;
    UserListDialog dialog(*session, op);
    EXPECT_EQ("User List", dialog.windowTitle());
    EXPECT_EQ(std::vector<std::string>{"select * from user"}, log.statements);
    EXPECT_TRUE(op.messages.empty());

    // Every account is in exactly one list, each list in server order.
    auto server = rows("select * from mysql.user", {1, 0});
    for (auto& a : server) {
        a[a.find('|')] = '@';
        if (a.front() == '@')
            a = "(no user)" + a;
    }
    const auto admins = accounts(dialog.adminList()), commons = accounts(dialog.commonList());
    EXPECT_EQ(server.size(), admins.size() + commons.size());
    std::map<std::string, size_t> position;
    for (size_t i = 0; i < server.size(); ++i)
        position[server[i]] = i;
    for (const auto* list : {&admins, &commons})
        for (size_t i = 1; i < list->size(); ++i)
            EXPECT_LT(position.at((*list)[i - 1]), position.at((*list)[i]));

    auto has = [](const std::vector<std::string>& list, const char* text) {
        return std::find(list.begin(), list.end(), text) != list.end();
    };
    EXPECT_TRUE(has(admins, "velkin_pe_sel@localhost")) << "one global privilege is enough";
    EXPECT_TRUE(has(admins, "velkin_pe_exec@%.example.com")) << "also one the editor does not show";
    EXPECT_TRUE(has(admins, "velkin_pe_net@192.168.%"));
    EXPECT_TRUE(has(admins, "root@localhost"));
    EXPECT_TRUE(has(commons, "velkin_pe_none@%"));
    EXPECT_TRUE(has(commons, "velkin_pe_caps@LOCALHOST"));
    EXPECT_TRUE(has(commons, "velkin_pe_ip@10.0.0.1"));
    EXPECT_TRUE(has(commons, "(no user)@velkin_pe_anon"));

    EXPECT_TRUE(hasPicture(account(dialog.adminList(), "velkin_pe_sel", "localhost"), HostClass::Local));
    EXPECT_TRUE(hasPicture(account(dialog.commonList(), "velkin_pe_none", "%"), HostClass::Global));
    EXPECT_TRUE(
        hasPicture(account(dialog.adminList(), "velkin_pe_exec", "%.example.com"), HostClass::Global));
    EXPECT_TRUE(
        hasPicture(account(dialog.commonList(), "velkin_pe_caps", "LOCALHOST"), HostClass::Restricted));
    EXPECT_TRUE(hasPicture(account(dialog.adminList(), "velkin_pe_net", "192.168.%"), HostClass::Restricted));
    EXPECT_TRUE(hasPicture(account(dialog.commonList(), "velkin_pe_ip", "10.0.0.1"), HostClass::Restricted));

    for (const char* legend : {"Local User", "Global User", "The user with restriction"})
        EXPECT_NE(nullptr, dialog.findChild<QLabel*>(legend)) << legend;
}

TEST_F(UserListTest, ChoosingShowsTheAccountAndDeleteRemovesOnlyItsRows) {
    addUser("localhost", "velkin_pe_dup");
    addUser("%", "velkin_pe_dup");
    addDb("localhost", "velkin_pe_d1", "velkin_pe_dup");
    addDb("%", "velkin_pe_d2", "velkin_pe_dup");
    addDb("velkin_pe_gone", "velkin_pe_d3", "velkin_pe_dup");
    UserListDialog dialog(*session, op);
    StatementLog log;
    dialog.deleteAccount();
    EXPECT_EQ(QStringList{"A user is chosen."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    op.clear();
    dialog.commonList()->setCurrentItem(account(dialog.commonList(), "velkin_pe_dup", "localhost"));
    EXPECT_EQ("velkin_pe_dup", edit(dialog, "User")->text());
    EXPECT_EQ("localhost", edit(dialog, "The host who can access")->text());
    op.answer(false);
    dialog.deleteAccount();
    EXPECT_EQ("May I delete truly?\n\nUser : velkin_pe_dup\nHost     : localhost", op.questions.at(0).text);
    EXPECT_TRUE(log.statements.empty());
    // The rows at a host that no account has are shown; declined, they stay.
    op.answer(true);
    op.answer(false);
    dialog.deleteAccount();
    std::vector<std::string> expected{
        "DELETE FROM mysql.user where  Host = 'localhost' AND User = 'velkin_pe_dup'"};
    for (const auto& sql : accountGrantRowsDelete(*session, "localhost", "velkin_pe_dup"))
        expected.push_back(sql);
    expected.push_back(orphanGrantHostsQuery(*session, "velkin_pe_dup"));
    expected.push_back("select * from user");
    EXPECT_EQ(expected, log.statements);
    EXPECT_EQ(orphanGrantsQuestion("velkin_pe_dup", {"velkin_pe_gone"}), op.questions.at(2).text);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls) << "the delete is put into force";
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ("%", value("SELECT GROUP_CONCAT(Host) FROM mysql.user WHERE User = 'velkin_pe_dup'"));
    EXPECT_EQ("velkin_pe_d2,velkin_pe_d3",
              value("SELECT GROUP_CONCAT(Db ORDER BY Db) FROM mysql.db WHERE User = 'velkin_pe_dup'"))
        << "the same name at another host keeps its grants";
    EXPECT_EQ((std::vector<std::string>{"velkin_pe_dup@%"}), [&] {
        std::vector<std::string> mine;
        for (const auto& a : accounts(dialog.commonList()))
            if (a.rfind("velkin_pe", 0) == 0)
                mine.push_back(a);
        return mine;
    }());
    EXPECT_EQ("", dialog.selectedUser()) << "the deleted account is chosen no more";
    EXPECT_EQ("", edit(dialog, "The host who can access")->text());
    EXPECT_TRUE(dialog.commonList()->selectedItems().isEmpty());
}

TEST_F(UserListTest, TheAnonymousAccountIsDeletedByTheEmptyName) {
    addUser("velkin_pe_anon", "");
    addDb("velkin_pe_anon", "velkin_pe_d1", "");
    UserListDialog dialog(*session, op);
    dialog.commonList()->setCurrentItem(account(dialog.commonList(), "(no user)", "velkin_pe_anon"));
    EXPECT_EQ("(no user)", edit(dialog, "User")->text());
    StatementLog log;
    op.answer(true);
    QTest::keyClick(dialog.commonList(), Qt::Key_Delete);
    EXPECT_EQ("May I delete truly?\n\nUser : \nHost     : velkin_pe_anon", op.questions.at(0).text);
    EXPECT_EQ("DELETE FROM mysql.user where  Host = 'velkin_pe_anon' AND User = ''", log.statements.at(0));
    EXPECT_EQ("DELETE FROM mysql.db where  User = '' AND Host = 'velkin_pe_anon'", log.statements.at(1));
    EXPECT_EQ("0", value("SELECT COUNT(*) FROM mysql.user WHERE Host = 'velkin_pe_anon'"));
    EXPECT_EQ("0", value("SELECT COUNT(*) FROM mysql.db WHERE Host = 'velkin_pe_anon'"));
}

TEST_F(UserListTest, EditorsOpenedFromTheListReloadGrantsAndRefill) {
    addUser("velkin_pe_anon", "", ", Password = '*secret'");
    addUser("localhost", "velkin_pe_ed", ", Password = '*pw'");
    UserListDialog dialog(*session, op);
    StatementLog log;

    QString seen;
    recordEditor(&seen);
    emit dialog.commonList()->itemDoubleClicked(account(dialog.commonList(), "(no user)", "velkin_pe_anon"));
    EXPECT_EQ(QStringList{"User information"}, op.modalTitles);
    EXPECT_EQ("0|velkin_pe_anon||*secret", seen) << "existing mode, \"(no user)\" is the empty name";
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
    EXPECT_EQ("select * from user", log.statements.back());

    log.clear();
    recordEditor(&seen);
    child<QPushButton>(dialog, "New User")->click();
    EXPECT_EQ("1|||", seen);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
    EXPECT_EQ(std::vector<std::string>{"select * from user"}, log.statements);

    // The context menu: Add opens a new account, Details the entry under the pointer.
    dialog.show();
    QListWidgetItem* item = account(dialog.commonList(), "velkin_pe_ed", "localhost");
    ASSERT_NE(nullptr, item);
    const QPoint pos = dialog.commonList()->visualItemRect(item).center();
    std::unique_ptr<QMenu> menu(dialog.contextMenu(dialog.commonList(), pos));
    const auto actions = menu->actions();
    ASSERT_EQ(3, actions.size());
    EXPECT_EQ("Add", actions[0]->text());
    EXPECT_EQ("Delete", actions[1]->text());
    EXPECT_EQ("Details", actions[2]->text());
    log.clear();
    recordEditor(&seen);
    actions[2]->trigger();
    EXPECT_EQ("0|localhost|velkin_pe_ed|*pw", seen);
    EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls);
    recordEditor(&seen);
    actions[0]->trigger();
    EXPECT_EQ("1|||", seen);

    // Delete in the menu deletes the selected account, as the button does.
    dialog.commonList()->setCurrentItem(account(dialog.commonList(), "velkin_pe_ed", "localhost"));
    log.clear();
    op.answer(true);
    actions[1]->trigger();
    EXPECT_EQ("DELETE FROM mysql.user where  Host = 'localhost' AND User = 'velkin_pe_ed'",
              log.statements.at(0));
    EXPECT_EQ("0", value("SELECT COUNT(*) FROM mysql.user WHERE User = 'velkin_pe_ed'"));
}

TEST_F(UserListTest, ASessionWithoutGrantTablesShowsNothing) {
    auto common = connectAs(commonAccount());
    UserListDialog dialog(*common, op);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(0, dialog.adminList()->count());
    EXPECT_EQ(0, dialog.commonList()->count());
}
