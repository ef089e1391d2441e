// The gadget's handlers, bound to its window's events by the design's wiring table.
#pragma once

#include "ui/gadget_window.h"

#include <cstdint>

namespace app {

class Gadget final : public ui::EventSink {
  public:
    Gadget();
    ui::GadgetWindow& window() { return window_; }

    void handle(const design::EventBinding& binding, const ui::EventArgs& args) override;

    // The creation handler: starting sizes and places, the meter timer, docking.
    void onCreated();
    void updateMeters();

  private:
    ui::GadgetWindow window_;
};

} // namespace app
