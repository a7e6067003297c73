#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "session/CSorvaneDoc.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/ForeignKeyText.h"
#include "transfer/TableDuplicateDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// A parent, a child that refers to it by a named constraint and to itself by an unnamed one.
class CopyForeignKeysTest : public ::testing::Test {
protected:
    CopyForeignKeysTest() {
        Connection& c = source.admin();
        exec(c, "CREATE TABLE velkin_fk_src.parent (id INT PRIMARY KEY) ENGINE=InnoDB");
        exec(c,
             "CREATE TABLE velkin_fk_src.child (id INT PRIMARY KEY, pid INT, up INT, KEY (pid), KEY (up), "
             "CONSTRAINT `fk, \"odd\"` FOREIGN KEY (pid) REFERENCES parent (id) ON DELETE CASCADE, "
             "FOREIGN KEY (up) REFERENCES child (id)) ENGINE=InnoDB");
        exec(c, "INSERT INTO velkin_fk_src.parent VALUES (1), (2)");
        exec(c, "INSERT INTO velkin_fk_src.child VALUES (10, 1, NULL), (11, 2, 10), (12, NULL, 11)");
    }

    /// Runs the table duplicate of child into database as newName, answering the questions given.
    void duplicate(const char* database, const char* newName, std::vector<bool> answers) {
        TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_fk_src", "child");
        auto* destination = child<QWidget>(dialog, "Destination");
        auto* list = child<QComboBox>(*destination, "The database point to create");
        list->setCurrentIndex(list->findText(database));
        child<QLineEdit>(*destination, "Table")->setText(newName);
        child<QCheckBox>(dialog, "Data copy")->setChecked(true);
        EXPECT_FALSE(child<QPlainTextEdit>(dialog, "SQL of the table created")->isReadOnly());
        for (bool yes : answers)
            op.answer(yes);
        dialog.create();
    }
    /// Whether the server refuses a row of table that names a parent id it lacks.
    bool refusesOrphan(const std::string& table) {
        return source.admin().query("INSERT INTO " + table + " VALUES (99, 7, NULL)") != 0;
    }

    ScratchDatabase source{"velkin_fk_src"};
    ScratchDatabase other{"velkin_fk_other"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

}  // namespace

TEST(ForeignKeyText, ClausesAreFoundRenamedAndDroppedAsTheServerReadsTheText) {
    const std::string text =
        "CREATE TABLE `a(b` (\n  `id` int NOT NULL,\n  `pid` int DEFAULT 0 COMMENT 'FOREIGN "
        "KEY (x) REFERENCES y',\n  CONSTRAINT `c``1` FOREIGN KEY (`pid`) REFERENCES `p` "
        "(`id`),\n  CONSTRAINT chk CHECK (`id` > 0),\n  FOREIGN KEY (`id`) REFERENCES "
        "`other db`.`q` (`id`) ON DELETE SET NULL\n) ENGINE=InnoDB";
    const std::vector<ForeignKeyClause> clauses = foreignKeyClauses(text);
    ASSERT_EQ(2u, clauses.size());
    EXPECT_EQ("c`1", clauses[0].name);
    EXPECT_EQ("", clauses[0].parentDatabase);
    EXPECT_EQ("p", clauses[0].parentTable);
    EXPECT_EQ("", clauses[1].name);
    EXPECT_EQ("other db", clauses[1].parentDatabase);
    EXPECT_EQ("q", clauses[1].parentTable);

    EXPECT_EQ(
        "CREATE TABLE `a(b` (\n  `id` int NOT NULL,\n  `pid` int DEFAULT 0 COMMENT 'FOREIGN KEY (x) "
        "REFERENCES y',\n  CONSTRAINT chk CHECK (`id` > 0)\n) ENGINE=InnoDB",
        withoutForeignKeys(text, clauses));
    const std::string renamed = withConstraintNames(text, clauses, {"`c_2`", "`q_fk`"});
    EXPECT_NE(std::string::npos, renamed.find("CONSTRAINT `c_2` FOREIGN KEY (`pid`)"));
    EXPECT_NE(std::string::npos, renamed.find("CONSTRAINT `q_fk` FOREIGN KEY (`id`) REFERENCES `other db`"));
    EXPECT_NE(std::string::npos,
              withParentRenamed(text, clauses, "P", "`d`.`p2`").find("REFERENCES `d`.`p2` (`id`)"));
    // The first definition goes with the separator after it.
    EXPECT_EQ(
        "CREATE TABLE t (x int)",
        withoutForeignKeys("CREATE TABLE t (FOREIGN KEY (x) REFERENCES p (x), x int)",
                           foreignKeyClauses("CREATE TABLE t (FOREIGN KEY (x) REFERENCES p (x), x int)")));
    EXPECT_EQ("fk_3", freeConstraintName("fk", {"FK", "Fk_2"}));
    EXPECT_EQ(64u, freeConstraintName(std::string(64, 'n'), {}).size());
}

TEST_F(CopyForeignKeysTest, CopyInTheSameDatabaseGetsItsOwnConstraintNamesAndRefersToItself) {
    duplicate("velkin_fk_src", "child_copy", {true});
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ(
        column(source.admin(), "SELECT CONCAT_WS(',', id, pid, up) FROM velkin_fk_src.child ORDER BY id"),
        column(source.admin(),
               "SELECT CONCAT_WS(',', id, pid, up) FROM velkin_fk_src.child_copy ORDER BY id"));
    // Both keys hold in the copy: an orphan is refused, and its own rows refer to the copy.
    EXPECT_TRUE(refusesOrphan("velkin_fk_src.child_copy"));
    EXPECT_EQ((std::vector<std::string>{"child_copy|child_copy|child_copy_ibfk_1",
                                        "child_copy|parent|fk, \"odd\"_2"}),
              column(source.admin(),
                     "SELECT CONCAT_WS('|', TABLE_NAME, REFERENCED_TABLE_NAME, CONSTRAINT_NAME) FROM "
                     "information_schema.REFERENTIAL_CONSTRAINTS WHERE CONSTRAINT_SCHEMA = "
                     "'velkin_fk_src' AND TABLE_NAME = 'child_copy' ORDER BY 1"));
    EXPECT_NE(std::string::npos,
              fileBytes("rep_table.log")
                  .find("Note: the foreign key `fk, \"odd\"` is named `fk, \"odd\"_2` in the copy"));
}

TEST_F(CopyForeignKeysTest, MissingParentIsNamedBeforeAnythingIsCreated) {
    // Declined: nothing is created.
    duplicate("velkin_fk_other", "child", {true, false});
    ASSERT_EQ(2u, op.questions.size());
    EXPECT_EQ(
        "The foreign key `fk, \"odd\"` of velkin_fk_other.child refers to velkin_fk_other.parent, which "
        "the destination does not have.\nMay I copy the table without that foreign key?",
        op.questions[1].text.toStdString());
    EXPECT_TRUE(op.messageTexts().isEmpty());
    EXPECT_EQ("0", scalar(source.admin(),
                          "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                          "'velkin_fk_other'"));

    // Accepted: the copy holds every row, refers to itself, and has no reference to the missing parent.
    op.clear();
    duplicate("velkin_fk_other", "child", {true, true});
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("3", scalar(source.admin(), "SELECT COUNT(*) FROM velkin_fk_other.child"));
    EXPECT_FALSE(refusesOrphan("velkin_fk_other.child"));
    EXPECT_EQ((std::vector<std::string>{"child"}),
              column(source.admin(),
                     "SELECT REFERENCED_TABLE_NAME FROM information_schema.REFERENTIAL_CONSTRAINTS "
                     "WHERE CONSTRAINT_SCHEMA = 'velkin_fk_other'"));
    // The session's own check is back on.
    EXPECT_EQ("1", scalar(*session, "SELECT @@SESSION.foreign_key_checks"));
}
