#include "DatabaseCopyText.h"

#include "CopyText.h"
#include "session/SqlText.h"

namespace velkin {

std::string showCreateSequenceStatement(std::string_view qualified) {
    return sqlf("SHOW CREATE SEQUENCE %s", qualified);
}

std::string createSequenceForNewName(std::string_view createText, std::string_view qualified) {
    // "CREATE SEQUENCE `name` start with ...": the name is the third word, quoted or bare.
    constexpr std::string_view head = "CREATE SEQUENCE ";
    if (createText.substr(0, head.size()) != head)
        return std::string(createText);
    std::size_t end = head.size();
    if (end < createText.size() && createText[end] == '`') {
        for (++end; end < createText.size(); ++end) {
            if (createText[end] != '`')
                continue;
            if (end + 1 < createText.size() && createText[end + 1] == '`') {
                ++end;
                continue;
            }
            ++end;
            break;
        }
    } else {
        end = createText.find(' ', end);
        if (end == std::string_view::npos)
            end = createText.size();
    }
    return sqlf("CREATE SEQUENCE %s%s", qualified, createText.substr(end));
}

std::string sequenceNextValueQuery(std::string_view qualified) {
    return sqlf("SELECT next_not_cached_value FROM %s", qualified);
}

std::string setSequenceStatement(std::string_view qualified, std::string_view nextValue) {
    return sqlf("SELECT SETVAL(%s, %s, 0)", qualified, nextValue);
}

std::string databaseTriggersQuery(const Connection& connection, std::string_view database) {
    return sqlf(
        "SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = '%s' ORDER BY "
        "EVENT_OBJECT_TABLE, EVENT_MANIPULATION, ACTION_TIMING, ACTION_ORDER",
        escapeValue(connection, database));
}

std::string showCreateTriggerStatement(std::string_view qualified) {
    return sqlf("SHOW CREATE TRIGGER %s", qualified);
}

std::string sessionDatabaseAndModeQuery() {
    return "SELECT DATABASE(), @@SESSION.sql_mode";
}

std::string versioningQuery(const Connection& connection, std::string_view database, std::string_view table) {
    const std::string db = escapeValue(connection, database);
    const std::string name = escapeValue(connection, table);
    const std::string column = sqlf(
        "(SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s' "
        "AND GENERATION_EXPRESSION = ",
        db, name);
    return sqlf(
        "SELECT TABLE_TYPE = 'SYSTEM VERSIONED', %s'ROW START'), %s'ROW END') FROM "
        "information_schema.TABLES WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s'",
        column, column, db, name);
}

std::string insertHistoryQuery() {
    return "SELECT @@SESSION.system_versioning_insert_history";
}

std::string setInsertHistoryStatement(bool on) {
    return sqlf("SET SESSION system_versioning_insert_history = %d", on ? 1 : 0);
}

std::string readHistoryStatement(std::string_view table, std::string_view columns) {
    return sqlf("select %s from %s FOR SYSTEM_TIME ALL", columns, table);
}

}  // namespace velkin
