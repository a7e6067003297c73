#include <gtest/gtest.h>

#include "SchemaTesting.h"
#include "schema/RenameTableDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(RenameTableDialog, RenamesAndAlwaysClosesWithTheNameInForce) {
    ScratchDatabase scratch("velkin_schema_rn");
    exec(scratch.admin(), "CREATE TABLE velkin_schema_rn.old (x INT)");
    exec(scratch.admin(), "CREATE TABLE velkin_schema_rn.taken (x INT)");
    auto session = connectAdmin();
    ScriptedOperator op;

    RenameTableDialog d(*session, op, "velkin_schema_rn", "old");
    EXPECT_EQ("Table name change", d.windowTitle());
    EXPECT_EQ("velkin_schema_rn.old", edit(d, "The table name to change")->text());
    EXPECT_TRUE(edit(d, "The table name to change")->isReadOnly());
    EXPECT_EQ("velkin_schema_rn.", edit(d, "A new table name prefix")->text());
    EXPECT_TRUE(edit(d, "A new table name prefix")->isReadOnly());
    EXPECT_EQ("old", edit(d, "A new table name")->text());

    // Refused: the message, and the dialog closes with OK and the old name.
    edit(d, "A new table name")->setText("taken");
    StatementLog log;
    click(d, "OK");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_rn.old RENAME velkin_schema_rn.taken"},
              log.statements);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("It has not changed!!\n1050:Table 'taken' already exists", op.messages[0].text)
        << "the server says why";
    EXPECT_EQ("Velkin Infomation", op.messages[0].caption);
    EXPECT_EQ(MessageIcon::Stop, op.messages[0].icon);
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ("old", d.tableName());

    // The same name is sent too; whatever the server says, the name stays.
    RenameTableDialog same(*session, op, "velkin_schema_rn", "old");
    log.clear();
    click(same, "OK");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_rn.old RENAME velkin_schema_rn.old"},
              log.statements);
    EXPECT_EQ(QDialog::Accepted, same.result());
    EXPECT_EQ("old", same.tableName());

    RenameTableDialog good(*session, op, "velkin_schema_rn", "old");
    edit(good, "A new table name")->setText("fresh");
    op.clear();
    click(good, "OK");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(QDialog::Accepted, good.result());
    EXPECT_EQ("fresh", good.tableName());
    EXPECT_EQ((std::vector<std::string>{"fresh", "taken"}),
              column(scratch.admin(),
                     "SELECT TABLE_NAME FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                     "'velkin_schema_rn' ORDER BY TABLE_NAME"));

    // Cancel sends nothing; a name read from the server that must be quoted is.
    exec(scratch.admin(), "CREATE TABLE velkin_schema_rn.`rank` (x INT)");
    RenameTableDialog cancel(*session, op, "velkin_schema_rn", "rank");
    log.clear();
    click(cancel, "Cancel");
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(QDialog::Rejected, cancel.result());
    RenameTableDialog quoted(*session, op, "velkin_schema_rn", "rank");
    edit(quoted, "A new table name")->setText("ranking");
    click(quoted, "OK");
    EXPECT_EQ("ALTER TABLE velkin_schema_rn.`rank` RENAME velkin_schema_rn.ranking", log.statements.back());
    EXPECT_EQ("ranking", quoted.tableName());

    // A typed name in backticks is made plain once: the table gets it, and so does the opener.
    RenameTableDialog typed(*session, op, "velkin_schema_rn", "ranking");
    edit(typed, "A new table name")->setText("`my ``odd`` table`");
    op.clear();
    click(typed, "OK");
    EXPECT_EQ("ALTER TABLE velkin_schema_rn.ranking RENAME velkin_schema_rn.`my ``odd`` table`",
              log.statements.back());
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("my `odd` table", typed.tableName());
    EXPECT_EQ("my `odd` table", edit(typed, "A new table name")->text());
    EXPECT_EQ("1",
              scalar(scratch.admin(),
                     "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'velkin_schema_rn' "
                     "AND TABLE_NAME = 'my `odd` table'"));
}
