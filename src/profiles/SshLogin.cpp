#include "SshLogin.h"

#include "SshSecretDialog.h"
#include "session/Operator.h"
#include "session/SshTunnel.h"

namespace velkin {

std::optional<SshSecrets> askSshSecrets(Operator& op, QWidget* parent, const SshOptions& ssh) {
    SshSecrets secrets;
    if (!ssh.isOn())
        return secrets;
    const QString target = QString::fromStdString(ssh.user.empty() ? ssh.host : ssh.user + '@' + ssh.host);
    if (ssh.auth == SshAuth::Password) {
        SshSecretDialog dialog(QStringLiteral("SSH password"),
                               QStringLiteral("The password of %1:").arg(target), parent);
        if (op.runModal(dialog) != QDialog::Accepted)
            return std::nullopt;
        secrets.password = dialog.secret().toStdString();
    } else if (ssh.auth == SshAuth::KeyFile && !ssh.keyFile.empty() &&
               SshTunnel::keyNeedsPassphrase(ssh.keyFile)) {
        SshSecretDialog dialog(QStringLiteral("Passphrase"),
                               QStringLiteral("The passphrase of the key %1 for %2:")
                                   .arg(QString::fromStdString(ssh.keyFile), target),
                               parent);
        if (op.runModal(dialog) != QDialog::Accepted)
            return std::nullopt;
        secrets.passphrase = dialog.secret().toStdString();
    }
    return secrets;
}

}  // namespace velkin
