#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// One statement of a script, as it is sent.
struct ScriptStatement {
    std::string text;
    /// The line (from 1) on which the statement's first character stands.
    int line = 1;
    /// The line on which the statement ended (its delimiter, or the end of the script): the line the
    /// command-line client names when the statement fails.
    int endLine = 1;

    bool operator==(const ScriptStatement& other) const { return text == other.text && line == other.line; }
};

/// Reads a script statement by statement exactly as the command-line client reads a file when it keeps
/// comments, so that a script or dump does here what it does there: line by line; a delimiter (";" at
/// first) inside a quoted text, a quoted name or a plain comment does not count, but inside /*! ... */
/// and /*M! ... */ (statement text hidden from other servers) it does; a line "DELIMITER xx" between
/// statements makes xx the delimiter, the rest of the line being ignored. Comments (-- followed by a
/// blank, #, /* */) inside a statement are sent with it, since the server keeps them in the bodies of
/// routines, triggers and events; so is a -- or # comment that follows a delimiter on its line, which
/// the server keeps at the end of such a body. Comments before a statement begins are left out. A
/// backslash escapes the next character inside quotes unless the server runs with NO_BACKSLASH_ESCAPES,
/// which the caller tells for each statement since a script may change it.
class SqlScriptReader {
public:
    explicit SqlScriptReader(std::string_view script) : m_script(script) {}

    /// The next statement, or nothing at the end of the script.
    std::optional<ScriptStatement> next(bool backslashEscapes = true);
    /// How many bytes of the script have been read.
    std::size_t position() const { return m_at; }

private:
    void startLine();
    void endLine();
    bool lineStartsDelimiterCommand();
    void keepTrailingComment();
    void changeDelimiter(std::size_t argumentFrom);
    std::optional<ScriptStatement> take();
    /// How many bytes from the start of rest are taken as they stand in the present state.
    std::size_t plainRun(std::string_view rest, bool backslashEscapes) const;
    void append(char c);

    std::string_view m_script;
    std::size_t m_at = 0;
    std::size_t m_lineEnd = 0;
    bool m_inLine = false;
    bool m_lineHasOutput = false;
    int m_line = 0;
    int m_startLine = 1;
    std::string m_delimiter = ";";
    std::string m_buffer;
    char m_quote = 0;
    bool m_comment = false;
    /// Whether the /* */ comment being read is sent: it is when it stands inside a statement.
    bool m_keepComment = false;
    bool m_hidden = false;
    bool m_needSpace = false;
};

/// All statements of a script, read as SqlScriptReader reads them with one backslash rule throughout.
std::vector<ScriptStatement> splitSqlScript(std::string_view script, bool backslashEscapes = true);

/// How many statements splitSqlScript would give, without holding them: a dump may be larger than memory.
int countSqlStatements(std::string_view script, bool backslashEscapes = true);

/// The position of the first byte that does not belong to well-formed UTF-8 (overlong forms,
/// surrogates and values above U+10FFFF included), or nothing when the whole text is UTF-8.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text);

}  // namespace velkin
