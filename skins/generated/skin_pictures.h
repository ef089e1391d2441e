// The skins' PNG files as bytes; skin_pictures.cpp beside this is written by tools/skingen.
#pragma once

#include "skins/skin_catalogue.h"

#include <array>
#include <cstdint>
#include <span>

namespace skins::generated {

extern const std::array<std::span<const std::uint8_t>, kSkinCount> kSkinPictures;

} // namespace skins::generated
