// The real exe docking into a stand-in taskbar that runs in another process, and the ways it ends.
#include "tools/standin_taskbar/standin_taskbar.h"
#include "ui/design/gadget_design.h"
#include "ui/docking.h"
#include "ui/gadget_window.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

using wintest::Process;

constexpr wchar_t kGadgetClass[] = L"BarMeterGadget";

struct Shell {
    HWND taskbar = nullptr, rebar = nullptr, taskBand = nullptr;
};

// The first stand-in taskbar in Z order, as the gadget finds it.
Shell findShell(const wchar_t* bandTitle = ui::kTaskBandTitle) {
    Shell s;
    s.taskbar = ::FindWindowExW(nullptr, nullptr, ui::kTaskbarClass, L"");
    if (s.taskbar) s.rebar = ::FindWindowExW(s.taskbar, nullptr, ui::kRebarClass, L"");
    if (s.rebar) s.taskBand = ::FindWindowExW(s.rebar, nullptr, ui::kTaskBandClass, bandTitle);
    return s;
}

class Docking : public ::testing::Test {
  protected:
    void startShell(const std::wstring& args) {
        shell = std::make_unique<Process>(wintest::windowsPath(STANDIN_TASKBAR_EXE), args);
        ASSERT_TRUE(shell->started());
        ASSERT_TRUE(shell->waitIdle(10000));
    }
    void startGadget() {
        gadget = std::make_unique<Process>(wintest::windowsPath(BARMETER_EXE), L"");
        ASSERT_TRUE(gadget->started());
    }
    // The gadget's window, wherever it lives: in the rebar or at the top level.
    HWND gadgetWindow() {
        const Shell s = findShell();
        if (s.rebar)
            if (HWND w = ::FindWindowExW(s.rebar, nullptr, kGadgetClass, nullptr)) return w;
        return wintest::findProcessWindow(gadget->id(), kGadgetClass);
    }
    // Stand-in taskbar with `args`, then the gadget, up to its first docking tick.
    HWND dockedIn(const std::wstring& args) {
        startShell(args);
        if (HasFatalFailure()) return nullptr;
        startGadget();
        if (HasFatalFailure()) return nullptr;
        return waitDocked();
    }
    // Waits for the first docking tick: the gadget becomes 33 pixels tall.
    HWND waitDocked() {
        HWND w = nullptr;
        wintest::pumpUntil(
            [&] {
                w = gadgetWindow();
                if (!w) return false;
                const RECT r = wintest::windowRect(w);
                return r.bottom - r.top == 33;
            },
            10000);
        return w;
    }
    std::unique_ptr<Process> shell, gadget;
};

// Looked up at run time: the build targets Windows 7, which lacks these calls.
int windowDpiAwareness(HWND w) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using Context = void*;
    const auto windowContext = reinterpret_cast<Context(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<int(WINAPI*)(Context)>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    return windowContext && awareness ? awareness(windowContext(w)) : -1;
}

void expectRect(const RECT& r, LONG x, LONG y, LONG w, LONG h, const char* what) {
    EXPECT_EQ(r.left, x) << what;
    EXPECT_EQ(r.top, y) << what;
    EXPECT_EQ(r.right - r.left, w) << what;
    EXPECT_EQ(r.bottom - r.top, h) << what;
}

TEST_F(Docking, NarrowsTheTaskBandAndTakesTheRebarsRightEnd) {
    const HWND w = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(w, nullptr);
    const Shell s = findShell();
    EXPECT_EQ(::GetAncestor(w, GA_PARENT), s.rebar);
    expectRect(wintest::rectInParent(s.taskBand), 0, 0, 798, 40, "task band");
    expectRect(wintest::rectInParent(w), 798, 3, 202, 33, "gadget");
    // Docking changes the parent only: the popup style stays.
    EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & WS_CHILD, 0);
    // The manifest makes the exe per-monitor aware: its pixels are the taskbar's physical pixels.
    EXPECT_EQ(windowDpiAwareness(w), 2); // DPI_AWARENESS_PER_MONITOR_AWARE
}

TEST_F(Docking, TheLayoutFollowsANarrowedRebarWithinOnePeriod) {
    const HWND w = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(w, nullptr);
    const Shell s = findShell();
    ::SetWindowPos(s.rebar, nullptr, 0, 0, 600, 36, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(wintest::pumpUntil([&] { return wintest::rectInParent(w).left == 398; }, 2500));
    expectRect(wintest::rectInParent(s.taskBand), 0, 0, 398, 40, "task band");
}

TEST_F(Docking, ATaskBandResizedByTheShellIsNarrowedAgainAtTheNextTick) {
    const HWND w = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(w, nullptr);
    const Shell s = findShell();
    ::SetWindowPos(s.taskBand, nullptr, 0, 0, 1000, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(wintest::pumpUntil([&] { return wintest::rectInParent(s.taskBand).right == 798; }, 2500));
}

TEST_F(Docking, ATaskBandRemovedAndRecreatedIsFoundAnew) {
    const HWND w = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(w, nullptr);
    const HWND taskbar = findShell().taskbar;
    ::PostMessageW(taskbar, standin::kRemoveTaskBand, 0, 0);
    ASSERT_TRUE(wintest::pumpUntil([] { return findShell().taskBand == nullptr; }, 2000));
    ::SetWindowPos(findShell().rebar, nullptr, 0, 0, 900, 36, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(
        wintest::pumpUntil([&] { return wintest::rectInParent(w).left == 698; }, 2500)); // still moving
    ::PostMessageW(taskbar, standin::kRecreateTaskBand, 0, 0);
    EXPECT_TRUE(wintest::pumpUntil(
        [] {
            const HWND band = findShell().taskBand;
            return band && wintest::rectInParent(band).right == 698;
        },
        3000));
    EXPECT_FALSE(gadget->waitExit(0).has_value());
}

TEST_F(Docking, TwoCopiesBothKeepWorking) {
    const HWND first = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(first, nullptr);
    Process second(wintest::windowsPath(BARMETER_EXE), L"");
    ASSERT_TRUE(second.started());
    HWND other = nullptr;
    ASSERT_TRUE(wintest::pumpUntil(
        [&] {
            other = ::FindWindowExW(findShell().rebar, first, kGadgetClass, nullptr);
            if (!other) other = ::FindWindowExW(findShell().rebar, nullptr, kGadgetClass, nullptr);
            return other && other != first &&
                   wintest::rectInParent(other).bottom - wintest::rectInParent(other).top == 33;
        },
        10000));
    wintest::pumpFor(1500);
    for (HWND w : {first, other}) {
        DWORD_PTR answer = 0;
        EXPECT_NE(::SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
        expectRect(wintest::rectInParent(w), 798, 3, 202, 33, "each copy");
    }
    ::PostMessageW(first, WM_CLOSE, 0, 0);
    ::PostMessageW(other, WM_CLOSE, 0, 0);
    EXPECT_EQ(gadget->waitExit(10000).value_or(99), 0u);
    EXPECT_EQ(second.waitExit(10000).value_or(99), 0u);
}

struct MissingCase {
    const char* what;
    const wchar_t* args;
    bool inRebar;   // the gadget became the rebar's child
    LONG left;      // gadget left in its parent's coordinates
    bool bandMoved; // the band was narrowed
};

void PrintTo(const MissingCase& c, std::ostream* os) {
    *os << c.what;
}

class DockingWithout : public Docking, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(DockingWithout, GadgetStillMovesAndNothingFails) {
    const auto& c = GetParam();
    const HWND w = dockedIn(c.args);
    ASSERT_NE(w, nullptr) << c.what;
    const Shell s = findShell();
    EXPECT_EQ(s.rebar && ::GetAncestor(w, GA_PARENT) == s.rebar, c.inRebar) << c.what;
    expectRect(wintest::rectInParent(w), c.left, 3, 202, 33, c.what);
    // A task band under another title is left as the shell made it.
    if (HWND other = findShell(L"Running applications").taskBand) {
        EXPECT_EQ(wintest::rectInParent(other).right, 1000) << c.what;
    }
    EXPECT_FALSE(gadget->waitExit(0).has_value()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Shells, DockingWithout,
    ::testing::Values(MissingCase{"no taskbar", L"--no-taskbar", false, -202, false},
                      MissingCase{"no rebar", L"--no-rebar", false, -202, false},
                      MissingCase{"no task band", L"--rebar-width 1000 --no-taskband", true, 798, false},
                      MissingCase{"task band in another language",
                                  L"--rebar-width 1000 --taskband-title \"Running applications\"", true, 798,
                                  false},
                      MissingCase{"taskbar with a title", L"--rebar-width 1000 --taskbar-title Taskbar",
                                  false, -202, false}));

TEST_F(Docking, RebarNarrowerThanTheGadgetGivesANegativeLeft) {
    const HWND w = dockedIn(L"--rebar-width 150");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wintest::rectInParent(w).left, -52);
    const RECT band = wintest::rectInParent(findShell().taskBand);
    EXPECT_EQ(band.left, 0);
    EXPECT_LE(band.right - band.left, 0); // asked for -52; the window system keeps no negative width
}

TEST_F(Docking, ARebarThatAppearsLaterIsNeverAdopted) {
    const HWND w = dockedIn(L"--rebar-width 1000 --rebar-late 2500");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(wintest::pumpUntil([] { return findShell().rebar != nullptr; }, 5000));
    // The next ticks use the rebar's numbers, now as screen coordinates of a top-level window.
    EXPECT_TRUE(wintest::pumpUntil([&] { return wintest::windowRect(w).left == 798; }, 2500));
    EXPECT_NE(::GetAncestor(w, GA_PARENT), findShell().rebar);
    EXPECT_EQ(::GetAncestor(w, GA_PARENT), ::GetDesktopWindow());
}

enum class Ending { ExitItem, CloseMessage, Escape };

class Ends : public Docking, public ::testing::WithParamInterface<Ending> {};

TEST_P(Ends, WithExitCodeZeroAndTheStripGivenBack) {
    const HWND w = dockedIn(L"--rebar-width 1000");
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(wintest::rectInParent(findShell().taskBand).right, 798);
    switch (GetParam()) {
    case Ending::ExitItem:
        ::PostMessageW(w, WM_COMMAND, ui::kMenuCommandBase + static_cast<UINT>(design::MenuItemId::Exit), 0);
        break;
    case Ending::CloseMessage:
        ::PostMessageW(w, WM_CLOSE, 0, 0);
        break;
    case Ending::Escape:
        ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    }
    const auto code = gadget->waitExit(10000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
    // No tick narrows the band again: it keeps the whole rebar.
    wintest::pumpFor(1500);
    expectRect(wintest::rectInParent(findShell().taskBand), 0, 0, 1000, 40, "task band after exit");
}

INSTANTIATE_TEST_SUITE_P(Ways, Ends,
                         ::testing::Values(Ending::ExitItem, Ending::CloseMessage, Ending::Escape));

TEST_F(Docking, KillingTheShellTakesTheGadgetWithIt) {
    ASSERT_NE(dockedIn(L"--rebar-width 1000"), nullptr);
    shell->kill();
    const auto code = gadget->waitExit(10000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

} // namespace
