#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/TableAmount.h"

namespace velkin {

// The charts of the chart view as pictures made of texts, lines and icons at fixed places. Everything
// here is worked out from plain values, so what a chart says and where it says it can be checked
// without a server or a screen; the view paints what these functions return.

/// A text's size as the charts give it: pixel height, weight (100 to 900) and slant.
struct ChartFont {
    int height = 12;
    int weight = 400;
    bool italic = false;
    bool operator==(const ChartFont& o) const {
        return height == o.height && weight == o.weight && italic == o.italic;
    }
};

enum class ChartPicture { Server, Database, Table, User, Permitted, Refused };

/// A text whose top left corner is at `at`.
struct ChartText {
    QString text;
    QPoint at;
    ChartFont font;
    QColor colour;
};

/// A straight line of the given thickness, centred on the points; ends are cut square.
struct ChartLine {
    QPoint from;
    QPoint to;
    int thickness = 1;
    QColor colour;
};

/// A 32 by 32 picture whose top left corner is at `at`.
struct ChartIcon {
    ChartPicture picture;
    QPoint at;
};

/// Everything one chart draws, and how tall it is.
struct ChartLayout {
    std::vector<ChartText> texts;
    std::vector<ChartLine> lines;
    std::vector<ChartIcon> icons;
    /// The height of the drawing for scrolling; none for a kind that draws nothing and keeps the
    /// view's size.
    std::optional<int> height;

    /// The first text that reads exactly so, or null.
    const ChartText* find(const QString& text) const;
};

/// The width of every chart's drawing.
constexpr int kChartWidth = 800;

namespace chartcolour {
inline QColor black() {
    return QColor(0, 0, 0);
}
inline QColor blue() {
    return QColor(0, 0, 255);
}
inline QColor red() {
    return QColor(255, 0, 0);
}
/// Privilege words other than select, insert, update and delete.
inline QColor purple() {
    return QColor(70, 50, 100);
}
/// The index share of a bar.
inline QColor barIndex() {
    return QColor(150, 190, 255);
}
/// The rest of a bar.
inline QColor barRest() {
    return QColor(248, 203, 247);
}
}  // namespace chartcolour

/// What the grant charts show in place of an empty host or database name.
namespace chartnames {
QString noDatabase();
QString noHost();
/// An account row whose host is empty.
QString hostNeeded();
}  // namespace chartnames

/// part / whole × 100; 0 when whole is 0, so that an empty server or table still gets a chart.
double sharePercent(std::uint64_t part, std::uint64_t whole);
/// The colour of a row's share of the whole: red above 90, blue above 50, black otherwise.
QColor shareColour(double share);
/// A 10 pixel bar from x1 to x2 centred on y: light blue from x1 for share % of its length
/// (truncated), light pink for the rest; the pink part is left out when share is 100.
std::vector<ChartLine> barLines(int x1, int x2, int y, double share);

/// The usage figures of a database or table and its name; no figures when they could not be read.
struct UsageRow {
    std::string name;
    std::optional<TableAmount> amount;
};

/// What the usage charts read from the server: the sums over the first listing and the rows of the
/// second.
struct UsageSurvey {
    /// The first listing (of databases or tables) was had.
    bool listed = false;
    /// The names of the first listing, readable or not.
    std::size_t listedCount = 0;
    /// Rows, Data, maximum, Index and Free added up over the readable entries of the first listing.
    TableAmount totals;
    /// The second listing; none when it could not be had.
    std::optional<std::vector<UsageRow>> rows;
};

/// Adds rows, Data, maximum data length, Index and Free of `amount` to `totals`.
void addAmount(TableAmount& totals, const TableAmount& amount);
/// Free + Index + Data.
std::uint64_t usedBytes(const TableAmount& amount);

/// Disk usage of the whole server, one row per readable database.
ChartLayout serverUsageChart(const QString& hostName, const UsageSurvey& survey);
/// Disk usage of one database, one row per table (left empty when the table cannot be read).
ChartLayout databaseUsageChart(const QString& database, const UsageSurvey& survey);

/// The rows of `select *` on a grant table, NULL read as empty text; none when the statement failed
/// or gave no rows set.
using GrantRows = std::optional<std::vector<std::vector<std::string>>>;

/// Hosts that may reach one database: its rows of mysql.host.
ChartLayout accessRestrictionsChart(const QString& database, const GrantRows& hostRows);
/// Users granted one database: its rows of mysql.db.
ChartLayout userRestrictionsChart(const QString& database, const GrantRows& dbRows);
/// Every row of mysql.host.
ChartLayout hostOverviewChart(const GrantRows& hostRows);
/// Every row of mysql.user.
ChartLayout userOverviewChart(const GrantRows& userRows);

/// The rows of mysql.db for one database of the server's listing.
struct DatabaseGrants {
    std::string database;
    GrantRows rows;
};
/// The rows of mysql.db, database by database; none when the databases could not be listed.
ChartLayout databaseOverviewChart(const std::optional<std::vector<DatabaseGrants>>& databases);

/// A row of mysql.host lets its host in when any privilege column holds a value beginning with Y or y.
bool hostRowPermitted(const std::vector<std::string>& row);

}  // namespace velkin
