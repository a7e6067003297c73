#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <string>

#include "RangedChart.h"
#include "ReplicationRead.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

class BackgroundWork;
class Connection;
class LineChartCtrl;
class Operator;

/// "Replication": the session's server as a replica (every replica connection with its threads,
/// lag, primary, GTID positions and last errors, the lag as a running chart) and as a primary (its
/// binary log, the replicas that registered and their Binlog Dump threads). Replica connections can
/// be started and stopped, one statement each, asked first. Refreshes every second on a connection
/// of its own, beside the window's thread, so that the session's work and the refresh never meet.
class ReplicationDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 1000;
    static constexpr std::uint32_t kInitialLagRange = 60;

    ReplicationDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);
    ~ReplicationDialog() override;

    /// One round of statements and the screen brought up to date; a refresh that comes while the
    /// last one still waits on the server is left out.
    void refresh();
    /// Starts or stops the threads of the chosen replica connection, after asking.
    void control(bool start, ReplicaThreads threads);

    /// The snapshot the screen shows now.
    const ReplicationSnapshot& snapshot() const { return m_snapshot; }
    LineChartCtrl* chart() const { return m_chart.chart; }
    /// The connection the refreshes use: the screen's own, or the session's when no second one
    /// could be had; null while none is open.
    const Connection* pollingConnection() const;
    bool isRefreshing() const;

    void done(int result) override;

private:
    void buildScreen();
    QWidget* buildReplicaGroup();
    QWidget* buildDetails();
    QWidget* buildPrimaryGroup();
    void openOwnConnection();
    void showSnapshot(const ReplicationSnapshot& snapshot);
    void showNotice(const ReplicationSnapshot& snapshot);
    void showChannels(const ReplicationSnapshot& snapshot);
    void showDetails();
    void showPrimary(const ReplicationSnapshot& snapshot);
    void feedChart(const ReplicationSnapshot& snapshot);
    void noteErrorTimes(const ReplicationSnapshot& snapshot);
    void enableActions();
    const ReplicaChannel* chosenChannel() const;
    Connection& talkingConnection();

    Connection& m_connection;
    Operator& m_op;
    std::shared_ptr<Connection> m_own;
    /// Set when no twin could be opened for this login: the session's connection is used instead.
    bool m_twinRefused = false;
    /// The login the screen's figures belong to.
    unsigned m_generation = 0;
    /// One worker at a time talks on the screen's connection (refresh, actions).
    std::shared_ptr<std::mutex> m_turn;
    BackgroundWork* m_poll = nullptr;
    BackgroundWork* m_actions = nullptr;
    QTimer* m_timer = nullptr;
    ReplicationSnapshot m_snapshot;
    /// When the screen first saw each connection's current IO and SQL error, for servers that keep
    /// no time of their own (MariaDB): connection name -> (error number, time).
    QHash<QString, QPair<unsigned, QString>> m_ioErrorSeen;
    QHash<QString, QPair<unsigned, QString>> m_sqlErrorSeen;
    /// The chart's series of each replica connection, by name.
    QHash<QString, int> m_series;

    QLabel* m_notice = nullptr;
    QTreeWidget* m_channels = nullptr;
    QHash<QString, QLineEdit*> m_details;
    RangedChart m_chart;
    QList<QPushButton*> m_actionButtons;
    QHash<QString, QLineEdit*> m_primaryBoxes;
    QTreeWidget* m_hosts = nullptr;
    QTreeWidget* m_dumps = nullptr;
};

/// Opens the replication screen for the session's server and returns when it is closed.
int openReplicationScreen(Connection& connection, Operator& op, QWidget* parent);

}  // namespace velkin
