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

/// Reads the whole file at path when it is a regular file of at most maxBytes bytes.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes);

/// The text of an errno value.
std::string errorText(int error);

}  // namespace velkin
