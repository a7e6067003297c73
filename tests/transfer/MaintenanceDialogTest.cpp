#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/ColumnFormText.h"
#include "transfer/CopyStatements.h"
#include "transfer/DumpText.h"
#include "transfer/MaintenanceDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const char* kStatusOfT = "SHOW TABLE STATUS FROM velkin_dup_maint Like 't'";

class MaintenanceTest : public ::testing::Test {
protected:
    MaintenanceTest() {
        exec(db.admin(),
             "CREATE TABLE velkin_dup_maint.t (id INT PRIMARY KEY, name VARCHAR(20)) ENGINE=MyISAM");
        exec(db.admin(), "INSERT INTO velkin_dup_maint.t VALUES (1, 'one'), (2, 'two')");
    }
    QGroupBox& area(QDialog& d, const char* title) { return *child<QGroupBox>(d, title); }
    std::string result(QDialog& d, const char* area) {
        return child<QLineEdit>(this->area(d, area), "Result")->text().toStdString();
    }
    std::string type(QDialog& d) { return child<QLineEdit>(d, "Table type")->text().toStdString(); }
    /// The statements that a function sent, and what it said.
    std::vector<std::string> statementsOf(const std::function<void()>& function) {
        StatementLog log;
        function();
        return log.statements;
    }
    std::string engineOf(const char* table) {
        return scalar(db.admin(), sqlf("SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                                       "'velkin_dup_maint' AND TABLE_NAME = '%s'",
                                       table));
    }

    ScratchDatabase db{"velkin_dup_maint"};
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    ScratchDirectory dir;
};

}  // namespace

TEST_F(MaintenanceTest, OpeningReadsTheStatusRowOfExactlyThisTable) {
    std::vector<std::string> sent = statementsOf([&] {
        MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "t");
        EXPECT_EQ("velkin_dup_maint", child<QLineEdit>(dialog, "Database")->text());
        EXPECT_EQ("t", child<QLineEdit>(dialog, "Table")->text());
        EXPECT_EQ("MyISAM", type(dialog));
    });
    EXPECT_EQ(std::vector<std::string>{kStatusOfT}, sent);

    // "a1b" would match the pattern a_b and comes first; the name is matched as it is.
    exec(db.admin(), "CREATE TABLE velkin_dup_maint.a1b (id INT) ENGINE=InnoDB");
    exec(db.admin(), "CREATE TABLE velkin_dup_maint.a_b (id INT) ENGINE=MEMORY");
    sent = statementsOf([&] {
        MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "a_b");
        EXPECT_EQ("MEMORY", type(dialog));
    });
    EXPECT_EQ(std::vector<std::string>{"SHOW TABLE STATUS FROM velkin_dup_maint Like 'a\\_b'"}, sent);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(MaintenanceTest, CheckSendsItsOptionsInOrderAndShowsTheCheckTime) {
    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "t");
    QGroupBox& check = area(dialog, "Table check");
    // A check in a later second than the rows' last change, so that the two times differ.
    waitForFreshSecond();
    EXPECT_EQ((std::vector<std::string>{"CHECK TABLE velkin_dup_maint.t", kStatusOfT}),
              statementsOf([&] { dialog.check(); }));
    EXPECT_TRUE(op.questions.empty());
    EXPECT_EQ(QStringList{"The check was completed."}, op.messageTexts());
    EXPECT_EQ("status OK", result(dialog, "Table check"));
    const std::string checked = scalar(db.admin(),
                                       "SELECT CHECK_TIME FROM information_schema.TABLES WHERE "
                                       "TABLE_SCHEMA = 'velkin_dup_maint' AND TABLE_NAME = 't'");
    EXPECT_NE("(null)", checked);
    EXPECT_EQ(checked, child<QLineEdit>(check, "Last check")->text().toStdString());

    op.clear();
    for (const char* option : {"QUICK", "FAST", "CHANGED", "MEDIUM", "EXTENDED"})
        child<QCheckBox>(check, option)->setChecked(true);
    EXPECT_EQ((std::vector<std::string>{"CHECK TABLE velkin_dup_maint.t QUICK Extended Fast CHANGED MEDIUM",
                                        kStatusOfT}),
              statementsOf([&] { dialog.check(); }));
    EXPECT_EQ(QStringList{"The check was completed."}, op.messageTexts());
    EXPECT_EQ("status Table is already up to date", result(dialog, "Table check"));

    // A table gone meanwhile: the server's verdict says so, the status has no row, the time stays.
    op.clear();
    exec(db.admin(), "DROP TABLE velkin_dup_maint.t");
    dialog.check();
    EXPECT_EQ(QStringList{"The check was completed."}, op.messageTexts());
    EXPECT_EQ("Error Table 'velkin_dup_maint.t' doesn't exist", result(dialog, "Table check"));
    EXPECT_EQ(checked, child<QLineEdit>(check, "Last check")->text().toStdString());
}

TEST_F(MaintenanceTest, ConversionsCompareTypesAsTheSameAndAskFirst) {
    exec(db.admin(), "CREATE TABLE velkin_dup_maint.i (id INT) ENGINE=InnoDB");
    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "t");

    // Already of the type: the message alone, nothing sent.
    EXPECT_TRUE(statementsOf([&] { dialog.convert("MyISAM"); }).empty());
    EXPECT_EQ(QStringList{"It is already MyISAM."}, op.messageTexts());
    EXPECT_TRUE(op.questions.empty());

    op.clear();
    op.answer(false);
    EXPECT_TRUE(statementsOf([&] { dialog.convert("HEAP"); }).empty());
    EXPECT_TRUE(op.messages.empty());

    op.clear();
    op.answer(true);
    EXPECT_EQ((std::vector<std::string>{"ALTER TABLE velkin_dup_maint.t ENGINE=HEAP", kStatusOfT}),
              statementsOf([&] { dialog.convert("HEAP"); }));
    EXPECT_EQ("May I shift?", op.questions.at(0).text);
    EXPECT_EQ(QStringList{"It succeeded in shift."}, op.messageTexts());
    EXPECT_EQ("MEMORY", type(dialog));
    EXPECT_EQ("MEMORY", engineOf("t"));
    // HEAP and MEMORY are one type.
    op.clear();
    EXPECT_TRUE(statementsOf([&] { dialog.convert("HEAP"); }).empty());
    EXPECT_EQ(QStringList{"It is already HEAP."}, op.messageTexts());

    // A type the server does not know.
    op.clear();
    op.answer(true);
    dialog.convert("ISAM");
    EXPECT_EQ(QStringList{"It failed in shift."}, op.messageTexts());
    EXPECT_EQ("MEMORY", type(dialog));

    // INNOBASE: the capability and the question come before the comparison.
    op.clear();
    op.answer(true);
    std::vector<std::string> sent = statementsOf([&] { dialog.convert("INNOBASE"); });
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ("SHOW VARIABLES", sent.front());
    EXPECT_EQ("ALTER TABLE velkin_dup_maint.t ENGINE=Innobase", sent[sent.size() - 2]);
    EXPECT_EQ(kStatusOfT, sent.back());
    EXPECT_EQ(QStringList{"It succeeded in shift."}, op.messageTexts());
    EXPECT_EQ("InnoDB", type(dialog));

    MaintenanceDialog innodb(*session, op, "velkin_dup_maint", "i");
    op.clear();
    op.answer(true);
    sent = statementsOf([&] { innodb.convert("INNOBASE"); });
    EXPECT_EQ("SHOW VARIABLES", sent.at(0));
    for (const std::string& sql : sent)
        EXPECT_EQ(0u, sql.rfind("SHOW ", 0)) << sql;
    EXPECT_EQ(1u, op.questions.size());
    EXPECT_EQ(QStringList{"It is already Innobase."}, op.messageTexts());
}

TEST_F(MaintenanceTest, RepairAnalyseOptimiseAndTheBackupsThisServerLacks) {
    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "t", dir.path().c_str(), "root", "127.0.0.1");
    child<QCheckBox>(area(dialog, "Table repair"), "QUICK")->setChecked(true);
    op.answer(true);
    EXPECT_EQ(std::vector<std::string>{"REPAIR TABLE velkin_dup_maint.t QUICK"},
              statementsOf([&] { dialog.repair(); }));
    EXPECT_EQ("May I restore?", op.questions.at(0).text);
    EXPECT_EQ("status OK", result(dialog, "Table repair"));
    EXPECT_EQ(QStringList{"Restoration was completed."}, op.messageTexts());

    op.clear();
    op.answer(true);
    EXPECT_EQ(std::vector<std::string>{"ANALYZE TABLE velkin_dup_maint.t"},
              statementsOf([&] { dialog.analyze(); }));
    EXPECT_EQ("May I Analyze?", op.questions.at(0).text);
    EXPECT_NE("", result(dialog, "Analysis and optimization"));
    EXPECT_EQ(QStringList{"An analysis were completed."}, op.messageTexts());

    op.clear();
    op.answer(true);
    EXPECT_EQ(std::vector<std::string>{"OPTIMIZE TABLE velkin_dup_maint.t"},
              statementsOf([&] { dialog.optimize(); }));
    EXPECT_EQ("May I optimize?", op.questions.at(0).text);
    EXPECT_EQ("Optimization was completed.", result(dialog, "Analysis and optimization"));
    EXPECT_TRUE(op.messages.empty());
    // Its rows were released: the session takes the next statement.
    EXPECT_EQ("2", scalar(*session, "SELECT COUNT(*) FROM velkin_dup_maint.t"));

    op.clear();
    op.answer(true);
    dialog.backup();
    EXPECT_EQ(QStringList{"The directory of a server is inputted."}, op.messageTexts());
    op.clear();
    child<QLineEdit>(area(dialog, "Backup to the server"), "Server directory")->setText("/tmp/it's");
    op.answer(true);
    EXPECT_EQ(std::vector<std::string>{"BACKUP TABLE velkin_dup_maint.t TO '/tmp/it\\'s'"},
              statementsOf([&] { dialog.backup(); }));
    EXPECT_EQ(QStringList{"It failed in backup."}, op.messageTexts());
    op.clear();
    child<QLineEdit>(area(dialog, "Restoration from the server"), "Server directory")->setText("/tmp");
    op.answer(true);
    EXPECT_EQ(std::vector<std::string>{"RESTORE TABLE velkin_dup_maint.t FROM '/tmp'"},
              statementsOf([&] { dialog.restore(); }));
    EXPECT_EQ(QStringList{"It failed in shift."}, op.messageTexts());
    // Refused statements leave no log lines.
    EXPECT_FALSE(QFile::exists("Backup.log"));
    EXPECT_FALSE(QFile::exists("restore.log"));
}

TEST_F(MaintenanceTest, StopEndsACommandWaitingForALockWhileTheWindowGoesOn) {
    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "t");
    auto locker = connectAdmin();
    exec(*locker, "LOCK TABLES velkin_dup_maint.t WRITE");
    const std::string waiting = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO = '%s'";
    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"ANALYZE TABLE velkin_dup_maint.t", [&] { dialog.analyze(); }},
        {"OPTIMIZE TABLE velkin_dup_maint.t", [&] { dialog.optimize(); }},
        {"ALTER TABLE velkin_dup_maint.t ENGINE=HEAP", [&] { dialog.convert("HEAP"); }}};
    // Each command waits for the other client's lock until Stop ends it; the window's timer fires
    // meanwhile and finds the command on the server.
    for (const auto& [statement, run] : commands) {
        SCOPED_TRACE(statement);
        int ticks = 0;
        bool stopped = false;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&, statement = statement] {
            ++ticks;
            if (stopped || scalar(db.admin(), sqlf(waiting.c_str(), statement)) == "0")
                return;
            stopped = true;
            EXPECT_FALSE(child<QPushButton>(dialog, "Analyze")->isEnabled());
            EXPECT_FALSE(child<QPushButton>(dialog, "MyISAM")->isEnabled());
            EXPECT_TRUE(child<QLabel>(dialog, "Running")
                            ->text()
                            .startsWith(QString::fromStdString("Running: " + statement + " (")));
            // The conversion is stopped by closing the dialog and saying Yes.
            if (statement.rfind("ALTER", 0) != 0) {
                child<QPushButton>(dialog, "Stop")->click();
                return;
            }
            op.answer(true);
            dialog.reject();
            EXPECT_EQ(QString::fromStdString(statement + " is running. May I stop it?"),
                      op.questions.back().text);
        });
        timer.start();
        op.clear();
        op.answer(true);
        run();
        ASSERT_TRUE(stopped);
        EXPECT_GT(ticks, 0);
        EXPECT_EQ("0", scalar(db.admin(), sqlf(waiting.c_str(), statement)));
        ASSERT_EQ(1, op.messageTexts().size());
        const std::string told = statement + " was stopped before it finished; the server ended it.\n";
        EXPECT_EQ(told, op.messageTexts()[0].toStdString().substr(0, told.size()));
        EXPECT_TRUE(child<QPushButton>(dialog, "Close")->isEnabled());
        EXPECT_TRUE(child<QPushButton>(dialog, "Analyze")->isEnabled());
        EXPECT_TRUE(child<QLabel>(dialog, "Running")->text().isEmpty());
    }
    EXPECT_EQ("Stopped before it finished", result(dialog, "Analysis and optimization"));
    EXPECT_EQ("MyISAM", type(dialog));
    EXPECT_EQ("MyISAM", engineOf("t"));
    exec(*locker, "UNLOCK TABLES");
    // The session takes the next command, which now finishes with its own verdict.
    op.clear();
    op.answer(true);
    dialog.analyze();
    EXPECT_EQ(QStringList{"An analysis were completed."}, op.messageTexts());
    EXPECT_NE("Stopped before it finished", result(dialog, "Analysis and optimization"));
}

TEST_F(MaintenanceTest, DumpLoadsAsWrittenThroughTheClient) {
    createAwkwardTable(db.admin(), "velkin_dup_maint", "d", 2493);
    const std::vector<std::string> rows = awkwardRows(db.admin(), "velkin_dup_maint.d");
    const std::string sum = checksum(db.admin(), "velkin_dup_maint.d");
    const std::string create = [&] {
        Result r = db.admin().select("SHOW CREATE TABLE velkin_dup_maint.d");
        return r.fetchRow().str(1);
    }();

    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "d");
    op.answer(true);
    dialog.dump();
    EXPECT_EQ(QStringList{"The file name to output is inputted."}, op.messageTexts());
    op.clear();
    op.choose(QString::fromStdString(dir.path()) + "/d");
    dialog.chooseDumpFile();
    const QString path = QString::fromStdString(dir.path()) + "/d.sql";
    EXPECT_EQ(path, child<QLineEdit>(dialog, "Output file")->text());
    op.answer(true);
    StatementLog sent;
    dialog.dump();
    EXPECT_EQ("May I dump?", op.questions.at(0).text);
    EXPECT_EQ(QStringList{"Dumping was completed."}, op.messageTexts());
    // Read in the zone '+00:00', and the session's own zone given back.
    // The columns named from the catalog, and the triggers looked up after the rows.
    EXPECT_EQ(
        (std::vector<std::string>{
            "SHOW TABLE STATUS FROM velkin_dup_maint Like 'd'", "SELECT @@SESSION.time_zone",
            "SET time_zone = '+00:00'", "SELECT @@SESSION.character_set_results",
            tableTypeQuery(*session, "velkin_dup_maint", "d"),
            tableColumnsQuery(*session, "velkin_dup_maint", "d"), "Show create table velkin_dup_maint.d;",
            "select id,name,note,amount,data from velkin_dup_maint.d",
            tableTriggersQuery(*session, "velkin_dup_maint", "d"), "SET time_zone = 'SYSTEM'"}),
        sent.statements);

    const std::string bytes = fileBytes(path);
    const std::string head = toCrLf(dumpFileHeader("utf8mb4", false, false)) +
                             toCrLf("CREATE TABLE velkin_dup_maint.d " + create.substr(create.find('('))) +
                             ";\r\n";
    ASSERT_EQ(head, bytes.substr(0, head.size()));
    const std::string prologue = toCrLf(dumpRowsPrologue("velkin_dup_maint.d"));
    ASSERT_EQ(prologue, bytes.substr(head.size(), prologue.size()));
    const std::string epilogue = toCrLf(dumpRowsEpilogue("velkin_dup_maint.d") + dumpFileFooter(false));
    ASSERT_EQ(epilogue, bytes.substr(bytes.size() - epilogue.size()));
    const std::string body = bytes.substr(head.size() + prologue.size());
    // All 2500 rows fit one statement of many rows.
    int statements = 0;
    for (std::size_t at = 0; (at = body.find(" );\r\n", at)) != std::string::npos; at += 3)
        ++statements;
    EXPECT_EQ(1, statements);
    EXPECT_EQ(0u, body.rfind("INSERT INTO velkin_dup_maint.d ( id,name,note,amount,data ) VALUES ( "
                             "'1',NULL,NULL,NULL,NULL ),( '2','O\\'Brien','say \\\"hi\\\"','1.50','' ),( ",
                             0));

    // Into an empty server schema again through the command-line client, the file as it stands.
    exec(db.admin(), "DROP DATABASE velkin_dup_maint");
    exec(db.admin(), "CREATE DATABASE velkin_dup_maint");
    EXPECT_EQ("", loadWithClient(path));
    EXPECT_EQ(rows, awkwardRows(db.admin(), "velkin_dup_maint.d"));
    EXPECT_EQ(sum, checksum(db.admin(), "velkin_dup_maint.d"));
}

TEST_F(MaintenanceTest, DumpOfAnEmptyTableHoldsItsHeaderAndDefinition) {
    exec(db.admin(), "CREATE TABLE velkin_dup_maint.e (id INT)");
    MaintenanceDialog dialog(*session, op, "velkin_dup_maint", "e");
    const QString path = QString::fromStdString(dir.path()) + "/e.sql";
    child<QLineEdit>(dialog, "Output file")->setText(path);
    op.answer(true);
    dialog.dump();
    EXPECT_EQ(toCrLf(dumpFileHeader("utf8mb4", false, false)) +
                  "CREATE TABLE velkin_dup_maint.e (\r\n  `id` int(11) DEFAULT NULL\r\n) ENGINE=InnoDB "
                  "DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;\r\n" +
                  toCrLf(dumpFileFooter(false)),
              fileBytes(path));
    EXPECT_EQ(QStringList{"Dumping was completed."}, op.messageTexts());
    // A file that cannot be made ends the dump without a word.
    op.clear();
    child<QLineEdit>(dialog, "Output file")->setText(path + "/no/such/file.sql");
    op.answer(true);
    dialog.dump();
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(MaintenanceTest, StatusRowOfAwkwardNamesInEitherEscapingMode) {
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"q'uote", "MyISAM"}, {"back\\slash", "MEMORY"}, {"backxslash", "Aria"}, {"a_b", "InnoDB"},
        {"axb", "MyISAM"},    {"50%", "MEMORY"},         {"500", "Aria"}};
    for (const auto& [name, engine] : tables)
        exec(db.admin(), sqlf("CREATE TABLE %s (id INT) ENGINE=%s",
                              qualifiedName(db.admin(), "velkin_dup_maint", name), engine));
    for (const char* mode : {"DEFAULT", "CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"}) {
        exec(*session, std::string("SET SESSION sql_mode = ") + mode);
        for (const auto& [name, engine] : tables) {
            SCOPED_TRACE(std::string(mode) + " " + name);
            MaintenanceDialog dialog(*session, op, "velkin_dup_maint", QString::fromStdString(name));
            EXPECT_EQ(engine, type(dialog));
        }
    }
    EXPECT_TRUE(op.messages.empty());
}
