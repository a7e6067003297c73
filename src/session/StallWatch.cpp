#include "StallWatch.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "Connection.h"
#include "SqlText.h"

namespace velkin {

namespace {

using Clock = StallWatch::Clock;

std::atomic<long long> g_quietMs{5000};
std::atomic<long long> g_probeSeconds{3};
std::atomic<unsigned> g_abandoned{0};
/// A server that answered is asked again after this long, as long as the call still waits.
constexpr std::chrono::seconds kRecheck{10};

enum class Verdict { Answers, Gone };

/// Whether the server still answers and still runs the connection with this id. Only the client
/// library's own failures count as silence: a server that refuses the question has answered it.
Verdict askServer(const ServerLogin& login, unsigned long threadId) {
    std::unique_ptr<Connection> probe =
        Connection::openBrief(login, static_cast<unsigned>(g_probeSeconds.load()));
    // A probe that its tunnel stopped (the host went silent) never reached the server either.
    if (!probe->isOpen())
        return probe->errorNumber() >= 2000 || probe->sshFailure() != SshFailure::None ? Verdict::Gone
                                                                                       : Verdict::Answers;
    Result r = probe->select(connectionPresentStatement(threadId));
    if (!r)
        return probe->errorNumber() >= 2000 ? Verdict::Gone : Verdict::Answers;
    Row row = r.fetchRow();
    return row && row.text(0) != "0" ? Verdict::Answers : Verdict::Gone;
}

class Watcher {
public:
    static Watcher& get() {
        static Watcher watcher;
        return watcher;
    }

    ~Watcher() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    std::uint64_t arm(Connection& connection) {
        const Clock::time_point due = Clock::now() + std::chrono::milliseconds(g_quietMs.load());
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { loop(); });
        const std::uint64_t id = ++m_lastId;
        m_armed.emplace(id, Armed{&connection, due, false});
        // Waking the thread for every statement would cost a bulk copy a switch per row block; it is
        // woken only when this call falls due before the time it sleeps until.
        if (due < m_wakeAt)
            m_wake.notify_one();
        return id;
    }

    void disarm(std::uint64_t id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed.erase(id);
    }

private:
    struct Armed {
        Connection* connection;
        Clock::time_point due;
        bool asking;
    };

    void loop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            auto next = m_armed.end();
            for (auto it = m_armed.begin(); it != m_armed.end(); ++it)
                if (!it->second.asking && (next == m_armed.end() || it->second.due < next->second.due))
                    next = it;
            if (next == m_armed.end()) {
                m_wakeAt = Clock::time_point::max();
                m_wake.wait(lock);
                continue;
            }
            if (next->second.due > Clock::now()) {
                m_wakeAt = next->second.due;
                m_wake.wait_until(lock, m_wakeAt);
                continue;
            }
            m_wakeAt = Clock::time_point::max();
            const std::uint64_t id = next->first;
            next->second.asking = true;
            // The login is read while the call is known to wait: the owner cannot log in anew meanwhile.
            const ServerLogin login = next->second.connection->login();
            const unsigned long threadId = next->second.connection->serverThreadId();
            lock.unlock();
            const Verdict verdict = askServer(login, threadId);
            lock.lock();
            auto it = m_armed.find(id);
            if (it == m_armed.end())
                continue;  // the call came back meanwhile
            it->second.asking = false;
            if (verdict == Verdict::Answers) {
                it->second.due = Clock::now() + kRecheck;
                continue;
            }
            // Held under the lock, so the call cannot return and its owner close the handle meanwhile.
            it->second.connection->abandon();
            it->second.due = Clock::time_point::max();
            ++g_abandoned;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<std::uint64_t, Armed> m_armed;
    std::uint64_t m_lastId = 0;
    Clock::time_point m_wakeAt = Clock::time_point::max();
    bool m_quit = false;
    std::thread m_thread;
};

}  // namespace

StallWatch::Scope::Scope(Connection& connection) {
    if (!connection.isBrief())
        m_id = Watcher::get().arm(connection);
}

StallWatch::Scope::~Scope() {
    if (m_id != 0)
        Watcher::get().disarm(m_id);
}

void StallWatch::setTimes(std::chrono::milliseconds quiet, std::chrono::seconds probeLimit) {
    g_quietMs = quiet.count();
    g_probeSeconds = probeLimit.count();
}

std::chrono::milliseconds StallWatch::quietTime() {
    return std::chrono::milliseconds(g_quietMs.load());
}

unsigned StallWatch::abandoned() {
    return g_abandoned.load();
}

}  // namespace velkin
