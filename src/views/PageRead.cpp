#include "PageRead.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "session/Connection.h"
#include "transfer/CopyStatements.h"
#include "transfer/TableColumns.h"

namespace velkin {

namespace {

std::atomic<long long> g_countLaterFrom{1000000};

void noteFailure(const Connection& connection, PageRead::End end, PageRead& read) {
    read.end = end;
    read.errorNumber = connection.errorNumber();
    read.errorText = connection.errorText();
}

/// The unique key the table can be paged by, when every column of it is among the columns listed.
std::vector<std::string> pageKey(Connection& connection, const PageRequest& request,
                                 const std::vector<std::string>& columns) {
    const std::optional<std::vector<std::string>> key =
        rangeKey(readUniqueKeys(connection, request.database, request.table));
    if (!key)
        return {};
    for (const std::string& column : *key)
        if (std::find(columns.begin(), columns.end(), column) == columns.end())
            return {};
    return *key;
}

/// Where each key column stands among the listed columns.
std::vector<unsigned> keyPositions(const std::vector<std::string>& key,
                                   const std::vector<std::string>& columns) {
    std::vector<unsigned> positions;
    for (const std::string& column : key)
        positions.push_back(
            static_cast<unsigned>(std::find(columns.begin(), columns.end(), column) - columns.begin()));
    return positions;
}

std::vector<std::string> keyValues(const Row& row, const std::vector<unsigned>& positions) {
    std::vector<std::string> values;
    for (unsigned position : positions)
        values.push_back(row.str(position));
    return values;
}

/// The estimate of an InnoDB table too big to count before its page.
std::optional<long long> bigTableEstimate(Connection& connection, const PageRequest& request) {
    Result result = connection.select(tableEstimateQuery(connection, request.database, request.table));
    Row row = result.fetchRow();
    if (!row || row.text(0) != "InnoDB")
        return std::nullopt;
    const long long rows = std::atoll(row.str(1).c_str());
    if (rows < g_countLaterFrom.load())
        return std::nullopt;
    return rows;
}

}  // namespace

long long countLaterFrom() {
    return g_countLaterFrom.load();
}

void setCountLaterFrom(long long rows) {
    g_countLaterFrom.store(rows);
}

std::optional<std::string> countRows(Connection& connection, const std::string& countStatement,
                                     PageKeying& keying) {
    Result counted = connection.select(countStatement);
    Row row = counted.fetchRow();
    if (!row)
        return std::nullopt;
    keying.count = std::atoll(row.str(0).c_str());
    keying.countConditions.clear();
    return row.str(0);
}

PageRead readPage(Connection& connection, const PageRequest& request) {
    PageRead read;
    read.conditions = request.conditions;
    // A command that did not read its rows (OPTIMIZE TABLE, for one) would block every statement.
    connection.storeResult();
    if (!connection.selectDb(request.database)) {
        noteFailure(connection, PageRead::End::NoColumns, read);
        return read;
    }
    Result fields = connection.listFields(request.table);
    if (!fields) {
        noteFailure(connection, PageRead::End::NoColumns, read);
        return read;
    }
    read.columns = fields.fieldNames();
    fields.reset();
    // One condition text per column in each set, however many columns the table has.
    for (auto& set : read.conditions)
        if (set.size() < read.columns.size())
            set.resize(read.columns.size());
    read.statements = listStatements(connection.dialect(), request.database, request.table, read.columns,
                                     read.conditions, request.filterActive, request.page, request.pageLength);
    read.keying = request.keying;
    if (!read.keying.looked) {
        read.keying.looked = true;
        read.keying.key = pageKey(connection, request, read.columns);
        read.keying.estimate = bigTableEstimate(connection, request);
    }
    // A table with a key is paged by it, so that a deep page costs about what the first does.
    const std::string conditions =
        read.statements.filtered ? filterConditionsText(connection.dialect(), read.columns, read.conditions)
                                 : std::string();
    const bool keyed =
        !read.keying.key.empty() && !(read.statements.filtered && conditionsOrderRows(read.conditions));
    if (keyed) {
        const std::optional<long long> count =
            read.keying.countConditions == conditions ? read.keying.count : std::nullopt;
        read.statements.page = keyedPageStatement(
            connection, request.database, request.table, read.keying.key, conditions,
            keyPageAsk(request.page, request.pageLength, conditions, read.keying.shown, count));
    }
    read.keying.shown = {};

    read.start = std::time(nullptr);
    if (connection.query(read.statements.page) != 0) {
        noteFailure(connection, PageRead::End::Refused, read);
        return read;
    }
    Result result = connection.storeResult();
    if (!result) {
        noteFailure(connection, PageRead::End::Unread, read);
        return read;
    }
    read.resultTime = std::time(nullptr);
    read.rows.reset(static_cast<unsigned>(read.columns.size()));
    const int most = std::max(0, request.pageLength);
    const std::vector<unsigned> positions =
        keyed ? keyPositions(read.keying.key, read.columns) : std::vector<unsigned>();
    ShownKeyPage shown{request.page, request.pageLength, conditions, {}, {}};
    while (read.rows.rows() < most) {
        Row row = result.fetchRow();
        if (!row)
            break;
        if (keyed) {
            if (shown.first.empty())
                shown.first = keyValues(row, positions);
            shown.last = keyValues(row, positions);
        }
        read.rows.add(row);
    }
    if (keyed && !shown.first.empty())
        read.keying.shown = std::move(shown);
    result.reset();
    read.done = std::time(nullptr);

    // A filter's rows are counted at once: no estimate knows how many it lets through.
    if (read.keying.estimate && !read.statements.filtered) {
        read.countLater = true;
        return read;
    }
    Result counted = connection.select(read.statements.count);
    if (Row row = counted.fetchRow()) {
        read.count = row.str(0);
        read.keying.count = std::atoll(read.count->c_str());
        read.keying.countConditions = conditions;
    }
    return read;
}

}  // namespace velkin
