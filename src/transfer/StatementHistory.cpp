#include "StatementHistory.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

#include "session/PrivateFile.h"

namespace velkin {

namespace {

/// One entry per line: the line breaks and backslashes of a statement are written as \n, \r and \\.
std::string encoded(std::string_view statement) {
    std::string out;
    out.reserve(statement.size());
    for (char c : statement) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string decoded(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            out += line[i];
            continue;
        }
        const char next = line[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

}  // namespace

StatementHistory::StatementHistory(std::string path) : m_path(std::move(path)) {
    std::ifstream in(m_path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            m_entries.push_back(decoded(line));
    if (m_entries.size() > kLimit)
        m_entries.erase(m_entries.begin(), m_entries.end() - kLimit);
}

bool StatementHistory::add(const std::string& statement) {
    if (statement.empty() || (!m_entries.empty() && m_entries.back() == statement))
        return true;
    m_entries.push_back(statement);
    if (m_entries.size() > kLimit)
        m_entries.erase(m_entries.begin());
    return save();
}

std::vector<std::string> StatementHistory::matching(std::string_view part) const {
    const std::string wanted = lowered(part);
    std::vector<std::string> out;
    for (const std::string& entry : m_entries)
        if (wanted.empty() || lowered(entry).find(wanted) != std::string::npos)
            out.push_back(entry);
    return out;
}

bool StatementHistory::save() const {
    std::FILE* file = openPrivateFile(m_path, PrivateFileMode::Truncate);
    if (!file)
        return false;
    bool ok = true;
    for (const std::string& entry : m_entries) {
        const std::string line = encoded(entry) + '\n';
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace velkin
