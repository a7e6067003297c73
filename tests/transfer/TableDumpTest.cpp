#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <csignal>

#include <QFile>
#include <QLineEdit>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "TypeFamilies.h"
#include "session/ServerDialect.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/CopyStatements.h"
#include "transfer/CopyText.h"
#include "transfer/DumpText.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/TableDump.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class TableDumpTest : public ::testing::Test {
protected:
    TableDumpTest() {
        exec(db.admin(), "CREATE TABLE velkin_dump.big (id INT PRIMARY KEY, pad VARCHAR(100))");
        exec(db.admin(),
             "INSERT INTO velkin_dump.big SELECT seq, REPEAT('y', 100) FROM velkin_dump.seq_1_to_200000");
    }
    QString path(const char* name) const { return QString::fromStdString(dir.path()) + '/' + name; }

    ScratchDatabase db{"velkin_dump"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScratchDirectory dir;
};

/// A limit on the size of files this process writes, lifted again when it ends. Beyond it a write
/// fails with "File too large" instead of stopping the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

}  // namespace

TEST_F(TableDumpTest, StopEndsTheRowsAfterTheirBlockAndSaysTheFileIsIncomplete) {
    std::atomic<bool> stop{false};
    const DumpOutcome outcome = dumpTable(
        *session, "velkin_dump", "big", path("stopped.sql").toStdString(), [&](long long) { stop = true; },
        &stop);
    EXPECT_EQ(1000, outcome.rows);
    EXPECT_EQ("Dumping stopped after 1000 records; the file is incomplete.", outcome.failure);
    // What is in the file loads whole.
    std::unique_ptr<Connection> other = connectOther();
    exec(*other, "DROP DATABASE IF EXISTS velkin_dump");
    exec(*other, "CREATE DATABASE velkin_dump");
    EXPECT_EQ("", loadWithClient(path("stopped.sql"), otherServerPort()));
    EXPECT_EQ("1000", scalar(*other, "SELECT COUNT(*) FROM velkin_dump.big"));
    exec(*other, "DROP DATABASE velkin_dump");
}

TEST_F(TableDumpTest, KilledConnectionLeavesAFileOfWholeStatementsAndSaysSo) {
    const unsigned long victim = session->threadId();
    bool killed = false;
    const DumpOutcome outcome =
        dumpTable(*session, "velkin_dump", "big", path("killed.sql").toStdString(), [&](long long) {
            if (!killed)
                exec(db.admin(), sqlf("KILL %lu", victim));
            killed = true;
        });
    ASSERT_TRUE(killed);
    EXPECT_TRUE(outcome.opened);
    EXPECT_GT(outcome.rows, 0);
    EXPECT_LT(outcome.rows, 200000);
    const std::string expected =
        sqlf("Dumping stopped: reading the rows broke off after %lld records; the file is incomplete.\n",
             outcome.rows);
    EXPECT_EQ(expected, outcome.failure.substr(0, expected.size()));
    EXPECT_NE(std::string::npos, outcome.failure.find("Lost connection")) << outcome.failure;
    // What the file says it holds, it holds: it loads, with exactly that many rows.
    exec(db.admin(), "DROP TABLE velkin_dump.big");
    EXPECT_EQ("", loadWithClient(path("killed.sql")));
    EXPECT_EQ(std::to_string(outcome.rows), scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dump.big"));
}

TEST_F(TableDumpTest, FileSizeLimitMidFileIsReported) {
    DumpOutcome outcome;
    {
        FileSizeLimit limit(3 << 20);
        outcome = dumpTable(*session, "velkin_dump", "big", path("limited.sql").toStdString());
    }
    EXPECT_TRUE(outcome.opened);
    EXPECT_LT(outcome.rows, 200000);
    EXPECT_EQ(sqlf("Dumping stopped: writing the file failed after %lld records (File too large); the file "
                   "is incomplete.",
                   outcome.rows),
              outcome.failure);
    EXPECT_FALSE(session->isBusy());
    EXPECT_EQ("200000", scalar(*session, "SELECT COUNT(*) FROM velkin_dump.big"));

    const DumpOutcome full = dumpTable(*session, "velkin_dump", "big", "/dev/full");
    EXPECT_TRUE(full.opened);
    EXPECT_NE(std::string::npos, full.failure.find("(No space left on device); the file is incomplete."))
        << full.failure;
}

TEST_F(TableDumpTest, TortureTableComesBackExactThroughTheClientInEitherEscapingMode) {
    createTortureTable(db.admin(), "velkin_dump.torture");
    for (const char* mode : {"DEFAULT", "CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"}) {
        SCOPED_TRACE(mode);
        exec(db.admin(), "DROP TABLE IF EXISTS velkin_dump.original");
        exec(db.admin(), "CREATE TABLE velkin_dump.original LIKE velkin_dump.torture");
        exec(db.admin(), "INSERT INTO velkin_dump.original SELECT * FROM velkin_dump.torture");
        const std::vector<std::string> expected = tortureRows(db.admin(), "velkin_dump.original");
        // The session's own zone is far from UTC; the file still holds instants in UTC.
        exec(*session, "SET time_zone = '+09:00'");
        exec(*session, std::string("SET SESSION sql_mode = ") + mode);
        EXPECT_EQ(std::string(mode) != "DEFAULT", session->noBackslashEscapes());
        const DumpOutcome outcome =
            dumpTable(*session, "velkin_dump", "torture", path("torture.sql").toStdString());
        EXPECT_EQ("", outcome.failure);
        EXPECT_EQ(8, outcome.rows);
        EXPECT_EQ("+09:00", scalar(*session, "SELECT @@SESSION.time_zone"));
        exec(db.admin(), "DROP TABLE velkin_dump.torture");
        EXPECT_EQ("", loadWithClient(path("torture.sql")));
        EXPECT_EQ("0", differingRows(db.admin(), "velkin_dump.original", "velkin_dump.torture"));
        EXPECT_EQ("8", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dump.torture"));
        EXPECT_EQ(expected, tortureRows(db.admin(), "velkin_dump.torture"));
    }
}

TEST_F(TableDumpTest, EveryTypeFamilyLoadsExactlyIntoAFreshServerInStrictMode) {
    ScratchDatabase source("velkin_families");
    const std::vector<std::string> names = createTypeFamilies(source.admin(), "velkin_families");
    ASSERT_GE(names.size(), 20u);
    std::unique_ptr<Connection> other = connectOther();
    ASSERT_NE(std::string::npos, scalar(*other, "SELECT @@GLOBAL.sql_mode").find("STRICT_TRANS_TABLES"));
    exec(*other, "DROP DATABASE IF EXISTS velkin_families");
    exec(*other, "CREATE DATABASE velkin_families");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const QString file = path((name + ".sql").c_str());
        const DumpOutcome outcome = dumpTable(*session, "velkin_families", name, file.toStdString());
        EXPECT_EQ("", outcome.failure);
        // Each table alone into the empty database: a child without its parent, too.
        EXPECT_EQ("", loadWithClient(file, otherServerPort()));
        EXPECT_EQ(familyRows(source.admin(), "velkin_families", name),
                  familyRows(*other, "velkin_families", name));
        EXPECT_EQ(familyDefinition(source.admin(), "velkin_families", name),
                  familyDefinition(*other, "velkin_families", name));
    }
    // A view carries its definition, named with its database, and no rows.
    exec(source.admin(),
         "CREATE VIEW velkin_families.`parent view` AS SELECT id, UPPER(name) n FROM fk_parent");
    const DumpOutcome view =
        dumpTable(*session, "velkin_families", "parent view", path("view.sql").toStdString());
    EXPECT_EQ("", view.failure);
    EXPECT_EQ(0, view.rows);
    EXPECT_EQ("", loadWithClient(path("view.sql"), otherServerPort()));
    EXPECT_EQ(column(source.admin(), "SELECT CONCAT(id, n) FROM velkin_families.`parent view` ORDER BY id"),
              column(*other, "SELECT CONCAT(id, n) FROM velkin_families.`parent view` ORDER BY id"));

    // The loading session has its own settings back after the file.
    const std::string settings =
        "AS SELECT @@sql_mode m, @@foreign_key_checks f, @@time_zone z, "
        "@@character_set_client c, @@collation_connection o, "
        "@@system_versioning_insert_history h;\r\n";
    const QString file = path("versioned.sql");
    writeFileBytes(file, "CREATE TABLE velkin_families.before " + settings + fileBytes(file) +
                             "CREATE TABLE velkin_families.after " + settings);
    exec(*other, "DROP TABLE velkin_families.versioned");
    EXPECT_EQ("", loadWithClient(file, otherServerPort()));
    const std::string all = "SELECT CONCAT_WS('|', m, f, z, c, o, h) FROM velkin_families.";
    EXPECT_EQ(scalar(*other, all + "before"), scalar(*other, all + "after"));
    exec(*other, "DROP DATABASE velkin_families");
}

TEST_F(TableDumpTest, ChildWithGeneratedColumnsAndTriggersAreWrittenInLoadableOrder) {
    exec(db.admin(), "USE velkin_dump");
    for (const TypeFamily& family : typeFamilies()) {
        if (family.name != "fk_parent" && family.name != "fk_child" && family.name != "triggered")
            continue;
        exec(db.admin(), family.create);
        for (const std::string& statement : family.fill)
            exec(db.admin(), statement);
    }
    const std::string child = path("child.sql").toStdString();
    EXPECT_EQ("", dumpTable(*session, "velkin_dump", "fk_child", child).failure);
    const std::string create = createTextFromServer(*session, "velkin_dump.fk_child");
    // Checks off before the CREATE; the INSERT names the columns it fills and leaves the generated
    // ones to the server.
    EXPECT_EQ(toCrLf(dumpFileHeader("utf8mb4", false, false) + "CREATE TABLE velkin_dump.fk_child " +
                     create.substr(create.find('(')) + ";\n" + dumpRowsPrologue("velkin_dump.fk_child") +
                     "INSERT INTO velkin_dump.fk_child ( id,parent,qty ) VALUES ( '1','1','3' ),( "
                     "'2','2',NULL ),( '3',NULL,'1' );\n" +
                     dumpRowsEpilogue("velkin_dump.fk_child") + dumpFileFooter(false)),
              fileBytes(QString::fromStdString(child)));
    EXPECT_NE(std::string::npos,
              dumpFileHeader("utf8mb4", false, false)
                  .find("SET sql_mode = 'NO_AUTO_VALUE_ON_ZERO', foreign_key_checks = 0;\n"));

    // Triggers come after the rows, in the order they fire, each under its own sql_mode, with a
    // delimiter that no body holds (one holds ";;").
    const std::string triggered = path("triggered.sql").toStdString();
    EXPECT_EQ("", dumpTable(*session, "velkin_dump", "triggered", triggered).failure);
    const std::string bytes = fileBytes(QString::fromStdString(triggered));
    const std::string mode = scalar(db.admin(), "SELECT @@SESSION.sql_mode");
    const std::string settings = "SET sql_mode = '" + mode + "', collation_connection = '" +
                                 scalar(db.admin(), "SELECT @@collation_connection") + "'$$\n";
    const std::string definer =
        "CREATE DEFINER=" + definerClause(scalar(db.admin(), "SELECT CURRENT_USER()"));
    const std::string block = toCrLf(
        "DELIMITER $$\n" + settings + definer +
        " TRIGGER velkin_dump.triggered_first BEFORE INSERT ON "
        "velkin_dump.triggered FOR EACH ROW SET NEW.n = NEW.n * 2$$\n" +
        settings + definer +
        " TRIGGER velkin_dump.triggered_bi BEFORE INSERT ON velkin_dump.triggered "
        "FOR EACH ROW BEGIN\n  SET NEW.n = IFNULL(NEW.n, 0) + 100;\n  SET NEW.note = CONCAT(NEW.note, ';;', "
        "'x\ny');\nEND$$\n" +
        settings + definer +
        " TRIGGER velkin_dump.triggered_bu BEFORE UPDATE ON velkin_dump.triggered "
        "FOR EACH ROW SET NEW.note = UPPER(NEW.note)$$\n"
        "DELIMITER ;\n" +
        dumpFileFooter(false));
    ASSERT_LT(block.size(), bytes.size());
    EXPECT_EQ(block, bytes.substr(bytes.size() - block.size()));
    const std::string epilogue = toCrLf(dumpRowsEpilogue("velkin_dump.triggered"));
    EXPECT_EQ(epilogue, bytes.substr(bytes.size() - block.size() - epilogue.size(), epilogue.size()));
}

TEST_F(TableDumpTest, HistoryThatCannotBeWrittenBackIsNamedAndTheCurrentRowsStillLoad) {
    exec(db.admin(),
         "CREATE TABLE velkin_dump.by_transaction (id INT PRIMARY KEY, a INT, s BIGINT UNSIGNED GENERATED "
         "ALWAYS "
         "AS ROW START, e BIGINT UNSIGNED GENERATED ALWAYS AS ROW END, PERIOD FOR SYSTEM_TIME(s, e)) WITH "
         "SYSTEM "
         "VERSIONING ENGINE=InnoDB");
    exec(db.admin(), "INSERT INTO velkin_dump.by_transaction (id, a) VALUES (1, 1), (2, 2)");
    exec(db.admin(), "UPDATE velkin_dump.by_transaction SET a = 5 WHERE id = 1");
    exec(db.admin(), "CREATE TABLE velkin_dump.by_time (id INT PRIMARY KEY, a INT) WITH SYSTEM VERSIONING");
    exec(db.admin(), "INSERT INTO velkin_dump.by_time VALUES (1, 1), (2, 2)");
    exec(db.admin(), "DELETE FROM velkin_dump.by_time WHERE id = 2");
    const std::string current = "SELECT GROUP_CONCAT(id, ':', a ORDER BY id) FROM velkin_dump.";
    const std::string byTransaction = scalar(db.admin(), current + "by_transaction");
    const std::string byTime = scalar(db.admin(), current + "by_time");

    const QString transactionFile = path("by_transaction.sql");
    const DumpOutcome transactions =
        dumpTable(*session, "velkin_dump", "by_transaction", transactionFile.toStdString());
    const std::string transactionNote =
        "The history of velkin_dump.by_transaction (the past versions of its rows) was not carried: its "
        "versions "
        "are marked by transaction ids, which no session can write back";
    EXPECT_EQ(std::vector<std::string>{transactionNote}, transactions.notCarried);
    EXPECT_EQ(2, transactions.rows);

    // A server before 10.11 cannot write history back; the dump says so instead of "completed".
    session->setDialect(ServerDialect(100600, true));
    ScriptedOperator op;
    MaintenanceDialog dialog(*session, op, "velkin_dump", "by_time");
    child<QLineEdit>(dialog, "Output file")->setText(path("by_time.sql"));
    op.answer(true);
    dialog.dump();
    EXPECT_EQ(
        QStringList{"Dumping was finished, but the file does not hold everything:\n- The history of "
                    "velkin_dump.by_time (the past versions of its rows) was not carried: this server cannot "
                    "write past row versions back"},
        op.messageTexts());
    EXPECT_EQ(std::string::npos, fileBytes(path("by_time.sql")).find("system_versioning_insert_history"));

    exec(db.admin(), "DROP TABLE velkin_dump.by_transaction, velkin_dump.by_time");
    EXPECT_EQ("", loadWithClient(transactionFile));
    EXPECT_EQ("", loadWithClient(path("by_time.sql")));
    EXPECT_EQ(byTransaction, scalar(db.admin(), current + "by_transaction"));
    EXPECT_EQ(byTime, scalar(db.admin(), current + "by_time"));
}
