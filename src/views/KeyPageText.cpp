#include "KeyPageText.h"

#include <QRegularExpression>
#include <algorithm>

#include "session/Connection.h"
#include "session/SqlText.h"
#include "transfer/CopyStatements.h"

namespace velkin {

KeyPageAsk keyPageAsk(int page, int pageLength, const std::string& conditions, const ShownKeyPage& shown,
                      std::optional<long long> count) {
    KeyPageAsk ask;
    ask.rows = pageLength;
    if (page <= 0)
        return ask;
    const bool sameRows = shown.page >= 0 && shown.pageLength == pageLength && shown.conditions == conditions;
    if (sameRows && page == shown.page + 1 && !shown.last.empty()) {
        ask.way = KeyPageAsk::Way::After;
        ask.bound = shown.last;
        return ask;
    }
    if (sameRows && page == shown.page - 1 && !shown.first.empty()) {
        ask.way = KeyPageAsk::Way::Before;
        ask.bound = shown.first;
        return ask;
    }
    const long long skip = static_cast<long long>(page) * pageLength;
    ask.way = KeyPageAsk::Way::Offset;
    ask.skip = skip;
    if (count && skip < *count && *count - skip < skip) {
        // Nearer the end: the last page costs as little as the first.
        const long long rows = std::min<long long>(pageLength, *count - skip);
        ask.way = KeyPageAsk::Way::FromEnd;
        ask.skip = *count - skip - rows;
        ask.rows = static_cast<int>(rows);
    }
    return ask;
}

namespace {

std::string joined(const std::vector<std::string>& names, const char* each) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name + each;
    return text;
}

}  // namespace

std::string keyedPageStatement(const Connection& connection, const std::string& database,
                               const std::string& table, const std::vector<std::string>& key,
                               const std::string& conditions, const KeyPageAsk& ask) {
    std::vector<std::string> names;
    for (const std::string& column : key)
        names.push_back(quoteName(connection, column));
    const std::string from = qualifiedName(connection, database, table);
    const std::string order = joined(names, "");
    const std::string filter = conditions.empty() ? std::string() : "(" + conditions + ")";
    const auto where = [&filter](const std::string& more) {
        const std::string both = bothConditions(filter, more);
        return both.empty() ? std::string() : " WHERE " + both;
    };
    switch (ask.way) {
        case KeyPageAsk::Way::Start:
            return sqlf("select * from %s%s ORDER BY %s LIMIT 0,%d", from, where({}), order, ask.rows);
        case KeyPageAsk::Way::After:
            return sqlf("select * from %s%s ORDER BY %s LIMIT %d", from,
                        where(keyAfterCondition(connection, names, ask.bound)), order, ask.rows);
        case KeyPageAsk::Way::Before:
            return sqlf("select * from (select * from %s%s ORDER BY %s LIMIT %d) p ORDER BY %s", from,
                        where(keyBeforeCondition(connection, names, ask.bound)), joined(names, " DESC"),
                        ask.rows, order);
        case KeyPageAsk::Way::Offset:
        case KeyPageAsk::Way::FromEnd:
            // The skipped rows are counted in the key alone; only the page's rows are read whole.
            return sqlf(
                "select t.* from %s t JOIN (select %s from %s%s ORDER BY %s LIMIT %lld,%d) k USING (%s) "
                "ORDER BY %s",
                from, order, from, where({}),
                ask.way == KeyPageAsk::Way::FromEnd ? joined(names, " DESC") : order, ask.skip, ask.rows,
                order, order);
    }
    return {};
}

std::string tableEstimateQuery(const Connection& connection, const std::string& database,
                               const std::string& table) {
    return sqlf(
        "SELECT ENGINE, TABLE_ROWS FROM information_schema.TABLES WHERE TABLE_SCHEMA = %s AND TABLE_NAME = "
        "%s",
        quoteValue(connection, database), quoteValue(connection, table));
}

std::string estimateText(long long rows) {
    std::string digits = std::to_string(std::max(0LL, rows));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return "about " + digits;
}

bool conditionsOrderRows(const FilterConditions& conditions) {
    static const QRegularExpression ordering(QStringLiteral("\\b(order\\s+by|limit|procedure|into)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    for (const auto& set : conditions)
        for (const std::string& condition : set)
            if (!condition.empty() && ordering.match(QString::fromStdString(condition)).hasMatch())
                return true;
    return false;
}

}  // namespace velkin
