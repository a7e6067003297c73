#pragma once

#include <string>
#include <string_view>

namespace velkin {

class Connection;

// What a copy needs of its session besides its rows: the settings a trigger is made under, and the
// permission to write the history of versioned tables. Sequences and triggers are read as the dump
// reads them (DumpText.h, TableTriggers.h).

/// "SELECT @@SESSION.sql_mode, @@SESSION.collation_connection": what making a trigger borrows.
std::string sessionModeQuery();

/// "SELECT @@SESSION.system_versioning_insert_history": fails where the server cannot take history.
std::string insertHistoryQuery();
std::string setInsertHistoryStatement(bool on);

}  // namespace velkin
