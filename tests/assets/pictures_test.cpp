// SPDX-License-Identifier: MIT
// The pictures embedded into the game: all there, well-formed BMPs, the same
// bytes as the files under assets/, and drawn (black edges, something inside).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "assets/assets.h"

namespace {

// An uncompressed bottom-up 24-bit BMP with a BITMAPINFOHEADER, as the
// game's pictures are; width 0 when the bytes are not one.
struct Bmp {
    int width = 0, height = 0;
    const unsigned char* pixels = nullptr;
    bool black(int x, int y) const {
        const unsigned char* p = pixels + (height - 1 - y) * ((width * 3 + 3) & ~3) + 3 * x;
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
};

Bmp load(std::string_view name) {
    const AssetFile* a = findAsset(name);
    if (!a) {
        ADD_FAILURE() << name << " is not embedded";
        return {};
    }
    const unsigned char* d = a->data;
    auto u32 = [d](int at) { return uint32_t{d[at]} | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t{d[at + 3]} << 24; };
    const Bmp bmp{static_cast<int>(u32(18)), static_cast<int>(u32(22)), d + u32(10)};
    const bool ok = a->size > 54 && d[0] == 'B' && d[1] == 'M' && u32(2) == a->size && u32(14) == 40 &&
                    bmp.width > 0 && bmp.height > 0 && u32(26) == (24u << 16 | 1) && u32(30) == 0 &&
                    u32(10) + static_cast<uint64_t>((bmp.width * 3 + 3) & ~3) * bmp.height == a->size;
    if (!ok) ADD_FAILURE() << name << " is not an uncompressed 24-bit BMP";
    return ok ? bmp : Bmp{};
}

// Exactly the pictures under assets/, byte for byte, found by name, each an
// uncompressed 24-bit BMP.
TEST(EmbeddedPictures, TheFilesInAssetsWellFormedAndFoundByName) {
    std::set<std::string> files, embedded;
    for (const auto& e : std::filesystem::directory_iterator(HVEZDA_ASSET_DIR))
        if (e.path().extension() == ".bmp") files.insert(e.path().stem().string());
    for (const AssetFile& a : allAssets()) {
        SCOPED_TRACE(std::string(a.name));
        embedded.emplace(a.name);
        EXPECT_EQ(findAsset(a.name), &a);
        EXPECT_GT(load(a.name).width, 0);
        std::ifstream f(std::string(HVEZDA_ASSET_DIR) + "/" + std::string(a.name) + ".bmp", std::ios::binary);
        const std::vector<unsigned char> file{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(file.size() == a.size && std::equal(file.begin(), file.end(), a.data));
    }
    EXPECT_EQ(embedded, files);
    for (const char* wrong : {"ship.bmp", "shi", "", "zzz"}) EXPECT_EQ(findAsset(wrong), nullptr) << wrong;
}

// Black is the scene's background: a picture that is not black all round its
// edge shows a box around the sprite. And a picture must show something.
TEST(EmbeddedPictures, BlackEdgesAndSomethingDrawnInside) {
    for (const AssetFile& a : allAssets()) {
        SCOPED_TRACE(std::string(a.name));
        const Bmp bmp = load(a.name);
        if (bmp.width == 0) continue;
        int lit = 0;
        for (int y = 0; y < bmp.height; ++y) {
            for (int x = 0; x < bmp.width; ++x) {
                const bool edge = x == 0 || y == 0 || x == bmp.width - 1 || y == bmp.height - 1;
                if (edge) {
                    EXPECT_TRUE(bmp.black(x, y)) << "edge pixel " << x << "," << y;
                } else if (!bmp.black(x, y)) {
                    ++lit;
                }
            }
        }
        const double share = static_cast<double>(lit) / (bmp.width * bmp.height);
        EXPECT_GT(share, 0.2) << "too little drawn";
        EXPECT_LT(share, 0.9) << "hardly any background left";
    }
}

// Where the lit pixels of the fighter reach, left and right of its nose.
struct Reach {
    int left, right;
};
Reach wingReach(const Bmp& bmp) {
    int minX = bmp.width, maxX = -1, noseX = -1;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (!bmp.black(x, y)) {
                if (noseX < 0) noseX = x;  // the first lit pixel from the top is the nose
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    return {noseX - minX, maxX - noseX};
}

// Banking to a side dips that wing away from the viewer, so it looks shorter.
TEST(EmbeddedPictures, BankedFighterHasTheLowerWingShorter) {
    const Reach level = wingReach(load("ship"));
    EXPECT_NEAR(level.left, level.right, 2);
    const Reach left = wingReach(load("ship_left"));
    EXPECT_LT(left.left + 4, left.right);
    const Reach right = wingReach(load("ship_right"));
    EXPECT_GT(right.left, right.right + 4);
}

}  // namespace
