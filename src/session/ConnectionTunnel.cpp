#include "Connection.h"
#include "SshTunnel.h"

namespace velkin {

void Connection::setSsh(const SshOptions& ssh, const SshSecrets& secrets, SshQuestion question) {
    m_ssh = ssh;
    m_sshSecrets = secrets;
    m_sshQuestion = std::move(question);
}

bool Connection::prepareTunnel(const std::string& host, unsigned int port) {
    m_sshProblem.clear();
    // Stored atomically: the text of an error may be read beside a login that replaces the tunnel.
    if (!m_ssh.isOn()) {
        std::atomic_store(&m_tunnel, std::shared_ptr<SshTunnel>());
        return true;
    }
    if (m_tunnel && m_tunnel->isAnswering() && m_tunnel->serves(m_ssh, host, port))
        return true;
    std::atomic_store(&m_tunnel, std::shared_ptr<SshTunnel>());
    // A brief connection asks the server one question beside the real work: it goes through the
    // session's tunnel or not at all, never building one (and never asking the person) on its own.
    if (m_briefSeconds != 0) {
        m_sshProblem = sshFailureMessage(SshFailure::Unreachable, "The session's SSH tunnel has ended.");
        return false;
    }
    std::atomic_store(&m_tunnel,
                      SshTunnel::obtain(m_ssh, m_sshSecrets, host, port, m_sshQuestion, m_sshProblem));
    return m_tunnel != nullptr;
}

bool Connection::tunnelEnded() const {
    const std::shared_ptr<SshTunnel> tunnel = std::atomic_load(&m_tunnel);
    return m_ssh.isOn() && (!tunnel || !tunnel->isAnswering());
}

SshFailure Connection::sshFailure() const {
    return sshFailureOf(m_sshProblem);
}

std::string Connection::tunnelNote() const {
    // A connection lost with its tunnel: the client library's text alone would blame the server.
    const std::shared_ptr<SshTunnel> tunnel = std::atomic_load(&m_tunnel);
    if (!tunnel || tunnel->isAnswering() || !connectionLost())
        return {};
    return " (" + sshTunnelEndedText(tunnel->options()) + ")";
}

}  // namespace velkin
