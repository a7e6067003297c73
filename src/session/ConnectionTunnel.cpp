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
    if (!m_ssh.isOn()) {
        m_tunnel.reset();
        return true;
    }
    if (m_tunnel && m_tunnel->isAlive() && m_tunnel->serves(m_ssh, host, port))
        return true;
    m_tunnel.reset();
    // A brief connection asks the server one question beside the real work: it goes through the
    // session's tunnel or not at all, never building one (and never asking the person) on its own.
    if (m_briefSeconds != 0) {
        m_sshProblem = sshFailureMessage(SshFailure::Unreachable, "The session's SSH tunnel has ended.");
        return false;
    }
    m_tunnel = SshTunnel::obtain(m_ssh, m_sshSecrets, host, port, m_sshQuestion, m_sshProblem);
    return m_tunnel != nullptr;
}

}  // namespace velkin
