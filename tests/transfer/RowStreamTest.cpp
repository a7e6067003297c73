#include <gtest/gtest.h>

#include "support/TestServer.h"
#include "transfer/RowStream.h"

using namespace velkin;
using namespace velkin::test;

TEST(RowStream, StreamsOneStatementWhileTheConnectionIsBusy) {
    ScratchDatabase db("velkin_transfer_stream");
    exec(db.admin(), "CREATE TABLE velkin_transfer_stream.t (id INT, name VARCHAR(10))");
    exec(db.admin(), "INSERT INTO velkin_transfer_stream.t VALUES (1, 'a'), (2, NULL), (3, 'c')");
    auto session = connectAdmin();
    StatementLog log;
    {
        RowStream stream(*session);
        ASSERT_TRUE(stream.open("select * from velkin_transfer_stream.t order by id"));
        EXPECT_TRUE(session->isBusy());
        EXPECT_EQ((std::vector<std::string>{"id", "name"}), stream.fieldNames());
        Row first = stream.next();
        ASSERT_TRUE(first);
        EXPECT_EQ("1", first.str(0));
        EXPECT_EQ("a", first.str(1));
        Row second = stream.next();
        ASSERT_TRUE(second);
        EXPECT_TRUE(second.isNull(1));
        // Closing early drops the rest and frees the connection for the next statement.
        stream.close();
        EXPECT_FALSE(session->isBusy());
        EXPECT_EQ("3", scalar(*session, "select count(*) from velkin_transfer_stream.t"));
        EXPECT_FALSE(stream.next());
    }
    EXPECT_EQ("select * from velkin_transfer_stream.t order by id", log.statements.at(0));

    RowStream all(*session);
    ASSERT_TRUE(all.open("select id from velkin_transfer_stream.t order by id"));
    std::string ids;
    while (Row row = all.next())
        ids += row.str(0);
    EXPECT_EQ("123", ids);
    EXPECT_EQ(3u, all.rowsRead());
    EXPECT_FALSE(all.failed());
    EXPECT_TRUE(session->isBusy()) << "open until closed, even after the last row";
    all.close();
    EXPECT_FALSE(session->isBusy());
}

TEST(RowStream, RefusedOrRowlessStatementsOpenNothing) {
    auto session = connectAdmin();
    RowStream stream(*session);
    EXPECT_FALSE(stream.open("select * from velkin_transfer_no_such_db.t"));
    EXPECT_NE(0u, session->errorNumber());
    EXPECT_FALSE(session->isBusy());
    EXPECT_EQ(0, stream.query("DO 1"));
    EXPECT_FALSE(stream.begin());
    EXPECT_FALSE(stream.isOpen());
    EXPECT_FALSE(session->isBusy());
    EXPECT_FALSE(stream.next());
}
