// standin_taskbar [taskbar options] [--with-gadget] [--screenshot FILE] [--seconds N]
//   --no-taskbar --no-rebar --no-taskband --taskband-title T --taskbar-title T --rebar-width N --rebar-late
//   MS
// With --with-gadget the gadget starts in this process, docked in the stand-in (Wine draws a child window
// only when its parent belongs to the same process).
#include "app/gadget.h"
#include "app/program.h"
#include "platform/platform.h"
#include "tools/standin_taskbar/standin_taskbar.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

standin::Taskbar* g_taskbar = nullptr;
std::wstring g_screenshot;
int g_secondsLeft = -1;
bool g_withGadget = false;

void CALLBACK everySecond(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_screenshot.empty() && g_taskbar && g_taskbar->taskbar())
        standin::saveWindowPng(g_taskbar->taskbar(), g_screenshot);
    if (g_secondsLeft > 0 && --g_secondsLeft == 0) {
        // Ending the taskbar takes a docked gadget with it; the gadget's own loop then ends.
        if (g_taskbar && g_taskbar->taskbar()) ::DestroyWindow(g_taskbar->taskbar());
        if (!g_withGadget || !app::gadget() || !app::gadget()->window().hwnd()) ::PostQuitMessage(0);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    int next = 1;
    auto options = standin::parseOptions(argc, argv, next);
    for (; options && next < argc; ++next) {
        const std::wstring_view a = argv[next];
        if (a == L"--with-gadget")
            g_withGadget = true;
        else if (a == L"--screenshot" && next + 1 < argc)
            g_screenshot = argv[++next];
        else if (a == L"--seconds" && next + 1 < argc)
            g_secondsLeft = static_cast<int>(std::wcstol(argv[++next], nullptr, 10));
        else
            options.reset();
    }
    if (!options) {
        std::fputs("usage: standin_taskbar [--no-taskbar] [--no-rebar] [--no-taskband] [--taskband-title T]\n"
                   "       [--taskbar-title T] [--rebar-width N] [--rebar-late MS] [--with-gadget]\n"
                   "       [--screenshot FILE] [--seconds N]\n",
                   stderr);
        return 2;
    }
    ::LocalFree(argv);

    standin::Taskbar taskbar(*options);
    g_taskbar = &taskbar;
    if (!g_screenshot.empty() || g_secondsLeft > 0) ::SetTimer(nullptr, 0, 1000, &everySecond);
    if (!g_screenshot.empty()) std::printf("screenshot: %ls (every second)\n", g_screenshot.c_str());
    std::fflush(stdout);

    if (g_withGadget) platform::endProgram(app::startProgram());

    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
