// The gadget right after start-up, in this process: no stand-in taskbar, so it stays top-level.
#include "app/gadget.h"
#include "app/program.h"
#include "platform/platform.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using design::ControlId;
using design::MenuItemId;

class FirstState : public ::testing::Test {
  protected:
    void SetUp() override {
        app::startUp();
        ASSERT_NE(app::gadget(), nullptr);
        w = &app::gadget()->window();
        ASSERT_NE(w->hwnd(), nullptr);
    }
    void TearDown() override {
        if (w && w->hwnd()) ::DestroyWindow(w->hwnd());
    }
    ui::GadgetWindow* w = nullptr;
};

TEST_F(FirstState, ControlsHaveTheirStartingPlacesSizesAndParents) {
    EXPECT_EQ(w->width(), 202);
    EXPECT_EQ(w->height(), 18);
    EXPECT_TRUE(::IsWindowVisible(w->hwnd()));

    struct Expect {
        ControlId id;
        RECT inParent;
        ControlId parent;
        bool visible;
    };
    const Expect table[] = {
        {ControlId::Label1, {1, 0, 25, 16}, ControlId::None, true},
        {ControlId::Label2, {1, 18, 25, 34}, ControlId::None, true},
        {ControlId::Frame2, {0, 0, 202, 18}, ControlId::None, true},
        {ControlId::Frame1, {0, 18, 202, 36}, ControlId::None, true},
        {ControlId::Bar2, {1, 1, 1, 17}, ControlId::Frame2, true},
        {ControlId::Bar1, {1, 1, 1, 17}, ControlId::Frame1, true},
    };
    for (const auto& e : table) {
        auto& c = w->control(e.id);
        const RECT r = wintest::rectInParent(c.hwnd());
        EXPECT_EQ(r.left, e.inParent.left) << static_cast<int>(e.id);
        EXPECT_EQ(r.top, e.inParent.top) << static_cast<int>(e.id);
        EXPECT_EQ(r.right, e.inParent.right) << static_cast<int>(e.id);
        EXPECT_EQ(r.bottom, e.inParent.bottom) << static_cast<int>(e.id);
        const HWND parent = e.parent == ControlId::None ? w->hwnd() : w->control(e.parent).hwnd();
        EXPECT_EQ(::GetParent(c.hwnd()), parent) << static_cast<int>(e.id);
        EXPECT_EQ(c.visible(), e.visible) << static_cast<int>(e.id);
    }
    EXPECT_EQ(w->label(ControlId::Label1).text(), L"100");
    EXPECT_EQ(w->label(ControlId::Label2).textColour(), 0xFFFFFFu);
    EXPECT_TRUE(w->picture(ControlId::Bar1).hasImage());
}

TEST_F(FirstState, DirectChildrenAreStackedInDesignOrder) {
    std::vector<HWND> topFirst;
    for (HWND c = ::GetWindow(w->hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        topFirst.push_back(c);
    const std::vector<HWND> want{w->control(ControlId::Label1).hwnd(), w->control(ControlId::Label2).hwnd(),
                                 w->control(ControlId::Frame2).hwnd(), w->control(ControlId::Frame1).hwnd()};
    EXPECT_EQ(topFirst, want);
}

TEST_F(FirstState, TimersMenuMarksAndMemoryRecord) {
    EXPECT_EQ(w->timer(ControlId::Timer1).period(), 700);
    EXPECT_TRUE(w->timer(ControlId::Timer1).running());
    EXPECT_EQ(w->timer(ControlId::Timer2).period(), 1000);
    EXPECT_TRUE(w->timer(ControlId::Timer2).running());
    for (int i = 0; i < design::kMenuItemCount; ++i) {
        const auto id = static_cast<MenuItemId>(i);
        EXPECT_EQ(w->menuItem(id).checked, id == MenuItemId::SkinDefault || id == MenuItemId::ColourWhite)
            << i;
        EXPECT_EQ(w->menuItem(id).hidden, id == MenuItemId::Tools) << i;
    }
    ASSERT_NE(app::memoryStatus(), nullptr);
    EXPECT_EQ(app::memoryStatus()->dwLength, 64u);
}

TEST_F(FirstState, NoTaskbarButtonNoMenuBarNoBorder) {
    EXPECT_NE(::GetWindow(w->hwnd(), GW_OWNER), nullptr);
    EXPECT_FALSE(::IsWindowVisible(::GetWindow(w->hwnd(), GW_OWNER)));
    EXPECT_EQ(::GetWindowLongW(w->hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(::GetMenu(w->hwnd()), nullptr);
    const LONG style = ::GetWindowLongW(w->hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU), 0);
    EXPECT_EQ(::GetWindowTextLengthW(w->hwnd()), 0);
}

TEST_F(FirstState, FramesPaintBlackAndNumbersShowWhiteText) {
    ::UpdateWindow(w->hwnd());
    wintest::pumpFor(100);
    // The frame's right part, away from the number.
    const COLORREF frame = wintest::pixelAt(w->hwnd(), 150, 9);
    EXPECT_EQ(frame, RGB(0, 0, 0));
    // Somewhere within the top number some pixel is bright: the text "100" in white.
    int bright = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 25; ++x)
            if (wintest::red(wintest::pixelAt(w->hwnd(), x, y)) > 200) ++bright;
    EXPECT_GT(bright, 10);
}

TEST(Ending, LossOfTheWindowEndsTheLoop) {
    app::startUp();
    const HWND hwnd = app::gadget()->window().hwnd();
    ::PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    platform::runMessageLoop(); // returns once Esc has closed the window
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(platform::openWindows(), 0);
    ASSERT_NE(app::memoryStatus(), nullptr);
    platform::runEndActions();
    EXPECT_EQ(app::memoryStatus(), nullptr);
}

} // namespace
