#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "GrantRowsTest.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/AccountStatements.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/GrantListText.h"
#include "privileges/HostDetailsDialog.h"
#include "privileges/HostListDialog.h"
#include "privileges/PictureList.h"
#include "privileges/UserEditorDialog.h"
#include "privileges/UserListDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kPassword = "it's \"quoted\" \\ too";

// What the privilege screens change must be in force at once: each check logs in afresh as the
// account (global privileges are read at login) and tries the statement.
class AccountEffectsTest : public GrantRowsTest {
protected:
    void SetUp() override {
        GrantRowsTest::SetUp();
        dropClassicLogin();
        exec(*admin, "DROP DATABASE IF EXISTS velkin_pe_fxdb");
        exec(*admin, "CREATE DATABASE velkin_pe_fxdb");
        exec(*admin, "CREATE TABLE velkin_pe_fxdb.t (v INT)");
        exec(*admin, "INSERT INTO velkin_pe_fxdb.t VALUES (7)");
    }
    void TearDown() override {
        dropClassicLogin();
        exec(*admin, "DROP DATABASE IF EXISTS velkin_pe_fxdb");
        GrantRowsTest::TearDown();
    }

    /// On the classic server the login of an account lives apart from its classic row.
    void dropClassicLogin() {
        if (!onStockServer())
            for (const char* user : {"velkin_pe_fd", "velkin_pe_or"})
                exec(*admin, sqlf("DROP USER IF EXISTS '%s'@'%%'", user));
    }
    /// The account user@'%' made afresh with kPassword and no privilege: through the editor where the
    /// server changes accounts with statements; on the classic server its login beside the screens,
    /// and its classic row.
    void makeAccount(const std::string& user) {
        if (onStockServer()) {
            createThroughEditor(user, kPassword, false);
            return;
        }
        exec(*admin, sqlf("DROP USER IF EXISTS '%s'@'%%'", user));
        exec(*admin, sqlf("CREATE USER '%s'@'%%' IDENTIFIED BY %s", user, literal(kPassword)));
        addUser("%", user);
    }
    void addUserRowIfClassic(const std::string& user) {
        if (!onStockServer())
            addUser("%", user);
    }
    /// "denied" when the login fails, else "ok" or the error number of the statement.
    static std::string attempt(const std::string& user, const std::string& password, const std::string& sql) {
        Connection c;
        if (!c.connect(testHost(), user, password, testPort()))
            return "denied";
        if (c.query(sql) != 0)
            return std::to_string(c.errorNumber());
        c.storeResult();
        return "ok";
    }
    static std::string readTable(const std::string& user, const std::string& password) {
        return attempt(user, password, "SELECT v FROM velkin_pe_fxdb.t");
    }
    /// Types into a field as the operator does, so that the editor sees an edit.
    static void type(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
    }
    static bool listed(QListWidget* list, const QString& user, const QString& host) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == user && list->item(i)->data(kSecondText).toString() == host)
                return true;
        return false;
    }
    std::string accountRows(const std::string& user) {
        return value(
            sqlf("SELECT CONCAT((SELECT COUNT(*) FROM mysql.user WHERE User = '%s'), '|', (SELECT "
                 "COUNT(*) FROM mysql.db WHERE User = '%s'), '|', (SELECT COUNT(*) FROM "
                 "mysql.tables_priv WHERE User = '%s'), '|', (SELECT COUNT(*) FROM mysql.procs_priv WHERE "
                 "User = '%s'))",
                 user, user, user, user));
    }
    /// Creates the account through the user editor in new mode.
    void createThroughEditor(const std::string& user, const std::string& password, bool select) {
        UserEditorDialog editor(*session, op);
        type(edit(editor, "Host name"), "%");
        type(edit(editor, "User"), QString::fromStdString(user));
        type(edit(editor, "Password"), QString::fromStdString(password));
        type(edit(editor, "Check"), QString::fromStdString(password));
        box(editor, "user Select")->setChecked(select);
        op.answer(true);
        // The save waits for the server beside the window: the window's timers fire meanwhile.
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(0);
        editor.update();
        tick.stop();
        EXPECT_GT(ticks, 0);
        EXPECT_EQ(QStringList{"It added to the database and data was confirmed."}, op.messageTexts());
        EXPECT_EQ(UserEditorDialog::ExistingUser, editor.mode());
        op.clear();
    }
};

}  // namespace

TEST_F(AccountEffectsTest, AnAccountLivesThroughTheScreensAndEachChangeIsInForceAtOnce) {
    if (!onStockServer())
        GTEST_SKIP() << "the classic layout's mysql.user is not what this server logs in from";
    // Created with a password full of quotes: it logs in, and holds only what was ticked.
    createThroughEditor("velkin_pe_fx", kPassword, false);
    EXPECT_EQ("1142", readTable("velkin_pe_fx", kPassword));
    EXPECT_EQ("denied", readTable("velkin_pe_fx", "wrong"));
    {
        UserListDialog list(*session, op);
        EXPECT_TRUE(listed(list.commonList(), "velkin_pe_fx", "%"));
        EXPECT_FALSE(listed(list.adminList(), "velkin_pe_fx", "%"));
        EXPECT_FALSE(listed(list.adminList(), "mariadb.sys", "localhost")) << "no privilege, not an Admin";
    }

    // A global privilege ticked and saved is in force at once; unticked, it is gone at once.
    {
        UserEditorDialog editor(*session, op, "%", "velkin_pe_fx", "", nullptr);
        EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
        box(editor, "user Select")->setChecked(true);
        op.answer(true);
        editor.update();
        EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
        EXPECT_EQ("ok", readTable("velkin_pe_fx", kPassword));
        UserListDialog list(*session, op);
        EXPECT_TRUE(listed(list.adminList(), "velkin_pe_fx", "%"));
        op.clear();
        box(editor, "user Select")->setChecked(false);
        op.answer(true);
        editor.update();
        EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
        EXPECT_EQ("1142", readTable("velkin_pe_fx", kPassword));
        op.clear();
    }

    // A database privilege given and taken through the Database dialog.
    {
        DatabaseDialog dialog(*session, op, "velkin_pe_fxdb");
        int row = -1;
        for (int r = 0; r < dialog.userList()->rowCount(); ++r)
            if (dialog.userList()->item(r, 1)->text() == "velkin_pe_fx")
                row = r;
        ASSERT_GE(row, 0);
        op.answer(true);
        dialog.addAccount(row);
        EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
        EXPECT_EQ("1142", readTable("velkin_pe_fx", kPassword)) << "a new entry holds nothing";
        op.clear();
        dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_fx"));
        box(dialog, "db Select")->setChecked(true);
        op.answer(true);
        dialog.update();
        EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
        EXPECT_EQ("ok", readTable("velkin_pe_fx", kPassword));
        op.clear();
        dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_fx"));
        box(dialog, "db Select")->setChecked(false);
        op.answer(true);
        dialog.update();
        EXPECT_EQ("1142", readTable("velkin_pe_fx", kPassword));
        op.clear();
        dialog.grantedUsers()->setCurrentItem(entry(dialog.grantedUsers(), "velkin_pe_fx"));
        box(dialog, "db Select")->setChecked(true);
        op.answer(true);
        dialog.update();
        EXPECT_EQ("ok", readTable("velkin_pe_fx", kPassword));
        op.clear();
    }

    // Renamed, then given a new password: each name and password works exactly when it should.
    {
        UserEditorDialog editor(*session, op, "%", "velkin_pe_fx", "", nullptr);
        type(edit(editor, "User"), "velkin_pe_fy");
        op.answer(true);
        editor.update();
        EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
        EXPECT_EQ("velkin_pe_fy", editor.keyUser());
        EXPECT_EQ("denied", readTable("velkin_pe_fx", kPassword));
        EXPECT_EQ("ok", readTable("velkin_pe_fy", kPassword)) << "the database grant moved with the name";
        ASSERT_EQ(1, editor.databaseList()->count());
        EXPECT_EQ("velkin_pe_fxdb", editor.databaseList()->item(0)->text());
        op.clear();

        type(edit(editor, "Password"), "new'one");
        type(edit(editor, "Check"), "new'one");
        op.answer(true);
        editor.update();
        EXPECT_EQ(
            (QStringList{"A password is changed.!!", "The database was updated and data was confirmed."}),
            op.messageTexts());
        EXPECT_EQ("denied", readTable("velkin_pe_fy", kPassword));
        EXPECT_EQ("ok", readTable("velkin_pe_fy", "new'one"));
        op.clear();
    }

    // Deleted from the User List: it cannot log in, nothing of it is left, and the name is free.
    exec(*admin, "GRANT SELECT (v) ON velkin_pe_fxdb.t TO 'velkin_pe_fy'@'%'");
    EXPECT_EQ("1|1|1|0", accountRows("velkin_pe_fy"));
    {
        UserListDialog list(*session, op);
        ASSERT_TRUE(listed(list.commonList(), "velkin_pe_fy", "%"));
        for (int i = 0; i < list.commonList()->count(); ++i)
            if (list.commonList()->item(i)->text() == "velkin_pe_fy")
                list.commonList()->setCurrentRow(i);
        op.answer(true);
        list.deleteAccount();
        EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
        EXPECT_FALSE(listed(list.commonList(), "velkin_pe_fy", "%"));
    }
    EXPECT_EQ("denied", readTable("velkin_pe_fy", "new'one"));
    EXPECT_EQ("0|0|0|0", accountRows("velkin_pe_fy"));
    createThroughEditor("velkin_pe_fy", "again", true);
    EXPECT_EQ("ok", readTable("velkin_pe_fy", "again"));
}

TEST_F(AccountEffectsTest, DeleteUserInTheEditorEndsTheLoginAtOnce) {
    if (!onStockServer())
        GTEST_SKIP() << "the classic layout's mysql.user is not what this server logs in from";
    createThroughEditor("velkin_pe_fz", kPassword, true);
    EXPECT_EQ("ok", readTable("velkin_pe_fz", kPassword));
    UserEditorDialog editor(*session, op, "%", "velkin_pe_fz", "", nullptr);
    StatementLog log;
    op.answer(true);
    editor.deleteUser();
    EXPECT_EQ((std::vector<std::string>{"DROP USER 'velkin_pe_fz'@'%'",
                                        orphanGrantHostsQuery(*session, "velkin_pe_fz")}),
              log.statements)
        << "nothing of the name is left elsewhere, so nothing is asked";
    EXPECT_EQ(1u, op.questions.size());
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ("denied", readTable("velkin_pe_fz", kPassword));
    EXPECT_EQ("0|0|0|0", accountRows("velkin_pe_fz"));
}

// The classic server logs in from mysql.global_priv whatever its classic mysql.user says, so its
// accounts' logins are made beside the screens; mysql.db is the server's own table there, and what the
// screens write to it must be in force at once on both servers.
TEST_F(AccountEffectsTest, DatabaseGrantsFromTheEditorAreInForceAtOnce) {
    if (onStockServer())
        createThroughEditor("velkin_pe_fd", kPassword, false);
    else
        exec(*admin, sqlf("CREATE USER 'velkin_pe_fd'@'%%' IDENTIFIED BY %s", literal(kPassword)));
    addUserRowIfClassic("velkin_pe_fd");
    addDb("%", "velkin_pe_fxdb", "velkin_pe_fd");
    exec(*admin, "FLUSH PRIVILEGES");
    EXPECT_EQ("1142", readTable("velkin_pe_fd", kPassword));

    UserEditorDialog editor(*session, op, "%", "velkin_pe_fd", "", nullptr);
    ASSERT_EQ(1, editor.databaseList()->count());
    editor.databaseList()->setCurrentRow(0);
    box(editor, "db Select")->setChecked(true);
    StatementLog log;
    op.answer(true);
    editor.updateDatabase();
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    if (onStockServer())
        EXPECT_EQ("GRANT SELECT ON `velkin_pe_fxdb`.* TO 'velkin_pe_fd'@'%'", log.statements.at(0))
            << "the account's own grant, in force at once";
    else
        EXPECT_EQ(std::vector<std::string>{"mysql_refresh(1)"}, log.calls) << "the row is put into force";
    EXPECT_EQ("ok", readTable("velkin_pe_fd", kPassword));

    op.clear();
    editor.databaseList()->setCurrentRow(0);
    op.answer(true);
    editor.deleteDatabase();
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(0, editor.databaseList()->count());
    EXPECT_EQ("1142", readTable("velkin_pe_fd", kPassword));
}

// MySQL 8 takes database grants only as statements. Its statements are ones MariaDB accepts too, so the
// session is told it talks to MySQL 8 and the stock server runs what the screens send for it.
TEST_F(AccountEffectsTest, OnMySql8DatabaseGrantsAreGrantAndRevokeOfWhatChanged) {
    if (!onStockServer())
        GTEST_SKIP() << "the classic layout's mysql.user is not what this server logs in from";
    createThroughEditor("velkin_pe_f8", kPassword, false);
    addDb("%", "velkin_pe_fxdb", "velkin_pe_f8", ", Insert_priv = 'Y'");
    exec(*admin, "FLUSH PRIVILEGES");
    ServerDialect mysql8(80036, false);
    mysql8.learnAccounts({"BASE TABLE", false, false, false});
    session->setDialect(mysql8);

    UserEditorDialog editor(*session, op, "%", "velkin_pe_f8", "", nullptr);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    editor.databaseList()->setCurrentRow(0);
    box(editor, "db Select")->setChecked(true);
    box(editor, "db Insert")->setChecked(false);
    StatementLog log;
    op.answer(true);
    editor.updateDatabase();
    EXPECT_EQ((std::vector<std::string>{"GRANT SELECT ON `velkin_pe_fxdb`.* TO 'velkin_pe_f8'@'%'",
                                        "REVOKE INSERT ON `velkin_pe_fxdb`.* FROM 'velkin_pe_f8'@'%'",
                                        "select * from mysql.db where User = 'velkin_pe_f8' AND Host = '%'"}),
              log.statements);
    EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
    EXPECT_EQ("ok", readTable("velkin_pe_f8", kPassword));
    EXPECT_EQ("1142", attempt("velkin_pe_f8", kPassword, "INSERT INTO velkin_pe_fxdb.t VALUES (1)"));

    log.clear();
    op.clear();
    editor.databaseList()->setCurrentRow(0);
    op.answer(true);
    editor.deleteDatabase();
    EXPECT_EQ(
        (std::vector<std::string>{"select * from mysql.db where db = 'velkin_pe_fxdb' AND Host = '%' AND "
                                  "User = 'velkin_pe_f8'",
                                  "REVOKE ALL PRIVILEGES ON `velkin_pe_fxdb`.* FROM 'velkin_pe_f8'@'%'",
                                  "select * from mysql.db where User = 'velkin_pe_f8' AND Host = '%'"}),
        std::vector<std::string>(log.statements.begin(), log.statements.end()));
    EXPECT_EQ("1142", readTable("velkin_pe_f8", kPassword));
    EXPECT_EQ("1|0|0|0", accountRows("velkin_pe_f8"));

    // The global part: GRANT of the ticked and REVOKE of the unticked, never PASSWORD().
    log.clear();
    op.clear();
    box(editor, "user Select")->setChecked(true);
    box(editor, "user Grant")->setChecked(true);
    type(edit(editor, "Password"), "p8");
    type(edit(editor, "Check"), "p8");
    op.answer(true);
    editor.update();
    ASSERT_GE(log.statements.size(), 3u);
    EXPECT_EQ("ALTER USER 'velkin_pe_f8'@'%' IDENTIFIED BY 'p8'", log.statements[0]);
    EXPECT_EQ("GRANT SELECT ON *.* TO 'velkin_pe_f8'@'%' WITH GRANT OPTION", log.statements[1]);
    EXPECT_EQ(
        "REVOKE INSERT, UPDATE, DELETE, CREATE, DROP, RELOAD, SHUTDOWN, PROCESS, FILE, REFERENCES, INDEX, "
        "ALTER ON *.* FROM 'velkin_pe_f8'@'%'",
        log.statements[2]);
    EXPECT_EQ("ok", readTable("velkin_pe_f8", "p8"));
}

// Database privileges from the editor belong to the account it edits, at its own host; deleting the
// account leaves nothing behind that a later account of the same name, or the name connecting from
// elsewhere, could use. The leftovers are rows at a host where no account of the name exists, as
// earlier versions of the editor wrote them for localhost, at the host this test's logins come from.
TEST_F(AccountEffectsTest, DatabaseGrantsStayWithTheEditedAccountAndNothingOutlivesIt) {
    const std::string clientHost = value("SELECT SUBSTRING_INDEX(USER(), '@', -1)");
    ASSERT_NE("%", clientHost);
    const std::string insert = "INSERT INTO velkin_pe_fxdb.t VALUES (1)";
    makeAccount("velkin_pe_or");
    {
        UserEditorDialog editor(*session, op, "%", "velkin_pe_or", "", nullptr);
        StatementLog log;
        chooseDatabase("velkin_pe_fxdb");
        editor.addDatabase();
        EXPECT_TRUE(log.sent(emptyDbRowInsert(*session, "velkin_pe_fxdb", "%", "velkin_pe_or")));
        EXPECT_EQ("1142", readTable("velkin_pe_or", kPassword)) << "a new entry holds nothing";
        ASSERT_EQ(1, editor.databaseList()->count());
        editor.databaseList()->setCurrentRow(0);
        box(editor, "db Select")->setChecked(true);
        box(editor, "db Insert")->setChecked(true);
        log.clear();
        op.answer(true);
        editor.updateDatabase();
        EXPECT_EQ(QStringList{"The database was updated."}, op.messageTexts());
        EXPECT_EQ(onStockServer()
                      ? "GRANT SELECT, INSERT ON `velkin_pe_fxdb`.* TO 'velkin_pe_or'@'%'"
                      : "UPDATE db SET Host = '%',User = 'velkin_pe_or'" +
                            tenFragments({"Select", "Insert"}) +
                            " where db = 'velkin_pe_fxdb' AND Host = '%' AND User = 'velkin_pe_or'",
                  log.statements.at(0));
        EXPECT_EQ("ok", readTable("velkin_pe_or", kPassword));
        EXPECT_EQ("ok", attempt("velkin_pe_or", kPassword, insert));
        EXPECT_EQ("%", value("SELECT GROUP_CONCAT(Host) FROM mysql.db WHERE User = 'velkin_pe_or'"))
            << "no row for a host that has no account";
        op.clear();
    }

    addDb(clientHost, "velkin_pe_fxdb", "velkin_pe_or", ", Select_priv = 'Y', Insert_priv = 'Y'");
    exec(*admin, sqlf("INSERT INTO mysql.tables_priv SET Host = %s, Db = 'velkin_pe_fxdb', User = "
                      "'velkin_pe_or', Table_name = 't', Table_priv = 'Select,Insert'",
                      literal(clientHost)));
    exec(*admin, "FLUSH PRIVILEGES");
    const QString leftovers = orphanGrantsQuestion("velkin_pe_or", {QString::fromStdString(clientHost)});

    // Deleted from the User List, the leftovers declined: the account's own rows are gone, the
    // leftovers stay and still work for the name, as the question says.
    {
        UserListDialog list(*session, op);
        QListWidgetItem* item = entry(list.commonList(), "velkin_pe_or");
        ASSERT_NE(nullptr, item);
        list.commonList()->setCurrentItem(item);
        StatementLog log;
        op.answer(true);
        op.answer(false);
        list.deleteAccount();
        ASSERT_EQ(2u, op.questions.size());
        EXPECT_EQ(leftovers, op.questions[1].text);
        EXPECT_EQ(onStockServer() ? "DROP USER 'velkin_pe_or'@'%'"
                                  : "DELETE FROM mysql.user where  Host = '%' AND User = 'velkin_pe_or'",
                  log.statements.at(0));
        EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
        EXPECT_EQ(clientHost, value("SELECT GROUP_CONCAT(Host) FROM mysql.db WHERE User = 'velkin_pe_or'"));
        op.clear();
    }
    makeAccount("velkin_pe_or");
    EXPECT_EQ("ok", attempt("velkin_pe_or", kPassword, insert)) << "a new account inherits leftovers";

    // Deleted in the editor, the leftovers removed: a new account of the name can read nothing.
    {
        UserEditorDialog editor(*session, op, "%", "velkin_pe_or", "", nullptr);
        op.answer(true);
        op.answer(true);
        editor.deleteUser();
        ASSERT_EQ(2u, op.questions.size());
        EXPECT_EQ(leftovers, op.questions[1].text);
        EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
        EXPECT_EQ(QDialog::Accepted, editor.result());
        EXPECT_EQ("0|0|0|0", accountRows("velkin_pe_or"));
        op.clear();
    }
    makeAccount("velkin_pe_or");
    EXPECT_EQ("1142", readTable("velkin_pe_or", kPassword));
    EXPECT_EQ("1142", attempt("velkin_pe_or", kPassword, insert));
}

// After a rename in the editor the User List shows and acts on the account's new name.
TEST_F(AccountEffectsTest, TheUserListFollowsARenamedAccount) {
    addUser("%", "velkin_pe_rn");
    UserListDialog list(*session, op);
    QListWidgetItem* item = entry(list.commonList(), "velkin_pe_rn");
    ASSERT_NE(nullptr, item);
    list.commonList()->setCurrentItem(item);
    op.onModal([this](QDialog& dialog) {
        auto& editor = dynamic_cast<UserEditorDialog&>(dialog);
        type(edit(editor, "User"), "velkin_pe_rn2");
        op.answer(true);
        editor.update();
        return int(QDialog::Rejected);
    });
    list.openAccount(item);
    EXPECT_EQ(QStringList{"The database was updated and data was confirmed."}, op.messageTexts());
    EXPECT_EQ("velkin_pe_rn2", edit(list, "User")->text());
    EXPECT_EQ("%", edit(list, "The host who can access")->text());
    QListWidgetItem* current = list.commonList()->currentItem();
    ASSERT_NE(nullptr, current);
    EXPECT_EQ("velkin_pe_rn2", current->text());
    EXPECT_TRUE(current->isSelected());
    EXPECT_FALSE(listed(list.commonList(), "velkin_pe_rn", "%"));

    op.clear();
    StatementLog log;
    op.answer(true);
    list.deleteAccount();
    EXPECT_EQ(onStockServer() ? "DROP USER 'velkin_pe_rn2'@'%'"
                              : "DELETE FROM mysql.user where  Host = '%' AND User = 'velkin_pe_rn2'",
              log.statements.at(0));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("0", value("SELECT COUNT(*) FROM mysql.user WHERE User LIKE 'velkin\\_pe\\_rn%'"));
    EXPECT_EQ("", edit(list, "User")->text()) << "nothing is chosen once the account is gone";
}

// Neither test server reads mysql.host (MariaDB 10.0 on ignores it, 10.4 on has none): the host screens
// say where host limits live now, read and write nothing of mysql.host, and create nothing.
TEST_F(AccountEffectsTest, HostScreensSayHostLimitsArePartOfEachAccount) {
    ASSERT_FALSE(session->dialect().honoursHostTable());
    const std::string hostTables =
        "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'mysql' AND TABLE_NAME = 'host'";
    const std::string before = value(hostTables);
    StatementLog log;
    auto notice = [](QDialog& dialog) {
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("Host limits"));
        return label ? label->text() : QString();
    };
    {
        AccessRestrictionDialog dialog(*session, op, "velkin_pe_fxdb");
        EXPECT_EQ(hostTableIgnoredText(), notice(dialog));
        EXPECT_FALSE(edit(dialog, "Add host")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(dialog, "Add")->isEnabled());
        EXPECT_TRUE(child<QPushButton>(dialog, "Close")->isEnabled());
    }
    {
        HostDetailsDialog dialog(*session, op, "velkin_pe_h", "velkin_pe_fxdb");
        EXPECT_EQ(hostTableIgnoredText(), notice(dialog));
        EXPECT_FALSE(child<QPushButton>(dialog, "Update")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(dialog, "Delete")->isEnabled());
    }
    {
        HostListDialog dialog(*session, op);
        EXPECT_EQ(hostTableIgnoredText(), notice(dialog));
        EXPECT_GT(dialog.findChild<QListWidget*>(QStringLiteral("The database currently created"))->count(),
                  0);
    }
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    for (const auto& sql : log.statements)
        EXPECT_EQ(std::string::npos, sql.find("host")) << sql;
    EXPECT_EQ(before, value(hostTables)) << "nothing creates a mysql.host";
    EXPECT_EQ(onStockServer() ? "0" : "1", before);
}
