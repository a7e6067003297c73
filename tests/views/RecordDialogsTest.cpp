#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include "ViewTesting.h"
#include "session/SqlText.h"
#include "views/FilterDialog.h"
#include "views/PageSetupDialog.h"
#include "views/PageSetupText.h"
#include "views/RecordDetailsDialog.h"
#include "views/RecordListText.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class RecordDialogsTest : public ::testing::Test {
protected:
    void rows(int count) {
        exec(db.admin(),
             "CREATE TABLE velkin_dialogs.t (a INT PRIMARY KEY, b VARCHAR(300) NULL, c INT NULL)");
        std::string values;
        for (int i = 1; i <= count; ++i)
            values += sqlf("%s(%d,'row %d',NULL)", i == 1 ? "" : ",", i, i);
        exec(db.admin(), "INSERT INTO velkin_dialogs.t VALUES " + values);
    }
    QString text(QDialog& d, const char* name) {
        return d.findChild<QLineEdit*>(QString::fromUtf8(name))->text();
    }
    QLineEdit* edit(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(QString::fromUtf8(name)); }

    /// Logs in and shows the main window's record list of velkin_dialogs.t, 100 rows a page.
    CSorvaneView& openRecordList() {
        doc = std::make_unique<CSorvaneDoc>(op, loginAs(adminAccount()));
        EXPECT_EQ(ConnectResult::Admin, doc->Connect());
        host = std::make_unique<TestViewHost>(*doc, op);
        return host->showTable("velkin_dialogs", "t");
    }

    ScratchDatabase db{"velkin_dialogs"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    std::unique_ptr<CSorvaneDoc> doc;
    std::unique_ptr<TestViewHost> host;
};

}  // namespace

TEST(PageSetupText, RangesAndChoices) {
    EXPECT_EQ(3, pageCountFor(250, 100));
    EXPECT_EQ(2, pageCountFor(200, 100)) << "a full last page is the last";
    EXPECT_EQ(3, pageCountFor(201, 100));
    EXPECT_EQ(1, pageCountFor(1, 100));
    EXPECT_EQ(1, pageCountFor(0, 100));
    EXPECT_EQ("101  -  200", pageRangeText(2, 2, 100, 200));
    EXPECT_EQ("201  -  250", pageRangeText(3, 3, 100, 250));
    EXPECT_EQ("1  -  100", pageRangeText(1, 3, 100, 250));
    EXPECT_EQ("101  -  200", pageRangeText(2, 3, 100, 250));
    EXPECT_EQ("It cannot display.", pageRangeText(5, 3, 100, 250));
    EXPECT_EQ("It cannot display.", pageRangeText(0, 3, 100, 250));
    PageChoice beyond = pageChoiceFor(5, 100, 3);
    EXPECT_EQ(2, beyond.page) << "page 5 of 3 goes to page 3";
    EXPECT_EQ(100, beyond.pageLength);
    EXPECT_EQ(100, pageChoiceFor(1, 0, 3).pageLength) << "a page length of 0 becomes 100";
    EXPECT_EQ(0, pageChoiceFor(1, 0, 3).page);
}

TEST_F(RecordDialogsTest, PageSetupCountsAndMovesThroughPages) {
    rows(250);
    StatementLog log;
    PageSetupDialog dialog(*session, op, 0, 100, "select count(*) from velkin_dialogs.t");
    EXPECT_EQ(std::vector<std::string>{"select count(*) from velkin_dialogs.t"}, log.statements);
    EXPECT_EQ("1", text(dialog, "page number"));
    EXPECT_EQ("3", text(dialog, "page count"));
    EXPECT_EQ("250", text(dialog, "Record Count"));
    EXPECT_EQ("1  -  100", text(dialog, "range"));
    dialog.up();
    dialog.up();
    EXPECT_EQ("3", text(dialog, "page number"));
    EXPECT_EQ("201  -  250", text(dialog, "range"));
    dialog.up();
    EXPECT_EQ("3", text(dialog, "page number")) << "Up stops at the page count";
    edit(dialog, "page length")->setText("50");
    EXPECT_EQ("5", text(dialog, "page count"));
    EXPECT_EQ("101  -  150", text(dialog, "range"));
    edit(dialog, "page length")->setText("0");
    EXPECT_EQ("5", text(dialog, "page count")) << "a page length of 0 changes nothing";
    edit(dialog, "page number")->setText("9");
    EXPECT_EQ("It cannot display.", text(dialog, "range"));
    dialog.ok();
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(4, dialog.page()) << "beyond the last page goes to the last";
    EXPECT_EQ(100, dialog.pageLength());

    PageSetupDialog low(*session, op, 0, 100, "select count(*) from velkin_dialogs.t");
    low.down();
    EXPECT_EQ("1", text(low, "page number")) << "Dwn stops at 1";
    edit(low, "page number")->setText("0");
    low.ok();
    EXPECT_NE(QDialog::Accepted, low.result()) << "page numbers below 1 are refused";
    EXPECT_EQ(QStringList{"The page number must be 1 or more."}, op.messageTexts());
}

TEST_F(RecordDialogsTest, FilterConditionsFollowTheChosenRow) {
    exec(db.admin(), "CREATE TABLE velkin_dialogs.f (a INT, b INT, c INT)");
    FilterDialog::ConditionSets given;
    for (auto& set : given)
        set.assign(64, std::string());
    given[1][2] = "< 5";
    StatementLog log;
    FilterDialog dialog(*session, "velkin_dialogs", "f", given);
    EXPECT_EQ(std::vector<std::string>{"SHOW fields FROM velkin_dialogs.f"}, log.statements);
    QTableWidget* list = dialog.list();
    ASSERT_EQ(3, list->rowCount());
    EXPECT_EQ("c", list->item(2, 0)->text());
    EXPECT_EQ("< 5", list->item(2, 2)->text());

    QTest::keyClicks(dialog.conditionEdit(0), "= 1");
    EXPECT_EQ("", list->item(0, 1)->text()) << "typing before a row is chosen edits nothing";

    list->setCurrentCell(1, 0);
    EXPECT_EQ("b", text(dialog, "field name"));
    dialog.conditionEdit(0)->clear();
    QTest::keyClicks(dialog.conditionEdit(0), "> 10");
    QTest::keyClicks(dialog.conditionEdit(2), "IS NOT NULL");
    EXPECT_EQ("> 10", list->item(1, 1)->text());
    EXPECT_EQ("IS NOT NULL", list->item(1, 3)->text());
    list->setCurrentCell(2, 0);
    EXPECT_EQ("< 5", dialog.conditionEdit(1)->text());

    dialog.ok();
    EXPECT_EQ("> 10", dialog.conditions()[0][1]);
    EXPECT_EQ("IS NOT NULL", dialog.conditions()[2][1]);
    EXPECT_EQ("< 5", dialog.conditions()[1][2]);
    EXPECT_EQ("", dialog.conditions()[0][0]);
}

TEST_F(RecordDialogsTest, DetailsOfATwoColumnKey) {
    exec(db.admin(),
         "CREATE TABLE velkin_dialogs.k (a INT, b VARCHAR(10), v VARCHAR(300) NULL, n INT NULL, "
         "PRIMARY KEY (a, b), KEY v (v))");
    const std::string longValue(300, 'z');
    exec(db.admin(),
         "INSERT INTO velkin_dialogs.k VALUES (1, 'x', '" + longValue + "', NULL), (2, 'y', 'keep', 7)");
    RecordDetailsDialog dialog(*session, op, "velkin_dialogs", "k", {"1", "x", longValue, std::nullopt});
    EXPECT_EQ("Record details", dialog.windowTitle());
    EXPECT_EQ(" a = '1'AND b = 'x'", dialog.whereText());
    ASSERT_EQ(4, dialog.list()->rowCount());
    EXPECT_EQ("PRI", dialog.list()->item(0, 2)->text());
    EXPECT_EQ("MUL", dialog.list()->item(2, 2)->text());
    EXPECT_EQ(300, dialog.list()->item(2, 3)->text().size()) << "long values are read whole";
    EXPECT_TRUE(dialog.findChild<QPushButton*>("Update")->isVisibleTo(&dialog));
    EXPECT_FALSE(edit(dialog, "The contents of the field")->isReadOnly());

    // A NULL left alone stays NULL; the other columns are untouched.
    StatementLog log;
    dialog.selectLine(3);
    EXPECT_EQ("n", text(dialog, "Field name"));
    dialog.update();
    EXPECT_EQ(
        std::vector<std::string>{"UPDATE velkin_dialogs.k SET n=NULL WHERE  a = '1'AND b = 'x' LIMIT 1"},
        std::vector<std::string>(log.statements.begin(), log.statements.begin() + 1));
    EXPECT_EQ("(null)", scalar(db.admin(), "SELECT n FROM velkin_dialogs.k WHERE a = 1"));

    // Changing a key column: the next update and the delete use the new key.
    log.clear();
    dialog.selectLine(1);
    edit(dialog, "The contents of the field")->setText("it's");
    dialog.update();
    EXPECT_EQ("UPDATE velkin_dialogs.k SET b='it\\'s' WHERE  a = '1'AND b = 'x' LIMIT 1",
              log.statements.at(0));
    EXPECT_TRUE(op.messages.empty()) << "a quote in a value now updates instead of failing";
    EXPECT_EQ(" a = '1'AND b = 'it\\'s'", dialog.whereText());
    EXPECT_TRUE(dialog.changed());
    log.clear();
    dialog.selectLine(2);
    edit(dialog, "The contents of the field")->setText("new");
    dialog.update();
    EXPECT_EQ("UPDATE velkin_dialogs.k SET v='new' WHERE  a = '1'AND b = 'it\\'s' LIMIT 1",
              log.statements.at(0));
    EXPECT_EQ("new", scalar(db.admin(), "SELECT v FROM velkin_dialogs.k WHERE a = 1"));

    log.clear();
    op.answer(false);
    dialog.deleteRow();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(QString::fromUtf8("本当に削除してもよろしいですか？"), op.questions.at(0).text);
    op.answer(true);
    dialog.deleteRow();
    EXPECT_EQ(std::vector<std::string>{"DELETE FROM velkin_dialogs.k WHERE  a = '1'AND b = 'it\\'s' LIMIT 1"},
              log.statements);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("2", scalar(db.admin(), "SELECT GROUP_CONCAT(a) FROM velkin_dialogs.k"));
}

TEST_F(RecordDialogsTest, TheKeyConditionQuotesNamesAndValuesAndFindsNulls) {
    exec(db.admin(),
         "CREATE TABLE velkin_dialogs.u (a INT NOT NULL, `odd``name` VARCHAR(10) NULL, "
         "b VARCHAR(10) NOT NULL, UNIQUE KEY (a, `odd``name`, b))");
    exec(db.admin(),
         "INSERT INTO velkin_dialogs.u VALUES (1, NULL, 'it''s\n'), (1, 'x', 'it''s\n'), (2, NULL, 'y')");
    const std::string where =
        whereByKey(*session, {{"a", "1"}, {"odd`name", std::nullopt}, {"b", std::string("it's\n")}});
    EXPECT_EQ(" a = '1'AND `odd``name` IS NULL AND b = 'it\\'s\\n'", where);
    EXPECT_EQ("1", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dialogs.u WHERE" + where))
        << "the NULL key finds its row, and only it";
    EXPECT_EQ("", whereByKey(*session, {}));
    EXPECT_EQ("UPDATE velkin_dialogs.u SET `odd``name`=NULL WHERE  a = '1' LIMIT 1",
              updateRecordStatement(*session, "velkin_dialogs", "u", "odd`name", std::nullopt, " a = '1'"));
    EXPECT_EQ("DELETE FROM `velkin dialogs`.`order` WHERE  a = '1' LIMIT 1",
              deleteRecordStatement(*session, "velkin dialogs", "order", " a = '1'"));
}

TEST_F(RecordDialogsTest, DetailsWithoutKeyAreReadOnlyAndRefusalsAreReported) {
    exec(db.admin(), "CREATE TABLE velkin_dialogs.nokey (a INT, b INT)");
    RecordDetailsDialog plain(*session, op, "velkin_dialogs", "nokey", {"1", "2"});
    EXPECT_FALSE(plain.findChild<QPushButton*>("Update")->isVisibleTo(&plain));
    EXPECT_FALSE(plain.findChild<QPushButton*>("delete")->isVisibleTo(&plain));
    EXPECT_TRUE(edit(plain, "The contents of the field")->isReadOnly());
    EXPECT_EQ("", plain.whereText());
    plain.close();
    EXPECT_EQ(QDialog::Rejected, plain.result()) << "Close without a change";

    exec(db.admin(), "CREATE TABLE velkin_dialogs.typed (a INT PRIMARY KEY, n INT)");
    exec(db.admin(), "INSERT INTO velkin_dialogs.typed VALUES (1, 2)");
    RecordDetailsDialog typed(*session, op, "velkin_dialogs", "typed", {"1", "2"});
    typed.selectLine(1);
    edit(typed, "The contents of the field")->setText("not a number");
    exec(*session, "SET SESSION sql_mode = 'STRICT_ALL_TABLES'");
    typed.update();
    ASSERT_EQ(1, op.messageTexts().size());
    EXPECT_TRUE(op.messageTexts()[0].startsWith(
        "It failed in updating.\n1366:Incorrect integer value: 'not a number'"))
        << op.messageTexts()[0].toStdString();
    EXPECT_FALSE(typed.changed());
    EXPECT_EQ("2", scalar(db.admin(), "SELECT n FROM velkin_dialogs.typed"));
}

TEST_F(RecordDialogsTest, TheRecordListOpensTheDialogs) {
    rows(250);
    QSettings settings(QStringLiteral("Local AppWizard-Generated Applications"),
                       QStringLiteral("VelkinSorvane"));
    settings.remove("SQLDLG/PageLength");
    settings.sync();
    CSorvaneView& list = openRecordList();
    ASSERT_EQ(100, list.rowCount());
    op.onModal([this](QDialog& d) {
        edit(d, "page number")->setText("3");
        edit(d, "page length")->setText("120");
        dynamic_cast<PageSetupDialog&>(d).ok();
        return d.result();
    });
    list.execute(Command::PageSetup);
    EXPECT_EQ(2, list.paging().page) << "250 rows at 120 a page make three pages";
    EXPECT_EQ(120, list.paging().length);
    EXPECT_EQ(10, list.rowCount()) << "rows 241 to 250";
    settings.sync();
    EXPECT_EQ(120, settings.value("SQLDLG/PageLength").toInt());
    // Later lists of other tests start at the usual length.
    settings.remove("SQLDLG/PageLength");
    settings.sync();

    op.onModal([](QDialog& d) {
        auto& filter = dynamic_cast<FilterDialog&>(d);
        filter.list()->setCurrentCell(0, 0);
        filter.conditionEdit(0)->setText("> 240");
        Q_EMIT filter.conditionEdit(0)->textEdited("> 240");
        filter.ok();
        return d.result();
    });
    list.setPage(0, 120);
    list.execute(Command::Filter);
    EXPECT_TRUE(list.paging().filtered);
    EXPECT_EQ(10, list.rowCount()) << "rows 241 to 250";
    EXPECT_EQ("> 240", list.m_conditions[0][0]);

    // Details of a row: a delete refreshes the list without it.
    op.answer(true);
    op.onModal([](QDialog& d) {
        dynamic_cast<RecordDetailsDialog&>(d).deleteRow();
        return d.result();
    });
    list.openRow(0);
    EXPECT_EQ(9, list.rowCount());
    EXPECT_EQ("249", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dialogs.t"));
}

TEST_F(RecordDialogsTest, DetailsSetAFieldToNullAndBackAndAnEmptyFieldIsTheEmptyText) {
    exec(db.admin(),
         "CREATE TABLE velkin_dialogs.n (id INT PRIMARY KEY, d VARCHAR(10) NULL, e VARCHAR(10) NULL)");
    exec(db.admin(), "INSERT INTO velkin_dialogs.n VALUES (1, 'x', NULL)");
    RecordDetailsDialog dialog(*session, op, "velkin_dialogs", "n", {"1", "x", std::nullopt});
    auto* null = dialog.findChild<QCheckBox*>("NULL");
    ASSERT_NE(nullptr, null);
    QLineEdit* contents = edit(dialog, "The contents of the field");
    auto value = [&] {
        return scalar(db.admin(), "SELECT IFNULL(CONCAT('[', d, ']'), 'null') FROM velkin_dialogs.n");
    };

    // A NULL is shown grey as "NULL", unlike a text; its line checks the box and empties the field.
    EXPECT_EQ("NULL", dialog.list()->item(2, 3)->text());
    EXPECT_EQ(QColor(Qt::gray), dialog.list()->item(2, 3)->foreground().color());
    EXPECT_EQ("x", dialog.list()->item(1, 3)->text());
    dialog.selectLine(2);
    EXPECT_TRUE(null->isChecked());
    EXPECT_FALSE(contents->isEnabled());
    EXPECT_EQ("", contents->text());
    dialog.selectLine(1);
    EXPECT_FALSE(null->isChecked());
    EXPECT_EQ("x", contents->text());

    StatementLog log;
    null->setChecked(true);
    EXPECT_FALSE(contents->isEnabled());
    dialog.update();
    EXPECT_EQ(std::vector<std::string>{"UPDATE velkin_dialogs.n SET d=NULL WHERE  id = '1' LIMIT 1"},
              std::vector<std::string>(log.statements.begin(), log.statements.begin() + 1));
    EXPECT_EQ("null", value());
    EXPECT_EQ("NULL", dialog.list()->item(1, 3)->text());
    EXPECT_TRUE(null->isChecked()) << "the line shows the new NULL";

    // Back from NULL: an emptied field is the empty text, and the word NULL typed is a text.
    log.clear();
    null->setChecked(false);
    EXPECT_TRUE(contents->isEnabled());
    contents->clear();
    dialog.update();
    EXPECT_EQ("UPDATE velkin_dialogs.n SET d='' WHERE  id = '1' LIMIT 1", log.statements.at(0));
    EXPECT_EQ("[]", value());
    EXPECT_EQ("", dialog.list()->item(1, 3)->text());
    contents->setText("NULL");
    dialog.update();
    EXPECT_EQ("[NULL]", value());
    EXPECT_TRUE(op.messages.empty());
    ASSERT_TRUE(dialog.changed());

    // After a change the dialog ends accepted however it is closed, so the list reads the rows again.
    dialog.reject();
    EXPECT_EQ(QDialog::Accepted, dialog.result());

    // Without a key nothing can be written, and the NULL box stays off.
    exec(db.admin(), "CREATE TABLE velkin_dialogs.nokey2 (a INT NULL)");
    RecordDetailsDialog plain(*session, op, "velkin_dialogs", "nokey2", {std::nullopt});
    EXPECT_FALSE(plain.findChild<QCheckBox*>("NULL")->isEnabled());
    plain.reject();
    EXPECT_EQ(QDialog::Rejected, plain.result());
}

TEST_F(RecordDialogsTest, AChangeShowsInTheListWhenTheDetailsAreClosedWithEscape) {
    rows(3);
    CSorvaneView& list = openRecordList();
    ASSERT_EQ(3, list.rowCount());
    EXPECT_TRUE(list.rows().isNull(0, 2));

    op.onModal([this](QDialog& d) {
        auto& details = dynamic_cast<RecordDetailsDialog&>(d);
        details.selectLine(1);
        edit(d, "The contents of the field")->setText("changed");
        details.update();
        details.selectLine(2);
        edit(d, "The contents of the field")->setText("42");
        d.findChild<QCheckBox*>("NULL")->setChecked(false);
        edit(d, "The contents of the field")->setText("42");
        details.update();
        QTest::keyClick(&d, Qt::Key_Escape);
        return d.result();
    });
    list.openRow(0);
    EXPECT_EQ("changed", list.cellText(0, 1));
    EXPECT_EQ("42", list.cellText(0, 2));
    EXPECT_FALSE(list.rows().isNull(0, 2));
    EXPECT_EQ("changed|42", scalar(db.admin(), "SELECT CONCAT(b, '|', c) FROM velkin_dialogs.t WHERE a = 1"));
}
