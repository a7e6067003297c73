#include "TableTriggers.h"

#include "DumpText.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

std::vector<TriggerCopy> readTableTriggers(Connection& connection, std::string_view database,
                                           std::string_view table, std::string_view inDatabase,
                                           std::string_view onTable, bool& ok) {
    std::vector<TriggerCopy> triggers;
    Result list = connection.select(tableTriggersQuery(connection, database, table));
    ok = list || connection.errorNumber() == 0;
    struct Line {
        std::string name, timing, event, definer, sqlMode, collation;
    };
    std::vector<Line> lines;
    while (Row row = list.fetchRow())
        lines.push_back({row.str(0), row.str(1), row.str(2), row.str(3), row.str(4), row.str(5)});
    for (const Line& line : lines) {
        TriggerCopy trigger;
        trigger.name = qualifiedName(connection, database, line.name);
        Result create = connection.select(showCreateTriggerStatement(trigger.name));
        Row row = create.fetchRow();
        if (!row) {
            trigger.problem =
                connection.errorNumber() != 0 ? connection.errorLine() : "the server gave no answer";
            triggers.push_back(std::move(trigger));
            continue;
        }
        const std::string newName = std::string(inDatabase) + "." + quoteName(connection, line.name);
        const std::optional<std::string> statement =
            createTriggerStatement(line.definer, newName, line.timing, line.event, onTable, row.text(2));
        if (statement)
            trigger.statement = *statement;
        else
            trigger.problem = "its body could not be told apart";
        trigger.settings = triggerSettingsStatement(connection, line.sqlMode, line.collation);
        triggers.push_back(std::move(trigger));
    }
    return triggers;
}

}  // namespace velkin
