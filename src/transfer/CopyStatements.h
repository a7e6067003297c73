#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

// The statements the duplication screens and the row copy send besides those of CopyText.h: the
// lists the screens offer, how the copy learns about its destination, the key-range blocks of a copy
// within one server and what a dump writes around its rows.

/// "USE database" with the name already quoted.
std::string useDatabaseStatement(std::string_view database);
/// "Create Database name" with the name as the operator typed it.
std::string createTypedDatabaseStatement(std::string_view typed);

/// The packet limit, whether the destination table is transactional (YES, NO or NULL when the
/// catalog does not know it) and the session's sql_mode; database and table are plain names.
std::string insertPlanQuery(const Connection& connection, std::string_view database, std::string_view table);
/// "SET SESSION sql_mode = 'modes'"
std::string setSqlModeStatement(const Connection& connection, std::string_view modes);

/// The columns of every unique key of a table without NULLs: index name, column name, data type and
/// whether the column may be NULL, the primary key first, each key's columns in their order.
std::string uniqueKeysQuery(const Connection& connection, std::string_view database, std::string_view table);

/// One line of uniqueKeysQuery's answer.
struct KeyColumnLine {
    std::string index;
    std::string column;
    std::string dataType;
    bool nullable = false;
    bool prefix = false;
};

/// The key a copy can cut a table into ranges by: the primary key, or else the unique key of the
/// fewest columns that holds no NULL; only columns whose text reads back as the same value (integers,
/// decimals, texts, dates and times), since the ranges are written with the values read. Nothing
/// when the table has no such key.
std::optional<std::vector<std::string>> rangeKey(const std::vector<KeyColumnLine>& lines);

/// Whether a column of this DATA_TYPE holds whole numbers.
bool isIntegerType(std::string dataType);
/// Whether the server writes a binary log and in which format this session's statements go there.
std::string binlogFormatQuery();
/// Makes the next statement read committed rows without locking them.
std::string readCommittedNextStatement();
/// "SELECT MIN(key), MAX(key) FROM table" for a key of one column, its name quoted, with "WHERE
/// condition" when there is one.
std::string keyBoundsQuery(std::string_view table, std::string_view key, std::string_view condition = {});

/// "key > values" for a key of one or more columns, in the expanded form that the server's range
/// optimizer reads for every column count; names arrive quoted, values are escaped here.
std::string keyAfterCondition(const Connection& connection, const std::vector<std::string>& keys,
                              const std::vector<std::string>& values);
/// "key < values" in the same form.
std::string keyBeforeCondition(const Connection& connection, const std::vector<std::string>& keys,
                               const std::vector<std::string>& values);
/// "key <= values" in the same form.
std::string keyUpToCondition(const Connection& connection, const std::vector<std::string>& keys,
                             const std::vector<std::string>& values);
/// The key of the last row of the block that starts after `after` (no condition for the first
/// block): the rows-th row in key order, or no row when fewer are left.
std::string blockEndQuery(std::string_view table, std::string_view keyList, std::string_view after, int rows);
/// "INSERT INTO to ( columns ) SELECT columns FROM from WHERE range ORDER BY key": one block copied by
/// the server itself, in key order so that a table without transactions keeps a known lead of it.
std::string blockCopyStatement(std::string_view to, std::string_view columns, std::string_view from,
                               std::string_view range, std::string_view keyList);
/// The rows of one block in key order, to settle a block the server refused row by row.
std::string blockReadStatement(std::string_view from, std::string_view columns, std::string_view range,
                               std::string_view keyList);
/// "a AND b", or whichever is not empty.
std::string bothConditions(std::string_view a, std::string_view b);

/// The copy's LOAD DATA of a block of rows streamed from the client in appendLoadDataRow's format,
/// read in the character set the rows arrived in; the separators are written in hexadecimal so that
/// the statement reads the same with and without NO_BACKSLASH_ESCAPES.
std::string copyLoadStatement(std::string_view table, std::string_view characterSet,
                              std::string_view columns);
/// "START TRANSACTION", "COMMIT", "ROLLBACK": a loaded block stays whole or not at all.
std::string startTransactionStatement();
std::string commitStatement();
std::string rollbackStatement();

/// What a dump writes before a table's rows so that the client reloads them fast: no per-row checks
/// of unique keys, the table locked, its non-unique indexes built once at the end, and one
/// transaction instead of one per statement; the epilogue restores what the session had. (Foreign
/// key checks are off for the whole file, from before its first CREATE.)
std::string dumpRowsPrologue(std::string_view table);
/// What gives the reloading session its own settings back after the rows.
std::string dumpRowsEpilogue(std::string_view table);

}  // namespace velkin
