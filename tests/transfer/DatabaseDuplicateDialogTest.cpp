#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

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
    EXPECT_EQ("SHOW CREATE DATABASE velkin_dup_newdb", onSession[1]);
    EXPECT_EQ("SHOW FULL TABLES FROM velkin_dup_source", onSession[2]);
    // Children may come before their parents: foreign-key checks are off for the copy.
    EXPECT_EQ("SELECT @@SESSION.foreign_key_checks", onSession[3]);
    EXPECT_EQ("SET SESSION foreign_key_checks = 0", onSession[4]);
    EXPECT_EQ("Show create table velkin_dup_source.a;", onSession[5]);
    EXPECT_EQ(0u, onSession[6].rfind("CREATE TABLE velkin_dup_newdb.a (\n  `id` int(11) NOT NULL,", 0))
        << onSession[6];
    EXPECT_EQ("SET SESSION foreign_key_checks = 1", onSession.back());
    // A keyed table is copied by the server in blocks of its key; one without a key is streamed.
    EXPECT_EQ(0, sent.countStartingWith("select * from velkin_dup_source.a"));
    EXPECT_EQ(1, sent.countStartingWith("INSERT INTO velkin_dup_newdb.a ( id,name,note,amount,data ) SELECT "
                                        "id,name,note,amount,data FROM velkin_dup_source.a "));
    EXPECT_EQ(1, sent.countStartingWith("select id,label from velkin_dup_source.b"));

    EXPECT_EQ(awkwardRows(source.admin(), "velkin_dup_source.a"),
              awkwardRows(copy.admin(), "velkin_dup_newdb.a"));
    EXPECT_EQ(checksum(source.admin(), "velkin_dup_source.b"), checksum(copy.admin(), "velkin_dup_newdb.b"));
    EXPECT_EQ("MyISAM", scalar(copy.admin(),
                               "SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                               "'velkin_dup_newdb' AND TABLE_NAME = 'b'"));
    EXPECT_EQ("1", scalar(copy.admin(),
                          "SELECT COUNT(*) FROM velkin_dup_newdb.b WHERE id IS NULL AND label IS NULL"));
    EXPECT_TRUE(child<QLabel>(dialog, "Progress text")->text().startsWith("Table 2 of 2, b: 3 rows in "))
        << child<QLabel>(dialog, "Progress text")->text().toStdString();
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

    // Typed as the source's own name, in any spelling, no table is copied into itself, and the
    // operator hears so.
    for (const char* name : {"velkin_dup_source", "`velkin_dup_source`"}) {
        op.clear();
        DatabaseDuplicateDialog same(*session, op, login(), "velkin_dup_source");
        run(same, name);
        EXPECT_EQ(QStringList{"velkin_dup_source is the source database itself; nothing was copied."},
                  op.messageTexts());
        EXPECT_NE(QDialog::Accepted, same.result());
        EXPECT_EQ("2", scalar(source.admin(), "SELECT COUNT(*) FROM velkin_dup_source.t"));
    }
}

TEST_F(DatabaseDuplicateTest, CopiesWhatACurrentServerHolds) {
    Connection& a = source.admin();
    // The child's name sorts before its parent's.
    exec(a, "CREATE TABLE velkin_dup_source.z_parent (id INT PRIMARY KEY) ENGINE=InnoDB");
    exec(a,
         "CREATE TABLE velkin_dup_source.a_child (id INT PRIMARY KEY, parent INT, FOREIGN KEY (parent) "
         "REFERENCES velkin_dup_source.z_parent (id)) ENGINE=InnoDB");
    exec(a, "INSERT INTO velkin_dup_source.z_parent VALUES (1), (2)");
    exec(a, "INSERT INTO velkin_dup_source.a_child VALUES (10, 1), (11, 2), (12, NULL)");
    exec(a,
         "CREATE TABLE velkin_dup_source.gen (id INT PRIMARY KEY, v INT, twice INT AS (v * 2) VIRTUAL, "
         "thrice INT AS (v * 3) STORED, hidden INT INVISIBLE DEFAULT 5)");
    exec(a, "INSERT INTO velkin_dup_source.gen (id, v, hidden) VALUES (1, 1, 7), (2, 2, NULL), (3, NULL, 9)");
    exec(a,
         "CREATE VIEW velkin_dup_source.v_gen AS SELECT id, twice FROM velkin_dup_source.gen WHERE id > 1");
    exec(a, "CREATE VIEW velkin_dup_source.v_on_view AS SELECT COUNT(*) AS n FROM velkin_dup_source.v_gen");
    createTortureTable(a, "velkin_dup_source.torture");
    // A key of 0, a keyless table with an invisible column, a sequence that has handed out values and
    // a trigger that must not fire while the rows are copied.
    exec(a, "CREATE TABLE velkin_dup_source.ai (id INT AUTO_INCREMENT PRIMARY KEY, x INT)");
    exec(a, "SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_AUTO_VALUE_ON_ZERO')");
    exec(a, "INSERT INTO velkin_dup_source.ai VALUES (0, 1), (5, 2)");
    exec(a,
         "CREATE TABLE velkin_dup_source.keyless (a INT, h INT INVISIBLE DEFAULT 5, g INT AS (a + 1) "
         "VIRTUAL)");
    exec(a, "INSERT INTO velkin_dup_source.keyless (a, h) VALUES (1, 7), (1, 7), (NULL, NULL)");
    exec(a, "CREATE TABLE velkin_dup_source.versioned (id INT PRIMARY KEY, x INT) WITH SYSTEM VERSIONING");
    exec(a, "INSERT INTO velkin_dup_source.versioned VALUES (1, 1), (2, 2)");
    exec(a, "UPDATE velkin_dup_source.versioned SET x = x + 10 WHERE id = 1");
    exec(a, "DELETE FROM velkin_dup_source.versioned WHERE id = 2");
    exec(a, "CREATE SEQUENCE velkin_dup_source.ids START WITH 100 CACHE 0");
    exec(a, "DO NEXTVAL(velkin_dup_source.ids), NEXTVAL(velkin_dup_source.ids)");
    exec(a,
         "CREATE TRIGGER velkin_dup_source.plus BEFORE INSERT ON velkin_dup_source.gen FOR EACH ROW SET "
         "NEW.v = NEW.v + NEXTVAL(ids)");

    DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
    run(dialog, "velkin_dup_newdb");
    EXPECT_EQ((std::vector<std::string>{"0:1", "5:2"}),
              column(a, "SELECT CONCAT_WS(':', id, x) FROM velkin_dup_newdb.ai ORDER BY id"));
    EXPECT_EQ((std::vector<std::string>{"1:7:2", "1:7:2", "N:N:N"}),
              column(a,
                     "SELECT CONCAT_WS(':', IFNULL(a, 'N'), IFNULL(h, 'N'), IFNULL(g, 'N')) FROM "
                     "velkin_dup_newdb.keyless ORDER BY a DESC"));
    // Past rows keep their versions.
    const char* history =
        "SELECT CONCAT_WS(':', id, x, ROW_START, ROW_END) FROM %s FOR SYSTEM_TIME ALL ORDER BY 1";
    EXPECT_EQ(3u, column(a, sqlf(history, "velkin_dup_source.versioned")).size());
    EXPECT_EQ(column(a, sqlf(history, "velkin_dup_source.versioned")),
              column(a, sqlf(history, "velkin_dup_newdb.versioned")));
    // The copy's trigger fires on the copy, drawing from the copy's sequence where the source's stood.
    exec(a, "INSERT INTO velkin_dup_newdb.gen (id, v) VALUES (9, 1)");
    EXPECT_EQ("103", scalar(a, "SELECT v FROM velkin_dup_newdb.gen WHERE id = 9"));
    EXPECT_EQ("102", scalar(a, "SELECT NEXTVAL(velkin_dup_source.ids)"));
    exec(a, "DELETE FROM velkin_dup_newdb.gen WHERE id = 9");
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts())
        << op.messageTexts().join('|').toStdString();
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("1", scalar(a, "SELECT @@SESSION.foreign_key_checks"));
    EXPECT_EQ("1", scalar(*session, "SELECT @@SESSION.foreign_key_checks"));
    for (const char* table : {"a_child", "z_parent"})
        EXPECT_EQ(checksum(a, std::string("velkin_dup_source.") + table),
                  checksum(a, std::string("velkin_dup_newdb.") + table));
    EXPECT_EQ((std::vector<std::string>{"1:1:2:3:7", "2:2:4:6:N", "3:N:N:N:9"}),
              column(a,
                     "SELECT CONCAT_WS(':', id, IFNULL(v, 'N'), IFNULL(twice, 'N'), IFNULL(thrice, 'N'), "
                     "IFNULL(hidden, 'N')) FROM velkin_dup_newdb.gen ORDER BY id"));
    // The views read the new database's tables.
    exec(a, "DELETE FROM velkin_dup_newdb.gen WHERE id = 3");
    EXPECT_EQ("1", scalar(a, "SELECT n FROM velkin_dup_newdb.v_on_view"));
    EXPECT_EQ("2", scalar(a, "SELECT n FROM velkin_dup_source.v_on_view"));
    EXPECT_EQ("0", differingRows(a, "velkin_dup_source.torture", "velkin_dup_newdb.torture"));
    EXPECT_EQ(tortureRows(a, "velkin_dup_source.torture"), tortureRows(a, "velkin_dup_newdb.torture"));
}

TEST_F(DatabaseDuplicateTest, NamesThatCannotBeMadeAndTablesThatCannotBeCreatedAreReported) {
    exec(source.admin(), "CREATE TABLE velkin_dup_source.t (id INT PRIMARY KEY)");
    exec(source.admin(), "INSERT INTO velkin_dup_source.t VALUES (1), (2), (3)");
    {
        DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
        run(dialog, "new-db");
        ASSERT_EQ(1, op.messageTexts().size());
        EXPECT_EQ(0u, op.messageTexts()[0].toStdString().rfind(
                          "The database new-db could not be created; nothing was copied.\n1064:", 0))
            << op.messageTexts()[0].toStdString();
        EXPECT_NE(QDialog::Accepted, dialog.result()) << "nothing for the tree to add";
    }
    // Written with backticks, the same name is made, and the tree learns the server's spelling.
    op.clear();
    exec(copy.admin(), "DROP DATABASE IF EXISTS `new-db`");
    {
        DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
        run(dialog, "`new-db`");
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
        EXPECT_EQ("new-db", dialog.newDatabase());
        EXPECT_EQ("3", scalar(copy.admin(), "SELECT COUNT(*) FROM `new-db`.t"));
    }
    exec(copy.admin(), "DROP DATABASE `new-db`");

    // Keys that clash in an existing table are refused and logged; a view the server will not create
    // (its table is gone) is named with the server's words.
    op.clear();
    ScratchDirectory dir;
    exec(copy.admin(), "CREATE DATABASE velkin_dup_newdb");
    exec(copy.admin(), "CREATE TABLE velkin_dup_newdb.t (id INT PRIMARY KEY)");
    exec(copy.admin(), "INSERT INTO velkin_dup_newdb.t VALUES (2)");
    exec(source.admin(), "CREATE TABLE velkin_dup_source.gone (id INT)");
    exec(source.admin(), "CREATE VIEW velkin_dup_source.broken AS SELECT id FROM velkin_dup_source.gone");
    exec(source.admin(), "DROP TABLE velkin_dup_source.gone");
    DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
    run(dialog, "velkin_dup_newdb");
    EXPECT_EQ(
        QStringList{"The database was created, but the copy is incomplete.\nt: The copy is incomplete: 2 "
                    "records were copied.\n1 records were refused; they are logged in rep_table.log.\n"
                    "broken: the view was not created.\n1146:Table 'velkin_dup_newdb.gone' doesn't exist"},
        op.messageTexts());
    EXPECT_NE(std::string::npos,
              fileBytes("rep_table.log").find("Error: Query=INSERT INTO velkin_dup_newdb.t"));
}

TEST_F(DatabaseDuplicateTest, StopEndsTheCopyAndNamesWhatWasNotCopied) {
    exec(source.admin(), "CREATE TABLE velkin_dup_source.a_big (id INT PRIMARY KEY, pad VARCHAR(100))");
    exec(source.admin(),
         "INSERT INTO velkin_dup_source.a_big SELECT seq, REPEAT('y', 100) FROM "
         "velkin_dup_source.seq_1_to_400000");
    exec(source.admin(), "CREATE TABLE velkin_dup_source.b_small (id INT PRIMARY KEY)");
    DatabaseDuplicateDialog dialog(*session, op, login(), "velkin_dup_source");
    // Closing while the copy runs asks first; No lets it go on, then Stop ends it.
    QTimer::singleShot(50, [&] {
        op.answer(false);
        dialog.reject();
        EXPECT_FALSE(child<QPushButton>(dialog, "Create")->isEnabled());
        child<QPushButton>(dialog, "Stop")->click();
    });
    run(dialog, "velkin_dup_newdb");
    ASSERT_EQ(2u, op.questions.size());
    EXPECT_EQ("The copy is running. May I stop it?", op.questions[1].text);
    ASSERT_EQ(1, op.messageTexts().size());
    const std::string landed = scalar(copy.admin(), "SELECT COUNT(*) FROM velkin_dup_newdb.a_big");
    EXPECT_LT(std::stoll(landed), 400000);
    EXPECT_EQ("The database was created, but the copy is incomplete.\na_big: The copy was stopped: " +
                  landed + " records were copied.\n" + std::to_string(400000 - std::stoll(landed)) +
                  " records were not copied.\nThe copy was stopped; its views and triggers were not copied.\n"
                  "These tables were not copied: b_small",
              op.messageTexts()[0].toStdString());
    EXPECT_EQ("0", scalar(copy.admin(),
                          "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                          "'velkin_dup_newdb' AND TABLE_NAME = 'b_small'"));
}
