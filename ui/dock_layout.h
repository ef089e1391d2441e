// Taskbar docking arithmetic, apart from the window calls that feed it.
#pragma once

#include <cstdint>

namespace ui {

struct WindowBox {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// A window rectangle as GetWindowRect gives it, turned into a box.
WindowBox boxFromRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

inline constexpr std::int32_t kGadgetDockedTop = 3;
inline constexpr std::int32_t kGadgetDockedWidth = 202;
inline constexpr std::int32_t kGadgetDockedHeight = 33;

struct DockLayout {
    WindowBox taskBand; // in the rebar's client coordinates
    WindowBox gadget;   // likewise
};

// One tick's layout: the task band at the rebar's origin, the gadget in the strip left at its right end.
DockLayout dockLayout(const WindowBox& taskbar, const WindowBox& rebar, std::int32_t gadgetWidth);

// The task band's width once the gadget gives its strip back at exit.
std::int32_t widenedTaskBandWidth(std::int32_t taskBandWidth, std::int32_t rebarWidth);

} // namespace ui
