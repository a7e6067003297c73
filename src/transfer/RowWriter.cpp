#include "RowWriter.h"

#include <algorithm>
#include <cstdlib>

#include "CopyStatements.h"

namespace velkin {

namespace {

bool hasMode(std::string_view modes, std::string_view mode) {
    std::size_t start = 0;
    while (start <= modes.size()) {
        const std::size_t end = std::min(modes.find(',', start), modes.size());
        if (modes.substr(start, end - start) == mode)
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

long long countOf(Connection& connection, const std::string& table, bool& ok) {
    Result result = connection.select(countStatement(table));
    Row row = result.fetchRow();
    ok = static_cast<bool>(row);
    return row ? std::strtoll(row.str(0).c_str(), nullptr, 10) : 0;
}

InsertPlan planInserts(Connection& destination, const CopyTable& to) {
    InsertPlan plan;
    const std::string sql = insertPlanQuery(destination, to.database, to.table);
    std::string modes;
    {
        Result result = destination.select(sql);
        Row row = result.fetchRow();
        if (!row)
            return plan;  // a server without a catalog: one statement per row is right everywhere
        const unsigned long long packet = std::strtoull(row.str(0).c_str(), nullptr, 10);
        if (packet > 2 * kPacketMargin)
            plan.statementLimit = static_cast<std::size_t>(packet) - kPacketMargin;
        if (row.text(1) == "YES")
            plan.refusal = Refusal::Nothing;
        else if (row.text(1) == "NO")
            plan.refusal = Refusal::Leading;
        modes = row.str(2);
    }
    // A key of 0 is a value like any other in the source; without this mode the server would give
    // such a row a new number.
    std::string copyModes = modes;
    if (!hasMode(modes, "NO_AUTO_VALUE_ON_ZERO"))
        copyModes += copyModes.empty() ? "NO_AUTO_VALUE_ON_ZERO" : ",NO_AUTO_VALUE_ON_ZERO";
    // A new table is empty and counted at once; the count also tells, should the destination go away
    // during the copy, how many rows had landed.
    plan.rowsBefore = countOf(destination, to.statementName, plan.rowsBeforeKnown);
    if (plan.refusal == Refusal::Leading && !plan.rowsBeforeKnown)
        plan.refusal = Refusal::Unknown;
    // Strict for transactional tables only, a server refuses a bad value in a statement's first row
    // and adjusts it in later rows of a table without transactions. Strict for every table, a row
    // refused alone is refused in company too, where the statement then stops.
    if (plan.refusal == Refusal::Leading && hasMode(modes, "STRICT_TRANS_TABLES") &&
        !hasMode(modes, "STRICT_ALL_TABLES"))
        copyModes += ",STRICT_ALL_TABLES";
    if (copyModes != modes && destination.query(setSqlModeStatement(destination, copyModes)) == 0)
        plan.sqlMode = modes;
    return plan;
}

}  // namespace velkin
