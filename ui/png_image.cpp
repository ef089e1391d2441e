#include "ui/png_image.h"

#include "app/float_to_int.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace ui {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool isPng(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

std::uint32_t readU32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 | at[3];
}

// libpng sizes and zeroes a buffer from the length field of a text, sPLT, pCAL or sCAL chunk
// before reading its data, so a few bytes claiming 2 GB cost 2 GB. Such a chunk can only fail
// anyway; refuse the file when any chunk before the first IDAT runs past the end. A header cut
// short is left to libpng.
bool chunksBeforeImageFit(std::span<const std::uint8_t> bytes) {
    std::size_t at = kPngSignature.size();
    while (bytes.size() - at >= 8) {
        if (std::memcmp(bytes.data() + at + 4, "IDAT", 4) == 0) return true;
        const std::uint64_t whole = std::uint64_t{readU32(bytes.data() + at)} + 12;
        if (whole > bytes.size() - at) return false;
        at += static_cast<std::size_t>(whole);
    }
    return true;
}

// libpng's simplified API reports its own errors by returning 0; this only makes sure its
// state is released on every path (png_image_free is a no-op once released).
class PngImageGuard {
  public:
    PngImageGuard() {
        std::memset(&image_, 0, sizeof image_);
        image_.version = PNG_IMAGE_VERSION;
    }
    PngImageGuard(const PngImageGuard&) = delete;
    PngImageGuard& operator=(const PngImageGuard&) = delete;
    ~PngImageGuard() { png_image_free(&image_); }
    png_image* get() { return &image_; }

  private:
    png_image image_;
};

// a/255 of the pixel plus the rest of the background, in double and in this order, then truncated.
std::uint8_t blendChannel(std::uint8_t colour, std::uint8_t back, std::uint8_t alpha) {
    const double a = alpha / 255.0;
    const double v = a * colour + (1.0 - a) * back;
    return static_cast<std::uint8_t>(std::clamp(app::toInt32(v), 0, 255));
}

void blendOver(std::vector<std::uint8_t>& bgra, std::uint32_t background) {
    const auto r = static_cast<std::uint8_t>(background & 0xFF);
    const auto g = static_cast<std::uint8_t>((background >> 8) & 0xFF);
    const auto b = static_cast<std::uint8_t>((background >> 16) & 0xFF);
    for (std::size_t i = 0; i + 3 < bgra.size(); i += 4) {
        const std::uint8_t a = bgra[i + 3];
        if (a != 255) {
            bgra[i + 0] = blendChannel(bgra[i + 0], b, a);
            bgra[i + 1] = blendChannel(bgra[i + 1], g, a);
            bgra[i + 2] = blendChannel(bgra[i + 2], r, a);
            bgra[i + 3] = 255;
        }
    }
}

} // namespace

std::optional<DecodedImage> decodePicture(std::span<const std::uint8_t> bytes, std::uint32_t background) {
    if (!isPng(bytes) || !chunksBeforeImageFit(bytes)) return std::nullopt;

    PngImageGuard guard;
    png_image* image = guard.get();
    if (!png_image_begin_read_from_memory(image, bytes.data(), bytes.size())) return std::nullopt;

    const std::uint32_t width = image->width;
    const std::uint32_t height = image->height;
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) return std::nullopt;
    const std::uint64_t size = std::uint64_t{width} * height * 4;
    if (size > kMaxPictureBytes) return std::nullopt;

    image->format = PNG_FORMAT_BGRA;
    // Set after begin_read, which clears the flags.
    image->flags |= PNG_IMAGE_FLAG_16BIT_sRGB;

    DecodedImage out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bgra.resize(static_cast<std::size_t>(size));
    if (!png_image_finish_read(image, nullptr, out.bgra.data(), 0, nullptr)) return std::nullopt;

    blendOver(out.bgra, background);
    return out;
}

} // namespace ui
