// The one float-to-integer conversion of the system: pixels, percentages and docking offsets.
#pragma once

#include <cmath>
#include <cstdint>

namespace app {

// Truncates toward zero to 64 bits and keeps the low 32 bits as signed; not finite or beyond
// the 64-bit range gives 0.
constexpr std::int32_t toInt32(long double v) {
    if (!(v == v) || v >= 9223372036854775808.0L || v < -9223372036854775808.0L) return 0; // NaN, ±inf too
    const auto wide = static_cast<std::int64_t>(v);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

} // namespace app
