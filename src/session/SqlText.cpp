#include "SqlText.h"

#include "Connection.h"
#include "ServerDialect.h"

namespace velkin {

std::string escapeValue(const Connection& connection, std::string_view value) {
    return connection.escape(value);
}

std::string quoteValue(const Connection& connection, const std::optional<std::string_view>& value) {
    if (!value)
        return "NULL";
    return "'" + connection.escape(*value) + "'";
}

bool isPlainIdentifier(std::string_view name) {
    if (name.empty())
        return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(name[0]))
        return false;
    for (char c : name.substr(1))
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '$')
            return false;
    return true;
}

std::string quoteName(std::string_view name, const ServerDialect& dialect) {
    if (isPlainIdentifier(name) && !dialect.isReserved(name))
        return std::string(name);
    std::string quoted = "`";
    for (char c : name) {
        if (c == '`')
            quoted += '`';
        quoted += c;
    }
    quoted += '`';
    return quoted;
}

std::string quoteName(const Connection& connection, std::string_view name) {
    return quoteName(name, connection.dialect());
}

std::string qualifiedName(const Connection& connection, std::string_view database, std::string_view table) {
    return quoteName(connection, database) + "." + quoteName(connection, table);
}

std::string likeLiteral(std::string_view name) {
    return likeLiteral(name, false);
}

std::string likeLiteral(std::string_view name, bool noBackslashEscapes) {
    // Two readings happen: the string literal, then the LIKE pattern. A backslash must survive both;
    // without backslash escapes in literals only the pattern reads it, and a quote is doubled.
    std::string out;
    for (char c : name) {
        switch (c) {
            case '\\':
                out += noBackslashEscapes ? "\\\\" : "\\\\\\\\";
                break;
            case '_':
                out += "\\_";
                break;
            case '%':
                out += "\\%";
                break;
            case '\'':
                out += noBackslashEscapes ? "''" : "\\'";
                break;
            case '\0':
                if (!noBackslashEscapes) {
                    out += "\\0";
                    break;
                }
                [[fallthrough]];
            default:
                out += c;
        }
    }
    return out;
}

std::string likeLiteral(const Connection& connection, std::string_view name) {
    return likeLiteral(name, connection.noBackslashEscapes());
}

std::string showFieldsStatement(const Connection& connection, std::string_view database, std::string_view table) {
    return sqlf("SHOW fields FROM %s", qualifiedName(connection, database, table));
}

std::string showDatabasesStatement() {
    return "SHOW DATABASES";
}

std::string showVariablesStatement() {
    return "SHOW VARIABLES";
}

std::string showEnginesStatement() {
    return "SHOW ENGINES";
}

const char* accountFactsStatement() {
    return "SELECT (SELECT TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'mysql' AND "
           "TABLE_NAME = 'user'), (SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
           "'mysql' AND TABLE_NAME = 'user' AND COLUMN_NAME = 'Password'), (SELECT COUNT(*) FROM "
           "information_schema.COLUMNS WHERE TABLE_SCHEMA = 'mysql' AND TABLE_NAME = 'user' AND "
           "COLUMN_NAME = 'is_role'), (SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
           "'mysql' AND TABLE_NAME = 'host')";
}

}  // namespace velkin
