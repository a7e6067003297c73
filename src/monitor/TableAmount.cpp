#include "TableAmount.h"

#include <fmt/printf.h>

#include <cctype>
#include <initializer_list>
#include <limits>

namespace velkin {

namespace {

struct Column {
    std::initializer_list<const char*> names;
    std::size_t oldPosition;
};

std::optional<std::string> cellOf(const std::vector<std::string>& fieldNames,
                                  const std::vector<std::optional<std::string>>& cells,
                                  const Column& column) {
    std::size_t at = column.oldPosition;
    bool named = false;
    for (const char* name : column.names) {
        for (std::size_t i = 0; i < fieldNames.size() && !named; ++i) {
            if (fieldNames[i] == name) {
                at = i;
                named = true;
            }
        }
    }
    if (at >= cells.size())
        return std::nullopt;
    return cells[at];
}

std::string textOf(const std::optional<std::string>& cell) {
    return cell.value_or(std::string());
}

/// The leading decimal digits; larger numbers than 64 bits hold stop at the largest.
std::uint64_t numberOf(const std::optional<std::string>& cell) {
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

double percentOf(double part, double whole) {
    return whole == 0 ? 0.0 : part / whole * 100.0;
}

}  // namespace

TableAmount readTableAmount(const std::vector<std::string>& names,
                            const std::vector<std::optional<std::string>>& cells) {
    auto cell = [&](const Column& column) { return cellOf(names, cells, column); };
    TableAmount a;
    a.type = textOf(cell({{"Engine", "Type"}, 1}));
    a.rowFormat = textOf(cell({{"Row_format"}, 2}));
    a.rows = numberOf(cell({{"Rows"}, 3}));
    a.avgRowLength = numberOf(cell({{"Avg_row_length"}, 4}));
    a.data = numberOf(cell({{"Data_length"}, 5}));
    a.max = numberOf(cell({{"Max_data_length"}, 6}));
    a.index = numberOf(cell({{"Index_length"}, 7}));
    a.free = numberOf(cell({{"Data_free"}, 8}));
    a.created = textOf(cell({{"Create_time"}, 10}));
    a.updated = textOf(cell({{"Update_time"}, 11}));
    a.checked = textOf(cell({{"Check_time"}, 12}));
    a.options = textOf(cell({{"Create_options"}, 13}));
    return a;
}

double capacityPercent(const TableAmount& a) {
    return percentOf(static_cast<double>(a.data) + static_cast<double>(a.index), static_cast<double>(a.max));
}

double allocationPercent(const TableAmount& a) {
    const double used = static_cast<double>(a.data) + static_cast<double>(a.index);
    return percentOf(used, used + static_cast<double>(a.free));
}

double dataSharePercent(const TableAmount& a) {
    if (a.data == 0)
        return 0.0;
    if (a.index == 0)
        return 100.0;
    const double data = static_cast<double>(a.data);
    return percentOf(data, data + static_cast<double>(a.index));
}

std::string recordCountText(std::uint64_t rows) {
    return fmt::sprintf("%lu 件", rows);
}

std::string byteText(std::uint64_t bytes) {
    return fmt::sprintf("%lu Byte", bytes);
}

std::string maxCapacityText(std::uint64_t max) {
    return max == 0 ? std::string("不明") : byteText(max);
}

}  // namespace velkin
