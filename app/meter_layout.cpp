#include "app/meter_layout.h"

#include "app/float_to_int.h"

#include <cmath>

namespace app {
namespace {

constexpr std::int32_t numberInsideFrom = 176; // wider bars leave no room for the number after them
constexpr double numberInset = 24.0;

} // namespace

std::int32_t meterBarWidth(std::int32_t reading) {
    return toInt32(static_cast<double>(reading) * 2.0);
}

std::wstring meterNumberText(std::int32_t barWidth) {
    return std::to_wstring(toInt32(std::floor(static_cast<double>(barWidth) / 2.0)));
}

bool numberMovesInside(std::int32_t barWidth) {
    return barWidth > numberInsideFrom;
}

std::int32_t meterNumberLeft(std::int32_t barWidth, std::int32_t readBackBarWidth) {
    if (numberMovesInside(barWidth)) return toInt32(static_cast<double>(readBackBarWidth) - numberInset);
    return barWidth;
}

} // namespace app
