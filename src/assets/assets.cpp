// SPDX-License-Identifier: MIT
#include "assets/assets.h"

#include <algorithm>

namespace assets {

// Written at build time by embed.cmake, sorted by name.
extern const AssetFile kEmbeddedAssets[];
extern const std::size_t kEmbeddedAssetCount;

std::span<const AssetFile> allAssets() { return {kEmbeddedAssets, kEmbeddedAssetCount}; }

const AssetFile* findAsset(std::string_view name) {
    const std::span<const AssetFile> all = allAssets();
    const auto it = std::lower_bound(all.begin(), all.end(), name,
                                     [](const AssetFile& a, std::string_view n) { return a.name < n; });
    if (it == all.end() || it->name != name) return nullptr;
    return &*it;
}

}  // namespace assets
