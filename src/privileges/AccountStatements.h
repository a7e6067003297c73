#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;
class ServerDialect;

// The statements of servers whose accounts are changed with account statements (MariaDB 10.4 on,
// MySQL 5.7 on) and the named-column reads that work on every server. Values are escaped through
// the connection; flags are in the column order of privilegeColumns().

/// 'user'@'host'
std::string accountName(const Connection& connection, std::string_view host, std::string_view user);

/// "CREATE USER 'user'@'host' IDENTIFIED BY 'password'"
std::string createUserStatement(const Connection& connection, std::string_view host, std::string_view user,
                                std::string_view password);
/// "GRANT <ticked> ON *.* TO 'user'@'host'", with " WITH GRANT OPTION" when the Grant box is ticked;
/// empty when nothing is ticked.
std::string globalGrantStatement(const Connection& connection, std::string_view host, std::string_view user,
                                 const std::vector<bool>& flags);
/// "REVOKE <unticked> ON *.* FROM 'user'@'host'" (an unticked Grant box is GRANT OPTION); empty when
/// everything is ticked. Only the privileges the screen shows are named.
std::string globalRevokeStatement(const Connection& connection, std::string_view host, std::string_view user,
                                  const std::vector<bool>& flags);
/// "RENAME USER 'old'@'oldhost' TO 'new'@'newhost'"
std::string renameUserStatement(const Connection& connection, std::string_view oldHost,
                                std::string_view oldUser, std::string_view newHost, std::string_view newUser);
/// "ALTER USER 'user'@'host' IDENTIFIED BY 'password'"
std::string alterPasswordStatement(const Connection& connection, std::string_view host, std::string_view user,
                                   std::string_view password);
/// "DROP USER 'user'@'host'"
std::string dropUserStatement(const Connection& connection, std::string_view host, std::string_view user);

/// The database grants of MySQL 8, where mysql.db is not written directly: GRANT of what is ticked
/// now and was not held, REVOKE of what was held and is unticked now (revoking what is not held fails
/// there). Empty when nothing changes.
std::vector<std::string> databaseGrantStatements(const Connection& connection, std::string_view database,
                                                 std::string_view host, std::string_view user,
                                                 const std::vector<bool>& held,
                                                 const std::vector<bool>& wanted);
/// A whole database entry goes: "REVOKE ALL PRIVILEGES ON `db`.* FROM 'user'@'host'", and before it
/// "REVOKE GRANT OPTION ON `db`.* FROM 'user'@'host'" when the entry held it (ALL does not include it,
/// and the two cannot be one statement at the database level).
std::vector<std::string> databaseRevokeAllStatements(const Connection& connection, std::string_view database,
                                                     std::string_view host, std::string_view user,
                                                     const std::vector<bool>& held);

/// The columns of an account row that every screen reads, by name, so that positions are those of
/// the classic layout on every server: Host, User, Password (or '' where the column is gone) and the
/// fourteen global privileges.
std::string accountColumns(const ServerDialect& dialect);
/// The condition that leaves roles out of the accounts (roles are not accounts one logs in with);
/// empty where the server has no roles. Its alias for mysql.user is u.
std::string notARoleCondition(const ServerDialect& dialect);
/// "select <accountColumns> from mysql.user u [where <not a role>]": every account.
std::string accountRowsQuery(const ServerDialect& dialect);
/// The same for one account.
std::string accountRowQuery(const Connection& connection, std::string_view host, std::string_view user);

/// The grant tables that hold privilege rows of an account below the global level, by user and host:
/// db, tables_priv, columns_priv and, from 5.0 on, procs_priv.
std::vector<const char*> privilegeRowTables(const ServerDialect& dialect);
/// The hosts at which the user name holds privilege rows (db, tables, columns, routines) although no
/// account of that name has the host: such rows still apply to that name connecting from there, and
/// pass to whoever is given the account later. One column, Host, each host once.
std::string orphanGrantHostsQuery(const Connection& connection, std::string_view user);
/// The deletes of those rows: "DELETE FROM mysql.db where  User = '%s' AND Host NOT IN (SELECT Host
/// FROM mysql.user WHERE User = '%s')" and the same for the other tables.
std::vector<std::string> orphanGrantRowsDelete(const Connection& connection, std::string_view user);

}  // namespace velkin
