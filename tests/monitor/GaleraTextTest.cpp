#include <gtest/gtest.h>

#include "monitor/GaleraText.h"

using namespace velkin;

namespace {

GaleraNode synced(const std::string& address, long long size = 3, const std::string& uuid = "u1") {
    GaleraNode n;
    n.address = address;
    n.answered = true;
    readGaleraStatus(n, {{"WSREP_CLUSTER_SIZE", std::to_string(size)},
                         {"WSREP_CLUSTER_STATUS", "Primary"},
                         {"WSREP_LOCAL_STATE_COMMENT", "Synced"},
                         {"WSREP_CLUSTER_STATE_UUID", uuid},
                         {"WSREP_FLOW_CONTROL_PAUSED", "0.125"},
                         {"WSREP_LOCAL_RECV_QUEUE_AVG", "1.5"},
                         {"wsrep_node_name", "n-" + address}});
    return n;
}

}  // namespace

TEST(GaleraText, ReadsTheNodesFiguresAndItsPeers) {
    const GaleraNode n = synced("a:1");
    EXPECT_EQ(n.clusterSize, 3);
    EXPECT_EQ(n.localState, "Synced");
    EXPECT_DOUBLE_EQ(n.flowControlPaused, 0.125);
    EXPECT_EQ(n.nodeName, "n-a:1");
    EXPECT_EQ(pausedChartValue(n.flowControlPaused), 125u);
    EXPECT_EQ(queueChartValue(n.receiveQueueAverage), 150u);
    EXPECT_EQ(pausedChartValue(-1), 0u);
    EXPECT_EQ(queueChartValue(1e12), 0xffffffffu);

    const auto peers = incomingAddresses("127.0.0.1:3306, AUTO,,[::1]:3307,127.0.0.1:3306");
    ASSERT_EQ(peers.size(), 2u);
    EXPECT_EQ(peers[0], "127.0.0.1:3306");
    EXPECT_EQ(splitAddress(peers[1]), std::make_pair(std::string("::1"), 3307u));
    EXPECT_EQ(splitAddress("db.example"), std::make_pair(std::string("db.example"), 0u));
}

TEST(GaleraText, MarksTheNodeThatDisagrees) {
    std::vector<GaleraNode> nodes = {synced("a:1"), synced("b:1"), synced("c:1")};
    markDisagreements(nodes);
    for (const GaleraNode& n : nodes)
        EXPECT_EQ(n.disagreement, "") << n.address;

    // One node split off: another state UUID and a smaller view; one that stopped answering.
    nodes = {synced("a:1", 2), synced("b:1", 1, "u2"), synced("c:1", 2)};
    GaleraNode silent;
    silent.address = "d:1";
    nodes.push_back(silent);
    nodes[2].localState = "Donor/Desynced";
    markDisagreements(nodes);
    EXPECT_EQ(nodes[0].disagreement, "");
    EXPECT_EQ(nodes[1].disagreement, "another state UUID, sees 1 of 2 nodes");
    EXPECT_EQ(nodes[2].disagreement, "not Synced (Donor/Desynced)");
    EXPECT_EQ(nodes[3].disagreement, "does not answer");

    nodes = {synced("a:1")};
    nodes[0].clusterStatus = "non-Primary";
    markDisagreements(nodes);
    EXPECT_EQ(nodes[0].disagreement, "not Primary (non-Primary)");
}
