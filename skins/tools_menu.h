// The tools menu and the handlers of its items; skins shown in one bar.
#pragma once

#include "ui/gadget_window.h"

#include <cstdint>

namespace skins {

// A right-button release on a row: the popup of the items under "工具" at the cursor, until dismissed.
void openToolsMenu(ui::GadgetWindow& window);
// Both bars to the skin, top bar first, then the exclusive mark on the chosen item.
void chooseSkin(ui::GadgetWindow& window, design::MenuItemId item, std::int32_t index);
// Both numbers to the colour, top number first, then the exclusive mark.
void chooseNumberColour(ui::GadgetWindow& window, design::MenuItemId item, design::Colour colour);
// One bar to the catalogue's image for the index; width, place and visibility stay.
void showSkin(std::int32_t index, ui::PictureBox& bar);

} // namespace skins
