#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "TransferTesting.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/CsvImportDialog.h"
#include "transfer/LoadDataStatement.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class CsvImportTest : public ::testing::Test {
protected:
    CsvImportTest() {
        exec(db.admin(),
             "CREATE TABLE velkin_transfer_import.people (id INT PRIMARY KEY, name VARCHAR(20), note "
             "VARCHAR(20))");
        exec(db.admin(), "CREATE TABLE velkin_transfer_import.other (x INT)");
        exec(second.admin(), "CREATE TABLE velkin_transfer_import2.elsewhere (x INT)");
    }
    QLineEdit* edit(QDialog& d, const char* name) { return child<QLineEdit>(d, QString::fromUtf8(name)); }
    QListWidget* list(QDialog& d, const char* name) { return child<QListWidget>(d, QString::fromUtf8(name)); }
    void choose(QListWidget* l, const QString& text) {
        auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        l->setCurrentItem(found.first());
    }
    std::string escape(std::string_view s) { return session->escape(s); }

    ScratchDatabase db{"velkin_transfer_import"};
    ScratchDatabase second{"velkin_transfer_import2"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

}  // namespace

TEST_F(CsvImportTest, StatementTextForEachOption) {
    const EscapeText esc = [this](std::string_view s) { return escape(s); };
    LoadDataOptions o;
    o.fileName = "/tmp/in.csv";
    o.target = "d.t";
    EXPECT_EQ("LOAD DATA INFILE '/tmp/in.csv' INTO TABLE d.t ", loadDataStatement(o, esc));

    o.fileName = "C:\\data\\in.csv";
    EXPECT_EQ("LOAD DATA INFILE 'C:\\\\data\\\\in.csv' INTO TABLE d.t ", loadDataStatement(o, esc));

    o.fileName = "in.csv";
    o.fieldsEnclosed = "'";
    EXPECT_EQ("LOAD DATA INFILE 'in.csv' INTO TABLE d.t FIELDS OPTIONALLY ENCLOSED BY '\\'' ",
              loadDataStatement(o, esc));

    o.fieldsEnclosed.clear();
    o.fieldsEscaped = "\\";
    EXPECT_EQ("LOAD DATA INFILE 'in.csv' INTO TABLE d.t FIELDS ESCAPED BY '\\\\' ",
              loadDataStatement(o, esc));

    o.fieldsEscaped.clear();
    // The fields take the notation of their labels: backslash and t is a tab (sent as it is).
    o.fieldsTerminated = "\\t";
    o.ignoreLines = "1";
    EXPECT_EQ("LOAD DATA INFILE 'in.csv' INTO TABLE d.t FIELDS TERMINATED BY '\t' IGNORE 1 LINES",
              loadDataStatement(o, esc));
    o.fieldsTerminated = "\\\\t";
    o.fieldsEscaped = "none";
    o.characterSet = "latin1";
    EXPECT_EQ(
        "LOAD DATA INFILE 'in.csv' INTO TABLE d.t CHARACTER SET latin1 FIELDS TERMINATED BY '\\\\t' "
        "ESCAPED BY '' IGNORE 1 LINES",
        loadDataStatement(o, esc));
}

TEST_F(CsvImportTest, ListsChooseTheTargetAndTheScreenComposesTheStatement) {
    StatementLog log;
    CsvImportDialog dialog(*session, op);
    EXPECT_EQ("Import from CSV", dialog.windowTitle());
    EXPECT_EQ("SHOW DATABASES", log.statements.at(0));
    QListWidget* dbs = list(dialog, "database list");
    QListWidget* tables = list(dialog, "table list");
    EXPECT_EQ(QListView::IconMode, dbs->viewMode());
    EXPECT_EQ(QSize(32, 32), dbs->iconSize());

    log.clear();
    choose(dbs, "velkin_transfer_import");
    EXPECT_EQ((std::vector<std::string>{"USE velkin_transfer_import", "SHOW TABLES"}), log.statements);
    EXPECT_EQ(2, tables->count());
    EXPECT_EQ("velkin_transfer_import", scalar(*session, "SELECT DATABASE()"));
    choose(tables, "people");
    EXPECT_EQ("velkin_transfer_import.people", edit(dialog, "target")->text());

    // Another database takes the old table and its target away before its own tables arrive.
    choose(dbs, "velkin_transfer_import2");
    EXPECT_TRUE(edit(dialog, "target")->text().isEmpty());
    ASSERT_EQ(1, tables->count());
    EXPECT_EQ("elsewhere", tables->item(0)->text());
    choose(dbs, "velkin_transfer_import");
    choose(tables, "people");

    edit(dialog, "File name")->setText("C:\\in'.csv");
    child<QCheckBox>(dialog, "It waits until reading of other threads is completed")->setChecked(true);
    child<QCheckBox>(dialog, "It overwrites, when the same record exists.")->setChecked(true);
    edit(dialog, "OPTIONALLY")->setText("\"");
    edit(dialog, "LINES_TERMINATED")->setText("\\r\\n");
    EXPECT_EQ(
        "LOAD DATA LOW_PRIORITY INFILE 'C:\\\\in\\'.csv' REPLACE INTO TABLE velkin_transfer_import.people "
        "CHARACTER SET utf8mb4 FIELDS OPTIONALLY ENCLOSED BY '\\\"' LINES TERMINATED BY '\\r\\n' (@v1, @v2, "
        "@v3) SET id = IF(CAST(@v1 AS BINARY) = '(null)', NULL, @v1), name = IF(CAST(@v2 AS BINARY) = "
        "'(null)', NULL, @v2), note = IF(CAST(@v3 AS BINARY) = '(null)', NULL, @v3)",
        dialog.statement());
    EXPECT_FALSE(child<QLabel>(dialog, "NULL note")->isHidden());
    // An empty NULL field takes its default like the others; another spelling is taken literally.
    const std::string withDefault = dialog.statement();
    edit(dialog, "NULL")->clear();
    EXPECT_EQ(withDefault, dialog.statement());
    edit(dialog, "NULL")->setText("\\N");
    EXPECT_NE(std::string::npos,
              dialog.statement().find("SET id = IF(CAST(@v1 AS BINARY) = '\\\\N', NULL, @v1), "));
    // The bare word NULL is the server's own NULL under an enclosure: the fields go straight in.
    edit(dialog, "NULL")->setText("NULL");
    EXPECT_EQ(withDefault.substr(0, withDefault.find(" (@v1")) + " (id, name, note)", dialog.statement());
    EXPECT_TRUE(child<QLabel>(dialog, "NULL note")->isHidden());
    edit(dialog, "OPTIONALLY")->clear();
    EXPECT_FALSE(child<QLabel>(dialog, "NULL note")->isHidden());
}

TEST_F(CsvImportTest, RefusalsAndTheOperatorsNo) {
    CsvImportDialog dialog(*session, op);
    StatementLog log;
    dialog.import();
    edit(dialog, "File name")->setText("in.csv");
    dialog.import();
    choose(list(dialog, "database list"), "velkin_transfer_import");
    choose(list(dialog, "table list"), "other");
    log.clear();
    op.answer(false);
    dialog.import();
    EXPECT_EQ(
        (QStringList{"A file name is inputted.", "The table to import is chosen.", "Import was stopped."}),
        op.messageTexts());
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ("May I import from a CSV to a database?", op.questions[0].text);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(0, op.waitDepth);
}

TEST_F(CsvImportTest, LocalFileLandsItsRowsAndTheServersRefusalIsShown) {
    const QString path = QString::fromStdString(dir.path()) + "/people.csv";
    std::string content = "id,name,note\r\n";
    for (int i = 1; i <= 10; ++i)
        content += std::to_string(i) + ",\"name " + std::to_string(i) + "\",n'" + std::to_string(i) + "\r\n";
    writeFileBytes(path, content);

    CsvImportDialog dialog(*session, op);
    op.choose(path);
    dialog.chooseFile();
    EXPECT_EQ(path, edit(dialog, "File name")->text());
    // Eight lines of the file, the header included, as they are in it.
    std::string eight;
    for (int i = 0, at = 0; i < 8; ++i) {
        const auto end = content.find('\n', at) + 1;
        eight += content.substr(at, end - at);
        at = static_cast<int>(end);
    }
    EXPECT_EQ(eight, csvPreview(path.toStdString()).value());
    EXPECT_EQ(QString::fromStdString(eight).remove('\r'),
              child<QPlainTextEdit>(dialog, "preview")->toPlainText().remove('\r'));

    choose(list(dialog, "database list"), "velkin_transfer_import");
    choose(list(dialog, "table list"), "people");
    child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(true);
    edit(dialog, "TERMINATED")->setText(",");
    edit(dialog, "OPTIONALLY")->setText("\"");
    edit(dialog, "LINES_TERMINATED")->setText("\r\n");
    edit(dialog, "The position disregarded from the head of a file")->setText("1");

    StatementLog log;
    op.answer(true);
    dialog.import();
    EXPECT_EQ(QStringList{"Data was imported normally.\nRecords: 10  Deleted: 0  Skipped: 0  Warnings: 0"},
              op.messageTexts());
    ASSERT_EQ(1u, log.statements.size());
    // The program reads the file and hands the server its records in the server's own row form.
    EXPECT_EQ(
        "LOAD DATA LOCAL INFILE '" + path.toStdString() +
            "' INTO TABLE velkin_transfer_import.people CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\t' "
            "ESCAPED BY '\\\\' LINES TERMINATED BY '\\n' IGNORE 1 LINES (id, name, note)",
        log.statements[0]);
    EXPECT_EQ("10", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_transfer_import.people"));
    EXPECT_EQ(
        "name 7|n'7",
        scalar(db.admin(), "SELECT CONCAT(name, '|', note) FROM velkin_transfer_import.people WHERE id = 7"));
    EXPECT_FALSE(session->localInfile()) << "the client reads local files for the import's statement only";

    // A typed LOAD DATA LOCAL elsewhere is refused by the client itself.
    EXPECT_NE(0, session->query("LOAD DATA LOCAL INFILE '" + path.toStdString() +
                                "' INTO TABLE velkin_transfer_import.other"));

    // Where the server does not take local files, its own words reach the operator.
    auto root = connectAdmin();
    const std::string before = scalar(*root, "SELECT @@GLOBAL.local_infile");
    exec(*root, "SET GLOBAL local_infile = 0");
    auto refused = connectAdmin();
    CsvImportDialog again(*refused, op);
    op.clear();
    op.choose(path);
    again.chooseFile();
    choose(list(again, "database list"), "velkin_transfer_import");
    choose(list(again, "table list"), "other");
    child<QCheckBox>(again, "The file of a client is imported.")->setChecked(true);
    op.answer(true);
    again.import();
    exec(*root, "SET GLOBAL local_infile = " + before);
    // The table is transactional, so the refusal also says that nothing of the file stayed.
    const QString refusal = QStringLiteral(
        "Data was not imported: the server refused the load, and the table kept none of its records.\n");
    ASSERT_EQ(1, op.messageTexts().size());
    const QString told = op.messageTexts()[0];
    EXPECT_TRUE(told.startsWith(refusal)) << told.toStdString();
    EXPECT_TRUE(told.mid(refusal.size()).contains("local infile")) << told.toStdString();
    EXPECT_EQ("0", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_transfer_import.other"));
}

TEST_F(CsvImportTest, StopEndsTheLoadOnTheServerAndSaysWhatTheTableKept) {
    const QString path = QString::fromStdString(dir.path()) + "/big.csv";
    std::string content;
    for (int i = 1; i <= 600000; ++i)
        content += std::to_string(i) + "," + std::string(90, 'z') + "\n";
    writeFileBytes(path, content);
    const char* const running =
        "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'LOAD DATA LOCAL INFILE%'";
    // An InnoDB table undoes the ended statement whole; a MyISAM one keeps what landed.
    for (const char* engine : {"InnoDB", "MyISAM"}) {
        SCOPED_TRACE(engine);
        exec(db.admin(), "DROP TABLE IF EXISTS velkin_transfer_import.big");
        exec(db.admin(), std::string("CREATE TABLE velkin_transfer_import.big (id INT PRIMARY KEY, pad "
                                     "VARCHAR(100)) ENGINE=") +
                             engine);
        CsvImportDialog dialog(*session, op);
        choose(list(dialog, "database list"), "velkin_transfer_import");
        choose(list(dialog, "table list"), "big");
        edit(dialog, "File name")->setText(path);
        child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(true);
        edit(dialog, "TERMINATED")->setText(",");
        // The window's timer fires while the file goes; it stops the load once the server runs it.
        int ticks = 0;
        bool stopped = false;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            if (stopped || child<QProgressBar>(dialog, "Progress")->value() == 0 ||
                scalar(db.admin(), running) == "0")
                return;
            stopped = true;
            EXPECT_FALSE(child<QPushButton>(dialog, "OK")->isEnabled());
            EXPECT_FALSE(child<QListWidget>(dialog, "table list")->isEnabled());
            EXPECT_FALSE(child<QLabel>(dialog, "Progress text")->text().isEmpty());
            // Closing asks first; No lets the import go on.
            op.answer(false);
            dialog.reject();
            EXPECT_EQ("The import is running. May I stop it?", op.questions.back().text);
            child<QPushButton>(dialog, "Stop")->click();
        });
        timer.start();
        op.clear();
        op.answer(true);
        dialog.import();
        ASSERT_TRUE(stopped);
        EXPECT_GT(ticks, 1);
        EXPECT_EQ("0", scalar(db.admin(), running));
        const std::string held = scalar(db.admin(), "SELECT COUNT(*) FROM velkin_transfer_import.big");
        const std::string told =
            std::string(engine) == "InnoDB"
                ? "The import was stopped while it ran: the server ended the load, and the table kept "
                  "none of its records.\n1317:"
                : "The import was stopped while it ran: the server ended the load; the records it had read "
                  "stay in the table, which now holds " +
                      held + " records.\n1317:";
        ASSERT_EQ(1, op.messageTexts().size());
        EXPECT_EQ(told, op.messageTexts()[0].toStdString().substr(0, told.size()));
        if (std::string(engine) == "InnoDB") {
            EXPECT_EQ("0", held);
        }
        EXPECT_LT(std::stoll(held), 600000);
        EXPECT_TRUE(child<QPushButton>(dialog, "Cancel")->isEnabled());
        EXPECT_TRUE(child<QPushButton>(dialog, "OK")->isEnabled());
        EXPECT_EQ("1", scalar(*session, "SELECT 1"));
    }
}
