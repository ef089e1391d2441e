// A meter row of the gadget window: its bar and its number, written only through their properties.
#pragma once

#include "app/meter_update.h"
#include "ui/controls.h"

namespace app {

class ControlRow final : public MeterRow {
  public:
    ControlRow(ui::PictureBox& bar, ui::TransparentLabel& number) : bar_(bar), number_(number) {}
    void setBarWidth(std::int32_t width) override { bar_.setWidth(width); }
    std::int32_t barWidth() override { return bar_.width(); }
    void setNumberText(std::wstring_view text) override { number_.setText(text); }
    void setNumberLeft(std::int32_t left) override { number_.setLeft(left); }

  private:
    ui::PictureBox& bar_;
    ui::TransparentLabel& number_;
};

} // namespace app
