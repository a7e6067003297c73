#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velkin {

class Connection;
class Operator;

/// A table's CREATE text made fit for the database it is copied into, and what the copy's log says
/// about the changes.
struct CopyCreate {
    std::string text;
    std::vector<std::string> notes;
};

/// Where a copied table goes: its database and name as plain names, and its name as statements
/// write it.
struct CopyDestination {
    std::string database;
    std::string table;
    std::string statementName;
};

/// Fits the foreign keys of createText to the destination before anything is created: a reference
/// of the table to itself refers to the copy; a reference to a parent the destination lacks is
/// named to the operator, who may copy without it (nothing when they decline); a constraint name
/// the destination's database already has is made unique, as the database allows one of each.
/// sourceTable is the plain name the text's own references to the table use.
std::optional<CopyCreate> fitCreateForCopy(Connection& destination, Operator& op,
                                           const std::string& createText, const std::string& sourceTable,
                                           const CopyDestination& to);

}  // namespace velkin
