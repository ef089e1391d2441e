// The gradient skins as data: middle-row colour stops and the slant of the other rows.
#pragma once

#include "skins/skin_catalogue.h"

#include <array>
#include <cstdint>
#include <span>

namespace skins {

inline constexpr int kSkinWidth = 200;
inline constexpr int kSkinHeight = 16;
inline constexpr int kMiddleRow = 8;

struct ColourStop {
    int x;             // 0..199 along the middle row
    std::uint32_t rgb; // 0xRRGGBB
};

struct GradientSkin {
    SkinIndex index;
    double slope; // row y reads the middle row at x + slope * (y - kMiddleRow)
    std::span<const ColourStop> stops;
};

namespace stops {
inline constexpr ColourStop kDefault[] = {
    {.x = 0, .rgb = 0x68E75E},   {.x = 59, .rgb = 0x68E75E},  {.x = 68, .rgb = 0x74E15A},
    {.x = 110, .rgb = 0xD8A734}, {.x = 127, .rgb = 0xF68F29}, {.x = 169, .rgb = 0xF53733},
    {.x = 199, .rgb = 0xF43434},
};
inline constexpr ColourStop kColourful[] = {
    {.x = 0, .rgb = 0x82C1D9},   {.x = 38, .rgb = 0xABA6DA},  {.x = 51, .rgb = 0xAEA2DB},
    {.x = 65, .rgb = 0x9CA8DD},  {.x = 87, .rgb = 0x70B9E0},  {.x = 102, .rgb = 0x65C1DF},
    {.x = 115, .rgb = 0x73C1D9}, {.x = 150, .rgb = 0xB8C1C0}, {.x = 177, .rgb = 0xD8B2AF},
    {.x = 199, .rgb = 0xE8A6A5},
};
inline constexpr ColourStop kFresh[] = {
    {.x = 0, .rgb = 0x2AE3FC},   {.x = 30, .rgb = 0x2CE0FA},  {.x = 76, .rgb = 0x4FA4E5},
    {.x = 99, .rgb = 0x6096DB},  {.x = 122, .rgb = 0x6AABD6}, {.x = 169, .rgb = 0x74F5D3},
    {.x = 199, .rgb = 0x75F8D2},
};
inline constexpr ColourStop kLateNight[] = {
    {.x = 0, .rgb = 0x30C9CD},   {.x = 24, .rgb = 0x30C8CD},  {.x = 48, .rgb = 0x31B7C3},
    {.x = 157, .rgb = 0x322F7C}, {.x = 199, .rgb = 0x330D69},
};
inline constexpr ColourStop kStarrySky[] = {
    {.x = 0, .rgb = 0x2F5576},
    {.x = 199, .rgb = 0x474877},
};
inline constexpr ColourStop kTech[] = {
    {.x = 0, .rgb = 0x26C4E2},
    {.x = 43, .rgb = 0x4BA4E7},
    {.x = 157, .rgb = 0xC53BF8},
    {.x = 199, .rgb = 0xE71DFC},
};
inline constexpr ColourStop kSunrise[] = {
    {.x = 0, .rgb = 0x605AB1},   {.x = 47, .rgb = 0x8C67AA},  {.x = 88, .rgb = 0xBD6892},
    {.x = 116, .rgb = 0xD87284}, {.x = 157, .rgb = 0xEC9A7A}, {.x = 199, .rgb = 0xF6BF75},
};
inline constexpr ColourStop kSunset[] = {
    {.x = 0, .rgb = 0xFDC2D8},   {.x = 16, .rgb = 0xFDC1D1},  {.x = 60, .rgb = 0xFCAE70},
    {.x = 74, .rgb = 0xFCA65E},  {.x = 91, .rgb = 0xFF9B5F},  {.x = 128, .rgb = 0xFF7A83},
    {.x = 143, .rgb = 0xD26483}, {.x = 169, .rgb = 0x583283}, {.x = 183, .rgb = 0x1E1C82},
    {.x = 192, .rgb = 0x051282}, {.x = 199, .rgb = 0x041282},
};
inline constexpr ColourStop kBarbie[] = {
    {.x = 0, .rgb = 0xF78A9E},   {.x = 57, .rgb = 0xF78A9E},  {.x = 111, .rgb = 0xF56F87},
    {.x = 162, .rgb = 0xFE978B}, {.x = 199, .rgb = 0xFE988B},
};
} // namespace stops

inline constexpr std::array<GradientSkin, 9> kGradientSkins = {{
    {.index = 0, .slope = 0.80, .stops = stops::kDefault},
    {.index = 1, .slope = 0.0, .stops = stops::kColourful},
    {.index = 2, .slope = -1.25, .stops = stops::kFresh},
    {.index = 3, .slope = -0.75, .stops = stops::kLateNight},
    {.index = 4, .slope = -1.30, .stops = stops::kStarrySky},
    {.index = 5, .slope = 0.90, .stops = stops::kTech},
    {.index = 6, .slope = -0.30, .stops = stops::kSunrise},
    {.index = 7, .slope = 0.30, .stops = stops::kSunset},
    {.index = 8, .slope = 0.75, .stops = stops::kBarbie},
}};

} // namespace skins
