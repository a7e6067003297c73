#include "SshJump.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <utility>
#include <vector>

namespace velkin {

SshJump::~SshJump() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_channel) {
        if (ssh_channel_is_open(m_channel))
            ssh_channel_close(m_channel);
        ssh_channel_free(m_channel);
    }
    if (m_session) {
        if (ssh_is_connected(m_session))
            ssh_disconnect(m_session);
        ssh_free(m_session);
    }
    for (const int fd : {m_inner, m_outer})
        if (fd >= 0)
            ::close(fd);
}

bool SshJump::open(const SshJumpHost& jump, const SshOptions& login, const SshSecrets& secrets,
                   const SshQuestion& ask, const std::string& host, unsigned int port, std::string& message) {
    m_session = ssh_new();
    std::optional<SshJumpHost> further;
    if (!m_session || !configureSession(m_session, jump.host, jump.user, jump.port, further, message))
        return false;
    if (further) {
        message =
            sshFailureMessage(SshFailure::Local, "The jump host " + jump.host +
                                                     " names a jump host of its own; one hop is followed.");
        return false;
    }
    if (ssh_connect(m_session) != SSH_OK) {
        message =
            sshFailureMessage(SshFailure::Unreachable, "Jump host " + jump.host + ": " + errorOf(m_session));
        return false;
    }
    bound(ssh_get_fd(m_session));
    // The jump host is logged in to as the SSH host is (agent, key file or password), under its own user.
    SshOptions hop = login;
    hop.user.clear();
    if (!checkHostKey(m_session, ask, message) || !authenticate(m_session, hop, secrets, message))
        return false;
    m_channel = ssh_channel_new(m_session);
    if (!m_channel ||
        ssh_channel_open_forward(m_channel, host.c_str(), static_cast<int>(port), "127.0.0.1", 0) != SSH_OK) {
        message =
            sshFailureMessage(SshFailure::Unreachable,
                              "The jump host " + jump.host + " could not reach it: " + errorOf(m_session));
        return false;
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        message = sshFailureMessage(SshFailure::Local, "No socket pair for the jump host.");
        return false;
    }
    m_inner = pair[0];
    m_outer = pair[1];
    m_thread = std::thread([this] { carry(); });
    return true;
}

int SshJump::takeInnerEnd() {
    return std::exchange(m_inner, -1);
}

void SshJump::carry() {
    std::vector<char> buffer(64 * 1024);
    const int jumpFd = ssh_get_fd(m_session);
    auto lastSent = std::chrono::steady_clock::now();
    while (!m_stop) {
        pollfd fds[2] = {{m_outer, POLLIN, 0}, {jumpFd, POLLIN, 0}};
        ::poll(fds, 2, 200);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastSent >= std::chrono::seconds(kSshKeepAliveSeconds)) {
            ssh_send_ignore(m_session, "");
            lastSent = now;
        }
        if (fds[0].revents != 0) {
            const ssize_t n = ::recv(m_outer, buffer.data(), buffer.size(), 0);
            if (n <= 0 || ssh_channel_write(m_channel, buffer.data(), static_cast<uint32_t>(n)) != n)
                break;
            lastSent = now;
        }
        if (fds[1].revents != 0)
            ssh_blocking_flush(m_session, 0);
        int n = 0;
        while ((n = ssh_channel_read_nonblocking(m_channel, buffer.data(), buffer.size(), 0)) > 0)
            if (!writeAll(m_outer, buffer.data(), static_cast<std::size_t>(n)))
                break;
        if (n != 0 || ssh_channel_is_eof(m_channel) || !ssh_is_connected(m_session))
            break;
    }
    // The tunnel's session reads the end of the way as its host gone.
    ::shutdown(m_outer, SHUT_RDWR);
}

}  // namespace velkin
