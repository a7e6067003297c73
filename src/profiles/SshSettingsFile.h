#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "SideFile.h"
#include "session/SshOptions.h"

namespace velkin {

/// The SSH tunnel of one saved host, keyed by its display name as Host.DAT holds it.
struct SshEntry {
    std::string name;
    SshOptions ssh;
};

/// One line of the file: name, SSH host, port, user, authentication, key file, separated by tabs
/// and escaped as every side file line is. No password or passphrase is ever part of it.
std::string sshEntryLine(const SshEntry& entry);
/// The entry of one line (without its line end); nothing when the line is not one this program wrote.
std::optional<SshEntry> parseSshEntryLine(std::string_view line);

/// HostSSH.DAT beside Host.DAT: the SSH tunnels of the saved hosts that have one. A host without a
/// line here is reached directly, as it always was.
class SshSettingsFile {
public:
    static constexpr const char* kDefaultPath = "HostSSH.DAT";

    explicit SshSettingsFile(std::string path = kDefaultPath)
        : m_file(std::move(path), "# VelkinSorvane SSH tunnels of the saved hosts") {}

    const std::string& path() const { return m_file.path(); }
    /// The tunnel of the host with that name; off when there is none or the file cannot be read.
    SshOptions find(const std::string& name) const;
    /// Gives the host saved as oldName (empty when it is new) the name and tunnel given; a tunnel
    /// that is off removes its line. False when the file could not be read or written.
    bool store(const std::string& oldName, const std::string& name, const SshOptions& ssh);
    bool remove(const std::string& name) { return store(name, name, SshOptions()); }
    const std::string& lastError() const { return m_file.lastError(); }

private:
    SideFile m_file;
};

}  // namespace velkin
