#pragma once

#include <QString>
#include <atomic>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "RecordListText.h"
#include "session/PackedRows.h"

namespace velkin {

class Connection;

/// Which rows the record list asks for: taken when the read starts, so that a read keeps its table
/// and page while the person moves on.
struct PageRequest {
    std::string database;
    std::string table;
    FilterConditions conditions;
    bool filterActive = false;
    int page = 0;
    int pageLength = 0;
};

/// What a read of one page brought back.
struct PageRead {
    enum class End { Done, NoColumns, Refused, Unread };
    End end = End::Done;
    std::vector<std::string> columns;
    /// The conditions, one per column in each set.
    FilterConditions conditions;
    ListStatements statements;
    /// At most a page of rows.
    PackedRows rows;
    /// The row count; nothing when the count could not be had.
    std::optional<std::string> count;
    /// The server's number and text when a step failed.
    unsigned errorNumber = 0;
    std::string errorText;
    std::time_t start = 0;
    std::time_t resultTime = 0;
    std::time_t done = 0;
};

/// Reads the columns, one page of rows and the row count of the request's table, as the record list
/// shows them; meant to run beside the window with the connection held.
PageRead readPage(Connection& connection, const PageRequest& request);

}  // namespace velkin
