#include "PrivateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velkin {

std::FILE* openPrivateFile(const std::string& path, PrivateFileMode mode) {
    constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
    const int append = mode == PrivateFileMode::Append ? O_APPEND : 0;
    int fd;
    do {
        // No O_TRUNC here: the file is emptied only once it is known to be a regular file.
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | append, kOwnerOnly);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return nullptr;
    const auto fail = [fd](int error) -> std::FILE* {
        ::close(fd);
        errno = error;
        return nullptr;
    };
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return fail(errno);
    if (!S_ISREG(status.st_mode))
        return fail(EINVAL);
    if ((status.st_mode & 07777) != kOwnerOnly && ::fchmod(fd, kOwnerOnly) != 0)
        return fail(errno);
    if (mode == PrivateFileMode::Truncate && ::ftruncate(fd, 0) != 0)
        return fail(errno);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return fail(errno);
    std::FILE* file = ::fdopen(fd, mode == PrivateFileMode::Truncate ? "wb" : "ab");
    if (!file)
        return fail(errno);
    return file;
}

}  // namespace velkin
