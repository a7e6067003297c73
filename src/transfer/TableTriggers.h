#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

/// One trigger of a table as statements that make it again.
struct TriggerCopy {
    /// The trigger's name, quoted and qualified by the source's database.
    std::string name;
    /// The sql_mode and collation it was made under, set before its statement.
    std::string settings;
    /// Its CREATE TRIGGER; empty when it could not be read, with the reason in problem.
    std::string statement;
    std::string problem;
};

/// The triggers of database.table (plain names) in the order they fire, each rebuilt from the catalog
/// for the table `onTable` and named within `inDatabase` (both quoted): a dump gives the source's own
/// names, a copy its new ones. ok is false when the server would not list them.
std::vector<TriggerCopy> readTableTriggers(Connection& connection, std::string_view database,
                                           std::string_view table, std::string_view inDatabase,
                                           std::string_view onTable, bool& ok);

}  // namespace velkin
