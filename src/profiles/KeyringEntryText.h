#pragma once

#include <QString>
#include <optional>

namespace velkin {

/// Whose a secret in the desktop's keyring is: the saved host that keeps it (by an id no other
/// saved host has, even one of the same display name in another profile folder) and the server,
/// port and user the secret logs in to. A secret is handed only to the login it was kept for.
struct SecretOwner {
    QString id;
    QString server;
    QString port;
    QString user;

    bool operator==(const SecretOwner& o) const {
        return id == o.id && server == o.server && port == o.port && user == o.user;
    }
    bool operator!=(const SecretOwner& o) const { return !(*this == o); }
};

/// One entry of the keyring as it is written: the owner beside the secret.
struct KeyringEntry {
    SecretOwner owner;
    QString secret;
};

/// The entry's text in the keyring: a small JSON object, so that the secret keeps every character.
QString keyringEntryText(const KeyringEntry& entry);
/// The entry a text holds; nothing when the text is not one this program wrote.
std::optional<KeyringEntry> parseKeyringEntry(const QString& text);

/// The keyring keys of a saved host's database password and of its SSH password or key passphrase.
QString passwordKeyringKey(const QString& id);
QString sshKeyringKey(const QString& id);
/// The keys under which earlier versions kept them, by display name alone.
QString formerPasswordKeyringKey(const QString& displayName);
QString formerSshKeyringKey(const QString& displayName);

/// "user@server:port", the way a login is named in messages.
QString ownerTarget(const SecretOwner& owner);

/// Why a kept secret is not sent: the keyring could not give it, holds none, or keeps it for another
/// login. what names the secret ("password", "SSH password or passphrase").
QString keyringUnavailableText(const QString& what, const QString& profile, const QString& reason);
QString keyringHoldsNoneText(const QString& what, const QString& profile);
QString keyringOtherOwnerText(const QString& what, const QString& profile, const SecretOwner& kept,
                              const SecretOwner& wanted);

}  // namespace velkin
