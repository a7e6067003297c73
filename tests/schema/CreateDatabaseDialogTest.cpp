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
    ScriptedOperator op;
    CreateDatabaseDialog d(*session, op);
    EXPECT_EQ("Create Database", d.windowTitle());
    EXPECT_TRUE(child<QPushButton>(d, "Create")->isDefault());
    StatementLog log;

    click(d, "Create");
    EXPECT_EQ(QStringList{"The database name to create is inputted."}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_NE(QDialog::Accepted, d.result());

    // A blank in the name goes to the server as typed; its refusal is shown and the dialog stays.
    op.clear();
    edit(d, "Database Name")->setText("velkin schema");
    click(d, "Create");
    EXPECT_EQ(std::vector<std::string>{"CREATE DATABASE velkin schema"}, log.statements);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It cannot create!!\n1064:"))
        << op.messages[0].text.toStdString();
    EXPECT_NE(QDialog::Accepted, d.result());

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
