#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ColumnDefinition.h"

namespace velkin {

class ServerDialect;

// The statements of the schema screens. Every name is a plain name, whether read from the server or
// typed (and normalised) by the operator, and goes through quoteName: ordinary names give the plain
// statements and unusual ones still reach the right object.

/// A name as the operator typed it, made plain once: surrounding backticks go and doubled
/// backticks inside become single, so the name can be stored, shown and quoted again.
std::string normalizeTypedName(std::string_view typed);

/// CREATE TABLE for the rows in list order. An empty table type writes no type clause.
std::string createTableStatement(std::string_view database, std::string_view table,
                                 const std::vector<ColumnDefinition>& rows, std::string_view tableType,
                                 const ServerDialect& dialect, const ValueQuoter& quote);

/// The kinds of key a field or a list of fields can be given.
enum class KeyKind { Primary, Index, Unique };

/// ALTER TABLE ... ADD of one field of an existing table.
std::string addFieldStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                              const ColumnDefinition& column, const ValueQuoter& quote);
/// The key over a field just added; the index name may be empty (the server names it).
std::string addFieldKeyStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, KeyKind kind, std::string_view indexName,
                                 std::string_view field);

/// The two listings of the table editor.
std::string showFieldsStatement(const ServerDialect& dialect, std::string_view database,
                                std::string_view table);
std::string showKeysStatement(const ServerDialect& dialect, std::string_view database,
                              std::string_view table);
std::string dropFieldStatement(const ServerDialect& dialect, std::string_view database,
                               std::string_view table, std::string_view field);
/// DROP PRIMARY KEY for the key named PRIMARY, DROP INDEX with the name for any other.
std::string dropKeyStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                             std::string_view key);
std::string dropPrimaryKeyStatement(const ServerDialect& dialect, std::string_view database,
                                    std::string_view table);
/// ADD of a key over fields read from the server, in key order; the index name may be empty.
std::string addKeyStatement(const ServerDialect& dialect, std::string_view database, std::string_view table,
                            KeyKind kind, std::string_view indexName, const std::vector<std::string>& fields);

std::string createDatabaseStatement(const ServerDialect& dialect, std::string_view name);
/// Renames a table within its database.
std::string renameTableStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, std::string_view newName);

/// What a screen says when Stop ended its change: the server undoes a stopped statement whole, so only
/// what the command's earlier statements did remains. done names that; empty when nothing was done.
std::string changeStoppedText(std::string_view done = {});
/// What a screen says when Stop ended its CREATE: the server made nothing.
std::string creationStoppedText();

}  // namespace velkin
