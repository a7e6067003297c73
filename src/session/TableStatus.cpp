#include "TableStatus.h"

#include <cctype>
#include <initializer_list>
#include <limits>

#include "Connection.h"
#include "SqlText.h"

namespace velkin {

namespace {

/// The columns read, each with its names on current and old servers and its old position.
enum Column {
    Name,
    Type,
    RowFormat,
    Rows,
    AvgRowLength,
    Data,
    Max,
    Index,
    Free,
    Created,
    Updated,
    Checked,
    Options,
    ColumnCount
};

struct ColumnPlace {
    std::initializer_list<const char*> names;
    std::size_t oldPosition;
};

const ColumnPlace kPlaces[ColumnCount] = {
    {{"Name"}, 0},           {{"Engine", "Type"}, 1}, {{"Row_format"}, 2},      {{"Rows"}, 3},
    {{"Avg_row_length"}, 4}, {{"Data_length"}, 5},    {{"Max_data_length"}, 6}, {{"Index_length"}, 7},
    {{"Data_free"}, 8},      {{"Create_time"}, 10},   {{"Update_time"}, 11},    {{"Check_time"}, 12},
    {{"Create_options"}, 13}};

/// Where each column stands in rows of this field list; found once per statement, not per row.
struct Layout {
    std::size_t at[ColumnCount];

    explicit Layout(const std::vector<std::string>& fieldNames) {
        for (int c = 0; c < ColumnCount; ++c) {
            at[c] = kPlaces[c].oldPosition;
            bool named = false;
            for (const char* name : kPlaces[c].names)
                for (std::size_t i = 0; i < fieldNames.size() && !named; ++i)
                    if (fieldNames[i] == name) {
                        at[c] = i;
                        named = true;
                    }
        }
    }
};

/// The leading decimal digits; larger numbers than 64 bits hold stop at the largest.
std::uint64_t numberOf(std::optional<std::string_view> cell) {
    if (!cell)
        return 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (char c : *cell) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (kMax - digit) / 10)
            return kMax;
        value = value * 10 + digit;
    }
    return value;
}

/// cellAt(i) gives the i-th cell, nothing for NULL or a cell the row lacks.
template <typename CellAt>
TableStatus statusOf(const Layout& layout, CellAt cellAt) {
    auto text = [&](Column c) { return std::string(cellAt(layout.at[c]).value_or(std::string_view())); };
    auto number = [&](Column c) { return numberOf(cellAt(layout.at[c])); };
    TableStatus s;
    s.name = text(Name);
    s.type = text(Type);
    s.rowFormat = text(RowFormat);
    s.rows = number(Rows);
    s.avgRowLength = number(AvgRowLength);
    s.data = number(Data);
    s.max = number(Max);
    s.index = number(Index);
    s.free = number(Free);
    s.created = text(Created);
    s.updated = text(Updated);
    s.checked = text(Checked);
    s.options = text(Options);
    return s;
}

TableStatusList readStatusRows(Connection& connection, const std::string& statement) {
    TableStatusList list;
    if (connection.query(statement) != 0)
        return list;
    Result result = connection.storeResult();
    if (!result) {
        list.outcome = TableStatusList::Outcome::NoResult;
        return list;
    }
    list.outcome = TableStatusList::Outcome::Read;
    const Layout layout(result.fieldNames());
    while (Row row = result.fetchRow())
        list.tables.push_back(statusOf(layout, [&row](std::size_t i) -> std::optional<std::string_view> {
            if (i >= row.size() || row.isNull(static_cast<unsigned>(i)))
                return std::nullopt;
            return row.text(static_cast<unsigned>(i));
        }));
    return list;
}

}  // namespace

TableStatus parseTableStatus(const std::vector<std::string>& fieldNames,
                             const std::vector<std::optional<std::string>>& cells) {
    return statusOf(Layout(fieldNames), [&cells](std::size_t i) -> std::optional<std::string_view> {
        if (i >= cells.size() || !cells[i])
            return std::nullopt;
        return std::string_view(*cells[i]);
    });
}

TableStatusList readTableStatus(Connection& connection, std::string_view database) {
    return readStatusRows(connection, tableStatusStatement(connection, database));
}

TableStatusList readTableStatus(Connection& connection, std::string_view database, std::string_view table) {
    return readStatusRows(connection, tableStatusStatement(connection, database, table));
}

}  // namespace velkin
