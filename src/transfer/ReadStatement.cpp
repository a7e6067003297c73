#include "ReadStatement.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace velkin {

namespace {

/// The statement's words outside literals, quoted names and comments, in upper case, with ";" and
/// "(" kept as words of their own. Empty with ok cleared when the text holds something a reader
/// cannot judge (a comment the server runs, an unclosed literal).
struct Words {
    std::vector<std::string> list;
    bool ok = true;
};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

Words wordsOf(std::string_view sql) {
    Words words;
    std::size_t i = 0;
    const std::size_t n = sql.size();
    while (i < n) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#' || (c == '-' && i + 1 < n && sql[i + 1] == '-' &&
                                (i + 2 >= n || std::isspace(static_cast<unsigned char>(sql[i + 2]))))) {
            while (i < n && sql[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            // "/*!" and "/*M!" hold text the server runs as part of the statement.
            if (i + 2 < n && (sql[i + 2] == '!' || (sql[i + 2] == 'M' && i + 3 < n && sql[i + 3] == '!'))) {
                words.ok = false;
                return words;
            }
            const std::size_t end = sql.find("*/", i + 2);
            if (end == std::string_view::npos) {
                words.ok = false;
                return words;
            }
            i = end + 2;
        } else if (c == '\'' || c == '"' || c == '`') {
            // A quoted name or literal: doubled quotes and backslash escapes stay inside it.
            std::size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (sql[j] == '\\' && c != '`') {
                    j += 2;
                    continue;
                }
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                ++j;
            }
            if (!closed) {
                words.ok = false;
                return words;
            }
            words.list.emplace_back(c == '`' ? "`name`" : "'literal'");
            i = j + 1;
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < n && isWordChar(sql[j]))
                ++j;
            std::string word(sql.substr(i, j - i));
            std::transform(word.begin(), word.end(), word.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
            words.list.push_back(std::move(word));
            i = j;
        } else {
            words.list.emplace_back(1, c);
            ++i;
        }
    }
    return words;
}

}  // namespace

bool isRowReadingStatement(std::string_view sql) {
    const Words words = wordsOf(sql);
    if (!words.ok || words.list.empty())
        return false;
    std::size_t first = 0;
    while (first < words.list.size() && words.list[first] == "(")
        ++first;
    if (first == words.list.size())
        return false;
    const std::string& verb = words.list[first];
    const bool query = verb == "SELECT" || verb == "WITH" || verb == "VALUES" || verb == "TABLE";
    const bool describe = verb == "DESCRIBE" || verb == "DESC" || verb == "EXPLAIN";
    if (first > 0 && !query)
        return false;
    if (!query && !describe && verb != "SHOW")
        return false;
    for (std::size_t i = first + 1; i < words.list.size(); ++i) {
        const std::string& w = words.list[i];
        // A closing ";" may end the text; anything after it is a second statement.
        if (w == ";")
            return i + 1 == words.list.size();
        if (w == "INTO" || w == "INSERT" || w == "DELETE" || w == "REPLACE" || w == "CALL")
            return false;
        // A locking read (FOR UPDATE) reads; an UPDATE anywhere else writes.
        if (w == "UPDATE" && !(words.list[i - 1] == "FOR"))
            return false;
        // EXPLAIN ANALYZE and ANALYZE run the statement they explain.
        if (describe && w == "ANALYZE")
            return false;
    }
    return true;
}

}  // namespace velkin
