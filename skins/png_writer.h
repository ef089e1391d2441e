// A minimal PNG writer: 8-bit RGBA, chunks IHDR, one IDAT and IEND, nothing else.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace skins {

// `rgba` holds width * height * 4 bytes, rows top to bottom. Empty on a size mismatch.
std::vector<std::uint8_t> encodeRgbaPng(std::span<const std::uint8_t> rgba, int width, int height);

} // namespace skins
