#pragma once

#include <QString>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "ChartText.h"

namespace velkin {

class Connection;

// What the charts read from the server. The server chart lists its databases twice, once for the sums
// and once for the rows, as it always has; the database chart reads its tables and their figures with
// one statement. The figures of each database or table are read once.
// A survey given a stop flag reads no further figures once it is set: what is left unread is drawn as
// unreadable, so a stopped chart shows what it had.

/// The figures of every table of a database added up ("SHOW TABLE STATUS FROM %s"); none when the
/// database cannot be read.
std::optional<TableAmount> readDatabaseUsage(Connection& connection, const std::string& database);
/// The figures of one table ("SHOW TABLE STATUS FROM %s Like '%s'"); none when the statement fails
/// or gives no row.
std::optional<TableAmount> readTableUsage(Connection& connection, const std::string& database,
                                          const std::string& table);

/// The databases of the server and their figures.
UsageSurvey surveyServer(Connection& connection, const std::atomic<bool>* stop = nullptr);
/// The tables of one database and their figures, read with one status statement for the database.
/// Only when that statement fails are the tables listed (twice, with a bare "SHOW TABLES", after the
/// database is selected) and read one by one.
UsageSurvey surveyDatabase(Connection& connection, const std::string& database,
                           const std::atomic<bool>* stop = nullptr);

/// The rows of a `select *` on a grant table.
GrantRows readGrantRows(Connection& connection, const std::string& statement);
/// Every database of the server with its rows of mysql.db; none when the databases cannot be listed.
std::optional<std::vector<DatabaseGrants>> surveyDatabaseGrants(Connection& connection,
                                                                const std::atomic<bool>* stop = nullptr);

/// The chart of a chart kind as the object tree sets it, drawn from the server: 0 server usage,
/// 1 database usage, 2 access and 3 user restrictions of the database, 4 host, 5 database and 6 user
/// overview. Any other kind draws nothing (a layout without height). Nothing here touches a widget,
/// so the survey may run beside the window's thread.
ChartLayout chartOfKind(int kind, Connection& connection, const QString& hostName, const QString& database,
                        const std::atomic<bool>* stop = nullptr);

}  // namespace velkin
