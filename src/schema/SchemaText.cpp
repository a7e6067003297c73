#include "SchemaText.h"

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

std::string table(const ServerDialect& dialect, std::string_view database, std::string_view name) {
    return quoteName(database, dialect) + "." + quoteName(name, dialect);
}

/// A name; an empty one stays empty so that the server names the fault.
std::string serverName(const ServerDialect& dialect, std::string_view name) {
    return name.empty() ? std::string() : quoteName(name, dialect);
}

std::string join(const ServerDialect& dialect, const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i)
            text += ",";
        text += serverName(dialect, names[i]);
    }
    return text;
}

}  // namespace

std::string normalizeTypedName(std::string_view typed) {
    if (typed.size() < 2 || typed.front() != '`' || typed.back() != '`')
        return std::string(typed);
    std::string name;
    const std::string_view inner = typed.substr(1, typed.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        name += inner[i];
        if (inner[i] == '`' && i + 1 < inner.size() && inner[i + 1] == '`')
            ++i;
    }
    return name;
}

std::string createTableStatement(std::string_view database, std::string_view tableName,
                                 const std::vector<ColumnDefinition>& rows, std::string_view tableType,
                                 const ServerDialect& dialect, const ValueQuoter& quote) {
    std::string sql =
        "CREATE TABLE " + serverName(dialect, database) + "." + serverName(dialect, tableName) + " (\r\n";
    std::vector<std::string> primary;
    std::vector<std::string> index;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ColumnDefinition& row = rows[i];
        if (row.name.empty())
            break;
        sql += columnDefinitionText(dialect, row, quote);
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
        sql += ",\r\nPRIMARY KEY ( " + join(dialect, primary) + " )\r\n";
    if (!index.empty())
        sql += ",\r\nINDEX ( " + join(dialect, index) + " )\r\n";
    if (!tableType.empty())
        sql += std::string("\r\n)") + dialect.tableTypeKeyword() + "=" + std::string(tableType) + ";";
    else
        sql += "\r\n);";
    return sql;
}

std::string addFieldStatement(const ServerDialect& dialect, std::string_view database,
                              std::string_view tableName, const ColumnDefinition& column,
                              const ValueQuoter& quote) {
    return "ALTER TABLE " + table(dialect, database, tableName) + " ADD " + serverName(dialect, column.name) +
           " " + column.type + " " + columnAttributes(column, quote);
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
            key = indexName.empty() ? " INDEX ( " : " INDEX " + serverName(dialect, indexName) + " ( ";
            break;
        case KeyKind::Unique:
            key = indexName.empty() ? " UNIQUE ( " : " UNIQUE " + serverName(dialect, indexName) + " ( ";
            break;
    }
    return "ALTER TABLE " + table(dialect, database, tableName) + " ADD " + key + serverName(dialect, field) +
           " )";
}

std::string showFieldsStatement(const ServerDialect& dialect, std::string_view database,
                                std::string_view tableName) {
    return sqlf("SHOW fields FROM %s", table(dialect, database, tableName));
}

std::string showKeysStatement(const ServerDialect& dialect, std::string_view database,
                              std::string_view tableName) {
    return sqlf("SHOW keys FROM %s", table(dialect, database, tableName));
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
            head = indexName.empty()
                       ? sqlf("ALTER TABLE %s ADD INDEX ( ", target)
                       : sqlf("ALTER TABLE %s ADD INDEX %s ( ", target, serverName(dialect, indexName));
            break;
        case KeyKind::Unique:
            head = indexName.empty()
                       ? sqlf("ALTER TABLE %s ADD UNIQUE ( ", target)
                       : sqlf("ALTER TABLE %s ADD UNIQUE %s ( ", target, serverName(dialect, indexName));
            break;
    }
    return head + join(dialect, fields) + " )";
}

std::string createDatabaseStatement(const ServerDialect& dialect, std::string_view name) {
    return sqlf("CREATE DATABASE %s", serverName(dialect, name));
}

std::string renameTableStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view tableName, std::string_view newName) {
    return sqlf("ALTER TABLE %s RENAME %s.%s", table(dialect, database, tableName),
                quoteName(database, dialect), serverName(dialect, newName));
}

std::string changeStoppedText(std::string_view done) {
    if (done.empty())
        return "The change was stopped. The table is unchanged.";
    return sqlf("The change was stopped. %s; the rest was not done.", done);
}

std::string creationStoppedText() {
    return "Creating was stopped. Nothing was created.";
}

}  // namespace velkin
