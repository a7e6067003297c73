#include "FrozenServer.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace velkin::test {

FrozenServer::FrozenServer() {
    const char* dir = std::getenv("VELKIN_TEST_SERVER_DIR");
    if (dir)
        std::ifstream(std::string(dir) + "/server.pid") >> m_pid;
    if (m_pid <= 1)
        return;
    ::kill(m_pid, SIGSTOP);
    // The signal stops the process's threads one by one: wait until the process reads as stopped,
    // or a statement sent at once may still be answered.
    for (int i = 0; i < 200 && !stopped(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    m_guard = std::thread([this] {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_thawed.wait_for(lock, std::chrono::seconds(10), [this] { return m_done; });
        ::kill(m_pid, SIGCONT);
    });
}

FrozenServer::~FrozenServer() {
    thaw();
    if (m_guard.joinable())
        m_guard.join();
}

void FrozenServer::thaw() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_done = true;
    m_thawed.notify_all();
}

bool FrozenServer::stopped() const {
    std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
    std::string pid, name, state;
    stat >> pid >> name >> state;
    return state == "T";
}

}  // namespace velkin::test
