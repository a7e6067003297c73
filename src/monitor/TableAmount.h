#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkin {

/// The storage figures of one table from its table status row. Sizes are 64-bit, so tables of
/// 4 GB and more are shown whole.
struct TableAmount {
    std::string type;
    std::string rowFormat;
    std::uint64_t rows = 0;
    std::uint64_t avgRowLength = 0;
    std::uint64_t data = 0;
    std::uint64_t max = 0;
    std::uint64_t index = 0;
    std::uint64_t free = 0;
    std::string created;
    std::string updated;
    std::string checked;
    std::string options;
};

/// Reads the figures of a table status row by column name ("Engine" or "Type", "Row_format", ...),
/// because servers since 4.1 put "Version", "Collation" and "Checksum" between the old positions.
/// A column whose name is not known is read at its old position. NULL counts as 0 or empty text.
TableAmount readTableAmount(const std::vector<std::string>& fieldNames,
                            const std::vector<std::optional<std::string>>& cells);

/// Used space of the maximum capacity; 0 when the maximum is not known (0).
double capacityPercent(const TableAmount& amount);
/// Used space of the allocated space; 0 for a table that has nothing allocated.
double allocationPercent(const TableAmount& amount);
/// Data of the used space: 0 without data, 100 without index.
double dataSharePercent(const TableAmount& amount);

/// "%lu 件"
std::string recordCountText(std::uint64_t rows);
/// "%lu Byte"
std::string byteText(std::uint64_t bytes);
/// "%lu Byte", or "不明" when the server gives no maximum (0).
std::string maxCapacityText(std::uint64_t max);

}  // namespace velkin
