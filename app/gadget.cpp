#include "app/gadget.h"

#include "app/control_row.h"
#include "app/cpu_system_calls_win32.h"
#include "app/meter_update.h"
#include "app/program.h"
#include "skins/skin_cycling.h"
#include "skins/tools_menu.h"
#include "ui/docking.h"

namespace app {

using design::ControlId;
using design::Handler;

Gadget::Gadget() : window_(design::gadgetDesign(), *this) {}

void Gadget::handle(const design::EventBinding& binding, const ui::EventArgs&) {
    const auto item = binding.source.menuItem;
    switch (binding.handler) {
    case Handler::CreateWindow:
        onCreated();
        break;
    case Handler::UpdateMeters:
        updateMeters();
        break;
    case Handler::DockingTick:
        ui::onDockingTick(window_);
        break;
    case Handler::OpenToolsMenu:
        skins::openToolsMenu(window_);
        break;
    case Handler::TopRowSkinStep:
        stepRow(cpuSkinCounter_, ControlId::Bar2);
        break;
    case Handler::BottomRowSkinStep:
        stepRow(memSkinCounter_, ControlId::Bar1);
        break;
    case Handler::ChooseSkin:
        skins::chooseSkin(window_, item, binding.argument);
        break;
    case Handler::ChooseNumberColour:
        skins::chooseNumberColour(window_, item, static_cast<design::Colour>(binding.argument));
        break;
    case Handler::ExitProgram:
        exitProgram();
    }
}

void Gadget::stepRow(std::int32_t& counter, ControlId bar) {
    counter = skins::nextCycleState(counter);
    skins::showSkin(counter, window_.picture(bar));
}

void Gadget::onCreated() {
    window_.setWidth(202);
    window_.setHeight(18);
    memoryStatus()->dwLength = sizeof(MEMORYSTATUSEX);
    window_.label(ControlId::Label1).setLeft(1);
    window_.label(ControlId::Label2).setLeft(1);
    window_.picture(ControlId::Bar1).setLeft(1);
    window_.picture(ControlId::Bar2).setLeft(1);
    window_.picture(ControlId::Bar1).setWidth(0);
    window_.picture(ControlId::Bar2).setWidth(0);
    window_.picture(ControlId::Bar2).setVisible(true);
    window_.picture(ControlId::Bar1).setVisible(true);
    window_.timer(ControlId::Timer1).setPeriod(700);
    ui::dockIntoTaskbar(window_);
}

namespace {

class SystemReadings final : public MeterReadings {
  public:
    void refreshMemoryStatus() override { ::GlobalMemoryStatusEx(memoryStatus()); }
    std::int32_t memoryLoad() override { return static_cast<std::int32_t>(memoryStatus()->dwMemoryLoad); }
    std::int32_t cpuUsage() override { return cpuUsageSampler().sampleCpuUsage(windowsCpuSystemCalls()); }
};

} // namespace

void Gadget::updateMeters() {
    SystemReadings readings;
    ControlRow bottom(window_.picture(ControlId::Bar1), window_.label(ControlId::Label2));
    ControlRow top(window_.picture(ControlId::Bar2), window_.label(ControlId::Label1));
    runMeterUpdate(readings, bottom, top);
}

} // namespace app
