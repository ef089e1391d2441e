#include "ui/docking.h"

#include "ui/gadget_window.h"

namespace ui {

HWND findWindow(HWND parent, HWND after, const wchar_t* className, const wchar_t* title) {
    return ::FindWindowExW(parent, after, className, title);
}

WindowBox windowBox(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return boxFromRect(r.left, r.top, r.right, r.bottom);
}

void dockIntoTaskbar(GadgetWindow& gadget) {
    const HWND self = gadget.hwnd();
    const HWND taskbar = findWindow(nullptr, nullptr, kTaskbarClass, L"");
    const HWND rebar = findWindow(taskbar, nullptr, kRebarClass, L"");
    ::SetParent(self, rebar);
}

void onDockingTick(GadgetWindow& gadget) {
    const HWND taskbar = findWindow(nullptr, nullptr, kTaskbarClass, L"");
    const WindowBox taskbarBox = windowBox(taskbar);
    const HWND rebar = findWindow(taskbar, nullptr, kRebarClass, L"");
    const HWND taskBand = findWindow(rebar, nullptr, kTaskBandClass, kTaskBandTitle);
    const WindowBox rebarBox = windowBox(rebar);
    const DockLayout layout = dockLayout(taskbarBox, rebarBox, gadget.width());
    const auto& b = layout.taskBand;
    ::MoveWindow(taskBand, b.left, b.top, b.width, b.height, TRUE);
    const auto& g = layout.gadget;
    gadget.move(g.left, g.top, g.width, g.height);
}

void giveStripBack() {
    const HWND taskbar = findWindow(nullptr, nullptr, kTaskbarClass, L"");
    const HWND rebar = findWindow(taskbar, nullptr, kRebarClass, L"");
    const HWND taskBand = findWindow(rebar, nullptr, kTaskBandClass, kTaskBandTitle);
    if (!taskBand) return;
    const WindowBox band = windowBox(taskBand);
    POINT at{band.left, band.top};
    ::MapWindowPoints(HWND_DESKTOP, rebar, &at, 1);
    ::MoveWindow(taskBand, at.x, at.y, widenedTaskBandWidth(band.width, windowBox(rebar).width), band.height,
                 TRUE);
}

} // namespace ui
