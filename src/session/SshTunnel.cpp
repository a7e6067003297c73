#include "SshTunnel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libssh/libssh.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "Settings.h"

namespace velkin {

namespace {

/// A silent SSH host is given up on within this many seconds of the last sign of life, well inside
/// the half minute a person waits before a dead tunnel must show.
constexpr int kSilentSeconds = 20;
constexpr int kKeepAliveSeconds = 5;

std::string sshFolder() {
    return QDir::homePath().toStdString() + "/.ssh";
}

std::string errorOf(ssh_session session) {
    const char* text = ssh_get_error(session);
    return text ? text : "";
}

/// Created readable by its owner alone before libssh appends to it, since it tells which hosts
/// the person reaches.
bool preparePrivateFile(const std::string& path) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return ok;
}

void bound(int fd) {
    // TCP's own retries would let a vanished SSH host hang the tunnel for a quarter of an hour.
    const int on = 1;
    const int idle = kKeepAliveSeconds;
    const int count = 3;
    const unsigned int userTimeout = kSilentSeconds * 1000;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::mutex g_registryLock;
std::map<std::string, std::weak_ptr<SshTunnel>>& registry() {
    static std::map<std::string, std::weak_ptr<SshTunnel>> tunnels;
    return tunnels;
}

std::string registryKey(const SshOptions& o, const std::string& targetHost, unsigned int targetPort) {
    return o.user + '@' + o.host + ':' + std::to_string(o.port) + '/' + sshAuthWord(o.auth) + '/' +
           o.keyFile + '>' + targetHost + ':' + std::to_string(targetPort);
}

int refusePassphrase(const char*, char*, size_t, int, int, void* asked) {
    *static_cast<bool*>(asked) = true;
    return -1;
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
        if (auto live = registry()[key].lock(); live && live->isAlive())
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
    if (!s) {
        message = sshFailureMessage(SshFailure::Local, "libssh could not start a session.");
        return false;
    }
    const std::string folder = sshFolder();
    const std::string config = folder + "/config";
    const std::string own = ownKnownHostsPath();
    const std::string theirs = folder + "/known_hosts";
    int no = 0, yes = 1;
    long timeout = 10;
    ssh_options_set(s, SSH_OPTIONS_HOST, m_options.host.c_str());
    ssh_options_set(s, SSH_OPTIONS_SSH_DIR, folder.c_str());
    // Only the person's own config is read, and read now, so that the profile's values set below win.
    ssh_options_set(s, SSH_OPTIONS_PROCESS_CONFIG, &no);
    if (QFileInfo::exists(QString::fromStdString(config)))
        ssh_options_parse_config(s, config.c_str());
    // libssh turns a jump host into a command that runs another SSH program; the tunnel is ours alone.
    ssh_options_set(s, SSH_OPTIONS_PROXYCOMMAND, "none");
    if (!m_options.user.empty())
        ssh_options_set(s, SSH_OPTIONS_USER, m_options.user.c_str());
    if (m_options.port != 0 && m_options.port != 22)
        ssh_options_set(s, SSH_OPTIONS_PORT, &m_options.port);
    ssh_options_set(s, SSH_OPTIONS_KNOWNHOSTS, own.c_str());
    ssh_options_set(s, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, theirs.c_str());
    ssh_options_set(s, SSH_OPTIONS_TIMEOUT, &timeout);
    ssh_options_set(s, SSH_OPTIONS_NODELAY, &yes);

    if (ssh_connect(s) != SSH_OK) {
        message = sshFailureMessage(SshFailure::Unreachable, errorOf(s));
        return false;
    }
    bound(ssh_get_fd(s));
    return checkHostKey(ask, message) && authenticate(secrets, message) && listen(message);
}

bool SshTunnel::checkHostKey(const SshQuestion& ask, std::string& message) {
    ssh_session s = m_session->handle;
    const ssh_known_hosts_e state = ssh_session_is_known_server(s);
    if (state == SSH_KNOWN_HOSTS_OK)
        return true;
    if (state == SSH_KNOWN_HOSTS_CHANGED || state == SSH_KNOWN_HOSTS_OTHER) {
        message = sshFailureMessage(SshFailure::HostKeyChanged, errorOf(s));
        return false;
    }
    if (state == SSH_KNOWN_HOSTS_ERROR) {
        message = sshFailureMessage(SshFailure::Local, errorOf(s));
        return false;
    }
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(s, &key) != SSH_OK) {
        message = sshFailureMessage(SshFailure::Unreachable, errorOf(s));
        return false;
    }
    unsigned char* hash = nullptr;
    size_t length = 0;
    const int hashed = ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length);
    const std::string type = ssh_key_type_to_char(ssh_key_type(key));
    ssh_key_free(key);
    if (hashed != SSH_OK) {
        message = sshFailureMessage(SshFailure::Local, errorOf(s));
        return false;
    }
    const std::string fingerprint = sshFingerprintText(std::vector<unsigned char>(hash, hash + length));
    ssh_clean_pubkey_hash(&hash);
    unsigned int port = 22;
    ssh_options_get_port(s, &port);
    char* host = nullptr;
    ssh_options_get(s, SSH_OPTIONS_HOST, &host);
    const std::string hostName = host ? host : m_options.host;
    ssh_string_free_char(host);
    if (!ask || !ask(sshUnknownKeyQuestion(hostName, port, type, fingerprint))) {
        message = sshFailureMessage(SshFailure::HostKeyNotTrusted, fingerprint);
        return false;
    }
    const std::string own = ownKnownHostsPath();
    if (!preparePrivateFile(own) || ssh_session_update_known_hosts(s) != SSH_OK) {
        message = sshFailureMessage(SshFailure::Local, own + " could not be written. " + errorOf(s));
        return false;
    }
    return true;
}

bool SshTunnel::authenticate(const SshSecrets& secrets, std::string& message) {
    ssh_session s = m_session->handle;
    int rc = SSH_AUTH_DENIED;
    std::string why;
    switch (m_options.auth) {
        case SshAuth::Agent:
            rc = ssh_userauth_agent(s, nullptr);
            why = "The SSH agent holds no key that the SSH host accepts.";
            break;
        case SshAuth::Password:
            rc = ssh_userauth_password(s, nullptr, secrets.password.c_str());
            why = "The SSH host did not accept the password.";
            break;
        case SshAuth::KeyFile: {
            const char* passphrase = secrets.passphrase.empty() ? nullptr : secrets.passphrase.c_str();
            if (m_options.keyFile.empty()) {
                rc = ssh_userauth_publickey_auto(s, nullptr, passphrase);
                why = "The SSH host accepted none of the keys that the SSH configuration names.";
                break;
            }
            bool asked = false;
            ssh_key key = nullptr;
            if (ssh_pki_import_privkey_file(m_options.keyFile.c_str(), passphrase,
                                            passphrase ? nullptr : refusePassphrase, &asked,
                                            &key) != SSH_OK) {
                ssh_key_free(key);
                message = sshFailureMessage(
                    SshFailure::LoginRefused,
                    "The key file " + m_options.keyFile +
                        (passphrase || asked ? " could not be opened with the passphrase given."
                                             : " could not be read as a private key."));
                return false;
            }
            rc = ssh_userauth_publickey(s, nullptr, key);
            ssh_key_free(key);
            why = "The SSH host did not accept the key " + m_options.keyFile + ".";
            break;
        }
    }
    if (rc == SSH_AUTH_SUCCESS)
        return true;
    const std::string detail = errorOf(s);
    message = sshFailureMessage(SshFailure::LoginRefused, detail.empty() ? why : why + "\n" + detail);
    return false;
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
    auto lastSent = std::chrono::steady_clock::now();
    while (!m_stop) {
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}, {sshFd, POLLIN, 0}};
        for (const Forward& f : forwards)
            fds.push_back({f.fd, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 1000);
        if (fds[0].revents != 0 || m_stop)
            break;
        // A SSH host that answers nothing is noticed: the keep-alive keeps data in flight, which the
        // socket's user timeout then bounds.
        const auto now = std::chrono::steady_clock::now();
        if (now - lastSent >= std::chrono::seconds(kKeepAliveSeconds)) {
            ssh_send_ignore(s, "");
            lastSent = now;
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
        for (std::size_t i = 0; i < forwards.size(); ++i) {
            Forward& f = forwards[i];
            if (!(fds[3 + i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::recv(f.fd, buffer.data(), buffer.size(), 0);
            if (n > 0 && ssh_channel_write(f.channel, buffer.data(), static_cast<uint32_t>(n)) == n) {
                lastSent = now;
                continue;
            }
            endForward(f);
        }
        if (fds[2].revents != 0)
            ssh_blocking_flush(s, 0);
        for (Forward& f : forwards) {
            if (f.fd < 0)
                continue;
            int n = 0;
            while ((n = ssh_channel_read_nonblocking(f.channel, buffer.data(), buffer.size(), 0)) > 0)
                if (!writeAll(f.fd, buffer.data(), static_cast<std::size_t>(n)))
                    break;
            if (n != 0 || ssh_channel_is_eof(f.channel) || !ssh_channel_is_open(f.channel))
                endForward(f);
        }
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
    ::shutdown(m_listener, SHUT_RDWR);
}

}  // namespace velkin
