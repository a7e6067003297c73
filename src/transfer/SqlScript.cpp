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
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

std::string trimmed(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

/// Walks a script once, keeping the statement that is being read.
class Splitter {
public:
    Splitter(std::string_view script, bool backslashEscapes)
        : m_script(script), m_backslash(backslashEscapes) {}

    std::vector<ScriptStatement> run() {
        while (m_at < m_script.size()) {
            if (!m_hasCode && atLineStart() && startsWithNoCase(rest(), "DELIMITER") && rest().size() > 9 &&
                (rest()[9] == ' ' || rest()[9] == '\t')) {
                takeDelimiterLine();
                continue;
            }
            if (rest().substr(0, m_delimiter.size()) == m_delimiter) {
                m_at += m_delimiter.size();
                finishStatement();
                continue;
            }
            const char c = m_script[m_at];
            if (c == '\'' || c == '"' || c == '`') {
                takeQuoted(c);
            } else if (c == '#' || (c == '-' && rest().substr(0, 2) == "--" &&
                                    (rest().size() == 2 || isBlank(rest()[2]) ||
                                     static_cast<unsigned char>(rest()[2]) < 0x20))) {
                takeLineComment();
            } else if (rest().substr(0, 2) == "/*") {
                takeBlockComment();
            } else {
                if (!isBlank(c))
                    markCode();
                take(1);
            }
        }
        finishStatement();
        return std::move(m_statements);
    }

private:
    std::string_view rest() const { return m_script.substr(m_at); }

    bool atLineStart() const {
        for (std::size_t i = m_at; i > 0; --i) {
            const char c = m_script[i - 1];
            if (c == '\n')
                return true;
            if (c != ' ' && c != '\t' && c != '\r')
                return false;
        }
        return true;
    }

    void take(std::size_t count) {
        for (std::size_t i = 0; i < count && m_at < m_script.size(); ++i, ++m_at) {
            m_current += m_script[m_at];
            if (m_script[m_at] == '\n')
                ++m_line;
        }
    }

    void markCode() {
        if (!m_hasCode)
            m_startLine = m_line;
        m_hasCode = true;
    }

    void takeQuoted(char quote) {
        markCode();
        take(1);
        while (m_at < m_script.size()) {
            const char c = m_script[m_at];
            if (c == '\\' && quote != '`' && m_backslash) {
                take(2);
            } else if (c == quote) {
                take(1);
                // A doubled quote stands for one and the text goes on.
                if (m_at < m_script.size() && m_script[m_at] == quote)
                    take(1);
                else
                    return;
            } else {
                take(1);
            }
        }
    }

    void takeLineComment() {
        while (m_at < m_script.size() && m_script[m_at] != '\n')
            take(1);
    }

    void takeBlockComment() {
        // "/*!" and "/*M!" hide statement text from other servers: it is code, not a comment.
        if (rest().substr(0, 3) == "/*!" || rest().substr(0, 4) == "/*M!")
            markCode();
        const std::size_t end = m_script.find("*/", m_at + 2);
        take(end == std::string_view::npos ? m_script.size() - m_at : end + 2 - m_at);
    }

    void takeDelimiterLine() {
        m_at += 9;
        std::size_t end = m_script.find('\n', m_at);
        if (end == std::string_view::npos)
            end = m_script.size();
        const std::string argument = trimmed(m_script.substr(m_at, end - m_at));
        // The delimiter is the first word; the client reads no more of the line.
        std::size_t wordEnd = 0;
        while (wordEnd < argument.size() && !isBlank(argument[wordEnd]))
            ++wordEnd;
        if (wordEnd > 0)
            m_delimiter = argument.substr(0, wordEnd);
        m_at = end;
        m_current.clear();
    }

    void finishStatement() {
        if (m_hasCode)
            m_statements.push_back({trimmed(m_current), m_startLine});
        m_current.clear();
        m_hasCode = false;
    }

    std::string_view m_script;
    bool m_backslash;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_startLine = 1;
    std::string m_delimiter = ";";
    std::string m_current;
    bool m_hasCode = false;
    std::vector<ScriptStatement> m_statements;
};

}  // namespace

std::vector<ScriptStatement> splitSqlScript(std::string_view script, bool backslashEscapes) {
    return Splitter(script, backslashEscapes).run();
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
