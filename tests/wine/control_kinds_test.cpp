// The control kinds in the real gadget window, in this process: pixels read back from the window.
#include "app/gadget.h"
#include "app/program.h"
#include "bench/object_counts.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

using design::ControlId;
using wintest::blue;
using wintest::green;
using wintest::red;

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// Left half red, right half blue: a squeezed image would show blue early.
std::vector<std::uint8_t> halvesPng() {
    return wintest::makePng(200, 16, [](int x, int) { return x < 100 ? kRed : kBlue; });
}

class ControlKinds : public ::testing::Test {
  protected:
    void SetUp() override {
        app::startUp();
        w = &app::gadget()->window();
        ASSERT_NE(w->hwnd(), nullptr);
        // Quiet: no meter or docking tick moves anything while pixels are read.
        w->timer(ControlId::Timer1).setPeriod(0);
        w->timer(ControlId::Timer2).setPeriod(0);
        w->setHeight(36);
        settle();
    }
    void TearDown() override {
        if (w && w->hwnd()) ::DestroyWindow(w->hwnd());
    }
    void settle() {
        ::UpdateWindow(w->hwnd());
        wintest::pumpFor(60);
    }
    COLORREF px(int x, int y) { return wintest::pixelAt(w->hwnd(), x, y); }
    // Pixels of the window's rectangle [x0, x1) x [y0, y1) that satisfy `pred`.
    template <typename P> int count(int x0, int y0, int x1, int y1, P pred) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (pred(px(x, y), x, y)) ++n;
        return n;
    }
    ui::PictureBox& topBar() { return w->picture(ControlId::Bar2); }
    ui::TransparentLabel& topNumber() { return w->label(ControlId::Label1); }
    ui::GadgetWindow* w = nullptr;
};

bool isBlack(COLORREF c) {
    return c == RGB(0, 0, 0);
}
bool isBright(COLORREF c) {
    return red(c) > 160 && green(c) > 160 && blue(c) > 160;
}

TEST_F(ControlKinds, FramesAreSolidBlack) {
    topNumber().setLeft(160);
    w->label(ControlId::Label2).setLeft(160);
    settle();
    EXPECT_EQ(count(0, 0, 150, 36, [](COLORREF c, int, int) { return !isBlack(c); }), 0);
}

struct BarCase {
    std::int32_t width;
    int x;         // window column: bar column x - 1
    COLORREF want; // 0xFFFFFFFF: the bar's background colour
};

TEST_F(ControlKinds, BarShowsItsPictureAtNaturalSizeCutByTheFrame) {
    topBar().setPicture(halvesPng());
    topNumber().setLeft(170); // keep the number off the sampled columns
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const BarCase cases[] = {
        {0, 50, RGB(0, 0, 0)},      {100, 50, RGB(255, 0, 0)},  {100, 100, RGB(255, 0, 0)},
        {100, 101, RGB(0, 0, 0)},   {200, 100, RGB(255, 0, 0)}, {200, 101, RGB(0, 0, 255)},
        {200, 200, RGB(0, 0, 255)}, {200, 201, RGB(0, 0, 0)},   {250, 201, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        topBar().setWidth(c.width);
        settle();
        EXPECT_EQ(px(c.x, 8), c.want == 0xFFFFFFFF ? face : c.want) << "width " << c.width << " x " << c.x;
    }
    // 100 wide: the left half only, nothing of the blue right half squeezed in.
    topBar().setWidth(100);
    settle();
    EXPECT_EQ(count(1, 1, 160, 17, [](COLORREF c, int, int) { return blue(c) > 100; }), 0);
}

TEST_F(ControlKinds, PartlyTransparentPixelsBlendWithTheBarsBackgroundOnce) {
    topBar().setPicture(wintest::makePng(200, 16, [](int, int) { return 0x80C81E00; })); // a=128: 200, 30, 0
    topBar().setWidth(200);
    topNumber().setLeft(170);
    settle();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    auto blend = [](int c, int bg) { return static_cast<int>(128.0 / 255 * c + (1 - 128.0 / 255) * bg); };
    const COLORREF got = px(60, 8);
    EXPECT_EQ(red(got), blend(200, GetRValue(face)));
    EXPECT_EQ(green(got), blend(30, GetGValue(face)));
    EXPECT_EQ(blue(got), blend(0, GetBValue(face)));
}

TEST_F(ControlKinds, UndecodablePicturesLeaveOnlyTheBackground) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    auto truncated = halvesPng();
    truncated.resize(truncated.size() / 2);
    const std::vector<std::vector<std::uint8_t>> bad{{}, {'G', 'I', 'F', '8', '9', 'a'}, truncated};
    topBar().setWidth(100);
    topNumber().setLeft(170);
    for (const auto& bytes : bad) {
        topBar().setPicture(halvesPng());
        topBar().setPicture(bytes);
        settle();
        EXPECT_FALSE(topBar().hasImage());
        EXPECT_EQ(px(50, 8), face) << bytes.size();
        EXPECT_EQ(topBar().width(), 100);
    }
}

TEST_F(ControlKinds, ANewNumberLeavesNoTraceOfTheOldDigits) {
    ASSERT_GT(count(1, 0, 25, 16, [](COLORREF c, int, int) { return isBright(c); }), 10); // "100" shows
    topNumber().setText(L"7");
    settle();
    // "7" is narrow and centred: the outer columns of the label held "1" and "0" and must be black again.
    auto outer = [](COLORREF c, int x, int) { return (x < 7 || x > 19) && !isBlack(c); };
    EXPECT_EQ(count(1, 0, 25, 16, outer), 0);
    EXPECT_GT(count(1, 0, 25, 16, [](COLORREF c, int, int) { return isBright(c); }), 3);
}

TEST_F(ControlKinds, ALabelMovedAwayLeavesItsOldPlaceClean) {
    topNumber().setLeft(120);
    settle();
    EXPECT_EQ(count(0, 0, 60, 18, [](COLORREF c, int, int) { return !isBlack(c); }), 0);
    EXPECT_GT(count(110, 0, 150, 18, [](COLORREF c, int, int) { return isBright(c); }), 10);
}

TEST_F(ControlKinds, TextWiderThanTheLabelIsCentredOnOneLine) {
    topNumber().setLeft(100);
    topNumber().setText(L"8888888888");
    settle();
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    count(0, 0, 202, 18, [&](COLORREF c, int x, int y) {
        if (!isBright(c)) return false;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
        maxY = std::max(maxY, y);
        return true;
    });
    // The label's own window cuts what DrawTextW does not clip: both edges are reached, evenly.
    EXPECT_LE(minX, 101);
    EXPECT_GE(maxX, 122);
    EXPECT_LE(std::abs((minX + maxX) / 2 - 112), 2);
    EXPECT_LE(maxY - minY, 14); // one line
    EXPECT_LT(maxY, 18);        // within the top row
}

TEST_F(ControlKinds, TextColourIsAWindowsColourValue) {
    struct {
        design::Colour value;
        COLORREF screen;
    } const cases[] = {
        {0x0000FF, RGB(255, 0, 0)}, {0xFF8080, RGB(128, 128, 255)}, {0x80E000, RGB(0, 224, 128)}};
    for (const auto& c : cases) {
        topNumber().setTextColour(c.value);
        settle();
        EXPECT_GT(count(1, 0, 25, 16, [&](COLORREF p, int, int) { return p == c.screen; }), 3) << c.value;
        EXPECT_EQ(count(1, 0, 25, 16, [](COLORREF p, int, int) { return isBright(p); }), 0) << c.value;
    }
}

TEST_F(ControlKinds, PlacesAndSizesAreClampedAndReadBack) {
    struct {
        std::int32_t in, place, size;
    } const cases[] = {
        {-2, -2, 0}, {0, 0, 0}, {40000, 32627, 32627}, {-40000, -32627, 0}, {INT32_MIN, -32627, 0}};
    auto& bar = topBar();
    auto& number = topNumber();
    for (const auto& c : cases) {
        bar.setWidth(c.in);
        EXPECT_EQ(bar.width(), c.size) << c.in;
        EXPECT_EQ(bar.height(), 16) << c.in;
        EXPECT_EQ(bar.left(), 1) << c.in;
        number.setLeft(c.in);
        EXPECT_EQ(number.left(), c.place) << c.in;
        EXPECT_EQ(number.top(), 0) << c.in;
        EXPECT_EQ(number.width(), 24) << c.in;
        number.setTop(c.in);
        EXPECT_EQ(number.top(), c.place) << c.in;
        number.setTop(0);
        number.setHeight(c.in);
        EXPECT_EQ(number.height(), c.size) << c.in;
        number.setHeight(16);
    }
}

TEST_F(ControlKinds, TheWindowKeepsItsTopLeftWhenResized) {
    const std::int32_t left = w->left(), top = w->top();
    w->setWidth(300);
    w->setHeight(-5);
    EXPECT_EQ(w->width(), 300);
    EXPECT_EQ(w->height(), 0);
    EXPECT_EQ(w->left(), left);
    EXPECT_EQ(w->top(), top);
}

// Counts the gadget's WM_TIMER messages for one timer as they are fetched.
class TimerTicks {
  public:
    explicit TimerTicks(UINT_PTR id) : id_(id) {
        self_ = this;
        hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, &TimerTicks::hook, nullptr, ::GetCurrentThreadId());
    }
    ~TimerTicks() {
        ::UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    std::vector<ULONGLONG> at;

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<const MSG*>(lp);
        if (code >= 0 && wp == PM_REMOVE && m->message == WM_TIMER && self_ && m->wParam == self_->id_)
            self_->at.push_back(::GetTickCount64());
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline TimerTicks* self_ = nullptr;
    UINT_PTR id_;
    HHOOK hook_;
};

TEST_F(ControlKinds, TimerPeriodWrites) {
    auto& t = w->timer(ControlId::Timer2);
    TimerTicks ticks(t.timerId());
    t.setPeriod(1000);
    const ULONGLONG started = ::GetTickCount64();
    wintest::pumpFor(600);
    t.setPeriod(1000); // the same period: no restart, so the tick still comes 1000 ms after the start
    wintest::pumpUntil([&] { return !ticks.at.empty(); }, 2000);
    ASSERT_FALSE(ticks.at.empty());
    EXPECT_LT(ticks.at.front() - started, 1400u);

    for (const std::int32_t stop : {0, -5}) {
        t.setPeriod(300);
        EXPECT_TRUE(t.running());
        t.setPeriod(stop);
        EXPECT_FALSE(t.running());
        EXPECT_EQ(t.period(), 0);
        ticks.at.clear();
        wintest::pumpFor(700);
        EXPECT_TRUE(ticks.at.empty()) << stop;
    }
    t.setPeriod(200);
    wintest::pumpFor(700);
    EXPECT_GE(ticks.at.size(), 2u);
    ::DestroyWindow(w->hwnd());
    EXPECT_FALSE(t.running()); // a timer stops with its window
}

TEST_F(ControlKinds, WritesReleaseEveryGdiObjectTheyMake) {
    const auto picture = halvesPng();
    auto soak = [&](int texts, int pictures) {
        for (int i = 0; i < texts; ++i) {
            topNumber().setText(std::to_wstring(i % 101));
            topNumber().setLeft(1 + i % 150);
        }
        for (int i = 0; i < pictures; ++i)
            topBar().setPicture(picture);
        settle();
    };
    topBar().setWidth(150);
    soak(50, 10); // warm-up: caches that live for the process
    const int before = bench::gdiObjectsLeft();
    soak(10000, 1000);
    const int after = bench::gdiObjectsLeft();
    std::printf("GDI objects left before %d, after %d\n", before, after);
    EXPECT_EQ(after, before);
}

} // namespace

namespace {

TEST_F(ControlKinds, ExtremeWritesNeitherCrashNorLeak) {
    std::vector<std::uint8_t> huge(10 * 1024 * 1024, 0xA5);
    std::vector<std::uint8_t> hugePngHead = halvesPng();
    hugePngHead.resize(10 * 1024 * 1024, 0x00); // a real PNG followed by 10 MB of zeros
    const std::wstring longText(64 * 1024, L'9');
    auto pass = [&] {
        for (const std::int32_t v : {INT32_MIN, INT32_MIN + 1, -1, 0, INT32_MAX}) {
            for (auto id : {ControlId::Label1, ControlId::Bar2, ControlId::Frame1}) {
                auto& c = w->control(id);
                c.setLeft(v), c.setTop(v), c.setWidth(v), c.setHeight(v);
            }
            w->timer(ControlId::Timer1).setPeriod(v);
        }
        w->timer(ControlId::Timer1).setPeriod(0);
        topNumber().setText(L"");
        topNumber().setText(longText);
        topNumber().setText(std::wstring(L"\0\0x", 3));
        topBar().setPicture({});
        topBar().setPicture(huge);
        EXPECT_FALSE(topBar().hasImage());
        topBar().setPicture(hugePngHead);
        topBar().setPicture(halvesPng());
        EXPECT_TRUE(topBar().hasImage());
        settle();
    };
    pass(); // warm-up
    const int before = bench::gdiObjectsLeft();
    for (int i = 0; i < 5; ++i)
        pass();
    EXPECT_EQ(bench::gdiObjectsLeft(), before);
    EXPECT_EQ(topNumber().width(), 32627); // the last writes were INT32_MAX, clamped
    EXPECT_EQ(topNumber().left(), 32627);
    EXPECT_TRUE(::IsWindow(w->hwnd()));
}

} // namespace
