// SPDX-License-Identifier: MIT
// The pictures embedded into the program at build time.
#include "assets/assets.h"
#include "draw/pictures.h"

namespace draw {

PictureSource embeddedPictures() {
    return PictureSource{[](std::string_view name) -> std::span<const uint8_t> {
        const assets::AssetFile* file = assets::findAsset(name);
        if (!file) return {};
        return {reinterpret_cast<const uint8_t*>(file->data), file->size};
    }};
}

}  // namespace draw
