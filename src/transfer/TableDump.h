#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velkin {

class Connection;

/// What a dump did.
struct DumpOutcome {
    /// The file could be created; nothing was sent otherwise.
    bool opened = false;
    /// Rows written into the file.
    long long rows = 0;
    /// What the operator is told when the file is incomplete; empty when every row is in it.
    std::string failure;
};

/// Writes one table into an SQL script file in text mode that the command-line client loads as it
/// stands: a comment line, the session's character set, time zone '+00:00' (and the
/// NO_BACKSLASH_ESCAPES mode when the session escapes that way), the table's CREATE TABLE statement
/// naming database and table, then multi-row INSERT statements naming the same, every value escaped
/// and NULL as NULL. The rows come from one streamed read in the same zone. progress is called after
/// every block of rows with the number written so far.
DumpOutcome dumpTable(Connection& connection, std::string_view database, std::string_view table,
                      const std::string& path, const std::function<void(long long)>& progress = {});

}  // namespace velkin
