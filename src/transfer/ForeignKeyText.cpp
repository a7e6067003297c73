#include "ForeignKeyText.h"

#include <algorithm>
#include <cctype>

#include "CopyText.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Names may have 64 characters; the server refuses a longer one.
constexpr std::size_t kNameLength = 64;

struct Token {
    enum Kind { Word, Name, Literal, Mark } kind;
    std::size_t start;
    std::size_t end;
    std::string text;  // a word in upper case, a name without its quotes, a mark as itself
};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return out;
}

/// Reads the quoted text that starts at i; returns its end (one past the closing quote).
std::size_t quotedEnd(std::string_view text, std::size_t i, std::string& inner) {
    const char quote = text[i];
    std::size_t j = i + 1;
    while (j < text.size()) {
        const char c = text[j];
        if (c == '\\' && quote != '`' && j + 1 < text.size()) {
            inner += text[j + 1];
            j += 2;
            continue;
        }
        if (c == quote) {
            if (j + 1 < text.size() && text[j + 1] == quote) {
                inner += quote;
                j += 2;
                continue;
            }
            return j + 1;
        }
        inner += c;
        ++j;
    }
    return text.size();
}

/// The tokens of a text, comments left out.
std::vector<Token> tokens(std::string_view text) {
    std::vector<Token> list;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#' ||
                   (c == '-' && text.substr(i, 2) == "--" &&
                    (i + 2 >= text.size() || std::isspace(static_cast<unsigned char>(text[i + 2]))))) {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '/' && text.substr(i, 2) == "/*") {
            const std::size_t close = text.find("*/", i + 2);
            i = close == std::string_view::npos ? text.size() : close + 2;
        } else if (c == '`' || c == '"' || c == '\'') {
            Token token{c == '\'' ? Token::Literal : Token::Name, i, 0, {}};
            token.end = quotedEnd(text, i, token.text);
            i = token.end;
            list.push_back(std::move(token));
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < text.size() && isWordChar(text[j]))
                ++j;
            list.push_back({Token::Word, i, j, upper(text.substr(i, j - i))});
            i = j;
        } else {
            list.push_back({Token::Mark, i, i + 1, std::string(1, c)});
            ++i;
        }
    }
    return list;
}

bool isMark(const Token& t, char c) {
    return t.kind == Token::Mark && t.text[0] == c;
}

bool isWord(const Token& t, std::string_view word) {
    return t.kind == Token::Word && t.text == word;
}

/// A name as the server reads it: a quoted name, or a bare word in its own spelling.
std::string nameOf(std::string_view text, const Token& t) {
    return t.kind == Token::Name ? t.text : std::string(text.substr(t.start, t.end - t.start));
}

/// Reads a foreign key out of one definition's tokens [first, last); false when it is none.
bool readClause(std::string_view text, const std::vector<Token>& list, std::size_t first, std::size_t last,
                ForeignKeyClause& clause) {
    std::size_t i = first;
    if (i < last && isWord(list[i], "CONSTRAINT")) {
        ++i;
        if (i < last && !isWord(list[i], "FOREIGN") && list[i].kind != Token::Mark) {
            clause.name = nameOf(text, list[i]);
            clause.nameStart = list[i].start;
            clause.nameEnd = list[i].end;
            ++i;
        }
    }
    if (!(i + 1 < last && isWord(list[i], "FOREIGN") && isWord(list[i + 1], "KEY")))
        return false;
    int depth = 0;
    for (; i < last; ++i) {
        if (isMark(list[i], '('))
            ++depth;
        else if (isMark(list[i], ')'))
            --depth;
        else if (depth == 0 && isWord(list[i], "REFERENCES"))
            break;
    }
    if (i + 1 >= last)
        return false;
    const Token& parent = list[i + 1];
    clause.parentStart = parent.start;
    clause.parentEnd = parent.end;
    clause.parentTable = nameOf(text, parent);
    if (i + 3 < last && isMark(list[i + 2], '.')) {
        clause.parentDatabase = clause.parentTable;
        clause.parentTable = nameOf(text, list[i + 3]);
        clause.parentEnd = list[i + 3].end;
    }
    return true;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return out;
}

}  // namespace

std::vector<ForeignKeyClause> foreignKeyClauses(std::string_view createText) {
    std::vector<ForeignKeyClause> clauses;
    const std::size_t open = definitionStart(createText);
    if (open == std::string_view::npos)
        return clauses;
    const std::vector<Token> list = tokens(createText);
    std::size_t i = 0;
    while (i < list.size() && list[i].start <= open)
        ++i;
    // Definitions are separated by the commas at the outermost level of the parentheses.
    std::size_t first = i;
    std::size_t defStart = open + 1;
    std::size_t comma = std::string_view::npos;
    int depth = 0;
    for (; i < list.size(); ++i) {
        if (isMark(list[i], '(')) {
            ++depth;
            continue;
        }
        const bool closing = isMark(list[i], ')') && depth == 0;
        if (isMark(list[i], ')')) {
            --depth;
            if (!closing)
                continue;
        }
        if (!closing && !(depth == 0 && isMark(list[i], ',')))
            continue;
        ForeignKeyClause clause;
        clause.start = defStart;
        // The blanks before the separator or the closing parenthesis belong to the text around it.
        clause.end = i > first ? list[i - 1].end : list[i].start;
        clause.comma = comma;
        if (readClause(createText, list, first, i, clause))
            clauses.push_back(std::move(clause));
        if (closing)
            break;
        comma = list[i].start;
        defStart = list[i].end;
        first = i + 1;
    }
    return clauses;
}

std::string withoutForeignKeys(std::string_view createText, const std::vector<ForeignKeyClause>& drop) {
    std::string out(createText);
    // From the back, so that the spans before stay where they were found.
    for (auto it = drop.rbegin(); it != drop.rend(); ++it) {
        if (it->comma != std::string_view::npos) {
            out.erase(it->comma, it->end - it->comma);
        } else {
            // The first definition: the separator after it, and the blanks after that, go with it.
            std::size_t to = out.find_first_not_of(" \t\r\n", it->end);
            if (to != std::string::npos && out[to] == ',')
                to = out.find_first_not_of(" \t\r\n", to + 1);
            if (to == std::string::npos)
                to = it->end;
            const std::size_t from = out.find_first_not_of(" \t\r\n", it->start);
            out.erase(from, to - from);
        }
    }
    return out;
}

std::string withConstraintNames(std::string_view createText, const std::vector<ForeignKeyClause>& clauses,
                                const std::vector<std::string>& quotedNames) {
    std::string out(createText);
    for (std::size_t k = clauses.size(); k-- > 0;) {
        if (k >= quotedNames.size() || quotedNames[k].empty())
            continue;
        const ForeignKeyClause& c = clauses[k];
        if (c.name.empty()) {
            // "FOREIGN KEY" gets a "CONSTRAINT name" before it.
            const std::size_t key = out.find_first_not_of(" \t\r\n", c.start);
            out.insert(key, "CONSTRAINT " + quotedNames[k] + " ");
        } else {
            out.replace(c.nameStart, c.nameEnd - c.nameStart, quotedNames[k]);
        }
    }
    return out;
}

std::string withParentRenamed(std::string_view createText, const std::vector<ForeignKeyClause>& clauses,
                              std::string_view parent, std::string_view newParent) {
    std::string out(createText);
    for (auto it = clauses.rbegin(); it != clauses.rend(); ++it)
        if (it->parentDatabase.empty() && lower(it->parentTable) == lower(parent))
            out.replace(it->parentStart, it->parentEnd - it->parentStart, newParent);
    return out;
}

std::string freeConstraintName(const std::string& name, const std::vector<std::string>& taken) {
    auto isTaken = [&](const std::string& candidate) {
        return std::any_of(taken.begin(), taken.end(),
                           [&](const std::string& t) { return lower(t) == lower(candidate); });
    };
    for (int n = 2;; ++n) {
        const std::string suffix = "_" + std::to_string(n);
        const std::string candidate = name.substr(0, kNameLength - suffix.size()) + suffix;
        if (!isTaken(candidate))
            return candidate;
    }
}

std::string foreignKeyNamesQuery(const Connection& connection, std::string_view database) {
    return sqlf(
        "SELECT CONSTRAINT_NAME FROM information_schema.REFERENTIAL_CONSTRAINTS WHERE "
        "CONSTRAINT_SCHEMA = '%s'",
        escapeValue(connection, database));
}

std::string tableExistsQuery(const Connection& connection, std::string_view database,
                             std::string_view table) {
    return sqlf("SELECT 1 FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s'",
                escapeValue(connection, database), escapeValue(connection, table));
}

std::string constraintRenamedEntry(std::string_view from, std::string_view to) {
    return sqlf(
        "Note: the foreign key %s is named %s in the copy, since its database has one of that "
        "name.\n",
        from, to);
}

std::string missingParentQuestion(std::string_view table, std::string_view constraint,
                                  std::string_view parent) {
    const std::string which =
        constraint.empty() ? std::string("A foreign key") : sqlf("The foreign key %s", constraint);
    return sqlf(
        "%s of %s refers to %s, which the destination does not have.\nMay I copy the table without "
        "that foreign key?",
        which, table, parent);
}

}  // namespace velkin
