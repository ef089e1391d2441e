// Draws a gradient skin from its table entry.
#pragma once

#include "skins/gradient_table.h"

#include <cstdint>
#include <vector>

namespace skins {

// kSkinWidth x kSkinHeight RGBA pixels, rows top to bottom, every alpha 255.
std::vector<std::uint8_t> renderGradient(const GradientSkin& skin);

} // namespace skins
