#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ColumnChangeText.h"

namespace velkin {

class Connection;

/// Quotes values through the connection, so that its character set and escaping mode hold.
ValueQuoter valueQuoter(const Connection& connection);

/// The server's description of one column: information_schema where the server has it, else
/// SHOW FULL COLUMNS. Nothing when the column is gone or the server refused both reads.
std::optional<ServerColumn> readServerColumn(Connection& connection, const std::string& database,
                                             const std::string& table, const std::string& field);

}  // namespace velkin
