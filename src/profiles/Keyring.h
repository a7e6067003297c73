#pragma once

#include <QString>
#include <optional>

namespace velkin {

/// The desktop's keyring (the Secret Service) through QtKeychain, with the program's name as the
/// service. Each call waits for the keyring's answer. What is kept under which key, and for whom,
/// is ProfileSecrets' business.
struct KeyringRead {
    std::optional<QString> secret;
    /// Why nothing came back; empty when the keyring simply holds nothing for the key.
    QString error;
};
KeyringRead keyringRead(const QString& key);
/// Stores secret under key; the keyring's reason when it could not (no keyring service running).
QString keyringWrite(const QString& key, const QString& secret);
/// Forgets what key holds; nothing held is no failure.
QString keyringRemove(const QString& key);

}  // namespace velkin
