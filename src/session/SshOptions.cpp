#include "SshOptions.h"

#include <fmt/format.h>
#include <QByteArray>

namespace velkin {

std::string sshFingerprintText(const std::vector<unsigned char>& sha256) {
    const QByteArray raw(reinterpret_cast<const char*>(sha256.data()), static_cast<qsizetype>(sha256.size()));
    // OpenSSH leaves the padding off, so what the person compares is exactly what ssh-keygen -l shows.
    return "SHA256:" +
           raw.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals).toStdString();
}

std::string sshUnknownKeyQuestion(const std::string& host, unsigned int port, const std::string& keyType,
                                  const std::string& fingerprint) {
    return fmt::format(
        "The SSH host {}:{} is not known yet.\nIts {} key fingerprint is {}.\n"
        "Do you trust this key and connect?",
        host, port, keyType, fingerprint);
}

namespace {

const char* failureHead(SshFailure failure) {
    switch (failure) {
        case SshFailure::Unreachable:
            return "The SSH host could not be reached";
        case SshFailure::HostKeyChanged:
            return "SSH host key changed: the SSH host shows a key other than the one trusted before. "
                   "Someone "
                   "may be listening in; the connection is refused. If the host's key was replaced on "
                   "purpose, "
                   "remove its old line from the known hosts file.";
        case SshFailure::HostKeyNotTrusted:
            return "The SSH host's key was not trusted.";
        case SshFailure::LoginRefused:
            return "SSH login refused";
        case SshFailure::DatabaseUnreachable:
            return "The SSH host could not reach the database server";
        case SshFailure::Local:
            return "The SSH tunnel could not be opened on this computer";
        case SshFailure::None:
            break;
    }
    return "";
}

const char* const kFailurePrefix = "Connection failure\n";

}  // namespace

std::string sshFailureMessage(SshFailure failure, const std::string& detail) {
    std::string message = kFailurePrefix + std::string(failureHead(failure));
    if (!detail.empty())
        message += "\n" + detail;
    return message;
}

SshFailure sshFailureOf(const std::string& message) {
    for (const SshFailure failure :
         {SshFailure::Unreachable, SshFailure::HostKeyChanged, SshFailure::HostKeyNotTrusted,
          SshFailure::LoginRefused, SshFailure::DatabaseUnreachable, SshFailure::Local}) {
        const std::string head = kFailurePrefix + std::string(failureHead(failure));
        if (message.compare(0, head.size(), head) == 0)
            return failure;
    }
    return SshFailure::None;
}

std::string sshHostText(const SshOptions& options) {
    return (options.user.empty() ? "" : options.user + "@") + options.host + ":" +
           std::to_string(options.port);
}

std::string sshTunnelEndedText(const SshOptions& options) {
    return "The SSH tunnel through " + sshHostText(options) + " has ended";
}

const char* sshAuthWord(SshAuth auth) {
    switch (auth) {
        case SshAuth::KeyFile:
            return "key";
        case SshAuth::Password:
            return "password";
        case SshAuth::Agent:
            break;
    }
    return "agent";
}

bool sshAuthOf(const std::string& word, SshAuth& auth) {
    if (word == "agent")
        auth = SshAuth::Agent;
    else if (word == "key")
        auth = SshAuth::KeyFile;
    else if (word == "password")
        auth = SshAuth::Password;
    else
        return false;
    return true;
}

}  // namespace velkin
