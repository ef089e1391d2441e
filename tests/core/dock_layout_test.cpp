#include "ui/dock_layout.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using ui::WindowBox;

struct LayoutCase {
    const char* what;
    WindowBox taskbar, rebar;
    std::int32_t gadgetWidth;
    WindowBox band, gadget;
};

bool same(const WindowBox& a, const WindowBox& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST(DockLayout, TaskBandAndGadgetShareTheRebar) {
    const LayoutCase cases[] = {
        {"classic taskbar", {0, 760, 1280, 40}, {60, 762, 1000, 36}, 202, {0, 0, 798, 40}, {798, 3, 202, 33}},
        {"gadget still 18 tall", {0, 0, 800, 30}, {0, 0, 500, 30}, 202, {0, 0, 298, 30}, {298, 3, 202, 33}},
        {"no taskbar", {}, {0, 0, 1000, 36}, 202, {0, 0, 798, 0}, {798, 3, 202, 33}},
        {"no rebar", {0, 760, 1280, 40}, {}, 202, {0, 0, -202, 40}, {-202, 3, 202, 33}},
        {"vertical taskbar", {0, 0, 62, 800}, {0, 0, 60, 700}, 202, {0, 0, -142, 800}, {-142, 3, 202, 33}},
        {"outer width read before the first tick",
         {0, 0, 100, 40},
         {0, 0, 1000, 40},
         220,
         {0, 0, 780, 40},
         {780, 3, 202, 33}},
    };
    for (const auto& c : cases) {
        const auto l = ui::dockLayout(c.taskbar, c.rebar, c.gadgetWidth);
        EXPECT_TRUE(same(l.taskBand, c.band)) << c.what;
        EXPECT_TRUE(same(l.gadget, c.gadget)) << c.what;
    }
}

TEST(DockLayout, BoxesFromRectanglesAndExtremeWidths) {
    const auto b = ui::boxFromRect(-10, 5, 30, 45);
    EXPECT_EQ(b.left, -10);
    EXPECT_EQ(b.width, 40);
    EXPECT_EQ(b.height, 40);
    // A difference beyond 32 bits wraps as the system's conversion does, without overflow.
    EXPECT_EQ(ui::boxFromRect(INT32_MIN, 0, INT32_MAX, 0).width, -1);
    EXPECT_EQ(ui::dockLayout({}, {0, 0, INT32_MIN, 0}, 202).gadget.left, INT32_MAX - 201);
}

TEST(DockLayout, StripGivenBackIsCappedAtTheRebar) {
    struct {
        std::int32_t band, rebar, want;
    } const cases[] = {{798, 1000, 1000}, {500, 1000, 702}, {-142, 60, 60}, {0, 0, 0}, {INT32_MAX, 100, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(ui::widenedTaskBandWidth(c.band, c.rebar), c.want) << c.band;
}

} // namespace
