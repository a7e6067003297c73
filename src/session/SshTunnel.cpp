#include "SshTunnel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libssh/libssh.h>
// ssh_send_keepalive is declared with the server calls, though a client sends it.
#include <libssh/server.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "Settings.h"
#include "SshJump.h"
#include "SshSessionSetup.h"

namespace velkin {

namespace {

std::atomic<int> g_askAfter{kSshKeepAliveSeconds};
std::atomic<int> g_giveUpAfter{kSshSilentSeconds};

std::mutex g_registryLock;
std::map<std::string, std::weak_ptr<SshTunnel>>& registry() {
    static std::map<std::string, std::weak_ptr<SshTunnel>> tunnels;
    return tunnels;
}

std::string registryKey(const SshOptions& o, const std::string& targetHost, unsigned int targetPort) {
    return o.user + '@' + o.host + ':' + std::to_string(o.port) + '/' + sshAuthWord(o.auth) + '/' +
           o.keyFile + '>' + targetHost + ':' + std::to_string(targetPort);
}

}  // namespace

struct SshTunnel::Session {
    ssh_session handle = ssh_new();
    ~Session() {
        if (!handle)
            return;
        if (ssh_is_connected(handle))
            ssh_disconnect(handle);
        ssh_free(handle);
    }
};

SshTunnel::SshTunnel(const SshOptions& options, const std::string& targetHost, unsigned int targetPort)
    : m_options(options), m_targetHost(targetHost), m_targetPort(targetPort), m_session(new Session) {}

SshTunnel::~SshTunnel() {
    m_stop = true;
    if (m_wake[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (const int fd : {m_listener, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

void SshTunnel::setKeepAlive(int askAfterSeconds, int giveUpAfterSeconds) {
    g_askAfter = askAfterSeconds;
    g_giveUpAfter = giveUpAfterSeconds;
}

std::string SshTunnel::ownKnownHostsPath() {
    return Settings().folder().toStdString() + "/known_hosts";
}

bool SshTunnel::keyNeedsPassphrase(const std::string& path) {
    bool asked = false;
    ssh_key key = nullptr;
    const int rc = ssh_pki_import_privkey_file(path.c_str(), nullptr, refusePassphrase, &asked, &key);
    ssh_key_free(key);
    return rc != SSH_OK && asked;
}

std::shared_ptr<SshTunnel> SshTunnel::obtain(const SshOptions& options, const SshSecrets& secrets,
                                             const std::string& targetHost, unsigned int targetPort,
                                             const SshQuestion& ask, std::string& message) {
    const std::string key = registryKey(options, targetHost, targetPort);
    {
        std::lock_guard<std::mutex> lock(g_registryLock);
        if (auto live = registry()[key].lock(); live && live->isAnswering())
            return live;
    }
    // Not opened under the lock: the host key question waits for the person, and other logins
    // must not wait with it.
    std::shared_ptr<SshTunnel> tunnel(new SshTunnel(options, targetHost, targetPort));
    if (!tunnel->open(secrets, ask, message))
        return nullptr;
    std::lock_guard<std::mutex> lock(g_registryLock);
    registry()[key] = tunnel;
    return tunnel;
}

bool SshTunnel::open(const SshSecrets& secrets, const SshQuestion& ask, std::string& message) {
    ssh_session s = m_session->handle;
    std::optional<SshJumpHost> jump;
    if (!s) {
        message = sshFailureMessage(SshFailure::Local, "libssh could not start a session.");
        return false;
    }
    if (!configureSession(s, m_options.host, m_options.user, m_options.port, jump, message))
        return false;
    if (jump) {
        char* host = nullptr;
        ssh_options_get(s, SSH_OPTIONS_HOST, &host);
        const std::string name = host ? host : m_options.host;
        ssh_string_free_char(host);
        unsigned int port = 22;
        ssh_options_get_port(s, &port);
        m_jump = std::make_unique<SshJump>();
        if (!m_jump->open(*jump, m_options, secrets, ask, name, port, message))
            return false;
        const socket_t inner = m_jump->takeInnerEnd();
        ssh_options_set(s, SSH_OPTIONS_FD, &inner);
    }
    if (ssh_connect(s) != SSH_OK) {
        message = sshFailureMessage(SshFailure::Unreachable, errorOf(s));
        return false;
    }
    if (!jump)
        bound(ssh_get_fd(s));
    return checkHostKey(s, ask, message) && authenticate(s, m_options, secrets, message) && listen(message);
}

bool SshTunnel::listen(std::string& message) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC) != 0) {
        message = sshFailureMessage(SshFailure::Local, std::string("No local port: ") + std::strerror(errno));
        return false;
    }
    m_localPort = ntohs(address.sin_port);
    m_alive = true;
    m_thread = std::thread([this] { serve(); });
    return true;
}

std::string SshTunnel::takeForwardFailure() {
    std::lock_guard<std::mutex> lock(m_failureLock);
    return std::exchange(m_forwardFailure, std::string());
}

namespace {

/// One connection through the tunnel: a local socket and its SSH channel.
struct Forward {
    int fd = -1;
    ssh_channel channel = nullptr;
};

void endForward(Forward& f) {
    if (f.channel) {
        if (ssh_channel_is_open(f.channel))
            ssh_channel_close(f.channel);
        ssh_channel_free(f.channel);
    }
    if (f.fd >= 0)
        ::close(f.fd);
    f = Forward();
}

}  // namespace

void SshTunnel::serve() {
    ssh_session s = m_session->handle;
    const int sshFd = ssh_get_fd(s);
    std::vector<Forward> forwards;
    std::vector<char> buffer(64 * 1024);
    // The SSH host counts as alive while packets come from it; a host that went silent (frozen,
    // cut off without a word) is asked every few seconds and given up on when nothing answers.
    ssh_counter_struct sent{}, received{};
    ssh_set_counters(s, &sent, &received);
    std::uint64_t heard = 0;
    auto lastHeard = std::chrono::steady_clock::now();
    auto lastAsked = lastHeard;
    while (!m_stop) {
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}, {sshFd, POLLIN, 0}};
        for (const Forward& f : forwards)
            fds.push_back({f.fd, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 1000);
        if (fds[0].revents != 0 || m_stop)
            break;
        const auto now = std::chrono::steady_clock::now();
        if (received.in_packets + received.in_bytes != heard) {
            heard = received.in_packets + received.in_bytes;
            lastHeard = now;
        }
        if (now - lastHeard >= std::chrono::seconds(g_giveUpAfter.load()))
            break;
        // Silent once a keep-alive has gone unanswered for a while; heard again, answering again.
        m_silent = now - lastHeard >= std::chrono::seconds(g_askAfter.load() + kSshUnansweredSeconds);
        if (now - lastHeard >= std::chrono::seconds(g_askAfter.load()) &&
            now - lastAsked >= std::chrono::seconds(g_askAfter.load())) {
            // Sent without waiting for the answer, which the loop reads like any other packet.
            ssh_set_blocking(s, 0);
            ssh_send_keepalive(s);
            ssh_set_blocking(s, 1);
            lastAsked = now;
        }
        if (fds[1].revents & POLLIN) {
            Forward f;
            f.fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (f.fd >= 0) {
                const int on = 1;
                setsockopt(f.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                f.channel = ssh_channel_new(s);
                if (f.channel &&
                    ssh_channel_open_forward(f.channel, m_targetHost.c_str(), static_cast<int>(m_targetPort),
                                             "127.0.0.1", static_cast<int>(m_localPort)) == SSH_OK) {
                    forwards.push_back(f);
                } else {
                    {
                        std::lock_guard<std::mutex> lock(m_failureLock);
                        m_forwardFailure = errorOf(s);
                        if (m_forwardFailure.empty())
                            m_forwardFailure = "The SSH host refused the forward.";
                    }
                    endForward(f);
                }
            }
        }
        // A forward that fails because the SSH session went is not ended on its own: the tunnel
        // ends first, so that whoever finds the connection lost also finds the tunnel gone.
        const auto sessionGone = [s] {
            return !ssh_is_connected(s) || (ssh_get_status(s) & (SSH_CLOSED | SSH_CLOSED_ERROR));
        };
        bool gone = false;
        // Only the forwards that were polled: one accepted just now has nothing to say yet.
        for (std::size_t i = 0; i + 3 < fds.size() && !gone; ++i) {
            Forward& f = forwards[i];
            if (!(fds[3 + i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::recv(f.fd, buffer.data(), buffer.size(), 0);
            if (n > 0 && ssh_channel_write(f.channel, buffer.data(), static_cast<uint32_t>(n)) == n)
                continue;
            gone = n > 0 && sessionGone();
            if (!gone)
                endForward(f);
        }
        if (gone)
            break;
        if (fds[2].revents != 0)
            ssh_blocking_flush(s, 0);
        for (Forward& f : forwards) {
            if (f.fd < 0)
                continue;
            int n = 0;
            while ((n = ssh_channel_read_nonblocking(f.channel, buffer.data(), buffer.size(), 0)) > 0)
                if (!writeAll(f.fd, buffer.data(), static_cast<std::size_t>(n)))
                    break;
            if (n != 0 || ssh_channel_is_eof(f.channel) || !ssh_channel_is_open(f.channel)) {
                if ((gone = sessionGone()))
                    break;
                endForward(f);
            }
        }
        if (gone)
            break;
        forwards.erase(
            std::remove_if(forwards.begin(), forwards.end(), [](const Forward& f) { return f.fd < 0; }),
            forwards.end());
        if (!ssh_is_connected(s) || (ssh_get_status(s) & (SSH_CLOSED | SSH_CLOSED_ERROR)))
            break;
    }
    // Every connection through the tunnel now reads as lost, so the session's keep-alive and the
    // running statements see the tunnel gone at once rather than waiting on a socket nobody serves.
    m_alive = false;
    for (Forward& f : forwards)
        endForward(f);
    ssh_set_counters(s, nullptr, nullptr);
    ::shutdown(m_listener, SHUT_RDWR);
}

}  // namespace velkin
