#include "app/gadget.h"

#include "app/program.h"
#include "ui/docking.h"

namespace app {

using design::ControlId;
using design::Handler;

Gadget::Gadget() : window_(design::gadgetDesign(), *this) {}

void Gadget::handle(const design::EventBinding& binding, const ui::EventArgs&) {
    switch (binding.handler) {
    case Handler::CreateWindow: onCreated(); break;
    case Handler::UpdateMeters: updateMeters(); break;
    case Handler::DockingTick: ui::onDockingTick(window_); break;
    case Handler::ExitProgram: exitProgram();
    case Handler::OpenToolsMenu:
    case Handler::TopRowSkinStep:
    case Handler::BottomRowSkinStep:
    case Handler::ChooseSkin:
    case Handler::ChooseNumberColour: break;
    }
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

void Gadget::updateMeters() {}

} // namespace app
