#include "platform/platform.h"

#include "ui/gadget_window.h"

#include <windows.h>

#include <float.h>
#include <xmmintrin.h>

#include <vector>

namespace platform {
namespace {

std::vector<EndAction>& endActions() {
    static std::vector<EndAction> actions;
    return actions;
}

int g_openWindows = 0;
bool g_loopRunning = false;

} // namespace

void initialise() {
    ui::registerWindowClasses(::GetModuleHandleW(nullptr));
}

void resetFloatingPoint() {
#if defined(__i386__) || defined(__x86_64__)
    // x87 control word: precision control 11 (64-bit significand), rounding 00 (nearest), all six masks set.
    const unsigned short x87 = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(x87));
    _mm_setcsr((_mm_getcsr() & ~0x6000u) | 0x1F80u); // SSE: round to nearest, every exception masked
#endif
}

void registerEndAction(EndAction action) {
    endActions().push_back(action);
}

void runEndActions() {
    auto actions = std::move(endActions());
    endActions().clear();
    for (EndAction a : actions)
        a();
}

bool loadWindow(ui::GadgetWindow& window) {
    if (!window.build()) return false;
    window.raiseCreated();
    window.show();
    return true;
}

void runMessageLoop() {
    if (g_openWindows == 0) return;
    g_loopRunning = true;
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    g_loopRunning = false;
}

[[noreturn]] void endProgram(std::int32_t exitCode) {
    runEndActions();
    ::ExitProcess(static_cast<UINT>(exitCode));
}

void windowOpened() {
    ++g_openWindows;
}

void windowClosed() {
    if (g_openWindows > 0 && --g_openWindows == 0 && g_loopRunning) ::PostQuitMessage(0);
}

int openWindows() {
    return g_openWindows;
}

} // namespace platform
