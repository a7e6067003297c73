#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "session/CSorvaneDoc.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/TableDuplicateDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from << " in " << text;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class TableDuplicateTest : public ::testing::Test {
protected:
    TableDuplicateTest() {
        exec(source.admin(),
             "CREATE TABLE velkin_dup_table.people (id INT PRIMARY KEY, name VARCHAR(20)) ENGINE=InnoDB");
        exec(source.admin(), "INSERT INTO velkin_dup_table.people VALUES (1, 'Ann'), (2, 'Bob'), (3, NULL)");
    }
    QWidget& side(QDialog& d, const char* name) { return *child<QWidget>(d, name); }
    QLineEdit* newTable(QDialog& d) { return child<QLineEdit>(side(d, "Destination"), "Table"); }
    QComboBox* destinationList(QDialog& d) {
        return child<QComboBox>(side(d, "Destination"), "The database point to create");
    }
    QComboBox* typeList(QDialog& d) {
        return child<QComboBox>(side(d, "Destination"), "The table type to create");
    }
    void choose(QComboBox* list, const QString& text) {
        const int i = list->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        list->setCurrentIndex(i);
    }
    std::string text(QDialog& d, const char* name) { return child<QLineEdit>(d, name)->text().toStdString(); }
    std::string serverCreate(const std::string& table) {
        Result r = source.admin().select("SHOW CREATE TABLE " + table);
        Row row = r.fetchRow();
        return row ? row.str(1) : std::string();
    }

    ScratchDatabase source{"velkin_dup_table"};
    ScratchDatabase target{"velkin_dup_target"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

}  // namespace

TEST_F(TableDuplicateTest, OpeningShowsTheSourceItsCountDefinitionAndTheLists) {
    ConnectionStatements sent;
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "people");
    EXPECT_EQ("The duplicate of a table", dialog.windowTitle());
    EXPECT_EQ((std::vector<std::string>{"select count(*) from velkin_dup_table.people",
                                        "Show create table velkin_dup_table.people;", "SHOW DATABASES"}),
              sent.all());
    EXPECT_EQ("velkin_dup_table", child<QLineEdit>(side(dialog, "Source"), "Database")->text().toStdString());
    EXPECT_EQ("people", child<QLineEdit>(side(dialog, "Source"), "Table")->text().toStdString());
    EXPECT_EQ("people", newTable(dialog)->text().toStdString());
    EXPECT_EQ("3", text(dialog, "The original number of records"));
    EXPECT_EQ("", text(dialog, "The copied number of records"));
    EXPECT_EQ(serverCreate("velkin_dup_table.people"), dialog.createText().toStdString());

    QComboBox* databases = destinationList(dialog);
    EXPECT_EQ(-1, databases->currentIndex());
    QStringList names;
    for (int i = 0; i < databases->count(); ++i)
        names << databases->itemText(i);
    EXPECT_TRUE(names.contains("velkin_dup_target"));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(sorted, names);
    QComboBox* types = typeList(dialog);
    EXPECT_EQ(-1, types->currentIndex());
    EXPECT_EQ((QStringList{"HEAP", "INNOBASE", "ISAM", "MyISAM"}),
              (QStringList{types->itemText(0), types->itemText(1), types->itemText(2), types->itemText(3)}));
    EXPECT_EQ(4, types->count());
    EXPECT_FALSE(child<QCheckBox>(dialog, "Data copy")->isChecked());
}

TEST_F(TableDuplicateTest, CreateBoxFollowsTheNameTheTypeAndTheDestination) {
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "people");
    const std::string original = serverCreate("velkin_dup_table.people");
    // A name changed before any destination is chosen leaves the database part empty.
    newTable(dialog)->setText("copy");
    EXPECT_EQ(replaced(original, "CREATE TABLE `people` ", "CREATE TABLE .copy "),
              dialog.createText().toStdString());
    // The type first, then the destination: the type stays.
    choose(typeList(dialog), "MyISAM");
    const std::string typed = replaced(replaced(original, "CREATE TABLE `people` ", "CREATE TABLE .copy "),
                                       "ENGINE=InnoDB", "ENGINE=MyISAM");
    EXPECT_EQ(typed, dialog.createText().toStdString());
    choose(destinationList(dialog), "velkin_dup_target");
    EXPECT_EQ(replaced(typed, "CREATE TABLE .copy ", "CREATE TABLE velkin_dup_target.copy "),
              dialog.createText().toStdString());
    // The new type replaces the old type word, the options after it stay.
    choose(typeList(dialog), "HEAP");
    const std::string heap = dialog.createText().toStdString();
    EXPECT_NE(std::string::npos, heap.find(") ENGINE=HEAP DEFAULT CHARSET=")) << heap;
    EXPECT_EQ(std::string::npos, heap.find("MyISAM")) << heap;

    // The statement is sent as the box shows it; the server keeps the chosen type.
    op.answer(true);
    dialog.create();
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("MEMORY", scalar(target.admin(),
                               "SELECT ENGINE FROM information_schema.TABLES WHERE "
                               "TABLE_SCHEMA = 'velkin_dup_target' AND TABLE_NAME = 'copy'"));
    EXPECT_EQ("0", scalar(target.admin(), "SELECT COUNT(*) FROM velkin_dup_target.copy"));
}

TEST_F(TableDuplicateTest, CreateChecksItsInputsAndShowsTheServersRefusal) {
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "people");
    ConnectionStatements sent;
    dialog.create();
    choose(destinationList(dialog), "velkin_dup_table");
    newTable(dialog)->clear();
    dialog.create();
    EXPECT_EQ((QStringList{"A database is chosen.", "A table is inputted."}), op.messageTexts());
    EXPECT_TRUE(op.questions.empty());

    op.clear();
    newTable(dialog)->setText("people");
    op.answer(false);
    dialog.create();
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ("May I reproduce?", op.questions[0].text);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(sent.all().empty());

    // The table exists already: the server's text alone, and nothing copied.
    op.clear();
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    op.answer(true);
    dialog.create();
    EXPECT_EQ(QStringList{"Table 'people' already exists"}, op.messageTexts());
    EXPECT_EQ(1, sent.countStartingWith("CREATE TABLE"));
    EXPECT_EQ(0, sent.countStartingWith("INSERT"));
    EXPECT_EQ("3", scalar(source.admin(), "SELECT COUNT(*) FROM velkin_dup_table.people"));
}

TEST_F(TableDuplicateTest, DataCopyMakesAnEqualTableAndItsLog) {
    createAwkwardTable(source.admin(), "velkin_dup_table", "odd", 1493);
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "odd");
    choose(destinationList(dialog), "velkin_dup_target");
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    ConnectionStatements sent;
    op.answer(true);
    dialog.create();
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ(awkwardRows(source.admin(), "velkin_dup_table.odd"),
              awkwardRows(target.admin(), "velkin_dup_target.odd"));
    EXPECT_EQ(checksum(source.admin(), "velkin_dup_table.odd"),
              checksum(target.admin(), "velkin_dup_target.odd"));
    EXPECT_EQ("1500", text(dialog, "The original number of records"));
    EXPECT_EQ("1500", text(dialog, "The copied number of records"));
    // The server copies the rows itself, in one block of the key here; nothing reads them whole.
    EXPECT_EQ(0, sent.countStartingWith("select * from"));
    EXPECT_EQ(1,
              sent.countStartingWith("INSERT INTO velkin_dup_target.odd ( id,name,note,amount,data ) SELECT "
                                     "id,name,note,amount,data FROM velkin_dup_table.odd "));

    const std::string log =
        "Data shift start\r\n"
        "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n"
        "Data acquisition start 1000 - 2000     Data acquisition success 1000 - 2000\r\n"
        "Data acquisition start 2000 - 3000     Data shift end\r\n";
    EXPECT_EQ(log, fileBytes("rep_table.log"));
    auto* view = child<QPlainTextEdit>(dialog, "Log view");
    view->setPlainText("old");
    dialog.showLog();
    QString shown = view->toPlainText();
    EXPECT_EQ(log, shown.replace("\n", "\r\n").toStdString());
    EXPECT_EQ(QDialog::Rejected, dialog.result());
}

TEST_F(TableDuplicateTest, AwkwardNamesReadFromTheServerAreQuotedAndCopied) {
    const std::vector<std::string> names = {"we'ird db", "x-y", "a(b", "back`tick", "sp ace", "rank",
                                            "1abc",      "ünï", "a.b", "a\\b",      "%_"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string from = "velkin_dup_table." + quoteName(source.admin(), name);
        const std::string to = "velkin_dup_target." + quoteName(source.admin(), name);
        exec(source.admin(), sqlf("CREATE TABLE %s (id INT PRIMARY KEY, `v(1)` VARCHAR(10))", from));
        exec(source.admin(), sqlf("INSERT INTO %s VALUES (1, 'a'), (2, NULL), (3, '(')", from));
        op.clear();
        TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table",
                                    QString::fromStdString(name));
        EXPECT_EQ(quoteName(source.admin(), name), newTable(dialog)->text().toStdString());
        choose(destinationList(dialog), "velkin_dup_target");
        EXPECT_EQ(0u, u8(dialog.createText()).rfind("CREATE TABLE " + to + " (", 0))
            << u8(dialog.createText());
        child<QCheckBox>(dialog, "Data copy")->setChecked(true);
        op.answer(true);
        dialog.create();
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
        EXPECT_EQ("3", text(dialog, "The copied number of records"));
        EXPECT_EQ(
            "0",
            scalar(source.admin(),
                   sqlf("SELECT COUNT(*) FROM %s s LEFT JOIN %s d ON d.id = s.id AND d.`v(1)` <=> s.`v(1)` "
                        "WHERE d.id IS NULL",
                        from, to)));
        EXPECT_EQ("3", scalar(source.admin(), "SELECT COUNT(*) FROM " + to));
    }
}

TEST_F(TableDuplicateTest, KilledReaderIsReportedWithTheRowsThatLanded) {
    // Without a key the rows are streamed through a reader connection of their own.
    exec(source.admin(), "CREATE TABLE velkin_dup_table.big (id INT, pad VARCHAR(100))");
    exec(source.admin(),
         "INSERT INTO velkin_dup_table.big SELECT seq, REPEAT('z', 100) FROM "
         "velkin_dup_table.seq_1_to_200000");
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "big");
    choose(destinationList(dialog), "velkin_dup_target");
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    bool killed = false;
    QObject::connect(child<QLineEdit>(dialog, "The copied number of records"), &QLineEdit::textChanged, [&] {
        if (killed)
            return;
        killed = true;
        // The reader is the connection streaming the source.
        const std::string reader = scalar(source.admin(),
                                          "SELECT ID FROM information_schema.PROCESSLIST WHERE "
                                          "INFO = 'select id,pad from velkin_dup_table.big'");
        exec(source.admin(), "KILL " + reader);
    });
    op.answer(true);
    dialog.create();
    ASSERT_TRUE(killed);
    const std::string landed = scalar(source.admin(), "SELECT COUNT(*) FROM velkin_dup_target.big");
    EXPECT_LT(std::stoll(landed), 200000);
    EXPECT_EQ(landed, text(dialog, "The copied number of records"));
    ASSERT_EQ(1, op.messageTexts().size());
    const std::string expected = "The copy is incomplete: " + landed +
                                 " records were copied.\nReading the source broke off.\n2013:Lost connection";
    EXPECT_EQ(expected, op.messageTexts()[0].toStdString().substr(0, expected.size()));
    EXPECT_NE(std::string::npos, fileBytes("rep_table.log").find("Data acquisition failure\r\n"));
}

TEST_F(TableDuplicateTest, StopEndsTheCopyWhileTheWindowGoesOn) {
    exec(source.admin(),
         "CREATE TABLE velkin_dup_table.many (id INT PRIMARY KEY, pad VARCHAR(100)) ENGINE=InnoDB");
    exec(source.admin(),
         "INSERT INTO velkin_dup_table.many SELECT seq, REPEAT('y', 100) FROM "
         "velkin_dup_table.seq_1_to_400000");
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "many");
    choose(destinationList(dialog), "velkin_dup_target");
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    // The window's own timer keeps firing while the copy runs.
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    bool stopped = false;
    QObject::connect(child<QLineEdit>(dialog, "The copied number of records"), &QLineEdit::textChanged, [&] {
        if (stopped)
            return;
        stopped = true;
        // Nothing can start the copy again while it runs; Cancel reads Stop.
        EXPECT_FALSE(child<QPushButton>(dialog, "Create")->isEnabled());
        child<QPushButton>(dialog, "Stop")->click();
    });
    op.answer(true);
    dialog.create();
    ASSERT_TRUE(stopped);
    EXPECT_GT(ticks, 0);
    const std::string landed = scalar(source.admin(), "SELECT COUNT(*) FROM velkin_dup_target.many");
    EXPECT_LT(std::stoll(landed), 400000);
    ASSERT_EQ(1, op.messageTexts().size());
    EXPECT_EQ("The copy was stopped: " + landed + " records were copied.\n" +
                  std::to_string(400000 - std::stoll(landed)) + " records were not copied.",
              op.messageTexts()[0].toStdString());
    EXPECT_NE(std::string::npos, fileBytes("rep_table.log").find("Data shift stopped\r\n"));
    EXPECT_TRUE(child<QPushButton>(dialog, "Cancel")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(dialog, "Create")->isEnabled());
    // No statement of the copy is left on the server.
    EXPECT_EQ("0", scalar(source.admin(),
                          "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE "
                          "'INSERT INTO velkin_dup_target.many%'"));
}

TEST_F(TableDuplicateTest, ProgressFillsOnlyAtTheEndThoughRowsOutgrewTheCount) {
    exec(source.admin(),
         "CREATE TABLE velkin_dup_table.grow (id INT PRIMARY KEY, pad CHAR(20)) ENGINE=InnoDB");
    exec(source.admin(),
         "INSERT INTO velkin_dup_table.grow SELECT seq, 'p' FROM velkin_dup_table.seq_1_to_3000");
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "grow");
    // Rows added after the opening's count: the copy carries more than its total said.
    exec(source.admin(),
         "INSERT INTO velkin_dup_table.grow SELECT seq, 'q' FROM velkin_dup_table.seq_3001_to_5000");
    choose(destinationList(dialog), "velkin_dup_target");
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    auto* bar = child<QProgressBar>(dialog, "Progress");
    std::vector<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    op.answer(true);
    dialog.create();
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("5000", scalar(target.admin(), "SELECT COUNT(*) FROM velkin_dup_target.grow"));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(bar->maximum(), shown.back());
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
        EXPECT_LT(shown[i], bar->maximum());
        EXPECT_LE(i == 0 ? 0 : shown[i - 1], shown[i]);
    }
    EXPECT_TRUE(child<QLabel>(dialog, "Progress text")->text().startsWith("5,000 rows in "));
}

TEST_F(TableDuplicateTest, RefusedRowsAreCountedLoggedAndReported) {
    exec(source.admin(), "CREATE TABLE velkin_dup_table.keyed (id INT PRIMARY KEY, v INT) ENGINE=InnoDB");
    exec(source.admin(),
         "INSERT INTO velkin_dup_table.keyed SELECT seq, seq FROM velkin_dup_table.seq_1_to_3000");
    TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "keyed");
    choose(destinationList(dialog), "velkin_dup_target");
    child<QCheckBox>(dialog, "Data copy")->setChecked(true);
    // Once the new table exists and before its rows go, three of their keys are taken.
    bool taken = false;
    Connection::setStatementObserver([&](const Connection&, const std::string& sql) {
        if (taken || sql.rfind("INSERT INTO velkin_dup_target.keyed", 0) != 0)
            return;
        taken = true;
        exec(target.admin(),
             "INSERT INTO velkin_dup_target.keyed VALUES (5, -5), (1500, -1500), (2999, -2999)");
    });
    op.answer(true);
    dialog.create();
    Connection::setStatementObserver(nullptr);
    ASSERT_TRUE(taken);
    EXPECT_EQ(
        QStringList{"The copy is incomplete: 2997 records were copied.\n3 records were refused; they are "
                    "logged in rep_table.log."},
        op.messageTexts());
    EXPECT_EQ("2997", text(dialog, "The copied number of records"));
    EXPECT_EQ("3000", scalar(target.admin(), "SELECT COUNT(*) FROM velkin_dup_target.keyed"));
    EXPECT_EQ("2997", scalar(target.admin(), "SELECT COUNT(*) FROM velkin_dup_target.keyed WHERE v > 0"));
    const std::string log = fileBytes("rep_table.log");
    EXPECT_NE(std::string::npos,
              log.find("\r\nError: Query=INSERT INTO velkin_dup_target.keyed ( id,v ) VALUES "
                       "( '1500','1500' )\r\n"));
}

TEST_F(TableDuplicateTest, TortureTableCopiesExactlyInEitherEscapingMode) {
    createTortureTable(source.admin(), "velkin_dup_table.torture");
    for (const char* mode : {"DEFAULT", "CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"}) {
        SCOPED_TRACE(mode);
        exec(target.admin(), "DROP TABLE IF EXISTS velkin_dup_target.torture");
        exec(*session, std::string("SET SESSION sql_mode = ") + mode);
        exec(*session, "SET time_zone = '-05:00'");
        op.clear();
        TableDuplicateDialog dialog(*session, op, sessionLogin(), "velkin_dup_table", "torture");
        choose(destinationList(dialog), "velkin_dup_target");
        child<QCheckBox>(dialog, "Data copy")->setChecked(true);
        op.answer(true);
        dialog.create();
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
        EXPECT_EQ("0",
                  differingRows(source.admin(), "velkin_dup_table.torture", "velkin_dup_target.torture"));
        EXPECT_EQ(tortureRows(source.admin(), "velkin_dup_table.torture"),
                  tortureRows(source.admin(), "velkin_dup_target.torture"));
        EXPECT_EQ("-05:00", scalar(*session, "SELECT @@SESSION.time_zone"));
    }
}
