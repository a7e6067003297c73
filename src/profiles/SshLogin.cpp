#include "SshLogin.h"

#include "ProfileSecrets.h"
#include "SshSecretDialog.h"
#include "session/Operator.h"
#include "session/SshTunnel.h"

namespace velkin {

std::optional<SshSecrets> askSshSecrets(Operator& op, QWidget* parent, const SshOptions& ssh,
                                        const std::string& profile) {
    SshSecrets secrets;
    if (!ssh.isOn())
        return secrets;
    const bool locked =
        ssh.auth == SshAuth::KeyFile && !ssh.keyFile.empty() && SshTunnel::keyNeedsPassphrase(ssh.keyFile);
    QString problem;
    if ((ssh.auth == SshAuth::Password || locked) && !profile.empty()) {
        // A wrong kept secret is refused by the SSH host like a wrong typed one; the person then
        // mends it in the host's settings.
        const KeptSecret kept = keptSshSecret(profile, ssh);
        if (kept.secret && !kept.secret->empty()) {
            (locked ? secrets.passphrase : secrets.password) = *kept.secret;
            return secrets;
        }
        problem = kept.problem.isEmpty() ? QString() : kept.problem + QLatin1Char('\n');
    }
    const QString target = QString::fromStdString(ssh.user.empty() ? ssh.host : ssh.user + '@' + ssh.host);
    if (ssh.auth == SshAuth::Password) {
        SshSecretDialog dialog(QStringLiteral("SSH password"),
                               problem + QStringLiteral("The password of %1:").arg(target), parent);
        if (op.runModal(dialog) != QDialog::Accepted)
            return std::nullopt;
        secrets.password = dialog.secret().toStdString();
    } else if (locked) {
        SshSecretDialog dialog(QStringLiteral("Passphrase"),
                               problem + QStringLiteral("The passphrase of the key %1 for %2:")
                                             .arg(QString::fromStdString(ssh.keyFile), target),
                               parent);
        if (op.runModal(dialog) != QDialog::Accepted)
            return std::nullopt;
        secrets.passphrase = dialog.secret().toStdString();
    }
    return secrets;
}

}  // namespace velkin
