#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velkin {

/// Whether the server runs as a Galera node (one row, one value: 1 or 0).
std::string galeraOnStatement();
/// The node's own figures of the cluster, as rows of name and value.
std::string galeraStatusStatement();

/// One node of the cluster as the Galera screen shows it.
struct GaleraNode {
    std::string address;  ///< host:port of its SQL port, as wsrep_incoming_addresses names it
    bool answered = false;
    std::string failure;  ///< "%d:%s" when it did not answer
    std::string nodeName;
    long long clusterSize = 0;
    std::string clusterStatus;
    std::string localState;
    std::string ready;
    double flowControlPaused = 0;
    std::string flowControlSent;
    std::string flowControlReceived;
    double receiveQueueAverage = 0;
    double sendQueueAverage = 0;
    std::string certificationFailures;
    std::string stateUuid;
    std::string confId;
    std::string incomingAddresses;
    std::string memberUuid;  ///< the node's own identity in the group (wsrep_gcomm_uuid)
    /// Why this node disagrees with the others; empty when it agrees.
    std::string disagreement;
};

/// The figures from the status rows (name, value).
void readGaleraStatus(GaleraNode& node, const std::vector<std::pair<std::string, std::string>>& rows);

/// The addresses named in wsrep_incoming_addresses, in their order; AUTO and empty entries left out.
std::vector<std::string> incomingAddresses(std::string_view text);
/// Host and port of "host:port" (a bracketed IPv6 host keeps no brackets); port 0 when none.
std::pair<std::string, unsigned> splitAddress(std::string_view address);

/// Marks each node whose figures disagree with the others': one that does not answer, one whose
/// state UUID is not the one most nodes share, one that sees a smaller cluster than the largest any
/// node sees, one that is not Synced or not in the Primary component.
void markDisagreements(std::vector<GaleraNode>& nodes);

/// Chart values: the paused fraction in thousandths, a queue average in hundredths.
std::uint32_t pausedChartValue(double fraction);
std::uint32_t queueChartValue(double average);

QString galeraCaption();
QString notGaleraNodeText();
QString galeraNodeSilentText();

}  // namespace velkin
