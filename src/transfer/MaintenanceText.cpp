#include "MaintenanceText.h"

#include <cstdio>

#include "TextModeFile.h"
#include "session/PrivateFile.h"
#include "session/SqlText.h"

namespace velkin {

std::string repairStatement(std::string_view table, RepairOptions options) {
    std::string sql = sqlf("REPAIR TABLE %s", table);
    if (options.quick)
        sql += " QUICK";
    if (options.extended)
        sql += " EXTENDED";
    return sql;
}

std::string checkStatement(std::string_view table, CheckOptions options) {
    std::string sql = sqlf("CHECK TABLE %s", table);
    if (options.quick)
        sql += " QUICK";
    if (options.extended)
        sql += " Extended";
    if (options.fast)
        sql += " Fast";
    if (options.changed)
        sql += " CHANGED";
    if (options.medium)
        sql += " MEDIUM";
    return sql;
}

std::string analyzeStatement(std::string_view table) {
    return sqlf("ANALYZE TABLE %s", table);
}

std::string optimizeStatement(std::string_view table) {
    return sqlf("OPTIMIZE TABLE %s", table);
}

std::string backupStatement(std::string_view table, std::string_view directory) {
    return sqlf("BACKUP TABLE %s TO '%s'", table, directory);
}

std::string restoreStatement(std::string_view table, std::string_view directory) {
    return sqlf("RESTORE TABLE %s FROM '%s'", table, directory);
}

std::string conversionStatement(std::string_view table, std::string_view keyword, std::string_view type) {
    return sqlf("ALTER TABLE %s %s=%s", table, keyword, type);
}

std::string verdictText(const Row& row) {
    return sqlf("%s %s", row.text(2), row.text(3));
}

std::string maintenanceRunningText(std::string_view statement, long long seconds) {
    return sqlf("Running: %s (%lld s)", statement, seconds);
}

std::string maintenanceStoppedVerdict() {
    return "Stopped before it finished";
}

std::string maintenanceStoppedText(std::string_view statement, std::string_view why) {
    std::string text = sqlf("%s was stopped before it finished; the server ended it.", statement);
    if (!why.empty())
        text += sqlf("\n%s", why);
    return text;
}

std::string maintenanceLogLine(unsigned long long seconds, std::string_view database, std::string_view table,
                               std::string_view directory, std::string_view login, std::string_view host) {
    return sqlf("%lu %s.%s %s %s %s\n", seconds, database, table, directory, login, host);
}

bool appendToLog(const std::string& path, std::string_view line) {
    std::FILE* file = openPrivateFile(path, PrivateFileMode::Append);
    if (!file)
        return false;
    const std::string text = toTextModeLineEnds(line);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace velkin
