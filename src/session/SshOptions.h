#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velkin {

/// How a tunnel proves who it is to the SSH host.
enum class SshAuth { Agent, KeyFile, Password };

/// The SSH tunnel of one login: the SSH host that the database server is reached through. No host
/// means a direct connection. The database host and port of the login are then the ones the SSH
/// host sees, so "127.0.0.1" names the SSH host itself.
struct SshOptions {
    std::string host;
    unsigned int port = 22;
    std::string user;
    SshAuth auth = SshAuth::Agent;
    /// An OpenSSH private key; for a key login without one, the keys the person's SSH config names.
    std::string keyFile;

    bool isOn() const { return !host.empty(); }
    bool operator==(const SshOptions& o) const {
        return host == o.host && port == o.port && user == o.user && auth == o.auth && keyFile == o.keyFile;
    }
    bool operator!=(const SshOptions& o) const { return !(*this == o); }
};

/// What a tunnel needs that is never written to a file: asked for at login.
struct SshSecrets {
    std::string password;
    std::string passphrase;
};

/// Asks the person a Yes/No question (a host key seen for the first time) from whatever thread
/// builds the tunnel; true for Yes.
using SshQuestion = std::function<bool(const std::string& question)>;

/// Why a tunnel could not be made; the library's text follows each in the message.
enum class SshFailure {
    None,
    Unreachable,
    HostKeyChanged,
    HostKeyNotTrusted,
    LoginRefused,
    DatabaseUnreachable,
    Local
};

/// A key's SHA256 hash as OpenSSH prints it: "SHA256:" and the hash in base64 without padding.
std::string sshFingerprintText(const std::vector<unsigned char>& sha256);

/// The question asked before a host key is trusted for the first time.
std::string sshUnknownKeyQuestion(const std::string& host, unsigned int port, const std::string& keyType,
                                  const std::string& fingerprint);

/// The message after a tunnel failed, with the library's text (or the reason) below it.
std::string sshFailureMessage(SshFailure failure, const std::string& detail);

/// The failure that a message of sshFailureMessage tells; None for any other text.
SshFailure sshFailureOf(const std::string& message);

/// The SSH host as the person names it: "user@host:port".
std::string sshHostText(const SshOptions& options);

/// "The SSH tunnel through user@host:port has ended", said where a loss is the tunnel's.
std::string sshTunnelEndedText(const SshOptions& options);

/// The settings' word for an authentication kind, and back; Agent for a word it does not know.
const char* sshAuthWord(SshAuth auth);
bool sshAuthOf(const std::string& word, SshAuth& auth);

}  // namespace velkin
