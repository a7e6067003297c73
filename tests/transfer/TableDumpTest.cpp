#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "support/TestServer.h"
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
