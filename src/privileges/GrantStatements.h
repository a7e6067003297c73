#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

/// One entry of mysql.db: an account's privileges on a database.
struct DatabaseEntry {
    std::string database;
    std::string host;
    std::string user;
};

/// How a screen writes its change of a mysql.db row: which key columns it rewrites besides Host and
/// the flags, and whether it names the table bare (the default database must then be mysql).
struct DbRowUpdateForm {
    bool setsDatabase = false;
    bool setsUser = false;
    bool bareTable = true;
};

// Statements on rows of mysql.db and mysql.host that several screens send. Values are escaped
// through the connection, so a quote in a host, database or user name stays part of the value.

/// "select * from mysql.db where db = '%s' AND Host = '%s' AND User = '%s'"
std::string dbRowQuery(const Connection& connection, std::string_view database, std::string_view host,
                       std::string_view user);
/// "DELETE FROM mysql.db where " followed by " Host = '%s' AND Db = '%s' AND User = '%s'"
std::string dbRowDelete(const Connection& connection, std::string_view host, std::string_view database,
                        std::string_view user);

/// "UPDATE db SET Host = '%s'[,Db = '%s'][,User = '%s']<flags> where db = '%s' AND Host = '%s' AND
/// User = '%s'" (table mysql.db unless bare): the entry from is rewritten to the key of to.
std::string dbRowUpdate(const Connection& connection, const DbRowUpdateForm& form, const DatabaseEntry& from,
                        const DatabaseEntry& to, const std::vector<bool>& flags);
/// "INSERT INTO mysql.db SET  Host = '%s',Db = '%s',User = '%s'": the privileges take the table's
/// defaults.
std::string dbRowInsert(const Connection& connection, const DatabaseEntry& entry);
/// An entry of the account user@host with the first six privileges named off: "Database addition"
/// writes it for the account being edited, at its own host.
std::string emptyDbRowInsert(const Connection& connection, std::string_view database, std::string_view host,
                             std::string_view user);
/// "select * from mysql.db where Db = '%s'": who holds an entry for a database.
std::string databaseDbRowsQuery(const Connection& connection, std::string_view database);
/// "select * from mysql.db where User = '%s' AND Host = '%s'": the entries of one account (the same
/// user name at another host is another account, or no account at all).
std::string accountDbRowsQuery(const Connection& connection, std::string_view host, std::string_view user);
/// "select * from db": every entry; the default database must be mysql.
std::string allDbRowsQuery();

/// "select * from mysql.host where db = '%s' AND Host = '%s'"
std::string hostRowQuery(const Connection& connection, std::string_view database, std::string_view host);
/// "UPDATE host SET Host = '%s'<flags> where db = '%s' AND Host = '%s'": the table is named bare, so
/// the default database must be mysql.
std::string hostRowUpdate(const Connection& connection, std::string_view newHost,
                          const std::vector<bool>& flags, std::string_view database, std::string_view host);
/// "DELETE FROM mysql.host where " followed by " Host = '%s' AND Db = '%s'"
std::string hostRowDelete(const Connection& connection, std::string_view host, std::string_view database);
/// "INSERT INTO mysql.host SET  Host = '%s',Db = '%s'": the privileges take the table's defaults, so
/// the new host is refused.
std::string hostRowInsert(const Connection& connection, std::string_view host, std::string_view database);
/// "select * from mysql.host where Db = '%s'": the host rows of one database.
std::string databaseHostRowsQuery(const Connection& connection, std::string_view database);
/// "select * from host": every host row; the default database must be mysql.
std::string allHostRowsQuery();
/// "select * from mysql.host": every host row, whatever the default database.
std::string everyHostRowQuery();

}  // namespace velkin
