// What the Win32 tests share: pumping messages, reading pixels, starting the real exes.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wintest {

// Dispatches this thread's messages for about `ms` milliseconds.
void pumpFor(int ms);
// Dispatches messages until `done` holds or `ms` pass; returns whether it held.
bool pumpUntil(const std::function<bool()>& done, int ms);

// A pixel of a window as it shows on screen (read from the window's own DC).
COLORREF pixelAt(HWND w, int x, int y);
inline std::uint8_t red(COLORREF c) {
    return GetRValue(c);
}
inline std::uint8_t green(COLORREF c) {
    return GetGValue(c);
}
inline std::uint8_t blue(COLORREF c) {
    return GetBValue(c);
}

// A PNG file of w x h pixels; `rgba` gives each pixel as 0xAARRGGBB.
std::vector<std::uint8_t> makePng(int w, int h, const std::function<std::uint32_t(int x, int y)>& argb);

// Left-button and right-button input at a screen point, through SendInput.
void mouseMoveTo(POINT screen);
// The same input without pumping, for use inside another modal loop (an open menu).
void sendMouseMove(POINT screen);
void sendMouseButton(bool right, bool down);
void mouseButton(bool right, bool down);
void clickAt(POINT screen, bool right = false);
POINT screenPoint(HWND w, int x, int y);

// A Unix path of the build, as Wine sees it (Z: drive).
std::wstring windowsPath(const char* unixPath);

// A process started by a test; killed on destruction unless it has ended.
class Process {
  public:
    Process(const std::wstring& exe, const std::wstring& args);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    // The exit code, or nothing if the process has not ended within `ms`.
    std::optional<DWORD> waitExit(int ms);
    // Waits until the process has made its windows and waits for input.
    bool waitIdle(int ms);
    void kill();

  private:
    PROCESS_INFORMATION info_{};
};

// Top-level windows of a process with a class.
HWND findProcessWindow(DWORD pid, const wchar_t* cls);

RECT windowRect(HWND w);
// A window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND w);

} // namespace wintest
