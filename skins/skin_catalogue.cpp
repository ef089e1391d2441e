#include "skins/skin_catalogue.h"

#include "skins/generated/skin_pictures.h"

namespace skins {

namespace {

int known(SkinIndex index) {
    return index >= 0 && index < kSkinCount ? index : 0;
}

} // namespace

std::span<const std::uint8_t> skinPicture(SkinIndex index) {
    return generated::kSkinPictures[known(index)];
}

const wchar_t* skinMenuText(SkinIndex index) {
    return kSkinMenuTexts[known(index)];
}

} // namespace skins
