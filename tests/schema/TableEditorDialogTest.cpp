#include <gtest/gtest.h>

#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "SchemaTesting.h"
#include "schema/AddPrimaryAndIndexDialog.h"
#include "schema/FieldAdditionDialog.h"
#include "schema/RenameTableDialog.h"
#include "schema/TableEditorDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kDb = "velkin_schema_te";

/// The statements sent, without the reads: the two listings that follow every change, the key list
/// read before a primary key is replaced and the column description read before a change.
std::vector<std::string> changes(const StatementLog& log) {
    std::vector<std::string> sent;
    for (const std::string& s : log.statements)
        if (s.rfind("SHOW fields FROM ", 0) != 0 && s.rfind("SHOW keys FROM ", 0) != 0 &&
            s.rfind("SELECT * FROM information_schema.COLUMNS ", 0) != 0)
            sent.push_back(s);
    return sent;
}

class TableEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        exec(scratch.admin(),
             "CREATE TABLE velkin_schema_te.t (id INT NOT NULL AUTO_INCREMENT, a INT NOT NULL, b CHAR(3) NOT "
             "NULL, "
             "note VARCHAR(10) NULL, PRIMARY KEY (id), INDEX idx_b (b, a))");
    }
    int rowOf(const QTableWidget* list, const QString& text, int column = 0) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (cell(list, r, column) == text)
                return r;
        ADD_FAILURE() << "no row " << text.toStdString();
        return -1;
    }
    std::string columnType(const std::string& field) {
        return scalar(scratch.admin(),
                      sqlf("SELECT CONCAT_WS('|', COLUMN_TYPE, IS_NULLABLE, COLUMN_KEY) FROM "
                           "information_schema.COLUMNS WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME "
                           "= 't' AND COLUMN_NAME = '%s'",
                           kDb, field));
    }
    std::vector<std::string> keys() {
        return column(scratch.admin(),
                      "SELECT CONCAT(INDEX_NAME, ':', GROUP_CONCAT(COLUMN_NAME ORDER BY "
                      "SEQ_IN_INDEX)) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = "
                      "'velkin_schema_te' AND TABLE_NAME = 't' GROUP BY INDEX_NAME ORDER BY "
                      "INDEX_NAME");
    }
    /// Runs the next nested dialog through a handler of its own type.
    template <typename D>
    void onNext(std::function<int(D&)> handler) {
        op.onModal([handler](QDialog& dialog) { return handler(dynamic_cast<D&>(dialog)); });
    }

    ScratchDatabase scratch{kDb};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

}  // namespace

TEST_F(TableEditorTest, OpensWithFieldsAndKeysAsTheServerListsThem) {
    StatementLog log;
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    EXPECT_EQ((std::vector<std::string>{"SHOW fields FROM velkin_schema_te.t",
                                        "SHOW keys FROM velkin_schema_te.t"}),
              log.statements);
    EXPECT_EQ("Table list  Database :velkin_schema_te Table:t", d.windowTitle());

    const QTableWidget* fields = d.fieldList();
    EXPECT_EQ((QStringList{"Field", "Type", "NULL", "Key", "Default", "Qther"}), headers(fields));
    const int widths[] = {130, 130, 50, 50, 90, 100};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(widths[c], fields->columnWidth(c));
    ASSERT_EQ(4, fields->rowCount());
    // The NULL default ends the row: the Extra after it is not shown.
    EXPECT_EQ((QStringList{"id", "int(11)", "NO", "PRI", "", ""}), rowTexts(fields, 0));
    EXPECT_EQ((QStringList{"note", "varchar(10)", "YES", "", "", ""}), rowTexts(fields, 3));
    EXPECT_EQ((QStringList{"b", "char(3)", "NO", "MUL", "", ""}), rowTexts(fields, 2));
    // Each key role has its own picture.
    const QImage primary = fields->item(0, 0)->icon().pixmap(16, 16).toImage();
    const QImage multiple = fields->item(2, 0)->icon().pixmap(16, 16).toImage();
    const QImage plain = fields->item(1, 0)->icon().pixmap(16, 16).toImage();
    EXPECT_FALSE(primary.isNull());
    EXPECT_NE(primary, multiple);
    EXPECT_NE(primary, plain);
    EXPECT_NE(multiple, plain);

    const QTableWidget* keys = d.keyList();
    const QStringList keyHeaders = headers(keys);
    ASSERT_GE(keyHeaders.size(), 5);
    EXPECT_EQ((QStringList{"Table", "Non_unique", "Key_name", "Seq_in_index", "Column_name"}),
              keyHeaders.mid(0, 5));
    for (int c = 0; c < keys->columnCount(); ++c)
        EXPECT_EQ(100, keys->columnWidth(c));
    ASSERT_EQ(3, keys->rowCount());
    EXPECT_EQ((QStringList{"t", "0", "PRIMARY", "1", "id"}), rowTexts(keys, 0).mid(0, 5));
    EXPECT_EQ((QStringList{"t", "1", "idx_b", "2", "a"}), rowTexts(keys, 2).mid(0, 5));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(TableEditorTest, UpdateChangesTheChosenFieldWithEverythingElseItHas) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    QTableWidget* fields = d.fieldList();
    StatementLog log;

    // Nothing to change: only the lists are read again.
    click(d, "Update");
    EXPECT_TRUE(changes(log).empty());
    EXPECT_EQ(2u, log.statements.size());

    fields->setCurrentCell(rowOf(fields, "note"), 0);
    EXPECT_EQ("note", edit(d, "The field name chosen")->text());
    EXPECT_EQ("varchar(10)", d.currentFieldType());
    EXPECT_TRUE(box(d, "NULL")->isChecked());
    EXPECT_FALSE(box(d, "Primary key")->isChecked());
    edit(d, "The field name chosen")->setText("remark");
    box(d, "NULL")->setChecked(false);
    log.clear();
    click(d, "Update");
    EXPECT_TRUE(
        log.sent("SELECT * FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = 'velkin_schema_te' AND "
                 "TABLE_NAME = 't' AND COLUMN_NAME = 'note'"));
    EXPECT_EQ(
        std::vector<std::string>{
            "ALTER TABLE velkin_schema_te.t CHANGE note remark varchar(10) CHARACTER SET "
            "utf8mb4 COLLATE utf8mb4_general_ci NOT NULL"},
        changes(log))
        << "the NULL default goes with the NULL";
    EXPECT_EQ("varchar(10)|NO|", columnType("remark"));
    EXPECT_EQ("remark", d.currentField());
    EXPECT_EQ(4, fields->rowCount());
    EXPECT_EQ(rowOf(fields, "remark"), fields->currentRow()) << "the changed field stays chosen";
    EXPECT_FALSE(box(d, "NULL")->isChecked());
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();

    // Unticking the key of an auto increment field: the server refuses, and the field keeps its name.
    fields->setCurrentCell(rowOf(fields, "id"), 0);
    EXPECT_TRUE(box(d, "Primary key")->isChecked());
    box(d, "Primary key")->setChecked(false);
    edit(d, "The field name chosen")->setText("ident");
    log.clear();
    click(d, "Update");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t CHANGE id ident int(11) NOT NULL "
                                       "AUTO_INCREMENT, DROP PRIMARY KEY"},
              changes(log));
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Updating was not completed.\n1075:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ("int(11)|NO|PRI", columnType("id"));
    EXPECT_EQ("id", d.currentField()) << "a refused change leaves the field under its name";
    EXPECT_TRUE(box(d, "Primary key")->isChecked()) << "the boxes show what the server holds";

    // A key row chooses the key only: "Update" still changes the field row chosen, as it stands.
    fields->setCurrentCell(rowOf(fields, "a"), 0);
    d.keyList()->setCurrentCell(rowOf(d.keyList(), "b", 4), 0);
    EXPECT_EQ("a", d.currentField());
    EXPECT_EQ("idx_b", d.currentKey());
    EXPECT_EQ("int(11)", d.currentFieldType());
    EXPECT_EQ("a", edit(d, "The field name chosen")->text());
    log.clear();
    op.clear();
    click(d, "Update");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t CHANGE a a int(11) NOT NULL"},
              changes(log));
    EXPECT_EQ("char(3)|NO|MUL", columnType("b"));
    EXPECT_EQ("int(11)|NO|", columnType("a"));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(TableEditorTest, UpdateWithPrimaryKeyMakesTheFieldTheKey) {
    exec(scratch.admin(), "CREATE TABLE velkin_schema_te.nokey (k INT NOT NULL, v INT)");
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "nokey");
    d.fieldList()->setCurrentCell(0, 0);
    box(d, "Primary key")->setChecked(true);
    StatementLog log;
    click(d, "Update");
    EXPECT_EQ(
        std::vector<std::string>{
            "ALTER TABLE velkin_schema_te.nokey CHANGE k k int(11) NOT NULL PRIMARY KEY"},
        changes(log));
    EXPECT_EQ("PRI", cell(d.fieldList(), 0, TableEditorDialog::Key));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(TableEditorTest, UntickingPrimaryKeyTakesOnlyThatFieldOutOfTheKey) {
    exec(scratch.admin(),
         "CREATE TABLE velkin_schema_te.pair (x INT NOT NULL, y INT NOT NULL, z INT NOT NULL, PRIMARY KEY "
         "(x, y), "
         "UNIQUE KEY u (z))");
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "pair");
    d.fieldList()->setCurrentCell(rowOf(d.fieldList(), "x"), 0);
    ASSERT_TRUE(box(d, "Primary key")->isChecked());
    box(d, "Primary key")->setChecked(false);
    StatementLog log;
    click(d, "Update");
    EXPECT_EQ(
        std::vector<std::string>{
            "ALTER TABLE velkin_schema_te.pair CHANGE x x int(11) NOT NULL, DROP PRIMARY "
            "KEY, ADD PRIMARY KEY (y)"},
        changes(log));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("PRIMARY:y",
              scalar(scratch.admin(),
                     "SELECT CONCAT(INDEX_NAME, ':', GROUP_CONCAT(COLUMN_NAME ORDER BY SEQ_IN_INDEX)) "
                     "FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = 'velkin_schema_te' AND "
                     "TABLE_NAME = 'pair' AND INDEX_NAME = 'PRIMARY' GROUP BY INDEX_NAME"));
    EXPECT_FALSE(box(d, "Primary key")->isChecked());

    // Ticking it again on a table that has a key is refused by the server, with its words.
    box(d, "Primary key")->setChecked(true);
    log.clear();
    click(d, "Update");
    EXPECT_EQ(
        std::vector<std::string>{"ALTER TABLE velkin_schema_te.pair CHANGE x x int(11) NOT NULL PRIMARY KEY"},
        changes(log));
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_EQ("Updating was not completed.\n1068:Multiple primary key defined", op.messages[0].text);
}

TEST_F(TableEditorTest, DropFieldAndDropKeyAskFirstAndSendTheirStatements) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    QTableWidget* fields = d.fieldList();
    QTableWidget* keyList = d.keyList();
    StatementLog log;

    fields->setCurrentCell(rowOf(fields, "note"), 0);
    op.answer(false);
    d.dropField();
    EXPECT_EQ("May I delete this note field?", op.questions.back().text);
    EXPECT_TRUE(log.statements.empty()) << "No leaves everything";
    EXPECT_EQ("note", edit(d, "The field name chosen")->text());
    op.answer(true);
    d.dropField();
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t DROP note"}, changes(log));
    EXPECT_EQ(3, fields->rowCount());
    EXPECT_TRUE(d.currentField().isEmpty());
    EXPECT_TRUE(edit(d, "The field name chosen")->text().isEmpty());

    // A refused drop shows the server's words.
    op.answer(true);
    log.clear();
    d.dropField();
    EXPECT_EQ("May I delete this  field?", op.questions.back().text);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("It has not deleted.\n1064:"))
        << op.messages[0].text.toStdString();

    keyList->setCurrentCell(rowOf(keyList, "idx_b", 2), 0);
    op.clear();
    log.clear();
    op.answer(true);
    d.dropKey();
    EXPECT_EQ("May I delete this idx_b key?", op.questions.back().text);
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t DROP INDEX idx_b"}, changes(log));
    EXPECT_EQ(1, keyList->rowCount());

    keyList->setCurrentCell(0, 0);
    EXPECT_EQ("PRIMARY", d.currentKey());
    log.clear();
    op.answer(true);
    d.dropKey();
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t DROP PRIMARY KEY"}, changes(log));
    ASSERT_EQ(1u, op.messages.size()) << "an auto increment field must stay a key";
    EXPECT_TRUE(op.messages[0].text.startsWith("It has not deleted.\n1075:"))
        << op.messages[0].text.toStdString();
    EXPECT_EQ(std::vector<std::string>{"PRIMARY:id"}, keys());
}

TEST_F(TableEditorTest, KeyAdditionInItsThreeModes) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    auto offered = [](const AddPrimaryAndIndexDialog& a) {
        QStringList names;
        for (int i = 0; i < a.availableFields()->count(); ++i)
            names << a.availableFields()->item(i)->text();
        return names;
    };
    StatementLog log;
    std::vector<std::string> created;

    // INDEX: a name and fields a then b; nullable fields are not offered.
    onNext<AddPrimaryAndIndexDialog>([&](AddPrimaryAndIndexDialog& a) {
        EXPECT_EQ("Add Primary and Index", a.windowTitle());
        EXPECT_EQ("velkin_schema_te", edit(a, "Database")->text());
        EXPECT_EQ("t", edit(a, "Table")->text());
        EXPECT_TRUE(edit(a, "Index name")->text().isEmpty());
        EXPECT_TRUE(edit(a, "Index name")->isEnabled());
        EXPECT_EQ((QStringList{"id", "a", "b"}), offered(a));
        edit(a, "Index name")->setText("idx");
        a.availableFields()->setCurrentRow(1);
        click(a, ">");
        a.choose(a.availableFields()->item(1));  // as a double click does
        EXPECT_EQ(2, a.chosenFields()->count());
        log.clear();
        click(a, "Create");
        created = log.statements;
        return a.result();
    });
    click(d, "Index addition");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t ADD INDEX idx ( a,b )"}, created);
    EXPECT_EQ(QStringList{"Add Primary and Index"}, op.modalTitles);
    EXPECT_TRUE(log.sent("SHOW keys FROM velkin_schema_te.t")) << "the editor reads its lists again";
    EXPECT_EQ(5, d.keyList()->rowCount());
    EXPECT_EQ((std::vector<std::string>{"idx:a,b", "idx_b:b,a", "PRIMARY:id"}), keys());
    EXPECT_TRUE(op.messages.empty());

    // UNIQUE offers every field; without a name the server names the key.
    onNext<AddPrimaryAndIndexDialog>([&](AddPrimaryAndIndexDialog& a) {
        EXPECT_EQ((QStringList{"id", "a", "b", "note"}), offered(a));
        a.choose(a.availableFields()->item(3));
        a.choose(a.availableFields()->item(2));
        a.unchoose(a.chosenFields()->item(1));
        EXPECT_EQ((QStringList{"id", "a", "b"}), offered(a)) << "< puts the field back at the end";
        click(a, ">>");
        click(a, "<<");
        EXPECT_EQ(1, a.chosenFields()->count()) << ">> and << move nothing";
        log.clear();
        click(a, "Create");
        created = log.statements;
        return a.result();
    });
    QMenu keyMenu;
    d.fillKeyMenu(keyMenu);
    ASSERT_EQ(4, keyMenu.actions().size());
    EXPECT_EQ("Unique addition", keyMenu.actions()[1]->text());
    keyMenu.actions()[1]->trigger();
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t ADD UNIQUE ( note )"}, created);
    EXPECT_EQ((std::vector<std::string>{"idx:a,b", "idx_b:b,a", "note:note", "PRIMARY:id"}), keys());

    // PRIMARY: the name is fixed; a refused DROP PRIMARY KEY adds nothing and keeps the screen.
    onNext<AddPrimaryAndIndexDialog>([&](AddPrimaryAndIndexDialog& a) {
        EXPECT_EQ("PRIMARY", edit(a, "Index name")->text());
        EXPECT_FALSE(edit(a, "Index name")->isEnabled());
        EXPECT_EQ((QStringList{"id", "a", "b"}), offered(a));
        a.choose(a.availableFields()->item(1));
        log.clear();
        click(a, "Create");
        created = log.statements;
        EXPECT_EQ(1u, op.messages.size());
        EXPECT_NE(QDialog::Accepted, a.result());
        EXPECT_EQ(1, a.chosenFields()->count()) << "the chosen fields stay";
        log.clear();
        return int(QDialog::Rejected);
    });
    click(d, "Primary key addition");
    EXPECT_EQ((std::vector<std::string>{"SHOW keys FROM velkin_schema_te.t",
                                        "ALTER TABLE velkin_schema_te.t DROP PRIMARY KEY"}),
              created);
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Deletion was not completed.\n1075:"))
        << op.messages[0].text.toStdString();
    EXPECT_TRUE(log.statements.empty()) << "no reload after Cancel";
    EXPECT_EQ((std::vector<std::string>{"idx:a,b", "idx_b:b,a", "note:note", "PRIMARY:id"}), keys());
}

TEST_F(TableEditorTest, PrimaryModeReplacesTheKeyAndAFailingAddIsShown) {
    exec(scratch.admin(),
         "CREATE TABLE velkin_schema_te.p (x INT NOT NULL, y INT NOT NULL, PRIMARY KEY (x))");
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "p");
    AddPrimaryAndIndexDialog a(*session, op, QString::fromStdString(kDb), "p", KeyKind::Primary, &d);
    a.choose(a.availableFields()->item(1));
    a.choose(a.availableFields()->item(0));
    StatementLog log;
    a.create();
    EXPECT_EQ((std::vector<std::string>{"SHOW keys FROM velkin_schema_te.p",
                                        "ALTER TABLE velkin_schema_te.p DROP PRIMARY KEY",
                                        "ALTER TABLE velkin_schema_te.p ADD PRIMARY KEY ( y,x )"}),
              log.statements);
    EXPECT_EQ(QDialog::Accepted, a.result());
    EXPECT_EQ("y,x", scalar(scratch.admin(),
                            "SELECT GROUP_CONCAT(COLUMN_NAME ORDER BY SEQ_IN_INDEX) FROM "
                            "information_schema.STATISTICS WHERE TABLE_SCHEMA = 'velkin_schema_te' "
                            "AND TABLE_NAME = 'p' AND INDEX_NAME = 'PRIMARY'"));

    AddPrimaryAndIndexDialog dup(*session, op, QString::fromStdString(kDb), "p", KeyKind::Index, &d);
    edit(dup, "Index name")->setText("PRIMARY");
    dup.choose(dup.availableFields()->item(0));
    dup.create();
    ASSERT_EQ(1u, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("Updating was not completed.\n"))
        << op.messages[0].text.toStdString();
    EXPECT_NE(QDialog::Accepted, dup.result());
}

TEST_F(TableEditorTest, FieldAdditionAndRenameFromTheEditor) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    onNext<FieldAdditionDialog>([](FieldAdditionDialog& f) {
        edit(f, "Field name")->setText("extra");
        choose(combo(f, "Type"), "DATE");
        click(f, "Add");
        return f.result();
    });
    QMenu fieldMenu;
    d.fillFieldMenu(fieldMenu);
    ASSERT_EQ(3, fieldMenu.actions().size());
    EXPECT_EQ((QStringList{"Add", "Delete", "Details"}),
              (QStringList{fieldMenu.actions()[0]->text(), fieldMenu.actions()[1]->text(),
                           fieldMenu.actions()[2]->text()}));
    fieldMenu.actions()[0]->trigger();
    EXPECT_EQ(QStringList{"Field addition"}, op.modalTitles);
    EXPECT_EQ(5, d.fieldList()->rowCount()) << "the lists are read again after OK";

    onNext<RenameTableDialog>([](RenameTableDialog& r) {
        edit(r, "A new table name")->setText("t2");
        click(r, "OK");
        return r.result();
    });
    StatementLog log;
    click(d, "Table name change");
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t RENAME velkin_schema_te.t2"},
              log.statements)
        << "the lists are not read again";
    EXPECT_EQ("t2", d.tableName());
    EXPECT_EQ("Table List  Database:velkin_schema_te Table:t2", d.windowTitle());

    // Later statements name the table by its new name.
    log.clear();
    d.reload();
    EXPECT_TRUE(log.sent("SHOW fields FROM velkin_schema_te.t2"));
}

TEST_F(TableEditorTest, OtherScreensAreOpenedThroughTheOpenersActions) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    for (const char* name : {"Maintenance Restoration", "Table duplicate", "The amount of data"})
        EXPECT_FALSE(child<QPushButton>(d, name)->isEnabled()) << name;
    QStringList opened;
    auto recorder = [&](const char* what) {
        return [&opened, what](QWidget* parent, const QString& db, const QString& table) {
            EXPECT_NE(nullptr, parent);
            opened << QString::fromUtf8(what) + ":" + db + "." + table;
        };
    };
    d.setMaintenanceAction(recorder("maintenance"));
    d.setDuplicationAction(recorder("duplicate"));
    d.setDataAmountAction(recorder("amount"));
    click(d, "Maintenance Restoration");
    click(d, "Table duplicate");
    click(d, "The amount of data");
    EXPECT_EQ((QStringList{"maintenance:velkin_schema_te.t", "duplicate:velkin_schema_te.t",
                           "amount:velkin_schema_te.t"}),
              opened);
}

TEST_F(TableEditorTest, ReservedAndUnusualNamesReadFromTheServerAreQuoted) {
    exec(scratch.admin(),
         "CREATE TABLE velkin_schema_te.`order` (`select` INT NOT NULL, `my field` INT NOT NULL, "
         "INDEX `key` (`select`))");
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "order");
    ASSERT_EQ(2, d.fieldList()->rowCount());
    StatementLog log;
    d.fieldList()->setCurrentCell(0, 0);
    click(d, "Update");
    d.fieldList()->setCurrentCell(1, 0);
    op.answer(true);
    d.dropField();
    d.keyList()->setCurrentCell(0, 0);
    op.answer(true);
    d.dropKey();
    EXPECT_EQ((std::vector<std::string>{
                  "ALTER TABLE velkin_schema_te.`order` CHANGE `select` `select` int(11) NOT NULL",
                  "ALTER TABLE velkin_schema_te.`order` DROP `my field`",
                  "ALTER TABLE velkin_schema_te.`order` DROP INDEX `key`"}),
              changes(log));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
    EXPECT_EQ("select", scalar(scratch.admin(),
                               "SELECT GROUP_CONCAT(COLUMN_NAME) FROM information_schema.COLUMNS "
                               "WHERE TABLE_SCHEMA = 'velkin_schema_te' AND TABLE_NAME = 'order'"));
}

TEST_F(TableEditorTest, KeysOfTheListsDropAndAdd) {
    TableEditorDialog d(*session, op, QString::fromStdString(kDb), "t");
    QTableWidget* fields = d.fieldList();
    QTableWidget* keyList = d.keyList();

    QTest::keyClick(fields, Qt::Key_Insert);
    EXPECT_EQ(QStringList{"Field addition"}, op.modalTitles) << "cancelled: nothing is read again";

    StatementLog log;
    fields->setCurrentCell(rowOf(fields, "note"), 0);
    op.answer(false);
    QTest::keyClick(fields, Qt::Key_Delete);
    EXPECT_EQ("May I delete this note field?", op.questions.back().text);
    keyList->setCurrentCell(rowOf(keyList, "idx_b", 2), 0);
    op.answer(true);
    QTest::keyClick(keyList, Qt::Key_Delete);
    EXPECT_EQ("May I delete this idx_b key?", op.questions.back().text);
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t DROP INDEX idx_b"}, changes(log));

    QMenu fieldMenu;
    d.fillFieldMenu(fieldMenu);
    fields->setCurrentCell(rowOf(fields, "a"), 0);
    op.answer(true);
    log.clear();
    fieldMenu.actions()[1]->trigger();
    EXPECT_EQ(std::vector<std::string>{"ALTER TABLE velkin_schema_te.t DROP a"}, changes(log));
    log.clear();
    fieldMenu.actions()[2]->trigger();
    EXPECT_TRUE(log.statements.empty()) << "Details does nothing";
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join("|").toStdString();
}
