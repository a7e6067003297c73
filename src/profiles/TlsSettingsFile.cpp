#include "TlsSettingsFile.h"

#include <QString>

#include "FolderFile.h"

namespace velkin {

namespace {

constexpr const char* kHeader = "# VelkinSorvane TLS settings of the saved hosts";

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

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    return parts;
}

}  // namespace

std::string tlsEntryLine(const TlsEntry& entry) {
    return escaped(entry.name) + '\t' + modeWord(entry.tls.mode) + '\t' + escaped(entry.tls.caFile) + '\t' +
           escaped(entry.tls.certFile) + '\t' + escaped(entry.tls.keyFile);
}

std::optional<TlsEntry> parseTlsEntryLine(std::string_view line) {
    const std::vector<std::string_view> parts = fields(line);
    if (parts.size() != 5)
        return std::nullopt;
    const auto name = unescaped(parts[0]);
    const auto mode = modeOf(parts[1]);
    const auto ca = unescaped(parts[2]);
    const auto cert = unescaped(parts[3]);
    const auto key = unescaped(parts[4]);
    if (!name || name->empty() || !mode || !ca || !cert || !key)
        return std::nullopt;
    return TlsEntry{*name, TlsOptions{*mode, *ca, *cert, *key}};
}

TlsSettingsFile::Lines TlsSettingsFile::read() const {
    Lines result;
    const FileRead file = readRegularFile(m_path, kMaxBytes);
    if (file.status == FileRead::Missing) {
        result.readable = true;
        return result;
    }
    if (file.status != FileRead::Read) {
        result.reason = file.reason;
        return result;
    }
    result.readable = true;
    std::string_view rest(file.bytes);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        result.lines.emplace_back(line);
    }
    return result;
}

TlsOptions TlsSettingsFile::find(const std::string& name) const {
    for (const std::string& line : read().lines) {
        const auto entry = parseTlsEntryLine(line);
        if (entry && entry->name == name)
            return entry->tls;
    }
    return {};
}

bool TlsSettingsFile::store(const std::string& oldName, const std::string& name, const TlsOptions& tls) {
    Lines file = read();
    if (!file.readable) {
        // What cannot be read is not replaced: it may hold the settings of other hosts.
        m_error = file.reason;
        return false;
    }
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < file.lines.size() && !oldName.empty(); ++i) {
        const auto entry = parseTlsEntryLine(file.lines[i]);
        if (entry && entry->name == oldName) {
            at = i;
            break;
        }
    }
    if (!tls.isOn() && !at)
        return true;
    if (tls.isOn()) {
        const std::string line = tlsEntryLine({name, tls});
        if (at)
            file.lines[*at] = line;
        else
            file.lines.push_back(line);
    } else {
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(*at));
    }
    if (file.lines.empty() || file.lines.front() != kHeader)
        file.lines.insert(file.lines.begin(), kHeader);
    std::string bytes;
    for (const std::string& line : file.lines)
        bytes += line + '\n';
    const QString failure = saveWhole(m_path, bytes, true);
    m_error = failure.toStdString();
    return failure.isEmpty();
}

}  // namespace velkin
