#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

class BackgroundWork;
class Connection;
class LineChartCtrl;
class Operator;
struct ServerStat;

/// "Display Porcess Status": the server's client threads, its status counters as boxes and running
/// charts, the versions, and buttons that reset the server's caches. Refreshes itself every second.
/// Every statement runs beside the window's thread, on a connection of the monitor's own (a twin of
/// the session's), so that the session's own work and the refresh never meet on one handle.
class ProcessMonitorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 1000;
    /// How long a refresh may wait on the server before the notice line says that it does not answer.
    static constexpr int kPatienceMilliseconds = 2000;

    /// Reads the process list's columns and starts the refresh. When the server gives no process
    /// list the person is told so and the dialog stays inert: no columns, chart, versions or refresh.
    ProcessMonitorDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    ~ProcessMonitorDialog() override;

    /// One refresh: counters into the boxes and the chart, then the process list. A tick that comes
    /// while the last refresh still waits on the server is left out.
    void tick();
    /// Shows the server's threads, the last one first; keeps the rows when the list cannot be read.
    void refreshProcessList();
    bool isRefreshing() const;
    LineChartCtrl* chart() const { return m_chart; }
    /// The connection the refreshes use: the monitor's own, or the session's when no second one
    /// could be had; null before the first was opened.
    const Connection* pollingConnection() const;

    /// Closing stops a refresh under way.
    void done(int result) override;

private:
    struct Poll;

    Poll runPoll(bool withCounters);
    bool runAction(const std::function<void(Connection&)>& call);
    void waitingChanged(bool waiting);
    void showProcessRows(const std::vector<std::vector<QString>>& rows);
    void buildScreen();
    QWidget* buildStatusGroup();
    QWidget* buildResetGroup();
    QLayout* buildVersionBoxes();
    bool createProcessColumns();
    void addChartSeries();
    void setInitialRanges();
    void showVersions();
    void rangeChanged(int counter);
    void feedChart(const ServerStat& stat);
    void showCounters(const ServerStat& stat);
    void reset(int action);
    void openProcessDetails(QTreeWidgetItem* item);

    Connection& m_connection;
    Operator& m_op;
    /// The monitor's own connection to the server, opened beside the window's thread and shared
    /// with the work that uses it, so that closing the dialog never pulls it from under a worker.
    std::shared_ptr<Connection> m_own;
    /// Set when no twin could be opened for this login: the session's connection is used instead.
    bool m_twinRefused = false;
    /// One worker at a time talks on the monitor's connection (refresh, reset, details).
    std::shared_ptr<std::mutex> m_turn;
    BackgroundWork* m_poll = nullptr;
    BackgroundWork* m_actions = nullptr;
    QTimer* m_patience = nullptr;
    /// Says when the server keeps a refresh waiting, or the connection was lost.
    QLabel* m_notice = nullptr;
    QTreeWidget* m_processes = nullptr;
    LineChartCtrl* m_chart = nullptr;
    /// One box per counter, and a Range box for the charted ones (null for the others).
    QList<QLineEdit*> m_counterBoxes;
    QList<QLineEdit*> m_rangeBoxes;
    QLineEdit* m_serverVersion = nullptr;
    QLineEdit* m_clientVersion = nullptr;
    QLineEdit* m_protocolVersion = nullptr;
    QTimer* m_timer = nullptr;
    /// The login whose server the version boxes describe.
    unsigned m_generation = 0;
};

}  // namespace velkin
