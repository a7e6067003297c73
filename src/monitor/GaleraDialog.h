#pragma once

#include <QDialog>
#include <QHash>
#include <memory>
#include <mutex>

#include "GaleraRead.h"
#include "RangedChart.h"

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;

namespace velkin {

class BackgroundWork;
class Connection;
class LineChartCtrl;
class Operator;

/// "Galera cluster": every node of the session's cluster (its own node and each node it names in
/// wsrep_incoming_addresses, each on a connection of its own with the same login) with its size,
/// status, state, flow control, queues and certification failures; a node that disagrees with the
/// others is marked. Flow control and receive queues run as a chart. Refreshes every second beside
/// the window's thread.
class GaleraDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 1000;
    static constexpr std::uint32_t kInitialRange = 1000;

    GaleraDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);
    ~GaleraDialog() override;

    /// One round over the nodes and the screen brought up to date; left out while one runs.
    void refresh();
    const GaleraCluster& cluster() const { return m_cluster; }
    LineChartCtrl* chart() const { return m_chart.chart; }

    void done(int result) override;

private:
    void showCluster(const GaleraCluster& cluster);
    void showNodes(const GaleraCluster& cluster);
    void feedChart(const GaleraCluster& cluster);

    Connection& m_connection;
    Operator& m_op;
    std::shared_ptr<Connection> m_own;
    std::shared_ptr<GaleraPoller> m_poller;
    std::shared_ptr<std::mutex> m_turn;
    unsigned m_generation = 0;
    BackgroundWork* m_poll = nullptr;
    QTimer* m_timer = nullptr;
    GaleraCluster m_cluster;
    /// The chart's two series (flow control paused, receive queue) of each node, by address.
    QHash<QString, int> m_series;

    QLabel* m_notice = nullptr;
    QTreeWidget* m_nodes = nullptr;
    RangedChart m_chart;
};

/// Opens the Galera screen for the session's server and returns when it is closed.
int openGaleraScreen(Connection& connection, Operator& op, QWidget* parent);

}  // namespace velkin
