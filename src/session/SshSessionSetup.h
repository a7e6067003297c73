#pragma once

#include <libssh/libssh.h>
#include <optional>
#include <string>

#include "SshOptions.h"

// What the tunnel and its jump host do alike to an SSH session, before either carries anything.
namespace velkin {

/// A silent SSH host is given up on within this many seconds of the last sign of life, well inside
/// the half minute a person waits before a dead tunnel must show; it is asked after a few quiet ones.
constexpr int kSshSilentSeconds = 20;
constexpr int kSshKeepAliveSeconds = 5;
/// How long a keep-alive may go unanswered before the host counts as silent.
constexpr int kSshUnansweredSeconds = 2;

/// The jump host that the person's SSH config names for a host (ProxyJump), one hop.
struct SshJumpHost {
    std::string host;
    std::string user;
    unsigned int port = 0;
};

std::string sshFolder();
std::string errorOf(ssh_session session);
/// Bounds the wait for a vanished peer on a TCP socket.
void bound(int fd);
bool writeAll(int fd, const char* data, std::size_t size);
/// A passphrase callback that asks nobody and notes that a passphrase was wanted.
int refusePassphrase(const char*, char*, size_t, int, int, void* asked);

/// Names the host and reads the person's SSH config for it, then lets the values given win (an empty
/// user or port 22 leaves the config's). The jump host the config names is returned in jump; a
/// ProxyCommand of the person's own is refused, since the tunnel runs no other program.
bool configureSession(ssh_session s, const std::string& host, const std::string& user, unsigned int port,
                      std::optional<SshJumpHost>& jump, std::string& message);
/// The name known hosts files list the SSH host under, after the person's SSH config has named its
/// host name and port (as a tunnel to it would reach it).
std::string sshKnownHostName(const std::string& host, unsigned int port);
/// Trusts a known key, asks about an unknown one (and writes it to the program's own known hosts
/// when the person trusts it), refuses a changed one.
bool checkHostKey(ssh_session s, const SshQuestion& ask, std::string& message);
bool authenticate(ssh_session s, const SshOptions& options, const SshSecrets& secrets, std::string& message);

}  // namespace velkin
