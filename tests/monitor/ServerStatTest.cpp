#include <gtest/gtest.h>

#include <limits>

#include "monitor/MonitorText.h"
#include "monitor/ServerStat.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(ServerStat, ReadsAllSevenCountersOfAMySqlStyleText) {
    const auto stat = parseServerStat(
        "Uptime: 1234  Threads: 2  Questions: 567  Slow queries: 3  Opens: 89  Flush tables: 1  "
        "Open tables: 64  Queries per second avg: 0.459");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->uptime, 1234);
    EXPECT_EQ(stat->threads, 2);
    EXPECT_EQ(stat->questions, 567);
    EXPECT_EQ(stat->slowQueries, 3);
    EXPECT_EQ(stat->opens, 89);
    EXPECT_EQ(stat->flushTables, 1);
    EXPECT_EQ(stat->openTables, 64);
}

TEST(ServerStat, ReadsAMariaDbStyleTextWithoutFlushTablesAndAnyRunOfBlanks) {
    const auto stat = parseServerStat(
        "Uptime: 86400\tThreads: 7\n Questions: 5000000000  Slow queries: 0  Opens: 22  Open tables: 15  "
        "Queries per second avg: 24.000");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->uptime, 86400);
    EXPECT_EQ(stat->threads, 7);
    EXPECT_EQ(stat->questions, 5000000000LL) << "counters beyond 32 bits are kept whole";
    EXPECT_EQ(stat->slowQueries, 0);
    EXPECT_EQ(stat->opens, 22);
    EXPECT_FALSE(stat->flushTables);
    EXPECT_EQ(stat->openTables, 15);

    // Labels are found in any order, with blanks inside them stretched.
    const auto moved = parseServerStat("Open   tables: 3 Uptime:9");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->openTables, 3);
    EXPECT_EQ(moved->uptime, 9);
    EXPECT_FALSE(moved->threads);
}

TEST(ServerStat, ErrorTextsAndBrokenNumbersGiveNoCounters) {
    EXPECT_FALSE(parseServerStat(""));
    EXPECT_FALSE(parseServerStat("MySQL server has gone away"));
    EXPECT_FALSE(parseServerStat(
        "Lost connection to server at 'handshake: reading initial packet', system error: 104"));
    EXPECT_FALSE(parseServerStat("Threads: many  Uptime: 12x"));
    const auto partly = parseServerStat("Threads: many  Opens: 4");
    ASSERT_TRUE(partly);
    EXPECT_FALSE(partly->threads);
    EXPECT_EQ(partly->opens, 4);
}

TEST(ServerStat, ReadsTheTestServersOwnText) {
    auto connection = connectAdmin();
    const std::string text = connection->stat();
    const auto stat = parseServerStat(text);
    ASSERT_TRUE(stat) << text;
    EXPECT_GE(stat->uptime.value_or(-1), 0) << text;
    EXPECT_GE(stat->threads.value_or(0), 1) << text;
    EXPECT_GT(stat->questions.value_or(0), 0) << text;
    EXPECT_TRUE(stat->slowQueries) << text;
    EXPECT_TRUE(stat->opens) << text;
    EXPECT_TRUE(stat->openTables) << text;
    EXPECT_EQ(stat->flushTables.has_value(), text.find("Flush tables:") != std::string::npos) << text;
    if (connection->dialect().isMariaDb()) {
        EXPECT_FALSE(stat->flushTables) << text;
    }
}

TEST(MonitorText, NumbersAreReadFromTheStartOfBoxTexts) {
    EXPECT_EQ(leadingInteger("42"), 42);
    EXPECT_EQ(leadingInteger("  -7 rows"), -7);
    EXPECT_EQ(leadingInteger("+12abc"), 12);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger("99999999999999999999999"), std::numeric_limits<long long>::max());

    EXPECT_EQ(rangeBound("100"), 100u);
    EXPECT_EQ(rangeBound(""), 0u);
    EXPECT_EQ(rangeBound("x"), 0u);
    EXPECT_EQ(rangeBound("-5"), 0u);
    EXPECT_EQ(rangeBound("9999999999"), std::numeric_limits<std::uint32_t>::max());

    EXPECT_EQ(chartValue(std::nullopt), 0u);
    EXPECT_EQ(chartValue(-3), 0u);
    EXPECT_EQ(chartValue(17), 17u);
    EXPECT_EQ(chartValue(5000000000LL), std::numeric_limits<std::uint32_t>::max());
}
