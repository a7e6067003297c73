#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GaleraText.h"
#include "session/Connection.h"

namespace velkin {

/// What one refresh of the Galera screen read: every node, the session's own first.
struct GaleraCluster {
    /// False when the session's server is no Galera node (wsrep_on OFF, or no such variable).
    bool galeraOn = false;
    std::vector<GaleraNode> nodes;
    /// The session's node was lost during the round.
    bool lost = false;
};

/// Reads the cluster from the session's node and from every other node that node names, each on a
/// connection of its own with the same login. The other nodes are read side by side, each bounded
/// by a few seconds, so that a node that does not answer holds up no other. Used from one worker
/// thread at a time.
class GaleraPoller {
public:
    /// Seconds a node other than the session's may take to connect or answer.
    static constexpr unsigned kNodeSeconds = 2;

    explicit GaleraPoller(ServerLogin login) : m_login(std::move(login)) {}

    GaleraCluster read(Connection& own, const std::atomic<bool>* stopFlag = nullptr);

private:
    GaleraNode readOther(const std::string& address, std::unique_ptr<Connection>& connection);

    ServerLogin m_login;
    std::map<std::string, std::unique_ptr<Connection>> m_others;
    /// The cluster's address of the session's node, once learned from its identity.
    std::string m_selfAddress;
};

/// One node's figures on its connection; answered is false, with the server's words, when the
/// statement failed.
GaleraNode readGaleraNode(Connection& connection, const std::string& address);

}  // namespace velkin
