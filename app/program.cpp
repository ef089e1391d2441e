#include "app/program.h"

#include "app/gadget.h"
#include "platform/platform.h"
#include "ui/docking.h"

#include <memory>
#include <optional>

namespace app {
namespace {

std::unique_ptr<MEMORYSTATUSEX> g_memoryStatus;
std::optional<Gadget> g_gadget;

} // namespace

MEMORYSTATUSEX* memoryStatus() {
    return g_memoryStatus.get();
}
Gadget* gadget() {
    return g_gadget ? &*g_gadget : nullptr;
}

void releaseMemoryStatus() {
    g_memoryStatus.reset();
}

void startUp() {
    platform::initialise();
    platform::resetFloatingPoint();
    g_memoryStatus = std::make_unique<MEMORYSTATUSEX>(); // all 64 bytes zero
    // The strip goes back before the record is released, which stays the last code to run.
    platform::registerEndAction(&ui::giveStripBack);
    platform::registerEndAction(&releaseMemoryStatus);
    g_gadget.emplace();
    platform::loadWindow(g_gadget->window());
}

std::int32_t startProgram() {
    startUp();
    platform::runMessageLoop();
    return 0;
}

void exitProgram() {
    if (g_gadget) {
        g_gadget->window().timer(design::ControlId::Timer2).setPeriod(0);
        g_gadget->window().timer(design::ControlId::Timer1).setPeriod(0);
    }
    platform::endProgram(0);
}

} // namespace app
