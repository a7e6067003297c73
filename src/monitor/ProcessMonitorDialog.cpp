#include "ProcessMonitorDialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

#include <QSet>
#include <algorithm>
#include <vector>
#include "LineChartCtrl.h"
#include "MonitorText.h"
#include "ProcessDetailsDialog.h"
#include "ServerStat.h"
#include "session/BackgroundWork.h"
#include "session/Connection.h"
#include "session/InputPause.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

struct Counter {
    const char* label;
    std::optional<std::int64_t> ServerStat::*field;
    int series;  // -1: not charted
};

/// In the order the boxes stand on the screen.
const Counter kCounters[] = {
    {"The number of starting seconds", &ServerStat::uptime, -1},
    {"The number of threads (clients)", &ServerStat::threads, 0},
    {"The number of Query", &ServerStat::questions, -1},
    {"long_query_time Over", &ServerStat::slowQueries, 1},
    {"The open number of tables", &ServerStat::opens, 3},
    {"The number of Reload", &ServerStat::flushTables, 2},
    {"The number of tables opened now", &ServerStat::openTables, 4},
};
constexpr int kCounterCount = static_cast<int>(sizeof(kCounters) / sizeof(kCounters[0]));

/// Threads, slow queries, flush tables, opens, open tables: the counters by series.
constexpr int kSeriesCount = 5;
const int kCounterOfSeries[kSeriesCount] = {1, 3, 5, 4, 6};
const QColor kSeriesColours[kSeriesCount] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 255),
                                             QColor(0, 255, 255), QColor(255, 255, 255)};
constexpr std::uint32_t kInitialRange = 100;

/// Uptime, threads, opens, questions, open tables, slow queries, flush tables.
const int kBoxWriteOrder[] = {0, 1, 4, 2, 6, 3, 5};
/// Threads, opens, flush tables, open tables, slow queries.
const int kRangeSetOrder[] = {1, 4, 5, 6, 3};

// Host (address and port) and State are read whole; the statement has the rest of the room.
const int kColumnWidths[] = {50, 75, 130, 75, 75, 50, 120, 200, 150};

using ProcessRows = std::vector<std::vector<QString>>;

/// The server's threads as the list shows them, the last one first; none when the list cannot be read.
std::optional<ProcessRows> readProcessRows(Connection& connection) {
    if (connection.query(processListStatement(false)) != 0)
        return std::nullopt;
    Result result = connection.storeResult();
    if (!result)
        return std::nullopt;
    ProcessRows rows;
    while (Row row = result.fetchRow()) {
        std::vector<QString> texts(kProcessFieldsShown);
        texts[0] = qs(row.text(0));
        for (unsigned field = 1; field < kProcessFieldsShown && field < row.size(); ++field)
            if (!row.isNull(field))
                texts[field] = qs(row.text(field));
        rows.push_back(std::move(texts));
    }
    // The server's last row is shown first.
    std::reverse(rows.begin(), rows.end());
    return rows;
}

QLineEdit* readOnlyBox(QWidget* owner, const QString& name) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

}  // namespace

/// What one refresh brought back from the server.
struct ProcessMonitorDialog::Poll {
    std::optional<ServerStat> stat;
    std::optional<ProcessRows> rows;
    bool lost = false;
};

ProcessMonitorDialog::ProcessMonitorDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_turn(std::make_shared<std::mutex>()) {
    setWindowTitle(QStringLiteral("Display Porcess Status"));
    m_poll = new BackgroundWork(this);
    m_actions = new BackgroundWork(this);
    m_patience = new QTimer(this);
    m_patience->setSingleShot(true);
    m_patience->setInterval(kPatienceMilliseconds);
    connect(m_patience, &QTimer::timeout, this, [this] {
        m_notice->setText(serverSilentText());
        m_notice->show();
    });
    buildScreen();

    if (!createProcessColumns()) {
        m_op.inform(QStringLiteral("Process information has not been referred to."));
        return;
    }
    addChartSeries();
    setInitialRanges();
    m_generation = m_connection.generation();
    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ProcessMonitorDialog::tick);
    m_timer->start();
    showVersions();
}

void ProcessMonitorDialog::buildScreen() {
    m_processes = new QTreeWidget(this);
    m_processes->setObjectName(QStringLiteral("Process list"));
    m_processes->setRootIsDecorated(false);
    m_processes->setUniformRowHeights(true);
    m_processes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_processes->setAllColumnsShowFocus(true);
    m_processes->setColumnCount(0);
    connect(m_processes, &QTreeWidget::itemDoubleClicked, this, &ProcessMonitorDialog::openProcessDetails);

    auto* update = new QPushButton(QStringLiteral("Update"), this);
    update->setObjectName(QStringLiteral("Update"));
    update->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    connect(update, &QPushButton::clicked, this, &ProcessMonitorDialog::refreshProcessList);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(update);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_processes, 1);
    top->addLayout(buttons);

    auto* lower = new QHBoxLayout;
    lower->addWidget(buildStatusGroup(), 1);
    auto* side = new QVBoxLayout;
    side->addWidget(buildResetGroup());
    side->addLayout(buildVersionBoxes());
    side->addStretch();
    lower->addLayout(side);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("Notice"));
    m_notice->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(lower);
    layout->addWidget(m_notice);
}

ProcessMonitorDialog::~ProcessMonitorDialog() = default;

QWidget* ProcessMonitorDialog::buildStatusGroup() {
    auto* group = new QGroupBox(QStringLiteral("Server Status"), this);
    group->setObjectName(QStringLiteral("Server Status"));
    auto* grid = new QGridLayout;
    auto* rangeHeading = new QLabel(QStringLiteral("Range"), group);
    rangeHeading->setObjectName(QStringLiteral("Range"));
    grid->addWidget(rangeHeading, 0, 2);

    // Range boxes take digits only, as a numeric entry box does; pasted or set text is read leniently.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), group);
    for (int i = 0; i < kCounterCount; ++i) {
        const QString label = QString::fromUtf8(kCounters[i].label);
        grid->addWidget(new QLabel(label, group), i + 1, 0);
        QLineEdit* box = readOnlyBox(group, label);
        // Ten digits read whole; wider boxes only push the dialog past a 1024 pixel screen.
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 16);
        grid->addWidget(box, i + 1, 1);
        m_counterBoxes << box;

        QLineEdit* range = nullptr;
        if (kCounters[i].series >= 0) {
            range = new QLineEdit(group);
            range->setObjectName(QStringLiteral("Range ") + label);
            range->setValidator(digits);
            range->setFixedWidth(64);
            grid->addWidget(range, i + 1, 2);
            connect(range, &QLineEdit::textChanged, this, [this, i] { rangeChanged(i); });
        }
        m_rangeBoxes << range;
    }

    m_chart = new LineChartCtrl(group);
    // The chart keeps the size it had when its first series came; it is fixed before that.
    m_chart->setFixedSize(320, 160);
    grid->addWidget(m_chart, 0, 3, kCounterCount + 1, 1, Qt::AlignTop);
    // Room the side column leaves over goes below the counters, not between them.
    grid->setRowStretch(kCounterCount + 1, 1);
    group->setLayout(grid);
    return group;
}

QWidget* ProcessMonitorDialog::buildResetGroup() {
    auto* group = new QGroupBox(QStringLiteral("Reset"), this);
    group->setObjectName(QStringLiteral("Reset"));
    auto* column = new QVBoxLayout;
    const auto& actions = resetActions();
    for (int i = 0; i < static_cast<int>(actions.size()); ++i) {
        const QString label = QString::fromUtf8(actions[static_cast<std::size_t>(i)].button);
        auto* button = new QPushButton(label, group);
        button->setObjectName(label);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { reset(i); });
        column->addWidget(button);
    }
    group->setLayout(column);
    // A reset waits for the one before it.
    connect(m_actions, &BackgroundWork::runningChanged, group,
            [group](bool running) { group->setEnabled(!running); });
    return group;
}

QLayout* ProcessMonitorDialog::buildVersionBoxes() {
    auto* grid = new QGridLayout;
    m_serverVersion = readOnlyBox(this, QStringLiteral("Server Version"));
    m_clientVersion = readOnlyBox(this, QStringLiteral("Client Version"));
    m_protocolVersion = readOnlyBox(this, QStringLiteral("Protocol version"));
    int row = 0;
    for (QLineEdit* box : {m_serverVersion, m_clientVersion, m_protocolVersion}) {
        box->setMinimumWidth(150);
        // Each label above its box: side by side they made the dialog wider than a 1024 pixel screen.
        grid->addWidget(new QLabel(box->objectName(), this), 2 * row, 0);
        grid->addWidget(box, 2 * row + 1, 0);
        ++row;
    }
    return grid;
}

bool ProcessMonitorDialog::createProcessColumns() {
    std::optional<std::vector<std::string>> names;
    std::shared_ptr<Connection> own;
    Connection* session = &m_connection;
    // The dialog is not on the screen yet, so nothing holds the other windows off the session meanwhile.
    const InputPause pause;
    m_poll->run({session}, [&names, &own, session](WorkControl&) {
        Result processes = session->listProcesses();
        if (!processes)
            return;
        names = processes.fieldNames();
        // The refreshes get a connection of their own, so that the session stays free for its work.
        own = session->openTwin();
    });
    // Without a twin the refreshes take turns on the session's connection.
    m_own = std::move(own);
    m_twinRefused = !m_own;
    if (!names)
        return false;
    QStringList headers;
    for (const auto& name : *names)
        headers << qs(name);
    m_processes->setColumnCount(static_cast<int>(headers.size()));
    m_processes->setHeaderLabels(headers);
    const int widthCount = static_cast<int>(sizeof(kColumnWidths) / sizeof(kColumnWidths[0]));
    for (int i = 0; i < headers.size() && i < widthCount; ++i)
        m_processes->setColumnWidth(i, kColumnWidths[i]);
    return true;
}

void ProcessMonitorDialog::addChartSeries() {
    for (const QColor& colour : kSeriesColours)
        m_chart->AddSeries(colour, kInitialRange, 0);
}

void ProcessMonitorDialog::setInitialRanges() {
    for (int counter : kRangeSetOrder)
        m_rangeBoxes[counter]->setText(QString::number(kInitialRange));
}

void ProcessMonitorDialog::showVersions() {
    m_serverVersion->setText(textf("%s", m_connection.serverInfo()));
    // A version like "10.11.6-MariaDB-0+deb12u1" is read from its start; the box is as wide as it.
    for (QLineEdit* box : {m_serverVersion, m_clientVersion}) {
        box->setMinimumWidth(
            std::max(box->minimumWidth(), box->fontMetrics().horizontalAdvance(box->text()) + 16));
        box->setCursorPosition(0);
        box->setToolTip(box->text());
    }
    m_clientVersion->setText(textf("%s", Connection::clientInfo()));
    m_protocolVersion->setText(textf("%d", m_connection.protoInfo()));
}

void ProcessMonitorDialog::rangeChanged(int counter) {
    const std::uint32_t upper = rangeBound(u8(m_rangeBoxes[counter]->text()));
    m_chart->SetSeriesRange(kCounters[counter].series, upper, 0);
}

bool ProcessMonitorDialog::isRefreshing() const {
    return m_timer && m_timer->isActive();
}

const Connection* ProcessMonitorDialog::pollingConnection() const {
    if (m_own)
        return m_own.get();
    return m_twinRefused ? &m_connection : nullptr;
}

void ProcessMonitorDialog::tick() {
    // While the session is lost or a login runs there is no login to ask with; the monitor waits and
    // goes on with the new connection.
    if (m_poll->running() || !m_connection.isOpen())
        return;
    if (m_connection.generation() != m_generation) {
        // Another login: the server (and its version) may be another one, and so may the account.
        m_generation = m_connection.generation();
        showVersions();
        m_own.reset();
        m_twinRefused = false;
    }
    // A lost connection gives no counters: the boxes and the chart keep the last good picture.
    const Poll poll = runPoll(true);
    if (poll.stat) {
        feedChart(*poll.stat);
        showCounters(*poll.stat);
    }
    if (poll.rows)
        showProcessRows(*poll.rows);
}

ProcessMonitorDialog::Poll ProcessMonitorDialog::runPoll(bool withCounters) {
    Poll poll;
    if (m_poll->running() || !m_connection.isOpen())
        return poll;
    bool polled = false;
    const auto read = [&poll, &polled, withCounters](Connection& connection, const WorkControl& control) {
        polled = true;
        if (withCounters)
            poll.stat = parseServerStat(connection.stat());
        // A refresh stopped by closing the dialog sends nothing more.
        if (control.stopRequested())
            return;
        poll.rows = readProcessRows(connection);
        poll.lost = !poll.rows && connection.connectionLost();
    };
    m_patience->start();
    std::shared_ptr<Connection> own = m_own;
    if (own || !m_twinRefused) {
        std::vector<Connection*> held;
        if (own)
            held.push_back(own.get());
        m_poll->run(held, [&own, &read, turn = m_turn, session = &m_connection](WorkControl& control) {
            const std::lock_guard<std::mutex> lock(*turn);
            // A twin that was lost (or never opened) is opened again here, off the window's thread.
            if (!own)
                own = session->openTwin();
            if (own)
                read(*own, control);
        });
        m_twinRefused = !own;
        m_own = poll.lost ? nullptr : own;
    }
    // A copy or a console statement that holds the session is never met by our traffic, nor is the
    // session asked once the dialog was closed.
    if (!polled && !m_poll->stopRequested() && !m_connection.isBusy()) {
        Connection* session = &m_connection;
        m_poll->run({session}, [&read, session, turn = m_turn](WorkControl& control) {
            const std::lock_guard<std::mutex> lock(*turn);
            read(*session, control);
        });
    }
    m_patience->stop();
    if (poll.lost) {
        m_notice->setText(monitorConnectionLostText());
        m_notice->show();
    } else if (poll.rows || poll.stat) {
        m_notice->hide();
    }
    return poll;
}

bool ProcessMonitorDialog::runAction(const std::function<void(Connection&)>& call) {
    std::shared_ptr<Connection> own = m_own;
    Connection* target = own ? own.get() : &m_connection;
    if (m_actions->running() || (!own && m_connection.isBusy()))
        return false;
    m_actions->run({target}, [own, target, &call, turn = m_turn](WorkControl&) {
        const std::lock_guard<std::mutex> lock(*turn);
        call(*target);
    });
    return true;
}

void ProcessMonitorDialog::done(int result) {
    // A refresh under way is ended rather than waited for; the dialog is gone from the screen at once.
    if (m_timer)
        m_timer->stop();
    m_poll->stop();
    m_actions->stop();
    QDialog::done(result);
}

void ProcessMonitorDialog::feedChart(const ServerStat& stat) {
    // A counter the server does not report runs along the bottom.
    for (int series = 0; series < kSeriesCount; ++series)
        m_chart->SetSeriesValue(series, chartValue(stat.*(kCounters[kCounterOfSeries[series]].field)));
    m_chart->Advance();
}

void ProcessMonitorDialog::showCounters(const ServerStat& stat) {
    for (int counter : kBoxWriteOrder) {
        const auto& value = stat.*(kCounters[counter].field);
        // A counter the server does not report leaves its box as it was rather than claiming 0.
        if (value)
            m_counterBoxes[counter]->setText(textf("%d", *value));
    }
}

void ProcessMonitorDialog::refreshProcessList() {
    // The list is brought up to date every second without being rebuilt: a thread that stays keeps
    // its item, so the selection and the item under the pointer (mid double-click) stay as they are.
    // While a refresh is under way, that one brings the list up to date.
    const Poll poll = runPoll(false);
    if (poll.rows)
        showProcessRows(*poll.rows);
}

void ProcessMonitorDialog::showProcessRows(const std::vector<std::vector<QString>>& rows) {
    QSet<QString> ids;
    for (const auto& row : rows)
        ids.insert(row[0]);
    bool choiceGone = false;
    for (int i = m_processes->topLevelItemCount() - 1; i >= 0; --i)
        if (!ids.contains(m_processes->topLevelItem(i)->text(0))) {
            choiceGone = choiceGone || m_processes->topLevelItem(i)->isSelected();
            delete m_processes->takeTopLevelItem(i);
        }
    // A chosen thread that ended leaves nothing chosen, rather than its neighbour.
    if (choiceGone) {
        m_processes->clearSelection();
        m_processes->setCurrentItem(nullptr);
    }
    for (int position = 0; position < static_cast<int>(rows.size()); ++position) {
        const auto& texts = rows[static_cast<std::size_t>(position)];
        QTreeWidgetItem* item = m_processes->topLevelItem(position);
        if (!item || item->text(0) != texts[0]) {
            item = new QTreeWidgetItem;
            item->setText(0, texts[0]);
            // A thread listed further down moves up; only a new one is a new item.
            for (int later = position + 1; later < m_processes->topLevelItemCount(); ++later)
                if (m_processes->topLevelItem(later)->text(0) == texts[0]) {
                    delete item;
                    item = m_processes->takeTopLevelItem(later);
                    m_processes->insertTopLevelItem(position, item);
                    item->setSelected(item == m_processes->currentItem());
                    break;
                }
            if (item->treeWidget() == nullptr)
                m_processes->insertTopLevelItem(position, item);
        }
        for (int field = 1; field < static_cast<int>(texts.size()); ++field)
            if (item->text(field) != texts[static_cast<std::size_t>(field)])
                item->setText(field, texts[static_cast<std::size_t>(field)]);
    }
}

void ProcessMonitorDialog::reset(int action) {
    const ResetAction& reset = resetActions()[static_cast<std::size_t>(action)];
    // The message is the same whatever the server answers: the reset is a request, not a promise.
    const std::string statement = reset.statement;
    if (runAction([&statement](Connection& connection) { connection.query(statement); }))
        m_op.inform(QString::fromUtf8(reset.message));
}

void ProcessMonitorDialog::openProcessDetails(QTreeWidgetItem* item) {
    if (!item)
        return;
    // The details talk on the monitor's connection, taking turns with the refreshes that go on.
    const std::shared_ptr<Connection> own = m_own;
    ProcessDetailsDialog details(own ? *own : m_connection, m_op, leadingInteger(u8(item->text(0))), this,
                                 m_turn.get());
    m_op.runModal(details);
    // A stopped thread leaves the list at once, not a second later.
    refreshProcessList();
}

}  // namespace velkin
