#include <gtest/gtest.h>

#include <QPushButton>

#include "SchemaTesting.h"
#include "schema/CreateDatabaseDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(CreateDatabaseDialog, AsksForANameCreatesItAndShowsRefusals) {
    auto session = connectAdmin();
    exec(*session, "DROP DATABASE IF EXISTS velkin_schema_newdb");
    exec(*session, "DROP DATABASE IF EXISTS `velkin schema`");
    ScriptedOperator op;
    CreateDatabaseDialog d(*session, op);
    EXPECT_EQ("Create Database", d.windowTitle());
    EXPECT_TRUE(child<QPushButton>(d, "Create")->isDefault());
    StatementLog log;

    click(d, "Create");
    EXPECT_EQ(QStringList{"The database name to create is inputted."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_NE(QDialog::Accepted, d.result());

    // A name with a blank, typed in backticks: made plain once, shown so, and quoted by the statement.
    op.clear();
    CreateDatabaseDialog blank(*session, op);
    edit(blank, "Database Name")->setText("`velkin schema`");
    click(blank, "Create");
    EXPECT_EQ(std::vector<std::string>{"CREATE DATABASE `velkin schema`"}, log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("velkin schema", edit(blank, "Database Name")->text());
    EXPECT_EQ("velkin schema", blank.databaseName()) << "the tree gets the plain name";
    EXPECT_EQ(QDialog::Accepted, blank.result());
    EXPECT_EQ("velkin schema", scalar(*session,
                                      "SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE "
                                      "SCHEMA_NAME = 'velkin schema'"));
    exec(*session, "DROP DATABASE `velkin schema`");
    log.clear();

    op.clear();
    log.clear();
    edit(d, "Database Name")->setText("velkin_schema_newdb");
    click(d, "Create");
    EXPECT_EQ(std::vector<std::string>{"CREATE DATABASE velkin_schema_newdb"}, log.statements);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ("velkin_schema_newdb", d.databaseName());
    EXPECT_EQ("velkin_schema_newdb", scalar(*session,
                                            "SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE "
                                            "SCHEMA_NAME = 'velkin_schema_newdb'"));

    // Creating it twice is refused by the server.
    CreateDatabaseDialog again(*session, op);
    edit(again, "Database Name")->setText("velkin_schema_newdb");
    click(again, "Create");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It cannot create!!\n1007:"))
        << op.messages[0].text.toStdString();

    // Cancel sends nothing.
    log.clear();
    click(again, "Cancel");
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(QDialog::Rejected, again.result());
    exec(*session, "DROP DATABASE velkin_schema_newdb");
}
