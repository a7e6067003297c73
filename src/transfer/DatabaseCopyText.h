#pragma once

#include <string>
#include <string_view>

namespace velkin {

class Connection;

// What a database's copy carries besides its tables and views: sequences with the value they have
// reached, and triggers, created after the rows so that copying does not fire them.

/// "SHOW CREATE SEQUENCE db.name"; names arrive quoted.
std::string showCreateSequenceStatement(std::string_view qualified);
/// A sequence's CREATE text naming database.sequence instead of the bare name.
std::string createSequenceForNewName(std::string_view createText, std::string_view qualified);
/// The value a sequence hands out next, as its table row holds it.
std::string sequenceNextValueQuery(std::string_view qualified);
/// "SELECT SETVAL(sequence, value, 0)": the copy hands out the same value next.
std::string setSequenceStatement(std::string_view qualified, std::string_view nextValue);

/// The triggers of a database, in the order of their tables and of their firing; the name is plain.
std::string databaseTriggersQuery(const Connection& connection, std::string_view database);
/// "SHOW CREATE TRIGGER db.name": its mode, its statement and the character set it was written in.
std::string showCreateTriggerStatement(std::string_view qualified);
/// "SELECT DATABASE(), @@SESSION.sql_mode": what a trigger's creation borrows and gives back.
std::string sessionDatabaseAndModeQuery();

/// Whether a table keeps the history of its rows (field 0 "1"), and the names of its row start and
/// row end columns where it names them itself (fields 1 and 2, NULL otherwise); no row for no table.
std::string versioningQuery(const Connection& connection, std::string_view database, std::string_view table);
/// "SELECT @@SESSION.system_versioning_insert_history": fails where the server cannot take history.
std::string insertHistoryQuery();
std::string setInsertHistoryStatement(bool on);
/// "select columns from table FOR SYSTEM_TIME ALL": current and past rows alike.
std::string readHistoryStatement(std::string_view table, std::string_view columns);

}  // namespace velkin
