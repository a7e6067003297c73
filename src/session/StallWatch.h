#pragma once

#include <chrono>
#include <cstdint>

namespace velkin {

class Connection;

/// Watches the calls into the client library that wait for the server. A call that has not come back
/// after a quiet time makes the watch ask the server, on a short-lived connection of its own, whether
/// it still answers and still runs that connection's statement; while it does, the call may go on as
/// long as it likes (a long statement is legitimate work). When the server no longer answers or has
/// dropped the connection, the watch gives the connection up, so that the waiting call returns with the
/// client library's "lost connection" error instead of holding its thread (the window's, perhaps)
/// for as long as the server stays silent.
class StallWatch {
public:
    using Clock = std::chrono::steady_clock;

    /// Armed for the length of one waiting call on the connection.
    class Scope {
    public:
        explicit Scope(Connection& connection);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::uint64_t m_id = 0;
    };

    /// How long a call may wait before the server is asked, and how long that question may take;
    /// tests shorten them.
    static void setTimes(std::chrono::milliseconds quiet, std::chrono::seconds probeLimit);
    static std::chrono::milliseconds quietTime();
    /// Connections given up since the program started.
    static unsigned abandoned();
};

}  // namespace velkin
