#include "ChartSurvey.h"

#include <map>

#include "privileges/AccountStatements.h"
#include "privileges/GrantStatements.h"
#include "privileges/GrantSteps.h"
#include "privileges/UserTableStatements.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"

namespace velkin {

namespace {

/// The first column of every row; none when the statement fails or gives no rows set.
std::optional<std::vector<std::string>> names(Connection& connection, const std::string& statement) {
    Result result = connection.select(statement);
    if (!result)
        return std::nullopt;
    std::vector<std::string> list;
    while (Row row = result.fetchRow())
        list.push_back(row.str(0));
    return list;
}

/// Sums over the first listing, rows from the second; each name's figures are read once.
/// A chart that has nothing to show without its sums stops when the first listing fails.
bool stopped(const std::atomic<bool>* stop) {
    return stop && stop->load();
}

template <typename ReadFigures>
UsageSurvey survey(Connection& connection, const std::string& listing, bool needsSums,
                   const std::atomic<bool>* stop, ReadFigures readFigures) {
    const auto readUsage = [&](const std::string& name) -> std::optional<TableAmount> {
        if (stopped(stop))
            return std::nullopt;
        return readFigures(name);
    };
    UsageSurvey result;
    std::map<std::string, std::optional<TableAmount>> read;
    if (const auto first = names(connection, listing)) {
        result.listed = true;
        result.listedCount = first->size();
        for (const std::string& name : *first) {
            std::optional<TableAmount> amount = readUsage(name);
            if (amount)
                addAmount(result.totals, *amount);
            read.emplace(name, std::move(amount));
        }
    } else if (needsSums) {
        return result;
    }
    if (const auto second = names(connection, listing)) {
        result.rows.emplace();
        for (const std::string& name : *second) {
            auto known = read.find(name);
            result.rows->push_back({name, known != read.end() ? known->second : readUsage(name)});
        }
    }
    return result;
}

}  // namespace

std::optional<TableAmount> readDatabaseUsage(Connection& connection, const std::string& database) {
    const TableStatusList status = readTableStatus(connection, database);
    if (!status.read())
        return std::nullopt;
    TableAmount totals;
    for (const TableStatus& table : status.tables)
        addAmount(totals, table);
    return totals;
}

std::optional<TableAmount> readTableUsage(Connection& connection, const std::string& database,
                                          const std::string& table) {
    TableStatusList status = readTableStatus(connection, database, table);
    if (!status.read() || status.tables.empty())
        return std::nullopt;
    return std::move(status.tables.front());
}

UsageSurvey surveyServer(Connection& connection, const std::atomic<bool>* stop) {
    return survey(connection, showDatabasesStatement(), false, stop,
                  [&](const std::string& database) { return readDatabaseUsage(connection, database); });
}

UsageSurvey surveyDatabase(Connection& connection, const std::string& database,
                           const std::atomic<bool>* stop) {
    // Without the database selected a bare listing would show the tables of whichever database was
    // selected before, so a database that cannot be selected reads as one that cannot be listed.
    if (!connection.selectDb(database))
        return UsageSurvey{};
    // One statement gives every table, in the listing's order, with its figures: a database of
    // 100,000 tables costs the server one pass over them, and nothing more.
    TableStatusList status;
    if (!stopped(stop))
        status = readTableStatus(connection, database);
    if (status.read()) {
        UsageSurvey result;
        result.listed = true;
        result.listedCount = status.tables.size();
        result.rows.emplace();
        result.rows->reserve(status.tables.size());
        for (TableStatus& t : status.tables) {
            addAmount(result.totals, t);
            std::string name = t.name;
            result.rows->push_back({std::move(name), TableAmount(std::move(t))});
        }
        return result;
    }
    // A table the server cannot open makes the whole statement fail; then the tables are listed and
    // each is read by itself, so that the others are still drawn. A survey stopped before or during
    // the status statement still lists them, each drawn as unread.
    return survey(connection, showTablesStatement(), true, stop,
                  [&](const std::string& table) { return readTableUsage(connection, database, table); });
}

GrantRows readGrantRows(Connection& connection, const std::string& statement) {
    Result result = connection.select(statement);
    if (!result)
        return std::nullopt;
    std::vector<std::vector<std::string>> rows;
    while (Row row = result.fetchRow()) {
        std::vector<std::string> cells;
        cells.reserve(row.size());
        for (unsigned i = 0; i < row.size(); ++i)
            cells.push_back(row.str(i));
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::optional<std::vector<DatabaseGrants>> surveyDatabaseGrants(Connection& connection,
                                                                const std::atomic<bool>* stop) {
    const auto databases = names(connection, showDatabasesStatement());
    if (!databases)
        return std::nullopt;
    std::vector<DatabaseGrants> grants;
    for (const std::string& database : *databases)
        grants.push_back(
            {database, stopped(stop) ? GrantRows()
                                     : readGrantRows(connection, databaseDbRowsQuery(connection, database))});
    return grants;
}

namespace {

/// A host chart on a server that ignores mysql.host: drawn as having no rows, with the notice that host
/// limits are part of each account in place of the "not performed" line.
ChartLayout hostLimitsElsewhere(ChartLayout layout, const QString& emptyLine) {
    for (ChartText& t : layout.texts) {
        if (t.text == emptyLine) {
            t.text = hostTableIgnoredText();
            t.at.setX(50);
        }
    }
    return layout;
}

}  // namespace

ChartLayout chartOfKind(int kind, Connection& connection, const QString& hostName, const QString& database,
                        const std::atomic<bool>* stop) {
    const std::string db = u8(database);
    const ServerDialect& dialect = connection.dialect();
    if (kind == 2 && !dialect.honoursHostTable())
        return hostLimitsElsewhere(accessRestrictionsChart(database, GrantRows(GrantRows::value_type())),
                                   QStringLiteral("Access restrictions are not performed."));
    if (kind == 4 && !dialect.honoursHostTable())
        return hostLimitsElsewhere(hostOverviewChart(GrantRows(GrantRows::value_type())),
                                   QStringLiteral("Host restrictions are not performed."));
    switch (kind) {
        case 0:
            return serverUsageChart(hostName, surveyServer(connection, stop));
        case 1:
            return databaseUsageChart(database, surveyDatabase(connection, db, stop));
        case 2:
            return accessRestrictionsChart(database,
                                           readGrantRows(connection, databaseHostRowsQuery(connection, db)));
        case 3:
            return userRestrictionsChart(database,
                                         readGrantRows(connection, databaseDbRowsQuery(connection, db)));
        case 4:
            return hostOverviewChart(readGrantRows(connection, everyHostRowQuery()));
        case 5:
            return databaseOverviewChart(surveyDatabaseGrants(connection, stop));
        case 6:
            // Named columns where mysql.user is not the classic table: the words keep their
            // positions, and roles are not listed as users.
            return userOverviewChart(readGrantRows(connection, dialect.usesAccountStatements()
                                                                   ? accountRowsQuery(dialect)
                                                                   : everyUserRowQuery()));
        default:
            return ChartLayout{};
    }
}

}  // namespace velkin
