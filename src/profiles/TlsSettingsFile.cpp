#include "TlsSettingsFile.h"

#include <QString>

namespace velkin {

namespace {

const char* modeWord(TlsMode mode) {
    switch (mode) {
        case TlsMode::Required:
            return "required";
        case TlsMode::Verified:
            return "verified";
        case TlsMode::Off:
            break;
    }
    return "off";
}

std::optional<TlsMode> modeOf(std::string_view word) {
    if (word == "off")
        return TlsMode::Off;
    if (word == "required")
        return TlsMode::Required;
    if (word == "verified")
        return TlsMode::Verified;
    return std::nullopt;
}

}  // namespace

std::string tlsEntryLine(const TlsEntry& entry) {
    return sideEscaped(entry.name) + '\t' + modeWord(entry.tls.mode) + '\t' + sideEscaped(entry.tls.caFile) +
           '\t' + sideEscaped(entry.tls.certFile) + '\t' + sideEscaped(entry.tls.keyFile);
}

std::optional<TlsEntry> parseTlsEntryLine(std::string_view line) {
    const std::vector<std::string_view> parts = sideFields(line);
    if (parts.size() != 5)
        return std::nullopt;
    const auto name = sideUnescaped(parts[0]);
    const auto mode = modeOf(parts[1]);
    const auto ca = sideUnescaped(parts[2]);
    const auto cert = sideUnescaped(parts[3]);
    const auto key = sideUnescaped(parts[4]);
    if (!name || name->empty() || !mode || !ca || !cert || !key)
        return std::nullopt;
    return TlsEntry{*name, TlsOptions{*mode, *ca, *cert, *key}};
}

TlsOptions TlsSettingsFile::find(const std::string& name) const {
    const auto line = m_file.find(name);
    const auto entry = line ? parseTlsEntryLine(*line) : std::nullopt;
    return entry ? entry->tls : TlsOptions();
}

bool TlsSettingsFile::store(const std::string& oldName, const std::string& name, const TlsOptions& tls) {
    return m_file.store(oldName, tls.isOn() ? tlsEntryLine({name, tls}) : std::string());
}

}  // namespace velkin
