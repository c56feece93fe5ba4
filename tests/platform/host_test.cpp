// The pieces of the window and the host that need no display.
#include <gtest/gtest.h>

#include <set>

#include "app/host.h"
#include "platform/clock_random.h"
#include "platform/window.h"
#include "scene/random.h"

namespace {

TEST(Host, ProgramFolderLosesItsTrailingSeparatorExceptAtTheRoot) {
    EXPECT_EQ(app::folderFromBasePath("/opt/hvezda/"), "/opt/hvezda");
    EXPECT_EQ(app::folderFromBasePath("/opt/hvezda"), "/opt/hvezda");
    EXPECT_EQ(app::folderFromBasePath("/opt/hvezda//"), "/opt/hvezda");
    EXPECT_EQ(app::folderFromBasePath("/"), "/");
    EXPECT_EQ(app::folderFromBasePath("//"), "/");
    EXPECT_EQ(app::folderFromBasePath(nullptr), ".");
    EXPECT_EQ(app::folderFromBasePath(""), ".");
}

TEST(Window, OnlyARealDisplayUnlessTheDriverWasAskedFor) {
    EXPECT_TRUE(plat::isRealDisplay("x11", nullptr));
    EXPECT_TRUE(plat::isRealDisplay("wayland", "wayland"));
    EXPECT_TRUE(plat::isRealDisplay("kmsdrm", nullptr));
    EXPECT_FALSE(plat::isRealDisplay("offscreen", nullptr));
    EXPECT_FALSE(plat::isRealDisplay("dummy", nullptr));
    EXPECT_FALSE(plat::isRealDisplay("offscreen", "x11"));
    EXPECT_FALSE(plat::isRealDisplay("dummy", "x11,offscreen"));
    EXPECT_FALSE(plat::isRealDisplay("dummy", "dummyx"));
    EXPECT_TRUE(plat::isRealDisplay("dummy", "dummy"));
    EXPECT_TRUE(plat::isRealDisplay("offscreen", "x11,offscreen"));
    EXPECT_FALSE(plat::isRealDisplay(nullptr, "dummy"));
}

TEST(Window, ScaleKeepsTheSizeOfA96DpiScreen) {
    EXPECT_EQ(plat::scaleFactor(1920, 1040, -1), 1);   // full HD, less the task bar
    EXPECT_EQ(plat::scaleFactor(1280, 1024, -1), 1);
    EXPECT_EQ(plat::scaleFactor(2560, 1400, -1), 1);
    EXPECT_EQ(plat::scaleFactor(3840, 2160, -1), 2);   // 4K
    EXPECT_EQ(plat::scaleFactor(3840, 2112, -1), 1);   // 4K less a panel: still below 2 x 1080
    EXPECT_EQ(plat::scaleFactor(3840, 2112, 192), 2);  // ... but the system says 200 %
    EXPECT_EQ(plat::scaleFactor(5120, 2880, -1), 2);
    EXPECT_EQ(plat::scaleFactor(7680, 4320, -1), 4);
    EXPECT_EQ(plat::scaleFactor(1920, 1080, 96), 1);
    EXPECT_EQ(plat::scaleFactor(800, 600, -1), 1);     // too small even at 1: stays 1
    // Never larger than the display.
    EXPECT_EQ(plat::scaleFactor(1920, 1080, 288), 1);
    EXPECT_EQ(plat::scaleFactor(2000, 2160, -1), 2);
    EXPECT_EQ(plat::scaleFactor(1300, 2160, -1), 1);
}

TEST(ClockRandom, SeedsDifferFromDrawToDrawEvenInOneInstant) {
    auto seed = plat::clockSeed();
    std::set<uint64_t> seen;
    for (int i = 0; i < 1000; ++i) seen.insert(seed());
    EXPECT_EQ(seen.size(), 1000u);
    // Two draws in a row (a craft's column and its picture) rarely agree.
    Random r;
    r.seed = plat::clockSeed();
    std::set<int32_t> columns;
    int same = 0;
    for (int i = 0; i < 1000; ++i) {
        const int32_t a = drawRandom(r, 8000);
        const int32_t b = drawRandom(r, 8000);
        ASSERT_GE(a, 0);
        ASSERT_LT(a, 8000);
        same += a == b;
        columns.insert(a);
    }
    EXPECT_LT(same, 10);
    EXPECT_GT(columns.size(), 800u);
}

}  // namespace
