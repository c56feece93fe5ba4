// SPDX-License-Identifier: MIT
// The committed pictures are exactly what the generator draws: running it
// again must give the same bytes, so nobody edits a picture by hand and the
// generator stays deterministic.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<char> readAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::set<std::string> bmpNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".bmp" || e.path().extension() == ".png") names.insert(e.path().filename().string());
    return names;
}

// A fresh folder for this test's pictures, gone at its end.
struct Scratch {
    const fs::path dir = fs::temp_directory_path() / ("hvezda-picgen-" + std::to_string(getpid()) + "-" +
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Scratch() { fs::remove_all(dir); }
    ~Scratch() { fs::remove_all(dir); }
};

int runGenerator(const fs::path& out, const std::string& names = "") {
    const std::string cmd =
        std::string("\"") + HVEZDA_PICGEN + "\" \"" + out.string() + "\" " + names + " 2>/dev/null";
    return std::system(cmd.c_str());
}

TEST(PicgenReproduces, EveryCommittedPictureByteForByte) {
    Scratch scratch;
    ASSERT_EQ(runGenerator(scratch.dir), 0);
    const fs::path committed = HVEZDA_ASSET_DIR;
    const std::set<std::string> drawn = bmpNames(scratch.dir);
    EXPECT_EQ(drawn, bmpNames(committed)) << "the generator and assets/ disagree on which pictures exist";
    for (const std::string& name : drawn) {
        SCOPED_TRACE(name);
        if (!fs::exists(committed / name)) continue;
        const std::vector<char> fresh = readAll(scratch.dir / name);
        const std::vector<char> old = readAll(committed / name);
        ASSERT_EQ(fresh.size(), old.size());
        EXPECT_TRUE(fresh == old) << "run hvezda-picgen assets and commit the result";
    }
}

// Only the pictures named, and none at all for an unknown name or no folder.
TEST(PicgenReproduces, DrawsOnlyTheNamedPicturesAndRefusesBadArguments) {
    Scratch scratch;
    ASSERT_EQ(runGenerator(scratch.dir, "token shot"), 0);
    EXPECT_EQ(bmpNames(scratch.dir), (std::set<std::string>{"shot.bmp", "token.bmp"}));
    EXPECT_TRUE(readAll(scratch.dir / "token.bmp") == readAll(fs::path(HVEZDA_ASSET_DIR) / "token.bmp"));
    EXPECT_NE(runGenerator(scratch.dir / "more", "ship spaceship"), 0);
    EXPECT_NE(std::system((std::string("\"") + HVEZDA_PICGEN + "\" 2>/dev/null").c_str()), 0);
}

}  // namespace
