#pragma once

#include <cstdio>
#include <string>

namespace velkin {

/// How a private file is opened: emptied first, or written at its end.
enum class PrivateFileMode { Truncate, Append };

/// Opens path for binary writing like std::fopen with "wb" or "ab", but the file is readable and
/// writable by its owner alone: created 0600, and an existing file is made 0600 before anything is
/// written to it. For logs that hold whole statements with the copied data. Never waits on a FIFO
/// (with no reader the open fails) and refuses anything but a regular file. Null on failure, with
/// errno set; the caller closes the stream with std::fclose.
std::FILE* openPrivateFile(const std::string& path, PrivateFileMode mode);

}  // namespace velkin
