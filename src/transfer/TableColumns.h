#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ColumnFormText.h"
#include "CopyStatements.h"

namespace velkin {

class Connection;

/// The kind and the columns of one table from the server's catalog, for carriedColumns. Columns
/// stay empty (found() false) when the catalog cannot be read or does not know the table; the kind
/// is then Table.
TableColumns readTableColumns(Connection& connection, std::string_view database, std::string_view table);

/// The columns of the table's unique keys as uniqueKeysQuery lists them; empty when there are none
/// or the catalog cannot be read.
std::vector<KeyColumnLine> readUniqueKeys(Connection& connection, std::string_view database,
                                          std::string_view table);

}  // namespace velkin
