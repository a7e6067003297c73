#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// A text of one field of a side file line: backslash, tab, line feed and carriage return written as
/// \\, \t, \n and \r, so that any name or path fits between the tabs.
std::string sideEscaped(const std::string& text);
/// The text of one escaped field; nothing when it holds an escape this program does not write.
std::optional<std::string> sideUnescaped(std::string_view text);
/// The fields of a line, split at its tabs.
std::vector<std::string_view> sideFields(std::string_view line);

/// A file of per-host extras beside Host.DAT: a header line, then one line per saved host, whose
/// first field is the host's display name. Host.DAT keeps its record layout, which other copies of
/// the program read. The file is kept readable by its owner alone; lines this program cannot read
/// are kept as they are.
class SideFile {
public:
    static constexpr std::size_t kMaxBytes = 32u << 20;

    SideFile(std::string path, std::string header) : m_path(std::move(path)), m_header(std::move(header)) {}

    const std::string& path() const { return m_path; }
    /// The first line whose name is name; nothing when there is none or the file cannot be read.
    std::optional<std::string> find(const std::string& name) const;
    /// Gives the host saved as oldName (empty when it is new) the line given: rewritten in place,
    /// added at the end, or removed when line is empty. False when the file could not be read or
    /// written; it is then as it was.
    bool store(const std::string& oldName, const std::string& line);
    const std::string& lastError() const { return m_error; }

private:
    struct Lines {
        bool readable = false;
        std::string reason;
        std::vector<std::string> lines;
    };
    Lines read() const;
    static std::optional<std::string> nameOf(std::string_view line);

    std::string m_path;
    std::string m_header;
    std::string m_error;
};

}  // namespace velkin
