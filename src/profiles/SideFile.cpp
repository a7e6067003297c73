#include "SideFile.h"

#include <QString>

#include "FolderFile.h"
#include "RegularFile.h"

namespace velkin {

std::string sideEscaped(const std::string& text) {
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

std::optional<std::string> sideUnescaped(std::string_view text) {
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

std::vector<std::string_view> sideFields(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    return parts;
}

std::optional<std::string> SideFile::nameOf(std::string_view line) {
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    return sideUnescaped(sideFields(line).front());
}

SideFile::Lines SideFile::read() const {
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

std::optional<std::string> SideFile::find(const std::string& name) const {
    for (const std::string& line : read().lines)
        if (nameOf(line) == name)
            return line;
    return std::nullopt;
}

bool SideFile::store(const std::string& oldName, const std::string& line) {
    Lines file = read();
    if (!file.readable) {
        // What cannot be read is not replaced: it may hold the settings of other hosts.
        m_error = file.reason;
        return false;
    }
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < file.lines.size() && !oldName.empty() && !at; ++i)
        if (nameOf(file.lines[i]) == oldName)
            at = i;
    if (line.empty() && !at)
        return true;
    if (line.empty())
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(*at));
    else if (at)
        file.lines[*at] = line;
    else
        file.lines.push_back(line);
    if (file.lines.empty() || file.lines.front() != m_header)
        file.lines.insert(file.lines.begin(), m_header);
    std::string bytes;
    for (const std::string& text : file.lines)
        bytes += text + '\n';
    const QString failure = saveWhole(m_path, bytes, true);
    m_error = failure.toStdString();
    return failure.isEmpty();
}

}  // namespace velkin
