#pragma once

#include <optional>
#include <string>
#include <vector>

#include "HostRecord.h"

namespace velkin {

/// Host.DAT: saved hosts as consecutive fixed-size records without header. Lookups take the first
/// live record with the name sought, so of two hosts with one display name the first always wins.
/// A trailing record cut short (a write that never finished) is ignored.
class HostFile {
public:
    static constexpr const char* kDefaultPath = "Host.DAT";

    /// The bare default name resolves against the current directory, which the session sets to its
    /// working directory before every login.
    explicit HostFile(std::string path = kDefaultPath) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    std::optional<HostRecord> findFirst(const std::string& displayName) const;
    /// Adds the record at the end, creating the file if needed; false when it cannot be written.
    bool append(const HostRecord& record);
    /// Rewrites, in place, the first live record whose display name is key; false when there is none
    /// or the file cannot be written.
    bool overwriteFirst(const std::string& key, const HostRecord& record);
    /// Marks the first live record with that display name as dead; the file keeps its size.
    bool markDeadFirst(const std::string& displayName);
    /// The records that are not dead, in file order.
    std::vector<HostRecord> liveRecords() const;

private:
    /// Whole records of the file, in order; empty when it cannot be read.
    std::vector<HostRecord> readAll() const;
    static std::optional<std::size_t> indexOfFirst(const std::vector<HostRecord>& records,
                                                   const std::string& displayName);

    std::string m_path;
};

}  // namespace velkin
