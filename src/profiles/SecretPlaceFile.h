#pragma once

#include <string>

#include "SideFile.h"

namespace velkin {

/// Where a saved host's password is kept: in its Host.DAT record (as always, and the default), in
/// the desktop's keyring, or nowhere (typed at every login). With the last two the record's password
/// field holds nothing; its layout stays.
enum class SecretPlace { HostDat, Keyring, Asked };

/// Where one saved host keeps its password, and, for the keyring, the host's own id, under which the
/// keyring keeps its secrets (so that no other saved host, even one of the same name in another
/// profile folder, reads or overwrites them).
struct SecretPlaceEntry {
    SecretPlace place = SecretPlace::HostDat;
    std::string id;
};

/// HostSecret.DAT beside Host.DAT: the place of the password of each saved host that keeps it
/// elsewhere than in Host.DAT. It never holds a password.
class SecretPlaceFile {
public:
    static constexpr const char* kDefaultPath = "HostSecret.DAT";

    explicit SecretPlaceFile(std::string path = kDefaultPath)
        : m_file(std::move(path), "# VelkinSorvane password places of the saved hosts") {}

    const std::string& path() const { return m_file.path(); }
    SecretPlaceEntry entry(const std::string& name) const;
    SecretPlace find(const std::string& name) const { return entry(name).place; }
    /// The id is kept only with the keyring, the one place that needs it.
    bool store(const std::string& oldName, const std::string& name, SecretPlace place,
               const std::string& id = {});
    bool store(const std::string& oldName, const std::string& name, const SecretPlaceEntry& entry) {
        return store(oldName, name, entry.place, entry.id);
    }
    bool remove(const std::string& name) { return store(name, name, SecretPlace::HostDat); }
    const std::string& lastError() const { return m_file.lastError(); }

private:
    SideFile m_file;
};

}  // namespace velkin
