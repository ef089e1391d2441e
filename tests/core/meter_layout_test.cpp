#include "app/meter_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// A bar control keeps no negative width.
std::int32_t barControlWidthAfterWrite(std::int32_t width) {
    return std::max(width, 0);
}

TEST(MeterLayout, RowFromAReading) {
    struct Case {
        std::int32_t reading;
        std::int32_t width;
        const wchar_t* text;
        std::int32_t left;
    };
    const Case cases[] = {
        {0, 0, L"0", 0},         {88, 176, L"88", 176}, {89, 178, L"89", 154},
        {100, 200, L"100", 176}, {-1, -2, L"-1", -2},   {150, 300, L"150", 276},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reading);
        const std::int32_t width = app::meterBarWidth(c.reading);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(app::meterNumberText(width), c.text);
        EXPECT_EQ(app::meterNumberLeft(width, barControlWidthAfterWrite(width)), c.left);
    }
}

TEST(MeterLayout, NumberTextRoundsHalfWidthDown) {
    EXPECT_EQ(app::meterNumberText(3), L"1");
    EXPECT_EQ(app::meterNumberText(-3), L"-2");
    EXPECT_EQ(app::meterNumberText(-1), L"-1");
}

TEST(MeterLayout, NumberInsideAWideBarFollowsTheWidthTheBarKept) {
    EXPECT_EQ(app::meterNumberLeft(300, 120), 96);
    EXPECT_EQ(app::meterNumberLeft(177, 177), 153);
    EXPECT_EQ(app::meterNumberLeft(176, 120), 176);
}

} // namespace
