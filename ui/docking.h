// Docking into the taskbar: the gadget lives at the right end of the taskbar's rebar.
#pragma once

#include "ui/dock_layout.h"

#include <windows.h>

namespace ui {

class GadgetWindow;

inline constexpr wchar_t kTaskbarClass[] = L"Shell_TrayWnd";
inline constexpr wchar_t kRebarClass[] = L"ReBarWindow32";
inline constexpr wchar_t kTaskBandClass[] = L"MSTaskSwWClass";
inline constexpr wchar_t kTaskBandTitle[] = L"运行中的应用程序";

// FindWindowExW with the four arguments in order: the first match, or 0.
HWND findWindow(HWND parent, HWND after, const wchar_t* className, const wchar_t* title);
// The window's screen box; all zeros for a window that cannot be queried.
WindowBox windowBox(HWND window);

// Once, at creation: the gadget becomes a child of the rebar (its style bits unchanged).
void dockIntoTaskbar(GadgetWindow& gadget);
// Every docking tick: narrow the task band and move the gadget into the strip at the rebar's right end.
void onDockingTick(GadgetWindow& gadget);
// At exit: the task band gets the gadget's strip back.
void giveStripBack();

} // namespace ui
