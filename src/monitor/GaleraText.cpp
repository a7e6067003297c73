#include "GaleraText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

#include "MonitorText.h"

namespace velkin {

namespace {

std::string trimmed(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

double number(const std::string& text) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        return std::isfinite(value) ? value : 0;
    } catch (...) {
        return 0;
    }
}

std::uint32_t scaled(double value, double factor) {
    if (!(value > 0))
        return 0;
    const double x = value * factor;
    return x >= std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                          : static_cast<std::uint32_t>(std::lround(x));
}

}  // namespace

std::string galeraOnStatement() {
    return "SELECT @@global.wsrep_on";
}

std::string galeraStatusStatement() {
    // The node's name is a variable, not a status figure: it comes along in the same answer.
    return "SELECT VARIABLE_NAME, VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS WHERE VARIABLE_NAME "
           "IN "
           "('wsrep_cluster_size', 'wsrep_cluster_status', 'wsrep_local_state_comment', 'wsrep_ready', "
           "'wsrep_flow_control_paused', 'wsrep_flow_control_sent', 'wsrep_flow_control_recv', "
           "'wsrep_local_recv_queue_avg', 'wsrep_local_send_queue_avg', 'wsrep_local_cert_failures', "
           "'wsrep_cluster_state_uuid', 'wsrep_cluster_conf_id', 'wsrep_incoming_addresses', "
           "'wsrep_gcomm_uuid') "
           "UNION ALL SELECT 'wsrep_node_name', @@global.wsrep_node_name";
}

void readGaleraStatus(GaleraNode& node, const std::vector<std::pair<std::string, std::string>>& rows) {
    std::map<std::string, std::string> figures;
    for (const auto& [name, value] : rows) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        figures[lower] = value;
    }
    const auto get = [&figures](const char* name) {
        const auto it = figures.find(name);
        return it == figures.end() ? std::string() : it->second;
    };
    node.nodeName = get("wsrep_node_name");
    node.clusterSize = leadingInteger(get("wsrep_cluster_size"));
    node.clusterStatus = get("wsrep_cluster_status");
    node.localState = get("wsrep_local_state_comment");
    node.ready = get("wsrep_ready");
    node.flowControlPaused = number(get("wsrep_flow_control_paused"));
    node.flowControlSent = get("wsrep_flow_control_sent");
    node.flowControlReceived = get("wsrep_flow_control_recv");
    node.receiveQueueAverage = number(get("wsrep_local_recv_queue_avg"));
    node.sendQueueAverage = number(get("wsrep_local_send_queue_avg"));
    node.certificationFailures = get("wsrep_local_cert_failures");
    node.stateUuid = get("wsrep_cluster_state_uuid");
    node.confId = get("wsrep_cluster_conf_id");
    node.incomingAddresses = get("wsrep_incoming_addresses");
    node.memberUuid = get("wsrep_gcomm_uuid");
}

std::vector<std::string> incomingAddresses(std::string_view text) {
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string item = trimmed(text.substr(start, end - start));
        std::string upper = item;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        if (!item.empty() && upper != "AUTO" &&
            std::find(addresses.begin(), addresses.end(), item) == addresses.end())
            addresses.push_back(item);
        start = end + 1;
    }
    return addresses;
}

std::pair<std::string, unsigned> splitAddress(std::string_view address) {
    std::string host(address);
    unsigned port = 0;
    const std::size_t colon = host.rfind(':');
    const std::size_t bracket = host.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        const std::string digits = host.substr(colon + 1);
        if (!digits.empty() && digits.size() <= 5 &&
            std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
            port = static_cast<unsigned>(std::stoul(digits));
            host.erase(colon);
        }
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return {host, port};
}

void markDisagreements(std::vector<GaleraNode>& nodes) {
    std::map<std::string, int> uuids;
    long long largest = 0;
    for (const GaleraNode& n : nodes)
        if (n.answered) {
            ++uuids[n.stateUuid];
            largest = std::max(largest, n.clusterSize);
        }
    std::string common;
    int most = 0;
    for (const auto& [uuid, count] : uuids)
        if (count > most) {
            common = uuid;
            most = count;
        }
    for (GaleraNode& n : nodes) {
        std::vector<std::string> reasons;
        if (!n.answered) {
            reasons.push_back("does not answer");
        } else {
            if (n.stateUuid != common)
                reasons.push_back("another state UUID");
            if (n.clusterSize < largest)
                reasons.push_back("sees " + std::to_string(n.clusterSize) + " of " + std::to_string(largest) +
                                  " nodes");
            if (n.localState != "Synced")
                reasons.push_back("not Synced (" + n.localState + ")");
            if (n.clusterStatus != "Primary")
                reasons.push_back("not Primary (" + n.clusterStatus + ")");
        }
        n.disagreement.clear();
        for (const std::string& reason : reasons)
            n.disagreement += (n.disagreement.empty() ? "" : ", ") + reason;
    }
}

std::uint32_t pausedChartValue(double fraction) {
    return scaled(fraction, 1000);
}

std::uint32_t queueChartValue(double average) {
    return scaled(average, 100);
}

QString galeraCaption() {
    return QStringLiteral("Galera cluster");
}

QString notGaleraNodeText() {
    return QStringLiteral("This server is not a Galera node: wsrep_on is OFF.");
}

QString galeraNodeSilentText() {
    return QStringLiteral("does not answer");
}

}  // namespace velkin
