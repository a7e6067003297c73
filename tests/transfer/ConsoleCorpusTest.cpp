#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "ConsoleCorpus.h"
#include "TransferTesting.h"
#include "TypeFamilies.h"
#include "support/TestServer.h"
#include "transfer/ConsoleRun.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// Counts what a run tells; the rows themselves are dropped.
class CountingSink : public ConsoleSink {
public:
    void statementSent(const ConsoleReached&) override { ++statements; }
    void rowsBegin(std::vector<std::string>) override {}
    void rowsArrived(PackedRows&&) override {}
    void rowsEnded(const ConsoleResult& result) override { rows += result.rows; }

    int statements = 0;
    std::uint64_t rows = 0;
};

/// One database with an object of every kind whose names hold the delimiter, and binary values
/// that are not UTF-8, made once for the whole corpus; every script runs into velkin_corpus, by
/// the command-line client on the second server and by the console's runner on the first.
class ConsoleCorpusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        source = new ScratchDatabase("velkin_corpus_source");
        Connection& c = source->admin();
        exec(c, "USE velkin_corpus_source");
        exec(c, "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(30), b VARBINARY(8), u VARCHAR(10))");
        exec(c,
             "INSERT INTO t VALUES (1, 'semi;colon', x'FF00C3A93B27', 'caf\xC3\xA9'), (2, 'quote''s \\\\ "
             "back', NULL, '*/;--'), (3, '$$ ;; //', x'0A0D5C', NULL)");
        exec(c, "CREATE TABLE hits (n INT)");
        exec(c,
             "CREATE TRIGGER `tr;ins` BEFORE INSERT ON t FOR EACH ROW BEGIN SET NEW.v = CONCAT(NEW.v, ';'); "
             "INSERT INTO hits VALUES (NEW.id); END");
        exec(c, "CREATE VIEW `v;w` AS SELECT id, CONCAT(v, ';') AS s FROM t");
        exec(c,
             "CREATE PROCEDURE `p;roc`(IN k INT) BEGIN /* a; comment */ SELECT k; SELECT COUNT(*) FROM t; "
             "END");
        exec(c, "CREATE FUNCTION `f;un`(x INT) RETURNS VARCHAR(20) DETERMINISTIC RETURN CONCAT(x, ';')");
        exec(c, "CREATE EVENT `e;v` ON SCHEDULE EVERY 1 DAY DISABLE DO INSERT INTO hits VALUES (0)");
    }
    static void TearDownTestSuite() {
        delete source;
        source = nullptr;
    }

    ConsoleCorpusTest() {
        exec(*other, "DROP DATABASE IF EXISTS velkin_corpus");
        exec(*other, "CREATE DATABASE velkin_corpus");
    }
    ~ConsoleCorpusTest() override { exec(*other, "DROP DATABASE IF EXISTS velkin_corpus"); }

    QString path(const char* name) const { return QString::fromStdString(dir.path()) + '/' + name; }

    /// Runs the file both ways; the client's error output in clientErrors.
    ConsoleOutcome runBothWays(const QString& file, std::string& clientErrors) {
        exec(*other, "DROP DATABASE IF EXISTS velkin_corpus");
        exec(*other, "CREATE DATABASE velkin_corpus");
        exec(target.admin(), "DROP DATABASE IF EXISTS velkin_corpus");
        exec(target.admin(), "CREATE DATABASE velkin_corpus");
        clientErrors = runWithClient("velkin_corpus", file, otherServerPort());
        // A session as the program opens it, on the database the file is run in.
        std::unique_ptr<Connection> session = connectAdmin();
        EXPECT_TRUE(session->selectDb("velkin_corpus"));
        const std::string bytes = fileBytes(file);
        std::atomic<bool> stop{false};
        return runConsoleText(*session, bytes, stop, sink);
    }

    static ScratchDatabase* source;
    ScratchDatabase target{"velkin_corpus"};
    std::unique_ptr<Connection> other = connectOther();
    std::unique_ptr<Connection> here = connectAdmin();
    ScratchDirectory dir;
    CountingSink sink;
};

ScratchDatabase* ConsoleCorpusTest::source = nullptr;

}  // namespace

TEST_F(ConsoleCorpusTest, DumpsInEveryFormLeaveBothServersAlike) {
    const std::vector<QStringList> forms{
        {"--compact"},
        {"--skip-extended-insert"},
        {"--hex-blob"},
        {"--compact", "--skip-extended-insert", "--hex-blob", "--routines", "--triggers", "--events"},
    };
    for (const QStringList& options : forms) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const QString file = path("dump.sql");
        dumpWithTool("velkin_corpus_source", options, file);
        std::string clientErrors;
        sink = CountingSink();
        const ConsoleOutcome outcome = runBothWays(file, clientErrors);
        EXPECT_EQ("", clientErrors);
        EXPECT_EQ(ConsoleOutcome::End::Done, outcome.end) << outcome.errorText;
        EXPECT_EQ(outcome.total, outcome.sent);
        EXPECT_EQ(outcome.sent, sink.statements);

        const std::vector<std::string> byClient = contents(*other, "velkin_corpus");
        EXPECT_EQ(byClient, contents(*here, "velkin_corpus"));
        // The rows, the view and the trigger at least; with routines and events those too.
        const bool everything = options.contains("--routines");
        EXPECT_EQ(everything ? 10u : 7u, byClient.size());
        EXPECT_EQ(3u, column(*here, "SELECT HEX(b) FROM velkin_corpus.t").size());
        EXPECT_EQ("FF00C3A93B27", scalar(*here, "SELECT HEX(b) FROM velkin_corpus.t WHERE id = 1"));
    }
}

TEST_F(ConsoleCorpusTest, ALatin1ScriptIsReadInTheCharacterSetItNames) {
    const QString file = path("latin1.sql");
    writeFileBytes(
        file,
        "SET NAMES latin1;\n"
        "CREATE TABLE l (id INT PRIMARY KEY, s VARCHAR(20) CHARACTER SET utf8mb4, b VARBINARY(20));\n"
        "INSERT INTO l VALUES (1, 'caf\xE9 \xA9', 'caf\xE9'), (2, '\xBD;\xE0 -- \xFF', NULL);\n"
        "# \xE9t\xE9; a comment in latin1\n"
        "INSERT INTO l SELECT 3, CONCAT(s, '\xE8'), b FROM l WHERE id = 1;\n");
    std::string clientErrors;
    const ConsoleOutcome outcome = runBothWays(file, clientErrors);
    EXPECT_EQ("", clientErrors);
    EXPECT_EQ(ConsoleOutcome::End::Done, outcome.end) << outcome.errorText;
    EXPECT_EQ(4, outcome.sent);
    EXPECT_EQ(contents(*other, "velkin_corpus"), contents(*here, "velkin_corpus"));
    // Read back in UTF-8: the latin1 bytes became the characters they stand for, once.
    EXPECT_EQ((std::vector<std::string>{"caf\xC3\xA9 \xC2\xA9", "\xC2\xBD;\xC3\xA0 -- \xC3\xBF",
                                        "caf\xC3\xA9 \xC2\xA9\xC3\xA8"}),
              column(*here, "SELECT s FROM velkin_corpus.l ORDER BY id"));
    EXPECT_EQ("636166E9", scalar(*here, "SELECT HEX(b) FROM velkin_corpus.l WHERE id = 1"));
}

namespace {

/// The bodies of a database's triggers, routines and events as the server keeps them, by name.
std::vector<std::string> bodies(Connection& c, const std::string& database) {
    std::vector<std::string> out;
    for (const std::string& sql :
         {"SELECT CONCAT(TRIGGER_NAME, ': ', ACTION_STATEMENT) FROM information_schema.TRIGGERS WHERE "
          "TRIGGER_SCHEMA = '" +
              database + "' ORDER BY 1",
          "SELECT CONCAT(ROUTINE_NAME, ': ', ROUTINE_DEFINITION) FROM information_schema.ROUTINES WHERE "
          "ROUTINE_SCHEMA = '" +
              database + "' ORDER BY 1",
          "SELECT CONCAT(EVENT_NAME, ': ', EVENT_DEFINITION) FROM information_schema.EVENTS WHERE "
          "EVENT_SCHEMA = '" +
              database + "' ORDER BY 1"})
        for (std::string& body : column(c, sql))
            out.push_back(std::move(body));
    return out;
}

/// A trigger, a procedure, a function and an event whose bodies hold every kind of comment, comment
/// marks inside quoted texts, versioned text, and the delimiter.
const std::vector<std::string> kNotedObjects{
    "CREATE TRIGGER tr_note BEFORE INSERT ON t FOR EACH ROW\n"
    "BEGIN\n"
    "  -- keep the note; it explains\n"
    "  # a hash note; too\n"
    "  SET NEW.v = CONCAT(NEW.v, '-- not a comment; ', \"# nor this\", '/* nor this */');\n"
    "  /* a block note;\n"
    "     over two lines */\n"
    "  /*!50001 SET NEW.u = 'hidden'; */\n"
    "  INSERT INTO hits VALUES (NEW.id); -- trailing note\n"
    "END",
    "CREATE PROCEDURE pr_note(IN k INT)\n"
    "BEGIN\n"
    "  -- count; then show\n"
    "  SELECT COUNT(*) FROM t WHERE id > k; # hash; note\n"
    "  /* block */ SELECT '-- in a string', \"/* also */\";\n"
    "  /*!100000 SELECT 'versioned'; */\n"
    "END",
    "CREATE FUNCTION fn_note(x INT) RETURNS VARCHAR(40) DETERMINISTIC\n"
    "BEGIN\n"
    "  # why: doubled\n"
    "  RETURN CONCAT(x * 2, '; -- kept'); /* end */\n"
    "END",
    "CREATE EVENT ev_note ON SCHEDULE EVERY 1 DAY DISABLE DO\n"
    "BEGIN\n"
    "  -- nightly; sweep\n"
    "  DELETE FROM hits WHERE n < '0'; # none\n"
    "  /* keep\n"
    "     this */ INSERT INTO hits VALUES ('-- 0');\n"
    "END"};
const char* const kNotedTables =
    "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(200), u VARCHAR(20));\n"
    "CREATE TABLE hits (n VARCHAR(10));\n";

}  // namespace

TEST_F(ConsoleCorpusTest, CommentsInRoutineBodiesArriveAsTheClientWithCommentsSendsThem) {
    // Written by hand: DELIMITER blocks, comments before, inside and after the statements, and a word
    // right after a comment (the client puts a blank between them).
    std::string noted = "-- objects with notes; made by hand\n/* a header;\n   block */\n" +
                        std::string(kNotedTables) + "DELIMITER //\n";
    for (const std::string& object : kNotedObjects)
        noted +=
            object + (object.find("pr_note") != std::string::npos ? "// -- after the delimiter\n" : "//\n");
    noted += "DELIMITER ;\n# the end; nothing follows\n";
    noted.replace(noted.find("/* block */ SELECT"), 18, "/* block */SELECT");
    const QString script = path("notes.sql");
    writeFileBytes(script, noted);
    std::string clientErrors;
    ConsoleOutcome outcome = runBothWays(script, clientErrors);
    EXPECT_EQ("", clientErrors);
    EXPECT_EQ(ConsoleOutcome::End::Done, outcome.end) << outcome.errorText;
    const std::vector<std::string> byHand = bodies(*here, "velkin_corpus");
    ASSERT_EQ(4u, byHand.size());
    EXPECT_EQ(bodies(*other, "velkin_corpus"), byHand);
    for (const char* note :
         {"-- keep the note; it explains\n  # a hash note; too\n", "/* a block note;\n",
          "-- trailing note\nEND", "-- count; then show", "# hash; note",
          "/* block */ SELECT '-- in a string'", "END -- after the delimiter", "# why: doubled", "/* end */",
          "-- nightly; sweep", "/* keep\n     this */ INSERT"}) {
        bool found = false;
        for (const std::string& body : byHand)
            found = found || body.find(note) != std::string::npos;
        EXPECT_TRUE(found) << note;
    }

    // The same objects made straight on a server, dumped by the dump tool and read back: the bodies
    // come back as they were made, whatever the dump's form.
    ScratchDatabase made{"velkin_corpus_notes"};
    exec(made.admin(), "USE velkin_corpus_notes");
    exec(made.admin(), "SET SESSION sql_mode = DEFAULT");
    exec(made.admin(), "CREATE TABLE t (id INT PRIMARY KEY, v VARCHAR(200), u VARCHAR(20))");
    exec(made.admin(), "CREATE TABLE hits (n VARCHAR(10))");
    for (const std::string& object : kNotedObjects)
        exec(made.admin(), object);
    const std::vector<std::string> original = bodies(*here, "velkin_corpus_notes");
    ASSERT_EQ(4u, original.size());
    for (const QStringList& options : std::vector<QStringList>{
             {"--routines", "--triggers", "--events"},
             {"--compact", "--skip-extended-insert", "--routines", "--triggers", "--events"}}) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const QString dump = path("notes-dump.sql");
        dumpWithTool("velkin_corpus_notes", options, dump);
        outcome = runBothWays(dump, clientErrors);
        EXPECT_EQ("", clientErrors);
        EXPECT_EQ(ConsoleOutcome::End::Done, outcome.end) << outcome.errorText;
        EXPECT_EQ(bodies(*other, "velkin_corpus"), bodies(*here, "velkin_corpus"));
        EXPECT_EQ(original, bodies(*here, "velkin_corpus"));
        EXPECT_EQ(contents(*other, "velkin_corpus"), contents(*here, "velkin_corpus"));
    }
}
