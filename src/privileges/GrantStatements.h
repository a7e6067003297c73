#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

// Statements on rows of mysql.db and mysql.host that several screens send. Values are escaped
// through the connection, so a quote in a host, database or user name stays part of the value.

/// "select * from mysql.db where db = '%s' AND Host = '%s' AND User = '%s'"
std::string dbRowQuery(const Connection& connection, std::string_view database, std::string_view host,
                       std::string_view user);
/// "DELETE FROM mysql.db where " followed by " Host = '%s' AND Db = '%s' AND User = '%s'"
std::string dbRowDelete(const Connection& connection, std::string_view host, std::string_view database,
                        std::string_view user);

/// "select * from mysql.host where db = '%s' AND Host = '%s'"
std::string hostRowQuery(const Connection& connection, std::string_view database, std::string_view host);
/// "UPDATE host SET Host = '%s'<flags> where db = '%s' AND Host = '%s'": the table is named bare, so
/// the default database must be mysql.
std::string hostRowUpdate(const Connection& connection, std::string_view newHost,
                          const std::vector<bool>& flags, std::string_view database, std::string_view host);
/// "DELETE FROM mysql.host where " followed by " Host = '%s' AND Db = '%s'"
std::string hostRowDelete(const Connection& connection, std::string_view host, std::string_view database);

}  // namespace velkin
