#include <gtest/gtest.h>

#include <QLineEdit>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "session/CSorvaneDoc.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/DatabaseDuplicateDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class DatabaseDuplicateTest : public ::testing::Test {
protected:
    DatabaseDuplicateTest() {
        // Dropped again when the test ends; the dialog creates it.
        exec(copy.admin(), "DROP DATABASE velkin_dup_newdb");
    }
    LoginValues login() const {
        return {"root", "", QString::fromStdString(testHost()), QString::number(testPort())};
    }
    void run(DatabaseDuplicateDialog& dialog, const char* name) {
        child<QLineEdit>(dialog, "New Database")->setText(name);
        op.answer(true);
        dialog.create();
    }

    ScratchDatabase source{"velkin_dup_source"};
    ScratchDatabase copy{"velkin_dup_newdb"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

}  // namespace

TEST_F(DatabaseDuplicateTest, CopiesEveryTableWithItsRowsIntoTheNewDatabase) {
    createAwkwardTable(source.admin(), "velkin_dup_source", "a", 1200);
    exec(source.admin(), "CREATE TABLE velkin_dup_source.b (id INT, label CHAR(3)) ENGINE=MyISAM");
    exec(source.admin(), "INSERT INTO velkin_dup_source.b VALUES (1, 'one'), (1, 'one'), (NULL, NULL)");
    DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
    EXPECT_EQ("", dialog.windowTitle());
    EXPECT_EQ("velkin_dup_source", child<QLineEdit>(dialog, "Database")->text());
    EXPECT_EQ("", child<QLineEdit>(dialog, "New Database")->text());

    dialog.create();
    EXPECT_EQ(QStringList{"A new database is inputted."}, op.messageTexts());
    op.clear();
    ConnectionStatements sent;
    run(dialog, "velkin_dup_newdb");
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ("May I reproduce?", op.questions[0].text);
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("velkin_dup_newdb", dialog.newDatabase());

    const std::vector<std::string> onSession = sent.on(*session);
    ASSERT_GE(onSession.size(), 4u);
    EXPECT_EQ("Create Database velkin_dup_newdb", onSession[0]);
    EXPECT_EQ("SHOW TABLES FROM velkin_dup_source", onSession[1]);
    EXPECT_EQ("Show create table velkin_dup_source.a;", onSession[2]);
    EXPECT_EQ(0u, onSession[3].rfind("CREATE TABLE velkin_dup_newdb.a (\n  `id` int(11) NOT NULL,", 0))
        << onSession[3];
    EXPECT_EQ(1, sent.countStartingWith("select * from velkin_dup_source.a"));
    EXPECT_EQ(1, sent.countStartingWith("select * from velkin_dup_source.b"));

    EXPECT_EQ(awkwardRows(source.admin(), "velkin_dup_source.a"),
              awkwardRows(copy.admin(), "velkin_dup_newdb.a"));
    EXPECT_EQ(checksum(source.admin(), "velkin_dup_source.b"), checksum(copy.admin(), "velkin_dup_newdb.b"));
    EXPECT_EQ("MyISAM", scalar(copy.admin(),
                               "SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                               "'velkin_dup_newdb' AND TABLE_NAME = 'b'"));
    EXPECT_EQ("1", scalar(copy.admin(),
                          "SELECT COUNT(*) FROM velkin_dup_newdb.b WHERE id IS NULL AND label IS NULL"));
}

TEST_F(DatabaseDuplicateTest, EmptyAndExistingDatabases) {
    // Without tables the database is still made.
    exec(source.admin(), "CREATE DATABASE velkin_dup_empty");
    {
        DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_empty");
        run(dialog, "velkin_dup_newdb");
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
        EXPECT_EQ(QDialog::Accepted, dialog.result());
        EXPECT_EQ("velkin_dup_newdb", scalar(copy.admin(), "SHOW DATABASES LIKE 'velkin\\_dup\\_newdb'"));
    }
    exec(source.admin(), "DROP DATABASE velkin_dup_empty");

    // An existing database is filled further: its own table takes the rows.
    op.clear();
    exec(source.admin(), "CREATE TABLE velkin_dup_source.t (id INT)");
    exec(source.admin(), "INSERT INTO velkin_dup_source.t VALUES (1), (2)");
    exec(copy.admin(), "CREATE TABLE velkin_dup_newdb.t (id INT, added INT DEFAULT 7)");
    exec(copy.admin(), "INSERT INTO velkin_dup_newdb.t VALUES (0, 0)");
    DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
    child<QLineEdit>(dialog, "New Database")->setText("velkin_dup_newdb");
    op.answer(false);
    dialog.create();
    EXPECT_EQ(QDialog::Rejected, dialog.result());
    EXPECT_TRUE(op.messages.empty());
    run(dialog, "velkin_dup_newdb");
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ((std::vector<std::string>{"0:0", "1:7", "2:7"}),
              column(copy.admin(), "SELECT CONCAT(id, ':', added) FROM velkin_dup_newdb.t ORDER BY id"));

    // Typed as the source's own name, no table is copied into itself.
    op.clear();
    DatabaseDuplicateDialog same(*session, op, login(), "velkin_dup_source");
    run(same, "velkin_dup_source");
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("2", scalar(source.admin(), "SELECT COUNT(*) FROM velkin_dup_source.t"));
}
