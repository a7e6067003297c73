#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session/TableStatus.h"

namespace velkin {

/// The figures the data amount screen and the charts show of a table.
using TableAmount = TableStatus;

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
