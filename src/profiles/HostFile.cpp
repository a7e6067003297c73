#include "HostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velkin {

namespace {

/// Owns a file descriptor for the life of the scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAllAt(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::optional<std::string> readWhole(int fd) {
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

off_t recordOffset(std::size_t index) {
    return static_cast<off_t>(index * HostRecord::kSize);
}

}  // namespace

std::vector<HostRecord> HostFile::readAll() const {
    std::vector<HostRecord> records;
    FileDescriptor file(openRetrying(m_path, O_RDONLY));
    if (!file.isOpen())
        return records;
    const std::optional<std::string> bytes = readWhole(file.get());
    if (!bytes)
        return records;
    const std::string_view all(*bytes);
    for (std::size_t at = 0; at + HostRecord::kSize <= all.size(); at += HostRecord::kSize)
        records.push_back(HostRecord::fromBytes(all.substr(at, HostRecord::kSize)));
    return records;
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
    const std::vector<HostRecord> records = readAll();
    const std::optional<std::size_t> index = indexOfFirst(records, displayName);
    if (!index)
        return std::nullopt;
    return records[*index];
}

bool HostFile::append(const HostRecord& record) {
    // The file holds passwords in plain text, so nobody but its owner may read it.
    FileDescriptor file(openRetrying(m_path, O_WRONLY | O_CREAT | O_APPEND, S_IRUSR | S_IWUSR));
    if (!file.isOpen())
        return false;
    // A record left short by an earlier failed write would shift every later record; appending
    // after the last whole record keeps the file readable.
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return false;
    const off_t whole = status.st_size - status.st_size % static_cast<off_t>(HostRecord::kSize);
    if (whole != status.st_size && ::ftruncate(file.get(), whole) != 0)
        return false;
    const std::string bytes = record.toBytes();
    if (!writeAll(file.get(), bytes.data(), bytes.size()))
        return false;
    return file.close();
}

bool HostFile::overwriteFirst(const std::string& key, const HostRecord& record) {
    const std::optional<std::size_t> index = indexOfFirst(readAll(), key);
    if (!index)
        return false;
    FileDescriptor file(openRetrying(m_path, O_WRONLY));
    if (!file.isOpen())
        return false;
    const std::string bytes = record.toBytes();
    if (!writeAllAt(file.get(), bytes.data(), bytes.size(), recordOffset(*index)))
        return false;
    return file.close();
}

bool HostFile::markDeadFirst(const std::string& displayName) {
    const std::optional<std::size_t> index = indexOfFirst(readAll(), displayName);
    if (!index)
        return false;
    FileDescriptor file(openRetrying(m_path, O_WRONLY));
    if (!file.isOpen())
        return false;
    static constexpr char kDeadMark[2] = {'*', '\0'};
    for (const std::size_t fieldOffset : HostRecord::kFieldOffsets) {
        if (!writeAllAt(file.get(), kDeadMark, sizeof kDeadMark, recordOffset(*index) + fieldOffset))
            return false;
    }
    return file.close();
}

std::vector<HostRecord> HostFile::liveRecords() const {
    std::vector<HostRecord> live;
    for (HostRecord& record : readAll()) {
        if (!record.isDead())
            live.push_back(std::move(record));
    }
    return live;
}

}  // namespace velkin
