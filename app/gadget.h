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

    std::int32_t cpuSkinCounter() const { return cpuSkinCounter_; }
    std::int32_t memSkinCounter() const { return memSkinCounter_; }

  private:
    // One left click on a row: its counter steps and its bar alone shows the skin.
    void stepRow(std::int32_t& counter, design::ControlId bar);

    ui::GadgetWindow window_;
    std::int32_t cpuSkinCounter_ = 0; // top row
    std::int32_t memSkinCounter_ = 0; // bottom row
};

} // namespace app
