#pragma once

#include <string>
#include <vector>

namespace velkin {

class Connection;

/// Whether the server has InnoDB: "have_innobase" where the server still reports it, else its
/// engine list. False when the variables cannot be read.
bool serverHasInnobase(Connection& connection);
/// The table types offered for this server, sorted: MyISAM, ISAM, HEAP and, with InnoDB, INNOBASE.
std::vector<std::string> offeredTableTypes(Connection& connection);
/// The table types this server can make, from its engine list (see tableTypesFromEngines); the
/// fixed list above when the server has no engine list.
std::vector<std::string> serverTableTypes(Connection& connection);

}  // namespace velkin
