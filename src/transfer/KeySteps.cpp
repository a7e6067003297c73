#include "KeySteps.h"

#include <algorithm>

namespace velkin {

namespace {

constexpr KeyInteger kLargestKey = (static_cast<KeyInteger>(1) << 64) - 1;
constexpr KeyInteger kSmallestKey = -(static_cast<KeyInteger>(1) << 63);

}  // namespace

std::optional<KeyInteger> parseKeyInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    KeyInteger value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value > kLargestKey || value < kSmallestKey)
        return std::nullopt;
    return value;
}

std::string keyIntegerText(KeyInteger value) {
    const bool negative = value < 0;
    std::string digits;
    do {
        const int digit = static_cast<int>(value % 10);
        digits += static_cast<char>('0' + (negative ? -digit : digit));
        value /= 10;
    } while (value != 0);
    if (negative)
        digits += '-';
    std::reverse(digits.begin(), digits.end());
    return digits;
}

KeySteps::KeySteps(KeyInteger smallest, KeyInteger largest, long long rows)
    : m_largest(largest), m_width(std::max(1LL, rows)), m_target(std::max(1LL, rows)) {
    place(smallest - 1);
}

void KeySteps::next(long long rows) {
    if (!m_upper)
        return;
    const KeyInteger widest = m_width * 4;
    const KeyInteger narrowest = std::max<KeyInteger>(1, m_width / 4);
    m_width = rows <= 0 ? widest : std::clamp<KeyInteger>(m_width * m_target / rows, narrowest, widest);
    place(*m_upper);
}

void KeySteps::restartAt(KeyInteger key) {
    place(key - 1);
}

void KeySteps::place(KeyInteger lower) {
    const KeyInteger upper = lower + m_width;
    if (upper >= m_largest)
        m_upper.reset();
    else
        m_upper = upper;
}

}  // namespace velkin
