// Writes the fuzzer's seed corpus: small PNGs of each kind plus damaged ones, each prefixed
// with the 4-byte background the fuzzer reads first.
// Usage: make_corpus OUT_DIR SKIN_PNG
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void putU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (24 - 8 * i)));
}

Bytes chunk(const char* type, const Bytes& data) {
    Bytes c;
    putU32(c, static_cast<std::uint32_t>(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    putU32(c, static_cast<std::uint32_t>(crc32(0, c.data() + 4, static_cast<uInt>(4 + data.size()))));
    return c;
}

Bytes ihdr(std::uint32_t w, std::uint32_t h, std::uint8_t depth, std::uint8_t type,
           std::uint8_t interlace = 0) {
    Bytes d;
    putU32(d, w);
    putU32(d, h);
    d.insert(d.end(), {depth, type, 0, 0, interlace});
    return chunk("IHDR", d);
}

// Raw scanlines, filter bytes included, deflated.
Bytes zip(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(size);
    if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) std::abort();
    z.resize(size);
    return z;
}

// Rows of `stride` bytes, each behind filter byte `filter`, with a simple pattern.
Bytes rows(std::size_t stride, std::size_t count, std::uint8_t filter = 0) {
    Bytes raw;
    for (std::size_t y = 0; y < count; ++y) {
        raw.push_back(filter);
        for (std::size_t x = 0; x < stride; ++x)
            raw.push_back(static_cast<std::uint8_t>(x * 37 + y * 91));
    }
    return raw;
}

// Raw scanlines of the seven interlace passes, `bpp` bytes a pixel, filter byte 0.
Bytes adam7Rows(std::uint32_t w, std::uint32_t h, std::uint32_t bpp) {
    const std::uint32_t x0[7] = {0, 4, 0, 2, 0, 1, 0}, dx[7] = {8, 8, 4, 4, 2, 2, 1};
    const std::uint32_t y0[7] = {0, 0, 4, 0, 2, 0, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
    Bytes raw;
    for (int p = 0; p < 7; ++p) {
        const std::uint32_t cols = w > x0[p] ? (w - x0[p] + dx[p] - 1) / dx[p] : 0;
        const std::uint32_t lines = h > y0[p] ? (h - y0[p] + dy[p] - 1) / dy[p] : 0;
        if (cols == 0) continue;
        const Bytes pass = rows(std::size_t{cols} * bpp, lines);
        raw.insert(raw.end(), pass.begin(), pass.end());
    }
    return raw;
}

Bytes png(const std::vector<Bytes>& chunks) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

const Bytes kEnd = chunk("IEND", {});

bool write(const std::string& dir, const char* name, std::uint32_t background, const Bytes& file) {
    Bytes out = {static_cast<std::uint8_t>(background), static_cast<std::uint8_t>(background >> 8),
                 static_cast<std::uint8_t>(background >> 16), static_cast<std::uint8_t>(background >> 24)};
    out.insert(out.end(), file.begin(), file.end());
    std::ofstream f(dir + "/" + name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR SKIN_PNG\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::ifstream skinFile(argv[2], std::ios::binary);
    const Bytes skin{std::istreambuf_iterator<char>(skinFile), std::istreambuf_iterator<char>()};
    if (skin.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }

    const Bytes palette = chunk("PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30});
    const Bytes rgba = png({ihdr(4, 3, 8, 6), chunk("IDAT", zip(rows(16, 3, 1))), kEnd});
    const Bytes rgbaZ = zip(rows(16, 3, 1));
    Bytes badCrc = rgba;
    badCrc[badCrc.size() - 13] ^= 0x40; // last CRC byte of IDAT

    // Header only: the size limits refuse these before any pixel is read.
    const Bytes wide = png({ihdr(32768, 1, 1, 0), chunk("IDAT", zip(rows(4096, 1))), kEnd});
    const Bytes overBytes = png({ihdr(4097, 4096, 1, 0), chunk("IDAT", zip(rows(513, 2))), kEnd});

    Bytes split = png({ihdr(4, 3, 8, 6), chunk("IDAT", Bytes(rgbaZ.begin(), rgbaZ.begin() + 7)),
                       chunk("IDAT", Bytes(rgbaZ.begin() + 7, rgbaZ.end())), kEnd});
    split.insert(split.end(), {'t', 'r', 'a', 'i', 'l'});

    struct Seed {
        const char* name;
        std::uint32_t background;
        Bytes file;
    };
    const Seed seeds[] = {
        {"skin_00", 0x00FFFFFF, skin},
        {"rgba8_alpha", 0x00336699, rgba},
        {"rgb8_paeth", 0x00000000, png({ihdr(3, 2, 8, 2), chunk("IDAT", zip(rows(9, 2, 4))), kEnd})},
        {"rgb8_srgb_trns", 0x00808080,
         png({ihdr(3, 1, 8, 2), chunk("sRGB", {0}), chunk("tRNS", {0, 0, 0, 37, 0, 74}),
              chunk("IDAT", zip(rows(9, 1))), kEnd})},
        {"palette2_trns", 0x00FF0000,
         png({ihdr(5, 2, 2, 3), palette, chunk("tRNS", {0, 128}), chunk("IDAT", zip(rows(2, 2))), kEnd})},
        {"palette8_out_of_range", 0x0000FF00,
         png({ihdr(4, 1, 8, 3), palette, chunk("IDAT", zip({0, 0, 3, 4, 200})), kEnd})},
        {"grey1", 0x00FFFFFF, png({ihdr(9, 2, 1, 0), chunk("IDAT", zip(rows(2, 2))), kEnd})},
        {"grey16_gamma", 0x00102030,
         png({ihdr(2, 2, 16, 0), chunk("gAMA", {0, 0, 0xB1, 0x8F}), chunk("IDAT", zip(rows(4, 2, 2))),
              kEnd})},
        {"rgba16_bkgd", 0x00FEDCBA,
         png({ihdr(2, 2, 16, 6), chunk("bKGD", {0, 1, 0, 2, 0, 3}), chunk("IDAT", zip(rows(16, 2, 3))),
              kEnd})},
        {"grey_alpha8_adam7", 0x00445566,
         png({ihdr(5, 5, 8, 4, 1), chunk("IDAT", zip(adam7Rows(5, 5, 2))), kEnd})},
        {"split_idat_trailing", 0x00010203, split},
        {"cut_in_idat", 0x00FFFFFF, Bytes(rgba.begin(), rgba.end() - 20)},
        {"bad_idat_crc", 0x00FFFFFF, badCrc},
        {"side_over_limit", 0x00FFFFFF, wide},
        {"bytes_over_limit", 0x00FFFFFF, overBytes},
        {"bitmap_header", 0x00FFFFFF, {'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0}},
    };
    for (const auto& s : seeds) {
        if (!write(dir, s.name, s.background, s.file)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), s.name);
            return 1;
        }
    }
    return 0;
}
