#pragma once

#include <QObject>
#include <QPointer>

#include "InputPause.h"

class QEventLoop;
#include <atomic>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

namespace velkin {

class Connection;

/// What a running work sees of the screen that started it: whether Stop was asked for, and a way to
/// hand progress and results back to the window's thread.
class WorkControl {
public:
    explicit WorkControl(QObject* windowSide) : m_windowSide(windowSide) {}

    /// True once Stop has ended the running statements (their KILL has been sent): statements the
    /// work sends after seeing it meet no stop still on its way.
    bool stopRequested() const { return m_stop.load(); }
    /// The flag itself, for code below the screens that checks it between blocks.
    const std::atomic<bool>& stopFlag() const { return m_stop; }
    /// True from the moment Stop is clicked, before the statements have been ended: for work that
    /// sends nothing more once it sees it (a late kill is absorbed when the work has ended).
    const std::atomic<bool>& stopAskedFlag() const { return m_asked; }
    /// Runs f on the window's thread, after what was posted before and before the work's end is
    /// seen there; f may touch widgets.
    void post(std::function<void()> f);

private:
    friend class BackgroundWork;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_asked{false};
    QPointer<QObject> m_windowSide;
};

/// Runs long work off the window's thread, so that the window keeps painting, its timers fire and
/// its Stop button answers while a statement or a copy runs. A MYSQL handle is used by one thread
/// at a time: the connections the work uses belong to it until run() returns, and the screen that
/// started it disables whatever would use them (and whatever would start the work again) meanwhile.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    explicit BackgroundWork(QObject* parent = nullptr);
    ~BackgroundWork() override;

    /// Runs work on a thread of its own and returns once it has ended; meanwhile the window's thread
    /// goes on handling events. Stop asks the work to stop between its blocks and ends the running
    /// statement of each of the stoppable connections (KILL QUERY from a second connection of the
    /// same login). Not to be called again while it runs.
    void run(const std::vector<Connection*>& stoppable, const std::function<void(WorkControl&)>& work);
    bool running() const { return m_running; }
    /// Asks the running work to stop; nothing when none runs.
    void stop();
    bool stopRequested() const { return m_control.stopRequested(); }
    /// Works running now on the window's side; a view must not be deleted under one of them.
    static int runningCount();

signals:
    void runningChanged(bool running);

private:
    void threadEnded();
    /// On the thread that holds the connections: absorbs a kill still waiting on the server.
    void settle();

    QEventLoop* m_loop = nullptr;
    int m_threads = 0;
    std::atomic<bool> m_settled{false};
    WorkControl m_control{this};
    std::vector<Connection*> m_watched;
    bool m_running = false;
    bool m_stopping = false;
};

/// Runs a short read or change beside the window's thread with the connection held, and returns what
/// f returned. The window keeps painting and its timers run; the person's input is held off meanwhile,
/// so that no click acts on a screen whose state the answer is about to change. A server that has
/// gone silent is given up on by the stall watch, so this never waits for ever.
template <typename F>
auto besideWindow(Connection& connection, F&& f) -> decltype(f()) {
    using Answer = decltype(f());
    const InputPause pause;
    BackgroundWork work;
    if constexpr (std::is_void_v<Answer>) {
        work.run({&connection}, [&](WorkControl&) { f(); });
    } else {
        std::optional<Answer> answer;
        work.run({&connection}, [&](WorkControl&) { answer.emplace(f()); });
        return std::move(*answer);
    }
}

}  // namespace velkin
