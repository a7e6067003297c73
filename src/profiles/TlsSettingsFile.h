#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SideFile.h"
#include "session/TlsOptions.h"

namespace velkin {

/// The TLS settings of one saved host, keyed by its display name as Host.DAT holds it.
struct TlsEntry {
    std::string name;
    TlsOptions tls;
};

/// One line of the file: name, mode, CA file, certificate, key, separated by tabs, with backslash,
/// tab, line feed and carriage return written as \\, \t, \n and \r so that any name or path fits.
std::string tlsEntryLine(const TlsEntry& entry);
/// The entry of one line (without its line end); nothing when the line is not one this program wrote.
std::optional<TlsEntry> parseTlsEntryLine(std::string_view line);

/// HostTLS.DAT beside Host.DAT: the TLS settings of the saved hosts that have any. Host.DAT keeps
/// its record layout, which other copies of the program read, so the settings live apart from it;
/// a host without a line here connects in plain text as it always did. The file names key files,
/// so it is kept readable by its owner alone. Lines this program cannot read are kept as they are.
class TlsSettingsFile {
public:
    static constexpr const char* kDefaultPath = "HostTLS.DAT";
    explicit TlsSettingsFile(std::string path = kDefaultPath)
        : m_file(std::move(path), "# VelkinSorvane TLS settings of the saved hosts") {}

    const std::string& path() const { return m_file.path(); }

    /// The settings of the first line with that name; off when there is none or the file cannot be read.
    TlsOptions find(const std::string& name) const;
    /// Gives the host that was saved as oldName (empty when it is new) the name and settings given:
    /// its line is rewritten in place, removed when the settings are off, or added at the end. False
    /// when the file could not be read or written; it is then as it was.
    bool store(const std::string& oldName, const std::string& name, const TlsOptions& tls);
    /// Removes the first line with that name.
    bool remove(const std::string& name) { return store(name, name, TlsOptions()); }

    /// Why the last store failed, in words for the person.
    const std::string& lastError() const { return m_file.lastError(); }

private:
    SideFile m_file;
};

}  // namespace velkin
