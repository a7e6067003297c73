#include "ChartText.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "privileges/PrivilegeFlags.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// A row count with thousands separators.
std::string groupedCount(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

/// The engines whose table status counts rows exactly; every other engine (InnoDB first) estimates.
bool countsExactly(const std::string& type) {
    std::string lower = type;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower == "myisam" || lower == "aria" || lower == "memory" || lower == "heap" ||
           lower == "mrg_myisam";
}

/// The table's rows as the chart says them: an estimate says so, so that it is not taken for the
/// count the record list shows.
std::string rowCountShown(const TableAmount& amount) {
    if (countsExactly(amount.type))
        return std::to_string(amount.rows);
    return "about " + groupedCount(amount.rows);
}

const ChartFont kTitleFont{23, 500, false};
const ChartFont kUsageHeadFont{20, 800, false};
/// Legends, byte figures, shares and update times.
const ChartFont kLegendFont{12, 600, true};
const ChartFont kRowNameFont{15, 800, false};
const ChartFont kTableTypeFont{11, 300, false};
/// Rows of one database's grants, their privilege words, and the notices of empty charts.
const ChartFont kGrantRowFont{12, 800, false};
const ChartFont kOverviewUserFont{12, 800, true};
const ChartFont kOverviewWordFont{9, 800, true};
const ChartFont kHostRefusedFont{15, 400, true};

constexpr int kHeavyRule = 3;
constexpr int kRowRule = 2;
constexpr int kBarThickness = 10;
constexpr int kRowPitch = 50;
constexpr int kFirstRowY = 115;

void text(ChartLayout& layout, const QString& s, int x, int y, const ChartFont& font,
          const QColor& colour = chartcolour::black()) {
    layout.texts.push_back({s, QPoint(x, y), font, colour});
}

void rule(ChartLayout& layout, int x1, int x2, int y, int thickness) {
    layout.lines.push_back({QPoint(x1, y), QPoint(x2, y), thickness, chartcolour::black()});
}

void icon(ChartLayout& layout, ChartPicture picture, int x, int y) {
    layout.icons.push_back({picture, QPoint(x, y)});
}

void title(ChartLayout& layout, const QString& s, ChartPicture picture) {
    text(layout, s, 50, 10, kTitleFont);
    icon(layout, picture, 5, 5);
}

void bar(ChartLayout& layout, int x1, int x2, int y, double share) {
    for (const ChartLine& line : barLines(x1, x2, y, share))
        layout.lines.push_back(line);
}

// ---- usage -------------------------------------------------------------------------------------

/// The head of a usage chart: the whole's rows, the Index and Data legend with their bar, and the
/// whole's size under it.
void usageHead(ChartLayout& layout, const QString& head, const QString& usedText, const TableAmount& totals) {
    text(layout, head, 50, 60, kUsageHeadFont);
    text(layout, QStringLiteral("Index"), 450, 45, kLegendFont);
    text(layout, QStringLiteral("Data"), 655, 45, kLegendFont);
    text(layout, textf("%lu Byte", totals.index), 450, 75, kLegendFont);
    text(layout, textf("%lu Byte", totals.data), 655, 75, kLegendFont);
    bar(layout, 550, 650, 65, sharePercent(totals.index, totals.index + totals.data));
    rule(layout, 50, 750, 110, kHeavyRule);
    text(layout, usedText, 450, 95, kLegendFont, chartcolour::blue());
}

/// One database's or table's row: its name, its share of the whole as a text and as the length of
/// its bar, and its Index and Data sizes.
void usageRow(ChartLayout& layout, int y, const QString& name, ChartPicture picture, const char* shareFormat,
              const TableAmount& amount, const TableAmount& totals) {
    text(layout, name, 50, y, kRowNameFont);
    icon(layout, picture, 5, y - 10);
    const double share = sharePercent(usedBytes(amount), usedBytes(totals));
    text(layout, textf(shareFormat, share), 660, y, kLegendFont, shareColour(share));
    const int barEnd = 550 + static_cast<int>(share);
    bar(layout, 550, barEnd, y + 10, sharePercent(amount.index, usedBytes(amount)));
    text(layout, textf("%lu Byte", amount.index), 450, y + 22, kLegendFont);
    text(layout, textf("%lu Byte", amount.data), barEnd, y + 22, kLegendFont);
    rule(layout, 50, 750, y + 45, kRowRule);
}

// ---- privileges --------------------------------------------------------------------------------

/// Where a chart writes the word of one privilege column, relative to its row.
struct WordPlace {
    const char* column;
    const char* word;
    int x;
    int dy;
};

const std::vector<WordPlace>& accessWords() {
    static const std::vector<WordPlace> words{
        {"Select_priv", "Select", 450, 0}, {"Insert_priv", "Insert", 500, 0},
        {"Update_priv", "Update", 550, 0}, {"Delete_priv", "dalete", 600, 0},
        {"Create_priv", "Create", 650, 0}, {"Drop_priv", "Drop", 700, 0},
        {"Grant_priv", "Grant", 450, 20},  {"References_priv", "References", 500, 20},
        {"Index_priv", "Index", 600, 20},  {"Alter_priv", "Alter", 650, 20},
    };
    return words;
}

const std::vector<WordPlace>& userRestrictionWords() {
    static const std::vector<WordPlace> words{
        {"Select_priv", "Select", 450, 0},          {"Insert_priv", "Insert", 500, 0},
        {"Update_priv", "Update", 550, 0},          {"Delete_priv", "delete", 600, 0},
        {"Create_priv", "Create", 650, 0},          {"Drop_priv", "Drop", 700, 0},
        {"References_priv", "References", 450, 20}, {"Index_priv", "Index", 550, 20},
        {"Alter_priv", "Alter", 600, 20},
    };
    return words;
}

const std::vector<WordPlace>& databaseOverviewWords() {
    static const std::vector<WordPlace> words{
        {"Select_priv", "Select", 350, 0},    {"Insert_priv", "Insert", 390, 0},
        {"Update_priv", "Update", 430, 0},    {"Delete_priv", "Delete", 470, 0},
        {"Create_priv", "Create", 510, 0},    {"Drop_priv", "Drop", 550, 0},
        {"References_priv", "Refer", 590, 0}, {"Index_priv", "Index", 640, 0},
        {"Alter_priv", "Alter", 690, 0},
    };
    return words;
}

const std::vector<WordPlace>& userOverviewWords() {
    static const std::vector<WordPlace> words{
        {"Select_priv", "Select", 360, 0},   {"Insert_priv", "Insert", 400, 0},
        {"Update_priv", "Update", 440, 0},   {"Delete_priv", "Delete", 480, 0},
        {"Create_priv", "Create", 520, 0},   {"Drop_priv", "Drop", 560, 0},
        {"Reload_priv", "Reload", 600, 0},   {"Shutdown_priv", "Shut", 660, 0},
        {"Process_priv", "Process", 700, 0}, {"File_priv", "File", 360, 20},
        {"Grant_priv", "Grant", 400, 20},    {"Index_priv", "Index", 450, 20},
        {"Alter_priv", "Alter", 500, 20},
    };
    return words;
}

const std::vector<WordPlace>& hostOverviewWords() {
    static const std::vector<WordPlace> words{
        {"Select_priv", "Select", 360, 0}, {"Insert_priv", "Insert", 400, 0},
        {"Update_priv", "Update", 440, 0}, {"Delete_priv", "Delete", 480, 0},
        {"Create_priv", "Create", 520, 0}, {"Drop_priv", "Drop", 560, 0},
        {"Grant_priv", "Grant", 600, 0},   {"References_priv", "Refere", 650, 0},
        {"Index_priv", "Index", 710, 0},   {"Alter_priv", "Alter", 360, 20},
    };
    return words;
}

/// Select stands out in blue, the privileges that change rows in red.
QColor privilegeWordColour(const std::string& column) {
    if (column == "Select_priv")
        return chartcolour::blue();
    if (column == "Insert_priv" || column == "Update_priv" || column == "Delete_priv")
        return chartcolour::red();
    return chartcolour::purple();
}

/// The row position of a privilege column as the flag model reads `select *` rows of the table.
std::optional<std::size_t> columnPosition(GrantTable table, const std::string& column) {
    const auto& columns = privilegeColumns(table);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (column == columns[i].column)
            return firstFlagPosition(table) + i;
    return std::nullopt;
}

const std::string& cell(const std::vector<std::string>& row, std::size_t position) {
    static const std::string empty;
    return position < row.size() ? row[position] : empty;
}

/// One word for every privilege of the row that is on.
void privilegeWords(ChartLayout& layout, GrantTable table, const std::vector<WordPlace>& words,
                    const std::vector<std::string>& row, int y, const ChartFont& font) {
    for (const WordPlace& place : words) {
        const std::optional<std::size_t> position = columnPosition(table, place.column);
        if (position && beginsWithY(cell(row, *position)))
            text(layout, QString::fromLatin1(place.word), place.x, y + place.dy, font,
                 privilegeWordColour(place.column));
    }
}

}  // namespace

namespace chartnames {
QString noDatabase() {
    return QStringLiteral("There is no specification database.");
}
QString noHost() {
    return QStringLiteral("There is no specification host.");
}
QString hostNeeded() {
    return QStringLiteral("There needs to be a specification host.");
}
}  // namespace chartnames

const ChartText* ChartLayout::find(const QString& s) const {
    for (const ChartText& t : texts)
        if (t.text == s)
            return &t;
    return nullptr;
}

double sharePercent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0)
        return 0.0;
    return static_cast<double>(part) / static_cast<double>(whole) * 100.0;
}

QColor shareColour(double share) {
    if (share > 90)
        return chartcolour::red();
    if (share > 50)
        return chartcolour::blue();
    return chartcolour::black();
}

std::vector<ChartLine> barLines(int x1, int x2, int y, double share) {
    std::vector<ChartLine> lines;
    const double clamped = std::clamp(share, 0.0, 100.0);
    const int split = x1 + static_cast<int>(static_cast<double>(x2 - x1) * clamped / 100.0);
    if (split > x1)
        lines.push_back({QPoint(x1, y), QPoint(split, y), kBarThickness, chartcolour::barIndex()});
    if (clamped < 100.0 && x2 > split)
        lines.push_back({QPoint(split, y), QPoint(x2, y), kBarThickness, chartcolour::barRest()});
    return lines;
}

void addAmount(TableAmount& totals, const TableAmount& amount) {
    totals.rows += amount.rows;
    totals.data += amount.data;
    totals.max += amount.max;
    totals.index += amount.index;
    totals.free += amount.free;
}

std::uint64_t usedBytes(const TableAmount& amount) {
    return amount.free + amount.index + amount.data;
}

ChartLayout serverUsageChart(const QString& hostName, const UsageSurvey& survey) {
    ChartLayout layout;
    title(layout, textf("Server： %s", u8(hostName)), ChartPicture::Server);
    const TableAmount& totals = survey.totals;
    usageHead(layout, textf("ALL (%lu affairs)", totals.rows),
              textf("This server useing %lu Byte", usedBytes(totals)), totals);
    if (!survey.rows) {
        layout.height = 195;
        return layout;
    }
    // Databases that cannot be read are left out altogether, so the rows drawn close up.
    int drawn = 0;
    for (const UsageRow& row : *survey.rows) {
        if (!row.amount)
            continue;
        const int y = kFirstRowY + kRowPitch * drawn;
        usageRow(layout, y, textf("%s (%lu affairs)", row.name, row.amount->rows), ChartPicture::Database,
                 "%5.2f Percent of All", *row.amount, totals);
        ++drawn;
    }
    layout.height = kRowPitch * drawn + 262;
    return layout;
}

ChartLayout databaseUsageChart(const QString& database, const UsageSurvey& survey) {
    ChartLayout layout;
    title(layout, textf("Database  ： %s", u8(database)), ChartPicture::Database);
    if (!survey.listed) {
        layout.height = 110;
        return layout;
    }
    const TableAmount& totals = survey.totals;
    if (survey.listedCount > 0)
        usageHead(layout, textf("All  (%lu affairs)", totals.rows),
                  textf("This Database using %lu Byte", usedBytes(totals)), totals);
    if (!survey.rows) {
        layout.height = 213;
        return layout;
    }
    // A table that cannot be read keeps its place: its row stays empty.
    int y = kFirstRowY;
    for (const UsageRow& row : *survey.rows) {
        if (row.amount) {
            const TableAmount& a = *row.amount;
            usageRow(layout, y, textf("%s (%s件)", row.name, rowCountShown(a)), ChartPicture::Table,
                     "%5.2f %% of All", a, totals);
            text(layout, textf("Update %s", a.updated), 250, y + 25, kLegendFont, chartcolour::blue());
            text(layout, textf("(%s %s)", a.type, a.rowFormat), 0, y + 25, kTableTypeFont);
        }
        y += kRowPitch;
    }
    layout.height = kRowPitch * static_cast<int>(survey.rows->size()) + 262;
    return layout;
}

bool hostRowPermitted(const std::vector<std::string>& row) {
    const unsigned first = firstFlagPosition(GrantTable::Host);
    for (std::size_t i = first; i < row.size(); ++i)
        if (beginsWithY(row[i]))
            return true;
    return false;
}

ChartLayout accessRestrictionsChart(const QString& database, const GrantRows& hostRows) {
    ChartLayout layout;
    title(layout, textf("Access restrictions： Database %s", u8(database)), ChartPicture::Database);
    rule(layout, 50, 750, 110, kHeavyRule);
    if (!hostRows) {
        layout.height = 213;
        return layout;
    }
    int y = kFirstRowY;
    for (const std::vector<std::string>& row : *hostRows) {
        const bool permitted = hostRowPermitted(row);
        const std::string& host = cell(row, 0);
        QString line;
        if (host == "%")
            line = permitted ? QStringLiteral("Access from all hosts is permitted.")
                             : QStringLiteral("Access from all hosts is refused.");
        else
            line = textf(permitted ? "%s is access-permitted." : "%s is access-refused.", host);
        text(layout, line, 50, y, kGrantRowFont);
        icon(layout, permitted ? ChartPicture::Permitted : ChartPicture::Refused, 5, y - 10);
        rule(layout, 50, 750, y + 45, kRowRule);
        privilegeWords(layout, GrantTable::Host, accessWords(), row, y, kGrantRowFont);
        y += kRowPitch;
    }
    if (hostRows->empty())
        text(layout, QStringLiteral("Access restrictions are not performed."), 270, 115, kGrantRowFont,
             chartcolour::red());
    layout.height = kRowPitch * static_cast<int>(hostRows->size()) + 235;
    return layout;
}

ChartLayout userRestrictionsChart(const QString& database, const GrantRows& dbRows) {
    ChartLayout layout;
    title(layout, textf("User restrictions： Database %s", u8(database)), ChartPicture::Database);
    rule(layout, 50, 750, 110, kHeavyRule);
    if (!dbRows) {
        layout.height = 213;
        return layout;
    }
    int y = kFirstRowY;
    for (const std::vector<std::string>& row : *dbRows) {
        text(layout, textf("%s  (%s)", cell(row, 2), cell(row, 0)), 50, y, kGrantRowFont);
        icon(layout, ChartPicture::User, 5, y - 10);
        rule(layout, 50, 750, y + 45, kRowRule);
        privilegeWords(layout, GrantTable::Db, userRestrictionWords(), row, y, kGrantRowFont);
        y += kRowPitch;
    }
    if (dbRows->empty())
        text(layout, QStringLiteral("User restrictions are not performed."), 270, 115, kGrantRowFont,
             chartcolour::red());
    layout.height = kRowPitch * static_cast<int>(dbRows->size()) + 235;
    return layout;
}

ChartLayout hostOverviewChart(const GrantRows& hostRows) {
    ChartLayout layout;
    title(layout, QStringLiteral("Host"), ChartPicture::Server);
    rule(layout, 60, 780, 50, kHeavyRule);
    if (!hostRows) {
        layout.height = 153;
        return layout;
    }
    int y = 55;
    for (const std::vector<std::string>& row : *hostRows) {
        const bool permitted = hostRowPermitted(row);
        icon(layout, permitted ? ChartPicture::Permitted : ChartPicture::Refused, 5, y);
        const std::string& host = cell(row, 0);
        const std::string& db = cell(row, 1);
        const QString dbText = db.empty()  ? chartnames::noDatabase()
                               : db == "%" ? QStringLiteral("All Database")
                                           : qs(db);
        const QString hostText = host.empty()  ? chartnames::noHost()
                                 : host == "%" ? QStringLiteral("All Host")
                                               : qs(host);
        text(layout, hostText + QStringLiteral("  (") + dbText + QStringLiteral(")"), 60, y, kRowNameFont);
        rule(layout, 60, 780, y + 45, kRowRule);
        if (!permitted)
            text(layout, QStringLiteral("It cannot access in this host and database."), 360, y,
                 kHostRefusedFont, chartcolour::red());
        privilegeWords(layout, GrantTable::Host, hostOverviewWords(), row, y, kOverviewWordFont);
        y += kRowPitch;
    }
    if (hostRows->empty())
        text(layout, QStringLiteral("Host restrictions are not performed."), 280, 55, kGrantRowFont,
             chartcolour::red());
    layout.height = kRowPitch * static_cast<int>(hostRows->size()) + 175;
    return layout;
}

ChartLayout userOverviewChart(const GrantRows& userRows) {
    ChartLayout layout;
    title(layout, QStringLiteral("User"), ChartPicture::User);
    rule(layout, 60, 780, 50, kHeavyRule);
    if (!userRows) {
        layout.height = 153;
        return layout;
    }
    int y = 55;
    for (const std::vector<std::string>& row : *userRows) {
        const std::string& host = cell(row, 0);
        const std::string& user = cell(row, 1);
        const QString userText = user.empty() ? QStringLiteral("no name") : qs(user);
        const QString hostText = host.empty() ? chartnames::hostNeeded() : qs(host);
        text(layout, userText + QStringLiteral("  (") + hostText + QStringLiteral(")"), 60, y, kRowNameFont);
        icon(layout, ChartPicture::User, 5, y);
        rule(layout, 60, 780, y + 45, kRowRule);
        privilegeWords(layout, GrantTable::User, userOverviewWords(), row, y, kOverviewWordFont);
        y += kRowPitch;
    }
    if (userRows->empty())
        text(layout, QStringLiteral("User restrictions are not performed."), 280, 55, kGrantRowFont,
             chartcolour::red());
    layout.height = kRowPitch * static_cast<int>(userRows->size()) + 175;
    return layout;
}

ChartLayout databaseOverviewChart(const std::optional<std::vector<DatabaseGrants>>& databases) {
    ChartLayout layout;
    title(layout, QStringLiteral("Database"), ChartPicture::Database);
    rule(layout, 50, 750, 70, kHeavyRule);
    if (!databases) {
        layout.height = 173;
        return layout;
    }
    // The chart runs in lines of 20 pixels; a database without grant rows takes none.
    int lines = 0;
    for (const DatabaseGrants& db : *databases) {
        if (!db.rows) {
            text(layout, QStringLiteral("no data"), 450, 20 * lines + 105, kGrantRowFont);
            ++lines;
            continue;
        }
        if (db.rows->empty())
            continue;
        text(layout, qs(db.database), 50, 20 * lines + 75, kRowNameFont);
        icon(layout, ChartPicture::Database, 5, 20 * lines + 75);
        for (const std::vector<std::string>& row : *db.rows) {
            const int y = 20 * lines + 85;
            text(layout, qs(cell(row, 2)), 230, y, kOverviewUserFont);
            privilegeWords(layout, GrantTable::Db, databaseOverviewWords(), row, y, kOverviewWordFont);
            ++lines;
        }
        rule(layout, 50, 750, 20 * lines + 90, kRowRule);
        ++lines;
    }
    if (lines == 0)
        text(layout, QStringLiteral("There is no database."), 270, 85, kGrantRowFont, chartcolour::red());
    layout.height = 20 * lines + 172;
    return layout;
}

}  // namespace velkin
