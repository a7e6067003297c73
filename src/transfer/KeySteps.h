#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velkin {

/// A value of an integer column of any width, signed or not.
using KeyInteger = __int128;

/// The value of an integer's decimal text; none for anything else or a value beyond 64 bits.
std::optional<KeyInteger> parseKeyInteger(std::string_view text);
std::string keyIntegerText(KeyInteger value);

/// Cuts the values of an integer key, from its smallest to its largest, into blocks of about `rows`
/// rows each without reading the keys: the first block is as wide as a key without gaps would need,
/// and each next one is made wider or narrower by how many rows the last one held, at most four
/// times either way, so that gaps and crowds in the key cost a few blocks and never a statement per
/// value.
class KeySteps {
public:
    KeySteps(KeyInteger smallest, KeyInteger largest, long long rows);

    /// The largest key value of the current block; none when the block runs to the end of the key.
    std::optional<KeyInteger> upper() const { return m_upper; }
    /// Moves on to the block after the current one, which held `rows` rows.
    void next(long long rows);
    /// Moves on to a block that starts at `key`, as wide as the current one: past a gap in the key.
    void restartAt(KeyInteger key);

private:
    void place(KeyInteger lower);

    KeyInteger m_largest;
    KeyInteger m_width;
    long long m_target;
    std::optional<KeyInteger> m_upper;
};

}  // namespace velkin
