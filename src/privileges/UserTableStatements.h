#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;
class ServerDialect;

// The statements of servers whose accounts are rows of the classic mysql.user table, written
// directly. Values are escaped through the connection; flags are in the column order of
// privilegeColumns(GrantTable::User).

/// "Host = '%s',User = '%s'": the key part that begins the SET clauses of an account's rows.
std::string hostUserKeyPart(const Connection& connection, std::string_view host, std::string_view user);

/// "select * from mysql.user where Host = '%s' AND User = '%s'"
std::string userRowQuery(const Connection& connection, std::string_view host, std::string_view user);
/// "select * from user": every account; the default database must be mysql.
std::string allUserRowsQuery();
/// "select * from mysql.user": every account row, whatever the default database.
std::string everyUserRowQuery();
/// "select Host,User from mysql.user", without roles where the server has them and accounts are
/// changed with statements.
std::string accountKeysQuery(const ServerDialect& dialect);

/// "INSERT INTO user SET Host = '%s',User = '%s',Password = PASSWORD('%s')<flags>"
std::string userRowInsert(const Connection& connection, std::string_view host, std::string_view user,
                          std::string_view password, const std::vector<bool>& flags);
/// "UPDATE user SET Host = '%s',User = '%s'[,Password = PASSWORD('%s')]<flags> where Host = '%s' AND
/// User = '%s'": the account at keyHost/keyUser takes the new key, password (when given) and flags.
std::string userRowUpdate(const Connection& connection, std::string_view host, std::string_view user,
                          const std::optional<std::string_view>& password, const std::vector<bool>& flags,
                          std::string_view keyHost, std::string_view keyUser);
/// "UPDATE mysql.db SET Host = '%s',User = '%s' where User = '%s' AND Host = '%s'" and the same for the
/// table, column and routine grants: the privilege rows of one account follow its new key, as RENAME
/// USER moves them (the same user name at another host keeps its own, and nobody who gets the old name
/// later inherits them).
std::vector<std::string> accountGrantRowsMove(const Connection& connection, std::string_view host,
                                              std::string_view user, std::string_view keyHost,
                                              std::string_view keyUser);

/// "DELETE FROM mysql.user where  Host = '%s' AND User = '%s'"
std::string userRowDelete(const Connection& connection, std::string_view host, std::string_view user);
/// The deletes of every privilege row of one account, as DROP USER removes them: "DELETE FROM mysql.db
/// where  User = '%s' AND Host = '%s'", then its table, column and routine grants, so that whoever
/// gets the name later does not inherit them.
std::vector<std::string> accountGrantRowsDelete(const Connection& connection, std::string_view host,
                                                std::string_view user);

}  // namespace velkin
