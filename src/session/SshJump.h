#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "SshSessionSetup.h"

namespace velkin {

/// One hop through a jump host: a logged-in session to it, and a channel from it to the SSH host
/// proper, carried over a socket pair whose other end the tunnel's own session connects through.
/// A thread of its own moves the bytes, since the tunnel's session blocks while it logs in.
class SshJump {
public:
    SshJump() = default;
    ~SshJump();
    SshJump(const SshJump&) = delete;
    SshJump& operator=(const SshJump&) = delete;

    /// Logs in to the jump host the way the tunnel logs in to its host, and opens the way to
    /// host:port. False with message set when either fails.
    bool open(const SshJumpHost& jump, const SshOptions& login, const SshSecrets& secrets,
              const SshQuestion& ask, const std::string& host, unsigned int port, std::string& message);
    /// The end of the way for the tunnel's session, which takes it over (and closes it).
    int takeInnerEnd();

private:
    void carry();

    ssh_session m_session = nullptr;
    ssh_channel m_channel = nullptr;
    int m_inner = -1;
    int m_outer = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace velkin
