#pragma once

#include <string>
#include <string_view>

namespace velkin {

class Connection;

// The statements of the CSV screens besides the LOAD DATA statement itself.

/// Makes the database the session's own, so that its tables can be listed.
std::string useDatabaseStatement(const Connection& connection, std::string_view database);
/// The first thing the server had to say about the statement before: level, code, message.
std::string firstWarningStatement();
/// The records the statement before changed; -1 when it failed.
std::string rowCountStatement();
/// One row, YES or NO: whether the table's engine undoes a refused statement whole.
std::string tableTransactionsQuery(const Connection& connection, std::string_view database,
                                   std::string_view table);

}  // namespace velkin
