#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

/// What a dump did.
struct DumpOutcome {
    /// The file could be created; nothing was sent otherwise.
    bool opened = false;
    /// Rows written into the file.
    long long rows = 0;
    /// What the operator is told when the file is incomplete or does not hold everything; empty when
    /// it holds the whole table.
    std::string failure;
    /// What the file leaves out, one entry each (a trigger, the history, a definition); also in failure.
    std::vector<std::string> notCarried;
};

/// Writes one table into an SQL script file in text mode that the command-line client loads as it
/// stands, into a session in any mode, and that gives that session its settings back at the end:
/// the header of dumpFileHeader (the character set the rows were read in, time zone '+00:00',
/// NO_AUTO_VALUE_ON_ZERO, foreign key checks off, NO_BACKSLASH_ESCAPES when the session escapes that
/// way), the table's CREATE TABLE naming database and table, multi-row INSERTs that name the columns
/// they fill (invisible ones included, generated ones left to the server), each value in the form
/// that comes back bit for bit, then the table's triggers, so that loading the rows fires none.
/// A system-versioned table carries its past row versions where the server lets a session write
/// them; a sequence carries its definition and its next value, a view its definition. What the file
/// cannot hold is named in the outcome. The rows come from one streamed read in the zone '+00:00';
/// progress is called after every block of rows with the number written so far.
/// A set stop flag ends the rows after the block they are in; the file then says it is incomplete.
DumpOutcome dumpTable(Connection& connection, std::string_view database, std::string_view table,
                      const std::string& path, const std::function<void(long long)>& progress = {},
                      const std::atomic<bool>* stop = nullptr);

}  // namespace velkin
