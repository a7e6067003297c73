#include "RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velkin {

namespace {

FileRead failed(FileRead::Status status, std::string reason) {
    FileRead read;
    read.status = status;
    read.reason = std::move(reason);
    return read;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDescriptor::close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
}

std::string errorText(int error) {
    return std::strerror(error);
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes) {
    int fd;
    // Without O_NONBLOCK opening a FIFO waits for a writer that may never come.
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT)
            return FileRead();
        return failed(FileRead::Failed, errorText(errno));
    }
    FileDescriptor file(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return failed(FileRead::Failed, errorText(errno));
    if (!S_ISREG(status.st_mode))
        return failed(FileRead::NotRegular, "it is not a regular file");
    if (static_cast<unsigned long long>(status.st_size) > maxBytes)
        return failed(FileRead::TooLarge, "it is larger than " + std::to_string(maxBytes) + " bytes");

    FileRead read;
    read.status = FileRead::Read;
    read.mode = status.st_mode & 07777;
    read.bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(FileRead::Failed, errorText(errno));
        if (got == 0)
            break;
        read.bytes.append(buffer, static_cast<std::size_t>(got));
        // A file that grows while it is read is held to the same bound.
        if (read.bytes.size() > maxBytes)
            return failed(FileRead::TooLarge, "it is larger than " + std::to_string(maxBytes) + " bytes");
    }
    return read;
}

}  // namespace velkin
