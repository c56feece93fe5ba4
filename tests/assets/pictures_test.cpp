// SPDX-License-Identifier: MIT
// The generator draws exactly the pictures under assets/ (none edited by hand), the program embeds
// exactly those bytes, each a well-formed BMP with black edges around a drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "assets/assets.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::map<std::string, Bytes> picturesIn(const fs::path& dir) {
    std::map<std::string, Bytes> all;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".bmp" || e.path().extension() == ".png") all[e.path().filename()] = readAll(e.path());
    return all;
}

// A fresh folder for a test, gone at its end.
struct Scratch {
    const fs::path dir = fs::temp_directory_path() / ("hvezda-picgen-" + std::to_string(getpid()) + "-" +
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Scratch() { fs::remove_all(dir); }
    ~Scratch() { fs::remove_all(dir); }
};

int runGenerator(const std::string& args) { return std::system(("\"" HVEZDA_PICGEN "\" " + args + " 2>/dev/null").c_str()); }
std::string quoted(const fs::path& p) { return '"' + p.string() + '"'; }

// An uncompressed bottom-up 24-bit BMP with a BITMAPINFOHEADER; width 0 when the bytes are not one.
struct Bmp {
    int width = 0, height = 0;
    const unsigned char* pixels = nullptr;
    bool black(int x, int y) const {
        const unsigned char* p = pixels + (height - 1 - y) * ((width * 3 + 3) & ~3) + 3 * x;
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
};

Bmp load(std::string_view name) {
    const assets::AssetFile* a = assets::findAsset(name);
    if (!a) return ADD_FAILURE() << name << " is not embedded", Bmp{};
    const unsigned char* d = a->data;
    auto u32 = [d](int at) { return uint32_t{d[at]} | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t{d[at + 3]} << 24; };
    const Bmp bmp{static_cast<int>(u32(18)), static_cast<int>(u32(22)), d + u32(10)};
    const bool ok = a->size > 54 && d[0] == 'B' && d[1] == 'M' && u32(2) == a->size && u32(14) == 40 &&
                    bmp.width > 0 && bmp.height > 0 && u32(26) == (24u << 16 | 1) && u32(30) == 0 &&
                    u32(10) + static_cast<uint64_t>((bmp.width * 3 + 3) & ~3) * bmp.height == a->size;
    if (!ok) ADD_FAILURE() << name << " is not an uncompressed 24-bit BMP";
    return ok ? bmp : Bmp{};
}

TEST(Pictures, TheGeneratorDrawsEveryCommittedPictureByteForByte) {
    Scratch scratch;
    ASSERT_EQ(runGenerator(quoted(scratch.dir)), 0);
    const auto drawn = picturesIn(scratch.dir), committed = picturesIn(HVEZDA_ASSET_DIR);
    EXPECT_EQ(drawn.size(), committed.size()) << "the generator and assets/ disagree on which pictures exist";
    for (const auto& [name, bytes] : committed)
        EXPECT_TRUE(drawn.count(name) && drawn.at(name) == bytes) << name << ": run hvezda-picgen assets and commit the result";
}

// Only the pictures named (a BMP and a PNG: the sanitized pass draws only these); none for an
// unknown name or no folder.
TEST(Pictures, TheGeneratorDrawsOnlyTheNamedPicturesAndRefusesBadArguments) {
    Scratch scratch;
    ASSERT_EQ(runGenerator(quoted(scratch.dir) + " token icon_16"), 0);
    const auto drawn = picturesIn(scratch.dir);
    EXPECT_EQ(drawn.size(), 2u);
    for (const char* name : {"token.bmp", "icon_16.png"})
        EXPECT_TRUE(drawn.count(name) && drawn.at(name) == readAll(fs::path(HVEZDA_ASSET_DIR) / name)) << name;
    EXPECT_NE(runGenerator(quoted(scratch.dir / "more") + " ship spaceship"), 0);
    EXPECT_NE(runGenerator(""), 0);
}

// Each embedded picture is its file in assets/, found by its name, and well-formed on black: an edge not black all
// round shows a box around the sprite.
TEST(Pictures, EmbeddedAreTheFilesInAssetsWellFormedWithBlackEdgesAndSomethingDrawnInside) {
    const auto files = picturesIn(HVEZDA_ASSET_DIR);
    EXPECT_EQ(assets::allAssets().size(), std::count_if(files.begin(), files.end(), [](auto& f) { return f.first.ends_with(".bmp"); }));
    for (const char* wrong : {"ship.bmp", "shi", "", "zzz"}) EXPECT_EQ(assets::findAsset(wrong), nullptr) << wrong;
    for (const assets::AssetFile& a : assets::allAssets()) {
        SCOPED_TRACE(std::string(a.name));
        EXPECT_EQ(assets::findAsset(a.name), &a);
        const auto file = files.find(std::string(a.name) + ".bmp");
        EXPECT_TRUE(file != files.end() && std::equal(file->second.begin(), file->second.end(), a.data, a.data + a.size));
        const Bmp bmp = load(a.name);
        if (bmp.width == 0) continue;
        int lit = 0;
        for (int y = 0; y < bmp.height; ++y)
            for (int x = 0; x < bmp.width; ++x)
                if (x == 0 || y == 0 || x == bmp.width - 1 || y == bmp.height - 1)
                    EXPECT_TRUE(bmp.black(x, y)) << "edge pixel " << x << "," << y;
                else lit += !bmp.black(x, y);
        const double share = static_cast<double>(lit) / (bmp.width * bmp.height);
        EXPECT_GT(share, 0.2) << "too little drawn";
        EXPECT_LT(share, 0.9) << "hardly any background left";
    }
}

// How far the lit pixels reach left and right of the nose (the first lit pixel from the top).
struct Reach {
    int left, right;
};
Reach wingReach(const Bmp& bmp) {
    int minX = bmp.width, maxX = -1, noseX = -1;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (!bmp.black(x, y)) {
                if (noseX < 0) noseX = x;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    return {noseX - minX, maxX - noseX};
}

// Banking to a side dips that wing away from the viewer, so it looks shorter.
TEST(Pictures, TheBankedFighterHasTheLowerWingShorter) {
    const Reach level = wingReach(load("ship"));
    EXPECT_NEAR(level.left, level.right, 2);
    const Reach left = wingReach(load("ship_left"));
    EXPECT_LT(left.left + 4, left.right);
    const Reach right = wingReach(load("ship_right"));
    EXPECT_GT(right.left, right.right + 4);
}

}  // namespace
