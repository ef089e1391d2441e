#include "ui/dock_layout.h"

#include "app/float_to_int.h"

#include <algorithm>

namespace ui {

WindowBox boxFromRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return {left, top, app::toInt32(static_cast<long double>(right) - left),
            app::toInt32(static_cast<long double>(bottom) - top)};
}

DockLayout dockLayout(const WindowBox& taskbar, const WindowBox& rebar, std::int32_t gadgetWidth) {
    const std::int32_t x = app::toInt32(static_cast<long double>(rebar.width) - gadgetWidth);
    return {
        .taskBand = {0, 0, x, taskbar.height},
        .gadget = {x, kGadgetDockedTop, kGadgetDockedWidth, kGadgetDockedHeight},
    };
}

std::int32_t widenedTaskBandWidth(std::int32_t taskBandWidth, std::int32_t rebarWidth) {
    const std::int64_t wider = std::int64_t{taskBandWidth} + kGadgetDockedWidth;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(wider, 0, std::max(rebarWidth, 0)));
}

} // namespace ui
