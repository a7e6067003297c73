#include "ProfileSecrets.h"

#include <QUuid>

#include "HostFile.h"
#include "Keyring.h"
#include "ProfileLabel.h"
#include "SecretPlaceFile.h"
#include "SshSecretDialog.h"
#include "SshSettingsFile.h"
#include "session/Operator.h"

namespace velkin {

namespace {

QString shown(const std::string& bytes) {
    return labelText(QByteArray::fromStdString(bytes));
}

const QString kPasswordWhat = QStringLiteral("password");
const QString kSshWhat = QStringLiteral("SSH password or passphrase");

struct SecretId {
    std::string id;
    QString problem;
};

/// Moves what an earlier version kept under the display name alone to the host's own id. That
/// entry cannot tell which of several same-named hosts wrote it; it goes to the first that uses it,
/// bound to that host's server from then on, and the others are asked.
SecretId moveFormerEntries(const std::string& name) {
    const QString shownName = shown(name);
    const KeyringRead password = keyringRead(formerPasswordKeyringKey(shownName));
    const KeyringRead ssh = keyringRead(formerSshKeyringKey(shownName));
    if (!password.error.isEmpty())
        return {{}, keyringUnavailableText(kPasswordWhat, shownName, password.error)};
    const std::string id = newSecretId();
    const auto record = HostFile().findFirst(name);
    if (password.secret && record) {
        if (const QString failure = keepPassword(id, *record, *password.secret); !failure.isEmpty())
            return {{}, keyringUnavailableText(kPasswordWhat, shownName, failure)};
    }
    const SshOptions tunnel = SshSettingsFile().find(name);
    if (ssh.secret && tunnel.isOn())
        keepSshSecret(id, tunnel, *ssh.secret);
    if (!SecretPlaceFile().store(name, name, SecretPlace::Keyring, id)) {
        forgetPassword(id);
        forgetSshSecret(id);
        return {{},
                keyringUnavailableText(kPasswordWhat, shownName,
                                       QStringLiteral("HostSecret.DAT cannot be written"))};
    }
    keyringRemove(formerPasswordKeyringKey(shownName));
    keyringRemove(formerSshKeyringKey(shownName));
    return {id, {}};
}

SecretId keyringId(const std::string& name) {
    const SecretPlaceEntry entry = SecretPlaceFile().entry(name);
    if (entry.place != SecretPlace::Keyring)
        return {};
    if (!entry.id.empty())
        return {entry.id, {}};
    return moveFormerEntries(name);
}

/// The secret under key, when it is owner's; what stands in the way otherwise.
KeptSecret readOwned(const QString& key, const SecretOwner& owner, const QString& what,
                     const QString& profile, bool noneIsProblem) {
    const KeyringRead read = keyringRead(key);
    if (!read.error.isEmpty())
        return {std::nullopt, keyringUnavailableText(what, profile, read.error)};
    const auto entry = read.secret ? parseKeyringEntry(*read.secret) : std::nullopt;
    if (!entry)
        return {std::nullopt, noneIsProblem ? keyringHoldsNoneText(what, profile) : QString()};
    if (entry->owner != owner)
        return {std::nullopt, keyringOtherOwnerText(what, profile, entry->owner, owner), true};
    return {entry->secret.toStdString(), {}};
}

}  // namespace

SecretOwner passwordOwner(const std::string& id, const HostRecord& record) {
    return {QString::fromStdString(id), shown(record.hostName), shown(record.port), shown(record.userName)};
}

SecretOwner sshOwner(const std::string& id, const SshOptions& ssh) {
    return {QString::fromStdString(id), QString::fromStdString(ssh.host), QString::number(ssh.port),
            QString::fromStdString(ssh.user)};
}

std::string newSecretId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
}

KeptSecret keptPassword(const HostRecord& record) {
    const SecretId id = keyringId(record.displayName);
    if (id.id.empty())
        return {std::nullopt, id.problem};
    return readOwned(passwordKeyringKey(QString::fromStdString(id.id)), passwordOwner(id.id, record),
                     kPasswordWhat, shown(record.displayName), true);
}

KeptSecret keptSshSecret(const std::string& name, const SshOptions& ssh) {
    const SecretId id = keyringId(name);
    if (id.id.empty())
        return {std::nullopt, id.problem};
    return readOwned(sshKeyringKey(QString::fromStdString(id.id)), sshOwner(id.id, ssh), kSshWhat,
                     shown(name), false);
}

QString keepPassword(const std::string& id, const HostRecord& record, const QString& secret) {
    return keyringWrite(passwordKeyringKey(QString::fromStdString(id)),
                        keyringEntryText({passwordOwner(id, record), secret}));
}

QString keepSshSecret(const std::string& id, const SshOptions& ssh, const QString& secret) {
    return keyringWrite(sshKeyringKey(QString::fromStdString(id)),
                        keyringEntryText({sshOwner(id, ssh), secret}));
}

void forgetPassword(const std::string& id) {
    keyringRemove(passwordKeyringKey(QString::fromStdString(id)));
}

void forgetSshSecret(const std::string& id) {
    keyringRemove(sshKeyringKey(QString::fromStdString(id)));
}

void forgetKeyringSecrets(const HostRecord& record) {
    const SecretPlaceEntry entry = SecretPlaceFile().entry(record.displayName);
    if (entry.place != SecretPlace::Keyring)
        return;
    if (entry.id.empty()) {
        keyringRemove(formerPasswordKeyringKey(shown(record.displayName)));
        keyringRemove(formerSshKeyringKey(shown(record.displayName)));
        return;
    }
    const auto ownedBy = [](const QString& key, const SecretOwner& owner) {
        const KeyringRead read = keyringRead(key);
        const auto kept = read.secret ? parseKeyringEntry(*read.secret) : std::nullopt;
        return kept && kept->owner == owner;
    };
    const QString id = QString::fromStdString(entry.id);
    if (ownedBy(passwordKeyringKey(id), passwordOwner(entry.id, record)))
        forgetPassword(entry.id);
    if (ownedBy(sshKeyringKey(id), sshOwner(entry.id, SshSettingsFile().find(record.displayName))))
        forgetSshSecret(entry.id);
}

KeptSecret knownPassword(const HostRecord& record) {
    switch (SecretPlaceFile().find(record.displayName)) {
        case SecretPlace::Keyring:
            return keptPassword(record);
        case SecretPlace::Asked:
            return {};
        case SecretPlace::HostDat:
            break;
    }
    return {record.password, {}};
}

std::optional<std::string> askPassword(Operator& op, QWidget* parent, const QString& user,
                                       const QString& host, const QString& problem) {
    QString prompt = QStringLiteral("The password of %1 on %2:").arg(user, host);
    if (!problem.isEmpty())
        prompt = problem + QLatin1Char('\n') + prompt;
    SshSecretDialog dialog(QStringLiteral("Password"), prompt, parent, QStringLiteral("Login"));
    if (op.runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.secret().toStdString();
}

std::optional<std::string> loginPassword(Operator& op, QWidget* parent, const HostRecord& record) {
    const KeptSecret known = knownPassword(record);
    if (known.secret)
        return known.secret;
    return askPassword(op, parent, shown(record.userName), shown(record.hostName), known.problem);
}

}  // namespace velkin
