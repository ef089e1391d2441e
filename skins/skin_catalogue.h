// The eleven skins built into the program: their PNG files and menu texts.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace skins {

using SkinIndex = std::int32_t;
inline constexpr int kSkinCount = 11;

// Menu texts in menu order.
inline constexpr std::array<const wchar_t*, kSkinCount> kSkinMenuTexts = {
    L"默认", L"多彩", L"清新", L"深夜", L"星空", L"科技", L"日出", L"日落", L"芭比", L"车灯", L"山雀",
};

// The complete PNG file of a skin (200 x 16 RGBA); any index outside 0..10 gives skin 0.
std::span<const std::uint8_t> skinPicture(SkinIndex index);

// The menu text of a skin, with the same fallback to skin 0.
const wchar_t* skinMenuText(SkinIndex index);

} // namespace skins
