#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "TransferTesting.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/CsvExportDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const char* kSeparators = "FIELDS TERMINATES BY  ";
const char* kEnclosures = "FIELDS ENCLOSED BY ";

class CsvExportTest : public ::testing::Test {
protected:
    CsvExportTest() {
        exec(db.admin(),
             "CREATE TABLE velkin_transfer_export.t (id INT, name VARCHAR(20), note VARCHAR(20))");
    }
    void fillNumbers(int count) {
        exec(db.admin(), "CREATE TABLE velkin_transfer_export.n (id INT PRIMARY KEY)");
        exec(db.admin(),
             sqlf("INSERT INTO velkin_transfer_export.n SELECT seq FROM velkin_transfer_export.seq_1_to_%d",
                  count));
    }
    QGroupBox* group(QDialog& d, const char* title) { return child<QGroupBox>(d, QString::fromUtf8(title)); }
    void chooseList(QDialog& d, const char* title, const QString& entry) {
        QGroupBox* g = group(d, title);
        child<QRadioButton>(*g, "Default")->setChecked(true);
        auto* list = child<QComboBox>(*g, "Default list");
        const int i = list->findText(entry);
        ASSERT_GE(i, 0) << entry.toStdString();
        list->setCurrentIndex(i);
    }
    void chooseUser(QDialog& d, const char* title, const QString& text) {
        QGroupBox* g = group(d, title);
        child<QLineEdit>(*g, "user-given text")->setText(text);
        child<QRadioButton>(*g, "user-given")->setChecked(true);
    }
    /// Writes the file for the dialog's statement and returns its bytes.
    std::string writeFile(CsvExportDialog& dialog, const char* name) {
        const QString path = QString::fromStdString(dir.path()) + '/' + name;
        child<QLineEdit>(dialog, "File name")->setText(path);
        dialog.write();
        return fileBytes(path);
    }
    std::string sample(QDialog& d) { return child<QPlainTextEdit>(d, "Sample")->toPlainText().toStdString(); }

    ScratchDatabase db{"velkin_transfer_export"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

}  // namespace

TEST_F(CsvExportTest, FileLinesInEachFormEndWithCarriageReturnAndLineFeed) {
    exec(db.admin(), "INSERT INTO velkin_transfer_export.t VALUES (1, 'abc', NULL)");
    exec(db.admin(), "INSERT INTO velkin_transfer_export.t VALUES (2, 'x,y', 'two\\nlines')");
    CsvExportDialog dialog(*session, op, "Select * from velkin_transfer_export.t");
    EXPECT_EQ("The output to a CSV File", dialog.windowTitle());
    auto* separators = child<QComboBox>(*group(dialog, kSeparators), "Default list");
    EXPECT_EQ((QStringList{"Comma pause", "Tab pause"}),
              (QStringList{separators->itemText(0), separators->itemText(1)}));
    EXPECT_EQ("none", child<QComboBox>(*group(dialog, kEnclosures), "Default list")->currentText());

    // A value that would break the line is quoted; its line feed stays a bare line feed.
    EXPECT_EQ("1,abc,(null)\r\n2,\"x,y\",\"two\nlines\"\r\n", writeFile(dialog, "comma.csv"));
    EXPECT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());
    EXPECT_EQ("File output end", sample(dialog));

    chooseList(dialog, kSeparators, "Tab pause");
    chooseList(dialog, kEnclosures, "シングルコーテーション");
    EXPECT_EQ("'1'\t'abc'\t(null)\r\n'2'\t'x,y'\t'two\nlines'\r\n", writeFile(dialog, "tab.csv"));

    chooseUser(dialog, kSeparators, "::");
    chooseList(dialog, kEnclosures, "ダブルコーテイション");
    EXPECT_EQ("\"1\"::\"abc\"::(null)\r\n\"2\"::\"x,y\"::\"two\nlines\"\r\n", writeFile(dialog, "user.csv"));

    chooseUser(dialog, kSeparators, "");
    chooseList(dialog, kEnclosures, "none");
    // Such a file cannot be read back: it is written only once the person has said Yes.
    op.clear();
    EXPECT_EQ("", writeFile(dialog, "refused.csv"));
    ASSERT_EQ(1u, op.questions.size());
    EXPECT_EQ(
        "There is no separator: the values of a line run together.\nValues of this file cannot all come "
        "back when it is imported. May I write it anyway?",
        op.questions[0].text);
    EXPECT_TRUE(op.messageTexts().isEmpty());
    op.answer(true);
    EXPECT_EQ("1abc(null)\r\n2x,y\"two\nlines\"\r\n", writeFile(dialog, "empty.csv"));

    // Another NULL spelling reaches the file and the sample alike.
    child<QComboBox>(dialog, "NULL")->setCurrentText("\\N");
    chooseList(dialog, kSeparators, "Comma pause");
    EXPECT_EQ("1,abc,\\N\n2,\"x,y\",\"two\nlines\"\n", sample(dialog));
    EXPECT_EQ("1,abc,\\N\r\n2,\"x,y\",\"two\nlines\"\r\n", writeFile(dialog, "slashN.csv"));
}

TEST_F(CsvExportTest, SampleShowsSixRowsOnceTheOptionsChange) {
    for (int i = 1; i <= 8; ++i)
        exec(db.admin(), sqlf("INSERT INTO velkin_transfer_export.t VALUES (%d, 'n%d', NULL)", i, i));
    StatementLog log;
    CsvExportDialog dialog(*session, op, "select id, name from velkin_transfer_export.t");
    EXPECT_TRUE(log.statements.empty()) << "no sample before a change";
    EXPECT_EQ("", sample(dialog));
    chooseList(dialog, kEnclosures, "ダブルコーテイション");
    EXPECT_EQ("select id, name from velkin_transfer_export.t Limit 6", log.statements.back());
    EXPECT_EQ("\"1\",\"n1\"\n\"2\",\"n2\"\n\"3\",\"n3\"\n\"4\",\"n4\"\n\"5\",\"n5\"\n\"6\",\"n6\"\n",
              sample(dialog));
}

TEST_F(CsvExportTest, WholeTableOnceWithOneStatementAndProgressPerThousandRows) {
    fillNumbers(2500);
    for (int count : {1000, 2500}) {
        CsvExportDialog dialog(
            *session, op,
            QString::fromStdString(sqlf("Select * from velkin_transfer_export.n where id <= %d", count)));
        QStringList progress;
        std::vector<bool> busy;
        QObject::connect(&dialog, &CsvExportDialog::progressShown, [&](const QString& text) {
            progress << text;
            busy.push_back(session->isBusy());
        });
        StatementLog log;
        op.clear();
        const std::string bytes = writeFile(dialog, "numbers.csv");
        std::string expected;
        for (int i = 1; i <= count; ++i)
            expected += std::to_string(i) + "\r\n";
        EXPECT_EQ(expected.size(), bytes.size());
        EXPECT_TRUE(expected == bytes) << "every row once, in order, each line ending in CR LF";
        EXPECT_EQ(
            std::vector<std::string>{sqlf("Select * from velkin_transfer_export.n where id <= %d", count)},
            log.statements);
        if (count == 1000) {
            EXPECT_EQ(QStringList{"Under a file output・・・1 Record"}, progress);
        } else {
            EXPECT_EQ(
                (QStringList{"Under a file output・・・1 Record", "Under a file output・・・1001 Record",
                             "Under a file output・・・2001 Record"}),
                progress);
        }
        EXPECT_EQ(std::vector<bool>(progress.size(), true), busy) << "the session is busy while rows stream";
        EXPECT_FALSE(session->isBusy());
        EXPECT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());
        EXPECT_EQ(0, op.waitDepth);
    }
}

TEST_F(CsvExportTest, RefusedStatementEmptyNameAndUnwritableFile) {
    CsvExportDialog refused(*session, op, "Select * from velkin_transfer_export.no_such_table");
    const QString path = QString::fromStdString(dir.path()) + "/refused.csv";
    writeFileBytes(path, "old content");
    child<QLineEdit>(refused, "File name")->setText(path);
    refused.write();
    EXPECT_EQ("", fileBytes(path));
    EXPECT_TRUE(QFile::exists(path));
    // Nothing was written, and the operator hears why rather than of a finished file.
    EXPECT_EQ(QStringList{"The statement was refused; nothing was written.\n1146:Table "
                          "'velkin_transfer_export.no_such_table' doesn't exist"},
              op.messageTexts());

    op.clear();
    CsvExportDialog dialog(*session, op, "Select * from velkin_transfer_export.t");
    StatementLog log;
    dialog.write();
    child<QLineEdit>(dialog, "File name")
        ->setText(QString::fromStdString(dir.path()) + "/no/such/folder/x.csv");
    dialog.write();
    EXPECT_EQ((QStringList{"A file name is inputted.", "It failed in opening of a file."}),
              op.messageTexts());
    EXPECT_TRUE(log.statements.empty());

    // The chooser fills the name and gives it the csv extension when it has none.
    op.choose(QString::fromStdString(dir.path()) + "/chosen");
    dialog.chooseFile();
    EXPECT_EQ(QString::fromStdString(dir.path()) + "/chosen.csv",
              child<QLineEdit>(dialog, "File name")->text());
}

TEST_F(CsvExportTest, AStatementThatChangesDataIsNeverSentBySampleOrWrite) {
    exec(db.admin(), "INSERT INTO velkin_transfer_export.t VALUES (1, 'a', NULL), (2, 'b', NULL)");
    CsvExportDialog dialog(*session, op, "DELETE FROM velkin_transfer_export.t");
    StatementLog log;
    chooseList(dialog, kEnclosures, "ダブルコーテイション");
    chooseUser(dialog, kSeparators, ";");
    const QString path = QString::fromStdString(dir.path()) + "/delete.csv";
    writeFileBytes(path, "kept");
    child<QLineEdit>(dialog, "File name")->setText(path);
    dialog.write();
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(QStringList{"Only a statement that reads rows (SELECT, SHOW, DESCRIBE, EXPLAIN) can be output "
                          "to a CSV file. Nothing was sent."},
              op.messageTexts());
    EXPECT_EQ("kept", fileBytes(path)) << "the file is not even truncated";
    EXPECT_EQ("2", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_transfer_export.t"));
}

TEST_F(CsvExportTest, KilledConnectionMidReadSaysHowManyRecordsTheIncompleteFileHolds) {
    exec(db.admin(), "CREATE TABLE velkin_transfer_export.big (id INT PRIMARY KEY, pad VARCHAR(100))");
    exec(db.admin(),
         "INSERT INTO velkin_transfer_export.big SELECT seq, REPEAT('x', 100) FROM "
         "velkin_transfer_export.seq_1_to_200000");
    CsvExportDialog dialog(*session, op, "Select * from velkin_transfer_export.big");
    const unsigned long victim = session->threadId();
    bool killed = false;
    QObject::connect(&dialog, &CsvExportDialog::progressShown, [&] {
        if (!killed)
            exec(db.admin(), sqlf("KILL %lu", victim));
        killed = true;
    });
    const std::string bytes = writeFile(dialog, "killed.csv");
    ASSERT_TRUE(killed);
    const QStringList messages = op.messageTexts();
    ASSERT_EQ(1, messages.size());
    long long lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 200000);
    const std::string expected =
        sqlf("Reading the rows broke off after %lld records; the file is incomplete.\n", lines);
    EXPECT_EQ(expected, messages[0].toStdString().substr(0, expected.size()));
    EXPECT_EQ("File output stopped", sample(dialog));
    // Every line that is in the file is whole.
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
}

TEST_F(CsvExportTest, StopEndsTheOutputAndSaysHowManyRecordsTheFileHolds) {
    exec(db.admin(), "CREATE TABLE velkin_transfer_export.big (id INT PRIMARY KEY, pad VARCHAR(100))");
    exec(db.admin(),
         "INSERT INTO velkin_transfer_export.big SELECT seq, REPEAT('x', 100) FROM "
         "velkin_transfer_export.seq_1_to_200000");
    CsvExportDialog dialog(*session, op, "Select * from velkin_transfer_export.big");
    bool stopped = false;
    QObject::connect(&dialog, &CsvExportDialog::progressShown, [&] {
        if (stopped)
            return;
        stopped = true;
        EXPECT_FALSE(child<QPushButton>(dialog, "OK")->isEnabled());
        child<QPushButton>(dialog, "Stop")->click();
    });
    const std::string bytes = writeFile(dialog, "stopped.csv");
    ASSERT_TRUE(stopped);
    long long lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    EXPECT_LT(lines, 200000);
    EXPECT_EQ(QStringList{QString::fromStdString(
                  sqlf("The output was stopped after %lld records; the file is incomplete.", lines))},
              op.messageTexts());
    EXPECT_EQ("File output stopped", sample(dialog));
    EXPECT_TRUE(child<QPushButton>(dialog, "Cancel")->isEnabled());
    // The session is free again, and no statement of the output is left on the server.
    EXPECT_EQ("1", scalar(*session, "SELECT 1"));
    EXPECT_EQ("0", scalar(db.admin(),
                          "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO = "
                          "'Select * from velkin_transfer_export.big'"));
}

TEST_F(CsvExportTest, FullDiskIsReportedAndNeverCalledWritten) {
    fillNumbers(3000);
    CsvExportDialog dialog(*session, op, "Select * from velkin_transfer_export.n");
    child<QLineEdit>(dialog, "File name")->setText("/dev/full");
    dialog.write();
    ASSERT_EQ(1, op.messageTexts().size());
    // How many records were handed to the file before the device said no depends on its buffer.
    const std::string message = op.messageTexts()[0].toStdString();
    long long records = -1;
    ASSERT_EQ(1, std::sscanf(message.c_str(), "Writing the file failed after %lld records", &records))
        << message;
    EXPECT_LE(records, 3000);
    EXPECT_EQ(
        sqlf("Writing the file failed after %lld records (No space left on device); the file is incomplete.",
             records),
        message);
    EXPECT_FALSE(session->isBusy());
    // The session still works afterwards.
    EXPECT_EQ("3000", scalar(*session, "SELECT COUNT(*) FROM velkin_transfer_export.n"));
}
