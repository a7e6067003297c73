#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// The console's statements of past sessions: the last 500 run, kept in a file that its owner alone
/// may read (statements hold data and sometimes passwords), newest last.
class StatementHistory {
public:
    static constexpr std::size_t kLimit = 500;

    /// Reads the file, when there is one.
    explicit StatementHistory(std::string path);

    const std::vector<std::string>& entries() const { return m_entries; }
    /// Adds a statement run (not twice in a row) and writes the file; false when it could not be written.
    bool add(const std::string& statement);
    /// The entries holding part (any case), newest last; all of them for an empty part.
    std::vector<std::string> matching(std::string_view part) const;

private:
    bool save() const;

    std::string m_path;
    std::vector<std::string> m_entries;
};

}  // namespace velkin
