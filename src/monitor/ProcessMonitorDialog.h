#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <vector>

class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

class Connection;
class LineChartCtrl;
class Operator;
struct ServerStat;

/// "Display Porcess Status": the server's client threads, its status counters as boxes and running
/// charts, the versions, and buttons that reset the server's caches. Refreshes itself every second.
class ProcessMonitorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 1000;

    /// Reads the process list's columns and starts the refresh. When the server gives no process
    /// list the person is told so and the dialog stays inert: no columns, chart, versions or refresh.
    ProcessMonitorDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// One refresh: counters into the boxes and the chart, then the process list.
    void tick();
    /// Shows the server's threads, the last one first; keeps the rows when the list cannot be read.
    void refreshProcessList();
    bool isRefreshing() const;
    LineChartCtrl* chart() const { return m_chart; }

private:
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
