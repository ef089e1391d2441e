#include "ui/png_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A small PNG writer, so every colour type, bit depth and damaged file can be made here.
void putU32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::size_t getU32(const std::uint8_t* at) {
    return std::size_t{at[0]} << 24 | std::size_t{at[1]} << 16 | std::size_t{at[2]} << 8 | at[3];
}

Bytes chunk(const char* type, const Bytes& data) {
    Bytes c(12 + data.size());
    putU32(c.data(), static_cast<std::uint32_t>(data.size()));
    std::memcpy(c.data() + 4, type, 4);
    if (!data.empty()) std::memcpy(c.data() + 8, data.data(), data.size());
    putU32(c.data() + 8 + data.size(),
           static_cast<std::uint32_t>(crc32(0, c.data() + 4, static_cast<uInt>(4 + data.size()))));
    return c;
}

enum ColourType : std::uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

struct Layout {
    std::uint32_t width;
    std::uint32_t height;
    std::uint8_t depth;
    ColourType type;
};

std::size_t rowBytes(const Layout& l) {
    const std::size_t channels = l.type == Rgb ? 3 : l.type == GreyAlpha ? 2 : l.type == Rgba ? 4 : 1;
    return (std::size_t{l.width} * channels * l.depth + 7) / 8;
}

Bytes ihdr(const Layout& l) {
    Bytes d(13, 0);
    putU32(d.data(), l.width);
    putU32(d.data() + 4, l.height);
    d[8] = l.depth;
    d[9] = l.type;
    return chunk("IHDR", d);
}

// Packed rows without filter bytes in; each row gets filter type 0, then deflate.
Bytes deflateRows(const Layout& l, const Bytes& rows) {
    const std::size_t stride = rowBytes(l);
    Bytes raw;
    for (std::size_t at = 0; at < rows.size(); at += stride) {
        raw.push_back(0);
        raw.insert(raw.end(), rows.begin() + static_cast<std::ptrdiff_t>(at),
                   rows.begin() + static_cast<std::ptrdiff_t>(std::min(at + stride, rows.size())));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(size);
    EXPECT_EQ(compress(z.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
    z.resize(size);
    return z;
}

Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes assemble(const std::vector<Bytes>& chunks) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

// `extra` holds ready-made chunks that go between IHDR and IDAT (PLTE, tRNS).
Bytes makePng(const Layout& l, const Bytes& rows, const Bytes& extra = {}) {
    return assemble({ihdr(l), extra, chunk("IDAT", deflateRows(l, rows)), chunk("IEND", {})});
}

// Offset of the chunk's length field.
std::size_t chunkAt(const Bytes& png, const char* type) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        if (std::memcmp(png.data() + at + 4, type, 4) == 0) return at;
        at += 12 + getU32(png.data() + at);
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

std::size_t chunkEnd(const Bytes& png, const char* type) {
    const std::size_t at = chunkAt(png, type);
    return at + 12 + getU32(png.data() + at);
}

std::optional<ui::DecodedImage> decode(const Bytes& png, std::uint32_t background = 0x00FFFFFF) {
    return ui::decodePicture(png, background);
}

// 2x2 RGBA, all opaque: red, green / blue, a grey.
const Layout kRgba2x2{2, 2, 8, Rgba};
const Bytes kRgba2x2Rows = {255, 0, 0, 255, 0, 255, 0, 255, /**/ 0, 0, 255, 255, 10, 20, 30, 255};
const Bytes kRgba2x2Bgra = {0, 0, 255, 255, 0, 255, 0, 255, /**/ 255, 0, 0, 255, 30, 20, 10, 255};

struct KindCase {
    std::string name;
    Bytes png;
    int width;
    int height;
    Bytes bgra;
};

// Background for the kinds with transparency: B 0x33, G 0x66, R 0x99.
constexpr std::uint32_t kKindBackground = 0x00336699;

std::vector<KindCase> kindCases() {
    const Bytes palette = chunk("PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30});
    return {
        {"rgba 8", makePng(kRgba2x2, kRgba2x2Rows), 2, 2, kRgba2x2Bgra},
        {"rgb 8",
         makePng({3, 1, 8, Rgb}, {1, 2, 3, 200, 100, 50, 0, 128, 255}),
         3,
         1,
         {3, 2, 1, 255, 50, 100, 200, 255, 255, 128, 0, 255}},
        {"rgb 8 with a transparent colour",
         makePng({2, 1, 8, Rgb}, {1, 2, 3, 7, 8, 9}, chunk("tRNS", {0, 7, 0, 8, 0, 9})),
         2,
         1,
         {3, 2, 1, 255, 0x33, 0x66, 0x99, 255}},
        {"palette 8",
         makePng({4, 1, 8, Palette}, {3, 2, 1, 0}, palette),
         4,
         1,
         {30, 20, 10, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255}},
        {"palette 2 bits",
         makePng({4, 1, 2, Palette}, {0b00011011}, palette),
         4,
         1,
         {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 30, 20, 10, 255}},
        {"palette with tRNS",
         makePng({3, 1, 8, Palette}, {0, 1, 3}, cat(palette, chunk("tRNS", {0, 255}))),
         3,
         1,
         {0x33, 0x66, 0x99, 255, 0, 255, 0, 255, 30, 20, 10, 255}},
        {"grey 8",
         makePng({3, 1, 8, Grey}, {0, 77, 255}),
         3,
         1,
         {0, 0, 0, 255, 77, 77, 77, 255, 255, 255, 255, 255}},
        {"grey 1 bit",
         makePng({3, 1, 1, Grey}, {0b10100000}),
         3,
         1,
         {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}},
        {"grey 8 with a transparent level",
         makePng({2, 1, 8, Grey}, {40, 41}, chunk("tRNS", {0, 41})),
         2,
         1,
         {40, 40, 40, 255, 0x33, 0x66, 0x99, 255}},
        {"grey and alpha 8",
         makePng({2, 1, 8, GreyAlpha}, {90, 255, 90, 0}),
         2,
         1,
         {90, 90, 90, 255, 0x33, 0x66, 0x99, 255}},
        // 16-bit samples without gamma information are sRGB: 0xC8C8 is 200, 0x6464 is 100.
        {"rgb 16",
         makePng({1, 1, 16, Rgb}, {0xC8, 0xC8, 0x64, 0x64, 0xFF, 0xFF}),
         1,
         1,
         {255, 100, 200, 255}},
        {"rgba 16",
         makePng({2, 1, 16, Rgba}, {0xC8, 0xC8, 0, 0, 0x64, 0x64, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 0, 0}),
         2,
         1,
         {100, 0, 200, 255, 0x33, 0x66, 0x99, 255}},
        {"grey 16",
         makePng({2, 1, 16, Grey}, {0xC8, 0xC8, 0xFF, 0xFF}),
         2,
         1,
         {200, 200, 200, 255, 255, 255, 255, 255}},
        {"grey and alpha 16",
         makePng({1, 1, 16, GreyAlpha}, {0x64, 0x64, 0xFF, 0xFF}),
         1,
         1,
         {100, 100, 100, 255}},
    };
}

TEST(DecodePicture, DecodesEveryPngKindToBgra) {
    for (const auto& c : kindCases()) {
        SCOPED_TRACE(c.name);
        const auto image = decode(c.png, kKindBackground);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->bgra, c.bgra);
    }
}

struct BlendCase {
    std::string name;
    Bytes rgba; // one pixel
    std::uint32_t background;
    Bytes bgra;
};

TEST(DecodePicture, BlendsOverTheBackgroundOnce) {
    const BlendCase cases[] = {
        {"opaque is unchanged", {10, 20, 30, 255}, 0x00FFFFFF, {30, 20, 10, 255}},
        {"clear is the background", {10, 20, 30, 0}, 0x00336699, {0x33, 0x66, 0x99, 255}},
        // 128/255*200 + 127/255*100 = 150.19...
        {"half over grey", {200, 200, 200, 128}, 0x00646464, {150, 150, 150, 255}},
        // Computed in double as written this is 99.999..., so the truncation drops to 99.
        {"same colour as the background, faint", {100, 100, 100, 5}, 0x00646464, {99, 99, 99, 255}},
        {"clear over blue", {255, 255, 255, 0}, 0x00FF0000, {255, 0, 0, 255}},
        {"half red over blue", {255, 0, 0, 128}, 0x00FF0000, {127, 0, 128, 255}},
        {"mixed channels", {254, 30, 10, 1}, 0x00FAFF99, {249, 254, 153, 255}},
        {"nearly opaque", {254, 30, 10, 254}, 0x00FA0000, {10, 29, 253, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = decode(makePng({1, 1, 8, Rgba}, c.rgba), c.background);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->bgra, c.bgra);
    }
}

struct RejectCase {
    std::string name;
    Bytes bytes;
};

std::vector<RejectCase> rejectCases() {
    const Bytes good = makePng(kRgba2x2, kRgba2x2Rows);
    const std::size_t ihdrAt = chunkAt(good, "IHDR");
    const std::size_t idatAt = chunkAt(good, "IDAT");

    Bytes wrongSignature = good;
    wrongSignature[1] = 'Q';
    Bytes ihdrCrc = good;
    ihdrCrc[chunkEnd(good, "IHDR") - 1] ^= 0x01;
    Bytes idatCrc = good;
    idatCrc[chunkEnd(good, "IDAT") - 1] ^= 0x01;

    Bytes notZlib = deflateRows(kRgba2x2, kRgba2x2Rows);
    notZlib[0] = 0x00; // compression method 0 is not deflate
    Bytes shortRows = kRgba2x2Rows;
    shortRows.resize(rowBytes(kRgba2x2)); // one row of two

    // Only the header matters here: with no size guard, decoding would try a 40 GB buffer.
    const Layout huge{100000, 100000, 8, Rgba};
    const Bytes hugePng =
        assemble({ihdr(huge), chunk("IDAT", deflateRows(huge, Bytes(64, 0))), chunk("IEND", {})});

    const auto cut = [&](std::size_t n) {
        return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    };
    return {
        {"empty", {}},
        {"signature only", cut(8)},
        {"wrong signature", wrongSignature},
        {"bitmap header", {'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0}},
        {"cut inside IHDR", cut(ihdrAt + 10)},
        {"cut before IDAT", cut(idatAt)},
        {"cut inside IDAT", cut(idatAt + 12)},
        {"bad IHDR CRC", ihdrCrc},
        {"bad IDAT CRC", idatCrc},
        {"IDAT not zlib", assemble({ihdr(kRgba2x2), chunk("IDAT", notZlib), chunk("IEND", {})})},
        {"IDAT short of rows", makePng(kRgba2x2, shortRows)},
        {"zero width", makePng({0, 2, 8, Rgba}, {})},
        {"zero height", makePng({2, 0, 8, Rgba}, {})},
        {"RGB at 4 bits", makePng({2, 1, 4, Rgb}, {0, 0, 0})},
        {"palette without PLTE", makePng({2, 1, 8, Palette}, {0, 0})},
        {"100000 x 100000", hugePng},
    };
}

TEST(DecodePicture, RefusesWhatIsNotADecodablePng) {
    for (const auto& c : rejectCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decode(c.bytes).has_value());
    }
}

// The side and byte limits, on files that are otherwise valid: 1-bit grey keeps them small.
TEST(DecodePicture, HoldsToTheSizeLimits) {
    struct SizeCase {
        std::uint32_t width;
        std::uint32_t height;
        bool decodes;
    };
    const SizeCase cases[] = {
        {32767, 1, true},    {32768, 1, false},   {1, 32767, true},
        {1, 32768, false},   {4096, 4096, true}, // exactly 64 MiB of pixels
        {4097, 4096, false}, {4096, 4097, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const Layout l{c.width, c.height, 1, Grey};
        const auto image = decode(makePng(l, Bytes(rowBytes(l) * c.height, 0xFF)));
        ASSERT_EQ(image.has_value(), c.decodes);
        if (!image) continue;
        EXPECT_EQ(image->width, static_cast<int>(c.width));
        EXPECT_EQ(image->height, static_cast<int>(c.height));
        ASSERT_EQ(image->bgra.size(), std::size_t{c.width} * c.height * 4);
        EXPECT_EQ(image->bgra.back(), 255);
    }
}

// Every byte up to the end of IDAT is checked by libpng, so any damage there gives no image;
// IEND is never read, so a file cut after IDAT still decodes.
TEST(DecodePicture, DamageAnywhereBeforeTheImageEndsIsRefused) {
    const Bytes good = makePng(kRgba2x2, kRgba2x2Rows);
    const std::size_t idatEnd = chunkEnd(good, "IDAT");
    for (std::size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const auto image = decode(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_EQ(image.has_value(), n >= idatEnd);
        if (image) {
            EXPECT_EQ(image->bgra, kRgba2x2Bgra);
        }
    }
    for (std::size_t i = 0; i < idatEnd; ++i) {
        SCOPED_TRACE("byte " + std::to_string(i) + " flipped");
        Bytes damaged = good;
        damaged[i] ^= 0xFF;
        EXPECT_FALSE(decode(damaged).has_value());
    }
}

} // namespace
