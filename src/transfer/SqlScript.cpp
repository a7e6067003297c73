#include "SqlScript.h"

#include <cctype>

namespace velkin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool startsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

/// -- needs a blank after it to open a comment ("1--1" is arithmetic), or the end of the line when
/// endOfLine is set; # always opens one.
bool opensLineComment(std::string_view at, bool endOfLine) {
    if (at.empty())
        return false;
    if (at[0] == '#')
        return true;
    return at.size() >= 2 && at[0] == '-' && at[1] == '-' && (at.size() > 2 ? isBlank(at[2]) : endOfLine);
}

bool opensHiddenText(std::string_view at) {
    return at.substr(0, 3) == "/*!" || at.substr(0, 4) == "/*M!";
}

}  // namespace

void SqlScriptReader::startLine() {
    std::size_t end = m_script.find('\n', m_at);
    m_lineEnd = end == std::string_view::npos ? m_script.size() : end;
    m_inLine = true;
    m_lineHasOutput = false;
    m_needSpace = false;
    // Hidden text is followed within one line only, as the client does.
    m_hidden = false;
    ++m_line;
}

void SqlScriptReader::endLine() {
    // The line break belongs to the statement unless a comment that is left out swallows it.
    if ((!m_comment || m_keepComment) && (m_lineHasOutput || !m_buffer.empty()))
        m_buffer += '\n';
    m_at = m_lineEnd < m_script.size() ? m_lineEnd + 1 : m_lineEnd;
    m_inLine = false;
}

bool SqlScriptReader::lineStartsDelimiterCommand() {
    std::size_t at = m_at;
    while (at < m_lineEnd && isBlank(m_script[at]))
        ++at;
    const std::string_view line = m_script.substr(at, m_lineEnd - at);
    if (!startsWithNoCase(line, "delimiter") || (line.size() > 9 && line[9] != ' ' && line[9] != '\t'))
        return false;
    changeDelimiter(at + 9);
    return true;
}

void SqlScriptReader::changeDelimiter(std::size_t argumentFrom) {
    std::size_t at = argumentFrom;
    while (at < m_lineEnd && isBlank(m_script[at]))
        ++at;
    char quote = 0;
    if (at < m_lineEnd && (m_script[at] == '\'' || m_script[at] == '"' || m_script[at] == '`'))
        quote = m_script[at++];
    std::size_t end = at;
    while (end < m_lineEnd && m_script[end] != (quote ? quote : ' '))
        ++end;
    std::string word(m_script.substr(at, end - at));
    // A Windows line end is not part of the delimiter.
    if (!quote && !word.empty() && word.back() == '\r')
        word.pop_back();
    // The client refuses an empty delimiter and one with a backslash, keeping the one it had.
    if (!word.empty() && word.find('\\') == std::string::npos && (!quote || end < m_lineEnd))
        m_delimiter = word;
    m_at = m_lineEnd;
}

void SqlScriptReader::keepTrailingComment() {
    if (m_buffer.empty())
        return;
    std::size_t at = m_at;
    while (at < m_lineEnd && isBlank(m_script[at]))
        ++at;
    // The client takes a comment along here only when a blank follows its --.
    if (!opensLineComment(m_script.substr(at, m_lineEnd - at), false))
        return;
    m_buffer.append(m_script.substr(m_at, m_lineEnd - m_at));
    m_at = m_lineEnd;
}

void SqlScriptReader::append(char c) {
    if (m_buffer.empty() && !m_lineHasOutput)
        m_startLine = m_line;
    if (m_needSpace && !isBlank(c))
        m_buffer += ' ';
    m_needSpace = false;
    m_buffer += c;
    m_lineHasOutput = true;
}

std::size_t SqlScriptReader::plainRun(std::string_view rest, bool backslashEscapes) const {
    std::size_t at = 0;
    if (m_comment) {
        // A comment that is sent goes as it stands up to whatever may end it or open hidden text.
        if (!m_keepComment)
            return 0;
        while (at < rest.size() && rest[at] != '*' && rest[at] != '/')
            ++at;
        return at;
    }
    if (m_quote) {
        // Inside quotes only the closing quote and an escaping backslash count.
        while (at < rest.size() && rest[at] != m_quote && !(backslashEscapes && rest[at] == '\\'))
            ++at;
        return at;
    }
    // Leading blanks are dropped one by one; after them, whatever cannot begin a delimiter, a quote, a
    // comment, an escape or the end of hidden text.
    if (m_buffer.empty() && !m_lineHasOutput)
        return 0;
    const char first = m_delimiter[0];
    while (at < rest.size()) {
        const char c = rest[at];
        if (c == first || c == '\'' || c == '"' || c == '`' || c == '\\' || c == '#' || c == '-' ||
            c == '/' || c == '*')
            break;
        ++at;
    }
    return at;
}

std::optional<ScriptStatement> SqlScriptReader::take() {
    std::optional<ScriptStatement> out;
    if (!m_buffer.empty())
        out = ScriptStatement{std::move(m_buffer), m_startLine, m_line};
    m_buffer.clear();
    m_lineHasOutput = false;
    return out;
}

std::optional<ScriptStatement> SqlScriptReader::next(bool backslashEscapes) {
    for (;;) {
        if (!m_inLine) {
            if (m_at >= m_script.size()) {
                // The last statement needs no delimiter; blanks around it are not sent.
                std::size_t begin = 0, end = m_buffer.size();
                while (begin < end && static_cast<unsigned char>(m_buffer[begin]) <= ' ')
                    ++begin;
                while (end > begin && static_cast<unsigned char>(m_buffer[end - 1]) <= ' ')
                    --end;
                m_buffer = m_buffer.substr(begin, end - begin);
                return take();
            }
            startLine();
            if (m_buffer.empty() && !m_comment && !m_quote && lineStartsDelimiterCommand()) {
                endLine();
                continue;
            }
        }
        if (m_at >= m_lineEnd) {
            endLine();
            continue;
        }
        const std::string_view rest = m_script.substr(m_at, m_lineEnd - m_at);
        if (const std::size_t run = plainRun(rest, backslashEscapes); run > 0) {
            // Most of a dump's bytes are values with nothing in them that the reading must look at:
            // they go into the statement a run at a time.
            append(rest[0]);
            m_buffer.append(rest.data() + 1, run - 1);
            m_at += run;
            continue;
        }
        const char c = rest[0];
        if (!m_comment &&
            (m_quote ? c == m_quote : (c == '\'' || c == '"' || c == '`') && c != m_delimiter[0])) {
            // A quote that opens or closes a value, the commonest turn of a dump's reading.
            m_quote = m_quote ? 0 : c;
            append(c);
            ++m_at;
            continue;
        }
        const char after = rest.size() > 1 ? rest[1] : '\0';
        if (isBlank(c) && !m_lineHasOutput && m_buffer.empty()) {
            ++m_at;
        } else if (c == '\\' && !m_comment && !(m_quote && !backslashEscapes)) {
            if (rest.size() == 1) {
                // The client drops a backslash that ends a line.
                m_at = m_lineEnd;
                continue;
            }
            append(c);
            append(after);
            m_at += 2;
        } else if (!m_comment && !m_quote && rest.substr(0, m_delimiter.size()) == m_delimiter) {
            m_at += m_delimiter.size();
            keepTrailingComment();
            if (std::optional<ScriptStatement> statement = take())
                return statement;
        } else if (!m_comment && !m_quote && opensLineComment(rest, true)) {
            if (!m_buffer.empty())
                m_buffer.append(rest);
            m_at = m_lineEnd;
        } else if (!m_quote && c == '/' && after == '*' && !opensHiddenText(rest)) {
            // A second opening inside a comment does not nest: the first closing ends both.
            m_comment = true;
            m_keepComment = !m_buffer.empty();
            if (m_keepComment)
                m_buffer.append("/*");
            m_at += 2;
        } else if (m_comment && !m_hidden && c == '*' && after == '/') {
            m_comment = false;
            if (m_keepComment) {
                // The client puts a blank between a comment and the word right after it.
                m_buffer.append("*/");
                m_needSpace = true;
            }
            m_at += 2;
        } else {
            if (!m_quote && opensHiddenText(rest))
                m_hidden = true;
            else if (!m_quote && m_hidden && c == '*' && after == '/')
                m_hidden = false;
            if (c == m_quote)
                m_quote = 0;
            else if (!m_comment && !m_quote && (c == '\'' || c == '"' || c == '`'))
                m_quote = c;
            if (!m_comment || m_keepComment)
                append(c);
            ++m_at;
        }
    }
}

std::vector<ScriptStatement> splitSqlScript(std::string_view script, bool backslashEscapes) {
    std::vector<ScriptStatement> out;
    SqlScriptReader reader(script);
    while (std::optional<ScriptStatement> statement = reader.next(backslashEscapes))
        out.push_back(std::move(*statement));
    return out;
}

int countSqlStatements(std::string_view script, bool backslashEscapes) {
    int count = 0;
    SqlScriptReader reader(script);
    while (reader.next(backslashEscapes))
        ++count;
    return count;
}

std::optional<std::size_t> firstInvalidUtf8(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;  // no overlong forms
            if (lead == 0xED)
                high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;  // nothing above U+10FFFF
        } else {
            return i;
        }
        if (i + length > text.size())
            return i;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return i;
        for (std::size_t k = 2; k < length; ++k)
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
                return i;
        i += length;
    }
    return std::nullopt;
}

}  // namespace velkin
