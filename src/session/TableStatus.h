#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

/// The storage figures of one table from its table status row. Sizes are 64-bit, so tables of
/// 4 GB and more are shown whole.
struct TableStatus {
    std::string name;
    std::string type;
    std::string rowFormat;
    std::uint64_t rows = 0;
    std::uint64_t avgRowLength = 0;
    std::uint64_t data = 0;
    std::uint64_t max = 0;
    std::uint64_t index = 0;
    std::uint64_t free = 0;
    std::string created;
    std::string updated;
    std::string checked;
    std::string options;
};

/// Reads a table status row by column name ("Engine" or "Type", "Row_format", ...), because servers
/// since 4.1 put "Version", "Collation" and "Checksum" between the old positions. A column whose name
/// is not known is read at its old position. NULL counts as 0 or empty text.
TableStatus parseTableStatus(const std::vector<std::string>& fieldNames,
                             const std::vector<std::optional<std::string>>& cells);

/// What one table status statement gave.
struct TableStatusList {
    enum class Outcome { QueryFailed, NoResult, Read };
    Outcome outcome = Outcome::QueryFailed;
    /// In the server's order; empty when nothing was read.
    std::vector<TableStatus> tables;

    bool read() const { return outcome == Outcome::Read; }
};

/// Every table of a database with one statement. A database with a table the server cannot open
/// fails as a whole; the connection keeps the error.
TableStatusList readTableStatus(Connection& connection, std::string_view database);
/// The status of exactly this table (its name matched literally, not as a pattern): at most one row.
TableStatusList readTableStatus(Connection& connection, std::string_view database, std::string_view table);

}  // namespace velkin
