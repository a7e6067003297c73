#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ColumnDefinition.h"

namespace velkin {

class ServerDialect;

/// One column as the server describes it, so that a change can repeat everything it does not touch.
struct ServerColumn {
    std::string name;
    std::string type;  ///< the full type text, e.g. "int(10) unsigned" or "enum('a','b')"
    std::optional<std::string> charset;
    std::optional<std::string> collation;
    bool nullable = true;
    std::string key;  ///< PRI, UNI, MUL or empty
    std::optional<std::string> defaultValue;
    /// Whether defaultValue is already written as SQL (literals quoted, expressions bare), as
    /// current MariaDB servers report it; otherwise it is the bare value.
    bool defaultIsSql = false;
    std::string extra;
    std::string comment;
    std::optional<std::string> generation;  ///< the expression of a generated column
};

/// The cells of one row of information_schema.COLUMNS or of SHOW FULL COLUMNS, by column name.
using NamedCells = std::map<std::string, std::optional<std::string>>;
/// Reads a row of either listing; defaultIsSql is for the server to decide.
ServerColumn serverColumnFromCells(const NamedCells& cells);
/// Whether the server writes information_schema defaults as SQL: MariaDB from 10.2.7 on.
bool defaultsAreSql(const ServerDialect& dialect);

/// The statement that reads one column's description, and the one for servers without
/// information_schema; values are quoted by the caller's quoter.
std::string columnInfoStatement(std::string_view database, std::string_view table, std::string_view field,
                                const ValueQuoter& quote);
std::string fullColumnsStatement(const ServerDialect& dialect, std::string_view database,
                                 std::string_view table, std::string_view field);

/// What the table editor changes of a column; everything else stays as the server has it.
struct ColumnChange {
    std::string newName;  ///< a plain name (normalised); quoted in the statement where needed
    bool nullable = true;
    bool addPrimaryKey = false;
    /// The column leaves the primary key; the key is made again over the other columns, if any.
    bool leavePrimaryKey = false;
    std::vector<std::string> otherPrimaryColumns;
};

/// The column's definition for CHANGE: its type, character set, collation, generation, nullability,
/// default, ON UPDATE, AUTO_INCREMENT, visibility and comment, with the change applied.
std::string columnDefinitionFor(const ServerDialect& dialect, const ServerColumn& column,
                                const ColumnChange& change, const ValueQuoter& quote);
/// ALTER TABLE ... CHANGE with the full definition, and the primary key moves the change asks for.
std::string changeColumnStatement(const ServerDialect& dialect, std::string_view database,
                                  std::string_view table, const ServerColumn& column,
                                  const ColumnChange& change, const ValueQuoter& quote);

}  // namespace velkin
