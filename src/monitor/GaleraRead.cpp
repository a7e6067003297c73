#include "GaleraRead.h"

#include <algorithm>
#include <thread>

namespace velkin {

namespace {

bool sameHost(const std::string& a, const std::string& b) {
    const auto loopback = [](const std::string& h) {
        return h == "127.0.0.1" || h == "localhost" || h == "::1";
    };
    return a == b || (loopback(a) && loopback(b));
}

}  // namespace

GaleraNode readGaleraNode(Connection& connection, const std::string& address) {
    GaleraNode node;
    node.address = address;
    Result result = connection.select(galeraStatusStatement());
    if (!result) {
        node.failure = connection.errorLine();
        return node;
    }
    std::vector<std::pair<std::string, std::string>> rows;
    while (Row row = result.fetchRow())
        rows.emplace_back(row.str(0), row.str(1));
    node.answered = true;
    readGaleraStatus(node, rows);
    return node;
}

GaleraNode GaleraPoller::readOther(const std::string& address, std::unique_ptr<Connection>& connection) {
    if (!connection || !connection->isOpen()) {
        ServerLogin login = m_login;
        const auto [host, port] = splitAddress(address);
        login.host = host;
        login.port = port;
        connection = Connection::openBrief(login, kNodeSeconds);
        if (!connection->isOpen()) {
            GaleraNode node;
            node.address = address;
            node.failure = connection->connectFailure();
            connection.reset();
            return node;
        }
    }
    GaleraNode node = readGaleraNode(*connection, address);
    // A node that did not answer in time is connected afresh next time.
    if (!node.answered)
        connection.reset();
    return node;
}

GaleraCluster GaleraPoller::read(Connection& own, const std::atomic<bool>* stopFlag) {
    GaleraCluster cluster;
    {
        Result on = own.select(galeraOnStatement());
        Row row = on ? on.fetchRow() : Row();
        cluster.galeraOn = row && (row.text(0) == "1" || row.text(0) == "ON");
        if (!on) {
            cluster.lost = own.connectionLost();
            return cluster;
        }
    }
    if (!cluster.galeraOn)
        return cluster;
    GaleraNode self = readGaleraNode(own, m_login.host + ":" + std::to_string(m_login.port));
    cluster.lost = !self.answered && own.connectionLost();
    std::vector<std::string> others;
    for (const std::string& address : incomingAddresses(self.incomingAddresses)) {
        const auto [host, port] = splitAddress(address);
        if (address == m_selfAddress || (port == m_login.port && sameHost(host, m_login.host)))
            self.address = address;
        else
            others.push_back(address);
    }
    // A node that has left the cluster is still asked: that it no longer answers, or answers from
    // outside the Primary component, is what the person needs to see.
    for (const auto& known : m_others)
        if (std::find(others.begin(), others.end(), known.first) == others.end() &&
            known.first != self.address)
            others.push_back(known.first);
    cluster.nodes.push_back(std::move(self));
    if (stopFlag && stopFlag->load())
        return cluster;
    // Side by side: a silent node costs the round its few seconds once, not once per node.
    std::vector<GaleraNode> read(others.size());
    // Each thread keeps to its own node's connection; the map is not changed while they run.
    std::vector<std::unique_ptr<Connection>*> nodeConnections;
    for (const std::string& address : others)
        nodeConnections.push_back(&m_others[address]);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < others.size(); ++i)
        threads.emplace_back([this, &read, &others, &nodeConnections, i] {
            read[i] = readOther(others[i], *nodeConnections[i]);
        });
    for (std::thread& t : threads)
        t.join();
    for (GaleraNode& node : read) {
        // The session's node under another name (a host name where the cluster lists addresses) is
        // the same member: it takes the cluster's address and is not listed twice.
        if (node.answered && !node.memberUuid.empty() &&
            node.memberUuid == cluster.nodes.front().memberUuid) {
            cluster.nodes.front().address = node.address;
            m_selfAddress = node.address;
            m_others.erase(node.address);
            continue;
        }
        cluster.nodes.push_back(std::move(node));
    }
    markDisagreements(cluster.nodes);
    return cluster;
}

}  // namespace velkin
