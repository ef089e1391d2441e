// The tools menu and skin cycling in the running gadget, driven by real mouse input.
#include "app/gadget.h"
#include "app/program.h"
#include "bench/object_counts.h"
#include "skins/skin_catalogue.h"
#include "tools/standin_taskbar/standin_taskbar.h"
#include "wine_test_support.h"

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using design::ControlId;
using design::MenuItemId;

struct PopupItem {
    std::wstring text;
    bool checked;
};

struct SeenPopup {
    POINT at{};
    std::vector<PopupItem> items;
};

std::vector<HWND> openPopups() {
    std::vector<HWND> out;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (::IsWindowVisible(w)) out.push_back(w);
    return out;
}

HMENU menuOf(HWND popup) {
    return reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
}

std::vector<PopupItem> itemsOf(HMENU m) {
    std::vector<PopupItem> out;
    for (int i = 0; i < ::GetMenuItemCount(m); ++i) {
        wchar_t text[64]{};
        ::GetMenuStringW(m, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        out.push_back({text, (::GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0});
    }
    return out;
}

// Runs inside the popup's own modal loop, one step per timer tick: looks at the open popup and
// chooses an item by clicking it (path of positions), or cancels by clicking elsewhere.
class MenuDriver {
  public:
    explicit MenuDriver(std::vector<int> path) : path_(std::move(path)) {
        self_ = this;
        timer_ = ::SetTimer(nullptr, 0, 60, &MenuDriver::tick);
    }
    ~MenuDriver() {
        ::KillTimer(nullptr, timer_);
        self_ = nullptr;
    }
    std::vector<SeenPopup> seen; // each level as it opened
    bool done = false;

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (self_) self_->step();
    }
    void step() {
        if (done) return;
        if (++ticks_ > 60) { // a stuck popup must not hang the test
            ::EndMenu();
            done = true;
            return;
        }
        const auto popups = openPopups();
        if (popups.size() <= seen.size()) return; // the next level has not opened yet
        HWND popup = popups.front();
        for (HWND p : popups)
            if (menuOf(p) == expected_ || (!expected_ && seen.empty())) popup = p;
        const HMENU m = menuOf(popup);
        const RECT r = wintest::windowRect(popup);
        seen.push_back({{r.left, r.top}, itemsOf(m)});
        if (seen.size() == 2) captureForReadme(popups);
        if (seen.size() > path_.size() || path_.empty()) {
            mouseClick({5, 5}); // elsewhere: cancels
            done = true;
            return;
        }
        const int pos = path_[seen.size() - 1];
        RECT item{};
        ::GetMenuItemRect(nullptr, m, static_cast<UINT>(pos), &item);
        expected_ = ::GetSubMenu(m, pos);
        mouseClick({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        if (!expected_) done = true;
    }
    // Input only: the menu's own loop takes it from the queue.
    static void mouseClick(POINT p) {
        wintest::sendMouseMove(p);
        wintest::sendMouseButton(false, true);
        wintest::sendMouseButton(false, false);
    }
    // BARMETER_MENU_SHOT=FILE: the open menu and the gadget beneath it, for the README.
    static void captureForReadme(const std::vector<HWND>& popups) {
        static bool captured = false;
        const char* path = std::getenv("BARMETER_MENU_SHOT");
        if (!path || popups.empty() || captured) return;
        captured = true;
        RECT area = wintest::windowRect(::FindWindowExW(nullptr, nullptr, L"BarMeterGadget", nullptr));
        for (HWND p : popups) {
            const RECT r = wintest::windowRect(p);
            ::UnionRect(&area, &area, &r);
        }
        ::InflateRect(&area, 8, 8);
        ::UpdateWindow(popups.front());
        standin::saveScreenPng(area, std::wstring(path, path + std::strlen(path)));
    }
    static inline MenuDriver* self_ = nullptr;
    std::vector<int> path_;
    HMENU expected_ = nullptr;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
};

class ToolsMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        app::startUp();
        g = app::gadget();
        w = &g->window();
        // Still and on screen: no meter or docking tick while the test clicks.
        w->timer(ControlId::Timer1).setPeriod(0);
        w->timer(ControlId::Timer2).setPeriod(0);
        w->setHeight(36);
        for (auto bar : {ControlId::Bar2, ControlId::Bar1})
            w->picture(bar).setWidth(150);
        ::SetForegroundWindow(w->hwnd());
        wintest::pumpFor(100);
    }
    void TearDown() override {
        if (w && w->hwnd()) ::DestroyWindow(w->hwnd());
    }
    POINT at(int x, int y) { return wintest::screenPoint(w->hwnd(), x, y); }
    // Right click at a window point; the driver chooses along `path` or cancels.
    std::vector<SeenPopup> rightClick(POINT p, std::vector<int> path) {
        MenuDriver driver(std::move(path));
        wintest::clickAt(p, /*right=*/true);
        wintest::pumpUntil([&] { return driver.done && openPopups().empty(); }, 5000);
        wintest::pumpFor(100);
        return driver.seen;
    }
    // The SkinIndex whose image a bar holds, or -1.
    int skinOf(ControlId bar) {
        const auto bytes = w->picture(bar).picture();
        for (int i = 0; i < skins::kSkinCount; ++i) {
            const auto s = skins::skinPicture(i);
            if (std::equal(bytes.begin(), bytes.end(), s.begin(), s.end())) return i;
        }
        return -1;
    }
    // Successive clicks on a row's frame, far enough apart that none of them makes a double click.
    void singleClick(int y, int n) { wintest::clickAt(at(n % 2 ? 160 : 195, y)); }
    std::vector<MenuItemId> marked() {
        std::vector<MenuItemId> out;
        for (int i = 0; i < design::kMenuItemCount; ++i)
            if (w->menuItem(static_cast<MenuItemId>(i)).checked) out.push_back(static_cast<MenuItemId>(i));
        return out;
    }
    app::Gadget* g = nullptr;
    ui::GadgetWindow* w = nullptr;
};

// Window points of the six row controls (creation-handler layout, bars 150 wide).
struct RowPoint {
    const char* what;
    int x, y;
};
constexpr RowPoint kRowControls[] = {{"top number", 12, 8},  {"top bar", 80, 8},
                                     {"top frame", 180, 8},  {"bottom number", 12, 26},
                                     {"bottom bar", 80, 26}, {"bottom frame", 180, 26}};

std::wstring texts(const std::vector<PopupItem>& items) {
    std::wstring out;
    for (const auto& i : items)
        out += i.text + (i.checked ? L"* " : L" ");
    return out;
}

TEST_F(ToolsMenu, OpensOnTheRightButtonsReleaseOverEveryRowControlAtTheCursor) {
    for (const auto& c : kRowControls) {
        wintest::mouseMoveTo(at(c.x, c.y));
        wintest::mouseButton(true, true);
        wintest::pumpFor(300);
        EXPECT_TRUE(openPopups().empty()) << c.what << ": opened on the press";
        MenuDriver driver({});
        wintest::mouseButton(true, false);
        wintest::pumpUntil([&] { return driver.done && openPopups().empty(); }, 5000);
        ASSERT_EQ(driver.seen.size(), 1u) << c.what;
        EXPECT_EQ(texts(driver.seen[0].items), L"皮肤 字体 退出 ") << c.what;
        const POINT cursor = at(c.x, c.y);
        EXPECT_EQ(driver.seen[0].at.x, cursor.x) << c.what;
        EXPECT_EQ(driver.seen[0].at.y, cursor.y) << c.what;
    }
}

TEST_F(ToolsMenu, SubmenusListSkinsAndColoursWithTheStartingMarks) {
    const auto skinsSeen = rightClick(at(180, 8), {0, -1});
    ASSERT_GE(skinsSeen.size(), 2u);
    EXPECT_EQ(texts(skinsSeen[1].items), L"默认* 多彩 清新 深夜 星空 科技 日出 日落 芭比 车灯 山雀 ");
    const auto coloursSeen = rightClick(at(180, 8), {1, -1});
    ASSERT_GE(coloursSeen.size(), 2u);
    EXPECT_EQ(texts(coloursSeen[1].items), L"白* 紫 绿 红 黑 ");
    EXPECT_EQ(skinOf(ControlId::Bar2), 0);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinDefault, MenuItemId::ColourWhite}));
}

TEST_F(ToolsMenu, ChoosingASkinSetsBothBarsAndMovesTheMark) {
    rightClick(at(180, 26), {0, 7}); // 日落, from the bottom row
    EXPECT_EQ(skinOf(ControlId::Bar2), 7);
    EXPECT_EQ(skinOf(ControlId::Bar1), 7);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinSunset, MenuItemId::ColourWhite}));
    EXPECT_EQ(w->picture(ControlId::Bar2).width(), 150);

    // A click then changes the top bar; choosing the marked skin again brings it back.
    wintest::clickAt(at(180, 8));
    EXPECT_EQ(skinOf(ControlId::Bar2), 1);
    EXPECT_EQ(skinOf(ControlId::Bar1), 7);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinSunset, MenuItemId::ColourWhite}));
    rightClick(at(180, 8), {0, 7});
    EXPECT_EQ(skinOf(ControlId::Bar2), 7);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinSunset, MenuItemId::ColourWhite}));
}

TEST_F(ToolsMenu, DismissingChangesNothing) {
    const auto before = marked();
    rightClick(at(180, 8), {0, -1});
    rightClick(at(180, 8), {});
    EXPECT_EQ(marked(), before);
    EXPECT_EQ(skinOf(ControlId::Bar2), 0);
    EXPECT_EQ(skinOf(ControlId::Bar1), 0);
    EXPECT_EQ(w->label(ControlId::Label1).textColour(), 0xFFFFFFu);
}

TEST_F(ToolsMenu, ColoursGoToBothNumbers) {
    struct {
        int pos;
        design::Colour value;
        COLORREF screen;
        MenuItemId item;
    } const cases[] = {{3, 0x0000FF, RGB(255, 0, 0), MenuItemId::ColourRed},
                       {1, 0xFF8080, RGB(128, 128, 255), MenuItemId::ColourPurple}};
    for (const auto& c : cases) {
        rightClick(at(180, 8), {1, c.pos});
        EXPECT_EQ(w->label(ControlId::Label1).textColour(), c.value);
        EXPECT_EQ(w->label(ControlId::Label2).textColour(), c.value);
        EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinDefault, c.item}));
        ::UpdateWindow(w->hwnd());
        for (int row : {0, 18}) {
            int exact = 0;
            for (int y = row; y < row + 16; ++y)
                for (int x = 1; x < 25; ++x)
                    exact += wintest::pixelAt(w->hwnd(), x, y) == c.screen;
            EXPECT_GT(exact, 3) << c.value << " row " << row;
        }
    }
}

TEST_F(ToolsMenu, ClicksCycleOneRowThroughThirteenStates) {
    const int want[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 1};
    for (int click = 0; click < 14; ++click) {
        singleClick(8, click);
        EXPECT_EQ(skinOf(ControlId::Bar2), want[click]) << "click " << click + 1;
        EXPECT_EQ(skinOf(ControlId::Bar1), 0) << "click " << click + 1;
    }
    EXPECT_EQ(g->cpuSkinCounter(), 1);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinDefault, MenuItemId::ColourWhite}));
}

TEST_F(ToolsMenu, RowsCountTheirOwnClicks) {
    for (int i = 0; i < 5; ++i)
        singleClick(8, i);
    for (int i = 0; i < 2; ++i)
        singleClick(26, i);
    EXPECT_EQ(skinOf(ControlId::Bar2), 5); // 科技
    EXPECT_EQ(skinOf(ControlId::Bar1), 2); // 清新
}

TEST_F(ToolsMenu, TheMenuNeitherReadsNorSetsTheCounters) {
    rightClick(at(180, 8), {0, 7});
    wintest::clickAt(at(80, 8)); // the top bar steps on release
    EXPECT_EQ(skinOf(ControlId::Bar2), 1);
    EXPECT_EQ(skinOf(ControlId::Bar1), 7);
    EXPECT_EQ(marked(), (std::vector{MenuItemId::SkinSunset, MenuItemId::ColourWhite}));
}

TEST_F(ToolsMenu, EachControlKindStepsItsRowAsItsEventsArrive) {
    struct {
        const char* what;
        POINT press, release;
        bool twice; // a double click
        std::int32_t topSteps, bottomSteps;
    } const cases[] = {
        {"double click on the frame", {180, 8}, {180, 8}, true, 1, 0},
        {"double click on the number", {12, 8}, {12, 8}, true, 1, 0},
        {"double click on the bar", {80, 8}, {80, 8}, true, 2, 0},
        {"press on the frame, release over the bar", {180, 8}, {80, 8}, false, 2, 0},
        {"press on the bar, release over the frame", {80, 8}, {180, 8}, false, 0, 0},
        {"press on the bar, release over the other bar", {80, 8}, {80, 26}, false, 0, 1},
    };
    for (const auto& c : cases) {
        const std::int32_t top = g->cpuSkinCounter(), bottom = g->memSkinCounter();
        wintest::mouseMoveTo(at(c.press.x, c.press.y));
        wintest::mouseButton(false, true);
        wintest::mouseMoveTo(at(c.release.x, c.release.y));
        wintest::mouseButton(false, false);
        if (c.twice) {
            wintest::mouseButton(false, true);
            wintest::mouseButton(false, false);
        }
        EXPECT_EQ(g->cpuSkinCounter() - top, c.topSteps) << c.what;
        EXPECT_EQ(g->memSkinCounter() - bottom, c.bottomSteps) << c.what;
        wintest::pumpFor(600); // past the double-click time
    }
}

TEST_F(ToolsMenu, OpeningAndCancellingLeaksNothing) {
    rightClick(at(180, 8), {}); // warm-up
    const int before = bench::gdiObjectsLeft();
    for (int i = 0; i < 30; ++i)
        rightClick(at(180, 8), {});
    const int after = bench::gdiObjectsLeft();
    std::printf("GDI objects left before %d, after %d\n", before, after);
    EXPECT_EQ(after, before);
}

} // namespace
