#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;

/// One line of a table's column list as the server gives it; cells that were NULL stay empty.
struct FieldLine {
    std::vector<std::optional<std::string>> cells;

    std::string cell(std::size_t i) const { return i < cells.size() && cells[i] ? *cells[i] : std::string(); }
    std::string name() const { return cell(0); }
    std::string type() const { return cell(1); }
    std::string key() const { return cell(3); }
};

/// The columns of a table in their order; nothing when the server refused the list (the connection
/// keeps the error).
std::optional<std::vector<FieldLine>> readFieldLines(Connection& connection, std::string_view database,
                                                     std::string_view table);

}  // namespace velkin
