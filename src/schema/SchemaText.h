#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ColumnDefinition.h"

namespace velkin {

class ServerDialect;

// The statements of the schema screens. Names the operator typed (new tables, fields, indexes,
// databases) go in as typed; names read from the server go through quoteName, so ordinary names
// give the plain statements and unusual ones still reach the right object.

/// The table types a new table may get, sorted as the list shows them.
std::vector<std::string> tableTypeChoices(bool innobase);

/// "have_innobase" among the server's variables: its answer, or nothing when the server has no
/// such variable any more.
std::optional<bool> haveInnobase(const std::vector<std::pair<std::string, std::string>>& variables);
/// InnoDB among the server's engines (name, support) with the support YES or DEFAULT.
bool innodbEngineAvailable(const std::vector<std::pair<std::string, std::string>>& engines);

/// CREATE TABLE for the rows in list order; database and table as they stand in the statement.
/// An empty table type writes no type clause.
std::string createTableStatement(std::string_view database, std::string_view table,
                                 const std::vector<ColumnDefinition>& rows, std::string_view tableType,
                                 const ServerDialect& dialect);

/// The kinds of key a field or a list of fields can be given.
enum class KeyKind { Primary, Index, Unique };

/// ALTER TABLE ... ADD of one field of an existing table.
std::string addFieldStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                              const ColumnDefinition& column);
/// The key over a field just added; the index name may be empty (the server names it).
std::string addFieldKeyStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, KeyKind kind, std::string_view indexName,
                                 std::string_view field);

/// CHANGE of a field to a new name with the type text the server reported. The new name is the
/// server's own (quoted) while it is the field's present name, else as typed.
std::string changeFieldStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, std::string_view field, std::string_view newName,
                                 std::string_view typeText, bool null, bool primaryKey);
std::string dropFieldStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table, std::string_view field);
/// DROP PRIMARY KEY for the key named PRIMARY, DROP INDEX with the name for any other.
std::string dropKeyStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                             std::string_view key);
std::string dropPrimaryKeyStatement(const ServerDialect& dialect, std::string_view database,
                                    std::string_view table);
/// ADD of a key over fields read from the server, in key order; the index name as typed, may be empty.
std::string addKeyStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                            KeyKind kind, std::string_view indexName, const std::vector<std::string>& fields);

std::string createDatabaseStatement(std::string_view name);
/// Renames a table within its database; the new name as typed.
std::string renameTableStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, std::string_view newName);

}  // namespace velkin
