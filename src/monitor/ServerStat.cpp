#include "ServerStat.h"

#include <cctype>
#include <charconv>
#include <string>

namespace velkin {

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

/// The label with its blanks trimmed and inner runs of blanks made one blank.
std::string normalisedLabel(std::string_view raw) {
    std::string label;
    bool pendingBlank = false;
    for (char c : raw) {
        if (isBlank(c)) {
            pendingBlank = !label.empty();
            continue;
        }
        if (pendingBlank)
            label += ' ';
        pendingBlank = false;
        label += c;
    }
    return label;
}

std::optional<std::int64_t>* counterFor(ServerStat& stat, const std::string& label) {
    if (label == "Uptime")
        return &stat.uptime;
    if (label == "Threads")
        return &stat.threads;
    if (label == "Questions")
        return &stat.questions;
    if (label == "Slow queries")
        return &stat.slowQueries;
    if (label == "Opens")
        return &stat.opens;
    if (label == "Flush tables")
        return &stat.flushTables;
    if (label == "Open tables")
        return &stat.openTables;
    return nullptr;
}

}  // namespace

std::optional<ServerStat> parseServerStat(std::string_view text) {
    ServerStat stat;
    bool found = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t colon = text.find(':', pos);
        if (colon == std::string_view::npos)
            break;
        const std::string label = normalisedLabel(text.substr(pos, colon - pos));

        std::size_t start = colon + 1;
        while (start < text.size() && isBlank(text[start]))
            ++start;
        std::size_t end = start;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        pos = end;

        auto* counter = counterFor(stat, label);
        if (!counter)
            continue;
        // The whole token must be the number: "0.004" or "12abc" are not counters.
        std::int64_t value = 0;
        const char* first = text.data() + start;
        const char* last = text.data() + end;
        auto [ptr, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || ptr != last || first == last)
            continue;
        *counter = value;
        found = true;
    }
    if (!found)
        return std::nullopt;
    return stat;
}

}  // namespace velkin
