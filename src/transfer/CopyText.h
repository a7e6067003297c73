#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/Connection.h"

namespace velkin {

class ServerDialect;

// The statements and log entries of the row copy and of the duplication screens. Names read from a
// server arrive already quoted (qualifiedName, quoteName); names the operator typed arrive as typed.

/// Rows per block: the copy repaints its counters, lets an event through and logs once per block.
inline constexpr int kCopyBlockRows = 1000;

std::string countStatement(std::string_view table);

/// The zone every copy and dump session works in, so TIMESTAMP values keep their instant.
inline constexpr std::string_view kUtcZone = "+00:00";
/// "SELECT @@SESSION.time_zone"
std::string timeZoneQuery();
/// "SET time_zone = 'zone'"
std::string setTimeZoneStatement(const Connection& connection, std::string_view zone);
/// The one statement a copy or dump reads its whole source with.
std::string readAllStatement(std::string_view table);
std::string showCreateStatement(std::string_view table);
/// "SHOW FULL TABLES FROM database": names with their kind (BASE TABLE, VIEW, SEQUENCE).
std::string fullTablesStatement(std::string_view database);
/// "SHOW CREATE DATABASE name": answers with the name as the server spells it, or fails.
std::string showCreateDatabaseStatement(std::string_view database);
/// The views of a database with their definitions, security and check option.
std::string viewsQuery(const Connection& connection, std::string_view database);
/// A view's CREATE for the copy: its definition with every reference to the quoted source database
/// turned to the new one (the server writes them all qualified and quoted).
std::string copiedViewStatement(std::string_view newView, std::string_view security,
                                std::string_view definition, std::string_view checkOption,
                                std::string_view sourceDatabase, std::string_view newDatabase);
/// "SELECT @@SESSION.foreign_key_checks" and its SET: a copy creates children before parents.
std::string foreignKeyChecksQuery();
std::string setForeignKeyChecksStatement(std::string_view value);
/// The CREATE TABLE text the server gives for a table; empty when it gives none.
std::string createTextFromServer(Connection& connection, std::string_view table);

/// The column names of a read, quoted for the server that runs the INSERT, joined by ",".
std::string columnList(const std::vector<std::string>& names, const ServerDialect& dialect);
/// "INSERT INTO table ( columns ) VALUES ": what every row's "( values )" follows.
std::string insertHead(std::string_view table, std::string_view columns);
/// "SELECT @@SESSION.character_set_results": the character set rows arrive in.
std::string characterSetQuery();
/// A CREATE TABLE text from the server naming database.table instead of the bare table; any other
/// text (a view's) stays as it is.
std::string qualifiedCreate(std::string_view createText, std::string_view database, std::string_view table);
/// A row's values held apart from the result they came in; NULL as nothing.
using ValueRow = std::vector<std::optional<std::string>>;
/// Appends one row as a line of the copy's LOAD DATA stream: values separated by tabs, backslash,
/// tab, line feed, carriage return and zero byte escaped with a backslash, NULL as \N.
void appendLoadDataRow(std::string& out, const Row& row);
/// One value of such a line, escaped.
void appendLoadDataValue(std::string& out, std::string_view text);
/// The rows of such a stream, back as they were.
std::vector<ValueRow> parseLoadDataRows(std::string_view stream);

// Entries of the copy log, in the order a copy writes them.
std::string copyStartEntry();
std::string acquisitionStartEntry(long long offset);
std::string acquisitionSuccessEntry(long long offset);
std::string acquisitionFailureEntry();
std::string copyEndEntry();
std::string failedInsertEntry(std::string_view statement);
/// The line a copy that the operator stopped ends its log with.
std::string copyStoppedEntry();
/// The one line a copy writes when its destination went away, with the server's "%d:%s".
std::string destinationLostEntry(std::string_view errorLine);

/// A database name from a server's list, ready for a statement; empty while none is chosen.
std::string chosenDatabase(const Connection& connection, std::string_view database);
/// Where the column definitions of a CREATE text begin: its first "(" outside quoted names.
std::size_t definitionStart(std::string_view createText);
/// A name as the operator typed it, without the backticks around it (inner doubled ones made single),
/// for looking it up in the server's catalog.
std::string unquotedName(std::string_view name);
/// "CREATE TABLE database.table" followed by the text from its first "(" on; a text without "("
/// stays as it is, since it has no definition to carry over.
std::string createForNewName(std::string_view createText, std::string_view database, std::string_view table);
/// The text with the table type word after the first "keyword=" replaced by type, options after it
/// kept. A text without the clause gets it appended; an empty text or type changes nothing.
std::string createForTableType(std::string_view createText, std::string_view keyword, std::string_view type);

}  // namespace velkin
