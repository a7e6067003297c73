#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
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
// 'x' and 'x ' all count as differences. The invisible column is not in the rows the export reads, so
// it must keep its default on both sides.
const char* kColumns[] = {"t", "v", "b", "hid", "d", "f", "gs", "dt", "ts", "n", "e", "gv"};

class CsvRoundTripTest : public ::testing::Test {
protected:
    /// The hard values in db.hard, and an empty db.back of the same form. Among them the texts
    /// that look like NULL spellings without being one ("(NULL)", "(null) ", backslash n).
    void createTables(const std::string& db, const char* textCharset) {
        exec(*session,
             sqlf("CREATE TABLE %s.hard (id INT PRIMARY KEY, t MEDIUMTEXT CHARACTER SET %s, v "
                  "VARCHAR(100) CHARACTER SET %s, b LONGBLOB, hid INT INVISIBLE DEFAULT 5, d "
                  "DECIMAL(20,6), f DOUBLE, gs BIGINT AS (n + 1) STORED, dt DATE, ts DATETIME(3), n "
                  "INT, e ENUM('a','b'), gv VARCHAR(40) AS (CONCAT_WS('/', id, e, dt)) VIRTUAL)",
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
            "(13, '(NULL)', '(null) ', '\\\\n', 8, 8, NULL, NULL, 8, 'b')",
        };
        for (const char* row : rows)
            exec(*session, sqlf("INSERT INTO %s.hard (id, t, v, b, d, f, dt, ts, n, e) VALUES %s", db, row));
        exec(*session, sqlf("CREATE TABLE %s.back LIKE %s.hard", db, db));
    }

    /// Rows of db.hard that have no equal row in db.back, plus the rows of db.back that are not in
    /// db.hard. With lost, a text that is exactly that spelling may have come back as NULL.
    std::string differing(const std::string& db, const char* lost = nullptr) {
        std::string on = "h.id = k.id";
        for (const char* c : kColumns) {
            std::string same = sqlf("BINARY h.%s <=> BINARY k.%s", c, c);
            if (lost)
                same = sqlf("(%s OR (BINARY h.%s = '%s' AND k.%s IS NULL))", same, c, lost, c);
            on += " AND " + same;
        }
        const std::string missing =
            scalar(*session, sqlf("SELECT CONCAT(COUNT(*), IFNULL(CONCAT(' ids ', GROUP_CONCAT(h.id)), '')) "
                                  "FROM %s.hard h LEFT JOIN %s.back k ON %s WHERE k.id IS NULL",
                                  db, db, on));
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
    /// operator was told. The client reads the file unless the server is to.
    QString import(const std::string& db, const QString& path, const QString& terminated,
                   const QString& enclosed, const QString& nullText, const char* table = "back",
                   bool local = true) {
        CsvImportDialog dialog(*session, op);
        chooseTable(dialog, db, table);
        edit(dialog, "File name")->setText(path);
        child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(local);
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

    /// The rows of the statement written by the export with its defaults, but for the NULL spelling.
    QString exportDefault(const std::string& statement, const QString& nullText, const char* name) {
        CsvExportDialog exporter(*session, op, QString::fromStdString(statement));
        EXPECT_EQ("(null)", child<QComboBox>(exporter, "NULL")->currentText());
        child<QComboBox>(exporter, "NULL")->setCurrentText(nullText);
        const QString path = QString::fromStdString(dir.path()) + "/" + name;
        edit(exporter, "File name")->setText(path);
        op.clear();
        exporter.write();
        EXPECT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());
        return path;
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
    ASSERT_EQ("13", scalar(*session, "SELECT COUNT(*) FROM velkin_csv_latin1.hard"));
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
            EXPECT_EQ("Data was imported normally.\nRecords: 13  Deleted: 0  Skipped: 0  Warnings: 0", told);
            EXPECT_EQ("0+0", differing(db));
        }
    }
}

TEST_F(CsvRoundTripTest,
       TheExportsDefaultFileComesBackExactlyAndThroughTheServerWithGeneratedColumnsDropped) {
    ScratchDatabase db{"velkin_csv_default"};
    createTables(db.name(), "utf8mb4");
    // The server's default strict mode, under which a value for a generated column refuses the load.
    ASSERT_NE(std::string::npos, scalar(*session, "SELECT @@sql_mode").find("STRICT_TRANS_TABLES"));
    const QString path = exportDefault("Select * from velkin_csv_default.hard", "(null)", "default.csv");
    const std::string bytes = fileBytes(path);
    // NULL is bare; the text "(null)" is quoted, so the file tells them apart for any reader.
    EXPECT_EQ(0u,
              bytes.find("1,(null),(null),(null),(null),(null),(null),(null),(null),(null),(null),1\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("\r\n4,\"(null)\",\"NULL\",\"(null)\",")) << bytes.substr(0, 400);

    CsvImportDialog dialog(*session, op);
    chooseTable(dialog, db.name(), "back");
    edit(dialog, "File name")->setText(path);
    for (const char* name : {"TERMINATED", "OPTIONALLY", "ESCAPED", "LINES_TERMINATED"})
        edit(dialog, name)->clear();
    auto* local = child<QCheckBox>(dialog, "The file of a client is imported.");
    EXPECT_FALSE(local->isChecked());
    child<QPushButton>(dialog, "Settings of the CSV export")->click();
    EXPECT_EQ(",", edit(dialog, "TERMINATED")->text());
    EXPECT_EQ("\"", edit(dialog, "OPTIONALLY")->text());
    EXPECT_EQ("none", edit(dialog, "ESCAPED")->text());
    EXPECT_EQ("\\r\\n", edit(dialog, "LINES_TERMINATED")->text());
    EXPECT_EQ("(null)", edit(dialog, "NULL")->text());
    // The export's file is on the client's disk; the program reads it and keeps the enclosed texts
    // apart from the bare NULLs.
    EXPECT_TRUE(local->isChecked());
    EXPECT_TRUE(child<QLabel>(dialog, "NULL note")->isHidden());
    StatementLog log;
    op.clear();
    op.answer(true);
    dialog.import();
    EXPECT_EQ(QStringList{"Data was imported normally.\nRecords: 13  Deleted: 0  Skipped: 0  Warnings: 0"},
              op.messageTexts());
    ASSERT_EQ(1u, log.statements.size());
    EXPECT_EQ("LOAD DATA LOCAL INFILE '" + path.toStdString() +
                  "' INTO TABLE velkin_csv_default.back CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\t' "
                  "ESCAPED BY '\\\\' LINES TERMINATED BY '\\n' (id, t, v, b, d, f, @v7, dt, ts, n, e, @v12)",
              log.statements[0]);
    EXPECT_EQ("0+0", differing(db.name()));

    // Read by the server, the quotes are gone before the statement sees the field: the screen says
    // beforehand, and the report afterwards, that a text "(null)" cannot come back as a text.
    exec(*session, "DELETE FROM velkin_csv_default.back");
    local->setChecked(false);
    EXPECT_FALSE(child<QLabel>(dialog, "NULL note")->isHidden());
    log.clear();
    op.clear();
    op.answer(true);
    dialog.import();
    EXPECT_EQ(
        QStringList{"Data was imported normally.\nRecords: 13  Deleted: 0  Skipped: 0  Warnings: 0\n"
                    "The server read the file: a text \"(null)\" in it, enclosed or not, became NULL as "
                    "well. The file of a client is read exactly."},
        op.messageTexts());
    ASSERT_EQ(1u, log.statements.size());
    EXPECT_EQ(
        "LOAD DATA INFILE '" + path.toStdString() +
            "' INTO TABLE velkin_csv_default.back CHARACTER SET utf8mb4 FIELDS TERMINATED BY ',' OPTIONALLY "
            "ENCLOSED BY '\\\"' ESCAPED BY '' LINES TERMINATED BY '\\r\\n' (@v1, @v2, @v3, @v4, @v5, @v6, "
            "@v7, "
            "@v8, @v9, @v10, @v11, @v12) SET id = IF(CAST(@v1 AS BINARY) = '(null)', NULL, @v1), t = "
            "IF(CAST(@v2 AS BINARY) = '(null)', NULL, @v2), v = IF(CAST(@v3 AS BINARY) = '(null)', NULL, "
            "@v3), "
            "b = IF(CAST(@v4 AS BINARY) = '(null)', NULL, @v4), d = IF(CAST(@v5 AS BINARY) = '(null)', NULL, "
            "@v5), f = IF(CAST(@v6 AS BINARY) = '(null)', NULL, @v6), dt = IF(CAST(@v8 AS BINARY) = "
            "'(null)', "
            "NULL, @v8), ts = IF(CAST(@v9 AS BINARY) = '(null)', NULL, @v9), n = IF(CAST(@v10 AS BINARY) = "
            "'(null)', NULL, @v10), e = IF(CAST(@v11 AS BINARY) = '(null)', NULL, @v11)",
        log.statements[0]);
    EXPECT_EQ("0+0", differing(db.name(), "(null)"));

    // Under the spelling NULL the server keeps the bare word apart from the quoted text itself: every
    // value comes back.
    exec(*session, "DELETE FROM velkin_csv_default.back");
    const QString nullPath = exportDefault("Select * from velkin_csv_default.hard", "NULL", "null.csv");
    const std::string nullBytes = fileBytes(nullPath);
    EXPECT_EQ(0u, nullBytes.find("1,NULL,NULL,NULL,"));
    EXPECT_NE(std::string::npos, nullBytes.find("\r\n3,\"NULL\",(null),\"NULL\","));
    edit(dialog, "File name")->setText(nullPath);
    edit(dialog, "NULL")->setText("NULL");
    EXPECT_TRUE(child<QLabel>(dialog, "NULL note")->isHidden());
    op.clear();
    op.answer(true);
    dialog.import();
    EXPECT_EQ(QStringList{"Data was imported normally.\nRecords: 13  Deleted: 0  Skipped: 0  Warnings: 0"},
              op.messageTexts());
    EXPECT_EQ("0+0", differing(db.name()));
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

TEST_F(CsvRoundTripTest, SkippedRowsWarningsAndRefusalsAreToldPlainly) {
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

    // Every record already there: none landed, and the report opens by saying so.
    const QString again = QString::fromStdString(dir.path()) + "/again.csv";
    writeFileBytes(again, "1,uno\r\n2,dos\r\n");
    EXPECT_EQ(
        "Data was not imported: 0 of 2 records landed.\nRecords: 2  Deleted: 0  Skipped: 2  Warnings: 2\n"
        "Warning 1062: Duplicate entry '1' for key 'PRIMARY'",
        import(db.name(), again, ",", "\"", "(null)", "people"));
    EXPECT_EQ("1|one,2|much ", scalar(*session,
                                      "SELECT GROUP_CONCAT(id, '|', name ORDER BY id) FROM "
                                      "velkin_csv_warn.people"));

    // Read by the server, a refused record stops the load: a transactional table keeps none of the
    // file, one without transactions the records before it.
    const QString refused = QString::fromStdString(dir.path()) + "/refused.csv";
    writeFileBytes(refused, "3,ok\r\n4,far too long\r\n");
    EXPECT_EQ(
        "Data was not imported: the server refused the load, and the table kept none of its records.\n"
        "Data too long for column 'name' at row 2",
        import(db.name(), refused, ",", "\"", "(null)", "people", false));
    EXPECT_EQ("2", scalar(*session, "SELECT COUNT(*) FROM velkin_csv_warn.people"));
    exec(*session, "CREATE TABLE velkin_csv_warn.plain (id INT PRIMARY KEY, name VARCHAR(5)) ENGINE=MyISAM");
    const QString twice = QString::fromStdString(dir.path()) + "/twice.csv";
    writeFileBytes(twice, "1,a\r\n2,b\r\n2,c\r\n");
    EXPECT_EQ(
        "Data was not imported in full: the server stopped the load, and records read before it stopped "
        "may stay in the table.\nDuplicate entry '2' for key 'PRIMARY'",
        import(db.name(), twice, ",", "\"", "(null)", "plain", false));
    EXPECT_EQ("1|a,2|b", scalar(*session,
                                "SELECT GROUP_CONCAT(id, '|', name ORDER BY id) FROM "
                                "velkin_csv_warn.plain"));
}

TEST_F(CsvRoundTripTest, TheSpellingNullKeepsNullApartFromEveryTextThatLooksLikeItInEachEncoding) {
    int n = 0;
    for (const char* charset : {"utf8mb4", "latin1"}) {
        const std::string db = std::string("velkin_csv_nullword_") + charset;
        ScratchDatabase scratch{db};
        exec(*session, sqlf("ALTER DATABASE %s CHARACTER SET %s", db, charset));
        for (const char* table : {"hard", "back"})
            exec(*session,
                 sqlf("CREATE TABLE %s.%s (id INT PRIMARY KEY, t VARCHAR(20), u VARCHAR(20))", db, table));
        exec(*session,
             sqlf("INSERT INTO %s.hard VALUES (1, NULL, 'NULL'), (2, 'null', 'Null'), (3, '(null)', "
                  "'\\\\N'), (4, 'NULL ', NULL), (5, '', 'nULL')",
                  db));
        for (const char* enclosure : {"none", "ダブルコーテイション"}) {
            SCOPED_TRACE(std::string(charset) + " " + enclosure);
            CsvExportDialog exporter(*session, op, QString::fromStdString("Select * from " + db + ".hard"));
            chooseList(exporter, kEnclosures, QString::fromUtf8(enclosure));
            child<QComboBox>(exporter, "NULL")->setCurrentText("NULL");
            const QString path = QString::fromStdString(dir.path()) + QString("/nullword%1.csv").arg(++n);
            edit(exporter, "File name")->setText(path);
            op.clear();
            exporter.write();
            ASSERT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());

            exec(*session, "DELETE FROM " + db + ".back");
            const QString told = import(db, path, ",", "\"", "NULL");
            EXPECT_EQ("Data was imported normally.\nRecords: 5  Deleted: 0  Skipped: 0  Warnings: 0", told);
            // Every cell as it was, NULL as NULL and each look-alike as its own bytes.
            EXPECT_EQ("0", scalar(*session,
                                  sqlf("SELECT COUNT(*) FROM %s.hard h LEFT JOIN %s.back k ON h.id = k.id "
                                       "AND BINARY h.t <=> BINARY k.t AND BINARY h.u <=> BINARY k.u "
                                       "WHERE k.id IS NULL",
                                       db, db)));
        }
    }
}

TEST_F(CsvRoundTripTest, NullStaysApartFromItsLookAlikesUnderEverySpellingSeparatorAndEnclosure) {
    ScratchDatabase scratch{"velkin_csv_lookalike"};
    const std::string db = scratch.name();
    for (const char* table : {"hard", "back"})
        exec(*session, sqlf("CREATE TABLE %s.%s (id INT PRIMARY KEY, a VARCHAR(20), b VARCHAR(20), c TEXT)",
                            db, table));
    // NULL beside each text that some spelling writes it as, in every column.
    exec(*session, sqlf("INSERT INTO %s.hard VALUES (1, NULL, 'NULL', 'null'), (2, '(null)', NULL, '\\\\N'), "
                        "(3, '', '\\\\N', NULL), (4, 'NULL', '', '(null)'), (5, NULL, NULL, NULL), "
                        "(6, '(NULL)', 'Null', '')",
                        db));
    struct Enclosure {
        const char* entry;  // nullptr: the user text
        const char* user;
        const char* imported;
    };
    const Enclosure enclosures[] = {{"none", "", "\""},
                                    {"シングルコーテーション", "", "'"},
                                    {"ダブルコーテイション", "", "\""},
                                    {nullptr, "|", "|"},
                                    {nullptr, "<<", "<<"}};
    const std::pair<const char*, const char*> separators[] = {
        {"Comma pause", ","}, {"Tab pause", "\\t"}, {nullptr, "::"}};
    int n = 0;
    for (const char* spelling : {"(null)", "\\N", "NULL"}) {
        for (const auto& [separatorEntry, separator] : separators) {
            for (const Enclosure& e : enclosures) {
                SCOPED_TRACE(std::string(spelling) + " " + separator + " " + e.imported);
                CsvExportDialog exporter(*session, op,
                                         QString::fromStdString("Select * from " + db + ".hard"));
                if (separatorEntry)
                    chooseList(exporter, kSeparators, QString::fromUtf8(separatorEntry));
                else
                    chooseUser(exporter, kSeparators, separator);
                if (e.entry)
                    chooseList(exporter, kEnclosures, QString::fromUtf8(e.entry));
                else
                    chooseUser(exporter, kEnclosures, e.user);
                child<QComboBox>(exporter, "NULL")->setCurrentText(spelling);
                const QString path = QString::fromStdString(dir.path()) + QString("/look%1.csv").arg(++n);
                edit(exporter, "File name")->setText(path);
                op.clear();
                exporter.write();
                ASSERT_EQ(QStringList{"It outputted to the file."}, op.messageTexts());

                exec(*session, "DELETE FROM " + db + ".back");
                EXPECT_EQ("Data was imported normally.\nRecords: 6  Deleted: 0  Skipped: 0  Warnings: 0",
                          import(db, path, separator, QString::fromUtf8(e.imported), spelling));
                EXPECT_EQ(
                    "0",
                    scalar(*session, sqlf("SELECT COUNT(*) FROM %s.hard h LEFT JOIN %s.back k ON h.id = k.id "
                                          "AND BINARY h.a <=> BINARY k.a AND BINARY h.b <=> BINARY k.b AND "
                                          "BINARY h.c <=> BINARY k.c WHERE k.id IS NULL",
                                          db, db)));
                EXPECT_EQ("6", scalar(*session, "SELECT COUNT(*) FROM " + db + ".back"));
            }
        }
    }
}

TEST_F(CsvRoundTripTest, WhatCannotComeBackExactlyIsToldNeverChangedQuietly) {
    ScratchDatabase db{"velkin_csv_told"};
    exec(*session, "CREATE TABLE velkin_csv_told.t (id INT PRIMARY KEY, a TEXT, b TEXT)");
    const auto held = [&] {
        return scalar(
            *session,
            "SELECT GROUP_CONCAT(CONCAT_WS('|', id, IFNULL(a, '<NULL>'), IFNULL(b, '<NULL>')) ORDER "
            "BY id SEPARATOR ';') FROM velkin_csv_told.t");
    };
    struct Case {
        const char* what;
        std::string file;
        const char* enclosed;
        const char* told;
        const char* held;
    };
    const Case cases[] = {
        // Written with no enclosure, a text "(null)" and NULL are the same bytes: taken as NULL, and said.
        {"no enclosure", "1,(null),abc\r\n2,x,(null)\r\n3,\"(null)\",y\r\n", "",
         "Records: 3  Deleted: 0  Skipped: 0  Warnings: 0\n2 values \"(null)\" became NULL: with no "
         "enclosure "
         "the file cannot keep a text \"(null)\" apart from NULL, so such a text is NULL in the table now.",
         "1|<NULL>|abc;2|x|<NULL>;3|\"(null)\"|y"},
        // A damaged last line: its enclosure never closes, so the record runs to the end of the file.
        {"unterminated last line", "1,a,b\r\n2,c,\"broken,\r\n", "\"",
         "Records: 2  Deleted: 0  Skipped: 0  Warnings: 0\nThe file ends inside an enclosed value: its last "
         "record was loaded as it stands and may be incomplete.",
         "1|a|b;2|c|broken,\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        exec(*session, "DELETE FROM velkin_csv_told.t");
        const QString path = QString::fromStdString(dir.path()) + "/told.csv";
        writeFileBytes(path, c.file);
        EXPECT_EQ(c.told, import(db.name(), path, ",", c.enclosed, "(null)", "t").toStdString());
        EXPECT_EQ(c.held, held());
    }
    // The screen says it before the import, too.
    CsvImportDialog dialog(*session, op);
    child<QCheckBox>(dialog, "The file of a client is imported.")->setChecked(true);
    edit(dialog, "OPTIONALLY")->clear();
    EXPECT_FALSE(child<QLabel>(dialog, "NULL note")->isHidden());
    EXPECT_EQ("Without an enclosure a text equal to this spelling cannot be told from NULL and becomes NULL.",
              child<QLabel>(dialog, "NULL note")->text());
    edit(dialog, "OPTIONALLY")->setText("\"");
    EXPECT_TRUE(child<QLabel>(dialog, "NULL note")->isHidden());
}
