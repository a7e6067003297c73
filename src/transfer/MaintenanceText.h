#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "session/Connection.h"

namespace velkin {

// The statements, verdicts and log lines of the maintenance screen. Tables arrive as qualified
// names already quoted for the server; directories are the operator's values, already escaped.

struct RepairOptions {
    bool quick = false;
    bool extended = false;
};
std::string repairStatement(std::string_view table, RepairOptions options);

struct CheckOptions {
    bool quick = false;
    bool fast = false;
    bool changed = false;
    bool medium = false;
    bool extended = false;
};
std::string checkStatement(std::string_view table, CheckOptions options);

std::string analyzeStatement(std::string_view table);
std::string optimizeStatement(std::string_view table);
std::string backupStatement(std::string_view table, std::string_view directory);
std::string restoreStatement(std::string_view table, std::string_view directory);
/// ALTER TABLE with the server's table type clause.
std::string conversionStatement(std::string_view table, std::string_view keyword, std::string_view type);

/// The server's one-line verdict of a maintenance row: message type and text.
std::string verdictText(const Row& row);

/// What the screen shows while a statement runs.
std::string maintenanceRunningText(std::string_view statement, long long seconds);
/// The verdict field of a statement that Stop ended: it has no verdict of its own.
std::string maintenanceStoppedVerdict();
/// What the operator is told when Stop ended a statement; why: the server's "%d:%s" or its verdict.
std::string maintenanceStoppedText(std::string_view statement, std::string_view why);

/// One line of Backup.log or restore.log.
std::string maintenanceLogLine(unsigned long long seconds, std::string_view database, std::string_view table,
                               std::string_view directory, std::string_view login, std::string_view host);
/// Appends a line to a log in text mode, creating the file when missing; false when it cannot be
/// opened.
bool appendToLog(const std::string& path, std::string_view line);

}  // namespace velkin
