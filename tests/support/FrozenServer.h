#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velkin::test {

/// The test server stopped (SIGSTOP) while this lives, as a lock storm or a dead network stops one:
/// it holds its connections open and answers nothing. It goes on when thaw() is called, when this
/// ends, or after ten seconds at the latest, so that a failed test never leaves it stopped.
class FrozenServer {
public:
    FrozenServer();
    ~FrozenServer();
    FrozenServer(const FrozenServer&) = delete;
    FrozenServer& operator=(const FrozenServer&) = delete;

    bool frozen() const { return m_pid > 1; }
    void thaw();

private:
    bool stopped() const;

    pid_t m_pid = 0;
    std::mutex m_mutex;
    std::condition_variable m_thawed;
    bool m_done = false;
    std::thread m_guard;
};

}  // namespace velkin::test
