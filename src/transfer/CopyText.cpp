#include "CopyText.h"

#include <cctype>

#include "session/SqlText.h"

namespace velkin {

std::string countStatement(std::string_view table) {
    return sqlf("select count(*) from %s", table);
}

std::string timeZoneQuery() {
    return "SELECT @@SESSION.time_zone";
}

std::string setTimeZoneStatement(const Connection& connection, std::string_view zone) {
    return sqlf("SET time_zone = '%s'", escapeValue(connection, zone));
}

std::string readAllStatement(std::string_view table) {
    return sqlf("select * from %s", table);
}

std::string showCreateStatement(std::string_view table) {
    return sqlf("Show create table %s;", table);
}

std::string fullTablesStatement(std::string_view database) {
    return sqlf("SHOW FULL TABLES FROM %s", database);
}

std::string showCreateDatabaseStatement(std::string_view database) {
    return sqlf("SHOW CREATE DATABASE %s", database);
}

std::string viewsQuery(const Connection& connection, std::string_view database) {
    return sqlf(
        "SELECT TABLE_NAME, SECURITY_TYPE, VIEW_DEFINITION, CHECK_OPTION FROM information_schema.VIEWS "
        "WHERE TABLE_SCHEMA = '%s' ORDER BY TABLE_NAME",
        escapeValue(connection, database));
}

std::string copiedViewStatement(std::string_view newView, std::string_view security,
                                std::string_view definition, std::string_view checkOption,
                                std::string_view sourceDatabase, std::string_view newDatabase) {
    std::string source = "`";
    for (char c : sourceDatabase) {
        if (c == '`')
            source += '`';
        source += c;
    }
    source += "`.";
    std::string body;
    std::size_t at = 0;
    for (std::size_t found; (found = definition.find(source, at)) != std::string_view::npos;
         at = found + source.size()) {
        body.append(definition.substr(at, found - at));
        body.append(newDatabase);
        body += '.';
    }
    body.append(definition.substr(at));
    std::string statement = sqlf("CREATE SQL SECURITY %s VIEW %s AS %s", security, newView, body);
    if (!checkOption.empty() && checkOption != "NONE")
        statement += sqlf(" WITH %s CHECK OPTION", checkOption);
    return statement;
}

std::string foreignKeyChecksQuery() {
    return "SELECT @@SESSION.foreign_key_checks";
}

std::string setForeignKeyChecksStatement(std::string_view value) {
    return sqlf("SET SESSION foreign_key_checks = %s", value);
}

std::string createTextFromServer(Connection& connection, std::string_view table) {
    Result result = connection.select(showCreateStatement(table));
    Row row = result.fetchRow();
    return row ? row.str(1) : std::string();
}

std::string columnList(const std::vector<std::string>& names, const ServerDialect& dialect) {
    std::string list;
    for (const std::string& name : names) {
        if (!list.empty())
            list += ',';
        list += quoteName(name, dialect);
    }
    return list;
}

std::string insertHead(std::string_view table, std::string_view columns) {
    return sqlf("INSERT INTO %s ( %s ) VALUES ", table, columns);
}

std::string characterSetQuery() {
    return "SELECT @@SESSION.character_set_results";
}

std::string qualifiedCreate(std::string_view createText, std::string_view database, std::string_view table) {
    constexpr std::string_view kCreateTable = "CREATE TABLE ";
    if (createText.size() < kCreateTable.size())
        return std::string(createText);
    for (std::size_t i = 0; i < kCreateTable.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(createText[i])) != kCreateTable[i])
            return std::string(createText);
    return createForNewName(createText, database, table);
}

void appendLoadDataValue(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        const char* escaped = c == '\\'   ? "\\\\"
                              : c == '\t' ? "\\t"
                              : c == '\n' ? "\\n"
                              : c == '\r' ? "\\r"
                              : c == '\0' ? "\\0"
                                          : nullptr;
        if (!escaped)
            continue;
        out.append(text.substr(plain, k - plain));
        out += escaped;
        plain = k + 1;
    }
    out.append(text.substr(plain));
}

void appendLoadDataRow(std::string& out, const Row& row) {
    for (unsigned i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += '\t';
        if (row.isNull(i))
            out += "\\N";
        else
            appendLoadDataValue(out, row.text(i));
    }
    out += '\n';
}

std::vector<ValueRow> parseLoadDataRows(std::string_view stream) {
    std::vector<ValueRow> rows;
    ValueRow row;
    std::string value;
    bool null = false;
    auto endValue = [&] {
        row.push_back(null ? std::nullopt : std::optional<std::string>(value));
        value.clear();
        null = false;
    };
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const char c = stream[i];
        if (c == '\t') {
            endValue();
        } else if (c == '\n') {
            endValue();
            rows.push_back(std::move(row));
            row.clear();
        } else if (c == '\\' && i + 1 < stream.size()) {
            const char next = stream[++i];
            if (next == 'N' && value.empty())
                null = true;
            else
                value += next == 't'   ? '\t'
                         : next == 'n' ? '\n'
                         : next == 'r' ? '\r'
                         : next == '0' ? '\0'
                                       : next;
        } else {
            value += c;
        }
    }
    return rows;
}

std::string copyStartEntry() {
    return "Data shift start\n";
}

std::string acquisitionStartEntry(long long offset) {
    return sqlf("Data acquisition start %d - %d     ", offset, offset + kCopyBlockRows);
}

std::string acquisitionSuccessEntry(long long offset) {
    return sqlf("Data acquisition success %d - %d\n", offset, offset + kCopyBlockRows);
}

std::string acquisitionFailureEntry() {
    return "Data acquisition failure\n";
}

std::string copyEndEntry() {
    return "Data shift end\n";
}

std::string failedInsertEntry(std::string_view statement) {
    return sqlf("\nError: Query=%s\n", statement);
}

std::string copyStoppedEntry() {
    return "Data shift stopped\n";
}

std::string destinationLostEntry(std::string_view errorLine) {
    return sqlf("\nError: the connection to the destination was lost (%s); the copy stopped.\n", errorLine);
}

std::string chosenDatabase(const Connection& connection, std::string_view database) {
    return database.empty() ? std::string() : quoteName(connection, database);
}

std::size_t definitionStart(std::string_view createText) {
    // The table's name comes first and may itself hold "(" inside its quotes.
    for (std::size_t i = 0; i < createText.size(); ++i) {
        const char c = createText[i];
        if (c == '(')
            return i;
        if (c != '`' && c != '"' && c != '\'')
            continue;
        for (++i; i < createText.size(); ++i) {
            if (createText[i] != c)
                continue;
            if (i + 1 < createText.size() && createText[i + 1] == c) {
                ++i;
                continue;
            }
            break;
        }
    }
    return std::string_view::npos;
}

std::string unquotedName(std::string_view name) {
    if (name.size() < 2 || name.front() != '`' || name.back() != '`')
        return std::string(name);
    std::string plain;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        plain += name[i];
        if (name[i] == '`' && name[i + 1] == '`')
            ++i;
    }
    return plain;
}

std::string createForNewName(std::string_view createText, std::string_view database, std::string_view table) {
    const std::size_t open = definitionStart(createText);
    if (open == std::string_view::npos)
        return std::string(createText);
    return sqlf("CREATE TABLE %s.%s %s", database, table, createText.substr(open));
}

std::string createForTableType(std::string_view createText, std::string_view keyword, std::string_view type) {
    if (createText.empty() || type.empty())
        return std::string(createText);
    const std::string clause = std::string(keyword) + "=";
    const std::size_t at = createText.find(clause);
    if (at == std::string_view::npos)
        return sqlf("%s %s%s", createText, clause, type);
    // The blank before the clause is written anew with it; anything else there belongs to the text.
    const bool blankBefore = at > 0 && createText[at - 1] == ' ';
    const std::string_view before = createText.substr(0, blankBefore ? at - 1 : at);
    const std::size_t blank = createText.find(' ', at);
    if (blank == std::string_view::npos)
        return sqlf("%s %s%s", before, clause, type);
    return sqlf("%s %s%s %s", before, clause, type, createText.substr(blank + 1));
}

}  // namespace velkin
