#include "BackgroundWork.h"

#include <QEventLoop>
#include <QThread>
#include <memory>
#include <mutex>

#include "Connection.h"

namespace velkin {

void WorkControl::post(std::function<void()> f) {
    if (m_windowSide)
        QMetaObject::invokeMethod(m_windowSide, std::move(f), Qt::QueuedConnection);
}

namespace {
int g_running = 0;
}  // namespace

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

int BackgroundWork::runningCount() {
    return g_running;
}

BackgroundWork::~BackgroundWork() = default;

void BackgroundWork::run(const std::vector<Connection*>& stoppable,
                         const std::function<void(WorkControl&)>& work) {
    if (m_running)
        return;
    m_watched = stoppable;
    // The keep-alive and every other user on the window's side leave these connections alone meanwhile.
    std::vector<std::unique_ptr<Connection::BusyScope>> busy;
    for (Connection* connection : stoppable)
        if (connection)
            busy.push_back(std::make_unique<Connection::BusyScope>(*connection));
    m_control.m_stop = false;
    m_control.m_asked = false;
    m_stopping = false;
    m_settled = false;
    m_running = true;
    ++g_running;
    emit runningChanged(true);
    QEventLoop loop;
    m_loop = &loop;
    QThread* thread = QThread::create([this, &work] {
        // The held connections are the work's alone from its first statement to its last: a call
        // from the window's side waits for it rather than slipping between a statement and its rows.
        std::vector<std::unique_lock<std::recursive_mutex>> held;
        for (Connection* connection : m_watched)
            if (connection)
                held.push_back(connection->holdCalls());
        work(m_control);
        // A stop that reached the server after its statement had ended would end the next one; it
        // is taken here, beside the window, since a server that has gone silent would hold it.
        if (m_control.stopRequested())
            settle();
    });
    ++m_threads;
    // The end arrives as a queued event after everything the work posted, so the screen has seen all
    // its progress when run() returns.
    connect(thread, &QThread::finished, this, &BackgroundWork::threadEnded, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::AllEvents);
    thread->wait();
    delete thread;
    // Stop raises the flag only once its KILL has been sent, which may be after the work ended; the
    // kill then waits on the server for the connection's next statement and is taken here.
    if (m_control.stopRequested() && !m_settled) {
        QThread* settling = QThread::create([this] { settle(); });
        ++m_threads;
        connect(settling, &QThread::finished, this, &BackgroundWork::threadEnded, Qt::QueuedConnection);
        settling->start();
        loop.exec(QEventLoop::AllEvents);
        settling->wait();
        delete settling;
    }
    m_loop = nullptr;
    m_running = false;
    --g_running;
    m_watched.clear();
    emit runningChanged(false);
}

void BackgroundWork::settle() {
    for (Connection* connection : m_watched)
        if (connection && connection->isOpen() && !connection->connectionLost())
            connection->settleStop();
    m_settled = true;
}

void BackgroundWork::threadEnded() {
    // run() returns once the work and every stop it was sent have ended: a stop still on its way
    // uses the held connections' handles.
    if (--m_threads == 0 && m_loop)
        m_loop->quit();
}

void BackgroundWork::stop() {
    if (!m_running)
        return;
    if (m_stopping) {
        // Asked again while the first stop has not ended the work: the server is given up on, so
        // that a server which has stopped answering cannot hold the work.
        for (Connection* connection : m_watched)
            if (connection)
                connection->abandon();
        return;
    }
    m_stopping = true;
    m_control.m_asked = true;
    std::vector<std::pair<Connection*, ServerLogin>> targets;
    for (Connection* connection : m_watched)
        if (connection)
            targets.emplace_back(connection, connection->login());
    // The statements are ended before the work sees the flag, so that what it does after seeing it
    // meets no stop still on its way. The stop connects to the server, which the window's thread
    // never waits for; a server that cannot be reached gets its connection given up instead.
    QThread* stopper = QThread::create([this, targets] {
        for (const auto& [connection, login] : targets)
            if (!Connection::stopStatementOf(login, connection->serverThreadId()))
                connection->abandon();
        m_control.m_stop = true;
    });
    ++m_threads;
    connect(stopper, &QThread::finished, this, &BackgroundWork::threadEnded, Qt::QueuedConnection);
    connect(stopper, &QThread::finished, stopper, &QObject::deleteLater);
    stopper->start();
}

}  // namespace velkin
