// SPDX-License-Identifier: MIT
// The game's pictures, embedded into the program when it is built, so the
// game needs no files beside it.
#pragma once
#include <cstddef>
#include <span>
#include <string_view>

namespace assets {

struct AssetFile {
    std::string_view name;  // without extension, e.g. "ship"
    const unsigned char* data;
    std::size_t size;
};

const AssetFile* findAsset(std::string_view name);  // nullptr when unknown
std::span<const AssetFile> allAssets();             // in name order

}  // namespace assets
