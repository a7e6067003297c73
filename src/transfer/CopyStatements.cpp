#include "CopyStatements.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "session/SqlText.h"

namespace velkin {

std::string useDatabaseStatement(std::string_view database) {
    return sqlf("USE %s", database);
}

std::string createTypedDatabaseStatement(std::string_view typed) {
    return sqlf("Create Database %s", typed);
}

std::string insertPlanQuery(const Connection& connection, std::string_view database, std::string_view table) {
    return sqlf(
        "SELECT @@max_allowed_packet, (SELECT e.TRANSACTIONS FROM information_schema.TABLES t JOIN "
        "information_schema.ENGINES e ON e.ENGINE = t.ENGINE WHERE t.TABLE_SCHEMA = '%s' AND "
        "t.TABLE_NAME = '%s'), @@SESSION.sql_mode",
        escapeValue(connection, database), escapeValue(connection, table));
}

std::string setSqlModeStatement(const Connection& connection, std::string_view modes) {
    return sqlf("SET SESSION sql_mode = '%s'", escapeValue(connection, modes));
}

std::string uniqueKeysQuery(const Connection& connection, std::string_view database, std::string_view table) {
    // Both sides name the table by constants: a catalog table bound only through the join is read
    // for every table of every database on the server.
    const std::string db = escapeValue(connection, database);
    const std::string name = escapeValue(connection, table);
    return sqlf(
        "SELECT s.INDEX_NAME, s.COLUMN_NAME, c.DATA_TYPE, c.IS_NULLABLE = 'YES', s.SUB_PART IS NOT NULL FROM "
        "information_schema.STATISTICS s JOIN information_schema.COLUMNS c ON c.COLUMN_NAME = s.COLUMN_NAME "
        "WHERE s.TABLE_SCHEMA = '%s' AND s.TABLE_NAME = '%s' AND c.TABLE_SCHEMA = '%s' AND c.TABLE_NAME = "
        "'%s' AND s.NON_UNIQUE = 0 ORDER BY s.INDEX_NAME <> 'PRIMARY', s.INDEX_NAME, s.SEQ_IN_INDEX",
        db, name, db, name);
}

namespace {

bool readsBackExactly(std::string dataType) {
    std::transform(dataType.begin(), dataType.end(), dataType.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Floating-point texts are rounded and ENUM/SET compare by position, so they cannot bound a range.
    static const char* const kExact[] = {"tinyint", "smallint", "mediumint", "int",    "bigint",
                                         "decimal", "char",     "varchar",   "binary", "varbinary",
                                         "date",    "datetime", "timestamp", "time",   "year"};
    return std::find(std::begin(kExact), std::end(kExact), dataType) != std::end(kExact);
}

}  // namespace

bool isIntegerType(std::string dataType) {
    std::transform(dataType.begin(), dataType.end(), dataType.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const kIntegers[] = {"tinyint", "smallint", "mediumint", "int", "bigint"};
    return std::find(std::begin(kIntegers), std::end(kIntegers), dataType) != std::end(kIntegers);
}

std::string binlogFormatQuery() {
    return "SELECT @@log_bin, @@SESSION.binlog_format";
}

std::string readCommittedNextStatement() {
    return "SET TRANSACTION ISOLATION LEVEL READ COMMITTED";
}

std::string keyBoundsQuery(std::string_view table, std::string_view key, std::string_view condition) {
    return sqlf("SELECT MIN(%s), MAX(%s) FROM %s%s", key, key, table,
                condition.empty() ? std::string() : sqlf(" WHERE %s", condition));
}

std::optional<std::vector<std::string>> rangeKey(const std::vector<KeyColumnLine>& lines) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> columns;
    std::map<std::string, bool> usable;
    for (const KeyColumnLine& line : lines) {
        if (!columns.count(line.index)) {
            order.push_back(line.index);
            usable[line.index] = true;
        }
        columns[line.index].push_back(line.column);
        if (line.nullable || line.prefix || !readsBackExactly(line.dataType))
            usable[line.index] = false;
    }
    std::optional<std::vector<std::string>> best;
    for (const std::string& index : order) {
        if (!usable[index])
            continue;
        if (index == "PRIMARY")
            return columns[index];
        if (!best || columns[index].size() < best->size())
            best = columns[index];
    }
    return best;
}

namespace {

/// "k1 op1 v1 OR (k1 = v1 AND k2 op2 v2) OR ...", the last comparison taking `last`.
std::string lexicographic(const Connection& connection, const std::vector<std::string>& keys,
                          const std::vector<std::string>& values, std::string_view strict,
                          std::string_view last) {
    std::string condition;
    const std::size_t count = std::min(keys.size(), values.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::string term;
        for (std::size_t k = 0; k < i; ++k)
            term += sqlf("%s = '%s' AND ", keys[k], escapeValue(connection, values[k]));
        term +=
            sqlf("%s %s '%s'", keys[i], i + 1 == count ? last : strict, escapeValue(connection, values[i]));
        if (count > 1)
            term = "(" + term + ")";
        condition += condition.empty() ? term : " OR " + term;
    }
    return count > 1 ? "(" + condition + ")" : condition;
}

}  // namespace

std::string keyAfterCondition(const Connection& connection, const std::vector<std::string>& keys,
                              const std::vector<std::string>& values) {
    return lexicographic(connection, keys, values, ">", ">");
}

std::string keyBeforeCondition(const Connection& connection, const std::vector<std::string>& keys,
                               const std::vector<std::string>& values) {
    return lexicographic(connection, keys, values, "<", "<");
}

std::string keyUpToCondition(const Connection& connection, const std::vector<std::string>& keys,
                             const std::vector<std::string>& values) {
    return lexicographic(connection, keys, values, "<", "<=");
}

std::string bothConditions(std::string_view a, std::string_view b) {
    if (a.empty())
        return std::string(b);
    if (b.empty())
        return std::string(a);
    return sqlf("%s AND %s", a, b);
}

namespace {

std::string whereClause(std::string_view condition) {
    return condition.empty() ? std::string() : sqlf(" WHERE %s", condition);
}

}  // namespace

std::string blockEndQuery(std::string_view table, std::string_view keyList, std::string_view after,
                          int rows) {
    return sqlf("SELECT %s FROM %s%s ORDER BY %s LIMIT %d, 1", keyList, table, whereClause(after), keyList,
                rows - 1);
}

std::string blockCopyStatement(std::string_view to, std::string_view columns, std::string_view from,
                               std::string_view range, std::string_view keyList) {
    return sqlf("INSERT INTO %s ( %s ) SELECT %s FROM %s%s ORDER BY %s", to, columns, columns, from,
                whereClause(range), keyList);
}

std::string blockReadStatement(std::string_view from, std::string_view columns, std::string_view range,
                               std::string_view keyList) {
    return sqlf("SELECT %s FROM %s%s ORDER BY %s", columns, from, whereClause(range), keyList);
}

std::string copyLoadStatement(std::string_view table, std::string_view characterSet,
                              std::string_view columns) {
    return sqlf(
        "LOAD DATA LOCAL INFILE 'rows' INTO TABLE %s CHARACTER SET %s FIELDS TERMINATED BY X'09' ESCAPED BY "
        "X'5C' LINES TERMINATED BY X'0A' ( %s )",
        table, characterSet, columns);
}

std::string startTransactionStatement() {
    return "START TRANSACTION";
}

std::string commitStatement() {
    return "COMMIT";
}

std::string rollbackStatement() {
    return "ROLLBACK";
}

std::string dumpRowsPrologue(std::string_view table) {
    return sqlf(
        "SET @velkin_unique_checks = @@unique_checks, @velkin_autocommit = @@autocommit;\n"
        "SET unique_checks = 0;\n"
        "LOCK TABLES %s WRITE;\n"
        "ALTER TABLE %s DISABLE KEYS;\n"
        "SET autocommit = 0;\n",
        table, table);
}

std::string dumpRowsEpilogue(std::string_view table) {
    return sqlf(
        "COMMIT;\n"
        "ALTER TABLE %s ENABLE KEYS;\n"
        "UNLOCK TABLES;\n"
        "SET unique_checks = @velkin_unique_checks, autocommit = @velkin_autocommit;\n",
        table);
}

}  // namespace velkin
