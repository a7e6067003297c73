#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "TransferTesting.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/CsvImportDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const char* kSeparators = "FIELDS TERMINATES BY  ";
const char* kEnclosures = "FIELDS ENCLOSED BY ";

// Every column is compared byte for byte (BINARY) and NULL-safe, so '' and NULL, 'a' and 'A',
// 'x' and 'x ' all count as differences.
const char* kColumns[] = {"t", "v", "b", "d", "f", "dt", "ts", "n", "e"};

class CsvRoundTripTest : public ::testing::Test {
protected:
    /// The hard values in db.hard, and an empty db.back of the same form.
    void createTables(const std::string& db, const char* textCharset) {
        exec(*session, sqlf("CREATE TABLE %s.hard (id INT PRIMARY KEY, t MEDIUMTEXT CHARACTER SET %s, v "
                            "VARCHAR(100) CHARACTER SET %s, b LONGBLOB, d DECIMAL(20,6), f DOUBLE, dt DATE, "
                            "ts DATETIME(3), n INT, e ENUM('a','b'))",
                            db, textCharset, textCharset));
        const char* rows[] = {
            "(1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)",
            "(2, '', '', '', 0, 0, '2000-01-01', '2000-01-01 00:00:00', 0, 'a')",
            "(3, 'NULL', '(null)', 'NULL', -1.5, -0.0001, '1999-12-31', '2038-01-19 03:14:07.123', -7, 'b')",
            "(4, '(null)', 'NULL', '(null)', 12345678901234.123456, 1.7976931348623157e308, '0001-01-01', "
            "'1970-01-01 00:00:01', 2147483647, 'a')",
            "(5, 'say \"hi\" and ''bye''', 'comma,semi;pipe|', '\"', 0.000001, 3.141592653589793, "
            "'2024-02-29', '2024-02-29 23:59:59.999', -2147483648, NULL)",
            "(6, 'tab\\there', 'line1\\nline2', 'cr\\rlf\\r\\n', 1, 2.2250738585072014e-308, NULL, NULL, "
            "1, NULL)",
            "(7, 'C:\\\\path\\\\file', 'trailing\\\\', '\\\\0\\\\t', 2, 1e-5, NULL, NULL, 2, NULL)",
            "(8, 'emoji 😀 漢字 ｶﾀｶﾅ', '\\\\', UNHEX('000102030A0D090B0C1B22272C5C7F80FEFF'), 3, 1e22, "
            "NULL, NULL, 3, NULL)",
            "(9, REPEAT('30 KB text ü😀\\n', 2048), ' lead and trail ', RANDOM_BYTES(1024), 4, 0.1, NULL, "
            "NULL, NULL, NULL)",
            "(10, '\"', '''', CONCAT(RANDOM_BYTES(1024), REPEAT(UNHEX('0D0A220A2C'), 12000)), 5, -1e-300, "
            "NULL, NULL, NULL, NULL)",
            "(11, '\\r\\n', '\"\"', 'x', 6, 6, NULL, NULL, NULL, NULL)",
            "(12, ',', '::', '|', 7, 7, NULL, NULL, NULL, NULL)",
        };
        for (const char* row : rows)
            exec(*session, sqlf("INSERT INTO %s.hard VALUES %s", db, row));
        exec(*session, sqlf("CREATE TABLE %s.back LIKE %s.hard", db, db));
    }

    /// Rows of db.hard (those the condition picks) that have no equal row in db.back, plus the
    /// rows of db.back that are not in db.hard.
    std::string differing(const std::string& db, const std::string& where = "1") {
        std::string on = "h.id = k.id";
        for (const char* c : kColumns)
            on += sqlf(" AND BINARY h.%s <=> BINARY k.%s", c, c);
        const std::string missing =
            scalar(*session, sqlf("SELECT CONCAT(COUNT(*), IFNULL(CONCAT(' ids ', GROUP_CONCAT(h.id)), '')) "
                                  "FROM %s.hard h LEFT JOIN %s.back k ON %s WHERE k.id IS NULL AND %s",
                                  db, db, on, where));
        const std::string extra = scalar(
            *session,
            sqlf("SELECT COUNT(*) FROM %s.back k LEFT JOIN %s.hard h ON h.id = k.id WHERE h.id IS NULL", db,
                 db));
        return missing + "+" + extra;
    }

    void chooseList(QDialog& d, const char* title, const QString& entry) {
        auto* g = child<QGroupBox>(d, QString::fromUtf8(title));
        child<QRadioButton>(*g, "Default")->setChecked(true);
        auto* list = child<QComboBox>(*g, "Default list");
        list->setCurrentIndex(list->findText(entry));
        ASSERT_EQ(entry, list->currentText());
    }
    void chooseUser(QDialog& d, const char* title, const QString& text) {
        auto* g = child<QGroupBox>(d, QString::fromUtf8(title));
        child<QLineEdit>(*g, "user-given text")->setText(text);
        child<QRadioButton>(*g, "user-given")->setChecked(true);
    }
    void chooseTable(CsvImportDialog& dialog, const std::string& db, const char* table) {
        auto* dbs = child<QListWidget>(dialog, "database list");
        auto found = dbs->findItems(QString::fromStdString(db), Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty());
        dbs->setCurrentItem(found.first());
        auto* tables = child<QListWidget>(dialog, "table list");
        found = tables->findItems(table, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty());
        tables->setCurrentItem(found.first());
    }
    QLineEdit* edit(QDialog& d, const char* name) { return child<QLineEdit>(d, QString::fromUtf8(name)); }

    /// Imports path into db.back with the given format texts (as typed) and returns what the
    /// operator was told.
    QString import(const std::string& db, const QString& path, const QString& terminated,
                   const QString& enclosed, const QString& nullText, const char* table = "back") {
        CsvImportDialog dialog(*session, op);
        chooseTable(dialog, db, table);
        edit(dialog, "File name")->setText(path);
        child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(true);
        edit(dialog, "TERMINATED")->setText(terminated);
        edit(dialog, "OPTIONALLY")->setText(enclosed);
        edit(dialog, "ESCAPED")->setText("none");
        edit(dialog, "LINES_TERMINATED")->setText("\\r\\n");
        edit(dialog, "NULL")->setText(nullText);
        op.clear();
        op.answer(true);
        dialog.import();
        return op.messageTexts().value(0);
    }

    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

struct Combination {
    const char* separatorEntry;  // nullptr: the user text "::"
    const char* enclosureEntry;  // nullptr: the user text "|"
    const char* importTerminated;
    const char* importEnclosed;
};

const Combination kCombinations[] = {
    {"Comma pause", "none", ",", "\""},
    {"Comma pause", "シングルコーテーション", ",", "'"},
    {"Comma pause", "ダブルコーテイション", ",", "\""},
    {"Comma pause", nullptr, ",", "|"},
    {"Tab pause", "none", "\\t", "\""},
    {"Tab pause", "シングルコーテーション", "\\t", "'"},
    {"Tab pause", "ダブルコーテイション", "\\t", "\""},
    {"Tab pause", nullptr, "\\t", "|"},
    {nullptr, "none", "::", "\""},
    {nullptr, "シングルコーテーション", "::", "'"},
    {nullptr, "ダブルコーテイション", "::", "\""},
    {nullptr, nullptr, "::", "|"},
};

}  // namespace

TEST_F(CsvRoundTripTest, EveryValueComesBackInEachFormInUtf8AndLatin1Databases) {
    ScratchDatabase utf8{"velkin_csv_utf8"};
    ScratchDatabase latin1{"velkin_csv_latin1"};
    exec(*session, "ALTER DATABASE velkin_csv_utf8 CHARACTER SET utf8mb4");
    exec(*session, "ALTER DATABASE velkin_csv_latin1 CHARACTER SET latin1");
    createTables(utf8.name(), "utf8mb4");
    createTables(latin1.name(), "utf8mb4");
    ASSERT_EQ("12", scalar(*session, "SELECT COUNT(*) FROM velkin_csv_latin1.hard"));
    ASSERT_EQ("61024", scalar(*session, "SELECT LENGTH(b) FROM velkin_csv_latin1.hard WHERE id = 10"));

    int n = 0;
    for (const std::string& db : {utf8.name(), latin1.name()}) {
        for (const Combination& c : kCombinations) {
            SCOPED_TRACE(db + " " + (c.separatorEntry ? c.separatorEntry : "::") + " / " +
                         (c.enclosureEntry ? c.enclosureEntry : "|"));
            CsvExportDialog exporter(*session, op, QString::fromStdString("Select * from " + db + ".hard"));
            if (c.separatorEntry)
                chooseList(exporter, kSeparators, QString::fromUtf8(c.separatorEntry));
            else
                chooseUser(exporter, kSeparators, "::");
            if (c.enclosureEntry)
                chooseList(exporter, kEnclosures, QString::fromUtf8(c.enclosureEntry));
            else
                chooseUser(exporter, kEnclosures, "|");
            // A text "(null)" is among the values, so NULL takes the other spelling.
            child<QComboBox>(exporter, "NULL")->setCurrentText("\\N");
            const QString path = QString::fromStdString(dir.path()) + QString("/rt%1.csv").arg(++n);
            edit(exporter, "File name")->setText(path);
            op.clear();
            exporter.write();
            ASSERT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());

            exec(*session, "DELETE FROM " + db + ".back");
            const QString told = import(db, path, c.importTerminated, c.importEnclosed, "\\N");
            EXPECT_EQ("Data was imported normally.\nRecords: 12  Deleted: 0  Skipped: 0  Warnings: 0", told);
            EXPECT_EQ("0+0", differing(db));
        }
    }
}

TEST_F(CsvRoundTripTest, TheExportsDefaultFileComesBackWithTheImportsOneButton) {
    ScratchDatabase db{"velkin_csv_default"};
    createTables(db.name(), "utf8mb4");
    CsvExportDialog exporter(*session, op, "Select * from velkin_csv_default.hard");
    EXPECT_EQ("(null)", child<QComboBox>(exporter, "NULL")->currentText());
    const QString path = QString::fromStdString(dir.path()) + "/default.csv";
    edit(exporter, "File name")->setText(path);
    exporter.write();
    const std::string bytes = fileBytes(path);
    // NULL is bare; the text "(null)" is quoted, so the file tells them apart for any reader.
    EXPECT_EQ(0u, bytes.find("1,(null),(null),(null),(null),(null),(null),(null),(null),(null)\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("\r\n4,\"(null)\",\"NULL\",\"(null)\",")) << bytes.substr(0, 400);

    CsvImportDialog dialog(*session, op);
    chooseTable(dialog, db.name(), "back");
    edit(dialog, "File name")->setText(path);
    child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(true);
    for (const char* name : {"TERMINATED", "OPTIONALLY", "ESCAPED", "LINES_TERMINATED"})
        edit(dialog, name)->clear();
    child<QPushButton>(dialog, "Settings of the CSV export")->click();
    EXPECT_EQ(",", edit(dialog, "TERMINATED")->text());
    EXPECT_EQ("\"", edit(dialog, "OPTIONALLY")->text());
    EXPECT_EQ("none", edit(dialog, "ESCAPED")->text());
    EXPECT_EQ("\\r\\n", edit(dialog, "LINES_TERMINATED")->text());
    EXPECT_EQ("(null)", edit(dialog, "NULL")->text());
    StatementLog log;
    op.clear();
    op.answer(true);
    dialog.import();
    EXPECT_EQ(QStringList{"Data was imported normally.\nRecords: 12  Deleted: 0  Skipped: 0  Warnings: 0"},
              op.messageTexts());
    ASSERT_EQ(1u, log.statements.size());
    EXPECT_EQ("LOAD DATA LOCAL INFILE '" + path.toStdString() +
                  "' INTO TABLE velkin_csv_default.back CHARACTER SET utf8mb4 FIELDS TERMINATED BY ',' "
                  "OPTIONALLY ENCLOSED BY '\\\"' ESCAPED BY '' LINES TERMINATED BY '\\r\\n' (@v1, @v2, @v3, "
                  "@v4, @v5, @v6, @v7, @v8, @v9, @v10) SET id = NULLIF(@v1, '(null)'), t = NULLIF(@v2, "
                  "'(null)'), v = NULLIF(@v3, '(null)'), b = NULLIF(@v4, '(null)'), d = NULLIF(@v5, "
                  "'(null)'), f = NULLIF(@v6, '(null)'), dt = NULLIF(@v7, '(null)'), ts = NULLIF(@v8, "
                  "'(null)'), n = NULLIF(@v9, '(null)'), e = NULLIF(@v10, '(null)')",
              log.statements[0]);
    // Under the "(null)" spelling only a text that is that spelling itself cannot come back as a text.
    EXPECT_EQ("0+0", differing(db.name(), "h.id <> 4 AND h.v <> '(null)'"));
    EXPECT_EQ("1", scalar(*session,
                          "SELECT COUNT(*) FROM velkin_csv_default.back WHERE id = 1 AND t IS NULL "
                          "AND b IS NULL AND n IS NULL AND e IS NULL AND dt IS NULL"));
}

TEST_F(CsvRoundTripTest, AnotherProgramsRfc4180FileImportsExactly) {
    ScratchDatabase db{"velkin_csv_rfc"};
    exec(*session, "CREATE TABLE velkin_csv_rfc.people (id INT PRIMARY KEY, name VARCHAR(40), note TEXT)");
    const QString path = QString::fromStdString(dir.path()) + "/rfc.csv";
    writeFileBytes(path,
                   "1,\"say \"\"hi\"\"\",\"a,b\"\r\n"
                   "2,\"two\r\nlines\",plain\r\n"
                   "3,,\"\"\r\n"
                   "4,C:\\dir\\,\"tab\there\nand a bare line feed\"\r\n"
                   "5,\"ｶﾀｶﾅ 😀\",\"\"\"\"\r\n");
    EXPECT_EQ("Data was imported normally.\nRecords: 5  Deleted: 0  Skipped: 0  Warnings: 0",
              import(db.name(), path, ",", "\"", "(null)", "people"));
    EXPECT_EQ(
        "1|say \"hi\"|a,b\n"
        "2|two\r\nlines|plain\n"
        "3||\n"
        "4|C:\\dir\\|tab\there\nand a bare line feed\n"
        "5|ｶﾀｶﾅ 😀|\"",
        scalar(*session,
               "SELECT GROUP_CONCAT(CONCAT_WS('|', id, name, note) ORDER BY id SEPARATOR '\\n') "
               "FROM velkin_csv_rfc.people"));
}

TEST_F(CsvRoundTripTest, SkippedRowsAndWarningsAreToldInTheServersWords) {
    ScratchDatabase db{"velkin_csv_warn"};
    exec(*session, "CREATE TABLE velkin_csv_warn.people (id INT PRIMARY KEY, name VARCHAR(5))");
    const QString path = QString::fromStdString(dir.path()) + "/warn.csv";
    writeFileBytes(path, "1,one\r\n1,again\r\n2,much too long\r\n");
    const QString told = import(db.name(), path, ",", "\"", "(null)", "people");
    EXPECT_FALSE(told.contains("Data was imported normally.")) << told.toStdString();
    EXPECT_EQ(
        "Records: 3  Deleted: 0  Skipped: 1  Warnings: 2\n"
        "Warning 1062: Duplicate entry '1' for key 'PRIMARY'",
        told);
    EXPECT_EQ("2", scalar(*session, "SELECT COUNT(*) FROM velkin_csv_warn.people"));
}
