#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "GrantRowsTest.h"
#include "privileges/AccessRestrictionDialog.h"
#include "privileges/DatabaseDialog.h"
#include "privileges/HostDetailsDialog.h"
#include "privileges/HostListDialog.h"
#include "privileges/PictureList.h"
#include "privileges/UserEditorDialog.h"
#include "privileges/UserListDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

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
            exec(*admin, "DROP USER IF EXISTS 'velkin_pe_fd'@'%'");
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
                 "mysql.tables_priv WHERE User = '%s'))",
                 user, user, user));
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
        editor.update();
        EXPECT_EQ(QStringList{"It added to the database and data was confirmed."}, op.messageTexts());
        EXPECT_EQ(UserEditorDialog::ExistingUser, editor.mode());
        op.clear();
    }
};

const std::string kPassword = "it's \"quoted\" \\ too";

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
    EXPECT_EQ("1|1|1", accountRows("velkin_pe_fy"));
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
    EXPECT_EQ("0|0|0", accountRows("velkin_pe_fy"));
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
    EXPECT_EQ(std::vector<std::string>{"DROP USER 'velkin_pe_fz'@'%'"}, log.statements);
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ("denied", readTable("velkin_pe_fz", kPassword));
    EXPECT_EQ("0|0|0", accountRows("velkin_pe_fz"));
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
                                        "select * from mysql.db where User = 'velkin_pe_f8'"}),
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
                                  "select * from mysql.db where User = 'velkin_pe_f8'"}),
        std::vector<std::string>(log.statements.begin(), log.statements.end()));
    EXPECT_EQ("1142", readTable("velkin_pe_f8", kPassword));
    EXPECT_EQ("1|0|0", accountRows("velkin_pe_f8"));

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
