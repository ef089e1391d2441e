#include "skins/gradient_render.h"
#include "skins/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// libpng's own reading of the file as RGBA, empty when it refuses it or the size differs.
Bytes readBack(const Bytes& png, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
    image.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr);
    png_image_free(&image);
    if (!ok || static_cast<int>(image.width) != width || static_cast<int>(image.height) != height) return {};
    return rgba;
}

using Pattern = std::function<std::uint8_t(int x, int y, int channel)>;

struct RoundTrip {
    const char* name;
    int width;
    int height;
    Pattern pattern;
};

// Noise, ramps along either axis and diagonals lead the writer to pick each row filter in turn.
const RoundTrip kRoundTrips[] = {
    {"one pixel", 1, 1, [](int, int, int c) { return std::uint8_t(40 * c + 7); }},
    {"noise", 37, 9,
     [](int x, int y, int c) { return std::uint8_t((x * 7919 + y * 104729 + c * 31) * 2654435761u >> 24); }},
    {"horizontal ramp", 200, 4, [](int x, int, int c) { return std::uint8_t(x + 20 * c); }},
    {"vertical ramp", 5, 60, [](int, int y, int c) { return std::uint8_t(4 * y - c); }},
    {"diagonal", 64, 64, [](int x, int y, int c) { return std::uint8_t(3 * x + 5 * y + 50 * c); }},
    {"translucent checks", 16, 16,
     [](int x, int y, int c) { return std::uint8_t(c == 3 ? (x ^ y) * 16 : ((x / 4 + y / 4) % 2) * 255); }},
    {"mixed rows", 50, 12,
     [](int x, int y, int c) {
         switch (y % 4) {
         case 0:
             return std::uint8_t((x * 97 + c * 13) ^ (y * 57));
         case 1:
             return std::uint8_t(x * 5 + c);
         case 2:
             return std::uint8_t(y * 21 + c * 3);
         default:
             return std::uint8_t((x + y) * 9 + c * 40);
         }
     }},
};

TEST(PngWriter, LibpngReadsBackExactlyWhatWasWritten) {
    for (const auto& t : kRoundTrips) {
        SCOPED_TRACE(t.name);
        Bytes rgba;
        for (int y = 0; y < t.height; ++y)
            for (int x = 0; x < t.width; ++x)
                for (int c = 0; c < 4; ++c)
                    rgba.push_back(t.pattern(x, y, c));
        const Bytes png = skins::encodeRgbaPng(rgba, t.width, t.height);
        ASSERT_FALSE(png.empty());
        EXPECT_EQ(readBack(png, t.width, t.height), rgba);
    }
}

// Rows of coarse noise, each followed by a row that one predictor guesses exactly (ties in Paeth
// included), so every row filter is chosen and has to be undone by the reader.
TEST(PngWriter, RowsSuitedToEachFilterReadBack) {
    constexpr int width = 40, height = 31, stride = width * 4;
    Bytes rgba(stride * height);
    std::uint32_t seed = 12345;
    const auto coarse = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return std::uint8_t((seed >> 28) * 17);
    };
    const auto paeth = [](int a, int b, int c) {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    };
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < stride; ++i) {
            const int a = i >= 4 ? rgba[y * stride + i - 4] : 0;
            const int b = y > 0 ? rgba[(y - 1) * stride + i] : 0;
            const int c = y > 0 && i >= 4 ? rgba[(y - 1) * stride + i - 4] : 0;
            int v = coarse();
            if (y % 2 == 1) {
                switch (y / 2 % 4) {
                case 0:
                    v = a + 3;
                    break;
                case 1:
                    v = b + 5;
                    break;
                case 2:
                    v = (a + b) / 2;
                    break;
                default:
                    v = i / 4 % 2 ? paeth(a, b, c) : v;
                    break; // a noisy left keeps all three in play
                }
            }
            rgba[y * stride + i] = std::uint8_t(v);
        }
    }
    EXPECT_EQ(readBack(skins::encodeRgbaPng(rgba, width, height), width, height), rgba);
}

TEST(PngWriter, GradientSkinsReadBack) {
    for (const auto& skin : skins::kGradientSkins) {
        SCOPED_TRACE(skin.index);
        const Bytes rgba = skins::renderGradient(skin);
        EXPECT_EQ(readBack(skins::encodeRgbaPng(rgba, skins::kSkinWidth, skins::kSkinHeight),
                           skins::kSkinWidth, skins::kSkinHeight),
                  rgba);
    }
}

TEST(PngWriter, RefusesPixelsThatDoNotFitTheSize) {
    struct Case {
        std::size_t bytes;
        int width;
        int height;
    };
    const Case cases[] = {{4 * 6 - 1, 3, 2}, {4 * 6 + 4, 3, 2}, {0, 0, 0},
                          {0, 0, 5},         {16, -2, -2},      {4 * 6, 6, 0}};
    for (const auto& c : cases) {
        const Bytes rgba(c.bytes, 0x80);
        EXPECT_TRUE(skins::encodeRgbaPng(rgba, c.width, c.height).empty())
            << c.bytes << " bytes for " << c.width << " x " << c.height;
    }
}

} // namespace
