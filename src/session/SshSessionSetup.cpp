#include "SshSessionSetup.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "KnownHosts.h"
#include "SshTunnel.h"

namespace velkin {

namespace {

/// The hop that libssh wrote as "ssh [-l user] [-p port] -W '[%h]:%p' host"; nothing for any other command.
std::optional<SshJumpHost> jumpHostOf(const std::string& command) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = command.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = command.find(' ', at);
        words.push_back(command.substr(at, end - at));
        at = end;
    }
    if (words.size() < 4 || words[0] != "ssh")
        return std::nullopt;
    SshJumpHost jump;
    for (std::size_t i = 1; i + 1 < words.size(); i += 2) {
        if (words[i] == "-l")
            jump.user = words[i + 1];
        else if (words[i] == "-p")
            jump.port = static_cast<unsigned int>(std::strtoul(words[i + 1].c_str(), nullptr, 10));
        else if (words[i] != "-W")
            return std::nullopt;
    }
    if (words.size() % 2 != 0 || words.back().empty() || words.back()[0] == '-')
        return std::nullopt;
    jump.host = words.back();
    return jump;
}

}  // namespace

std::string sshFolder() {
    return QDir::homePath().toStdString() + "/.ssh";
}

std::string errorOf(ssh_session session) {
    const char* text = ssh_get_error(session);
    return text ? text : "";
}

/// Created readable by its owner alone before libssh appends to it, since it tells which hosts
/// the person reaches.
static bool preparePrivateFile(const std::string& path) {
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
    const int idle = kSshKeepAliveSeconds;
    const int count = 3;
    const unsigned int userTimeout = kSshSilentSeconds * 1000;
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

int refusePassphrase(const char*, char*, size_t, int, int, void* asked) {
    *static_cast<bool*>(asked) = true;
    return -1;
}

bool configureSession(ssh_session s, const std::string& host, const std::string& user, unsigned int port,
                      std::optional<SshJumpHost>& jump, std::string& message) {
    const std::string folder = sshFolder();
    const std::string config = folder + "/config";
    const std::string own = SshTunnel::ownKnownHostsPath();
    const std::string theirs = folder + "/known_hosts";
    int no = 0, yes = 1;
    long timeout = 10;
    ssh_options_set(s, SSH_OPTIONS_HOST, host.c_str());
    ssh_options_set(s, SSH_OPTIONS_SSH_DIR, folder.c_str());
    // Only the person's own config is read, and read now, so that the profile's values set below win.
    ssh_options_set(s, SSH_OPTIONS_PROCESS_CONFIG, &no);
    if (QFileInfo::exists(QString::fromStdString(config)))
        ssh_options_parse_config(s, config.c_str());
    char* command = nullptr;
    if (ssh_options_get(s, SSH_OPTIONS_PROXYCOMMAND, &command) == SSH_OK && command) {
        const std::string text = command;
        ssh_string_free_char(command);
        // libssh turns a ProxyJump into a command that would run another SSH program; the hop is
        // made here instead, from the values the command names.
        ssh_options_set(s, SSH_OPTIONS_PROXYCOMMAND, "none");
        jump = jumpHostOf(text);
        if (!jump) {
            message = sshFailureMessage(
                SshFailure::Local, "The SSH configuration names a ProxyCommand; only ProxyJump is followed.");
            return false;
        }
    }
    if (!user.empty())
        ssh_options_set(s, SSH_OPTIONS_USER, user.c_str());
    if (port != 0 && port != 22)
        ssh_options_set(s, SSH_OPTIONS_PORT, &port);
    ssh_options_set(s, SSH_OPTIONS_KNOWNHOSTS, own.c_str());
    ssh_options_set(s, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, theirs.c_str());
    ssh_options_set(s, SSH_OPTIONS_TIMEOUT, &timeout);
    ssh_options_set(s, SSH_OPTIONS_NODELAY, &yes);
    return true;
}

namespace {

/// The host and port the session reaches, as its options (after the person's SSH config) say.
std::pair<std::string, unsigned int> reachedHost(ssh_session s) {
    unsigned int port = 22;
    ssh_options_get_port(s, &port);
    char* host = nullptr;
    ssh_options_get(s, SSH_OPTIONS_HOST, &host);
    std::string name = host ? host : "?";
    ssh_string_free_char(host);
    return {name, port};
}

/// The name the session's host is listed under in known hosts files.
std::string listedName(ssh_session s) {
    const auto [host, port] = reachedHost(s);
    return knownHostName(host, port);
}

/// The key the SSH host shows: its type and fingerprint, false when it cannot be had.
bool shownKey(ssh_session s, std::string& type, std::string& fingerprint) {
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(s, &key) != SSH_OK)
        return false;
    unsigned char* hash = nullptr;
    size_t length = 0;
    const int hashed = ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length);
    type = ssh_key_type_to_char(ssh_key_type(key));
    ssh_key_free(key);
    if (hashed != SSH_OK)
        return false;
    fingerprint = sshFingerprintText(std::vector<unsigned char>(hash, hash + length));
    ssh_clean_pubkey_hash(&hash);
    return true;
}

/// What the person needs to judge a changed key: the key shown now, and where the one trusted
/// before is written, so that a key replaced on purpose can be checked and its old line found.
std::string changedKeyDetail(ssh_session s) {
    const std::string name = listedName(s);
    std::string type, fingerprint;
    std::string detail = shownKey(s, type, fingerprint)
                             ? "The SSH host " + name + " now shows the " + type + " key " + fingerprint + "."
                             : "The SSH host " + name + " shows another key. " + errorOf(s);
    const std::string own = SshTunnel::ownKnownHostsPath();
    const std::vector<KnownHostKey> before = knownHostKeysFor(name);
    if (before.empty())
        return detail + "\nThe key trusted before is in " + own + " or " + sshFolder() + "/known_hosts.";
    for (const KnownHostKey& key : before)
        detail += "\nThe key trusted before, " + key.keyType + " " + key.fingerprint + ", is in " + key.file +
                  ", line " + std::to_string(key.line) + ".";
    if (before.front().file == own)
        detail += "\n\"Forget host key\" in the host's SSH tunnel settings takes it out of that file.";
    else
        detail +=
            "\nThis program never changes that file; ssh-keygen -R \"" + name + "\" takes the line out.";
    return detail;
}

}  // namespace

std::string sshKnownHostName(const std::string& host, unsigned int port) {
    ssh_session s = ssh_new();
    if (!s)
        return knownHostName(host, port);
    std::optional<SshJumpHost> jump;
    std::string message;
    // A ProxyCommand is refused for tunnels, but the host it would reach is still the one named.
    configureSession(s, host, std::string(), port, jump, message);
    const std::string name = listedName(s);
    ssh_free(s);
    return name;
}

bool checkHostKey(ssh_session s, const SshQuestion& ask, std::string& message) {
    const ssh_known_hosts_e state = ssh_session_is_known_server(s);
    if (state == SSH_KNOWN_HOSTS_OK)
        return true;
    if (state == SSH_KNOWN_HOSTS_CHANGED || state == SSH_KNOWN_HOSTS_OTHER) {
        message = sshFailureMessage(SshFailure::HostKeyChanged, changedKeyDetail(s));
        return false;
    }
    if (state == SSH_KNOWN_HOSTS_ERROR) {
        message = sshFailureMessage(SshFailure::Local, errorOf(s));
        return false;
    }
    std::string type, fingerprint;
    if (!shownKey(s, type, fingerprint)) {
        message = sshFailureMessage(SshFailure::Unreachable, errorOf(s));
        return false;
    }
    const auto [hostName, port] = reachedHost(s);
    if (!ask || !ask(sshUnknownKeyQuestion(hostName, port, type, fingerprint))) {
        message = sshFailureMessage(SshFailure::HostKeyNotTrusted, fingerprint);
        return false;
    }
    const std::string own = SshTunnel::ownKnownHostsPath();
    if (!preparePrivateFile(own) || ssh_session_update_known_hosts(s) != SSH_OK) {
        message = sshFailureMessage(SshFailure::Local, own + " could not be written. " + errorOf(s));
        return false;
    }
    return true;
}

bool authenticate(ssh_session s, const SshOptions& options, const SshSecrets& secrets, std::string& message) {
    int rc = SSH_AUTH_DENIED;
    std::string why;
    switch (options.auth) {
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
            if (options.keyFile.empty()) {
                rc = ssh_userauth_publickey_auto(s, nullptr, passphrase);
                why = "The SSH host accepted none of the keys that the SSH configuration names.";
                break;
            }
            bool asked = false;
            ssh_key key = nullptr;
            if (ssh_pki_import_privkey_file(options.keyFile.c_str(), passphrase,
                                            passphrase ? nullptr : refusePassphrase, &asked,
                                            &key) != SSH_OK) {
                ssh_key_free(key);
                message = sshFailureMessage(
                    SshFailure::LoginRefused,
                    "The key file " + options.keyFile +
                        (passphrase || asked ? " could not be opened with the passphrase given."
                                             : " could not be read as a private key."));
                return false;
            }
            rc = ssh_userauth_publickey(s, nullptr, key);
            ssh_key_free(key);
            why = "The SSH host did not accept the key " + options.keyFile + ".";
            break;
        }
    }
    if (rc == SSH_AUTH_SUCCESS)
        return true;
    const std::string detail = errorOf(s);
    message = sshFailureMessage(SshFailure::LoginRefused, detail.empty() ? why : why + "\n" + detail);
    return false;
}

}  // namespace velkin
