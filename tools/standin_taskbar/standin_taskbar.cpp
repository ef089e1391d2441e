#include "tools/standin_taskbar/standin_taskbar.h"

#include "platform/handle.h"

#include <cwchar>
#include <string_view>

namespace standin {
namespace {

constexpr std::int32_t kTaskbarHeight = 40;
constexpr std::int32_t kStartButtonWidth = 60;
constexpr std::int32_t kTrayWidth = 120;
constexpr UINT_PTR kLateRebarTimer = 1;

struct Look {
    const wchar_t* cls;
    COLORREF colour;
};
constexpr Look kTaskbarLook{L"Shell_TrayWnd", RGB(32, 36, 44)};
constexpr Look kRebarLook{L"ReBarWindow32", RGB(48, 54, 66)};
constexpr Look kBandLook{L"MSTaskSwWClass", RGB(70, 96, 140)};

void registerClass(const Look& look) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = look.cls;
    ::RegisterClassExW(&wc);
}

void paintSolid(HWND w, COLORREF c) {
    platform::PaintGuard pg(w);
    const platform::BrushHandle brush(::CreateSolidBrush(c));
    ::FillRect(pg.dc(), &pg.area(), brush.get());
}

LRESULT CALLBACK childProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        paintSolid(w, static_cast<COLORREF>(::GetWindowLongPtrW(w, GWLP_USERDATA)));
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return ::DefWindowProcW(w, msg, wp, lp);
}

HWND makeChild(const Look& look, HWND parent, const std::wstring& title, int x, int y, int w, int h) {
    const HWND hwnd = ::CreateWindowExW(0, look.cls, title.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                        x, y, w, h, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(look.colour));
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&childProc));
    return hwnd;
}

} // namespace

std::optional<TaskbarOptions> parseOptions(int argc, wchar_t** argv, int& next) {
    TaskbarOptions o;
    for (; next < argc; ++next) {
        const std::wstring_view a = argv[next];
        const bool hasValue = next + 1 < argc;
        if (a == L"--no-taskbar")
            o.taskbar = false;
        else if (a == L"--no-rebar")
            o.rebar = false;
        else if (a == L"--no-taskband")
            o.taskBand = false;
        else if (a == L"--taskband-title" && hasValue)
            o.taskBandTitle = argv[++next];
        else if (a == L"--taskbar-title" && hasValue)
            o.taskbarTitle = argv[++next];
        else if (a == L"--rebar-width" && hasValue)
            o.rebarWidth = static_cast<std::int32_t>(std::wcstol(argv[++next], nullptr, 10));
        else if (a == L"--rebar-late" && hasValue)
            o.rebarLateMs = static_cast<std::int32_t>(std::wcstol(argv[++next], nullptr, 10));
        else if (a.starts_with(L"--"))
            break; // the caller's own options follow
        else
            return std::nullopt;
    }
    return o;
}

Taskbar::Taskbar(const TaskbarOptions& options) : options_(options) {
    for (const Look* l : {&kTaskbarLook, &kRebarLook, &kBandLook})
        registerClass(*l);
    if (!options_.taskbar) return;
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    taskbar_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kTaskbarLook.cls, options_.taskbarTitle.c_str(),
                                 WS_POPUP | WS_CLIPCHILDREN, 0, sh - kTaskbarHeight, sw, kTaskbarHeight,
                                 nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(taskbar_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(taskbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Taskbar::proc));
    ::ShowWindow(taskbar_, SW_SHOWNOACTIVATE);
    if (!options_.rebar) return;
    if (options_.rebarLateMs > 0)
        ::SetTimer(taskbar_, kLateRebarTimer, options_.rebarLateMs, nullptr);
    else
        addRebar();
}

Taskbar::~Taskbar() {
    if (taskbar_ && ::IsWindow(taskbar_)) ::DestroyWindow(taskbar_);
}

void Taskbar::addRebar() {
    if (rebar_ || !taskbar_) return;
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int width = options_.rebarWidth.value_or(sw - kStartButtonWidth - kTrayWidth);
    rebar_ = makeChild(kRebarLook, taskbar_, L"", kStartButtonWidth, 2, width, kTaskbarHeight - 4);
    if (options_.taskBand) addTaskBand();
}

void Taskbar::addTaskBand() {
    if (taskBand_ || !rebar_) return;
    RECT r{};
    ::GetClientRect(rebar_, &r);
    taskBand_ = makeChild(kBandLook, rebar_, options_.taskBandTitle, 0, 0, r.right, r.bottom);
}

LRESULT CALLBACK Taskbar::proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Taskbar*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    switch (msg) {
    case WM_TIMER:
        if (wp == kLateRebarTimer && self) {
            ::KillTimer(w, kLateRebarTimer);
            self->addRebar();
            return 0;
        }
        break;
    case kRemoveTaskBand:
        if (self && self->taskBand_) {
            ::DestroyWindow(self->taskBand_);
            self->taskBand_ = nullptr;
        }
        return 0;
    case kRecreateTaskBand:
        if (self) self->addTaskBand();
        return 0;
    case WM_PAINT:
        paintSolid(w, kTaskbarLook.colour);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        if (self) self->taskbar_ = self->rebar_ = self->taskBand_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(w, msg, wp, lp);
}

} // namespace standin
