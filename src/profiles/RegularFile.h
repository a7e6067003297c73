#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace velkin {

/// What reading a profile file found. Only regular files are read: a FIFO would block the start
/// until someone writes to it, and a device such as /dev/zero never ends.
struct FileRead {
    enum Status { Missing, Read, NotRegular, TooLarge, Failed };

    Status status = Missing;
    std::string bytes;
    /// Why the file could not be read, in words for the person; empty when it was read or is missing.
    std::string reason;
    /// Permission bits of the file that was read.
    mode_t mode = 0;

    bool exists() const { return status != Missing; }
};

/// Owns a file descriptor for the life of the scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    /// Closes now, so that a failing close can be told; true when it succeeded.
    bool close();

private:
    int m_fd;
};

/// Reads the whole file at path when it is a regular file of at most maxBytes bytes.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes);

/// The text of an errno value.
std::string errorText(int error);

}  // namespace velkin
