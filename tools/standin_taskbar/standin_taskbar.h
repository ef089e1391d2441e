// A stand-in taskbar: "Shell_TrayWnd" > "ReBarWindow32" > "MSTaskSwWClass", made with the wide API.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

struct TaskbarOptions {
    bool taskbar = true;
    bool rebar = true;
    bool taskBand = true;
    std::wstring taskbarTitle; // empty, as the shell's
    std::wstring taskBandTitle = L"运行中的应用程序";
    std::optional<std::int32_t> rebarWidth; // default: the taskbar's width less a start button and a tray
    std::int32_t rebarLateMs = 0;           // > 0: the rebar (and its band) appear only after this delay
};

// Messages a test in another process posts to the taskbar window to change the shell under the gadget.
inline constexpr UINT kRemoveTaskBand = WM_APP + 1;
inline constexpr UINT kRecreateTaskBand = WM_APP + 2;

// Parses the command-line options shared by the tool and the tests; unknown options make it fail.
std::optional<TaskbarOptions> parseOptions(int argc, wchar_t** argv, int& next);

class Taskbar {
  public:
    explicit Taskbar(const TaskbarOptions& options);
    ~Taskbar();
    Taskbar(const Taskbar&) = delete;
    Taskbar& operator=(const Taskbar&) = delete;

    HWND taskbar() const { return taskbar_; }
    HWND rebar() const { return rebar_; }
    HWND taskBand() const { return taskBand_; }
    void addRebar(); // the late rebar
    void addTaskBand();

  private:
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    TaskbarOptions options_;
    HWND taskbar_ = nullptr;
    HWND rebar_ = nullptr;
    HWND taskBand_ = nullptr;
};

// The screen's pixels under a window, as a PNG file.
bool saveWindowPng(HWND window, const std::wstring& path);
bool saveScreenPng(const RECT& screenRect, const std::wstring& path);

// 32-bit top-down B, G, R, x pixels as an opaque PNG file.
bool writePng(const std::wstring& path, int width, int height, const std::uint8_t* bgrx);

} // namespace standin
