#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velkin {

/// The counters of the server's one-line status text. A counter the server does not report
/// (MariaDB has no "Flush tables") stays empty, so the others still count.
struct ServerStat {
    std::optional<std::int64_t> uptime;
    std::optional<std::int64_t> threads;
    std::optional<std::int64_t> questions;
    std::optional<std::int64_t> slowQueries;
    std::optional<std::int64_t> opens;
    std::optional<std::int64_t> flushTables;
    std::optional<std::int64_t> openTables;
};

/// Reads the status text ("Uptime: 12  Threads: 1  Questions: 5 ...") by its labels, in any order;
/// runs of white space count as one blank and unknown labels are skipped. Nothing when the text
/// holds none of the seven counters, as when the connection is lost and the text is an error.
std::optional<ServerStat> parseServerStat(std::string_view text);

}  // namespace velkin
