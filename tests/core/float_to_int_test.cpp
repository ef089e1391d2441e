#include "app/float_to_int.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

struct Case {
    long double in;
    std::int32_t out;
};

TEST(FloatToInt, TruncatesTowardZeroAndKeepsLow32Bits) {
    const long double inf = std::numeric_limits<long double>::infinity();
    const Case cases[] = {
        {0.0L, 0},
        {1.9L, 1},
        {-1.9L, -1},
        {100.5L, 100},
        {-0.28125L, 0},
        {-1.84375L, -1},
        {178.0L, 178},
        {2147483647.0L, 2147483647},
        {2147483648.0L, INT32_MIN},
        {4294967296.0L + 5, 5},
        {-4294967297.0L, -1},
        {9.3e18L, 0},
        {-9.3e18L, 0},
        {inf, 0},
        {-inf, 0},
        {std::numeric_limits<long double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::toInt32(c.in), c.out) << static_cast<double>(c.in);
}

} // namespace
