#include "CopyCreate.h"

#include "ForeignKeyText.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

bool tableExists(Connection& connection, const std::string& database, const std::string& table) {
    Result rows = connection.select(tableExistsQuery(connection, database, table));
    return static_cast<bool>(rows.fetchRow());
}

std::vector<std::string> foreignKeyNames(Connection& connection, const std::string& database) {
    std::vector<std::string> names;
    Result rows = connection.select(foreignKeyNamesQuery(connection, database));
    while (Row row = rows.fetchRow())
        names.push_back(row.str(0));
    return names;
}

bool sameName(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::optional<CopyCreate> fitCreateForCopy(Connection& destination, Operator& op,
                                           const std::string& createText, const std::string& sourceTable,
                                           const CopyDestination& to) {
    CopyCreate fitted{createText, {}};
    if (foreignKeyClauses(fitted.text).empty())
        return fitted;
    fitted.text =
        withParentRenamed(fitted.text, foreignKeyClauses(fitted.text), sourceTable, to.statementName);

    std::vector<ForeignKeyClause> clauses = foreignKeyClauses(fitted.text);
    std::vector<ForeignKeyClause> drop;
    for (const ForeignKeyClause& clause : clauses) {
        const std::string database = clause.parentDatabase.empty() ? to.database : clause.parentDatabase;
        const bool itself = sameName(database, to.database) && sameName(clause.parentTable, to.table);
        if (itself || tableExists(destination, database, clause.parentTable))
            continue;
        const std::string parent =
            quoteName(destination, database) + "." + quoteName(destination, clause.parentTable);
        const std::string constraint =
            clause.name.empty() ? std::string() : quoteName(destination, clause.name);
        if (!op.ask(qs(missingParentQuestion(to.statementName, constraint, parent))))
            return std::nullopt;
        drop.push_back(clause);
    }
    fitted.text = withoutForeignKeys(fitted.text, drop);

    clauses = foreignKeyClauses(fitted.text);
    std::vector<std::string> taken = foreignKeyNames(destination, to.database);
    std::vector<std::string> names(clauses.size());
    for (std::size_t i = 0; i < clauses.size(); ++i) {
        const std::string& name = clauses[i].name;
        bool clash = false;
        for (const std::string& t : taken)
            clash = clash || sameName(t, name);
        if (name.empty() || !clash)
            continue;
        // A name the server made for the source's table is made for the copy's in the same way.
        const std::string serverMade = sourceTable + "_ibfk_";
        std::string fresh;
        if (!sourceTable.empty() && name.size() > serverMade.size() &&
            sameName(name.substr(0, serverMade.size()), serverMade)) {
            fresh = to.table + "_ibfk_" + name.substr(serverMade.size());
            for (const std::string& t : taken)
                if (sameName(t, fresh))
                    fresh.clear();
        }
        if (fresh.empty())
            fresh = freeConstraintName(name, taken);
        taken.push_back(fresh);
        names[i] = quoteName(destination, fresh);
        fitted.notes.push_back(constraintRenamedEntry(quoteName(destination, name), names[i]));
    }
    fitted.text = withConstraintNames(fitted.text, clauses, names);
    return fitted;
}

}  // namespace velkin
