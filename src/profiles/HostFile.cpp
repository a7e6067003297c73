#include "HostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velkin {

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

/// Opens for writing without ever waiting on a FIFO (no reader: the open fails instead).
int openForWriting(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_WRONLY | O_NONBLOCK | O_CLOEXEC, kOwnerOnly);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAllAt(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

/// Empty when the opened file is a regular file that only its owner may read and write (the mode is
/// set so when it is not), otherwise why the write cannot go on; size is then the file's size.
std::string checkOwnRegularFile(const FileDescriptor& file, off_t& size) {
    if (!file.isOpen())
        return errorText(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return errorText(errno);
    if (!S_ISREG(status.st_mode))
        return "it is not a regular file";
    if ((status.st_mode & 07777) != kOwnerOnly && ::fchmod(file.get(), kOwnerOnly) != 0)
        return errorText(errno);
    size = status.st_size;
    return {};
}

off_t recordOffset(std::size_t index) {
    return static_cast<off_t>(index * HostRecord::kSize);
}

}  // namespace

bool HostFile::fail(std::string reason) {
    m_error = std::move(reason);
    return false;
}

HostFile::Scan HostFile::parse(std::string_view all) {
    Scan scan;
    scan.status = FileRead::Read;
    std::size_t at = 0;
    for (; at + HostRecord::kSize <= all.size(); at += HostRecord::kSize)
        scan.records.push_back(HostRecord::fromBytes(all.substr(at, HostRecord::kSize)));
    scan.trailingBytes = all.size() - at;
    return scan;
}

HostFile::Scan HostFile::scan() const {
    const FileRead read = readRegularFile(m_path, kMaxBytes);
    if (read.status != FileRead::Read) {
        Scan scan;
        scan.status = read.status;
        scan.reason = read.reason;
        return scan;
    }
    Scan scan = parse(read.bytes);
    scan.readableByOthers = (read.mode & (S_IRGRP | S_IROTH)) != 0;
    return scan;
}

std::optional<std::size_t> HostFile::indexOfFirst(const std::vector<HostRecord>& records,
                                                  const std::string& displayName) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].isDead() && records[i].displayName == displayName)
            return i;
    }
    return std::nullopt;
}

std::optional<HostRecord> HostFile::findFirst(const std::string& displayName) const {
    const std::vector<HostRecord> records = scan().records;
    const std::optional<std::size_t> index = indexOfFirst(records, displayName);
    if (!index)
        return std::nullopt;
    return records[*index];
}

bool HostFile::append(const HostRecord& record) {
    FileDescriptor file(openForWriting(m_path, O_CREAT));
    off_t size = 0;
    if (std::string problem = checkOwnRegularFile(file, size); !problem.empty())
        return fail(std::move(problem));
    // Bytes of a record that an earlier write left short are kept: they are filled out to a whole
    // record, so the new one starts on a record boundary and every record stays where it was.
    const off_t partial = size % static_cast<off_t>(HostRecord::kSize);
    std::string bytes(partial == 0 ? 0 : HostRecord::kSize - static_cast<std::size_t>(partial), '\0');
    bytes += record.toBytes();
    if (!writeAllAt(file.get(), bytes.data(), bytes.size(), size)) {
        const int error = errno;
        // A record written in part would shift every later one.
        const bool restored = ::ftruncate(file.get(), size) == 0;
        return fail(errorText(error) + (restored ? "" : "; the file could not be put back to its old size"));
    }
    if (!file.close())
        return fail(errorText(errno));
    return true;
}

bool HostFile::writeInPlace(std::size_t offset, const std::string& bytes) {
    FileDescriptor file(openForWriting(m_path, 0));
    off_t size = 0;
    if (std::string problem = checkOwnRegularFile(file, size); !problem.empty())
        return fail(std::move(problem));
    if (!writeAllAt(file.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset)))
        return fail(errorText(errno));
    if (!file.close())
        return fail(errorText(errno));
    return true;
}

bool HostFile::overwriteFirst(const std::string& key, const HostRecord& record) {
    const std::optional<std::size_t> index = indexOfFirst(scan().records, key);
    if (!index)
        return fail("there is no saved host named " + key);
    return writeInPlace(static_cast<std::size_t>(recordOffset(*index)), record.toBytes());
}

bool HostFile::markDeadFirst(const std::string& displayName) {
    const FileRead read = readRegularFile(m_path, kMaxBytes);
    if (read.status != FileRead::Read)
        return fail(read.exists() ? read.reason : errorText(ENOENT));
    const std::optional<std::size_t> index = indexOfFirst(parse(read.bytes).records, displayName);
    if (!index)
        return fail("there is no saved host named " + displayName);
    // The whole record is rewritten at once, with only the first two bytes of each text changed.
    const std::size_t offset = static_cast<std::size_t>(recordOffset(*index));
    std::string bytes = read.bytes.substr(offset, HostRecord::kSize);
    for (const std::size_t fieldOffset : HostRecord::kFieldOffsets) {
        bytes[fieldOffset] = '*';
        bytes[fieldOffset + 1] = '\0';
    }
    return writeInPlace(offset, bytes);
}

std::vector<HostRecord> HostFile::liveRecords() const {
    std::vector<HostRecord> live;
    for (HostRecord& record : scan().records) {
        if (!record.isDead())
            live.push_back(std::move(record));
    }
    return live;
}

}  // namespace velkin
