#include "SchemaText.h"

#include <algorithm>
#include <cctype>

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

std::string table(const ServerDialect& dialect, std::string_view database, std::string_view name) {
    return quoteName(database, dialect) + "." + quoteName(name, dialect);
}

/// A name read from the server; an empty one stays empty so that the server names the fault.
std::string serverName(const ServerDialect& dialect, std::string_view name) {
    return name.empty() ? std::string() : quoteName(name, dialect);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

std::string join(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            text += ",";
        text += parts[i];
    }
    return text;
}

}  // namespace

std::vector<std::string> tableTypeChoices(bool innobase) {
    std::vector<std::string> types = {"MyISAM", "ISAM", "HEAP"};
    if (innobase)
        types.emplace_back("INNOBASE");
    std::sort(types.begin(), types.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::toupper(x) < std::toupper(y); });
    });
    return types;
}

std::optional<bool> haveInnobase(const std::vector<std::pair<std::string, std::string>>& variables) {
    for (const auto& [name, value] : variables)
        if (name == "have_innobase")
            return value == "YES";
    return std::nullopt;
}

bool innodbEngineAvailable(const std::vector<std::pair<std::string, std::string>>& engines) {
    for (const auto& [engine, support] : engines)
        if (equalsNoCase(engine, "InnoDB") &&
            (equalsNoCase(support, "YES") || equalsNoCase(support, "DEFAULT")))
            return true;
    return false;
}

std::string createTableStatement(std::string_view database, std::string_view tableName,
                                 const std::vector<ColumnDefinition>& rows, std::string_view tableType,
                                 const ServerDialect& dialect) {
    std::string sql = "CREATE TABLE " + std::string(database) + "." + std::string(tableName) + " (\r\n";
    std::vector<std::string> primary;
    std::vector<std::string> index;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ColumnDefinition& row = rows[i];
        if (row.name.empty())
            break;
        sql += columnDefinitionText(row);
        if (i + 1 < rows.size())
            sql += ",\r\n";
    }
    for (const ColumnDefinition& row : rows) {
        if (row.primaryKey)
            primary.push_back(row.name);
        if (row.index)
            index.push_back(row.name);
    }
    if (!primary.empty())
        sql += ",\r\nPRIMARY KEY ( " + join(primary) + " )\r\n";
    if (!index.empty())
        sql += ",\r\nINDEX ( " + join(index) + " )\r\n";
    if (!tableType.empty())
        sql += std::string("\r\n)") + dialect.tableTypeKeyword() + "=" + std::string(tableType) + ";";
    else
        sql += "\r\n);";
    return sql;
}

std::string addFieldStatement(const ServerDialect& dialect, std::string_view database,
                              std::string_view tableName, const ColumnDefinition& column) {
    return "ALTER TABLE " + table(dialect, database, tableName) + " ADD " + column.name + " " + column.type +
           " " + columnAttributes(column);
}

std::string addFieldKeyStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view tableName, KeyKind kind, std::string_view indexName,
                                 std::string_view field) {
    std::string key;
    switch (kind) {
        case KeyKind::Primary:
            key = " PRIMARY KEY ( ";
            break;
        case KeyKind::Index:
            key = indexName.empty() ? " INDEX ( " : " INDEX " + std::string(indexName) + " ( ";
            break;
        case KeyKind::Unique:
            key = indexName.empty() ? " UNIQUE ( " : " UNIQUE " + std::string(indexName) + " ( ";
            break;
    }
    return "ALTER TABLE " + table(dialect, database, tableName) + " ADD " + key + std::string(field) + " )";
}

std::string changeFieldStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view tableName, std::string_view field, std::string_view newName,
                                 std::string_view typeText, bool null, bool primaryKey) {
    const std::string name = newName == field ? serverName(dialect, newName) : std::string(newName);
    const std::string definition =
        sqlf("%s %s %s %s", name, typeText, null ? "NULL" : "NOT NULL", primaryKey ? "PRIMARY KEY" : "");
    return sqlf("ALTER TABLE %s CHANGE %s %s", table(dialect, database, tableName),
                serverName(dialect, field), definition);
}

std::string dropFieldStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view tableName, std::string_view field) {
    return sqlf("ALTER TABLE %s DROP %s", table(dialect, database, tableName), serverName(dialect, field));
}

std::string dropKeyStatement(const ServerDialect& dialect, std::string_view database,
                             std::string_view tableName, std::string_view key) {
    if (key == "PRIMARY")
        return dropPrimaryKeyStatement(dialect, database, tableName);
    return sqlf("ALTER TABLE %s DROP INDEX %s", table(dialect, database, tableName),
                serverName(dialect, key));
}

std::string dropPrimaryKeyStatement(const ServerDialect& dialect, std::string_view database,
                                    std::string_view tableName) {
    return sqlf("ALTER TABLE %s DROP PRIMARY KEY", table(dialect, database, tableName));
}

std::string addKeyStatement(const ServerDialect& dialect, std::string_view database,
                            std::string_view tableName, KeyKind kind, std::string_view indexName,
                            const std::vector<std::string>& fields) {
    const std::string target = table(dialect, database, tableName);
    std::string head;
    switch (kind) {
        case KeyKind::Primary:
            head = sqlf("ALTER TABLE %s ADD PRIMARY KEY ( ", target);
            break;
        case KeyKind::Index:
            head = indexName.empty() ? sqlf("ALTER TABLE %s ADD INDEX ( ", target)
                                     : sqlf("ALTER TABLE %s ADD INDEX %s ( ", target, indexName);
            break;
        case KeyKind::Unique:
            head = indexName.empty() ? sqlf("ALTER TABLE %s ADD UNIQUE ( ", target)
                                     : sqlf("ALTER TABLE %s ADD UNIQUE %s ( ", target, indexName);
            break;
    }
    std::vector<std::string> names;
    for (const std::string& field : fields)
        names.push_back(serverName(dialect, field));
    return head + join(names) + " )";
}

std::string createDatabaseStatement(std::string_view name) {
    return sqlf("CREATE DATABASE %s", name);
}

std::string renameTableStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view tableName, std::string_view newName) {
    return sqlf("ALTER TABLE %s RENAME %s.%s", table(dialect, database, tableName),
                quoteName(database, dialect), newName);
}

}  // namespace velkin
