#include "TableAmount.h"

#include <fmt/printf.h>

namespace velkin {

namespace {

double percentOf(double part, double whole) {
    return whole == 0 ? 0.0 : part / whole * 100.0;
}

}  // namespace

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
