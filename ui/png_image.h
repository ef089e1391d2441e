// Picture box image: PNG bytes decoded and flattened over the box's background, once at load time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui {

// 8-bit B, G, R, A per pixel, top-down rows, stride width * 4. Colours are already blended over
// the background, so every alpha byte is 255 and the drawing code can BitBlt the pixels as they are.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// Largest picture accepted; anything bigger is refused before a pixel buffer is allocated.
inline constexpr std::uint32_t kMaxPictureSide = 32767;
inline constexpr std::uint64_t kMaxPictureBytes = 64ull * 1024 * 1024;

// Decodes a PNG (told by its signature) and blends each pixel that is not fully opaque over
// `background`, a Windows colour 0x00BBGGRR already resolved by the caller. Anything that is not a
// decodable PNG within the size limits gives no image. 16-bit files without gamma information are
// taken as sRGB, as image viewers show them.
std::optional<DecodedImage> decodePicture(std::span<const std::uint8_t> bytes, std::uint32_t background);

} // namespace ui
