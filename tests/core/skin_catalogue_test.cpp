#include "skins/gradient_render.h"
#include "skins/gradient_table.h"
#include "skins/skin_catalogue.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Span = std::span<const std::uint8_t>;

constexpr int kWidth = 200;
constexpr int kHeight = 16;

std::uint32_t bigEndian(Span b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 |
           b[at + 3];
}

struct Chunk {
    std::string type;
    Span data;
    bool crcOk;
};

// The chunks after the signature; stops at a length that runs past the end.
std::vector<Chunk> chunksOf(Span png) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::size_t length = bigEndian(png, at);
        if (at + 12 + length > png.size()) break;
        const Span typeAndData = png.subspan(at + 4, 4 + length);
        const auto crc = crc32(0L, typeAndData.data(), static_cast<uInt>(typeAndData.size()));
        chunks.push_back({std::string(png.begin() + at + 4, png.begin() + at + 8),
                          png.subspan(at + 8, length), crc == bigEndian(png, at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

struct Picture {
    int width = 0;
    int height = 0;
    Bytes rgba;
    std::array<int, 4> at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

std::optional<Picture> decode(Span png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height),
                    Bytes(PNG_IMAGE_SIZE(image))};
    const bool ok = png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr);
    png_image_free(&image);
    if (!ok) return std::nullopt;
    return picture;
}

Picture decodedSkin(skins::SkinIndex index) {
    auto picture = decode(skins::skinPicture(index));
    if (!picture) ADD_FAILURE() << "skin " << index << " does not decode";
    return picture.value_or(Picture{});
}

TEST(SkinPictures, AreBareEightBitRgbaPngsOf200By16) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (skins::SkinIndex index = 0; index < skins::kSkinCount; ++index) {
        SCOPED_TRACE(index);
        const Span png = skins::skinPicture(index);
        ASSERT_GT(png.size(), 8u);
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));

        const auto chunks = chunksOf(png);
        std::vector<std::string> types;
        for (const auto& c : chunks)
            types.push_back(c.type);
        ASSERT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        for (const auto& c : chunks)
            EXPECT_TRUE(c.crcOk) << c.type;
        std::size_t total = 8;
        for (const auto& c : chunks)
            total += 12 + c.data.size();
        EXPECT_EQ(total, png.size()) << "bytes after IEND";

        const Span ihdr = chunks[0].data;
        ASSERT_EQ(ihdr.size(), 13u);
        EXPECT_EQ(bigEndian(ihdr, 0), 200u);
        EXPECT_EQ(bigEndian(ihdr, 4), 16u);
        EXPECT_EQ((Bytes{ihdr.begin() + 8, ihdr.end()}),
                  (Bytes{8, 6, 0, 0, 0})); // depth, colour type, methods
        EXPECT_TRUE(chunks[2].data.empty());
    }
}

TEST(SkinPictures, DecodeToOpaquePixels) {
    for (skins::SkinIndex index = 0; index < skins::kSkinCount; ++index) {
        SCOPED_TRACE(index);
        const Picture picture = decodedSkin(index);
        ASSERT_EQ(picture.width, kWidth);
        ASSERT_EQ(picture.height, kHeight);
        for (std::size_t i = 3; i < picture.rgba.size(); i += 4)
            ASSERT_EQ(picture.rgba[i], 255) << "byte " << i;
    }
}

// A second, plain copy of the gradients: slant and middle-row stops as written in the design.
struct PlainGradient {
    skins::SkinIndex index;
    double k;
    std::vector<std::pair<int, std::uint32_t>> stops;
};

const PlainGradient kPlainGradients[] = {
    {0,
     0.80,
     {{0, 0x68E75E},
      {59, 0x68E75E},
      {68, 0x74E15A},
      {110, 0xD8A734},
      {127, 0xF68F29},
      {169, 0xF53733},
      {199, 0xF43434}}},
    {1,
     0.0,
     {{0, 0x82C1D9},
      {38, 0xABA6DA},
      {51, 0xAEA2DB},
      {65, 0x9CA8DD},
      {87, 0x70B9E0},
      {102, 0x65C1DF},
      {115, 0x73C1D9},
      {150, 0xB8C1C0},
      {177, 0xD8B2AF},
      {199, 0xE8A6A5}}},
    {2,
     -1.25,
     {{0, 0x2AE3FC},
      {30, 0x2CE0FA},
      {76, 0x4FA4E5},
      {99, 0x6096DB},
      {122, 0x6AABD6},
      {169, 0x74F5D3},
      {199, 0x75F8D2}}},
    {3, -0.75, {{0, 0x30C9CD}, {24, 0x30C8CD}, {48, 0x31B7C3}, {157, 0x322F7C}, {199, 0x330D69}}},
    {4, -1.30, {{0, 0x2F5576}, {199, 0x474877}}},
    {5, 0.90, {{0, 0x26C4E2}, {43, 0x4BA4E7}, {157, 0xC53BF8}, {199, 0xE71DFC}}},
    {6,
     -0.30,
     {{0, 0x605AB1}, {47, 0x8C67AA}, {88, 0xBD6892}, {116, 0xD87284}, {157, 0xEC9A7A}, {199, 0xF6BF75}}},
    {7,
     0.30,
     {{0, 0xFDC2D8},
      {16, 0xFDC1D1},
      {60, 0xFCAE70},
      {74, 0xFCA65E},
      {91, 0xFF9B5F},
      {128, 0xFF7A83},
      {143, 0xD26483},
      {169, 0x583283},
      {183, 0x1E1C82},
      {192, 0x051282},
      {199, 0x041282}}},
    {8, 0.75, {{0, 0xF78A9E}, {57, 0xF78A9E}, {111, 0xF56F87}, {162, 0xFE978B}, {199, 0xFE988B}}},
};

std::array<int, 3> plainColour(const PlainGradient& g, double k, int x, int y) {
    const double p = std::min(199.0, std::max(0.0, x + k * (y - 8)));
    std::size_t s = 1;
    while (g.stops[s].first < p)
        ++s;
    const auto [x0, c0] = g.stops[s - 1];
    const auto [x1, c1] = g.stops[s];
    const double t = (p - x0) / (x1 - x0);
    std::array<int, 3> rgb{};
    for (int ch = 0; ch < 3; ++ch) {
        const int shift = 16 - 8 * ch;
        const double a = (c0 >> shift) & 0xFF, b = (c1 >> shift) & 0xFF;
        rgb[ch] = static_cast<int>(std::lround(a + (b - a) * t));
    }
    return rgb;
}

TEST(GradientSkins, EveryPixelFollowsItsSlantedStops) {
    for (const auto& g : kPlainGradients) {
        SCOPED_TRACE(g.index);
        const Picture picture = decodedSkin(g.index);
        ASSERT_EQ(picture.rgba.size(), std::size_t{kWidth} * kHeight * 4);
        long offByOwnSlant = 0, offByMirroredSlant = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto want = plainColour(g, g.k, x, y);
                const auto mirrored = plainColour(g, -g.k, x, y);
                const auto got = picture.at(x, y);
                for (int ch = 0; ch < 3; ++ch) {
                    ASSERT_LE(std::abs(got[ch] - want[ch]), 6)
                        << "x " << x << " y " << y << " channel " << ch;
                    offByOwnSlant += std::abs(got[ch] - want[ch]);
                    offByMirroredSlant += std::abs(got[ch] - mirrored[ch]);
                }
            }
        }
        // A gentle slant leaning the wrong way can stay within the tolerance; overall it cannot.
        if (g.k != 0) {
            EXPECT_LT(offByOwnSlant, offByMirroredSlant);
        }
    }
}

TEST(GradientSkins, GeneratorRedrawsTheEmbeddedPictures) {
    std::set<skins::SkinIndex> drawn;
    for (const auto& skin : skins::kGradientSkins) {
        SCOPED_TRACE(skin.index);
        drawn.insert(skin.index);
        EXPECT_EQ(decodedSkin(skin.index).rgba, skins::renderGradient(skin));
    }
    EXPECT_EQ(drawn, (std::set<skins::SkinIndex>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PhotoSkins, HaveManyColoursAndHardEdgesAcrossTheWidth) {
    for (skins::SkinIndex index : {9, 10}) {
        SCOPED_TRACE(index);
        const Picture picture = decodedSkin(index);
        ASSERT_EQ(picture.width, kWidth);
        ASSERT_EQ(picture.height, kHeight);

        std::set<std::uint32_t> colours;
        std::array<int, 4> hardEdges{};
        const auto step = [](const std::array<int, 4>& a, const std::array<int, 4>& b) {
            return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
        };
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto c = picture.at(x, y);
                colours.insert(std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | std::uint32_t(c[2]));
                const int quarter = x * 4 / kWidth;
                if (x + 1 < kWidth && step(c, picture.at(x + 1, y)) > 60) ++hardEdges[quarter];
                if (y + 1 < kHeight && step(c, picture.at(x, y + 1)) > 60) ++hardEdges[quarter];
            }
        }
        EXPECT_GT(colours.size(), 300u);
        for (int q = 0; q < 4; ++q)
            EXPECT_GE(hardEdges[q], 10) << "quarter " << q;
    }
}

TEST(SkinLookup, EachIndexHasItsOwnPicture) {
    std::set<Bytes> seen;
    for (skins::SkinIndex index = 0; index < skins::kSkinCount; ++index) {
        const Span png = skins::skinPicture(index);
        EXPECT_TRUE(seen.insert(Bytes(png.begin(), png.end())).second)
            << "skin " << index << " repeats another";
    }
}

TEST(SkinLookup, OtherIndicesGiveTheDefaultSkin) {
    const Span first = skins::skinPicture(0);
    for (skins::SkinIndex index :
         {11, 12, -1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        SCOPED_TRACE(index);
        const Span png = skins::skinPicture(index);
        EXPECT_EQ(png.data(), first.data());
        EXPECT_EQ(png.size(), first.size());
        EXPECT_STREQ(skins::skinMenuText(index), L"默认");
    }
}

} // namespace
