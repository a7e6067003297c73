#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTest>
#include <map>

#include "SchemaTesting.h"
#include "schema/CreateTableDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kDb = "velkin_schema_ct";

class CreateTableTest : public ::testing::Test {
protected:
    /// Fills the editor as the operator would and presses the named button.
    void put(CreateTableDialog& d, const char* name, const char* type, const char* length = "",
             std::initializer_list<const char*> ticks = {}, const char* defaultValue = "",
             const char* button = "Add") {
        edit(d, "Field Name")->setText(QString::fromUtf8(name));
        if (*type)
            choose(combo(d, "Type"), QString::fromUtf8(type));
        edit(d, "Length")->setText(QString::fromUtf8(length));
        edit(d, "Default")->setText(QString::fromUtf8(defaultValue));
        for (const char* tick : ticks)
            box(d, tick)->setChecked(true);
        click(d, button);
    }
    std::string query(const CreateTableDialog& d) {
        return child<QPlainTextEdit>(d, "Query")->toPlainText().toStdString();
    }
    static bool startsWith(const std::string& s, const std::string& head) { return s.rfind(head, 0) == 0; }
    std::string columnFacts(const std::string& table, const std::string& column) {
        return scalar(
            scratch.admin(),
            sqlf("SELECT CONCAT_WS('|', COLUMN_TYPE, IS_NULLABLE, IFNULL(COLUMN_DEFAULT, '-'), EXTRA, "
                 "COLUMN_KEY) FROM information_schema.COLUMNS WHERE "
                 "TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s' AND COLUMN_NAME = '%s'",
                 kDb, table, column));
    }
    std::string collation(const std::string& table, const std::string& column) {
        return scalar(scratch.admin(),
                      sqlf("SELECT COLLATION_NAME FROM information_schema.COLUMNS WHERE "
                           "TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s' AND COLUMN_NAME = '%s'",
                           kDb, table, column));
    }
    std::string engine(const std::string& table) {
        return scalar(scratch.admin(),
                      sqlf("SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s' "
                           "AND TABLE_NAME = '%s'",
                           kDb, table));
    }

    ScratchDatabase scratch{kDb};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

}  // namespace

TEST_F(CreateTableTest, OpensWithItsColumnsPresetsAndTheServersTableTypes) {
    StatementLog log;
    CreateTableDialog d(*session, op, QString::fromStdString(kDb));
    EXPECT_EQ("Create New Table", d.windowTitle());
    EXPECT_EQ("table1", edit(d, "Table Name")->text());
    EXPECT_EQ(QString::fromStdString(kDb), edit(d, "Database Name")->text());
    EXPECT_EQ("", query(d));

    const QTableWidget* list = d.fieldList();
    EXPECT_EQ((QStringList{"Field name", "Type", "Length", "UNSIGNED", "ZEROFILL", "NULL", "PRI", "INDEX",
                           "BINARY", "AUTO_INC", "Default"}),
              headers(list));
    const int widths[] = {100, 75, 65, 70, 70, 45, 45, 50, 60, 65, 90};
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(widths[c], list->columnWidth(c)) << c;

    QComboBox* types = combo(d, "Type");
    ASSERT_EQ(20, types->count());
    EXPECT_EQ("INT", types->itemText(0));
    EXPECT_EQ("YEAR", types->itemText(19));

    // The server's engines, under the names the list has always used where it has them.
    EXPECT_EQ((std::vector<std::string>{"SHOW ENGINES"}), log.statements);
    QComboBox* tableTypes = combo(d, "Table type");
    QStringList offered;
    for (int i = 0; i < tableTypes->count(); ++i)
        offered << tableTypes->itemText(i);
    EXPECT_EQ((QStringList{"Aria", "CSV", "HEAP", "INNOBASE", "MRG_MyISAM", "MyISAM"}), offered)
        << "no ISAM, which the server does not have";
    EXPECT_EQ(-1, tableTypes->currentIndex()) << "no initial choice";

    // The controls that take no part are there, and disabled.
    for (const char* name : {"UNIQUE", "Reference", "Check"})
        EXPECT_FALSE(box(d, name)->isEnabled()) << name;
    for (const char* name : {"Index name", "UNIQUE name", "Reference name", "Check name"})
        EXPECT_FALSE(edit(d, name)->isEnabled()) << name;
    EXPECT_FALSE(child<QAbstractButton>(d, "...")->isEnabled());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(CreateTableTest, TypeRulesEnableClearAndMoveTheKeyboard) {
    CreateTableDialog d(*session, op, QString::fromStdString(kDb));
    d.show();
    QComboBox* type = combo(d, "Type");
    QLineEdit* length = edit(d, "Length");

    edit(d, "Length")->setText("9");
    for (const char* tick : {"UNSIGNED", "ZEROFILL", "BINARY", "AUTO_INC", "NULL"})
        box(d, tick)->setChecked(true);
    choose(type, "DATE");
    EXPECT_TRUE(length->text().isEmpty());
    EXPECT_FALSE(length->isEnabled());
    for (const char* name : {"UNSIGNED", "ZEROFILL", "BINARY"}) {
        EXPECT_FALSE(box(d, name)->isEnabled()) << name;
        EXPECT_FALSE(box(d, name)->isChecked()) << name;
    }
    for (const char* name : {"AUTO_INC", "NULL"}) {
        EXPECT_TRUE(box(d, name)->isEnabled()) << name;
        EXPECT_TRUE(box(d, name)->isChecked()) << name << " is never touched by the type";
    }
    EXPECT_EQ(edit(d, "Default"), d.focusWidget());

    choose(type, "VARCHAR");
    EXPECT_TRUE(length->isEnabled());
    EXPECT_TRUE(box(d, "BINARY")->isEnabled());
    EXPECT_FALSE(box(d, "UNSIGNED")->isEnabled());
    EXPECT_EQ(length, d.focusWidget());
    box(d, "BINARY")->setChecked(true);

    choose(type, "DECIMAL");
    EXPECT_TRUE(box(d, "UNSIGNED")->isEnabled());
    EXPECT_TRUE(box(d, "ZEROFILL")->isEnabled());
    EXPECT_FALSE(box(d, "BINARY")->isEnabled());
    EXPECT_FALSE(box(d, "BINARY")->isChecked());
    EXPECT_EQ(edit(d, "Default"), d.focusWidget());

    // The rules also run when the keyboard leaves the type box.
    type->setCurrentIndex(type->findText("INT"));
    box(d, "UNSIGNED")->setChecked(true);
    type->setCurrentIndex(type->findText("CHAR"));
    leave(type);
    EXPECT_FALSE(box(d, "UNSIGNED")->isChecked());
    EXPECT_EQ(length, d.focusWidget());
}

TEST_F(CreateTableTest, AddInsertOverwriteDeleteAndTheQueryBox) {
    CreateTableDialog d(*session, op, QString::fromStdString(kDb));
    d.show();
    QTableWidget* list = d.fieldList();

    click(d, "Add");
    EXPECT_EQ(QStringList{"The field name is not inputted."}, op.messageTexts());
    EXPECT_EQ(0, list->rowCount());

    put(d, "id", "INT", "11", {"AUTO_INC", "Primary Key"});
    EXPECT_EQ((QStringList{"id", "INT", "11", "", "", "", "YES", "", "", "YES", ""}), rowTexts(list, 0));
    EXPECT_TRUE(edit(d, "Field Name")->text().isEmpty()) << "the editor is cleared";
    EXPECT_EQ(-1, combo(d, "Type")->currentIndex());
    EXPECT_FALSE(box(d, "Primary Key")->isChecked());
    EXPECT_EQ(edit(d, "Field Name"), d.focusWidget());
    EXPECT_EQ(
        "CREATE TABLE velkin_schema_ct.table1 (\nid INT(11)  NOT NULL  AUTO_INCREMENT ,\nPRIMARY KEY ( id "
        ")\n\n);",
        query(d));

    put(d, "name", "VARCHAR", "20", {"BINARY"});
    put(d, "born", "DATE", "", {"NULL"}, "'2000-01-01'");
    ASSERT_EQ(3, list->rowCount());

    // Insert goes to the place of the row chosen last, pushing it down.
    list->setCurrentCell(1, 0);
    EXPECT_EQ("name", edit(d, "Field Name")->text()) << "choosing a row loads it";
    EXPECT_EQ("VARCHAR", combo(d, "Type")->currentText());
    EXPECT_TRUE(box(d, "BINARY")->isChecked());
    put(d, "price", "DECIMAL", "10,2", {"UNSIGNED"}, "0", "Insert");
    EXPECT_EQ((QStringList{"id", "price", "name", "born"}),
              (QStringList{cell(list, 0, 0), cell(list, 1, 0), cell(list, 2, 0), cell(list, 3, 0)}));

    // A name that differs only in letter case asks first; No keeps everything, the editor too.
    op.answer(false);
    put(d, "NAME", "CHAR", "3");
    EXPECT_EQ("May I overwrite truly?", op.questions.back().text);
    EXPECT_EQ(4, list->rowCount());
    EXPECT_EQ("NAME", edit(d, "Field Name")->text());
    op.answer(true);
    click(d, "Add");
    ASSERT_EQ(4, list->rowCount());
    EXPECT_EQ((QStringList{"id", "price", "born", "NAME"}),
              (QStringList{cell(list, 0, 0), cell(list, 1, 0), cell(list, 2, 0), cell(list, 3, 0)}));
    EXPECT_EQ("CHAR", cell(list, 3, 1));

    // Delete asks, removes the current row, and leaves the statement as it was until a rebuild.
    const std::string before = query(d);
    list->setCurrentCell(2, 0);
    op.answer(false);
    click(d, "Delete");
    EXPECT_EQ(4, list->rowCount());
    op.answer(true);
    click(d, "Delete");
    EXPECT_EQ("May I delete truly?", op.questions.back().text);
    EXPECT_EQ(3, list->rowCount());
    EXPECT_EQ(before, query(d));
    click(d, "Update");
    EXPECT_EQ(
        "CREATE TABLE velkin_schema_ct.table1 (\nid INT(11)  NOT NULL  AUTO_INCREMENT ,\nprice DECIMAL(10,2) "
        " UNSIGNED "
        " NOT NULL  DEFAULT 0,\nNAME CHAR(3)  NOT NULL ,\nPRIMARY KEY ( id )\n\n);",
        query(d));
    // Nothing is current after a deletion: another Delete removes nothing.
    op.answer(true);
    click(d, "Delete");
    EXPECT_EQ(3, list->rowCount());
    // The Delete key in the list does what the button does.
    list->setCurrentCell(0, 0);
    op.answer(true);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(2, list->rowCount());
    EXPECT_EQ("price", cell(list, 0, 0));

    // Hand edits stand until a rebuild: leaving "Table Name" is one.
    child<QPlainTextEdit>(d, "Query")->setPlainText("SELECT 1");
    edit(d, "Table Name")->setText("goods");
    leave(edit(d, "Table Name"));
    EXPECT_TRUE(startsWith(query(d), "CREATE TABLE velkin_schema_ct.goods (\n")) << query(d);
    choose(combo(d, "Table type"), "HEAP");
    const std::string tail = "\n)ENGINE=HEAP;";
    EXPECT_EQ(tail, query(d).substr(query(d).size() - tail.size()));
}

TEST_F(CreateTableTest, CreateSendsTheStatementThatMakesTheTableItDescribes) {
    CreateTableDialog d(*session, op, QString::fromStdString(kDb));
    put(d, "id", "INT", "11", {"AUTO_INC", "Primary Key"});
    put(d, "code", "CHAR", "4", {"Primary Key", "Index"});
    put(d, "name", "VARCHAR", "20", {"BINARY"});
    put(d, "price", "DECIMAL", "10,2", {"UNSIGNED", "NULL"}, "0");
    put(d, "born", "DATE", "", {"NULL", "AUTO_INC"}, "'2000-01-01'");
    put(d, "qty", "SMALLINT", "5", {"ZEROFILL", "Index"}, "7");
    put(d, "label", "VARCHAR", "30", {}, "it's \xC3\xA4");
    put(d, "data", "BLOB");
    put(d, "at", "TIMESTAMP", "", {}, "CURRENT_TIMESTAMP");
    edit(d, "Table Name")->setText("goods");
    choose(combo(d, "Table type"), "MyISAM");

    StatementLog log;
    op.answer(true);
    click(d, "Create");
    EXPECT_EQ("May I create truly? (velkin_schema_ct.goods)", op.questions.at(0).text);
    const std::string expected =
        "CREATE TABLE velkin_schema_ct.goods (\r\n"
        "id INT(11)  NOT NULL  AUTO_INCREMENT ,\r\n"
        "code CHAR(4)  NOT NULL ,\r\n"
        "name VARCHAR(20)  BINARY  NOT NULL ,\r\n"
        "price DECIMAL(10,2)  UNSIGNED  NULL  DEFAULT 0,\r\n"
        "born DATE NULL  DEFAULT '2000-01-01',\r\n"
        "qty SMALLINT(5)  ZEROFILL  NOT NULL  DEFAULT 7,\r\n"
        "label VARCHAR(30)  NOT NULL  DEFAULT 'it\\'s \xC3\xA4',\r\n"
        "data BLOB NOT NULL ,\r\n"
        "at TIMESTAMP NOT NULL  DEFAULT CURRENT_TIMESTAMP"
        ",\r\nPRIMARY KEY ( id,code )\r\n"
        ",\r\nINDEX ( code,qty )\r\n"
        "\r\n)ENGINE=MyISAM;";
    EXPECT_EQ(std::vector<std::string>{expected}, log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ("goods", d.tableName());

    EXPECT_EQ("MyISAM", engine("goods"));
    EXPECT_EQ("int(11)|NO|-|auto_increment|PRI", columnFacts("goods", "id"));
    EXPECT_EQ("char(4)|NO|-||PRI", columnFacts("goods", "code"));
    EXPECT_EQ("varchar(20)|NO|-||", columnFacts("goods", "name")) << "NOT NULL for every type";
    const std::string nameCollation = collation("goods", "name");
    EXPECT_EQ("_bin", nameCollation.substr(nameCollation.size() - 4)) << "BINARY gives the binary collation";
    EXPECT_NE("_bin", collation("goods", "code").substr(collation("goods", "code").size() - 4));
    EXPECT_EQ("decimal(10,2) unsigned|YES|0.00||", columnFacts("goods", "price"));
    EXPECT_EQ("date|YES|'2000-01-01'||", columnFacts("goods", "born"))
        << "a default for a date, and no auto increment";
    EXPECT_EQ("smallint(5) unsigned zerofill|NO|00007||", columnFacts("goods", "qty"));
    EXPECT_EQ("varchar(30)|NO|'it''s \xC3\xA4'||", columnFacts("goods", "label"))
        << "a default typed without quotes is a value";
    EXPECT_EQ("blob|NO|-||", columnFacts("goods", "data"));
    EXPECT_EQ("timestamp|NO|current_timestamp()||", columnFacts("goods", "at"));
    EXPECT_EQ((std::vector<std::string>{"code", "qty"}),
              column(scratch.admin(),
                     "SELECT COLUMN_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = "
                     "'velkin_schema_ct' AND TABLE_NAME = 'goods' AND INDEX_NAME <> 'PRIMARY' "
                     "ORDER BY SEQ_IN_INDEX"));
}

TEST_F(CreateTableTest, EveryOfferedTableTypeMakesATableOfItsEngine) {
    const std::map<QString, std::string> landed = {{"Aria", "Aria"},
                                                   {"CSV", "CSV"},
                                                   {"HEAP", "MEMORY"},
                                                   {"INNOBASE", "InnoDB"},
                                                   {"MRG_MyISAM", "MRG_MyISAM"},
                                                   {"MyISAM", "MyISAM"}};
    QStringList offered;
    {
        CreateTableDialog d(*session, op, QString::fromStdString(kDb));
        for (int i = 0; i < combo(d, "Table type")->count(); ++i)
            offered << combo(d, "Table type")->itemText(i);
    }
    ASSERT_EQ(landed.size(), std::size_t(offered.size()));
    for (const QString& choice : offered) {
        CreateTableDialog d(*session, op, QString::fromStdString(kDb));
        put(d, "id", "INT");
        const std::string table = "t_" + choice.toLower().toStdString();
        edit(d, "Table Name")->setText(QString::fromStdString(table));
        choose(combo(d, "Table type"), choice);
        op.answer(true);
        d.create();
        EXPECT_EQ(QDialog::Accepted, d.result()) << op.messageTexts().join("|").toStdString();
        EXPECT_EQ(landed.at(choice), engine(table));
    }
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
}

TEST_F(CreateTableTest, RefusalsKeepTheDialogOpenAndNoSendsNothing) {
    CreateTableDialog d(*session, op, QString::fromStdString(kDb));
    StatementLog log;

    // Before any rebuild the box is empty, and that is what is sent.
    op.answer(false);
    click(d, "Create");
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ("May I create truly? (velkin_schema_ct.)", op.questions.at(0).text);
    op.answer(true);
    click(d, "Create");
    EXPECT_EQ(std::vector<std::string>{""}, log.statements);
    EXPECT_EQ(QStringList{"It has not created.\n1065:Query was empty"}, op.messageTexts());
    EXPECT_NE(QDialog::Accepted, d.result());

    // Hand edits are sent as shown, with the line ends the statement was written with.
    op.clear();
    log.clear();
    put(d, "id", "INT");
    child<QPlainTextEdit>(d, "Query")->setPlainText("CREATE TABLE velkin_schema_ct.hand (\nx INT\n)");
    op.answer(true);
    click(d, "Create");
    EXPECT_EQ(std::vector<std::string>{"CREATE TABLE velkin_schema_ct.hand (\r\nx INT\r\n)"}, log.statements);
    EXPECT_EQ("May I create truly? (velkin_schema_ct.table1)", op.questions.at(0).text)
        << "the question names the table of the last rebuild";
    EXPECT_EQ("1", scalar(scratch.admin(),
                          "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                          "'velkin_schema_ct' AND TABLE_NAME = 'hand'"));

    // A design the engine cannot hold is refused with the server's words.
    CreateTableDialog again(*session, op, QString::fromStdString(kDb));
    op.clear();
    put(again, "id", "INT", "", {"NULL"});
    choose(combo(again, "Table type"), "CSV");
    op.answer(true);
    click(again, "Create");
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It has not created.\n1178:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("VelkinSorvane", op.messages[0].caption);
    EXPECT_NE(QDialog::Accepted, again.result());
    EXPECT_EQ(1, again.fieldList()->rowCount()) << "the list stays";
}

TEST_F(CreateTableTest, UnusualNamesAreQuotedAndTypedBackticksAreMadePlainOnce) {
    ScratchDatabase odd("velkin_schema_ct-odd");
    CreateTableDialog d(*session, op, "velkin_schema_ct-odd");
    put(d, "id", "INT");
    EXPECT_TRUE(startsWith(query(d), "CREATE TABLE `velkin_schema_ct-odd`.table1 (")) << query(d);
    op.answer(true);
    d.create();
    EXPECT_EQ(QDialog::Accepted, d.result()) << op.messageTexts().join("|").toStdString();

    edit(d, "Database Name")->setText("velkin_schema_ct");
    leave(edit(d, "Database Name"));
    EXPECT_TRUE(startsWith(query(d), "CREATE TABLE velkin_schema_ct.table1 (")) << query(d);

    // Names typed in backticks: stored and shown plain, quoted by the statement, handed on plain.
    CreateTableDialog typed(*session, op, QString::fromStdString(kDb));
    put(typed, "`my ``field```", "INT", "", {"Primary Key"});
    EXPECT_EQ("my `field`", cell(typed.fieldList(), 0, 0));
    edit(typed, "Table Name")->setText("`my table`");
    leave(edit(typed, "Table Name"));
    EXPECT_EQ("my table", edit(typed, "Table Name")->text());
    EXPECT_EQ(
        "CREATE TABLE velkin_schema_ct.`my table` (\n`my ``field``` INT NOT NULL ,\nPRIMARY KEY ( `my "
        "``field``` )\n\n);",
        query(typed));
    op.clear();
    op.answer(true);
    typed.create();
    EXPECT_EQ(QDialog::Accepted, typed.result()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("May I create truly? (velkin_schema_ct.my table)", op.questions.back().text);
    EXPECT_EQ("my table", typed.tableName()) << "the tree gets the plain name";
    EXPECT_EQ("int(11)|NO|-||PRI", columnFacts("my table", "my `field`"));
}
