#include "BackgroundWork.h"

#include <QEventLoop>
#include <QThread>
#include <memory>

#include "Connection.h"

namespace velkin {

void WorkControl::post(std::function<void()> f) {
    if (m_windowSide)
        QMetaObject::invokeMethod(m_windowSide, std::move(f), Qt::QueuedConnection);
}

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

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
    m_stopping = false;
    m_running = true;
    emit runningChanged(true);
    QEventLoop loop;
    QThread* thread = QThread::create([this, &work] { work(m_control); });
    // The end arrives as a queued event after everything the work posted, so the screen has seen all
    // its progress when run() returns.
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::AllEvents);
    thread->wait();
    delete thread;
    if (m_control.stopRequested())
        for (Connection* connection : m_watched)
            if (connection && connection->isOpen())
                connection->settleStop();
    m_running = false;
    m_watched.clear();
    emit runningChanged(false);
}

void BackgroundWork::stop() {
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    // The statements are ended before the work sees the flag, so that what it does after seeing it
    // meets no stop still on its way.
    for (Connection* connection : m_watched)
        if (connection)
            connection->stopRunningStatement();
    m_control.m_stop = true;
}

}  // namespace velkin
