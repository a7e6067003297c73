#include <gtest/gtest.h>

#include <algorithm>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "session/SqlText.h"
#include "support/TestServer.h"
#include "transfer/ColumnFormText.h"
#include "transfer/RowCopy.h"
#include "transfer/TransferMessages.h"

using namespace velkin;
using namespace velkin::test;

namespace {

class RowCopyTest : public ::testing::Test {
protected:
    /// A source table s of count rows and an empty destination d of the same definition.
    void numbered(int count, const char* engine = "InnoDB") {
        exec(db.admin(),
             sqlf("CREATE TABLE velkin_dup_copy.s (id INT PRIMARY KEY, name VARCHAR(20)) ENGINE=%s", engine));
        if (count > 0)
            exec(db.admin(), sqlf("INSERT INTO velkin_dup_copy.s SELECT seq, CONCAT('row ', seq) FROM "
                                  "velkin_dup_copy.seq_1_to_%d",
                                  count));
        exec(db.admin(),
             sqlf("CREATE TABLE velkin_dup_copy.d (id INT PRIMARY KEY, name VARCHAR(20)) ENGINE=%s", engine));
    }
    enum Path { Streamed, ServerSide, BulkLoad };
    RowCopy copyOf(Connection& source, const std::string& from, const std::string& to, Path path = Streamed) {
        RowCopy copy(source, {"velkin_dup_copy", from, "velkin_dup_copy." + from}, *session,
                     {"velkin_dup_copy", to, "velkin_dup_copy." + to});
        copy.setServerSide(path == ServerSide);
        copy.setBulkLoad(path == BulkLoad);
        progress.clear();
        copy.onProgress([this](long long rows) { progress.push_back(rows); });
        return copy;
    }
    std::string logOf(RowCopy copy) {
        copy.setLogFile("rep_table.log");
        copy.run();
        return fileBytes("rep_table.log");
    }

    /// The landed counts a copy of copyOf reported, one per block.
    std::vector<long long> progress;
    ScratchDatabase db{"velkin_dup_copy"};
    std::unique_ptr<Connection> session = connectAdmin();
    std::unique_ptr<Connection> reader = connectAdmin();
    ScratchDirectory dir;
};

}  // namespace

TEST_F(RowCopyTest, LogHasOnePairPerThousandRowsAndItsEndEntries) {
    const std::string start = "Data shift start\r\n";
    const std::string pair0 = "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n";
    const std::string pair1 =
        "Data acquisition start 1000 - 2000     Data acquisition success 1000 - 2000\r\n";
    const std::string pair2 =
        "Data acquisition start 2000 - 3000     Data acquisition success 2000 - 3000\r\n";
    struct Case {
        int rows;
        std::string log;
        std::vector<long long> progress;
    };
    const Case cases[] = {
        {0, start + "Data acquisition start 0 - 1000     Data shift end\r\n", {}},
        {1000, start + pair0 + "Data acquisition start 1000 - 2000     Data shift end\r\n", {1000}},
        {2500,
         start + pair0 + pair1 + pair2 + "Data acquisition start 3000 - 4000     Data shift end\r\n",
         {1000, 2000, 2500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        exec(db.admin(), "DROP TABLE IF EXISTS velkin_dup_copy.s, velkin_dup_copy.d");
        numbered(c.rows);
        ConnectionStatements sent;
        std::string original = "(not shown)";
        RowCopy copy = copyOf(*reader, "s", "d");
        copy.onOriginalCount([&](const std::string& count) { original = count; });
        EXPECT_EQ(c.log, logOf(std::move(copy)));
        EXPECT_EQ(std::to_string(c.rows), original);
        EXPECT_EQ(c.progress, progress);
        EXPECT_EQ(std::to_string(c.rows), scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d"));
        // One count and one read on the source, however many rows, in the zone '+00:00' and with
        // the reader's own zone given back; the rows go out on the session.
        EXPECT_EQ(
            (std::vector<std::string>{"SELECT @@SESSION.time_zone", "SET time_zone = '+00:00'",
                                      tableTypeQuery(*reader, "velkin_dup_copy", "s"),
                                      tableColumnsQuery(*reader, "velkin_dup_copy", "s"),
                                      "select count(*) from velkin_dup_copy.s",
                                      "select id,name from velkin_dup_copy.s", "SET time_zone = 'SYSTEM'"}),
            sent.on(*reader));
        EXPECT_EQ(c.rows == 0 ? 0 : (c.rows + 999) / 1000, sent.countStartingWith("INSERT INTO"));
    }
}

TEST_F(RowCopyTest, CopyEqualsItsSourceWithNullsQuotesBackslashesAndBinaryData) {
    createAwkwardTable(db.admin(), "velkin_dup_copy", "s", 1500);
    const std::vector<std::string> source = awkwardRows(db.admin(), "velkin_dup_copy.s");
    ASSERT_EQ(1507u, source.size());
    for (const char* engine : {"InnoDB", "MyISAM"}) {
        SCOPED_TRACE(engine);
        exec(db.admin(), "DROP TABLE IF EXISTS velkin_dup_copy.d");
        exec(db.admin(), sqlf("CREATE TABLE velkin_dup_copy.d LIKE velkin_dup_copy.s"));
        exec(db.admin(), sqlf("ALTER TABLE velkin_dup_copy.d ENGINE=%s", engine));
        for (const Path path : {Streamed, BulkLoad}) {
            exec(db.admin(), "TRUNCATE TABLE velkin_dup_copy.d");
            const RowCopyOutcome outcome = copyOf(*reader, "s", "d", path).run();
            EXPECT_EQ(1507, outcome.rowsRead);
            EXPECT_EQ(1507, outcome.rowsLanded);
            EXPECT_EQ(0, outcome.rowsFailed);
            EXPECT_EQ(source, awkwardRows(db.admin(), "velkin_dup_copy.d"));
        }
    }
    // Texts in a latin1 column and the spellings a load stream could mistake for NULL come through
    // LOAD DATA as they are.
    exec(db.admin(),
         "CREATE TABLE velkin_dup_copy.l (id INT PRIMARY KEY, l VARCHAR(20) CHARACTER SET latin1, "
         "t TEXT) ENGINE=InnoDB");
    exec(db.admin(),
         "INSERT INTO velkin_dup_copy.l VALUES (1, 'caf\xC3\xA9 \xC3\xBC', '\\\\N'), "
         "(2, 'NULL', NULL), (3, NULL, 'NULL'), (4, '\\t\\n', ''), (5, '\\\\', '\\0')");
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.ld LIKE velkin_dup_copy.l");
    EXPECT_EQ(5, copyOf(*reader, "l", "ld", BulkLoad).run().rowsLanded);
    EXPECT_EQ("0", scalar(db.admin(),
                          "SELECT COUNT(*) FROM velkin_dup_copy.l a LEFT JOIN velkin_dup_copy.ld b ON "
                          "b.id = a.id AND BINARY b.l <=> BINARY a.l AND BINARY b.t <=> BINARY a.t "
                          "WHERE b.id IS NULL"));
    EXPECT_EQ("E9",
              scalar(db.admin(), "SELECT HEX(SUBSTRING(l, 4, 1)) FROM velkin_dup_copy.ld WHERE id = 1"));

    // Source and destination on one connection: the answer is stored first, the copy the same.
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.e LIKE velkin_dup_copy.s");
    EXPECT_EQ(0, copyOf(*session, "s", "e").run().rowsFailed);
    EXPECT_EQ(source, awkwardRows(db.admin(), "velkin_dup_copy.e"));
    EXPECT_EQ(checksum(db.admin(), "velkin_dup_copy.s"), checksum(db.admin(), "velkin_dup_copy.e"));
    EXPECT_EQ("2",
              scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.e WHERE data IS NULL AND id < 8"));
}

TEST_F(RowCopyTest, LogsOnlyTheFailingRowOfABatch) {
    const std::string expected =
        "Data shift start\r\n"
        "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n"
        "Data acquisition start 1000 - 2000     \r\n"
        "Error: Query=INSERT INTO velkin_dup_copy.d ( id,name ) VALUES ( '1234','row 1234' )\r\n"
        "Data acquisition success 1000 - 2000\r\n"
        "Data acquisition start 2000 - 3000     Data acquisition success 2000 - 3000\r\n"
        "Data acquisition start 3000 - 4000     Data shift end\r\n";
    for (const Path path : {Streamed, ServerSide, BulkLoad})
        for (const char* engine : {"InnoDB", "MyISAM"}) {
            SCOPED_TRACE(engine + std::to_string(path));
            const bool innodb = std::string(engine) == "InnoDB";
            exec(db.admin(), "DROP TABLE IF EXISTS velkin_dup_copy.s, velkin_dup_copy.d");
            numbered(2500, engine);
            // The destination already holds one of the keys.
            exec(db.admin(), "INSERT INTO velkin_dup_copy.d VALUES (1234, 'taken')");
            ConnectionStatements sent;
            EXPECT_EQ(expected, logOf(copyOf(*reader, "s", "d", path)));
            EXPECT_EQ("2500", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d"));
            EXPECT_EQ("taken", scalar(db.admin(), "SELECT name FROM velkin_dup_copy.d WHERE id = 1234"));
            EXPECT_EQ("2499", scalar(db.admin(),
                                     "SELECT COUNT(*) FROM velkin_dup_copy.s JOIN velkin_dup_copy.d "
                                     "USING (id, name)"));
            const std::string head = "INSERT INTO velkin_dup_copy.d ( id,name ) VALUES ";
            if (path == BulkLoad && innodb) {
                // One block loaded, which skipped a row: rolled back, it went in INSERTs a batch at a
                // time, and the refused batch row by row.
                EXPECT_EQ(
                    1, sent.countStartingWith("LOAD DATA LOCAL INFILE 'rows' INTO TABLE velkin_dup_copy.d "));
                EXPECT_EQ(3 + 1000, sent.countStartingWith(head));
                EXPECT_EQ(1, sent.countStartingWith("ROLLBACK"));
            } else if (path == ServerSide) {
                // One block refused as a whole. Nothing of it stayed in InnoDB: it goes again in
                // three batches, and the refused one is settled as the streamed rows are. MyISAM kept
                // the rows before 1234: only the rest of the batch around it goes by INSERTs, the
                // last batch by the server again.
                EXPECT_EQ(innodb ? 4 : 2, sent.countStartingWith(
                                              "INSERT INTO velkin_dup_copy.d ( id,name ) SELECT id,name FROM "
                                              "velkin_dup_copy.s "));
                EXPECT_EQ(innodb ? 1000 : 2, sent.countStartingWith(head));
                EXPECT_EQ(innodb ? 0 : 1, sent.countStartingWith(head + "( '1235','row 1235' ),"));
                EXPECT_EQ(1, sent.countStartingWith(head + "( '1234','row 1234' )"));
            } else if (innodb) {
                // Three statements of many rows, and the refused one's rows again one by one.
                EXPECT_EQ(3 + 1000, sent.countStartingWith(head));
            } else {
                // The refused statement kept the rows before 1234: the count tells how many, and only
                // 1234 goes alone before the rest follows in one statement.
                EXPECT_EQ(5, sent.countStartingWith(head));
                EXPECT_EQ(1, sent.countStartingWith(head + "( '1001','row 1001' ),"));
                EXPECT_EQ(1, sent.countStartingWith(head + "( '1234','row 1234' )"));
                EXPECT_EQ(1, sent.countStartingWith(head + "( '1235','row 1235' ),"));
                EXPECT_EQ(2, sent.countStartingWith("select count(*) from velkin_dup_copy.d"));
            }
        }
}

TEST_F(RowCopyTest, ReadThatCannotStartEndsTheLogWithFailure) {
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.d (id INT)");
    RowCopy copy = copyOf(*reader, "missing", "d");
    copy.setLogFile("rep_table.log");
    const RowCopyOutcome outcome = copy.run();
    EXPECT_TRUE(outcome.readFailed);
    EXPECT_EQ("Data shift start\r\nData acquisition start 0 - 1000     Data acquisition failure\r\n",
              fileBytes("rep_table.log"));
    // Without a log name nothing is written, and a log that cannot be created does not stop the copy.
    exec(db.admin(), "DROP TABLE velkin_dup_copy.d");
    numbered(5);
    RowCopy unlogged = copyOf(*reader, "s", "d");
    unlogged.setLogFile(dir.path() + "/no/such/folder.log");
    EXPECT_EQ(5, unlogged.run().rowsRead);
    EXPECT_EQ("5", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d"));
}

TEST_F(RowCopyTest, ReadThatBreaksOffKeepsTheRowsThatArrived) {
    // Rows large enough that the server is still sending when the reader is cut off, and that
    // a block of them needs several statements to stay within the server's packet limit.
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.s (id INT PRIMARY KEY, pad MEDIUMTEXT) ENGINE=InnoDB");
    exec(db.admin(),
         "INSERT INTO velkin_dup_copy.s SELECT seq, REPEAT(CHAR(65 + seq % 26), 20000) FROM "
         "velkin_dup_copy.seq_1_to_1500");
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.d LIKE velkin_dup_copy.s");
    RowCopy copy = copyOf(*reader, "s", "d");
    copy.setLogFile("rep_table.log");
    const unsigned long readerThread = reader->threadId();
    copy.onProgress([&](long long rows) {
        if (rows == 1000)
            exec(db.admin(), sqlf("KILL %lu", readerThread));
    });
    ConnectionStatements sent;
    const RowCopyOutcome outcome = copy.run();
    EXPECT_TRUE(outcome.readFailed);
    EXPECT_EQ(0, outcome.rowsFailed);
    EXPECT_LT(outcome.rowsRead, 1500);
    EXPECT_EQ(
        "Data shift start\r\n"
        "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n"
        "Data acquisition start 1000 - 2000     Data acquisition failure\r\n",
        fileBytes("rep_table.log"));
    EXPECT_EQ(std::to_string(outcome.rowsRead), scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d"));
    EXPECT_EQ(
        std::to_string(outcome.rowsRead),
        scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.s JOIN velkin_dup_copy.d USING (id, pad)"));
    // The first block's 20 MB went out in statements within the server's 16 MB packets.
    const std::size_t packet = std::stoul(scalar(db.admin(), "SELECT @@max_allowed_packet"));
    const std::string head = "INSERT INTO velkin_dup_copy.d ( id,pad ) VALUES ( '";
    int firstBlock = 0;
    for (const std::string& sql : sent.on(*session)) {
        if (sql.rfind(head, 0) != 0)
            continue;
        EXPECT_LT(sql.size(), packet);
        if (std::stoi(sql.substr(head.size())) <= 1000)
            ++firstBlock;
    }
    EXPECT_EQ(2, firstBlock);
}

TEST_F(RowCopyTest, LostDestinationStopsTheCopyAndTellsWhatLandedFromTheServer) {
    numbered(120000);
    for (Path path : {Streamed, BulkLoad, ServerSide}) {
        SCOPED_TRACE(path);
        exec(db.admin(), "TRUNCATE TABLE velkin_dup_copy.d");
        session = connectAdmin();
        RowCopy copy = copyOf(path == ServerSide ? *session : *reader, "s", "d", path);
        copy.setLogFile("rep_table.log");
        copy.onOriginalCount([](const std::string&) {});
        const unsigned long destinationThread = session->threadId();
        copy.onProgress([&](long long) { db.admin().query(sqlf("KILL %lu", destinationThread)); });
        const RowCopyOutcome outcome = copy.run();
        const std::string landed = scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d");
        EXPECT_NE("", outcome.destinationLost);
        EXPECT_EQ(120000, outcome.sourceRows);
        EXPECT_EQ(landed, std::to_string(outcome.rowsLanded));
        EXPECT_LT(outcome.rowsLanded, 120000);
        EXPECT_EQ(0, outcome.rowsFailed);
        const std::string text = copyOutcomeText(outcome, "rep_table.log");
        EXPECT_EQ(0u, text.rfind("The copy stopped: the connection to the destination was lost.\n", 0))
            << text;
        EXPECT_NE(std::string::npos,
                  text.find(sqlf("\n%s records were copied.\n%lld records were not copied.", landed,
                                 120000 - outcome.rowsLanded)))
            << text;
        // One line says why; no row is logged as refused, and the source was not read to its end.
        const std::string log = fileBytes("rep_table.log");
        EXPECT_EQ(log.find("Error:"), log.rfind("Error:")) << log;
        EXPECT_NE(std::string::npos, log.find("\r\nError: the connection to the destination was lost ("))
            << log;
        EXPECT_LT(outcome.rowsRead, 120000);
        // The reader is still of use.
        EXPECT_EQ("1", scalar(*reader, "SELECT 1"));
    }
}

TEST_F(RowCopyTest, ValueTheDestinationCannotHoldIsRefusedInEveryKindOfTable) {
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.s (id INT PRIMARY KEY, code VARCHAR(20))");
    exec(db.admin(),
         "INSERT INTO velkin_dup_copy.s SELECT seq, IF(seq = 700, 'far too long', 'ok') FROM "
         "velkin_dup_copy.seq_1_to_1500");
    exec(*session, "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION'");
    for (const Path path : {Streamed, ServerSide, BulkLoad})
        for (const char* engine : {"InnoDB", "MyISAM", "Aria"}) {
            SCOPED_TRACE(engine + std::to_string(path));
            exec(db.admin(), "DROP TABLE IF EXISTS velkin_dup_copy.d");
            exec(db.admin(),
                 sqlf("CREATE TABLE velkin_dup_copy.d (id INT PRIMARY KEY, code VARCHAR(5)) ENGINE=%s",
                      engine));
            const std::string log = logOf(copyOf(*reader, "s", "d", path));
            // A row alone would be refused, so it is refused in company too, and logged by itself.
            EXPECT_NE(std::string::npos, log.find("\r\nError: Query=INSERT INTO velkin_dup_copy.d ( id,code "
                                                  ") VALUES ( '700','far too long' )"
                                                  "\r\nData acquisition success 0 - 1000\r\n"))
                << log;
            EXPECT_EQ(log.find("Error: "), log.rfind("Error: "));
            EXPECT_EQ("1499", scalar(db.admin(), "SELECT COUNT(*) FROM velkin_dup_copy.d"));
            EXPECT_EQ("(none)", scalar(db.admin(), "SELECT code FROM velkin_dup_copy.d WHERE id = 700"));
            EXPECT_EQ("STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION",
                      scalar(*session, "SELECT @@SESSION.sql_mode"));
        }
}

TEST_F(RowCopyTest, KeyedTablesOfOneServerAreCopiedByTheServerInKeyRanges) {
    createAwkwardTable(db.admin(), "velkin_dup_copy", "s", 1500);
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.d LIKE velkin_dup_copy.s");
    // A key of two columns whose texts need escaping, and a table without a usable key.
    exec(db.admin(),
         "CREATE TABLE velkin_dup_copy.k (tag VARCHAR(20), n INT, v TEXT, PRIMARY KEY (tag, n)) "
         "ENGINE=MyISAM");
    exec(db.admin(),
         "INSERT INTO velkin_dup_copy.k SELECT CONCAT('O''B\\\\', seq % 3), seq, REPEAT('v', seq % 5) "
         "FROM velkin_dup_copy.seq_1_to_120000");
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.kd LIKE velkin_dup_copy.k");
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.n (id INT NULL UNIQUE, v DECIMAL(10,4))");
    exec(db.admin(), "INSERT INTO velkin_dup_copy.n SELECT seq, seq / 3 FROM velkin_dup_copy.seq_1_to_1200");
    exec(db.admin(), "CREATE TABLE velkin_dup_copy.nd LIKE velkin_dup_copy.n");

    ConnectionStatements sent;
    RowCopy copy = copyOf(*reader, "s", "d", ServerSide);
    std::string original = "(not shown)";
    copy.onOriginalCount([&](const std::string& count) { original = count; });
    copy.setLogFile("rep_table.log");
    const RowCopyOutcome outcome = copy.run();
    // The count is the rows the server copied; no count of its own is sent.
    EXPECT_EQ("1507", original);
    EXPECT_EQ(0, sent.countStartingWith("select count(*) from velkin_dup_copy.s"));
    EXPECT_EQ(1507, outcome.rowsRead);
    EXPECT_EQ(1507, outcome.rowsLanded);
    EXPECT_EQ((std::vector<long long>{1507}), progress);
    EXPECT_EQ(awkwardRows(db.admin(), "velkin_dup_copy.s"), awkwardRows(db.admin(), "velkin_dup_copy.d"));
    // The log still speaks of batches of a thousand rows.
    EXPECT_EQ(
        "Data shift start\r\n"
        "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n"
        "Data acquisition start 1000 - 2000     Data acquisition success 1000 - 2000\r\n"
        "Data acquisition start 2000 - 3000     Data shift end\r\n",
        fileBytes("rep_table.log"));
    // The reader only counts; the server reads and writes the rows itself, all in one block here,
    // cut by the integer key's bounds without reading the keys.
    EXPECT_EQ(0, sent.countStartingWith("select *"));
    EXPECT_EQ(
        (std::vector<std::string>{
            "SELECT MIN(id), MAX(id) FROM velkin_dup_copy.s",
            "INSERT INTO velkin_dup_copy.d ( id,name,note,amount,data ) SELECT id,name,note,amount,data "
            "FROM velkin_dup_copy.s ORDER BY id"}),
        sent.startingWith({"SELECT MIN(id)", "SELECT id FROM", "INSERT INTO velkin_dup_copy.d"}));

    // A key of two columns is cut by reading the last key of each block.
    RowCopy keyed = copyOf(*reader, "k", "kd", ServerSide);
    keyed.setLogFile("rep_table.log");
    EXPECT_EQ(120000, keyed.run().rowsLanded);
    EXPECT_EQ((std::vector<long long>{50000, 100000, 120000}), progress);
    EXPECT_EQ(checksum(db.admin(), "velkin_dup_copy.k"), checksum(db.admin(), "velkin_dup_copy.kd"));
    EXPECT_EQ(3, sent.countStartingWith("INSERT INTO velkin_dup_copy.kd ( tag,n,v ) SELECT"));
    const std::string log = fileBytes("rep_table.log");
    EXPECT_EQ(120, std::count(log.begin(), log.end(), '\n') - 2);
    EXPECT_NE(std::string::npos,
              log.find("Data acquisition start 119000 - 120000     Data acquisition success "
                       "119000 - 120000\r\nData acquisition start 120000 - 121000     Data "
                       "shift end\r\n"));

    // No key without NULLs: the rows are streamed as before.
    sent.clear();
    EXPECT_EQ(1200, copyOf(*reader, "n", "nd", ServerSide).run().rowsLanded);
    EXPECT_EQ(checksum(db.admin(), "velkin_dup_copy.n"), checksum(db.admin(), "velkin_dup_copy.nd"));
    EXPECT_EQ(1, sent.countStartingWith("select id,v from velkin_dup_copy.n"));
    EXPECT_EQ(0, sent.countStartingWith("INSERT INTO velkin_dup_copy.nd ( id,v ) SELECT"));
}

TEST_F(RowCopyTest, UnevenIntegerKeysKeepTheLogsBatchesAndSettleOnlyTheRefusedBatch) {
    // A crowded start and a sparse rest: the blocks of the key's values hold unequal numbers of
    // rows, and the refused row (the 123,457th) lies in a block that does not start at a batch.
    for (const char* engine : {"InnoDB", "MyISAM"}) {
        SCOPED_TRACE(engine);
        exec(db.admin(), "DROP TABLE IF EXISTS velkin_dup_copy.s, velkin_dup_copy.d");
        numbered(0, engine);
        exec(db.admin(),
             "INSERT INTO velkin_dup_copy.s SELECT IF(seq <= 75000, seq, seq * 7 - 450000), "
             "CONCAT('row ', seq) FROM velkin_dup_copy.seq_1_to_150000");
        const std::string refusedId =
            scalar(db.admin(), "SELECT id FROM velkin_dup_copy.s ORDER BY id LIMIT 123456, 1");
        exec(db.admin(), "INSERT INTO velkin_dup_copy.d VALUES (" + refusedId + ", 'taken')");
        std::string expected = "Data shift start\r\n";
        for (int offset = 0; offset < 150000; offset += 1000) {
            expected += sqlf("Data acquisition start %d - %d     ", offset, offset + 1000);
            if (offset == 123000)
                expected += sqlf(
                    "\r\nError: Query=INSERT INTO velkin_dup_copy.d ( id,name ) VALUES ( '%s','row "
                    "123457' )\r\n",
                    refusedId);
            expected += sqlf("Data acquisition success %d - %d\r\n", offset, offset + 1000);
        }
        expected += "Data acquisition start 150000 - 151000     Data shift end\r\n";
        ConnectionStatements sent;
        RowCopy copy = copyOf(*reader, "s", "d", ServerSide);
        copy.setLogFile("rep_table.log");
        const RowCopyOutcome outcome = copy.run();
        // The blocks of the key's values: the third ends, and the refused fourth starts, mid-batch.
        ASSERT_LE(3u, progress.size());
        EXPECT_EQ((std::vector<long long>{50000, 78571, 91071}),
                  std::vector<long long>(progress.begin(), progress.begin() + 3));
        EXPECT_EQ(150000, outcome.rowsRead);
        EXPECT_EQ(149999, outcome.rowsLanded);
        EXPECT_EQ(1, outcome.rowsFailed);
        EXPECT_EQ(expected, fileBytes("rep_table.log"));
        EXPECT_EQ("149999", scalar(db.admin(),
                                   "SELECT COUNT(*) FROM velkin_dup_copy.s JOIN velkin_dup_copy.d "
                                   "USING (id, name)"));
        EXPECT_EQ(0, sent.countStartingWith("SELECT id FROM velkin_dup_copy.s ORDER BY id LIMIT"));
        // Only the batch with the refused row goes row by row, and only in InnoDB, which kept none of it.
        EXPECT_EQ(std::string(engine) == "InnoDB" ? 1000 : 2,
                  sent.countStartingWith("INSERT INTO velkin_dup_copy.d ( id,name ) VALUES "));
    }
}

TEST_F(RowCopyTest, ServerBlocksNeitherWaitForNorSeeAWriterOfTheSource) {
    numbered(2500);
    // Another session changes a row and holds it locked; at the default isolation the copy's reads
    // would wait for it and give up.
    std::unique_ptr<Connection> writer = connectAdmin();
    exec(*writer, "START TRANSACTION");
    exec(*writer, "UPDATE velkin_dup_copy.s SET name = 'uncommitted' WHERE id = 1500");
    exec(*session, "SET SESSION innodb_lock_wait_timeout = 1");
    ConnectionStatements sent;
    const RowCopyOutcome outcome = copyOf(*reader, "s", "d", ServerSide).run();
    exec(*writer, "ROLLBACK");
    EXPECT_EQ(2500, outcome.rowsLanded);
    EXPECT_EQ(0, outcome.rowsFailed);
    EXPECT_EQ(0, sent.countStartingWith("INSERT INTO velkin_dup_copy.d ( id,name ) VALUES"));
    EXPECT_EQ(1, sent.countStartingWith("SET TRANSACTION ISOLATION LEVEL READ COMMITTED"));
    EXPECT_EQ("row 1500", scalar(db.admin(), "SELECT name FROM velkin_dup_copy.d WHERE id = 1500"));
}

TEST_F(RowCopyTest, LoadedBlocksAreLargerThanTheLogsBatches) {
    numbered(25000);
    ConnectionStatements sent;
    RowCopy copy = copyOf(*reader, "s", "d", BulkLoad);
    const std::string log = logOf(std::move(copy));
    EXPECT_EQ(checksum(db.admin(), "velkin_dup_copy.s"), checksum(db.admin(), "velkin_dup_copy.d"));
    EXPECT_EQ(3, sent.countStartingWith("LOAD DATA LOCAL INFILE 'rows' INTO TABLE velkin_dup_copy.d "));
    EXPECT_EQ(3, sent.countStartingWith("COMMIT"));
    EXPECT_EQ((std::vector<long long>{10000, 20000, 25000}), progress);
    EXPECT_EQ(25, std::count(log.begin(), log.end(), '\n') - 2);
    EXPECT_NE(std::string::npos, log.find("Data acquisition start 24000 - 25000     Data acquisition success "
                                          "24000 - 25000\r\nData acquisition start 25000 - 26000     Data "
                                          "shift end\r\n"));
}

TEST_F(RowCopyTest, AGapInAnIntegerKeyIsSkippedNotWidenedOver) {
    numbered(0);
    exec(db.admin(), "ALTER TABLE velkin_dup_copy.s MODIFY id BIGINT UNSIGNED NOT NULL");
    exec(db.admin(), "ALTER TABLE velkin_dup_copy.d MODIFY id BIGINT UNSIGNED NOT NULL");
    exec(db.admin(),
         "INSERT INTO velkin_dup_copy.s SELECT IF(seq <= 100, seq, 18446744073709500000 + seq), "
         "CONCAT('row ', seq) FROM velkin_dup_copy.seq_1_to_25000");
    ConnectionStatements sent;
    RowCopy copy = copyOf(*reader, "s", "d", ServerSide);
    EXPECT_EQ(25000, copy.run().rowsLanded);
    EXPECT_EQ(checksum(db.admin(), "velkin_dup_copy.s"), checksum(db.admin(), "velkin_dup_copy.d"));
    // The hundred rows, one empty block four times as wide, one look past the gap, and the crowd after
    // it in a block of that width: three block statements, not one for every widening over the gap.
    EXPECT_EQ(1, sent.countStartingWith("SELECT MIN(id), MAX(id) FROM velkin_dup_copy.s WHERE id > "));
    EXPECT_EQ(3, sent.countStartingWith("INSERT INTO velkin_dup_copy.d ( id,name ) SELECT"));
    EXPECT_EQ(std::vector<long long>({100, 25000}), progress);
}
