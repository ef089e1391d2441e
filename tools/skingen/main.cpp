// skingen SOURCE_DIR: writes SOURCE_DIR/skins/generated/skin_NN.png and skin_pictures.cpp
// from the gradient table and the photo strips in SOURCE_DIR/skins/assets.
#include "skins/gradient_render.h"
#include "skins/gradient_table.h"
#include "skins/png_writer.h"
#include "skins/skin_catalogue.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct PhotoStrip {
    skins::SkinIndex index;
    const char* file; // under skins/assets
};

constexpr PhotoStrip kPhotoStrips[] = {
    {.index = 9, .file = "brushes_strip.png"},
    {.index = 10, .file = "nuthatch_strip.png"},
};

std::optional<Bytes> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

// The strip's pixels as opaque RGBA, or nothing when it is not a 200 x 16 opaque picture.
std::optional<Bytes> readStrip(const fs::path& path) {
    const auto file = readFile(path);
    if (!file) return std::nullopt;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file->data(), file->size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr);
    png_image_free(&image);
    if (!ok || image.width != skins::kSkinWidth || image.height != skins::kSkinHeight) return std::nullopt;
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        if (rgba[i] != 255) return std::nullopt;
    return rgba;
}

std::string byteArray(const Bytes& bytes, int index) {
    std::ostringstream out;
    char name[16];
    std::snprintf(name, sizeof name, "kSkin%02d", index);
    out << "const std::uint8_t " << name << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02x,", bytes[i]);
        out << (i % 16 == 0 ? "\n    " : " ") << hex;
    }
    out << "\n};\n\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skingen SOURCE_DIR\n";
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path outDir = root / "skins" / "generated";

    std::vector<Bytes> pictures(skins::kSkinCount);
    for (const auto& skin : skins::kGradientSkins)
        pictures[skin.index] =
            skins::encodeRgbaPng(skins::renderGradient(skin), skins::kSkinWidth, skins::kSkinHeight);
    for (const auto& strip : kPhotoStrips) {
        const auto path = root / "skins" / "assets" / strip.file;
        const auto rgba = readStrip(path);
        if (!rgba) {
            std::cerr << "skingen: " << path.string() << " is not a readable opaque 200 x 16 PNG\n";
            return 1;
        }
        pictures[strip.index] = skins::encodeRgbaPng(*rgba, skins::kSkinWidth, skins::kSkinHeight);
    }

    std::string source =
        "// Written by tools/skingen from skins/gradient_table.h and skins/assets; do not edit.\n"
        "#include \"skins/generated/skin_pictures.h\"\n\n"
        "namespace skins::generated {\n\n"
        "namespace {\n\n";
    for (int i = 0; i < skins::kSkinCount; ++i) {
        if (pictures[i].empty()) {
            std::cerr << "skingen: skin " << i << " has no picture\n";
            return 1;
        }
        char name[32];
        std::snprintf(name, sizeof name, "skin_%02d.png", i);
        if (!writeFile(outDir / name, std::string(pictures[i].begin(), pictures[i].end()))) {
            std::cerr << "skingen: cannot write " << (outDir / name).string() << "\n";
            return 1;
        }
        source += byteArray(pictures[i], i);
    }
    source += "} // namespace\n\n"
              "const std::array<std::span<const std::uint8_t>, kSkinCount> kSkinPictures = {{\n";
    for (int i = 0; i < skins::kSkinCount; ++i) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "    kSkin%02d,\n", i);
        source += entry;
    }
    source += "}};\n\n} // namespace skins::generated\n";
    if (!writeFile(outDir / "skin_pictures.cpp", source)) {
        std::cerr << "skingen: cannot write skin_pictures.cpp\n";
        return 1;
    }
    return 0;
}
