#pragma once

#include <optional>
#include <string>
#include <vector>

#include "HostRecord.h"
#include "RegularFile.h"

namespace velkin {

/// Host.DAT: saved hosts as consecutive fixed-size records without header. Lookups take the first
/// live record with the name sought, so of two hosts with one display name the first always wins.
/// The file holds passwords in plain text, so every write leaves it readable by its owner alone.
class HostFile {
public:
    static constexpr const char* kDefaultPath = "Host.DAT";
    /// About thirty thousand hosts: any bigger file is not a host list.
    static constexpr std::size_t kMaxBytes = 32u << 20;

    /// The bare default name resolves against the current directory, which the session sets to its
    /// working directory before every login.
    explicit HostFile(std::string path = kDefaultPath) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    /// The whole file as read: its records, and what could not be read.
    struct Scan {
        FileRead::Status status = FileRead::Missing;
        std::string reason;
        std::vector<HostRecord> records;
        /// Bytes after the last whole record (a write that never finished); they are never
        /// dropped: the next append first fills them out to a whole record.
        std::size_t trailingBytes = 0;
        /// Group or others may read the file.
        bool readableByOthers = false;
    };
    Scan scan() const;
    /// The records of a file's bytes.
    static Scan parse(std::string_view bytes);

    std::optional<HostRecord> findFirst(const std::string& displayName) const;
    /// Adds the record at the end, creating the file if needed; false when it cannot be written, and
    /// then the file is as it was.
    bool append(const HostRecord& record);
    /// Rewrites, in place, the first live record whose display name is key; false when there is none
    /// or the file cannot be written.
    bool overwriteFirst(const std::string& key, const HostRecord& record);
    /// Marks the first live record with that display name as dead; the file keeps its size.
    bool markDeadFirst(const std::string& displayName);
    /// The records that are not dead, in file order.
    std::vector<HostRecord> liveRecords() const;

    /// Why the last write failed, in words for the person.
    const std::string& lastError() const { return m_error; }

private:
    static std::optional<std::size_t> indexOfFirst(const std::vector<HostRecord>& records,
                                                   const std::string& displayName);
    /// Writes bytes at offset in the file, which must already exist and be a regular file.
    bool writeInPlace(std::size_t offset, const std::string& bytes);
    bool fail(std::string reason);

    std::string m_path;
    std::string m_error;
};

}  // namespace velkin
