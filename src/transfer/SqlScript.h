#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// One statement of a script, as it is sent: without its delimiter and the blanks around it.
struct ScriptStatement {
    std::string text;
    /// The line (from 1) on which the statement's first character that is not a comment stands.
    int line = 1;

    bool operator==(const ScriptStatement& other) const { return text == other.text && line == other.line; }
};

/// Cuts a script into its statements at the delimiter (";" at first), as the command-line client
/// reads a file: a delimiter inside a quoted text ('...' or "..."), a quoted name (`...`) or a
/// comment (-- to the end of the line, # to the end of the line, /* ... */) does not count. A line
/// "DELIMITER xx" before a statement makes xx the delimiter from there on and is not itself sent.
/// Pieces that hold only blanks and comments are left out; comments inside a statement stay in it.
/// backslashEscapes: whether a backslash inside a quoted text escapes the next character (it does
/// unless the server runs with NO_BACKSLASH_ESCAPES).
std::vector<ScriptStatement> splitSqlScript(std::string_view script, bool backslashEscapes = true);

/// The position of the first byte that does not belong to well-formed UTF-8 (overlong forms,
/// surrogates and values above U+10FFFF included), or nothing when the whole text is UTF-8.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text);

}  // namespace velkin
