#include "SqlText.h"

#include "Connection.h"
#include "ServerDialect.h"

#include <algorithm>
#include <iterator>

namespace velkin {

namespace {

// Reserved words of MySQL 8.4 and MariaDB 11 together. A name that is one of these must be quoted.
const char* const kReservedWords[] = {
    "ACCESSIBLE",
    "ADD",
    "ALL",
    "ALTER",
    "ANALYZE",
    "AND",
    "AS",
    "ASC",
    "ASENSITIVE",
    "BEFORE",
    "BETWEEN",
    "BIGINT",
    "BINARY",
    "BLOB",
    "BOTH",
    "BY",
    "CALL",
    "CASCADE",
    "CASE",
    "CHANGE",
    "CHAR",
    "CHARACTER",
    "CHECK",
    "COLLATE",
    "COLUMN",
    "CONDITION",
    "CONSTRAINT",
    "CONTINUE",
    "CONVERT",
    "CREATE",
    "CROSS",
    "CUBE",
    "CUME_DIST",
    "CURRENT_DATE",
    "CURRENT_ROLE",
    "CURRENT_TIME",
    "CURRENT_TIMESTAMP",
    "CURRENT_USER",
    "CURSOR",
    "DATABASE",
    "DATABASES",
    "DAY_HOUR",
    "DAY_MICROSECOND",
    "DAY_MINUTE",
    "DAY_SECOND",
    "DEC",
    "DECIMAL",
    "DECLARE",
    "DEFAULT",
    "DELAYED",
    "DELETE",
    "DELETE_DOMAIN_ID",
    "DENSE_RANK",
    "DESC",
    "DESCRIBE",
    "DETERMINISTIC",
    "DISTINCT",
    "DISTINCTROW",
    "DIV",
    "DO_DOMAIN_IDS",
    "DOUBLE",
    "DROP",
    "DUAL",
    "EACH",
    "ELSE",
    "ELSEIF",
    "EMPTY",
    "ENCLOSED",
    "ESCAPED",
    "EXCEPT",
    "EXISTS",
    "EXIT",
    "EXPLAIN",
    "FALSE",
    "FETCH",
    "FIRST_VALUE",
    "FLOAT",
    "FLOAT4",
    "FLOAT8",
    "FOR",
    "FORCE",
    "FOREIGN",
    "FROM",
    "FULLTEXT",
    "FUNCTION",
    "GENERAL",
    "GENERATED",
    "GET",
    "GRANT",
    "GROUP",
    "GROUPING",
    "GROUPS",
    "HAVING",
    "HIGH_PRIORITY",
    "HOUR_MICROSECOND",
    "HOUR_MINUTE",
    "HOUR_SECOND",
    "IF",
    "IGNORE",
    "IGNORE_DOMAIN_IDS",
    "IGNORE_SERVER_IDS",
    "IN",
    "INDEX",
    "INFILE",
    "INNER",
    "INOUT",
    "INSENSITIVE",
    "INSERT",
    "INT",
    "INT1",
    "INT2",
    "INT3",
    "INT4",
    "INT8",
    "INTEGER",
    "INTERSECT",
    "INTERVAL",
    "INTO",
    "IO_AFTER_GTIDS",
    "IO_BEFORE_GTIDS",
    "IS",
    "ITERATE",
    "JOIN",
    "JSON_TABLE",
    "KEY",
    "KEYS",
    "KILL",
    "LAG",
    "LAST_VALUE",
    "LATERAL",
    "LEAD",
    "LEADING",
    "LEAVE",
    "LEFT",
    "LIKE",
    "LIMIT",
    "LINEAR",
    "LINES",
    "LOAD",
    "LOCALTIME",
    "LOCALTIMESTAMP",
    "LOCK",
    "LONG",
    "LONGBLOB",
    "LONGTEXT",
    "LOOP",
    "LOW_PRIORITY",
    "MANUAL",
    "MASTER_BIND",
    "MASTER_HEARTBEAT_PERIOD",
    "MASTER_SSL_VERIFY_SERVER_CERT",
    "MATCH",
    "MAXVALUE",
    "MEDIUMBLOB",
    "MEDIUMINT",
    "MEDIUMTEXT",
    "MIDDLEINT",
    "MINUTE_MICROSECOND",
    "MINUTE_SECOND",
    "MOD",
    "MODIFIES",
    "NATURAL",
    "NOT",
    "NO_WRITE_TO_BINLOG",
    "NTH_VALUE",
    "NTILE",
    "NULL",
    "NUMERIC",
    "OF",
    "OFFSET",
    "ON",
    "OPTIMIZE",
    "OPTIMIZER_COSTS",
    "OPTION",
    "OPTIONALLY",
    "OR",
    "ORDER",
    "OUT",
    "OUTER",
    "OUTFILE",
    "OVER",
    "PAGE_CHECKSUM",
    "PARALLEL",
    "PARSE_VCOL_EXPR",
    "PARTITION",
    "PERCENT_RANK",
    "POSITION",
    "PRECISION",
    "PRIMARY",
    "PROCEDURE",
    "PURGE",
    "QUALIFY",
    "RANGE",
    "RANK",
    "READ",
    "READS",
    "READ_WRITE",
    "REAL",
    "RECURSIVE",
    "REF_SYSTEM_ID",
    "REFERENCES",
    "REGEXP",
    "RELEASE",
    "RENAME",
    "REPEAT",
    "REPLACE",
    "REQUIRE",
    "RESIGNAL",
    "RESTRICT",
    "RETURN",
    "RETURNING",
    "REVOKE",
    "RIGHT",
    "RLIKE",
    "ROW",
    "ROW_NUMBER",
    "ROWS",
    "SCHEMA",
    "SCHEMAS",
    "SECOND_MICROSECOND",
    "SELECT",
    "SENSITIVE",
    "SEPARATOR",
    "SET",
    "SHOW",
    "SIGNAL",
    "SLOW",
    "SMALLINT",
    "SPATIAL",
    "SPECIFIC",
    "SQL",
    "SQL_BIG_RESULT",
    "SQL_CALC_FOUND_ROWS",
    "SQL_SMALL_RESULT",
    "SQLEXCEPTION",
    "SQLSTATE",
    "SQLWARNING",
    "SSL",
    "STARTING",
    "STATS_AUTO_RECALC",
    "STATS_PERSISTENT",
    "STATS_SAMPLE_PAGES",
    "STORED",
    "STRAIGHT_JOIN",
    "SYSTEM",
    "TABLE",
    "TERMINATED",
    "THEN",
    "TINYBLOB",
    "TINYINT",
    "TINYTEXT",
    "TO",
    "TRAILING",
    "TRIGGER",
    "TRUE",
    "UNDO",
    "UNION",
    "UNIQUE",
    "UNLOCK",
    "UNSIGNED",
    "UPDATE",
    "USAGE",
    "USE",
    "USING",
    "UTC_DATE",
    "UTC_TIME",
    "UTC_TIMESTAMP",
    "VALUES",
    "VARBINARY",
    "VARCHAR",
    "VARCHARACTER",
    "VARYING",
    "VIRTUAL",
    "WHEN",
    "WHERE",
    "WHILE",
    "WINDOW",
    "WITH",
    "WRITE",
    "XOR",
    "YEAR_MONTH",
    "ZEROFILL",
};

}  // namespace

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

std::string showFieldsStatement(const Connection& connection, std::string_view database,
                                std::string_view table) {
    return sqlf("SHOW fields FROM %s", qualifiedName(connection, database, table));
}

std::string showDatabasesStatement() {
    return "SHOW DATABASES";
}

std::string showTablesStatement() {
    return "SHOW TABLES";
}

std::string showVariablesStatement() {
    return "SHOW VARIABLES";
}

std::string showEnginesStatement() {
    return "SHOW ENGINES";
}

std::string quietStatement() {
    return "DO 0";
}

std::string connectionPresentStatement(unsigned long threadId) {
    return sqlf("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %lu", threadId);
}

std::string killQueryStatement(unsigned long threadId) {
    return sqlf("KILL QUERY %lu", threadId);
}

bool isBuiltInReservedWord(std::string_view upperWord) {
    static const std::vector<std::string_view> sorted = [] {
        std::vector<std::string_view> words(std::begin(kReservedWords), std::end(kReservedWords));
        std::sort(words.begin(), words.end());
        return words;
    }();
    return std::binary_search(sorted.begin(), sorted.end(), upperWord);
}

const char* accountFactsStatement() {
    return "SELECT (SELECT TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'mysql' AND "
           "TABLE_NAME = 'user'), (SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
           "'mysql' AND TABLE_NAME = 'user' AND COLUMN_NAME = 'Password'), (SELECT COUNT(*) FROM "
           "information_schema.COLUMNS WHERE TABLE_SCHEMA = 'mysql' AND TABLE_NAME = 'user' AND "
           "COLUMN_NAME = 'is_role'), (SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
           "'mysql' AND TABLE_NAME = 'host')";
}

const char* reservedWordsStatement() {
    return "SELECT WORD FROM information_schema.KEYWORDS WHERE RESERVED = 1";
}

std::string tableStatusStatement(const Connection& connection, std::string_view database) {
    return sqlf("SHOW TABLE STATUS FROM %s", quoteName(connection, database));
}

std::string tableStatusStatement(const Connection& connection, std::string_view database,
                                 std::string_view table) {
    return sqlf("SHOW TABLE STATUS FROM %s Like '%s'", quoteName(connection, database),
                likeLiteral(connection, table));
}

}  // namespace velkin
