#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkin {

/// How far a long work has come, as its progress line tells it.
struct ProgressFigures {
    std::uint64_t done = 0;
    /// What there is to do; 0 when nobody knows.
    std::uint64_t total = 0;
    /// The total is the server's guess (a table status row count), not a count.
    bool estimated = false;
    std::int64_t elapsedMs = 0;
    /// The work has ended; the figures are its last.
    bool finished = false;
};

/// The bar's position in thousandths: never past 999 before the work has ended, however low the
/// total was guessed; -1 when there is no total to measure against.
int progressPermille(const ProgressFigures& figures);

/// The line under the bar: "120,000 of about 1,000,000 rows, 45,000 rows/s, 3 s elapsed, about 20 s
/// left". Without a total only the count, the rate and the time; a count that has passed its total
/// names the total as expected, and says nothing of the time left; at the end, the time it took.
std::string progressText(const ProgressFigures& figures, std::string_view unit = "rows");

/// 1234567 as "1,234,567".
std::string groupedNumber(std::uint64_t number);
/// A span of time as "45 s", "3 min 20 s" or "2 h 5 min".
std::string durationText(std::int64_t seconds);

}  // namespace velkin
