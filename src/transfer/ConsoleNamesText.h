#pragma once

#include <string>
#include <string_view>

namespace velkin {

class Connection;

/// The database unqualified names refer to: one row, NULL when none is in use.
std::string currentDatabaseQuery();
/// The tables and views of one database, one name a row.
std::string tableNamesStatement(const Connection& connection, std::string_view database);

}  // namespace velkin
