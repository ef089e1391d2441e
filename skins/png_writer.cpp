#include "skins/png_writer.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <string_view>

namespace skins {

namespace {

constexpr int kChannels = 4;

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    putBigEndian(out, static_cast<std::uint32_t>(crc));
}

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Filters one row every way and keeps the one with the smallest sum of signed residues.
void putFilteredRow(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> row,
                    std::span<const std::uint8_t> above) {
    std::array<std::vector<std::uint8_t>, 5> tried;
    long best = -1;
    int bestFilter = 0;
    for (int filter = 0; filter < 5; ++filter) {
        auto& f = tried[filter];
        f.resize(row.size());
        long cost = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int a = i >= kChannels ? row[i - kChannels] : 0;
            const int b = above.empty() ? 0 : above[i];
            const int c = i >= kChannels && !above.empty() ? above[i - kChannels] : 0;
            int predicted = 0;
            switch (filter) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4:
                predicted = paeth(a, b, c);
                break;
            default:
                break;
            }
            f[i] = static_cast<std::uint8_t>(row[i] - predicted);
            cost += std::abs(static_cast<int>(static_cast<std::int8_t>(f[i])));
        }
        if (best < 0 || cost < best) {
            best = cost;
            bestFilter = filter;
        }
    }
    out.push_back(static_cast<std::uint8_t>(bestFilter));
    out.insert(out.end(), tried[bestFilter].begin(), tried[bestFilter].end());
}

} // namespace

std::vector<std::uint8_t> encodeRgbaPng(std::span<const std::uint8_t> rgba, int width, int height) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * kChannels)
        return {};
    const std::size_t stride = static_cast<std::size_t>(width) * kChannels;

    std::vector<std::uint8_t> raw;
    raw.reserve((stride + 1) * height);
    for (int y = 0; y < height; ++y) {
        const auto row = rgba.subspan(y * stride, stride);
        const auto above = y == 0 ? std::span<const std::uint8_t>{} : rgba.subspan((y - 1) * stride, stride);
        putFilteredRow(raw, row, above);
    }

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // depth, RGBA, deflate, adaptive filters, no interlace

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

} // namespace skins
