#include "ReplicationDialog.h"

#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
#include "session/InputPause.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

const char* const kChannelColumns[] = {"Connection",          "IO thread", "SQL thread", "Seconds behind",
                                       "Transactions behind", "Primary",   "Last error"};
const char* const kDetailLabels[] = {
    "IO thread state", "SQL thread state", "Primary host",       "Primary port",   "Using GTID",
    "GTID received",   "GTID applied",     "Primary log file",   "Read position",  "Executed position",
    "Relay log space", "Last IO error",    "Last IO error time", "Last SQL error", "Last SQL error time"};
const char* const kPrimaryLabels[] = {"Binary log file", "Binary log position", "binlog_format",
                                      "gtid_binlog_pos", "gtid_slave_pos",      "gtid_current_pos"};
const QColor kLagColours[] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(0, 255, 255),
                              QColor(255, 0, 255), QColor(255, 255, 255)};

struct Action {
    bool start;
    ReplicaThreads threads;
};
const Action kActions[] = {{true, ReplicaThreads::Both}, {false, ReplicaThreads::Both},
                           {true, ReplicaThreads::Io},   {false, ReplicaThreads::Io},
                           {true, ReplicaThreads::Sql},  {false, ReplicaThreads::Sql}};

QLineEdit* readOnlyBox(QWidget* owner, const QString& name) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

/// A read-only box for each label, label and box side by side, `columns` pairs to a row.
template <std::size_t N>
QHash<QString, QLineEdit*> labelledBoxes(QWidget* owner, QGridLayout* grid, const char* const (&labels)[N],
                                         int columns) {
    QHash<QString, QLineEdit*> boxes;
    int i = 0;
    for (const char* label : labels) {
        const QString name = QString::fromUtf8(label);
        QLineEdit* edit = readOnlyBox(owner, name);
        grid->addWidget(new QLabel(name, owner), i / columns, (i % columns) * 2);
        grid->addWidget(edit, i / columns, (i % columns) * 2 + 1);
        boxes.insert(name, edit);
        ++i;
    }
    return boxes;
}

QTreeWidget* list(QWidget* owner, const QString& name, const QStringList& headers) {
    auto* tree = new QTreeWidget(owner);
    tree->setObjectName(name);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setHeaderLabels(headers);
    return tree;
}

QString errorLine(unsigned number, const std::string& text) {
    return number == 0 ? QString() : textf("%d:%s", number, text);
}

QString lastError(const ReplicaChannel& c) {
    if (c.lastSqlErrno != 0)
        return errorLine(c.lastSqlErrno, c.lastSqlError);
    return errorLine(c.lastIoErrno, c.lastIoError);
}

/// Rows of a plain list, rebuilt; the chosen row (by its first column) stays chosen.
void fillList(QTreeWidget* tree, const std::vector<QStringList>& rows) {
    const QString chosen = tree->currentItem() ? tree->currentItem()->text(0) : QString();
    tree->clear();
    for (const QStringList& row : rows) {
        auto* item = new QTreeWidgetItem(tree, row);
        if (!chosen.isEmpty() && row.value(0) == chosen)
            tree->setCurrentItem(item);
    }
}

}  // namespace

ReplicationDialog::ReplicationDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_turn(std::make_shared<std::mutex>()) {
    setWindowTitle(replicationCaption());
    m_poll = new BackgroundWork(this);
    m_actions = new BackgroundWork(this);
    buildScreen();
    openOwnConnection();
    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ReplicationDialog::refresh);
    m_timer->start();
    connect(m_actions, &BackgroundWork::runningChanged, this, &ReplicationDialog::enableActions);
    enableActions();
}

ReplicationDialog::~ReplicationDialog() = default;

void ReplicationDialog::buildScreen() {
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("Notice"));
    m_notice->setWordWrap(true);
    m_notice->hide();

    auto* update = new QPushButton(QStringLiteral("Update"), this);
    update->setObjectName(QStringLiteral("Update"));
    update->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    connect(update, &QPushButton::clicked, this, &ReplicationDialog::refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(update);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(buildReplicaGroup(), 1);
    layout->addWidget(buildPrimaryGroup());
    layout->addLayout(buttons);
}

QWidget* ReplicationDialog::buildReplicaGroup() {
    auto* group = new QGroupBox(QStringLiteral("As a replica"), this);
    group->setObjectName(QStringLiteral("As a replica"));
    QStringList headers;
    for (const char* column : kChannelColumns)
        headers << QString::fromUtf8(column);
    m_channels = list(group, QStringLiteral("Replica connections"), headers);
    m_channels->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(m_channels, &QTreeWidget::currentItemChanged, this, [this] {
        showDetails();
        enableActions();
    });

    auto* actions = new QHBoxLayout;
    for (const Action& action : kActions) {
        const QString label = threadsLabel(action.threads, action.start);
        auto* button = new QPushButton(label, group);
        button->setObjectName(label);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, action] { control(action.start, action.threads); });
        actions->addWidget(button);
        m_actionButtons << button;
    }
    actions->addStretch();

    m_chart = makeRangedChart(group, QStringLiteral("Seconds behind the primary"),
                              QStringLiteral("Lag range (seconds)"), kInitialLagRange);
    m_chart.column->addStretch();

    auto* lower = new QHBoxLayout;
    lower->addWidget(buildDetails(), 1);
    lower->addLayout(m_chart.column);
    auto* column = new QVBoxLayout;
    column->addWidget(m_channels, 1);
    column->addLayout(actions);
    column->addLayout(lower);
    group->setLayout(column);
    return group;
}

QWidget* ReplicationDialog::buildDetails() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_details = labelledBoxes(box, grid, kDetailLabels, 2);
    return box;
}

QWidget* ReplicationDialog::buildPrimaryGroup() {
    auto* group = new QGroupBox(QStringLiteral("As a primary"), this);
    group->setObjectName(QStringLiteral("As a primary"));
    auto* grid = new QGridLayout;
    m_primaryBoxes = labelledBoxes(group, grid, kPrimaryLabels, 3);
    m_hosts = list(group, QStringLiteral("Registered replicas"),
                   {QStringLiteral("Server id"), QStringLiteral("Host"), QStringLiteral("Port")});
    m_dumps = list(group, QStringLiteral("Binlog Dump threads"),
                   {QStringLiteral("Id"), QStringLiteral("User"), QStringLiteral("Host"),
                    QStringLiteral("Time"), QStringLiteral("State")});
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_hosts);
    lists->addWidget(m_dumps, 2);
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addLayout(lists);
    group->setLayout(column);
    return group;
}

void ReplicationDialog::openOwnConnection() {
    std::shared_ptr<Connection> own;
    Connection* session = &m_connection;
    m_generation = m_connection.generation();
    // The dialog is not on the screen yet, so nothing holds the other windows off the session meanwhile.
    const InputPause pause;
    m_poll->run({session}, [&own, session](WorkControl&) { own = session->openTwin(); });
    m_own = std::move(own);
    m_twinRefused = !m_own;
}

Connection& ReplicationDialog::talkingConnection() {
    return m_own ? *m_own : m_connection;
}

const Connection* ReplicationDialog::pollingConnection() const {
    if (m_own)
        return m_own.get();
    return m_twinRefused ? &m_connection : nullptr;
}

bool ReplicationDialog::isRefreshing() const {
    return m_timer && m_timer->isActive();
}

void ReplicationDialog::refresh() {
    if (m_poll->running() || m_actions->running() || !m_connection.isOpen())
        return;
    if (m_connection.generation() != m_generation) {
        // Another login: the server, and the account, may be other ones.
        m_generation = m_connection.generation();
        m_own.reset();
        m_twinRefused = false;
    }
    // Without a twin of its own the screen takes turns on the session's connection, never while
    // the session's own work holds it.
    if (m_twinRefused && m_connection.isBusy())
        return;
    std::shared_ptr<Connection> own = m_own;
    std::vector<Connection*> held;
    if (own || m_twinRefused)
        held.push_back(own ? own.get() : &m_connection);
    std::optional<ReplicationSnapshot> read;
    const bool twinRefused = m_twinRefused;
    m_poll->run(held,
                [&read, &own, twinRefused, session = &m_connection, turn = m_turn](WorkControl& control) {
                    const std::lock_guard<std::mutex> lock(*turn);
                    // A twin that was lost (or never opened) is opened again here, off the window's thread.
                    if (!own && !twinRefused)
                        own = session->openTwin();
                    Connection* target = own ? own.get() : session;
                    if (!own && session->isBusy())
                        return;
                    read = readReplication(*target, &control.stopFlag());
                });
    m_own = own;
    m_twinRefused = m_twinRefused || !own;
    if (!read || m_poll->stopRequested())
        return;
    if (read->lost) {
        // The next refresh connects again; the figures stay as they were meanwhile.
        m_own.reset();
        m_twinRefused = false;
        m_notice->setText(monitorConnectionLostText());
        m_notice->show();
        return;
    }
    showSnapshot(*read);
}

void ReplicationDialog::showSnapshot(const ReplicationSnapshot& snapshot) {
    m_snapshot = snapshot;
    noteErrorTimes(snapshot);
    showChannels(snapshot);
    showDetails();
    showPrimary(snapshot);
    feedChart(snapshot);
    showNotice(snapshot);
    enableActions();
}

void ReplicationDialog::showNotice(const ReplicationSnapshot& s) {
    const ServerDialect& dialect = talkingConnection().dialect();
    QStringList lines;
    const auto refusal = [&lines](const std::optional<Refusal>& refused, const QString& figure,
                                  const std::string& privilege) {
        if (!refused)
            return;
        lines << (isPrivilegeRefusal(refused->errorNumber)
                      ? privilegeMissingText(figure, privilege, refused->errorNumber, refused->errorText)
                      : figureUnreadableText(figure, refused->errorNumber, refused->errorText));
    };
    refusal(s.channelsRefused, QStringLiteral("The replica status"), replicaStatusPrivilege(dialect));
    refusal(s.binlogRefused, QStringLiteral("The binary log status"), binlogStatusPrivilege(dialect));
    refusal(s.hostsRefused, QStringLiteral("The registered replicas"), replicaHostsPrivilege(dialect));
    if (s.logBin && s.processListPartial)
        lines << processPrivilegeText();
    if (!s.isReplica() && !s.isPrimary() && !s.channelsRefused)
        lines << neitherReplicaNorPrimaryText();
    else if (s.isPrimary() && s.replicaHosts.empty() && s.dumpThreads.empty() && !s.hostsRefused)
        lines << noReplicaConnectedText();
    m_notice->setText(lines.join(QLatin1Char('\n')));
    m_notice->setVisible(!lines.isEmpty());
}

void ReplicationDialog::noteErrorTimes(const ReplicationSnapshot& s) {
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const auto note = [&now](QHash<QString, QPair<unsigned, QString>>& seen, const QString& name,
                             unsigned number) {
        if (number == 0)
            seen.remove(name);
        else if (!seen.contains(name) || seen.value(name).first != number)
            seen.insert(name, qMakePair(number, now));
    };
    for (const ReplicaChannel& c : s.channels) {
        note(m_ioErrorSeen, qs(c.name), c.lastIoErrno);
        note(m_sqlErrorSeen, qs(c.name), c.lastSqlErrno);
    }
}

void ReplicationDialog::showChannels(const ReplicationSnapshot& s) {
    // Items are kept by connection name and updated in place, so the choice stays where it was.
    QSet<QString> names;
    for (const ReplicaChannel& c : s.channels)
        names.insert(connectionLabel(c.name));
    for (int i = m_channels->topLevelItemCount() - 1; i >= 0; --i)
        if (!names.contains(m_channels->topLevelItem(i)->text(0)))
            delete m_channels->takeTopLevelItem(i);
    for (int position = 0; position < static_cast<int>(s.channels.size()); ++position) {
        const ReplicaChannel& c = s.channels[static_cast<std::size_t>(position)];
        const QString label = connectionLabel(c.name);
        QTreeWidgetItem* item = nullptr;
        for (int i = 0; i < m_channels->topLevelItemCount() && !item; ++i)
            if (m_channels->topLevelItem(i)->text(0) == label)
                item = m_channels->topLevelItem(i);
        if (!item) {
            item = new QTreeWidgetItem;
            item->setText(0, label);
            m_channels->insertTopLevelItem(position, item);
        }
        const auto behind = gtidTransactionsBehind(c.gtidReceived, c.gtidApplied);
        const QStringList texts = {
            label,
            qs(c.ioRunning),
            qs(c.sqlRunning),
            c.secondsBehind ? QString::number(*c.secondsBehind) : QStringLiteral("NULL"),
            behind ? QString::number(*behind) : QString(),
            qs(c.primaryHost) + QLatin1Char(':') + qs(c.primaryPort),
            lastError(c)};
        for (int column = 1; column < texts.size(); ++column)
            if (item->text(column) != texts[column])
                item->setText(column, texts[column]);
    }
    if (!m_channels->currentItem() && m_channels->topLevelItemCount() > 0)
        m_channels->setCurrentItem(m_channels->topLevelItem(0));
}

const ReplicaChannel* ReplicationDialog::chosenChannel() const {
    const QTreeWidgetItem* item = m_channels->currentItem();
    if (!item)
        return nullptr;
    for (const ReplicaChannel& c : m_snapshot.channels)
        if (connectionLabel(c.name) == item->text(0))
            return &c;
    return nullptr;
}

void ReplicationDialog::showDetails() {
    const ReplicaChannel* c = chosenChannel();
    const ReplicaChannel none;
    const ReplicaChannel& shown = c ? *c : none;
    const QString name = qs(shown.name);
    const auto errorTime = [&name](const std::string& server,
                                   const QHash<QString, QPair<unsigned, QString>>& seen) {
        if (!server.empty())
            return qs(server);
        // The server keeps no time of the error: the time this screen first saw it.
        return seen.contains(name) ? seen.value(name).second + QStringLiteral(" (first seen)") : QString();
    };
    const QStringList values = {qs(shown.ioState),
                                qs(shown.sqlState),
                                qs(shown.primaryHost),
                                qs(shown.primaryPort),
                                qs(shown.usingGtid),
                                qs(shown.gtidReceived),
                                qs(shown.gtidApplied),
                                qs(shown.sourceLogFile),
                                qs(shown.readPosition),
                                qs(shown.execPosition),
                                qs(shown.relayLogSpace),
                                errorLine(shown.lastIoErrno, shown.lastIoError),
                                c ? errorTime(shown.lastIoErrorTime, m_ioErrorSeen) : QString(),
                                errorLine(shown.lastSqlErrno, shown.lastSqlError),
                                c ? errorTime(shown.lastSqlErrorTime, m_sqlErrorSeen) : QString()};
    int i = 0;
    for (const char* label : kDetailLabels) {
        QLineEdit* box = m_details.value(QString::fromUtf8(label));
        if (box->text() != values[i]) {
            box->setText(values[i]);
            // A long state reads from its start; its whole text is in the tooltip.
            box->setCursorPosition(0);
            box->setToolTip(values[i]);
        }
        ++i;
    }
}

void ReplicationDialog::showPrimary(const ReplicationSnapshot& s) {
    const QStringList values = {qs(s.binlogFile),    qs(s.binlogPosition), qs(s.binlogFormat),
                                qs(s.gtidBinlogPos), qs(s.gtidSlavePos),   qs(s.gtidCurrentPos)};
    int i = 0;
    for (const char* label : kPrimaryLabels)
        m_primaryBoxes.value(QString::fromUtf8(label))->setText(values[i++]);
    std::vector<QStringList> hosts;
    for (const ReplicaHost& h : s.replicaHosts)
        hosts.push_back({qs(h.serverId), qs(h.host), qs(h.port)});
    fillList(m_hosts, hosts);
    std::vector<QStringList> dumps;
    for (const DumpThread& d : s.dumpThreads)
        dumps.push_back({qs(d.id), qs(d.user), qs(d.host), qs(d.seconds), qs(d.state)});
    fillList(m_dumps, dumps);
}

void ReplicationDialog::feedChart(const ReplicationSnapshot& s) {
    if (s.channels.empty())
        return;
    LineChartCtrl* chart = m_chart.chart;
    const std::uint32_t upper = m_chart.upper();
    for (const ReplicaChannel& c : s.channels) {
        const QString name = qs(c.name);
        if (!m_series.contains(name)) {
            const int index = chart->seriesCount();
            chart->AddSeries(kLagColours[index % (sizeof(kLagColours) / sizeof(kLagColours[0]))], upper, 0);
            m_series.insert(name, index);
        }
        chart->SetSeriesValue(m_series.value(name), lagChartValue(c.secondsBehind));
    }
    chart->Advance();
}

void ReplicationDialog::enableActions() {
    const bool can = chosenChannel() != nullptr && !m_actions->running();
    for (QPushButton* button : m_actionButtons)
        button->setEnabled(can);
}

void ReplicationDialog::control(bool start, ReplicaThreads threads) {
    const ReplicaChannel* c = chosenChannel();
    if (!c || m_actions->running())
        return;
    std::shared_ptr<Connection> own = m_own;
    Connection* target = own ? own.get() : &m_connection;
    if (!own && (m_connection.isBusy() || !m_connection.isOpen()))
        return;
    const std::string statement =
        replicaControlStatement(target->dialect(), start, c->name, threads, target->noBackslashEscapes());
    // The person sees the one statement that will be sent before it goes.
    if (!m_op.ask(replicaActionQuestion(statement), replicationCaption()))
        return;
    // A refresh under way keeps the connection until its round is read; the statement waits its turn.
    std::optional<std::string> failure;
    m_actions->run({target}, [&failure, &statement, target, own, turn = m_turn](WorkControl&) {
        const std::lock_guard<std::mutex> lock(*turn);
        if (target->query(statement) != 0)
            failure = target->errorLine();
    });
    if (failure)
        m_op.inform(replicaActionFailedText(statement, *failure), replicationCaption(), MessageIcon::Stop);
    refresh();
}

void ReplicationDialog::done(int result) {
    // A refresh under way is ended rather than waited for; the dialog is gone from the screen at once.
    if (m_timer)
        m_timer->stop();
    m_poll->stop();
    m_actions->stop();
    QDialog::done(result);
}

int openReplicationScreen(Connection& connection, Operator& op, QWidget* parent) {
    ReplicationDialog dialog(connection, op, parent);
    dialog.refresh();
    return op.runModal(dialog);
}

}  // namespace velkin
