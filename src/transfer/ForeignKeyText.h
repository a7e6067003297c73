#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

// The foreign keys of a CREATE TABLE text as a copy has to see them: a copy in the same database
// meets the source's constraint names, and a copy elsewhere may refer to a parent that is not there.

/// One "[CONSTRAINT name] FOREIGN KEY ... REFERENCES parent ..." definition of a CREATE TABLE text.
struct ForeignKeyClause {
    /// The definition's span in the text, from just after the separator before it to just before
    /// the one after it (or the closing parenthesis); `comma` is the separator before it, npos for
    /// the first definition.
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t comma = std::string_view::npos;
    /// The constraint's name without quotes; empty when the server is left to name it.
    std::string name;
    /// Where the name stands in the text (quotes included); only when there is a name.
    std::size_t nameStart = 0;
    std::size_t nameEnd = 0;
    /// The parent's database without quotes; empty when it is the child's own database.
    std::string parentDatabase;
    std::string parentTable;
    /// Where the parent's name, database included, stands in the text.
    std::size_t parentStart = 0;
    std::size_t parentEnd = 0;
};

/// The foreign keys among the column definitions of a CREATE TABLE text, in their order; names,
/// literals and comments are read as the server reads them.
std::vector<ForeignKeyClause> foreignKeyClauses(std::string_view createText);

/// The text without these definitions (and the separators that joined them to the others).
std::string withoutForeignKeys(std::string_view createText, const std::vector<ForeignKeyClause>& drop);

/// The text with each clause's constraint named anew (names quoted as they go in); a clause with no
/// new name keeps its own.
std::string withConstraintNames(std::string_view createText, const std::vector<ForeignKeyClause>& clauses,
                                const std::vector<std::string>& quotedNames);

/// The text with every reference to parent (in the child's own database) pointing at newParent,
/// written as given: a table that refers to itself refers to its copy.
std::string withParentRenamed(std::string_view createText, const std::vector<ForeignKeyClause>& clauses,
                              std::string_view parent, std::string_view newParent);

/// The first of name, name_2, name_3 ... that is not taken (compared without regard to case, as the
/// server does), cut to the 64 characters a name may have.
std::string freeConstraintName(const std::string& name, const std::vector<std::string>& taken);

/// The names of the foreign keys of a database; the name is plain.
std::string foreignKeyNamesQuery(const Connection& connection, std::string_view database);
/// One row when the table exists; names are plain.
std::string tableExistsQuery(const Connection& connection, std::string_view database, std::string_view table);

/// The log's line for a constraint that took a new name.
std::string constraintRenamedEntry(std::string_view from, std::string_view to);
/// The question asked before a copy whose reference would point at a missing parent.
std::string missingParentQuestion(std::string_view table, std::string_view constraint,
                                  std::string_view parent);

}  // namespace velkin
