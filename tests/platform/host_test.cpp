// SPDX-License-Identifier: MIT
// The pieces of the window and the host that need no display.
#include <gtest/gtest.h>

#include <set>

#include "app/host.h"
#include "platform/clock_random.h"
#include "platform/window.h"
#include "scene/random.h"

using namespace hvezda;

namespace {

TEST(Host, ProgramFolderLosesItsTrailingSeparatorExceptAtTheRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/hvezda/", "/opt/hvezda"}, {"/opt/hvezda//", "/opt/hvezda"}, {"//", "/"}, {nullptr, "."}, {"", "."}};
    for (auto [base, folder] : cases) EXPECT_EQ(app::folderFromBasePath(base), folder) << (base ? base : "null");
}

// A real display, or the dummy/offscreen driver only when it was asked for by name.
TEST(Window, OnlyARealDisplayUnlessTheDriverWasAskedFor) {
    const struct {
        const char *driver, *asked;
        bool real;
    } cases[] = {{"x11", nullptr, true},        {"offscreen", nullptr, false}, {"dummy", "x11,offscreen", false},
                 {"dummy", "dummyx", false},    {"dummy", "dummy", true},      {"offscreen", "x11,offscreen", true},
                 {nullptr, "dummy", false}};
    for (const auto& c : cases)
        EXPECT_EQ(plat::isRealDisplay(c.driver, c.asked), c.real) << (c.driver ? c.driver : "null") << " / "
                                                                  << (c.asked ? c.asked : "null");
}

// The scale keeps the size of a 96 dpi screen, and never outgrows the display.
TEST(Window, ScaleKeepsTheSizeOfA96DpiScreen) {
    const struct {
        int w, h, dpi, scale;
    } cases[] = {{1920, 1040, -1, 1}, {3840, 2160, -1, 2}, {3840, 2112, -1, 1}, {3840, 2112, 192, 2},
                 {7680, 4320, -1, 4}, {800, 600, -1, 1},   {1920, 1080, 288, 1}, {1300, 2160, -1, 1}};
    for (const auto& c : cases) EXPECT_EQ(plat::scaleFactor(c.w, c.h, c.dpi), c.scale) << c.w << "x" << c.h << "@" << c.dpi;
}

TEST(ClockRandom, SeedsDifferFromDrawToDrawEvenInOneInstant) {
    auto seed = plat::clockSeed();
    std::set<uint64_t> seen;
    for (int i = 0; i < 1000; ++i) seen.insert(seed());
    EXPECT_EQ(seen.size(), 1000u);
    // Two draws in a row (a craft's column and its picture) rarely agree.
    Random r;
    r.seed = plat::clockSeed();
    int same = 0;
    for (int i = 0; i < 1000; ++i) same += drawRandom(r, 8000) == drawRandom(r, 8000);
    EXPECT_LT(same, 10);
}

}  // namespace
