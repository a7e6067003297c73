#pragma once

#include <QString>
#include <optional>
#include <string>

#include "HostRecord.h"
#include "SideFile.h"

class QWidget;

namespace velkin {

class Operator;

/// Where a saved host's password is kept: in its Host.DAT record (as always, and the default), in
/// the desktop's keyring, or nowhere (typed at every login). With the last two the record's password
/// field holds nothing; its layout stays.
enum class SecretPlace { HostDat, Keyring, Asked };

/// HostSecret.DAT beside Host.DAT: the place of the password of each saved host that keeps it
/// elsewhere than in Host.DAT. It never holds a password.
class SecretPlaceFile {
public:
    static constexpr const char* kDefaultPath = "HostSecret.DAT";

    explicit SecretPlaceFile(std::string path = kDefaultPath)
        : m_file(std::move(path), "# VelkinSorvane password places of the saved hosts") {}

    const std::string& path() const { return m_file.path(); }
    SecretPlace find(const std::string& name) const;
    bool store(const std::string& oldName, const std::string& name, SecretPlace place);
    bool remove(const std::string& name) { return store(name, name, SecretPlace::HostDat); }
    const std::string& lastError() const { return m_file.lastError(); }

private:
    SideFile m_file;
};

/// The password a saved host logs in with: its record's, the keyring's, or empty when it is asked
/// at every login (or the keyring cannot give it).
std::string savedPassword(const HostRecord& record);
/// The keyring's key for the SSH password or key passphrase of a saved host's tunnel.
QString sshKeyringKey(const std::string& name);
/// The SSH password or passphrase a saved host keeps in the keyring; empty when it keeps none (it is
/// then asked at login).
std::string savedSshSecret(const std::string& name);
/// Forgets what the keyring holds for a saved host: its password and its SSH secret.
void forgetKeyringSecrets(const std::string& name);
/// The password to log in with now: the saved one, or, for a host whose password is asked at every
/// login, the one the person types ("Login" question through op); nothing when they cancel.
std::optional<std::string> loginPassword(Operator& op, QWidget* parent, const HostRecord& record);

}  // namespace velkin
