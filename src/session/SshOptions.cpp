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

std::string sshFailureMessage(SshFailure failure, const std::string& detail) {
    std::string head;
    switch (failure) {
        case SshFailure::Unreachable:
            head = "The SSH host could not be reached";
            break;
        case SshFailure::HostKeyChanged:
            head =
                "SSH host key changed: the SSH host shows a key other than the one trusted before. Someone "
                "may be listening in; the connection is refused. If the host's key was replaced on purpose, "
                "remove its old line from the known hosts file.";
            break;
        case SshFailure::HostKeyNotTrusted:
            head = "The SSH host's key was not trusted.";
            break;
        case SshFailure::LoginRefused:
            head = "SSH login refused";
            break;
        case SshFailure::DatabaseUnreachable:
            head = "The SSH host could not reach the database server";
            break;
        case SshFailure::Local:
            head = "The SSH tunnel could not be opened on this computer";
            break;
        case SshFailure::None:
            break;
    }
    std::string message = "Connection failure\n" + head;
    if (!detail.empty())
        message += "\n" + detail;
    return message;
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
