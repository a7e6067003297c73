#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>

#include "ConsoleCorpus.h"
#include "TransferTesting.h"
#include "session/RowModel.h"
#include "session/Settings.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/SqlConsoleDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class SqlConsoleTest : public ::testing::Test {
protected:
    SqlConsoleTest() {
        exec(db.admin(), "CREATE TABLE velkin_transfer_console.t (a INT, b INT, c VARCHAR(5), d INT, e INT)");
        exec(db.admin(),
             "INSERT INTO velkin_transfer_console.t VALUES (1, 2, 'x', 4, 5), (6, 7, NULL, 9, 10)");
        exec(db.admin(), "CREATE TABLE velkin_transfer_console.u (k INT)");
    }
    QPlainTextEdit* query(QDialog& d) { return child<QPlainTextEdit>(d, "Query"); }
    QString status(QDialog& d) { return child<QLineEdit>(d, "Execution result")->text(); }
    QString field(QDialog& d, const char* name) {
        return child<QLineEdit>(d, QString::fromUtf8(name))->text();
    }
    void run(SqlConsoleDialog& d, const QString& sql) {
        query(d)->setPlainText(sql);
        d.execute();
    }
    QStringList headings(SqlConsoleDialog& d) {
        QStringList names;
        for (const auto& n : d.rows().columnNames())
            names << QString::fromStdString(n);
        return names;
    }
    QTreeWidgetItem* node(QTreeWidgetItem* parent, const QString& text) {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        ADD_FAILURE() << "no node " << text.toStdString();
        return nullptr;
    }

    ScratchDatabase db{"velkin_transfer_console"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

}  // namespace

TEST_F(SqlConsoleTest, EmptyTextIsRefusedAndBlanksAreSent) {
    SqlConsoleDialog dialog(*session, op);
    EXPECT_EQ("SQL Issue", dialog.windowTitle());
    // The person types at once: the query box has the focus when the console opens.
    EXPECT_EQ(query(dialog), dialog.focusWidget());
    StatementLog log;
    dialog.execute();
    EXPECT_EQ(QStringList{"Please input Query!!"}, op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    op.clear();
    run(dialog, "   ");
    EXPECT_EQ(std::vector<std::string>{"   "}, log.statements);
    EXPECT_EQ(QStringList{"Query execution cannot be performed!!"}, op.messageTexts());
    EXPECT_EQ(QString::fromStdString(session->errorText()), status(dialog));
    EXPECT_FALSE(status(dialog).isEmpty());
    EXPECT_EQ(0, op.waitDepth);
}

TEST_F(SqlConsoleTest, SelectOneShowsOneColumnOneRowAndZeroSeconds) {
    SqlConsoleDialog dialog(*session, op);
    waitForFreshSecond();
    run(dialog, "select 1");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(QStringList{"1"}, headings(dialog));
    ASSERT_EQ(1, dialog.rows().rows());
    EXPECT_EQ("1", dialog.rows().cellText(0, 0));
    EXPECT_EQ("It was processed correctly.", status(dialog));
    EXPECT_EQ("0 s", field(dialog, "Time until data reaches a client from Query issue"));
    EXPECT_EQ("0 s", field(dialog, "Time until it displays data altogether from Query issue"));
    EXPECT_FALSE(session->isBusy());
    // A column starts at 100 pixels and widens to a value that needs more, as far as 320.
    run(dialog, "SELECT 1 AS n, 'customer1@example-shop.co.jp' AS mail, REPEAT('x', 300) AS wide");
    auto* list = child<QTableView>(dialog, "result list");
    EXPECT_EQ(100, list->columnWidth(0));
    EXPECT_GT(list->columnWidth(1), list->fontMetrics().horizontalAdvance("customer1@example-shop.co.jp"));
    EXPECT_EQ(320, list->columnWidth(2));
}

TEST_F(SqlConsoleTest, RowlessStatementsKeepTheHeadingsAndFollowTheStatusRules) {
    SqlConsoleDialog dialog(*session, op);
    run(dialog, "select * from velkin_transfer_console.t order by a");
    EXPECT_EQ((QStringList{"a", "b", "c", "d", "e"}), headings(dialog));
    ASSERT_EQ(2, dialog.rows().rows());
    EXPECT_TRUE(dialog.rows().isNull(1, 2));
    EXPECT_EQ("", dialog.rows().cellText(1, 2));

    // An UPDATE has an information text, and the status shows it; no rows remain.
    child<QLineEdit>(dialog, "Time until data reaches a client from Query issue")->setText("kept");
    run(dialog, "UPDATE velkin_transfer_console.t SET b = b + 1");
    EXPECT_EQ((QStringList{"a", "b", "c", "d", "e"}), headings(dialog));
    EXPECT_EQ(0, dialog.rows().rows());
    EXPECT_EQ("Rows matched: 2  Changed: 2  Warnings: 0", status(dialog));
    EXPECT_EQ("kept", field(dialog, "Time until data reaches a client from Query issue"));

    // A one-row INSERT has none.
    run(dialog, "INSERT INTO velkin_transfer_console.u VALUES (1)");
    EXPECT_EQ("It was processed correctly.", status(dialog));
    run(dialog, "INSERT INTO velkin_transfer_console.u VALUES (2), (3)");
    EXPECT_EQ("Records: 2  Duplicates: 0  Warnings: 0", status(dialog));
    EXPECT_EQ("3", scalar(*session, "select count(*) from velkin_transfer_console.u"));
    EXPECT_TRUE(op.messages.empty());

    // The first cell NULL still makes a row.
    run(dialog, "select NULL, 'x' union all select 2, NULL");
    ASSERT_EQ(2, dialog.rows().rows());
    EXPECT_TRUE(dialog.rows().isNull(0, 0));
    EXPECT_EQ("x", dialog.rows().cellText(0, 1));
    EXPECT_EQ("2", dialog.rows().cellText(1, 0));
}

TEST_F(SqlConsoleTest, ServerErrorTextIsConvertedForTheStatusField) {
    SqlConsoleDialog dialog(*session, op);
    run(dialog, "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'first\\nsecond'");
    EXPECT_EQ(QStringList{"Query execution cannot be performed!!"}, op.messageTexts());
    EXPECT_EQ("first\nsecond", session->errorText());
    EXPECT_EQ("first\r\nsecond", status(dialog));

    // Japanese server texts arrive in the session's character set and read as they are.
    run(dialog, "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'テーブルがありません'");
    EXPECT_EQ(QString::fromUtf8("テーブルがありません"), status(dialog));
}

TEST_F(SqlConsoleTest, TreeLoadsEachLevelOnceAndDoubleClicksAppendNames) {
    SqlConsoleDialog dialog(*session, op);
    auto* tree = child<QTreeWidget>(dialog, "Database");
    ASSERT_EQ(1, tree->topLevelItemCount());
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ("Database", root->text(0));
    QTreeWidgetItem* dbNode = node(root, "velkin_transfer_console");
    ASSERT_NE(nullptr, dbNode);

    tree->setCurrentItem(dbNode);
    ASSERT_EQ(2, dbNode->childCount());
    EXPECT_EQ("t", dbNode->child(0)->text(0));
    EXPECT_EQ("u", dbNode->child(1)->text(0));
    EXPECT_EQ("velkin_transfer_console", scalar(*session, "SELECT DATABASE()"));
    tree->setCurrentItem(root);
    tree->setCurrentItem(dbNode);
    EXPECT_EQ(2, dbNode->childCount()) << "a database's tables are listed once";

    StatementLog log;
    QTreeWidgetItem* table = node(dbNode, "t");
    tree->setCurrentItem(table);
    EXPECT_EQ(std::vector<std::string>{"SHOW fields FROM velkin_transfer_console.t"}, log.statements);
    ASSERT_EQ(5, table->childCount());
    tree->setCurrentItem(dbNode);
    tree->setCurrentItem(table);
    EXPECT_EQ(1u, log.statements.size());

    query(dialog)->setPlainText("select");
    emit tree->itemDoubleClicked(dbNode, 0);
    emit tree->itemDoubleClicked(table, 0);
    emit tree->itemDoubleClicked(node(table, "c"), 0);
    emit tree->itemDoubleClicked(root, 0);
    EXPECT_EQ("select velkin_transfer_console velkin_transfer_console.t c", query(dialog)->toPlainText());
}

TEST_F(SqlConsoleTest, ScriptFilesAndTheRememberedFont) {
    ScratchDirectory dir;
    const QString path = QString::fromStdString(dir.path()) + "/script";
    {
        SqlConsoleDialog dialog(*session, op);
        query(dialog)->setPlainText("select 1;\nselect 2;");
        op.choose(path);
        dialog.save();
        EXPECT_EQ(QStringList{"It wrote in!!"}, op.messageTexts());
        EXPECT_EQ(path + ".sql", field(dialog, "script file"));
        EXPECT_EQ("select 1;\r\nselect 2;", fileBytes(path + ".sql"));
        query(dialog)->setPlainText("select 3;\n");
        dialog.save();
        EXPECT_EQ((QStringList{"It wrote in!!", "Overwritten !!"}), op.messageTexts());
        EXPECT_EQ("select 3;\r\n", fileBytes(path + ".sql"));

        op.choose("VelkinTestFace");
        dialog.chooseFont();
        dialog.reject();
    }
    Settings settings;
    EXPECT_EQ("VelkinTestFace", settings.readText("SQLDLG", "lfFaceName", ""));
    EXPECT_EQ(0, settings.readInt("SQLDLG", "lfWidth", -1));

    SqlConsoleDialog reopened(*session, op);
    EXPECT_EQ("VelkinTestFace", query(reopened)->font().family());
    EXPECT_EQ(settings.readInt("SQLDLG", "lfHeight", 0), query(reopened)->font().pixelSize());
    op.clear();
    writeFileBytes(path + "2.sql", "select 4;\r\nselect 5;\r\n");
    op.choose(path + "2.sql");
    reopened.load();
    EXPECT_EQ("select 4;\nselect 5;\n", query(reopened)->toPlainText());
    EXPECT_EQ(path + "2.sql", field(reopened, "script file"));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SqlConsoleTest, CsvExportOpensWithTheQueryText) {
    SqlConsoleDialog dialog(*session, op);
    dialog.exportCsv();
    EXPECT_TRUE(op.modalTitles.isEmpty());
    query(dialog)->setPlainText("select * from velkin_transfer_console.t");
    QString statement;
    op.onModal([&statement](QDialog& d) {
        statement = QString::fromStdString(dynamic_cast<CsvExportDialog&>(d).statement());
        return int(QDialog::Rejected);
    });
    dialog.exportCsv();
    EXPECT_EQ(QStringList{"The output to a CSV File"}, op.modalTitles);
    EXPECT_EQ("select * from velkin_transfer_console.t", statement);
}

TEST_F(SqlConsoleTest, AResultBeyondTheLimitKeepsItsFirstRowsAndOffersTheWholeAsCsv) {
    Settings().setConsoleResultLimit(0);  // as never set
    SqlConsoleDialog dialog(*session, op);
    auto* limit = child<QSpinBox>(dialog, "Result limit (MB)");
    ASSERT_TRUE(limit);
    EXPECT_EQ(2048, limit->value());
    limit->setValue(1);
    // 3,000 rows of about 1 kB: three times the megabyte kept.
    const QString statement = "SELECT seq, REPEAT('x', 1000) FROM velkin_transfer_console.seq_1_to_3000";
    QString exported;
    op.answer(true);
    op.onModal([&exported](QDialog& d) {
        exported = QString::fromStdString(dynamic_cast<CsvExportDialog&>(d).statement());
        return int(QDialog::Rejected);
    });
    run(dialog, statement);
    const int kept = dialog.rows().rows();
    EXPECT_GT(kept, 900);
    EXPECT_LT(kept, 1100) << "about a megabyte of cells";
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_TRUE(op.questions[0].text.contains(QString("first %1 of 3000 rows").arg(kept)))
        << op.questions[0].text.toStdString();
    EXPECT_EQ(statement, exported) << "the export is of the whole statement";
    EXPECT_EQ("1", scalar(*session, "SELECT 1")) << "the dropped rows were read to the end";

    // A result within the limit asks nothing.
    op.clear();
    run(dialog, "SELECT seq FROM velkin_transfer_console.seq_1_to_3000");
    EXPECT_EQ(3000, dialog.rows().rows());
    EXPECT_TRUE(op.questions.empty());
    limit->setValue(2048);
    EXPECT_EQ(2048, Settings().consoleResultLimit()) << "the limit is the person's setting";
}

TEST_F(SqlConsoleTest, WithoutADatabaseListTheTreeKeepsItsRootAndIgnoresSelections) {
    Connection unconnected;
    SqlConsoleDialog dialog(unconnected, op);
    ASSERT_EQ(1, op.messages.size());
    EXPECT_FALSE(op.messages[0].text.isEmpty());
    EXPECT_EQ(QString::fromStdString(unconnected.errorText()), op.messages[0].text);
    auto* tree = child<QTreeWidget>(dialog, "Database");
    ASSERT_EQ(1, tree->topLevelItemCount());
    EXPECT_EQ(0, tree->topLevelItem(0)->childCount());
    StatementLog log;
    tree->setCurrentItem(nullptr);
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(SqlConsoleTest, CsvExportRefusesAStatementThatWouldChangeDataBeforeSendingIt) {
    SqlConsoleDialog dialog(*session, op);
    for (const char* sql :
         {"DELETE FROM velkin_transfer_console.t", "update velkin_transfer_console.t set a = 0",
          "select * from velkin_transfer_console.t; DELETE FROM velkin_transfer_console.t",
          "DROP TABLE velkin_transfer_console.t",
          "select a into outfile '/tmp/x' from velkin_transfer_console.t"}) {
        SCOPED_TRACE(sql);
        op.clear();
        query(dialog)->setPlainText(sql);
        StatementLog log;
        dialog.exportCsv();
        EXPECT_TRUE(log.statements.empty());
        EXPECT_TRUE(op.modalTitles.isEmpty());
        EXPECT_EQ(QStringList{"Only a statement that reads rows (SELECT, SHOW, DESCRIBE, EXPLAIN) can be "
                              "output to a CSV file. Nothing was sent."},
                  op.messageTexts());
    }
    EXPECT_EQ("2", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_transfer_console.t"));
    EXPECT_EQ("1", scalar(db.admin(), "SELECT MIN(a) FROM velkin_transfer_console.t"));
}

TEST_F(SqlConsoleTest, ScriptThatTheDiskCannotHoldIsNotReportedWritten) {
    ScratchDirectory dir;
    // A name with the script extension that leads to a device that is always full.
    const QString path = QString::fromStdString(dir.path()) + "/full.sql";
    ASSERT_TRUE(QFile::link("/dev/full", path));
    SqlConsoleDialog dialog(*session, op);
    query(dialog)->setPlainText("select 1;\nselect 2;");
    op.choose(path);
    dialog.saveAs();
    EXPECT_EQ(QStringList{"Writing the script failed (No space left on device); the file is incomplete."},
              op.messageTexts());
    EXPECT_EQ("", field(dialog, "script file"));
}

TEST_F(SqlConsoleTest, AScriptRunsStatementByStatementAndStopsAtTheFirstFailure) {
    SqlConsoleDialog dialog(*session, op);
    StatementLog log;
    run(dialog,
        "-- a script; as a file holds it\n"
        "INSERT INTO velkin_transfer_console.u VALUES (1), (2);\n"
        "UPDATE velkin_transfer_console.u SET k = k * 10 WHERE k = 2;  # ten times; the second\n"
        "SELECT k, 'a;b' AS `semi;colon`, NULL AS n FROM velkin_transfer_console.u ORDER BY k;\n"
        "DELETE FROM velkin_transfer_console.u WHERE k = 1;\n");
    // A comment before a statement is left out; one after a delimiter on its line goes with the
    // statement, as the command-line client sends it when it keeps comments.
    EXPECT_EQ((std::vector<std::string>{"INSERT INTO velkin_transfer_console.u VALUES (1), (2)",
                                        "UPDATE velkin_transfer_console.u SET k = k * 10 WHERE k = 2  # ten "
                                        "times; the second",
                                        "SELECT k, 'a;b' AS `semi;colon`, NULL AS n FROM "
                                        "velkin_transfer_console.u ORDER BY k",
                                        "DELETE FROM velkin_transfer_console.u WHERE k = 1"}),
              log.statements);
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    EXPECT_EQ("20", scalar(*session, "SELECT GROUP_CONCAT(k) FROM velkin_transfer_console.u"));
    // The list keeps the rows of the script's last SELECT; the status tells of the last statement.
    EXPECT_EQ((QStringList{"k", "semi;colon", "n"}), headings(dialog));
    ASSERT_EQ(2, dialog.rows().rows());
    EXPECT_EQ("20", dialog.rows().cellText(1, 0));
    EXPECT_EQ("4 statements were processed. It was processed correctly.", status(dialog));

    // NULL reads apart from the text 'NULL' and from the empty text; copying takes the values.
    run(dialog, "SELECT NULL AS a, 'NULL' AS b, '' AS c");
    const RowModel& rows = dialog.rows();
    EXPECT_EQ("NULL", rows.data(rows.index(0, 0)).toString());
    EXPECT_TRUE(rows.data(rows.index(0, 0), RowModel::NullRole).toBool());
    EXPECT_FALSE(rows.data(rows.index(0, 1), RowModel::NullRole).toBool());
    EXPECT_EQ("", rows.data(rows.index(0, 2)).toString());
    auto* list = child<QTableView>(dialog, "result list");
    list->selectAll();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("\tNULL\t", QGuiApplication::clipboard()->text());

    // A failure stops the script there, with the statement's place, number and text.
    log.clear();
    run(dialog,
        "INSERT INTO velkin_transfer_console.u VALUES (7);\n"
        "INSERT INTO velkin_transfer_console.nowhere VALUES (8);\n"
        "INSERT INTO velkin_transfer_console.u VALUES (9);");
    EXPECT_EQ(2u, log.statements.size());
    EXPECT_EQ("20,7",
              scalar(*session, "SELECT GROUP_CONCAT(k ORDER BY k DESC) FROM velkin_transfer_console.u"));
    const QString error = "1146:Table 'velkin_transfer_console.nowhere' doesn't exist";
    EXPECT_EQ(
        QStringList{"Query execution cannot be performed!!\nStatement 2 of 3 (line 2)\n" + error +
                    "\nERROR 1146 (42S02) at line 2: Table 'velkin_transfer_console.nowhere' doesn't exist"},
        op.messageTexts());
    EXPECT_EQ("Statement 2 of 3 (line 2): Table 'velkin_transfer_console.nowhere' doesn't exist",
              status(dialog));

    // DELIMITER blocks go whole: the procedure's inner semicolons stay in it.
    op.clear();
    run(dialog,
        "DELIMITER //\n"
        "CREATE PROCEDURE velkin_transfer_console.p() BEGIN SELECT 1; SELECT 2; END//\n"
        "DELIMITER ;\n"
        "DROP PROCEDURE velkin_transfer_console.p;");
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    EXPECT_EQ("0", scalar(*session,
                          "SELECT COUNT(*) FROM information_schema.ROUTINES WHERE "
                          "ROUTINE_SCHEMA = 'velkin_transfer_console'"));
}

TEST_F(SqlConsoleTest, AFileThatIsNotUtf8IsRefusedAndNothingChanges) {
    ScratchDirectory dir;
    const QString path = QString::fromStdString(dir.path()) + "/latin1.sql";
    writeFileBytes(path, "SELECT 'caf\xE9';\r\nSELECT '\xAB';\r\n");
    SqlConsoleDialog dialog(*session, op);
    query(dialog)->setPlainText("kept");
    op.choose(path);
    dialog.load();
    EXPECT_EQ(QStringList{"The file is not UTF-8 text: byte 12 is not valid UTF-8.\nIt was not loaded; \"Run "
                          "file\" runs it as it stands."},
              op.messageTexts());
    EXPECT_EQ("kept", query(dialog)->toPlainText());
    EXPECT_EQ("", field(dialog, "script file"));
    EXPECT_EQ("SELECT 'caf\xE9';\r\nSELECT '\xAB';\r\n", fileBytes(path)) << "the file is untouched";

    op.clear();
    const QString good = QString::fromStdString(dir.path()) + "/utf8.sql";
    writeFileBytes(good, "SELECT 'caf\xC3\xA9 \xF0\x9F\x98\x80';\r\n");
    op.choose(good);
    dialog.load();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(QString::fromUtf8("SELECT 'café 😀';\n"), query(dialog)->toPlainText());
}

TEST_F(SqlConsoleTest, ARefusedLoadChangesNothingAndSaveWritesOverNoOtherFile) {
    ScratchDirectory dir;
    const QString folder = QString::fromStdString(dir.path());
    // A dump that is not UTF-8 text, as a person keeps one.
    const QString dump = folder + "/dump.sql";
    std::string dumpBytes = "-- a dump\r\nSELECT 'caf\xE9';\r\n";
    for (int i = 0; i < 300; ++i)
        dumpBytes += "SELECT " + std::to_string(i) + ";\r\n";
    writeFileBytes(dump, dumpBytes);
    SqlConsoleDialog dialog(*session, op);
    query(dialog)->setPlainText("");

    // Refused, then "Run file" as the message offers, then Save: the dump is never written over.
    op.choose(dump);
    dialog.load();
    ASSERT_EQ(1, op.messages.size());
    EXPECT_TRUE(op.messages[0].text.startsWith("The file is not UTF-8 text"))
        << op.messageTexts()[0].toStdString();
    op.choose(dump);
    dialog.runFile();
    EXPECT_EQ("", field(dialog, "script file")) << "a file that ran is not the one in the box";
    dialog.save();  // asks where to save, and the person cancels
    EXPECT_EQ(dumpBytes, fileBytes(dump));
    EXPECT_EQ("", query(dialog)->toPlainText());
    EXPECT_EQ("SQL Issue", dialog.windowTitle());

    // A refused load after a good one keeps the box, its file and the title; Save writes that file only.
    const QString script = folder + "/script.sql";
    writeFileBytes(script, "select 1;\r\n");
    op.choose(script);
    dialog.load();
    query(dialog)->setPlainText("select 2;\n");
    op.clear();
    op.choose(dump);
    dialog.load();
    op.choose(folder);  // a folder opens but cannot be read
    dialog.load();
    ASSERT_EQ(2, op.messages.size());
    EXPECT_TRUE(op.messages[1].text.startsWith("It failed in opening of a file.\n"))
        << op.messageTexts()[1].toStdString();
    EXPECT_EQ("select 2;\n", query(dialog)->toPlainText());
    EXPECT_EQ(script, field(dialog, "script file"));
    EXPECT_EQ("SQL Issue", dialog.windowTitle());
    op.clear();
    dialog.save();
    EXPECT_EQ(QStringList{"Overwritten !!"}, op.messageTexts());
    EXPECT_TRUE(op.questions.empty());
    EXPECT_EQ("select 2;\r\n", fileBytes(script));
    EXPECT_EQ(dumpBytes, fileBytes(dump));

    // Another program put other text into the file meanwhile: Save asks before replacing it.
    writeFileBytes(script, "select 'theirs';\r\n");
    op.clear();
    op.answer(false);
    dialog.save();
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ(script +
                  " no longer holds the text that was loaded from it or saved in it.\nReplace what it "
                  "holds with the query box's text?",
              op.questions[0].text);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ("select 'theirs';\r\n", fileBytes(script));
    op.answer(true);
    dialog.save();
    EXPECT_EQ(QStringList{"Overwritten !!"}, op.messageTexts());
    EXPECT_EQ("select 2;\r\n", fileBytes(script));

    // "Save as" a name without the extension: the chooser asked about that name, not about the file
    // the extension makes of it.
    op.clear();
    op.choose(folder + "/dump");
    op.answer(false);
    dialog.saveAs();
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ(dump + " already exists.\nReplace it with the query box's text?", op.questions[0].text);
    EXPECT_EQ(dumpBytes, fileBytes(dump));
    EXPECT_EQ(script, field(dialog, "script file"));
}

TEST_F(SqlConsoleTest, ASaveTheDiskCannotHoldLeavesTheOldFileWhole) {
    ScratchDirectory dir;
    const QString folder = QString::fromStdString(dir.path());
    const QString script = folder + "/script.sql";
    writeFileBytes(script, "select 'old';\r\n");
    SqlConsoleDialog dialog(*session, op);
    op.choose(script);
    dialog.load();
    query(dialog)->setPlainText(QString("select '%1';\n").arg(QString(20000, 'x')));
    // No file of the process may grow past 4 kB: the disk is full for the new text.
    struct rlimit before {};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &before));
    struct rlimit small = before;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    dialog.save();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(QStringList{"Writing the script failed (File too large); the file was left as it was."},
              op.messageTexts())
        << op.messageTexts().join('|').toStdString();
    EXPECT_EQ("select 'old';\r\n", fileBytes(script));
    EXPECT_EQ(QStringList{"script.sql"}, QDir(folder).entryList(QDir::Files))
        << "nothing half written is left";
}

TEST_F(SqlConsoleTest, ScriptsAndDumpsLeaveTheServerAsTheCommandLineClientDoes) {
    ScratchDatabase source{"velkin_con_source"}, byClient{"velkin_con_client"},
        byConsole{"velkin_con_console"};
    Connection& admin = source.admin();
    exec(admin, "USE velkin_con_source");
    exec(admin, "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(30), b VARBINARY(8))");
    // Binary bytes that are not UTF-8: the dump holds them raw, and only "Run file" can run it.
    exec(admin, "INSERT INTO t VALUES (1, 'semi;colon', x'FF00C3A93B27'), (2, 'quote''s \\\\ back', NULL)");
    exec(admin, "CREATE TABLE hits (n INT)");
    exec(admin,
         "CREATE TRIGGER `tr;ins` BEFORE INSERT ON t FOR EACH ROW BEGIN SET NEW.v = CONCAT(NEW.v, ';'); "
         "INSERT INTO hits VALUES (NEW.id); END");
    exec(admin, "CREATE VIEW `v;w` AS SELECT id, CONCAT(v, ';') AS s FROM t");
    exec(admin,
         "CREATE PROCEDURE `p;roc`(IN k INT) BEGIN /* a; comment */ SELECT k; SELECT COUNT(*) FROM t; END");
    exec(admin, "CREATE FUNCTION `f;un`(x INT) RETURNS VARCHAR(20) DETERMINISTIC RETURN CONCAT(x, ';')");
    exec(admin, "CREATE EVENT `e;v` ON SCHEDULE EVERY 1 DAY DISABLE DO INSERT INTO hits VALUES (0)");

    ScratchDirectory dir;
    const QString dumpPath = QString::fromStdString(dir.path()) + "/dump.sql";
    dumpWithTool("velkin_con_source", {"--routines", "--triggers", "--events"}, dumpPath);
    const QString scriptPath = QString::fromStdString(dir.path()) + "/script.sql";
    writeFileBytes(scriptPath,
                   "CREATE TABLE log (n INT PRIMARY KEY, s VARCHAR(20));\n"
                   "DELIMITER $$\n"
                   "CREATE PROCEDURE fill(IN m INT)\nBEGIN\n  DECLARE i INT DEFAULT 0;\n"
                   "  WHILE i < m DO INSERT INTO log VALUES (100 + i, 'x;y'); SET i = i + 1; END WHILE;\n"
                   "  SELECT COUNT(*) FROM log; SELECT 'done;';\nEND $$\n"
                   "CREATE PROCEDURE clash() BEGIN SELECT 1; INSERT INTO log VALUES (100, 'again'); END$$\n"
                   "DELIMITER ;\n"
                   "CALL fill(3); INSERT INTO log VALUES (1, 'after call');\n"
                   "SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES');\n"
                   "INSERT INTO log VALUES (2, 'back\\'); INSERT INTO log VALUES (3, '#;--');\n"
                   "SET SESSION sql_mode = DEFAULT;\n"
                   "/*!40101 INSERT INTO log VALUES (4, 'hidden') */;\n"
                   "DELIMITER qq\nINSERT INTO log VALUES (5, 'word')qq\ndelimiter ;\n"
                   "CALL clash();\n"
                   "INSERT INTO log VALUES (6, 'never');\n");

    const std::string clientDumpErrors = runWithClient(byClient.name(), dumpPath);
    const std::string clientErrors = runWithClient(byClient.name(), scriptPath);
    EXPECT_EQ("", clientDumpErrors);
    ASSERT_NE(std::string::npos, clientErrors.find("ERROR 1062 (23000) at line 19")) << clientErrors;

    session->selectDb(byConsole.name());
    SqlConsoleDialog dialog(*session, op);
    op.choose(dumpPath);
    dialog.runFile();
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    EXPECT_TRUE(status(dialog).contains("statements were processed")) << status(dialog).toStdString();
    run(dialog, QString::fromUtf8(QByteArray::fromStdString(fileBytes(scriptPath))));
    // The console stops where the client stopped, and says so in the client's words too.
    ASSERT_EQ(1, op.messageTexts().size());
    const std::size_t errorAt = clientErrors.find("ERROR ");
    const std::string clientLine = clientErrors.substr(errorAt, clientErrors.find('\n', errorAt) - errorAt);
    EXPECT_TRUE(op.messageTexts()[0].endsWith(QString::fromStdString(clientLine)))
        << op.messageTexts()[0].toStdString() << " / " << clientLine;

    const std::vector<std::string> expected = contents(*session, byClient.name());
    EXPECT_EQ(expected, contents(*session, byConsole.name()));
    EXPECT_GT(expected.size(), 15u);
}

TEST_F(SqlConsoleTest, StopEndsTheRunningStatementWhileTheWindowKeepsRunning) {
    SqlConsoleDialog dialog(*session, op);
    dialog.show();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    const auto stopSoon = [&](bool byClosing) {
        QTimer::singleShot(300, [&, byClosing] {
            EXPECT_TRUE(dialog.isRunning());
            // Nothing that would send on the session can be clicked, so no click is replayed later.
            EXPECT_FALSE(child<QPushButton>(dialog, "Execution")->isEnabled());
            EXPECT_FALSE(child<QTreeWidget>(dialog, "Database")->isEnabled());
            EXPECT_TRUE(status(dialog).startsWith("Running")) << status(dialog).toStdString();
            if (byClosing) {
                op.answer(true);
                dialog.reject();
            } else {
                child<QPushButton>(dialog, "Stop")->click();
            }
        });
    };
    const auto sleeping = [&] {
        return scalar(
            db.admin(),
            "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'SELECT SLEEP(20)%'");
    };

    stopSoon(false);
    run(dialog, "SELECT SLEEP(20) AS s");
    EXPECT_EQ("0", sleeping()) << "the statement is gone from the server";
    EXPECT_GT(ticks, 15) << "the window's timers fired while the statement ran";
    EXPECT_EQ("The statement was stopped.", status(dialog));
    EXPECT_TRUE(op.messageTexts().isEmpty());
    EXPECT_EQ("1", scalar(*session, "SELECT 1")) << "no stop is left over for the next statement";

    // A script stops where it is: the statements before ran, those after were never sent. Closing the
    // console meanwhile asks first and leaves it open with what was done.
    stopSoon(true);
    run(dialog,
        "INSERT INTO velkin_transfer_console.u VALUES (1);\nSELECT SLEEP(20);\n"
        "INSERT INTO velkin_transfer_console.u VALUES (2);");
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ("The statement is running. May I stop it?", op.questions[0].text);
    EXPECT_EQ("0", sleeping());
    EXPECT_EQ("1", scalar(db.admin(), "SELECT GROUP_CONCAT(k) FROM velkin_transfer_console.u"));
    EXPECT_EQ(
        "The script was stopped at statement 2 of 3 (line 2); the 1 before it were processed, the rest "
        "were not sent.",
        status(dialog));
    EXPECT_TRUE(child<QPushButton>(dialog, "Execution")->isEnabled());
    EXPECT_EQ("Cancel", child<QPushButton>(dialog, "Cancel")->text());
    EXPECT_TRUE(dialog.isVisible()) << "the console stayed open";
}

TEST_F(SqlConsoleTest, KeysRunTheStatementAtTheCursorAndRecallThoseOfEarlierSessions) {
    const std::string historyPath = (Settings().folder() + "/console-history").toStdString();
    std::remove(historyPath.c_str());
    const auto keys = [](QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(to, key, modifiers);
    };
    const auto landed = [&] {
        return scalar(db.admin(), "SELECT GROUP_CONCAT(k ORDER BY k) FROM velkin_transfer_console.u");
    };
    {
        SqlConsoleDialog dialog(*session, op);
        query(dialog)->setPlainText(
            "INSERT INTO velkin_transfer_console.u VALUES (1);\n"
            "INSERT INTO velkin_transfer_console.u SELECT 2 WHERE 'it''s;' <> '';\n");
        QTextCursor cursor = query(dialog)->textCursor();
        cursor.setPosition(60);  // inside the second statement
        query(dialog)->setTextCursor(cursor);
        keys(query(dialog), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ("2", landed()) << "only the statement at the cursor ran";
        keys(query(dialog), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ("1,2,2", landed()) << "the whole text ran";

        // Reserved words, quoted texts and numbers are coloured apart.
        const QList<QTextLayout::FormatRange> formats =
            query(dialog)->document()->firstBlock().layout()->formats();
        const auto formatAt = [&](int at) {
            for (const QTextLayout::FormatRange& range : formats)
                if (at >= range.start && at < range.start + range.length)
                    return range.format;
            return QTextCharFormat();
        };
        EXPECT_EQ(QFont::Bold, formatAt(0).fontWeight()) << "INSERT";
        EXPECT_NE(QFont::Bold, formatAt(13).fontWeight()) << "the table's name";
        EXPECT_NE(formatAt(46).foreground(), formatAt(13).foreground()) << "the number 1";
    }
    // The history outlives the console, is its owner's alone, and a walk keeps to what is typed.
    struct stat st {};
    ASSERT_EQ(0, ::stat(historyPath.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);
    SqlConsoleDialog again(*session, op);
    keys(query(again), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(
        query(again)->toPlainText().startsWith("INSERT INTO velkin_transfer_console.u VALUES (1);\nINSERT"));
    keys(query(again), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ("INSERT INTO velkin_transfer_console.u SELECT 2 WHERE 'it''s;' <> ''",
              query(again)->toPlainText());
    keys(query(again), Qt::Key_Down, Qt::ControlModifier);
    keys(query(again), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ("", query(again)->toPlainText()) << "past the newest the typed text comes back";
    query(again)->setPlainText("values (1)");
    keys(query(again), Qt::Key_Up, Qt::ControlModifier);
    keys(query(again), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(query(again)->toPlainText().startsWith("INSERT INTO velkin_transfer_console.u VALUES (1);"))
        << "the one statement holding the typed text, in any case";
}

TEST_F(SqlConsoleTest, NamesCompleteFromWhatWasReadOnce) {
    exec(db.admin(), "CREATE TABLE velkin_transfer_console.`we;ird` (`odd col` INT, plain INT)");
    SqlConsoleDialog dialog(*session, op);
    dialog.show();
    QPlainTextEdit* box = query(dialog);
    auto* popup = dialog.findChild<QCompleter*>()->popup();
    const auto listed = [popup] {
        QStringList names;
        for (int i = 0; i < popup->model()->rowCount(); ++i)
            names << popup->model()->index(i, 0).data().toString();
        return names;
    };
    const auto choose = [popup](const QString& name) {
        for (int i = 0; i < popup->model()->rowCount(); ++i)
            if (popup->model()->index(i, 0).data().toString() == name)
                popup->setCurrentIndex(popup->model()->index(i, 0));
        QTest::keyClick(popup, Qt::Key_Return);
    };

    box->setPlainText("select * from velkin_transfer_CON");
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(QStringList{"velkin_transfer_console"}, listed());
    choose("velkin_transfer_console");
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ("select * from velkin_transfer_console", box->toPlainText());

    // A point after a database's name offers its tables; a name that needs quoting goes in quoted.
    StatementLog log;
    QTest::keyClick(box, Qt::Key_Period);
    QTRY_VERIFY(popup->isVisible());
    EXPECT_EQ((QStringList{"t", "u", "we;ird"}), listed());
    EXPECT_EQ(1u, log.statements.size()) << "the tables are read once";
    QTest::keyClicks(popup, "W");
    EXPECT_EQ(QStringList{"we;ird"}, listed());
    choose("we;ird");
    EXPECT_EQ("select * from velkin_transfer_console.`we;ird`", box->toPlainText());

    // After a table's name, its columns; after database.table, the same.
    box->setPlainText("select velkin_transfer_console.t.");
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ((QStringList{"a", "b", "c", "d", "e"}), listed());
    QTest::keyClick(popup, Qt::Key_Escape);
    run(dialog, "USE velkin_transfer_console");
    log.clear();
    box->setPlainText("select `we;ird`.");
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ((QStringList{"odd col", "plain"}), listed());
    choose("odd col");
    EXPECT_EQ("select `we;ird`.`odd col`", box->toPlainText());
    const std::size_t reads = log.statements.size();
    EXPECT_GE(reads, 1u);

    // Asked again, the list comes from what was read: typing sends nothing.
    box->setPlainText("select `we;ird`.pl");
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(QStringList{"plain"}, listed());
    QTest::keyClick(popup, Qt::Key_Escape);
    box->setPlainText("select u");
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(QStringList{"u"}, listed()) << "the tables of the database in use";
    EXPECT_EQ(reads, log.statements.size());
}

TEST_F(SqlConsoleTest, EveryResultOfAScriptIsShownWithItsStatementRowsAndTime) {
    SqlConsoleDialog dialog(*session, op);
    dialog.show();
    auto* tabs = child<QTabBar>(dialog, "Results");
    run(dialog,
        "SELECT a FROM velkin_transfer_console.t ORDER BY a;\n"
        "INSERT INTO velkin_transfer_console.u VALUES (1), (2), (3);\n"
        "SELECT k, k * 2 AS twice FROM velkin_transfer_console.u ORDER BY k;\n"
        "SELECT 'none' FROM velkin_transfer_console.u WHERE k > 10;");
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    ASSERT_TRUE(tabs->isVisible());
    ASSERT_EQ(3, tabs->count());
    const QRegularExpression time(R"(, \d+\.\d{3} s\)$)");
    const QStringList heads{"1: SELECT a FROM velkin_transfer_console.t ORDER BY a (2 rows",
                            "3: SELECT k, k * 2 AS twice FROM velkin_transfer_console.u ORDER BY k (3 rows",
                            "4: SELECT 'none' FROM velkin_transfer_console.u WHERE k > 10 (0 rows"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(tabs->tabText(i).startsWith(heads[i])) << tabs->tabText(i).toStdString();
        EXPECT_TRUE(time.match(tabs->tabText(i)).hasMatch()) << tabs->tabText(i).toStdString();
    }
    // The last result is shown, as after one statement; each tab shows its own rows.
    EXPECT_EQ(2, tabs->currentIndex());
    EXPECT_EQ(QStringList{"none"}, headings(dialog));
    EXPECT_EQ(0, dialog.rows().rows());
    tabs->setCurrentIndex(0);
    EXPECT_EQ(QStringList{"a"}, headings(dialog));
    EXPECT_EQ((std::vector<std::string>{"1", "6"}),
              (std::vector<std::string>{dialog.rows().cellText(0, 0).toStdString(),
                                        dialog.rows().cellText(1, 0).toStdString()}));
    tabs->setCurrentIndex(1);
    EXPECT_EQ((QStringList{"k", "twice"}), headings(dialog));
    ASSERT_EQ(3, dialog.rows().rows());
    EXPECT_EQ("6", dialog.rows().cellText(2, 1));

    // A procedure's row sets are results of one statement; a single statement shows no tabs.
    run(dialog,
        "DELIMITER //\n"
        "CREATE PROCEDURE velkin_transfer_console.two() BEGIN SELECT 1 AS one; SELECT 2 AS two, 3; END//\n"
        "DELIMITER ;\n"
        "CALL velkin_transfer_console.two()");
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    ASSERT_EQ(2, tabs->count());
    EXPECT_TRUE(tabs->tabText(0).startsWith("2: CALL velkin_transfer_console.two() (1 row"))
        << tabs->tabText(0).toStdString();
    EXPECT_TRUE(tabs->tabText(1).startsWith("2: CALL velkin_transfer_console.two() (1 row"));
    EXPECT_EQ((QStringList{"two", "3"}), headings(dialog));
    run(dialog, "select 1");
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_EQ(QStringList{"1"}, headings(dialog));
}

TEST_F(SqlConsoleTest, AScriptsProgressTellsStatementsRowsAndTime) {
    SqlConsoleDialog dialog(*session, op);
    dialog.show();
    QStringList seen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QString text = child<QLabel>(dialog, "Progress text")->text();
        if (!text.isEmpty() && (seen.isEmpty() || seen.last() != text))
            seen << text;
    });
    sampler.start(50);
    const std::string script =
        "INSERT INTO velkin_transfer_console.u VALUES (1), (2), (3);\n"
        "DO SLEEP(1.2);\n"
        "SELECT 1;\n";
    run(dialog, QString::fromStdString(script));
    EXPECT_TRUE(op.messages.empty()) << op.messageTexts().join('|').toStdString();
    // While the sleep runs: the second statement, the three rows before it, the bytes read of the
    // text and the time.
    const QRegularExpression during(
        R"(^Statement 2 of 3, 3 rows affected; (\d+) of (\d+) bytes, [\d,]+ bytes/s, \d+ s elapsed, about \d+ s left$)");
    bool matched = false;
    for (const QString& text : seen) {
        const QRegularExpressionMatch m = during.match(text);
        if (!m.hasMatch())
            continue;
        matched = true;
        EXPECT_EQ(script.find("\nSELECT 1"), m.captured(1).toULongLong()) << text.toStdString();
        EXPECT_EQ(script.size(), m.captured(2).toULongLong());
    }
    EXPECT_TRUE(matched) << seen.join(" | ").toStdString();
}
