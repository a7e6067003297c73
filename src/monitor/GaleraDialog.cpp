#include "GaleraDialog.h"

#include <QBrush>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "LineChartCtrl.h"
#include "MonitorText.h"
#include "RangedChart.h"
#include "session/BackgroundWork.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

const char* const kNodeColumns[] = {"Node",
                                    "Name",
                                    "Cluster size",
                                    "Status",
                                    "Local state",
                                    "Ready",
                                    "Flow control paused",
                                    "Flow control sent",
                                    "Flow control received",
                                    "Receive queue average",
                                    "Send queue average",
                                    "Certification failures",
                                    "State UUID",
                                    "Conf id",
                                    "Disagrees"};
constexpr int kDisagreesColumn = 14;
const QColor kPausedColours[] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(0, 255, 255)};
const QColor kQueueColours[] = {QColor(255, 0, 255), QColor(255, 255, 255), QColor(255, 128, 0)};

QStringList nodeTexts(const GaleraNode& n) {
    if (!n.answered) {
        // A node that did not answer has its address and why; its figures stay empty.
        QStringList texts(kDisagreesColumn + 1);
        texts.front() = qs(n.address);
        texts.back() =
            qs(n.disagreement) +
            (n.failure.empty() ? QString() : QStringLiteral(" (") + qs(n.failure) + QLatin1Char(')'));
        return texts;
    }
    return {qs(n.address),
            qs(n.nodeName),
            QString::number(n.clusterSize),
            qs(n.clusterStatus),
            qs(n.localState),
            qs(n.ready),
            QString::number(n.flowControlPaused, 'g', 6),
            qs(n.flowControlSent),
            qs(n.flowControlReceived),
            QString::number(n.receiveQueueAverage, 'g', 6),
            QString::number(n.sendQueueAverage, 'g', 6),
            qs(n.certificationFailures),
            qs(n.stateUuid),
            qs(n.confId),
            qs(n.disagreement)};
}

}  // namespace

GaleraDialog::GaleraDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_turn(std::make_shared<std::mutex>()) {
    setWindowTitle(galeraCaption());
    m_poll = new BackgroundWork(this);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("Notice"));
    m_notice->setWordWrap(true);
    m_notice->hide();
    m_nodes = new QTreeWidget(this);
    m_nodes->setObjectName(QStringLiteral("Galera nodes"));
    m_nodes->setRootIsDecorated(false);
    m_nodes->setUniformRowHeights(true);
    m_nodes->setAllColumnsShowFocus(true);
    QStringList headers;
    for (const char* column : kNodeColumns)
        headers << QString::fromUtf8(column);
    m_nodes->setHeaderLabels(headers);

    m_chart = makeRangedChart(this, QStringLiteral("Flow control paused (1/1000) and receive queue (1/100)"),
                              QStringLiteral("Range"), kInitialRange);

    auto* update = new QPushButton(QStringLiteral("Update"), this);
    update->setObjectName(QStringLiteral("Update"));
    update->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    connect(update, &QPushButton::clicked, this, &GaleraDialog::refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addLayout(m_chart.column);
    lower->addStretch();
    lower->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(m_nodes, 1);
    layout->addLayout(lower);

    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &GaleraDialog::refresh);
    m_timer->start();
}

GaleraDialog::~GaleraDialog() = default;

void GaleraDialog::refresh() {
    if (m_poll->running() || !m_connection.isOpen())
        return;
    if (m_connection.generation() != m_generation || !m_poller) {
        // Another login: the cluster, and the account, may be other ones.
        m_generation = m_connection.generation();
        m_own.reset();
        m_poller = std::make_shared<GaleraPoller>(m_connection.login());
    }
    std::shared_ptr<Connection> own = m_own;
    std::shared_ptr<GaleraPoller> poller = m_poller;
    std::vector<Connection*> held;
    if (own)
        held.push_back(own.get());
    std::optional<GaleraCluster> read;
    m_poll->run(held, [&read, &own, poller, session = &m_connection, turn = m_turn](WorkControl& control) {
        const std::lock_guard<std::mutex> lock(*turn);
        // The screen's own connection to the session's node, opened off the window's thread.
        if (!own)
            own = session->openTwin();
        if (own)
            read = poller->read(*own, &control.stopFlag());
    });
    m_own = own;
    if (!read || m_poll->stopRequested())
        return;
    if (read->lost) {
        m_own.reset();
        m_notice->setText(monitorConnectionLostText());
        m_notice->show();
        return;
    }
    showCluster(*read);
}

void GaleraDialog::showCluster(const GaleraCluster& cluster) {
    m_cluster = cluster;
    m_notice->setText(cluster.galeraOn ? QString() : notGaleraNodeText());
    m_notice->setVisible(!cluster.galeraOn);
    showNodes(cluster);
    feedChart(cluster);
}

void GaleraDialog::showNodes(const GaleraCluster& cluster) {
    // Rows are kept by address and updated in place, so the choice stays where it was.
    QSet<QString> addresses;
    for (const GaleraNode& n : cluster.nodes)
        addresses.insert(qs(n.address));
    for (int i = m_nodes->topLevelItemCount() - 1; i >= 0; --i)
        if (!addresses.contains(m_nodes->topLevelItem(i)->text(0)))
            delete m_nodes->takeTopLevelItem(i);
    for (int position = 0; position < static_cast<int>(cluster.nodes.size()); ++position) {
        const GaleraNode& n = cluster.nodes[static_cast<std::size_t>(position)];
        QTreeWidgetItem* item = nullptr;
        for (int i = 0; i < m_nodes->topLevelItemCount() && !item; ++i)
            if (m_nodes->topLevelItem(i)->text(0) == qs(n.address))
                item = m_nodes->topLevelItem(i);
        if (!item) {
            item = new QTreeWidgetItem;
            m_nodes->insertTopLevelItem(position, item);
        }
        const QStringList texts = nodeTexts(n);
        for (int column = 0; column < texts.size(); ++column)
            if (item->text(column) != texts[column])
                item->setText(column, texts[column]);
        // A node that disagrees stands out in red, whatever it says.
        const bool marked = !n.disagreement.empty();
        for (int column = 0; column < texts.size(); ++column)
            item->setForeground(column, marked ? QBrush(Qt::red) : QBrush());
        QFont font = item->font(kDisagreesColumn);
        font.setBold(marked);
        item->setFont(kDisagreesColumn, font);
    }
    // Addresses and UUIDs are read whole; the list scrolls sideways when the columns outgrow it.
    for (int column = 0; column < m_nodes->columnCount(); ++column)
        m_nodes->resizeColumnToContents(column);
}

void GaleraDialog::feedChart(const GaleraCluster& cluster) {
    if (cluster.nodes.empty())
        return;
    LineChartCtrl* chart = m_chart.chart;
    const std::uint32_t upper = m_chart.upper();
    for (const GaleraNode& n : cluster.nodes) {
        const QString address = qs(n.address);
        if (!m_series.contains(address)) {
            const int index = chart->seriesCount();
            const std::size_t colour = static_cast<std::size_t>(index / 2) % 3;
            chart->AddSeries(kPausedColours[colour], upper, 0);
            chart->AddSeries(kQueueColours[colour], upper, 0);
            m_series.insert(address, index);
        }
        const int series = m_series.value(address);
        chart->SetSeriesValue(series, n.answered ? pausedChartValue(n.flowControlPaused) : 0);
        chart->SetSeriesValue(series + 1, n.answered ? queueChartValue(n.receiveQueueAverage) : 0);
    }
    chart->Advance();
}

void GaleraDialog::done(int result) {
    // A refresh under way is ended rather than waited for.
    m_timer->stop();
    m_poll->stop();
    QDialog::done(result);
}

int openGaleraScreen(Connection& connection, Operator& op, QWidget* parent) {
    GaleraDialog dialog(connection, op, parent);
    dialog.refresh();
    return op.runModal(dialog);
}

}  // namespace velkin
