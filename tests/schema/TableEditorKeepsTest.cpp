#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>

#include "SchemaTesting.h"
#include "schema/AddPrimaryAndIndexDialog.h"
#include "schema/CreateTableDialog.h"
#include "schema/FieldAdditionDialog.h"
#include "schema/ServerColumns.h"
#include "schema/TableEditorDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

// What the schema screens leave alone when they change something: on a latin1 database whose
// columns are utf8mb4, in strict and in non-strict mode, every edit keeps the attributes it was
// not asked to change and every byte of the rows.

namespace {

const std::string kDb = "velkin_schema_keep";

const char* const kStrict = "STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION";

class TableEditorKeeps : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        exec(scratch.admin(),
             "ALTER DATABASE velkin_schema_keep CHARACTER SET latin1 COLLATE latin1_swedish_ci");
        exec(*session, sqlf("SET SESSION sql_mode = '%s'", GetParam()));
        exec(scratch.admin(),
             "CREATE TABLE velkin_schema_keep.t ("
             "id INT UNSIGNED NOT NULL AUTO_INCREMENT COMMENT 'row id',"
             "txt VARCHAR(30) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL DEFAULT 'x''y\\\\z' "
             "COMMENT 'text, it''s',"
             "note TEXT CHARACTER SET utf8mb4 NULL,"
             "ts TIMESTAMP(3) NOT NULL DEFAULT CURRENT_TIMESTAMP(3) ON UPDATE CURRENT_TIMESTAMP(3),"
             "amount DECIMAL(10,2) NOT NULL DEFAULT 1.50,"
             "e ENUM('a','b') CHARACTER SET utf8mb4 DEFAULT 'b',"
             "d DATETIME NULL DEFAULT NULL,"
             "b VARBINARY(10),"
             "c_mediumint MEDIUMINT NOT NULL DEFAULT 7,"
             "name VARCHAR(50) CHARACTER SET utf8mb4 NULL,"
             "g INT AS (c_mediumint + 1) VIRTUAL,"
             "PRIMARY KEY (id), KEY k_med (c_mediumint)) DEFAULT CHARSET=latin1");
        exec(scratch.admin(),
             "INSERT INTO velkin_schema_keep.t (txt, note, ts, amount, e, d, b, c_mediumint, name) VALUES "
             "('emoji \xF0\x9F\x98\x80 \xF0\x9F\x98\x81\xF0\x9F\x98\x82', 'line\\nbreak \xC3\xA4 "
             "\xF0\x9F\x98\x80', "
             "'2020-01-02 03:04:05.678', 3.25, 'a', NULL, X'00FF275C0A', 9, 'quote '' back\\\\slash'),"
             "(DEFAULT, NULL, '2021-05-06 07:08:09.001', DEFAULT, DEFAULT, '1999-12-31 23:59:59', NULL, "
             "DEFAULT, NULL)");
        m_create = createText("t");
        m_rows = rows("t");
    }

    std::string createText(const std::string& table) {
        return scalarAt(sqlf("SHOW CREATE TABLE velkin_schema_keep.`%s`", table), 1);
    }
    std::string scalarAt(const std::string& sql, unsigned column) {
        Result result = scratch.admin().select(sql);
        EXPECT_TRUE(result) << sql;
        if (!result)
            return {};
        Row row = result.fetchRow();
        return row ? row.str(column) : std::string("(none)");
    }
    /// Every byte of every row in key order, NULL told apart from any text.
    std::string rows(const std::string& table) {
        Result result =
            scratch.admin().select(sqlf("SELECT * FROM velkin_schema_keep.`%s` ORDER BY 1", table));
        EXPECT_TRUE(result);
        std::string all;
        while (Row row = result.fetchRow()) {
            for (unsigned i = 0; i < row.size(); ++i)
                all += row.isNull(i) ? std::string("<NULL>")
                                     : std::to_string(row.text(i).size()) + ":" + row.str(i);
            all += "\n";
        }
        return all;
    }
    static std::string replaced(std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }
    static int rowOf(const QTableWidget* list, const QString& text, int column = 0) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (cell(list, r, column) == text)
                return r;
        ADD_FAILURE() << "no row " << text.toStdString();
        return -1;
    }

    ScratchDatabase scratch{kDb};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    std::string m_create;
    std::string m_rows;
};

}  // namespace

TEST_P(TableEditorKeeps, RenamingEachColumnKeepsItsDefinitionAndItsData) {
    ASSERT_NE(std::string::npos, m_create.find("CHARSET=latin1")) << m_create;
    ASSERT_NE(std::string::npos, m_rows.find("\xF0\x9F\x98\x80"))
        << "the rows hold characters latin1 has not";
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    std::string expected = m_create;
    // The key field (auto increment, primary key ticked as listed) among them: its key stays as it is.
    for (const char* field :
         {"txt", "note", "ts", "amount", "e", "d", "b", "c_mediumint", "name", "g", "id"}) {
        const std::string renamed = std::string(field) + "_new";
        d.fieldList()->setCurrentCell(rowOf(d.fieldList(), field), 0);
        edit(d, "The field name chosen")->setText(QString::fromStdString(renamed));
        d.updateField();
        EXPECT_TRUE(op.messages.empty()) << field << ": " << op.messageTexts().join("|").toStdString();
        op.clear();
        EXPECT_EQ(QString::fromStdString(renamed), d.currentField());
        expected = replaced(expected, std::string("`") + field + "`", "`" + renamed + "`");
        EXPECT_EQ(expected, createText("t")) << field;
        EXPECT_EQ(m_rows, rows("t")) << field;
    }
}

TEST_P(TableEditorKeeps, TheOlderListingDescribesAColumnAsFullyAsTheNewerOne) {
    // Servers without information_schema are read with SHOW FULL COLUMNS, whose defaults are bare
    // values; a change built from it must land the same. (Such servers have no generated columns.)
    for (const char* field : {"id", "txt", "note", "ts", "amount", "e", "d", "b", "c_mediumint", "name"}) {
        Result result = session->select(fullColumnsStatement(session->dialect(), kDb, "t", field));
        ASSERT_TRUE(result) << field;
        const std::vector<std::string> names = result.fieldNames();
        Row row = result.fetchRow();
        ASSERT_TRUE(row) << field;
        NamedCells cells;
        for (unsigned i = 0; i < names.size(); ++i)
            cells[names[i]] = row.value(i);
        const ServerColumn column = serverColumnFromCells(cells);
        ASSERT_EQ(field, column.name);
        ColumnChange change;
        change.newName = column.name;
        change.nullable = column.nullable;
        const std::string sql =
            changeColumnStatement(session->dialect(), kDb, "t", column, change, valueQuoter(*session));
        result = Result();
        EXPECT_EQ(0, session->query(sql)) << sql << "\n" << session->errorText();
        EXPECT_EQ(m_create, createText("t")) << sql;
        EXPECT_EQ(m_rows, rows("t")) << sql;
    }
}

TEST_P(TableEditorKeeps, NullabilityChangesAloneAndComesBackExactly) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    d.fieldList()->setCurrentCell(rowOf(d.fieldList(), "e"), 0);
    ASSERT_TRUE(box(d, "NULL")->isChecked());
    box(d, "NULL")->setChecked(false);
    d.updateField();
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(
        replaced(m_create, "`e` enum('a','b') CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci DEFAULT 'b'",
                 "`e` enum('a','b') CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci NOT NULL DEFAULT 'b'"),
        createText("t"));
    EXPECT_FALSE(box(d, "NULL")->isChecked()) << "the boxes show the server's state";
    box(d, "NULL")->setChecked(true);
    d.updateField();
    EXPECT_EQ(m_create, createText("t"));
    EXPECT_EQ(m_rows, rows("t"));
}

TEST_P(TableEditorKeeps, AKeyRowNeverLendsItsFieldAnotherFieldsSettings) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    d.fieldList()->setCurrentCell(rowOf(d.fieldList(), "name"), 0);
    d.keyList()->setCurrentCell(rowOf(d.keyList(), "k_med", 2), 0);
    EXPECT_EQ("k_med", d.currentKey());
    StatementLog log;
    d.updateField();
    for (const std::string& sql : log.statements)
        EXPECT_EQ(std::string::npos, sql.find("CHANGE c_mediumint")) << sql;
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(m_create, createText("t"));
    EXPECT_EQ(m_rows, rows("t"));
}

TEST_P(TableEditorKeeps, APrimaryKeyIsAddedToAKeylessTable) {
    exec(scratch.admin(),
         "CREATE TABLE velkin_schema_keep.nokey (a INT NOT NULL, v VARCHAR(5) CHARACTER SET utf8mb4) "
         "DEFAULT CHARSET=latin1");
    exec(scratch.admin(), "INSERT INTO velkin_schema_keep.nokey VALUES (2, '\xF0\x9F\x98\x80'), (1, NULL)");
    const std::string before = rows("nokey");
    TableEditorDialog editor(*session, op, QString::fromStdString(kDb), "nokey");
    AddPrimaryAndIndexDialog d(*session, op, QString::fromStdString(kDb), "nokey", KeyKind::Primary, &editor);
    d.choose(d.availableFields()->item(0));
    StatementLog log;
    d.create();
    EXPECT_EQ((std::vector<std::string>{"SHOW keys FROM velkin_schema_keep.nokey",
                                        "ALTER TABLE velkin_schema_keep.nokey ADD PRIMARY KEY ( a )"}),
              log.statements)
        << "no drop of a key that is not there";
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_NE(std::string::npos, createText("nokey").find("PRIMARY KEY (`a`)"));
    EXPECT_EQ(before, rows("nokey"));
}

TEST_P(TableEditorKeeps, NamesTypedInBackticksReachTheEditorPlain) {
    CreateTableDialog create(*session, op, QString::fromStdString(kDb));
    edit(create, "Field Name")->setText("`my field`");
    choose(combo(create, "Type"), "VARCHAR");
    edit(create, "Length")->setText("30");
    edit(create, "Default")->setText("x");
    click(create, "Add");
    edit(create, "Table Name")->setText("`my table`");
    leave(edit(create, "Table Name"));
    op.answer(true);
    create.create();
    ASSERT_EQ(QDialog::Accepted, create.result()) << op.messageTexts().join("|").toStdString();
    ASSERT_EQ("my table", create.tableName());
    EXPECT_NE(std::string::npos, createText("my table").find("`my field` varchar(30) NOT NULL DEFAULT 'x'"))
        << createText("my table");

    TableEditorDialog d(*session, op, QString::fromStdString(kDb), create.tableName());
    ASSERT_EQ(1, d.fieldList()->rowCount());
    d.fieldList()->setCurrentCell(0, 0);
    EXPECT_EQ("my field", edit(d, "The field name chosen")->text());
    edit(d, "The field name chosen")->setText("`your ``field```");
    d.updateField();
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("your `field`", d.currentField());
    EXPECT_EQ("your `field`", edit(d, "The field name chosen")->text());
    EXPECT_NE(std::string::npos,
              createText("my table").find("`your ``field``` varchar(30) NOT NULL DEFAULT 'x'"))
        << createText("my table");
}

TEST_P(TableEditorKeeps, AnAddedFieldKeepsNotNullAndItsDefault) {
    FieldAdditionDialog d(*session, op, QString::fromStdString(kDb), "t");
    edit(d, "Field name")->setText("added");
    choose(combo(d, "Type"), "VARCHAR");
    edit(d, "Length")->setText("30");
    edit(d, "Default")->setText("x");
    click(d, "Add");
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_NE(std::string::npos, createText("t").find("`added` varchar(30) NOT NULL DEFAULT 'x',"))
        << createText("t");
    EXPECT_EQ("x|x",
              scalarAt("SELECT GROUP_CONCAT(added ORDER BY id SEPARATOR '|') FROM velkin_schema_keep.t", 0));
}

INSTANTIATE_TEST_SUITE_P(SqlModes, TableEditorKeeps, ::testing::Values(kStrict, ""),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(*info.param ? "Strict" : "NotStrict");
                         });
