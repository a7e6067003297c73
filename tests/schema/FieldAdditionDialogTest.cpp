#include <gtest/gtest.h>

#include <QPushButton>

#include "SchemaTesting.h"
#include "schema/FieldAdditionDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kDb = "velkin_schema_fa";

class FieldAdditionTest : public ::testing::Test {
protected:
    void SetUp() override { exec(scratch.admin(), "CREATE TABLE velkin_schema_fa.t (id INT NOT NULL)"); }
    std::string facts(const std::string& field) {
        return scalar(scratch.admin(),
                      sqlf("SELECT CONCAT_WS('|', COLUMN_TYPE, IS_NULLABLE, COLUMN_KEY) FROM "
                           "information_schema.COLUMNS WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME "
                           "= 't' AND COLUMN_NAME = '%s'",
                           kDb, field));
    }
    std::string defaultOf(const std::string& field) {
        return scalar(scratch.admin(),
                      sqlf("SELECT COLUMN_DEFAULT FROM information_schema.COLUMNS WHERE TABLE_SCHEMA "
                           "= '%s' AND TABLE_NAME = 't' AND COLUMN_NAME = '%s'",
                           kDb, field));
    }
    std::vector<std::string> keys() {
        return column(scratch.admin(),
                      "SELECT CONCAT(INDEX_NAME, ':', COLUMN_NAME) FROM information_schema.STATISTICS "
                      "WHERE TABLE_SCHEMA = 'velkin_schema_fa' AND TABLE_NAME = 't' ORDER BY "
                      "INDEX_NAME");
    }

    ScratchDatabase scratch{kDb};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

}  // namespace

TEST_F(FieldAdditionTest, OffersTheTwentyTypesAndDisablesWhatTakesNoPart) {
    FieldAdditionDialog d(*session, op, QString::fromStdString(kDb), "t");
    EXPECT_EQ("Field addition", d.windowTitle());
    QComboBox* type = combo(d, "Type");
    ASSERT_EQ(20, type->count());
    EXPECT_EQ(-1, type->findText("TEXT"));
    EXPECT_EQ(-1, type->currentIndex());
    EXPECT_TRUE(child<QPushButton>(d, "Add")->isDefault());
    for (const char* name : {"Reference", "チェック"})
        EXPECT_FALSE(box(d, name)->isEnabled()) << name;
    EXPECT_FALSE(child<QPushButton>(d, "...")->isEnabled());
    EXPECT_TRUE(box(d, "Unique")->isEnabled());

    // The same type rules as a new table's fields.
    d.show();
    box(d, "BINARY")->setChecked(true);
    choose(type, "TINYINT");
    EXPECT_FALSE(box(d, "BINARY")->isEnabled());
    EXPECT_FALSE(box(d, "BINARY")->isChecked());
    EXPECT_EQ(edit(d, "Length"), d.focusWidget());
    edit(d, "Length")->setText("3");
    type->setCurrentIndex(type->findText("YEAR"));
    leave(type);
    EXPECT_TRUE(edit(d, "Length")->text().isEmpty());
    EXPECT_EQ(edit(d, "Default"), d.focusWidget());

    // Clear empties everything but the unique index's name.
    edit(d, "Field name")->setText("x");
    edit(d, "Index name")->setText("ix");
    edit(d, "Unique name")->setText("ux");
    for (const char* name : {"AUTO_INC", "NULL", "Unique", "Primary Key", "Index"})
        box(d, name)->setChecked(true);
    click(d, "Clear");
    EXPECT_TRUE(edit(d, "Field name")->text().isEmpty());
    EXPECT_EQ(-1, type->currentIndex());
    EXPECT_TRUE(edit(d, "Index name")->text().isEmpty());
    EXPECT_EQ("ux", edit(d, "Unique name")->text());
    for (const char* name : {"AUTO_INC", "NULL", "Unique", "Primary Key", "Index"})
        EXPECT_FALSE(box(d, name)->isChecked()) << name;
    EXPECT_EQ(edit(d, "Field name"), d.focusWidget());
}

TEST_F(FieldAdditionTest, AddsTheFieldAsDescribed) {
    FieldAdditionDialog d(*session, op, QString::fromStdString(kDb), "t");
    edit(d, "Field name")->setText("n");
    choose(combo(d, "Type"), "INT");
    edit(d, "Length")->setText("5");
    box(d, "UNSIGNED")->setChecked(true);
    StatementLog log;
    click(d, "Add");
    const std::string expected = std::string("ALTER TABLE velkin_schema_fa.t ADD ") + "n" + " " + "INT" +
                                 " " + "(" + "5" + ") " + " UNSIGNED " + " NOT NULL ";
    EXPECT_EQ(std::vector<std::string>{expected}, log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ(0, op.waitDepth);
    EXPECT_EQ("int(5) unsigned|NO|", facts("n"));

    FieldAdditionDialog later(*session, op, QString::fromStdString(kDb), "t");
    edit(later, "Field name")->setText("stamp");
    choose(combo(later, "Type"), "DATETIME");
    box(later, "NULL")->setChecked(true);
    edit(later, "Default")->setText("'2001-02-03 04:05:06'");
    log.clear();
    click(later, "Add");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_fa.t ADD stamp DATETIME  NULL  DEFAULT "
                                       "'2001-02-03 04:05:06'"},
              log.statements);
    EXPECT_EQ("datetime|YES|", facts("stamp"));
    EXPECT_EQ("'2001-02-03 04:05:06'", defaultOf("stamp")) << "a date keeps its default";

    // A character field keeps NOT NULL and its default; a name typed in backticks is made plain once.
    FieldAdditionDialog text(*session, op, QString::fromStdString(kDb), "t");
    edit(text, "Field name")->setText("`my field`");
    choose(combo(text, "Type"), "VARCHAR");
    edit(text, "Length")->setText("30");
    edit(text, "Default")->setText("x");
    box(text, "Index")->setChecked(true);
    edit(text, "Index name")->setText("`my index`");
    log.clear();
    click(text, "Add");
    EXPECT_EQ((std::vector<std::string>{
                  "ALTER TABLE velkin_schema_fa.t ADD `my field` VARCHAR (30)  NOT NULL  DEFAULT 'x'",
                  "ALTER TABLE velkin_schema_fa.t ADD  INDEX `my index` ( `my field` )"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("my field", edit(text, "Field name")->text());
    EXPECT_EQ("varchar(30)|NO|MUL", facts("my field"));
    EXPECT_EQ("'x'", defaultOf("my field"));
    EXPECT_EQ((std::vector<std::string>{"my index:my field"}), keys());
}

TEST_F(FieldAdditionTest, KeysFollowTheFieldOneStatementEachInOrder) {
    FieldAdditionDialog d(*session, op, QString::fromStdString(kDb), "t");
    edit(d, "Field name")->setText("code");
    choose(combo(d, "Type"), "CHAR");
    edit(d, "Length")->setText("4");
    box(d, "Primary Key")->setChecked(true);
    box(d, "Index")->setChecked(true);
    StatementLog log;
    click(d, "Add");
    EXPECT_EQ((std::vector<std::string>{"ALTER TABLE velkin_schema_fa.t ADD code CHAR (4)  NOT NULL ",
                                        "ALTER TABLE velkin_schema_fa.t ADD  PRIMARY KEY ( code )",
                                        "ALTER TABLE velkin_schema_fa.t ADD  INDEX ( code )"}),
              log.statements);
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ((std::vector<std::string>{"code:code", "PRIMARY:code"}), keys());

    FieldAdditionDialog named(*session, op, QString::fromStdString(kDb), "t");
    edit(named, "Field name")->setText("m");
    choose(combo(named, "Type"), "BIGINT");
    box(named, "Index")->setChecked(true);
    edit(named, "Index name")->setText("ix_m");
    box(named, "Unique")->setChecked(true);
    edit(named, "Unique name")->setText("ux_m");
    log.clear();
    click(named, "Add");
    EXPECT_EQ((std::vector<std::string>{"ALTER TABLE velkin_schema_fa.t ADD m BIGINT  NOT NULL ",
                                        "ALTER TABLE velkin_schema_fa.t ADD  INDEX ix_m ( m )",
                                        "ALTER TABLE velkin_schema_fa.t ADD  UNIQUE ux_m ( m )"}),
              log.statements);
    EXPECT_EQ((std::vector<std::string>{"code:code", "ix_m:m", "PRIMARY:code", "ux_m:m"}), keys());
}

TEST_F(FieldAdditionTest, RefusalsShowTheServersWordsAndStopThere) {
    // No field name: the statement still goes, and the server says what is wrong.
    FieldAdditionDialog d(*session, op, QString::fromStdString(kDb), "t");
    choose(combo(d, "Type"), "INT");
    StatementLog log;
    click(d, "Add");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_fa.t ADD  INT  NOT NULL "}, log.statements);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It has not created.\n1064:"))
        << op.messages[0].text.toStdString();
    EXPECT_NE(QDialog::Accepted, d.result());
    EXPECT_EQ(0, op.waitDepth);

    // The primary key is refused (the table has one): the field stays, the index is not tried.
    exec(scratch.admin(), "ALTER TABLE velkin_schema_fa.t ADD PRIMARY KEY (id)");
    edit(d, "Field name")->setText("k");
    box(d, "Primary Key")->setChecked(true);
    box(d, "Index")->setChecked(true);
    op.clear();
    log.clear();
    click(d, "Add");
    ASSERT_EQ(2u, log.statements.size());
    EXPECT_EQ("ALTER TABLE velkin_schema_fa.t ADD  PRIMARY KEY ( k )", log.statements[1]);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Primary key creation was not completed.\n1068:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("int(11)|NO|", facts("k"));
    EXPECT_NE(QDialog::Accepted, d.result());

    // Pressing Add again repeats the field, which now exists.
    op.clear();
    log.clear();
    box(d, "Primary Key")->setChecked(false);
    click(d, "Add");
    EXPECT_EQ(1u, log.statements.size());
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It has not created.\n1060:"))
        << op.messages[0].text.toStdString();

    // Index and unique refusals have their own words.
    op.clear();
    edit(d, "Field name")->setText("k2");
    edit(d, "Index name")->setText("PRIMARY");
    click(d, "Add");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Index creation was not completed.\n"))
        << op.messages[0].text.toStdString();
    op.clear();
    edit(d, "Field name")->setText("k3");
    box(d, "Index")->setChecked(false);
    box(d, "Unique")->setChecked(true);
    edit(d, "Unique name")->setText("PRIMARY");
    click(d, "Add");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Creation of Unique was not completed.\n"))
        << op.messages[0].text.toStdString();
    EXPECT_NE(QDialog::Accepted, d.result());
}
