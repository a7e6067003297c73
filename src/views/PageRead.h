#pragma once

#include <QString>
#include <atomic>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "KeyPageText.h"
#include "RecordListText.h"
#include "session/PackedRows.h"

namespace velkin {

class Connection;

/// What the record list knows of its table's key from one read to the next.
struct PageKeying {
    /// Whether the table's key was looked up; that happens once per list.
    bool looked = false;
    /// The columns the table pages by; empty when it has no key to page by and pages by offset.
    std::vector<std::string> key;
    ShownKeyPage shown;
    /// The last exact count and the filter's conditions it was made with.
    std::optional<long long> count;
    std::string countConditions;
    /// The catalog's estimate of an InnoDB table too big to count before its first page is shown;
    /// nothing for other tables, which are counted at once.
    std::optional<long long> estimate;
};

/// InnoDB tables of at least this many rows (by the catalog's estimate) show the estimate with their
/// first page and are counted afterwards.
long long countLaterFrom();
void setCountLaterFrom(long long rows);

/// Which rows the record list asks for: taken when the read starts, so that a read keeps its table
/// and page while the person moves on.
struct PageRequest {
    std::string database;
    std::string table;
    FilterConditions conditions;
    bool filterActive = false;
    int page = 0;
    int pageLength = 0;
    PageKeying keying;
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
    /// The row count; nothing when the count could not be had or is left for later (countLater).
    std::optional<std::string> count;
    /// True when the table is counted after its page is shown; keying.estimate stands meanwhile.
    bool countLater = false;
    /// The server's number and text when a step failed.
    unsigned errorNumber = 0;
    std::string errorText;
    std::time_t start = 0;
    std::time_t resultTime = 0;
    std::time_t done = 0;
    /// The request's keying, brought up to date by this read.
    PageKeying keying;
};

/// Reads the columns, one page of rows and the row count of the request's table, as the record list
/// shows them; meant to run beside the window with the connection held.
PageRead readPage(Connection& connection, const PageRequest& request);

/// Counts the rows of a read whose count was left for later; the count text, or nothing when the
/// server did not answer (or the count was stopped). The keying learns the count.
std::optional<std::string> countRows(Connection& connection, const std::string& countStatement,
                                     PageKeying& keying);

}  // namespace velkin
