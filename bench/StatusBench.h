#pragma once

#include <string>

namespace velkin {
class Connection;
}

namespace velkin::bench {

/// The database chart of a database with many tables and the data amount screen of one of them,
/// against the client reading the same table status. login is the tools' login options.
void measureTableStatus(Connection& connection, const std::string& client, const std::string& login,
                        const std::string& port, int tables, int runs);

/// The usage chart of database, which holds tables tables: its figures read and the chart drawn,
/// each against the client reading the same table status.
void measureDatabaseChart(const std::string& client, const std::string& login, const std::string& port,
                          const std::string& database, int tables, int runs);

/// A database of many tables in the object tree (opened, searched, scrolled), against the client
/// listing the same tables.
void measureTree(Connection& connection, const std::string& client, const std::string& login,
                 const std::string& port, int tables, int runs);

}  // namespace velkin::bench
