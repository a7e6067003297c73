#include "SshSettingsFile.h"

#include <charconv>

namespace velkin {

std::string sshEntryLine(const SshEntry& entry) {
    const SshOptions& o = entry.ssh;
    return sideEscaped(entry.name) + '\t' + sideEscaped(o.host) + '\t' + std::to_string(o.port) + '\t' +
           sideEscaped(o.user) + '\t' + sshAuthWord(o.auth) + '\t' + sideEscaped(o.keyFile);
}

std::optional<SshEntry> parseSshEntryLine(std::string_view line) {
    const auto parts = sideFields(line);
    if (parts.size() != 6)
        return std::nullopt;
    SshEntry entry;
    const auto name = sideUnescaped(parts[0]);
    const auto host = sideUnescaped(parts[1]);
    const auto user = sideUnescaped(parts[3]);
    const auto key = sideUnescaped(parts[5]);
    unsigned int port = 0;
    const auto [end, error] = std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), port);
    if (!name || name->empty() || !host || host->empty() || !user || !key || error != std::errc() ||
        end != parts[2].data() + parts[2].size() || port == 0 || port > 65535 ||
        !sshAuthOf(std::string(parts[4]), entry.ssh.auth))
        return std::nullopt;
    entry.name = *name;
    entry.ssh.host = *host;
    entry.ssh.port = port;
    entry.ssh.user = *user;
    entry.ssh.keyFile = *key;
    return entry;
}

SshOptions SshSettingsFile::find(const std::string& name) const {
    const auto line = m_file.find(name);
    const auto entry = line ? parseSshEntryLine(*line) : std::nullopt;
    return entry ? entry->ssh : SshOptions();
}

bool SshSettingsFile::store(const std::string& oldName, const std::string& name, const SshOptions& ssh) {
    return m_file.store(oldName, ssh.isOn() ? sshEntryLine({name, ssh}) : std::string());
}

}  // namespace velkin
