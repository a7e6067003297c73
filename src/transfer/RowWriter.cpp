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
    if (plan.refusal != Refusal::Leading)
        return plan;
    bool counted = false;
    plan.rowsBefore = countOf(destination, to.statementName, counted);
    if (!counted) {
        plan.refusal = Refusal::Unknown;
        return plan;
    }
    // Strict for transactional tables only, a server refuses a bad value in a statement's first row
    // and adjusts it in later rows of a table without transactions. Strict for every table, a row
    // refused alone is refused in company too, where the statement then stops.
    if (hasMode(modes, "STRICT_TRANS_TABLES") && !hasMode(modes, "STRICT_ALL_TABLES") &&
        destination.query(setSqlModeStatement(destination, modes + ",STRICT_ALL_TABLES")) == 0)
        plan.sqlMode = modes;
    return plan;
}

}  // namespace velkin
