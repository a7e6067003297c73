#include "DumpText.h"

#include <cctype>

#include "session/Connection.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

std::string dumpFileHeader(std::string_view characterSet, bool noBackslashEscapes, bool withHistory) {
    std::string header = sqlf(
        "-- Creation of a table\n"
        "SET @velkin_character_set_client = @@character_set_client, @velkin_character_set_results = "
        "@@character_set_results, @velkin_collation_connection = @@collation_connection, @velkin_time_zone = "
        "@@time_zone, @velkin_sql_mode = @@sql_mode, @velkin_foreign_key_checks = @@foreign_key_checks;\n"
        "SET NAMES %s;\n"
        "SET time_zone = '+00:00';\n"
        "SET sql_mode = '%s', foreign_key_checks = 0;\n",
        characterSet,
        noBackslashEscapes ? "NO_AUTO_VALUE_ON_ZERO,NO_BACKSLASH_ESCAPES" : "NO_AUTO_VALUE_ON_ZERO");
    if (withHistory)
        header +=
            "SET @velkin_insert_history = @@system_versioning_insert_history;\n"
            "SET system_versioning_insert_history = 1;\n";
    return header;
}

std::string dumpFileFooter(bool withHistory) {
    std::string footer =
        "SET sql_mode = @velkin_sql_mode, foreign_key_checks = @velkin_foreign_key_checks, time_zone = "
        "@velkin_time_zone, character_set_client = @velkin_character_set_client, character_set_results = "
        "@velkin_character_set_results, collation_connection = @velkin_collation_connection;\n";
    if (withHistory)
        footer += "SET system_versioning_insert_history = @velkin_insert_history;\n";
    return footer;
}

bool versionTakesHistory(const ServerDialect& dialect) {
    return dialect.isMariaDb() && (dialect.version() == 0 || dialect.version() >= 101100);
}

std::string secureTimestampQuery() {
    return "SELECT @@GLOBAL.secure_timestamp";
}

std::string tableTriggersQuery(const Connection& connection, std::string_view database,
                               std::string_view table) {
    return sqlf(
        "SELECT TRIGGER_NAME, ACTION_TIMING, EVENT_MANIPULATION, DEFINER, SQL_MODE, COLLATION_CONNECTION "
        "FROM "
        "information_schema.TRIGGERS WHERE EVENT_OBJECT_SCHEMA = '%s' AND EVENT_OBJECT_TABLE = '%s' ORDER BY "
        "EVENT_MANIPULATION, ACTION_TIMING, ACTION_ORDER",
        escapeValue(connection, database), escapeValue(connection, table));
}

std::string showCreateTriggerStatement(std::string_view trigger) {
    return sqlf("SHOW CREATE TRIGGER %s", trigger);
}

namespace {

std::string backticked(std::string_view name) {
    std::string quoted = "`";
    for (char c : name) {
        if (c == '`')
            quoted += '`';
        quoted += c;
    }
    return quoted + '`';
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

/// Just past the quoted text, quoted name or comment that starts at i; i when none starts there.
std::size_t pastQuoteOrComment(std::string_view text, std::size_t i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '`' || c == '\'' || c == '"') {
        for (std::size_t k = i + 1; k < text.size(); ++k) {
            if (text[k] == '\\' && c != '`') {
                ++k;
            } else if (text[k] == c) {
                if (k + 1 < text.size() && text[k + 1] == c)
                    ++k;
                else
                    return k + 1;
            }
        }
        return text.size();
    }
    if (c == '/' && next == '*') {
        const std::size_t end = text.find("*/", i + 2);
        return end == std::string_view::npos ? text.size() : end + 2;
    }
    if (c == '#' || (c == '-' && next == '-' &&
                     (i + 2 >= text.size() || std::isspace(static_cast<unsigned char>(text[i + 2]))))) {
        const std::size_t end = text.find('\n', i);
        return end == std::string_view::npos ? text.size() : end + 1;
    }
    return i;
}

/// Past blanks and comments from i.
std::size_t pastSpace(std::string_view text, std::size_t i) {
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        if (text[i] == '`' || text[i] == '\'' || text[i] == '"')
            return i;
        const std::size_t past = pastQuoteOrComment(text, i);
        if (past == i)
            return i;
        i = past;
    }
    return i;
}

/// Whether the word (in capitals) stands at i, whole.
bool wordAt(std::string_view text, std::size_t i, std::string_view word) {
    if (i + word.size() > text.size() || (i > 0 && isNameChar(text[i - 1])))
        return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(text[i + k])) != word[k])
            return false;
    return i + word.size() == text.size() || !isNameChar(text[i + word.size()]);
}

/// Where the word first stands outside quotes and comments from `from` on.
std::size_t findWord(std::string_view text, std::string_view word, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size();) {
        const std::size_t past = pastQuoteOrComment(text, i);
        if (past != i) {
            i = past;
            continue;
        }
        if (wordAt(text, i, word))
            return i;
        ++i;
    }
    return std::string_view::npos;
}

/// Past a name that may be qualified (db.name), each part bare or quoted.
std::size_t pastName(std::string_view text, std::size_t i) {
    while (i < text.size()) {
        if (text[i] == '`' || text[i] == '"')
            i = pastQuoteOrComment(text, i);
        else
            while (i < text.size() && isNameChar(text[i]))
                ++i;
        if (i >= text.size() || text[i] != '.')
            return i;
        ++i;
    }
    return i;
}

}  // namespace

std::string definerClause(std::string_view definer) {
    const std::size_t at = definer.rfind('@');
    if (at == std::string_view::npos)
        return backticked(definer);
    return backticked(definer.substr(0, at)) + "@" + backticked(definer.substr(at + 1));
}

std::optional<std::string> createTriggerStatement(std::string_view definer, std::string_view trigger,
                                                  std::string_view timing, std::string_view event,
                                                  std::string_view table, std::string_view original) {
    std::size_t body = std::string_view::npos;
    for (std::size_t at = findWord(original, "FOR"); at != std::string_view::npos;
         at = findWord(original, "FOR", at + 3)) {
        const std::size_t each = pastSpace(original, at + 3);
        if (!wordAt(original, each, "EACH"))
            continue;
        const std::size_t row = pastSpace(original, each + 4);
        if (wordAt(original, row, "ROW")) {
            body = pastSpace(original, row + 3);
            break;
        }
    }
    if (body == std::string_view::npos || body >= original.size())
        return std::nullopt;
    for (std::string_view order : {"FOLLOWS", "PRECEDES"})
        if (wordAt(original, body, order)) {
            body = pastSpace(original, pastName(original, pastSpace(original, body + order.size())));
            break;
        }
    const std::string definerPart =
        definer.empty() ? std::string() : "DEFINER=" + definerClause(definer) + " ";
    return sqlf("CREATE %sTRIGGER %s %s %s ON %s FOR EACH ROW %s", definerPart, trigger, timing, event, table,
                original.substr(body));
}

std::string triggerDelimiter(const std::vector<std::string>& texts) {
    auto free = [&](const std::string& delimiter) {
        for (const std::string& text : texts)
            if (text.find(delimiter) != std::string::npos)
                return false;
        return true;
    };
    for (const char* candidate : {";;", "$$", "//"})
        if (free(candidate))
            return candidate;
    std::string delimiter = ";;;";
    while (!free(delimiter))
        delimiter += ';';
    return delimiter;
}

std::string delimiterLine(std::string_view delimiter) {
    return sqlf("DELIMITER %s\n", delimiter);
}

std::string triggerSettingsStatement(const Connection& connection, std::string_view sqlMode,
                                     std::string_view collation) {
    return sqlf("SET sql_mode = '%s', collation_connection = '%s'", escapeValue(connection, sqlMode),
                escapeValue(connection, collation));
}

std::string showCreateSequenceStatement(std::string_view sequence) {
    return sqlf("SHOW CREATE SEQUENCE %s", sequence);
}

std::string sequenceStateQuery(std::string_view sequence) {
    return sqlf("SELECT next_not_cached_value, cycle_count FROM %s", sequence);
}

std::string setSequenceStatement(std::string_view sequence, std::string_view next, std::string_view round) {
    return sqlf("DO SETVAL(%s, %s, 0, %s)", sequence, next, round);
}

std::string createWithQualifiedName(std::string_view createText, std::string_view keyword,
                                    std::string_view qualified) {
    const std::size_t at = findWord(createText, keyword);
    if (at == std::string_view::npos)
        return std::string(createText);
    const std::size_t name = pastSpace(createText, at + keyword.size());
    const std::size_t end = pastName(createText, name);
    if (end == name)
        return std::string(createText);
    return std::string(createText.substr(0, name)) + std::string(qualified) +
           std::string(createText.substr(end));
}

}  // namespace velkin
