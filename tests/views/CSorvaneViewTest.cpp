#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include "ViewTesting.h"
#include "session/Settings.h"
#include "session/SqlText.h"
#include "session/StatusPanes.h"
#include "views/FilterDialog.h"
#include "widgets/ColumnWidths.h"

using namespace velkin;
using namespace velkin::test;

namespace {

using Statements = std::vector<std::string>;

class RecordListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ConnectResult::Admin, doc.Connect());
        op.clear();
    }

    /// The table selected as the tree does it.
    CSorvaneView& show(const std::string& table, const std::string& database = "") {
        return host.showTable(qs(database.empty() ? db.name() : database), qs(table));
    }

    /// A table t with the numbers 1 to rows in column a, in that order. Without a key it is paged by
    /// offset, with the statements whose texts these tests read.
    void numbers(int rows, const std::string& table = "t", bool keyed = false) {
        exec(db.admin(), sqlf("CREATE TABLE %s.%s (a INT %s, b VARCHAR(20))", db.name(), table,
                              keyed ? "PRIMARY KEY" : "NOT NULL"));
        std::string values;
        for (int i = 1; i <= rows; ++i)
            values += sqlf("%s(%d,'row %d')", i == 1 ? "" : ",", i, i);
        if (rows > 0)
            exec(db.admin(), sqlf("INSERT INTO %s.%s VALUES %s", db.name(), table, values));
    }

    QString pane(int n) { return host.panes.texts[n]; }
    void markPanes() {
        host.panes.setPaneText(kRecordPane, "before");
        host.panes.setPaneText(3, "before");
    }
    std::string plainPage(int offset) { return sqlf("select * from %s.t LIMIT %d,100", db.name(), offset); }
    std::string plainCount() { return sqlf("select count(*) from %s.t", db.name()); }
    QString status(int records, int page, bool filtered = false) {
        return (filtered ? QStringLiteral("検索結果 ") : QString()) +
               textf("Record : %d  Database: %s  Table: t  Current Page : %d", records, db.name(), page);
    }

    ScratchDatabase db{"velkin_list"};
    ScriptedOperator op;
    CSorvaneDoc doc{op, loginAs(adminAccount())};
    TestViewHost host{doc, op};
};

}  // namespace

TEST_F(RecordListTest, PagesThroughTwoHundredFiftyRows) {
    numbers(250);
    CSorvaneView& list = show("t");
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), list.m_columnNames);
    EXPECT_EQ(2, list.m_columnCount);
    ASSERT_EQ(100, list.rowCount());
    EXPECT_EQ("1", list.cellText(0, 0));
    EXPECT_EQ("row 100", list.cellText(99, 1));
    EXPECT_EQ(250, list.paging().count);
    EXPECT_EQ(plainCount(), list.countStatement());
    EXPECT_EQ(status(250, 1), pane(kRecordPane));
    EXPECT_TRUE(QRegularExpression("^Reference time : RES \\d+ s FREE \\d+ s$").match(pane(3)).hasMatch())
        << pane(3).toStdString();

    StatementLog log;
    list.execute(Command::PageUp);
    EXPECT_EQ((Statements{plainPage(100), plainCount()}), log.statements);
    ASSERT_EQ(100, list.rowCount());
    EXPECT_EQ("101", list.cellText(0, 0));
    EXPECT_EQ(status(250, 2), pane(kRecordPane));
    list.execute(Command::PageUp);
    ASSERT_EQ(50, list.rowCount());
    EXPECT_EQ("250", list.cellText(49, 0));

    // On the last page "Page Up" stays there but lists the page again.
    log.clear();
    markPanes();
    list.execute(Command::PageUp);
    EXPECT_EQ(2, list.paging().page);
    EXPECT_EQ((Statements{plainPage(200), plainCount()}), log.statements);
    EXPECT_EQ(50, list.rowCount());
    EXPECT_EQ(status(250, 3), pane(kRecordPane));
    EXPECT_NE("before", pane(3));
    EXPECT_TRUE(op.messages.empty());

    // The list stays with the table it was made for while the tree chooses another node.
    selectTable(doc, "mysql", "user");
    log.clear();
    list.execute(Command::PageDown);
    EXPECT_EQ((Statements{plainPage(100), plainCount()}), log.statements);
    EXPECT_EQ(status(250, 2), pane(kRecordPane));
}

TEST_F(RecordListTest, PagingStopsAtTheLastFullPage) {
    numbers(200);
    CSorvaneView& list = show("t");
    list.nextPage();
    list.nextPage();
    EXPECT_EQ(1, list.paging().page);
    EXPECT_EQ(100, list.rowCount());
    EXPECT_EQ("200", list.cellText(99, 0));
    EXPECT_EQ(status(200, 2), pane(kRecordPane));
    EXPECT_TRUE(list.showGrid());
}

TEST_F(RecordListTest, PageDownOnTheFirstPageDoesNothingAtAllAndArrowKeysPage) {
    numbers(150);
    CSorvaneView& list = show("t");
    markPanes();
    StatementLog log;
    list.execute(Command::PageDown);
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(0, list.paging().page);
    EXPECT_EQ(100, list.rowCount());
    EXPECT_EQ("before", pane(kRecordPane));
    EXPECT_EQ("before", pane(3));

    QTest::keyClick(&list, Qt::Key_Right);
    ASSERT_EQ(50, list.rowCount());
    EXPECT_TRUE(list.currentIndex().isValid()) << "the arrow still moves the cursor";
    log.clear();
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(0, list.paging().page);
    EXPECT_EQ((Statements{plainPage(0), plainCount()}), log.statements);
}

TEST_F(RecordListTest, FilterBuildsTheWhereClauseAndMarksTheStatus) {
    numbers(30);
    CSorvaneView& list = show("t");
    StatementLog log;
    list.m_conditions[0][0] = "> 10";
    list.m_conditions[1][0] = "< 20";
    list.setFiltered(true);
    list.refresh();
    std::string clause = sqlf("from %s.t  WHERE a > 10 AND a < 20", db.name());
    EXPECT_EQ((Statements{"Select * " + clause + " LIMIT 0,100", "Select count(*) " + clause}),
              log.statements);
    EXPECT_EQ("Select count(*) " + clause, list.countStatement());
    ASSERT_EQ(9, list.rowCount());
    EXPECT_EQ("11", list.cellText(0, 0));
    EXPECT_EQ(9, list.paging().count);
    EXPECT_EQ(status(9, 1, true), pane(kRecordPane));

    // A first condition in a later set has no AND in front.
    log.clear();
    list.m_conditions = {};
    list.m_conditions[2] = {">= 28"};
    list.m_conditions[1] = {"", "LIKE 'row%'"};
    host.updateAllViews();
    clause = sqlf("from %s.t  WHERE a >= 28 AND b LIKE 'row%%'", db.name());
    EXPECT_EQ((Statements{"Select * " + clause + " LIMIT 0,100", "Select count(*) " + clause}),
              log.statements);
    EXPECT_EQ(3, list.rowCount());

    // Without any condition every row is listed, as without a filter.
    log.clear();
    for (auto& set : list.m_conditions)
        set.assign(64, "");
    list.refresh();
    EXPECT_EQ((Statements{plainPage(0), plainCount()}), log.statements);
    EXPECT_EQ(status(30, 1), pane(kRecordPane));

    // Once the filter is off its conditions are gone.
    list.m_conditions[0][0] = "> 10";
    list.setFiltered(false);
    list.refresh();
    EXPECT_EQ("", list.m_conditions[0][0]);
    EXPECT_EQ(30, list.rowCount());
}

TEST_F(RecordListTest, RejectedFilterLeavesColumnsWithoutRowsOrMessage) {
    numbers(30);
    CSorvaneView& list = show("t");
    const std::string countBefore = list.countStatement();
    markPanes();
    StatementLog log;
    list.m_conditions[0][0] = "= = 1";
    list.setFiltered(true);
    list.refresh();
    EXPECT_EQ((Statements{sqlf("Select * from %s.t  WHERE a = = 1 LIMIT 0,100", db.name())}), log.statements);
    EXPECT_EQ(2, list.columnCount());
    EXPECT_EQ(0, list.rowCount());
    EXPECT_TRUE(op.messages.empty());
    // The record pane says why the list is empty; the timing pane keeps the last page's.
    EXPECT_EQ(textf("Database: %s  Table: t  1064:", db.name()),
              pane(kRecordPane).left(textf("Database: %s  Table: t  1064:", db.name()).size()));
    EXPECT_TRUE(pane(kRecordPane).contains("near '= 1 LIMIT 0,100'")) << pane(kRecordPane).toStdString();
    EXPECT_EQ("before", pane(3));
    EXPECT_EQ(countBefore, list.countStatement());
    EXPECT_EQ("1", scalar(*doc.connection(), "SELECT 1")) << "the session stays usable";
}

TEST_F(RecordListTest, TableOrDatabaseThatIsGoneLeavesAnEmptyList) {
    numbers(3);
    CSorvaneView& list = show("t");
    exec(db.admin(), sqlf("DROP TABLE %s.t", db.name()));
    markPanes();
    StatementLog log;
    list.refresh();
    EXPECT_EQ(0, list.columnCount());
    EXPECT_EQ(0, list.rowCount());
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(textf("Database: %s  Table: t  1146:Table '%s.t' doesn't exist", db.name(), db.name()),
              pane(kRecordPane));

    {
        ScratchDatabase gone("velkin_list_gone");
        exec(gone.admin(), "CREATE TABLE velkin_list_gone.t (a INT)");
        EXPECT_EQ(1, show("t", gone.name()).columnCount());
    }
    host.updateAllViews();
    EXPECT_EQ(0, host.recordList()->columnCount());
    EXPECT_EQ(0, host.recordList()->rowCount());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(RecordListTest, NullShowsGreyAndApartFromTheEmptyTextAndTheRowStays) {
    exec(db.admin(), sqlf("CREATE TABLE %s.t (a INT NULL, b VARCHAR(10) NULL)", db.name()));
    exec(db.admin(), sqlf("INSERT INTO %s.t VALUES (NULL, 'x'), (2, NULL), (3, ''), (4, 'NULL')", db.name()));
    CSorvaneView& list = show("t");
    ASSERT_EQ(4, list.rowCount());
    const RowModel& rows = list.rows();
    auto shown = [&](int row, int column) { return rows.data(rows.index(row, column)).toString(); };
    auto drawnAsNull = [&](int row, int column) {
        return rows.data(rows.index(row, column), RowModel::NullRole).toBool();
    };
    EXPECT_EQ("NULL", shown(0, 0));
    EXPECT_TRUE(drawnAsNull(0, 0));
    EXPECT_EQ("x", shown(0, 1));
    EXPECT_EQ("NULL", shown(1, 1));
    EXPECT_TRUE(drawnAsNull(1, 1));
    EXPECT_EQ("", shown(2, 1)) << "the empty text stays blank";
    EXPECT_FALSE(drawnAsNull(2, 1));
    EXPECT_EQ("NULL", shown(3, 1));
    EXPECT_FALSE(drawnAsNull(3, 1)) << "the text NULL is a text";
    // The text searched and copied for a NULL is empty.
    EXPECT_EQ("", list.cellText(0, 0));
    EXPECT_EQ("", list.cellText(1, 1));
    EXPECT_EQ(status(4, 1), pane(kRecordPane));

    // The grey is what the list draws.
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QImage grabbed = list.viewport()->grab().toImage();
    auto hasColour = [&](QRect r, auto test) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (test(QColor(grabbed.pixel(x, y))))
                    return true;
        return false;
    };
    auto grey = [](QColor c) { return c.red() > 90 && c.red() < 200 && std::abs(c.red() - c.blue()) < 10; };
    auto dark = [](QColor c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; };
    const QRect nullCell = list.visualRect(rows.index(1, 1)).adjusted(2, 2, -2, -2);
    const QRect textCell = list.visualRect(rows.index(3, 1)).adjusted(2, 2, -2, -2);
    EXPECT_TRUE(hasColour(nullCell, grey));
    EXPECT_FALSE(hasColour(nullCell, dark)) << "a NULL is not drawn as text";
    EXPECT_TRUE(hasColour(textCell, dark)) << "the text NULL is drawn as text";
}

TEST_F(RecordListTest, CopyPutsTheSelectedCellsOnTheClipboard) {
    exec(db.admin(), sqlf("CREATE TABLE %s.t (a INT, b VARCHAR(20) NULL, c VARCHAR(20))", db.name()));
    exec(db.admin(), sqlf("INSERT INTO %s.t VALUES (1, NULL, 'tab\there'), (2, 'two', 'say \"hi\"'), "
                          "(3, 'three', 'line\nbreak')",
                          db.name()));
    CSorvaneView& list = show("t");
    ASSERT_EQ(3, list.rowCount());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");

    list.selectRow(1);
    list.execute(Command::Copy);
    EXPECT_EQ("2\ttwo\tsay \"hi\"", clipboard->text());

    // Several rows: a line each; a NULL copies as nothing; tabs and line breaks are quoted.
    list.selectionModel()->select(list.model()->index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.selectionModel()->select(list.model()->index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("1\t\t\"tab\there\"\n2\ttwo\tsay \"hi\"\n3\tthree\t\"line\nbreak\"", clipboard->text());

    // One cell alone is copied as it is.
    list.selectionModel()->clearSelection();
    list.selectionModel()->select(list.model()->index(2, 2), QItemSelectionModel::Select);
    list.copySelection();
    EXPECT_EQ("line\nbreak", clipboard->text());
    list.selectionModel()->clearSelection();
    list.selectionModel()->select(list.model()->index(0, 1), QItemSelectionModel::Select);
    list.copySelection();
    EXPECT_EQ("", clipboard->text());

    // The context menu: with column names, and NULL written as NULL so that it stays apart from ''
    // and from the text NULL.
    exec(db.admin(), sqlf("INSERT INTO %s.t VALUES (4, '', 'null')", db.name()));
    list.refresh();
    QMenu menu;
    list.fillCopyMenu(menu);
    auto action = [&menu](const QString& text) {
        for (QAction* a : menu.actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << text.toStdString();
        return menu.addAction(text);
    };
    EXPECT_TRUE(action("NULL copied as empty")->isChecked());
    action("NULL copied as NULL")->trigger();
    list.selectionModel()->clearSelection();
    for (int row : {0, 3})
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action("Copy with column names")->trigger();
    EXPECT_EQ("a\tb\tc\n1\tNULL\t\"tab\there\"\n4\t\t\"null\"", clipboard->text());
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("1\tNULL\t\"tab\there\"\n4\t\t\"null\"", clipboard->text()) << "Ctrl+C keeps the choice";
    // The choice holds for the next menu, and goes back.
    QMenu next;
    list.fillCopyMenu(next);
    for (QAction* a : next.actions())
        if (a->text() == "NULL copied as empty") {
            EXPECT_FALSE(a->isChecked());
            a->trigger();
        }
    list.copySelection();
    EXPECT_EQ("1\t\t\"tab\there\"\n4\t\tnull", clipboard->text());
}

TEST_F(RecordListTest, ColumnsFitTheFirstPageAndKeepTheirWidthsForTheSession) {
    exec(db.admin(), sqlf("CREATE TABLE %s.people (id INT PRIMARY KEY, mail VARCHAR(80), seen DATETIME, "
                          "note TEXT)",
                          db.name()));
    exec(db.admin(),
         sqlf("INSERT INTO %s.people VALUES (1, 'customer1@example-shop.co.jp', '2024-01-01 10:11:12', "
              "REPEAT('long note ', 40)), (2, NULL, NULL, 'short')",
              db.name()));
    numbers(2);
    CSorvaneView& list = show("people");
    ASSERT_EQ(2, list.rowCount());
    const QFontMetrics metrics = list.fontMetrics();
    EXPECT_EQ(100, list.columnWidth(0)) << "never narrower than before";
    EXPECT_GT(list.columnWidth(1), metrics.horizontalAdvance("customer1@example-shop.co.jp"));
    EXPECT_LE(list.columnWidth(1), 320);
    EXPECT_GT(list.columnWidth(2), metrics.horizontalAdvance("2024-01-01 10:11:12"));
    EXPECT_EQ(320, list.columnWidth(3)) << "a long text is capped";
    // The person sees the whole of what the column cuts, and only that, as a tooltip.
    EXPECT_TRUE(ColumnWidths::isCut(list, 0, 3));
    EXPECT_FALSE(ColumnWidths::isCut(list, 0, 1));

    // A width the person drags outlives the view: another table, then this one again.
    list.horizontalHeader()->resizeSection(1, 150);
    CSorvaneView& other = show("t");
    EXPECT_EQ(100, other.columnWidth(1));
    CSorvaneView& again = show("people");
    EXPECT_EQ(150, again.columnWidth(1));
    EXPECT_EQ(320, again.columnWidth(3));
    // The widths belong to the table, not to its page.
    exec(db.admin(), sqlf("INSERT INTO %s.people VALUES (3, REPEAT('w', 70), NULL, NULL)", db.name()));
    again.refresh();
    EXPECT_EQ(150, again.columnWidth(1));
}

TEST_F(RecordListTest, ARefusedFilterSaysWhyAndComesBackWithItsText) {
    numbers(5);
    CSorvaneView& list = show("t");
    // A bare value, as a new user types it.
    op.onModal([](QDialog& d) {
        auto& filter = dynamic_cast<FilterDialog&>(d);
        auto* hint = filter.findChild<QLabel*>("filter hint");
        EXPECT_TRUE(hint && hint->text().contains("= 'Osaka'")) << "the box's form is shown";
        EXPECT_TRUE(filter.conditionEdit(0)->placeholderText().contains("LIKE 'Osa%'"));
        filter.list()->setCurrentCell(1, 0);
        filter.conditionEdit(0)->setText("Osaka");
        Q_EMIT filter.conditionEdit(0)->textEdited("Osaka");
        filter.ok();
        return d.result();
    });
    // The dialog comes back with the text; mended, the filter works.
    op.onModal([](QDialog& d) {
        auto& filter = dynamic_cast<FilterDialog&>(d);
        EXPECT_EQ("Osaka", filter.list()->item(1, 1)->text());
        filter.list()->setCurrentCell(1, 0);
        filter.conditionEdit(0)->setText("LIKE 'row 3%'");
        Q_EMIT filter.conditionEdit(0)->textEdited("LIKE 'row 3%'");
        filter.ok();
        return d.result();
    });
    list.execute(Command::Filter);
    ASSERT_EQ(1u, op.messages.size());
    const QString message = op.messages[0].text;
    // The server's whole answer, number and text, not a cut-off status pane.
    EXPECT_TRUE(message.contains("1064:You have an error in your SQL syntax")) << message.toStdString();
    EXPECT_TRUE(message.contains("near 'Osaka LIMIT 0,100'")) << message.toStdString();
    EXPECT_EQ(2, op.modalTitles.size());
    ASSERT_EQ(1, list.rowCount());
    EXPECT_EQ("3", list.cellText(0, 0));
    EXPECT_EQ(status(1, 1, true), pane(kRecordPane));
}

TEST_F(RecordListTest, TheFilterHoldsAConditionForEveryColumn) {
    std::string columns = "id INT PRIMARY KEY";
    for (int i = 2; i <= 71; ++i)
        columns += sqlf(", c%d INT", i);
    exec(db.admin(), sqlf("CREATE TABLE %s.wide (%s)", db.name(), columns));
    std::string values;
    for (int row = 1; row <= 5; ++row) {
        values += sqlf("%s(%d", row == 1 ? "" : ",", row);
        for (int i = 2; i <= 71; ++i)
            values += sqlf(",%d", row * 1000 + i);
        values += ")";
    }
    exec(db.admin(), sqlf("INSERT INTO %s.wide VALUES %s", db.name(), values));
    CSorvaneView& list = show("wide");
    ASSERT_EQ(71, list.columnCount());
    ASSERT_EQ(5, list.rowCount());

    op.onModal([](QDialog& d) {
        auto& filter = dynamic_cast<FilterDialog&>(d);
        EXPECT_EQ(71, filter.list()->rowCount());
        filter.list()->setCurrentCell(70, 0);
        filter.conditionEdit(0)->setText(">= 3071");
        Q_EMIT filter.conditionEdit(0)->textEdited(">= 3071");
        filter.list()->setCurrentCell(64, 0);
        filter.conditionEdit(1)->setText("< 5000");
        Q_EMIT filter.conditionEdit(1)->textEdited("< 5000");
        filter.ok();
        return d.result();
    });
    StatementLog log;
    list.execute(Command::Filter);
    const std::string clause = sqlf("from %s.wide  WHERE c65 < 5000 AND c71 >= 3071", db.name());
    // The wide table has a key: the page is read in its order, with the filter's conditions.
    EXPECT_EQ(
        (Statements{sqlf("SHOW fields FROM %s.wide", db.name()),
                    sqlf("select * from %s.wide WHERE (c65 < 5000 AND c71 >= 3071) ORDER BY id LIMIT 0,100",
                         db.name()),
                    "Select count(*) " + clause}),
        log.statements);
    ASSERT_EQ(2, list.rowCount());
    EXPECT_EQ("3", list.cellText(0, 0));
    EXPECT_EQ("4", list.cellText(1, 0));
    EXPECT_EQ("< 5000", list.m_conditions[1][64]);

    // Opened again, the dialog shows the conditions of the far columns.
    op.onModal([](QDialog& d) {
        auto& filter = dynamic_cast<FilterDialog&>(d);
        EXPECT_EQ(">= 3071", filter.list()->item(70, 1)->text());
        EXPECT_EQ("< 5000", filter.list()->item(64, 2)->text());
        return int(QDialog::Rejected);
    });
    list.execute(Command::Filter);
}

TEST_F(RecordListTest, AfterATableLockOtherTablesSayWhyTheyAreEmpty) {
    numbers(3);
    numbers(2, "other");
    ASSERT_EQ(0, doc.connection()->query(sqlf("LOCK TABLES %s.t READ", db.name())));
    CSorvaneView& list = show("other");
    EXPECT_EQ(0, list.rowCount());
    EXPECT_EQ(
        textf("Database: %s  Table: other  1100:Table 'other' was not locked with LOCK TABLES", db.name()),
        pane(kRecordPane));
    show("t");
    EXPECT_EQ(3, host.recordList()->rowCount()) << "the locked table itself reads";
    ASSERT_EQ(0, doc.connection()->query("UNLOCK TABLES"));
    EXPECT_EQ(2, show("other").rowCount());
}

TEST_F(RecordListTest, TakesAResultLeftPendingByAnEarlierStatement) {
    numbers(4);
    CSorvaneView& list = show("t");
    ASSERT_EQ(0, doc.connection()->query("OPTIMIZE TABLE " + db.name() + ".t"));
    list.refresh();
    EXPECT_EQ(4, list.rowCount());
    EXPECT_EQ(status(4, 1), pane(kRecordPane));
}

TEST_F(RecordListTest, FirstListingUsesTheStoredPageLength) {
    numbers(10);
    Settings settings;
    settings.setPageLength(4);
    selectTable(doc, qs(db.name()), "t");
    host.showRecordList();
    EXPECT_EQ(4, host.recordList()->paging().length);
    EXPECT_EQ(4, host.recordList()->rowCount()) << "already the first list of a session";

    settings.setPageLength(0);
    host.showRecordList();
    EXPECT_EQ(100, host.recordList()->paging().length) << "a stored 0 counts as 100";
    EXPECT_EQ(10, host.recordList()->rowCount());
    settings.setPageLength(100);
}

TEST_F(RecordListTest, ReportListWithHotTracking) {
    numbers(30);
    CSorvaneView& list = show("t");
    EXPECT_EQ("CSorvaneView", list.objectName());
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(QAbstractItemView::SelectRows, list.selectionBehavior());
    EXPECT_EQ(100, list.columnWidth(1));
    EXPECT_TRUE(list.horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
    EXPECT_EQ(-1, list.hotRow());

    list.resize(400, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QTest::mouseMove(list.viewport(),
                     QPoint(list.columnViewportPosition(0) + 5, list.rowViewportPosition(2) + 3));
    QTRY_COMPARE(list.hotRow(), 2);
    EXPECT_EQ(2, list.m_currentRow);
    EXPECT_TRUE(list.selectionModel()->isRowSelected(2, QModelIndex()));
    // After Ctrl+A, passing over a row selects that row alone, as ever: the Ctrl of the key press
    // does not turn the pointer's selection into toggling.
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    list.setHotRow(4);
    EXPECT_EQ(QModelIndexList{list.model()->index(4, 0)}, list.selectionModel()->selectedRows());

    list.setHotRow(25);
    EXPECT_EQ(25, list.m_currentRow);
    EXPECT_TRUE(list.viewport()->rect().intersects(list.visualRect(list.model()->index(25, 0))))
        << "the hot row is scrolled into view";
    list.setHotRow(30);
    EXPECT_EQ(25, list.hotRow()) << "no row there";
    list.refresh();
    EXPECT_EQ(-1, list.hotRow()) << "a new page has no hot row";
}

TEST_F(RecordListTest, OpeningRows) {
    // Tables named like the management nodes are ordinary tables: their rows go to the record
    // details; closed without a change, the list is not read again.
    for (const char* name : {"User", "Host", "Database"}) {
        exec(db.admin(),
             sqlf("CREATE TABLE %s.`%s` (Host CHAR(20), Db CHAR(20), User CHAR(20))", db.name(), name));
        exec(db.admin(), sqlf("INSERT INTO %s.`%s` VALUES ('h', 'd', 'u')", db.name(), name));
        CSorvaneView& list = show(name);
        ASSERT_EQ(1, list.rowCount()) << name;
        EXPECT_EQ(textf("Record : 1  Database: %s  Table: %s  Current Page : 1", db.name(), name),
                  pane(kRecordPane));
        StatementLog log;
        op.clear();
        list.openRow(0);
        EXPECT_EQ(QStringList{"Record details"}, op.modalTitles) << name;
        // DATABASE is a reserved word, so that name alone is quoted.
        const std::string quoted = std::string(name) == "Database" ? "`Database`" : name;
        EXPECT_EQ(Statements{sqlf("SHOW fields FROM %s.%s", db.name(), quoted)}, log.statements) << name;
        EXPECT_TRUE(log.calls.empty()) << name;
    }
    op.clear();

    // A user row: after the user editor the page is listed again and the grants reloaded.
    CSorvaneView& list = show("user", "mysql");
    ASSERT_GT(list.rowCount(), 0);
    StatementLog log;
    list.setHotRow(0);
    const std::string host = u8(list.cellText(0, 0)), user = u8(list.cellText(0, 1));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(QStringList{"User information"}, op.modalTitles) << "the user editor opens for the row";
    ASSERT_GE(log.statements.size(), 3u);
    EXPECT_EQ(sqlf("select * from mysql.user where Host = '%s' AND User = '%s'", host, user),
              log.statements.front());
    // mysql.user is paged by its key where it is a table with one.
    EXPECT_EQ("select count(*) from mysql.user", log.statements.back());
    EXPECT_TRUE(QString::fromStdString(*(log.statements.end() - 2)).startsWith("select * from mysql.user "))
        << "after the editor the page is listed again";
    EXPECT_EQ(Statements{"mysql_refresh(1)"}, log.calls);
    log.clear();
    list.openRow(list.rowCount());
    list.openRow(-1);
    EXPECT_TRUE(log.statements.empty()) << "no such row";

    list.execute(Command::PrivilegeReload);
    EXPECT_EQ(QStringList{"The privilege table was reloaded."}, op.messageTexts())
        << "shared commands work here";
}
