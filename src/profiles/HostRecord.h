#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkin {

/// One saved host of Host.DAT: a fixed-size binary record of five NUL-terminated texts and a
/// trailing '1'. Texts are kept as the file's bytes (UTF-8 on this platform).
struct HostRecord {
    static constexpr std::size_t kSize = 1034;
    static constexpr std::size_t kTextSize = 256;
    static constexpr std::size_t kDisplayNameOffset = 0;
    static constexpr std::size_t kHostNameOffset = 256;
    static constexpr std::size_t kUserNameOffset = 512;
    static constexpr std::size_t kPasswordOffset = 768;
    static constexpr std::size_t kPortOffset = 1024;
    static constexpr std::size_t kPortSize = 9;
    static constexpr std::size_t kMarkOffset = 1033;
    /// Offsets of the five texts, in the order a dead record is marked.
    static constexpr std::size_t kFieldOffsets[5] = {kDisplayNameOffset, kHostNameOffset, kUserNameOffset,
                                                     kPasswordOffset, kPortOffset};

    std::string displayName;
    std::string hostName;
    std::string userName;
    std::string password;
    std::string port;

    /// Exactly kSize bytes; each text is cut to fit its field with its terminator, and everything
    /// after a terminator is zero so that no stale bytes (an old password) linger in the file.
    std::string toBytes() const;
    /// Reads the texts up to their terminators; missing bytes of a short buffer read as zero.
    static HostRecord fromBytes(std::string_view bytes);

    /// A deleted host stays in the file with its texts replaced by "*".
    bool isDead() const { return hostName == "*"; }

    bool operator==(const HostRecord& other) const {
        return displayName == other.displayName && hostName == other.hostName && userName == other.userName &&
               password == other.password && port == other.port;
    }
};

/// The longest leading part of text that fits in maxBytes without splitting a UTF-8 character;
/// text is also ended at an embedded NUL, which no reader could see past.
std::string cutToFit(std::string_view text, std::size_t maxBytes);

}  // namespace velkin
