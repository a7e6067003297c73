#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "SshOptions.h"

namespace velkin {

/// A local forward through an SSH host: 127.0.0.1 on a free port of this computer, each connection
/// to it carried to the database host and port as the SSH host sees them. One thread of its own
/// serves the SSH session, so no statement ever waits on the window's thread for it. The session,
/// its brief and twin connections share one tunnel; it ends with the last of them.
class SshJump;

class SshTunnel {
public:
    /// The live tunnel of these settings to that target, or a new one. A new one asks (through ask)
    /// before a host key seen for the first time is trusted. On failure nothing, and message says why.
    static std::shared_ptr<SshTunnel> obtain(const SshOptions& options, const SshSecrets& secrets,
                                             const std::string& targetHost, unsigned int targetPort,
                                             const SshQuestion& ask, std::string& message);
    ~SshTunnel();
    SshTunnel(const SshTunnel&) = delete;
    SshTunnel& operator=(const SshTunnel&) = delete;

    unsigned int localPort() const { return m_localPort; }
    const SshOptions& options() const { return m_options; }
    /// False once the SSH session has ended: its forwarded connections are then closed, so every
    /// connection through it reads as lost and the next login builds a new tunnel.
    bool isAlive() const { return m_alive.load(); }
    /// Alive, and the SSH host heard from lately: a host that leaves a keep-alive unanswered for
    /// seconds (frozen, cut off) is not relied on while the tunnel waits to give it up.
    bool isAnswering() const { return m_alive.load() && !m_silent.load(); }
    bool serves(const SshOptions& options, const std::string& targetHost, unsigned int targetPort) const {
        return options == m_options && targetHost == m_targetHost && targetPort == m_targetPort;
    }
    /// Why the SSH host refused the last forward (it could not reach the database server), once.
    std::string takeForwardFailure();

    /// How many quiet seconds pass before the SSH host is asked whether it is there, and after how
    /// many it is given up on (5 and 20); tests shorten them instead of waiting.
    static void setKeepAlive(int askAfterSeconds, int giveUpAfterSeconds);

    /// The known hosts file of the program's own, where keys the person trusted are written; the
    /// person's ~/.ssh/known_hosts is read but never written.
    static std::string ownKnownHostsPath();
    /// Whether an OpenSSH private key file is locked by a passphrase (false also when it cannot be read:
    /// the login then says why).
    static bool keyNeedsPassphrase(const std::string& path);

private:
    struct Session;
    SshTunnel(const SshOptions& options, const std::string& targetHost, unsigned int targetPort);
    bool open(const SshSecrets& secrets, const SshQuestion& ask, std::string& message);
    bool listen(std::string& message);
    void serve();

    SshOptions m_options;
    std::string m_targetHost;
    unsigned int m_targetPort = 0;
    /// Before the session: the hop it connects through outlives it.
    std::unique_ptr<SshJump> m_jump;
    std::unique_ptr<Session> m_session;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    unsigned int m_localPort = 0;
    std::atomic<bool> m_alive{false};
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_stop{false};
    std::mutex m_failureLock;
    std::string m_forwardFailure;
    std::thread m_thread;
};

}  // namespace velkin
