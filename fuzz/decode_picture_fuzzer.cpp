// libFuzzer target over ui::decodePicture.
// Input: the first 4 bytes, little-endian, are the background colour (0x00BBGGRR, the top byte
// passed on as it comes); the rest is the file. Inputs shorter than 4 bytes are skipped.
// Each file is decoded twice, over that background and over its complement, and the results
// are checked against each other; any broken invariant aborts.
#include "ui/png_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "decode_picture_fuzzer: %s\n", what);
    std::abort();
}

void checkShape(const ui::DecodedImage& image) {
    if (image.width <= 0 || image.height <= 0) fail("empty side");
    if (static_cast<std::uint32_t>(image.width) > ui::kMaxPictureSide ||
        static_cast<std::uint32_t>(image.height) > ui::kMaxPictureSide)
        fail("side over the limit");
    const std::uint64_t bytes =
        std::uint64_t{static_cast<std::uint32_t>(image.width)} * static_cast<std::uint32_t>(image.height) * 4;
    if (bytes > ui::kMaxPictureBytes) fail("pixels over the byte limit");
    if (image.bgra.size() != bytes) fail("buffer is not width * height * 4");
    for (std::size_t i = 3; i < image.bgra.size(); i += 4)
        if (image.bgra[i] != 255) fail("alpha left below 255");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t background = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                                     std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
    const std::uint32_t other = ~background & 0x00FFFFFF;
    const std::span<const std::uint8_t> file(data + 4, size - 4);

    const std::optional<ui::DecodedImage> a = ui::decodePicture(file, background);
    const std::optional<ui::DecodedImage> b = ui::decodePicture(file, other);
    if (a.has_value() != b.has_value()) fail("background changed whether the file decodes");
    if (!a) return 0;
    checkShape(*a);
    checkShape(*b);
    if (a->width != b->width || a->height != b->height) fail("background changed the size");

    // Blending is monotonic in the background: per channel, the lighter background never gives
    // the darker result. B, G, R in memory are bits 16, 8, 0 of the colour.
    const int shift[3] = {16, 8, 0};
    for (std::size_t i = 0; i < a->bgra.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            const auto backA = static_cast<std::uint8_t>(background >> shift[c]);
            const auto backB = static_cast<std::uint8_t>(other >> shift[c]);
            const std::uint8_t outA = a->bgra[i + static_cast<std::size_t>(c)];
            const std::uint8_t outB = b->bgra[i + static_cast<std::size_t>(c)];
            if (backA > backB && outA < outB) fail("blend not monotonic in the background");
            if (backA < backB && outA > outB) fail("blend not monotonic in the background");
        }
    }
    return 0;
}
