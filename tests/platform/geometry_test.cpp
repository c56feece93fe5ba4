#include <gtest/gtest.h>

#include "platform/geometry.h"

namespace {

using plat::px;
using plat::Rect;

TEST(Geometry, TwipsRoundToTheNearestPixel) {
    EXPECT_EQ(px(0), 0);
    EXPECT_EQ(px(15), 1);
    EXPECT_EQ(px(7), 0);
    EXPECT_EQ(px(7.5f), 1);  // halves away from zero
    EXPECT_EQ(px(-7.5f), -1);
    EXPECT_EQ(px(22), 1);
    EXPECT_EQ(px(23), 2);
    EXPECT_EQ(px(-4200), -280);
    EXPECT_EQ(px(10005), 667);
    EXPECT_EQ(px(8550), 570);
    EXPECT_EQ(px(622.5f), 42);  // 41.5
}

TEST(Geometry, BoxesConvertPositionAndSizeApart) {
    EXPECT_EQ(plat::pixelBox(4560, 6480, 795, 1185), (Rect{304, 432, 53, 79}));
    EXPECT_EQ(plat::pixelBox(9720, -4200, 255, 6375), (Rect{648, -280, 17, 425}));
}

TEST(Geometry, Intersection) {
    EXPECT_EQ(plat::intersect(Rect{-5, -5, 10, 10}, plat::kWindowRect), (Rect{0, 0, 5, 5}));
    EXPECT_EQ(plat::intersect(Rect{660, 560, 20, 20}, plat::kWindowRect), (Rect{660, 560, 7, 10}));
    EXPECT_TRUE(plat::intersect(Rect{700, 0, 5, 5}, plat::kWindowRect).empty());
    EXPECT_TRUE(plat::intersect(Rect{0, 0, 5, 5}, Rect{5, 0, 5, 5}).empty());  // touching only
    EXPECT_TRUE((Rect{2, 3, 4, 5}).contains(2, 3));
    EXPECT_FALSE((Rect{2, 3, 4, 5}).contains(6, 3));
    EXPECT_FALSE((Rect{2, 3, 4, 5}).contains(2, 8));
}

TEST(Geometry, PanelChildrenSitInsideItsFrameAndTheWindow) {
    const Scene s = makeScene();
    const plat::PanelFrame f = plat::panelFrame(s.Picture2);
    EXPECT_EQ(f.originX, 1);
    EXPECT_EQ(f.originY, 1);
    // 713 x 97 with its frame; the window cuts off the right part.
    EXPECT_EQ(f.clip, (Rect{1, 1, 666, 95}));
    Sprite plain = s.Picture2;
    plain.border = false;
    plain.Left = -150;
    const plat::PanelFrame g = plat::panelFrame(plain);
    EXPECT_EQ(g.originX, -10);
    EXPECT_EQ(g.clip, (Rect{0, 0, 667, 97}));
}

TEST(Geometry, ColoursAreBlueGreenRedAndSystemColoursResolve) {
    EXPECT_EQ(plat::resolveColor(0x000080FF), (plat::Rgb{0xFF, 0x80, 0x00}));  // orange
    EXPECT_EQ(plat::resolveColor(0x00400000), (plat::Rgb{0x00, 0x00, 0x40}));  // dark blue
    EXPECT_EQ(plat::resolveColor(colors::systemWindow), (plat::Rgb{255, 255, 255}));
    EXPECT_EQ(plat::resolveColor(colors::systemWindowText), (plat::Rgb{0, 0, 0}));
    EXPECT_EQ(plat::resolveColor(colors::systemButtonFace), (plat::Rgb{0xF0, 0xF0, 0xF0}));
}

TEST(Geometry, FontSizesAt96Dpi) {
    EXPECT_EQ(plat::fontPixels(12), 16);
    EXPECT_EQ(plat::fontPixels(24), 32);
    EXPECT_EQ(plat::fontPixels(9.75f), 13);
    EXPECT_EQ(plat::fontPixels(8), 11);
}

}  // namespace
