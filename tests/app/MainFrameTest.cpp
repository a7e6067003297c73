#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>
#include <QTreeWidgetItem>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>

#include "ProgramTesting.h"
#include "app/AboutDialog.h"
#include "app/FindDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "views/CLeftView.h"
#include "views/CSorvaneView.h"
#include "views/ViewTesting.h"

using namespace velkin;
using namespace velkin::test;

namespace {

void clearSettings() {
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("VelkinSorvane"));
    s.clear();
    s.sync();
}

QStringList menuLayout(QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return items;
}

}  // namespace

TEST(MainFrame, MenusHoldTheirItemsInOrder) {
    Program f;
    QStringList titles;
    std::map<QString, QStringList> menus;
    for (QAction* a : f.frame.menuBar()->actions()) {
        titles << a->text();
        menus[a->text()] = menuLayout(a->menu());
    }
    EXPECT_EQ((QStringList{"File(&F)", "Edit(&E)", "Config(&G)", "Server(&S)", "Display(&V)", "Help(&H)"}),
              titles);
    EXPECT_EQ((QStringList{"Connect(&N)\tCtrl+N", "|", "Export CSV", "Import CSV",
                           QString::fromUtf8("最近使ったﾌｧｲﾙ"), "|", "Exit(&X)"}),
              menus["File(&F)"]);
    EXPECT_EQ((QStringList{"Undo(&U)\tCtrl+Z", "|", "Cut(&T)\tCtrl+X", "Copy(&C)\tCtrl+C",
                           "Paste(&P)\tCtrl+V", "|", "Find(&F)\tCtrl+F"}),
              menus["Edit(&E)"]);
    EXPECT_EQ((QStringList{"Add User(&A)", "SQL Execution", "|", "Database creation", "Table new creation",
                           "Delete", "|", "Table name change", "The lock of a table",
                           "Lock release of a table", "Optimization of a table"}),
              menus["Config(&G)"]);
    EXPECT_EQ((QStringList{"Privilege table reload(&L)", "Server stop(&P)", "|", "Reset Server Infomation",
                           "Reset History Infomation", "Reset Status Variable", "Reset Open Table", "|",
                           "The duplicate from other servers"}),
              menus["Server(&S)"]);
    EXPECT_EQ((QStringList{"Tool Ber(&T)", "Status Ber(&S)", "|", "Process display", "Filter",
                           "System variable list", "|", "Replication", "Galera cluster"}),
              menus["Display(&V)"]);
    EXPECT_EQ((QStringList{"About VelkinSorvane(&A)"}), menus["Help(&H)"]);

    QStringList tools;
    for (QAction* a : f.frame.toolBar()->actions())
        tools << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
    EXPECT_EQ((QStringList{"Connect",
                           "Output CSV File",
                           "Import CSV File",
                           "Add User",
                           "|",
                           "Cut",
                           "Copy",
                           "Paste",
                           "Find",
                           "Filer",
                           "|",
                           "Display Process Infomation and Server Status",
                           "Display Valiavle List ",
                           "Query",
                           "Create Database",
                           "Delete Databases or Tables",
                           "A database is reproduced.",
                           "|",
                           "Table Reload",
                           "Server Stop",
                           "|",
                           "Page Setup",
                           "Page Up",
                           "Page Dwon",
                           "|",
                           "About"}),
              tools);
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_N), f.frame.action(Command::Connect)->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_F), f.frame.action(Command::Find)->shortcut())
        << "the key the label names";
}

TEST(MainFrame, CommandsFollowTheActiveView) {
    Program f;
    auto enabled = [&](Command c) { return f.frame.action(c)->isEnabled(); };

    f.frame.setActiveView(true);
    EXPECT_TRUE(enabled(Command::Delete));
    EXPECT_TRUE(enabled(Command::TableNewCreation));
    EXPECT_TRUE(enabled(Command::ServerStop));
    EXPECT_FALSE(enabled(Command::Filter));
    EXPECT_FALSE(enabled(Command::PageUp));
    EXPECT_FALSE(enabled(Command::PageSetup));

    ASSERT_NE(nullptr, f.frame.recordList()) << "the right pane starts as the record list";
    f.frame.setActiveView(false);
    EXPECT_FALSE(enabled(Command::Delete));
    EXPECT_FALSE(enabled(Command::TableNameChange));
    EXPECT_FALSE(enabled(Command::DatabaseCreation));
    EXPECT_TRUE(enabled(Command::Filter));
    EXPECT_TRUE(enabled(Command::PageDown));
    EXPECT_TRUE(enabled(Command::PrivilegeReload));
    EXPECT_TRUE(enabled(Command::Copy)) << "the record list copies its selected cells";

    f.frame.showChartView();
    EXPECT_EQ(nullptr, f.frame.recordList());
    f.frame.setActiveView(false);
    EXPECT_TRUE(enabled(Command::DatabaseCreation));
    EXPECT_TRUE(enabled(Command::DatabaseDuplicate));
    EXPECT_TRUE(enabled(Command::SqlExecution));
    EXPECT_FALSE(enabled(Command::ServerStop));
    EXPECT_FALSE(enabled(Command::TableNewCreation));
    EXPECT_FALSE(enabled(Command::Filter));

    for (bool tree : {true, false}) {
        f.frame.setActiveView(tree);
        for (Command c : {Command::Undo, Command::Cut, Command::Copy, Command::Paste})
            EXPECT_FALSE(enabled(c));
        for (Command c : {Command::Connect, Command::Exit, Command::About, Command::Find, Command::ToolBar,
                          Command::StatusBar})
            EXPECT_TRUE(enabled(c));
    }
}

TEST(MainFrame, RightPaneIsANewViewOnEveryExchange) {
    Program f;
    QWidget* first = f.frame.rightView();
    f.frame.showRecordList();
    QWidget* second = f.frame.rightView();
    EXPECT_NE(first, second) << "a record list replaces a record list too";
    f.frame.showChartView();
    EXPECT_NE(second, f.frame.rightView());
    EXPECT_EQ("CDbGraphView", f.frame.rightView()->objectName());
}

TEST(MainFrame, StatusPromptsAndIdleText) {
    Program f;
    EXPECT_EQ("It is under connection by Admin", f.frame.statusBarPanes().paneText(0));
    f.frame.action(Command::SystemVariableList)->hover();
    EXPECT_EQ("Display Valiavle List ", f.frame.statusBarPanes().paneText(0));
    QMenu* display = f.frame.menuBar()->findChild<QMenu*>(QStringLiteral("Display(&V)"));
    ASSERT_NE(nullptr, display);
    Q_EMIT display->aboutToHide();
    EXPECT_EQ("Connecting", f.frame.statusBarPanes().paneText(0));
    EXPECT_EQ("Login name root", f.frame.statusBarPanes().paneText(1));
}

TEST(MainFrame, WindowPlaceRoundTrip) {
    clearSettings();
    QRect outer;
    {
        Program f;
        f.frame.showRestored();
        EXPECT_EQ(QRect(0, 0, 1024, 700), f.frame.frameGeometry())
            << "the first start shows everything, and the frame is taken off the stored size";
        f.frame.setGeometry(30, 40, 700, 500);
        outer = f.frame.frameGeometry();
        f.frame.close();
    }
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("VelkinSorvane"));
    EXPECT_EQ(outer.x(), s.value("WindowPosition/CMainFrame_X").toInt());
    EXPECT_EQ(outer.y(), s.value("WindowPosition/CMainFrame_Y").toInt());
    EXPECT_EQ(outer.width(), s.value("WindowPosition/CMainFrame_W").toInt())
        << "the outer rectangle is stored";
    EXPECT_EQ(outer.height(), s.value("WindowPosition/CMainFrame_H").toInt());
    EXPECT_EQ(0, s.value("WindowPosition/Zoom").toInt());
    {
        Program f;
        f.frame.showRestored();
        EXPECT_EQ(outer, f.frame.frameGeometry());
        EXPECT_FALSE(f.frame.isMaximized());
        f.frame.showMaximized();
        f.frame.close();
    }
    s.sync();
    EXPECT_EQ(1, s.value("WindowPosition/Zoom").toInt());
    EXPECT_EQ(0, s.value("WindowPosition/Icon").toInt());
    {
        Program f;
        f.frame.showRestored();
        EXPECT_TRUE(f.frame.isMaximized()) << "a window closed while maximised reopens maximised";
        f.frame.close();
    }
    clearSettings();
}

TEST(MainFrame, FindSearchesTheRecordList) {
    ScratchDatabase db("velkin_frame_find");
    exec(db.admin(), "CREATE TABLE velkin_frame_find.t (id INT, name VARCHAR(20))");
    exec(db.admin(),
         "INSERT INTO velkin_frame_find.t VALUES (1, 'apple'), (2, 'Banana'), (3, 'cherry'), (4, 'banana')");
    Program f;
    selectTable(f.doc, "velkin_frame_find", "t");
    f.frame.showRecordList();
    CSorvaneView* list = f.frame.recordList();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(4, list->rowCount());

    f.frame.openFind();
    ASSERT_NE(nullptr, f.frame.findDialog());
    EXPECT_FALSE(f.frame.findDialog()->isModal());
    EXPECT_TRUE(f.frame.findDialog()->request().down) << "the direction starts as down";
    EXPECT_TRUE(f.frame.findDialog()->request().text.isEmpty());

    // With the list active its rows are searched.
    f.frame.setActiveView(false);
    f.op.clear();
    f.frame.findNext({QStringLiteral("banana"), true, false, false});
    EXPECT_EQ(1, list->hotRow());
    f.frame.findNext({QStringLiteral("banana"), true, false, false});
    EXPECT_EQ(3, list->hotRow());
    f.frame.findNext({QStringLiteral("banana"), true, false, false});
    EXPECT_EQ(3, list->hotRow());
    EXPECT_EQ(QStringList{"A character sequence was not found."}, f.op.messageTexts());
    f.frame.findNext({QStringLiteral("Banana"), false, true, false});
    EXPECT_EQ(1, list->hotRow()) << "upward with match case";

    f.op.clear();
    f.frame.showChartView();
    f.frame.setActiveView(false);
    f.frame.findNext({QStringLiteral("apple"), true, false, false});
    EXPECT_TRUE(f.op.messages.empty()) << "without a record list there is nothing to search";

    // With the tree active its labels are searched, from the node chosen on, and the node found is
    // chosen.
    f.frame.setActiveView(true);
    f.frame.tree().setCurrentItem(f.frame.tree().databaseRoot());
    f.frame.findNext({QStringLiteral("FRAME_FIND"), true, false, false});
    ASSERT_NE(nullptr, f.frame.tree().currentItem());
    EXPECT_EQ("velkin_frame_find", f.frame.tree().currentItem()->text(0));
    EXPECT_EQ("velkin_frame_find", f.doc.selection().database);
    f.op.clear();
    f.frame.findNext({QStringLiteral("velkin_frame_find"), true, false, true});
    EXPECT_EQ(QStringList{"A character sequence was not found."}, f.op.messageTexts());
    f.frame.findNext({QStringLiteral("Database"), false, true, true});
    EXPECT_EQ(f.frame.tree().databaseRoot(), f.frame.tree().currentItem()) << "upward, whole label, case";
}

TEST(MainFrame, TheTreeCarriesOutItsScreensForEveryView) {
    Program f;
    f.frame.showChartView();
    f.frame.setActiveView(false);
    StatementLog log;
    f.op.clear();
    f.frame.runCommand(Command::SqlExecution);
    EXPECT_EQ(QStringList{"SQL Issue"}, f.op.modalTitles) << "the console opens with the chart view active";
    EXPECT_EQ(2, std::count(log.statements.begin(), log.statements.end(), "SHOW DATABASES"))
        << "and the tree looks for new databases around it";

    f.frame.showRecordList();
    f.frame.setActiveView(false);
    f.op.clear();
    f.frame.runCommand(Command::DatabaseCreation);
    EXPECT_TRUE(f.op.modalTitles.isEmpty()) << "the record list does not create databases";
    f.frame.runCommand(Command::ProcessDisplay);
    EXPECT_EQ(QStringList{"Display Porcess Status"}, f.op.modalTitles);
}

TEST(MainFrame, TableScreensOpenFromTheTreeWithTheSelectedTable) {
    ScratchDatabase db("velkin_frame_screens");
    exec(db.admin(), "CREATE TABLE velkin_frame_screens.t (id INT PRIMARY KEY)");
    Program f;
    CLeftView& tree = f.frame.tree();
    QTreeWidgetItem* database = nullptr;
    for (int i = 0; i < tree.databaseRoot()->childCount(); ++i)
        if (tree.databaseRoot()->child(i)->text(0) == "velkin_frame_screens")
            database = tree.databaseRoot()->child(i);
    ASSERT_NE(nullptr, database);
    tree.setCurrentItem(database);
    ASSERT_EQ(1, database->childCount() - (f.doc.isAdmin() ? 2 : 0));
    QTreeWidgetItem* table = nullptr;
    for (int i = 0; i < database->childCount(); ++i)
        if (database->child(i)->text(0) == "t")
            table = database->child(i);
    ASSERT_NE(nullptr, table);
    tree.setCurrentItem(table);
    ASSERT_EQ("t", f.doc.selection().table);
    f.frame.setActiveView(true);
    f.op.clear();
    for (Command c : {Command::Maintenance, Command::TableDuplicate, Command::DataAmount, Command::TableEdit,
                      Command::DuplicateFromOtherServers})
        tree.execute(c);
    EXPECT_EQ((QStringList{"Maintenance and Restoration", "The duplicate of a table", "",
                           "Table list  Database "
                           ":velkin_frame_screens Table:t",
                           "The duplicate from other servers"}),
              f.op.modalTitles);
}

namespace {
bool fitsItsText(PaneLabel* pane) {
    return pane->isVisible() && pane->text() == pane->fullText() &&
           pane->width() >= pane->fontMetrics().horizontalAdvance(pane->text());
}
}  // namespace

TEST(MainFrame, FirstStartShowsTheRecordPaneWholeAt1024AndTheIdleTextLeavesIt) {
    clearSettings();
    ScratchDatabase db("velkin_frame_shop");
    exec(db.admin(), "CREATE TABLE velkin_frame_shop.customers (id INT, mail VARCHAR(80), seen DATETIME)");
    exec(db.admin(),
         "INSERT INTO velkin_frame_shop.customers VALUES (1, 'customer1@example-shop.co.jp', "
         "'2024-01-01 10:11:12'), (2, NULL, NULL)");
    Program f;
    f.frame.showRestored();
    QTest::qWait(50);
    EXPECT_EQ(QSize(1024, 700), f.frame.frameGeometry().size()) << "the first start shows everything";
    ASSERT_NE(nullptr, openTable(f, "velkin_frame_shop", "customers"));
    QApplication::processEvents();

    StatusBar& panes = f.frame.statusBarPanes();
    const QString record = panes.paneText(kRecordPane);
    EXPECT_EQ("Record : 2  Database: velkin_frame_shop  Table: customers  Current Page : 1", record);
    QTest::qWait(20);
    EXPECT_TRUE(panes.paneText(3).startsWith("Reference time : RES "));
    // No indicator that never follows its key.
    for (QLabel* label : f.frame.statusBar()->findChildren<QLabel*>())
        EXPECT_FALSE(QStringList({"CAP", "NUM", "SCRL", "KANA"}).contains(label->text()))
            << label->text().toStdString();

    // Prompts and the idle text go to the message pane; the record pane keeps the place.
    f.frame.action(Command::PageUp)->hover();
    EXPECT_EQ("Page Up", panes.paneText(0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.frame.toolBar(), &leave);
    EXPECT_EQ("Connecting", panes.paneText(0));
    EXPECT_EQ(record, panes.paneText(kRecordPane));
    // With the idle text every pane shows its whole text at 1024 pixels.
    QTest::qWait(20);
    for (int pane : {0, 1, 2, 3, kRecordPane})
        EXPECT_TRUE(fitsItsText(panes.pane(pane))) << pane << ": " << panes.pane(pane)->text().toStdString();

    // A long message squeezes the panes, none to nothing; what is cut stays whole in the tooltip.
    const QString longText = "It is under connection by the common user. " + QString(80, 'x');
    panes.setPaneText(0, longText);
    QTest::qWait(20);
    for (int pane : {0, 1, 2, kRecordPane}) {
        PaneLabel* label = panes.pane(pane);
        EXPECT_GE(label->width(), label->fontMetrics().averageCharWidth() * 6) << pane;
        EXPECT_TRUE(label->text() == label->fullText() || label->toolTip().startsWith(label->fullText()))
            << pane << ": " << label->text().toStdString();
    }
    EXPECT_TRUE(panes.pane(0)->text().endsWith(QChar(0x2026))) << panes.pane(0)->text().toStdString();
    EXPECT_EQ(longText, panes.pane(0)->toolTip());
    panes.setPaneText(0, "It is under connection by Admin");

    // Once the table is no longer shown, nothing speaks of it.
    f.frame.tree().setCurrentItem(childNamed(f.frame.tree().databaseRoot(), "velkin_frame_shop"));
    QApplication::processEvents();
    EXPECT_EQ("", panes.paneText(kRecordPane));
    EXPECT_FALSE(panes.pane(kRecordPane)->isVisible());
    EXPECT_EQ("Reference speed", panes.paneText(3));
    QTest::qWait(20);
    for (int pane : {0, 1, 2, 3})
        EXPECT_TRUE(fitsItsText(panes.pane(pane))) << pane << ": " << panes.pane(pane)->text().toStdString();
    EXPECT_EQ("", panes.pane(0)->toolTip());
    f.frame.close();
    clearSettings();
}

TEST(MainFrame, TheTreePaneIsDraggedAndKeepsItsWidth) {
    clearSettings();
    {
        Program f;
        f.frame.showRestored();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.frame));
        EXPECT_EQ(200, f.frame.treeWidth());
        QSplitterHandle* handle = f.frame.splitter()->handle(1);
        const QPoint grip(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(120, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(120, 0));
        EXPECT_EQ(320, f.frame.treeWidth()) << "the operator widens the tree";
        f.frame.showChartView();
        EXPECT_EQ(320, f.frame.treeWidth()) << "a new right view keeps it";
        f.frame.close();
    }
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("VelkinSorvane"));
    EXPECT_EQ(320, s.value("WindowPosition/CLeftView_W").toInt());
    {
        Program f;
        f.frame.showRestored();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.frame));
        EXPECT_EQ(320, f.frame.treeWidth()) << "the next start keeps the width";
        f.frame.close();
    }
    clearSettings();
}

TEST(MainFrame, CtrlFOpensFindAndCopyTakesTheListsCells) {
    ScratchDatabase db("velkin_frame_keys");
    exec(db.admin(), "CREATE TABLE velkin_frame_keys.t (id INT, name VARCHAR(20) NULL)");
    exec(db.admin(), "INSERT INTO velkin_frame_keys.t VALUES (1, 'apple'), (2, NULL)");
    Program f;
    f.frame.show();
    QTest::qWait(50);
    CSorvaneView* list = openTable(f, "velkin_frame_keys", "t");
    ASSERT_NE(nullptr, list);
    QApplication::setActiveWindow(&f.frame);
    list->setFocus();
    f.frame.setActiveView(false);
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(nullptr, f.frame.findDialog());
    EXPECT_TRUE(f.frame.findDialog()->isVisible());
    f.frame.findDialog()->close();

    f.frame.activateWindow();
    list->setFocus();
    f.frame.setActiveView(false);
    list->selectAll();
    EXPECT_TRUE(f.frame.action(Command::Copy)->isEnabled());
    f.frame.action(Command::Copy)->trigger();
    EXPECT_EQ("1\tapple\n2\t", QGuiApplication::clipboard()->text());
    f.frame.setActiveView(true);
    EXPECT_FALSE(f.frame.action(Command::Copy)->isEnabled()) << "the tree has nothing to copy";
}

TEST(MainFrame, TheAboutPictureShowsTheWholeName) {
    AboutDialog about;
    QLabel* logo = nullptr;
    for (QLabel* label : about.findChildren<QLabel*>())
        if (label->pixmap().width() > 100)
            logo = label;
    ASSERT_NE(nullptr, logo);
    const QImage image = logo->pixmap().toImage();
    // Nothing is drawn in the last columns, so the name ends inside the picture; something is drawn
    // just before them, so the picture is not merely wide.
    auto columnDrawn = [&](int x) {
        for (int y = 0; y < image.height(); ++y)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        return false;
    };
    for (int x = image.width() - 3; x < image.width(); ++x)
        EXPECT_FALSE(columnDrawn(x)) << x;
    bool drawnNearTheEnd = false;
    for (int x = image.width() - 20; x < image.width() - 3; ++x)
        drawnNearTheEnd = drawnNearTheEnd || columnDrawn(x);
    EXPECT_TRUE(drawnNearTheEnd);
    about.show();
    EXPECT_GE(about.width(), image.width());
}
