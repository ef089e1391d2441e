#include "skins/gradient_render.h"

#include <algorithm>
#include <cmath>

namespace skins {

namespace {

double channel(std::uint32_t rgb, int shift) {
    return static_cast<double>((rgb >> shift) & 0xFF);
}

// Middle-row colour channel at a position within 0..199, straight between neighbouring stops.
double middleRow(std::span<const ColourStop> stops, double position, int shift) {
    std::size_t i = 0;
    while (i + 2 < stops.size() && position > stops[i + 1].x)
        ++i;
    const ColourStop& left = stops[i];
    const ColourStop& right = stops[i + 1];
    const double t = (position - left.x) / (right.x - left.x);
    return channel(left.rgb, shift) + t * (channel(right.rgb, shift) - channel(left.rgb, shift));
}

std::uint8_t rounded(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
}

} // namespace

std::vector<std::uint8_t> renderGradient(const GradientSkin& skin) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(kSkinWidth) * kSkinHeight * 4);
    for (int y = 0; y < kSkinHeight; ++y) {
        for (int x = 0; x < kSkinWidth; ++x) {
            const double position = std::clamp(x + skin.slope * (y - kMiddleRow), 0.0, kSkinWidth - 1.0);
            for (int shift : {16, 8, 0})
                rgba.push_back(rounded(middleRow(skin.stops, position, shift)));
            rgba.push_back(255);
        }
    }
    return rgba;
}

} // namespace skins
