#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velkin {

class Connection;

/// Writes one table into an SQL script file in text mode: the header line, the table's CREATE TABLE
/// statement, then one INSERT statement per row naming the source database and table, every value
/// escaped and NULL as NULL. The rows come from one streamed read. progress is called after every
/// block of rows with the number written so far. False when the file cannot be created (nothing is
/// sent then).
bool dumpTable(Connection& connection, std::string_view database, std::string_view table,
               const std::string& path, const std::function<void(long long)>& progress = {});

}  // namespace velkin
