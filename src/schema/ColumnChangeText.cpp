#include "ColumnChangeText.h"

#include <algorithm>
#include <cctype>

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

/// The blank-separated words of an Extra text, in lower case.
std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::string word;
    for (char c : text) {
        if (c == ' ') {
            if (!word.empty())
                out.push_back(lower(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        out.push_back(lower(word));
    return out;
}

bool hasWord(std::string_view text, std::string_view word) {
    const std::vector<std::string> all = words(text);
    return std::find(all.begin(), all.end(), word) != all.end();
}

/// The expression after "on update" in an Extra text, as the server wrote it.
std::optional<std::string> onUpdate(std::string_view extra) {
    const std::string folded = lower(extra);
    const std::size_t at = folded.find("on update ");
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t from = at + 10;
    while (from < extra.size() && extra[from] == ' ')
        ++from;
    const std::size_t end = extra.find(' ', from);
    std::string expression(extra.substr(from, end == std::string_view::npos ? end : end - from));
    if (expression.empty())
        return std::nullopt;
    return expression;
}

bool isCurrentTimestamp(std::string_view value) {
    const std::string folded = lower(value);
    return startsWith(folded, "current_timestamp") || startsWith(folded, "now(") ||
           startsWith(folded, "localtimestamp");
}

bool isTimeType(std::string_view type) {
    const std::string folded = lower(type);
    return startsWith(folded, "timestamp") || startsWith(folded, "datetime");
}

/// What follows DEFAULT, or nothing when the column has no default of its own.
std::optional<std::string> defaultText(const ServerColumn& column, const ValueQuoter& quote) {
    if (!column.defaultValue)
        return std::nullopt;
    const std::string& value = *column.defaultValue;
    if (column.defaultIsSql)
        return value;
    if (isTimeType(column.type) && isCurrentTimestamp(value))
        return value;
    // Servers that keep the value bare mark an expression in Extra; it needs its parentheses back.
    if (hasWord(column.extra, "default_generated"))
        return "(" + value + ")";
    if (startsWith(lower(column.type), "bit") && startsWith(lower(value), "b'"))
        return value;
    return quote(value);
}

std::optional<std::string> cell(const NamedCells& cells, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const auto it = cells.find(name);
        if (it != cells.end())
            return it->second;
    }
    return std::nullopt;
}

std::string join(const ServerDialect& dialect, const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i ? "," : "") + quoteName(names[i], dialect);
    return text;
}

}  // namespace

ServerColumn serverColumnFromCells(const NamedCells& cells) {
    ServerColumn c;
    c.name = cell(cells, {"COLUMN_NAME", "Field"}).value_or("");
    c.type = cell(cells, {"COLUMN_TYPE", "Type"}).value_or("");
    c.collation = cell(cells, {"COLLATION_NAME", "Collation"});
    c.charset = cell(cells, {"CHARACTER_SET_NAME"});
    // No character set name contains an underscore, so a collation names its set in its first word.
    if (!c.charset && c.collation)
        c.charset = c.collation->substr(0, c.collation->find('_'));
    c.nullable = cell(cells, {"IS_NULLABLE", "Null"}).value_or("") == "YES";
    c.key = cell(cells, {"COLUMN_KEY", "Key"}).value_or("");
    c.defaultValue = cell(cells, {"COLUMN_DEFAULT", "Default"});
    c.extra = cell(cells, {"EXTRA", "Extra"}).value_or("");
    c.comment = cell(cells, {"COLUMN_COMMENT", "Comment"}).value_or("");
    const std::optional<std::string> generation = cell(cells, {"GENERATION_EXPRESSION"});
    if (generation && !generation->empty() &&
        (cell(cells, {"IS_GENERATED"}).value_or("") == "ALWAYS" || hasWord(c.extra, "generated")))
        c.generation = generation;
    return c;
}

bool defaultsAreSql(const ServerDialect& dialect) {
    return dialect.isMariaDb() && dialect.version() >= 100207;
}

std::string columnInfoStatement(std::string_view database, std::string_view table, std::string_view field,
                                const ValueQuoter& quote) {
    return sqlf(
        "SELECT * FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = %s AND TABLE_NAME = %s AND "
        "COLUMN_NAME = %s",
        quote(database), quote(table), quote(field));
}

std::string fullColumnsStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, std::string_view field) {
    return sqlf("SHOW FULL COLUMNS FROM %s.%s LIKE '%s'", quoteName(database, dialect),
                quoteName(table, dialect), likeLiteral(field));
}

std::string columnDefinitionFor(const ServerDialect& dialect, const ServerColumn& column,
                                const ColumnChange& change, const ValueQuoter& quote) {
    std::string text = quoteName(change.newName, dialect) + " " + column.type;
    // Without these the column would take the table's character set and its data would be converted.
    if (column.charset && *column.charset != "binary")
        text += " CHARACTER SET " + *column.charset;
    if (column.collation && *column.collation != "binary")
        text += " COLLATE " + *column.collation;
    if (column.generation) {
        const char* kind = hasWord(column.extra, "persistent") ? "PERSISTENT"
                           : hasWord(column.extra, "stored")   ? "STORED"
                                                               : "VIRTUAL";
        text += " GENERATED ALWAYS AS (" + *column.generation + ") " + kind;
    } else {
        text += change.nullable ? " NULL" : " NOT NULL";
        // A column made NOT NULL cannot keep NULL as its default; it then has none.
        const std::optional<std::string> value = defaultText(column, quote);
        if (value && !(!change.nullable && lower(*value) == "null"))
            text += " DEFAULT " + *value;
        if (const std::optional<std::string> expression = onUpdate(column.extra))
            text += " ON UPDATE " + *expression;
        if (hasWord(column.extra, "auto_increment"))
            text += " AUTO_INCREMENT";
    }
    if (hasWord(column.extra, "invisible"))
        text += " INVISIBLE";
    if (!column.comment.empty())
        text += " COMMENT " + quote(column.comment);
    if (change.addPrimaryKey)
        text += " PRIMARY KEY";
    return text;
}

std::string changeColumnStatement(const ServerDialect& dialect, std::string_view database,
                                  std::string_view table, const ServerColumn& column,
                                  const ColumnChange& change, const ValueQuoter& quote) {
    std::string sql =
        sqlf("ALTER TABLE %s.%s CHANGE %s %s", quoteName(database, dialect), quoteName(table, dialect),
             quoteName(column.name, dialect), columnDefinitionFor(dialect, column, change, quote));
    if (change.leavePrimaryKey) {
        sql += ", DROP PRIMARY KEY";
        if (!change.otherPrimaryColumns.empty())
            sql += ", ADD PRIMARY KEY (" + join(dialect, change.otherPrimaryColumns) + ")";
    }
    return sql;
}

}  // namespace velkin
