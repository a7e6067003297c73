#include "ProgressText.h"

#include <algorithm>

namespace velkin {

std::string groupedNumber(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

std::string durationText(std::int64_t seconds) {
    seconds = std::max<std::int64_t>(seconds, 0);
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    if (seconds < 3600)
        return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

int progressPermille(const ProgressFigures& figures) {
    if (figures.total == 0)
        return figures.finished ? 1000 : -1;
    if (figures.finished && figures.done >= figures.total)
        return 1000;
    const double part = static_cast<double>(figures.done) * 1000.0 / static_cast<double>(figures.total);
    // A guessed total may be passed long before the end: the bar then waits just short of full.
    return std::min(999, static_cast<int>(part));
}

std::string progressText(const ProgressFigures& figures, std::string_view unit) {
    const std::string units(unit);
    const std::int64_t seconds = figures.elapsedMs / 1000;
    // The rate is the average since the start: steadier than the last block's, which jumps with
    // the sizes of the rows.
    const double perSecond = figures.elapsedMs > 0 ? static_cast<double>(figures.done) * 1000.0 /
                                                         static_cast<double>(figures.elapsedMs)
                                                   : 0.0;
    const std::string rate =
        perSecond > 0 ? ", " + groupedNumber(static_cast<std::uint64_t>(perSecond)) + " " + units + "/s" : "";
    const std::string about = figures.estimated ? "about " : "";
    if (figures.finished)
        return groupedNumber(figures.done) + " " + units + " in " + durationText(seconds) + rate;
    if (figures.total == 0)
        return groupedNumber(figures.done) + " " + units + rate + ", " + durationText(seconds) + " elapsed";
    if (figures.done >= figures.total)
        return groupedNumber(figures.done) + " " + units + " (" + about + groupedNumber(figures.total) +
               " expected)" + rate + ", " + durationText(seconds) + " elapsed";
    std::string text = groupedNumber(figures.done) + " of " + about + groupedNumber(figures.total) + " " +
                       units + rate + ", " + durationText(seconds) + " elapsed";
    if (perSecond > 0) {
        const double left = static_cast<double>(figures.total - figures.done) / perSecond;
        text += ", about " + durationText(static_cast<std::int64_t>(left + 0.5)) + " left";
    }
    return text;
}

}  // namespace velkin
