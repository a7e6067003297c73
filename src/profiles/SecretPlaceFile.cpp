#include "SecretPlaceFile.h"

#include "SshSecretDialog.h"
#include "session/Operator.h"

#include "Keyring.h"
#include "ProfileLabel.h"

namespace velkin {

SecretPlace SecretPlaceFile::find(const std::string& name) const {
    const auto line = m_file.find(name);
    if (!line)
        return SecretPlace::HostDat;
    const auto parts = sideFields(*line);
    if (parts.size() == 2 && parts[1] == "keyring")
        return SecretPlace::Keyring;
    if (parts.size() == 2 && parts[1] == "asked")
        return SecretPlace::Asked;
    return SecretPlace::HostDat;
}

bool SecretPlaceFile::store(const std::string& oldName, const std::string& name, SecretPlace place) {
    const char* word = place == SecretPlace::Keyring ? "keyring"
                       : place == SecretPlace::Asked ? "asked"
                                                     : nullptr;
    return m_file.store(oldName, word ? sideEscaped(name) + '\t' + word : std::string());
}

std::string savedPassword(const HostRecord& record) {
    switch (SecretPlaceFile().find(record.displayName)) {
        case SecretPlace::Keyring:
            return keyringRead(labelText(QByteArray::fromStdString(record.displayName)))
                .secret.value_or(QString())
                .toStdString();
        case SecretPlace::Asked:
            return {};
        case SecretPlace::HostDat:
            break;
    }
    return record.password;
}

QString sshKeyringKey(const std::string& name) {
    return labelText(QByteArray::fromStdString(name)) + QStringLiteral(" (SSH)");
}

std::string savedSshSecret(const std::string& name) {
    if (SecretPlaceFile().find(name) != SecretPlace::Keyring)
        return {};
    return keyringRead(sshKeyringKey(name)).secret.value_or(QString()).toStdString();
}

void forgetKeyringSecrets(const std::string& name) {
    keyringRemove(labelText(QByteArray::fromStdString(name)));
    keyringRemove(sshKeyringKey(name));
}

std::optional<std::string> loginPassword(Operator& op, QWidget* parent, const HostRecord& record) {
    if (SecretPlaceFile().find(record.displayName) != SecretPlace::Asked)
        return savedPassword(record);
    SshSecretDialog dialog(
        QStringLiteral("Password"),
        QStringLiteral("The password of %1 on %2:")
            .arg(QString::fromStdString(record.userName), QString::fromStdString(record.hostName)),
        parent, QStringLiteral("Login"));
    if (op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.secret().toStdString();
}

}  // namespace velkin
