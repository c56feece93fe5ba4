// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "scene/scene.h"

using namespace hvezda;

namespace {

// Every auto-sized sprite's starting box already agrees with its picture
// (two pixels more each way with a frame), and no shot starts shown.
TEST(Scene, StartingBoxesMatchTheirPictures) {
    Scene s = makeScene();
    for (const ElementRef& e : catalogue(s)) {
        if (e.kind() != Kind::Sprite) continue;
        const Sprite& sp = *std::get<Sprite*>(e.ptr);
        if (!sp.autoSize || !sp.picture) continue;
        const int frame = sp.border ? 2 : 0;
        EXPECT_EQ(sp.Width, (sp.picture->width + frame) * 15) << e.name();
        EXPECT_EQ(sp.Height, (sp.picture->height + frame) * 15) << e.name();
    }
    for (const Sprite& f : s.fire) EXPECT_FALSE(f.Visible);
}

// (The scenarios show touching edges.) 16777216 + 1 rounds back to 16777216 in single precision: they only touch.
TEST(Scene, BoxTestSumsInSinglePrecision) {
    EXPECT_FALSE(spansOverlap(16777216.0f, 1.0f, 16777216.0f + 2.0f, 1.0f));
    EXPECT_FALSE(spansOverlap(0.0f, 16777216.0f, 16777217.0f, 5.0f));
    EXPECT_TRUE(spansOverlap(0.0f, 16777216.0f, 16777214.0f, 5.0f));
}

TEST(Scene, ElementsAreFoundByNameAndIndex) {
    Scene s = makeScene();
    EXPECT_EQ(std::get<Sprite*>(findElement(s, "fire(3)")->ptr), &s.fire[3]);
    EXPECT_EQ(std::get<Star*>(findElement(s, "hvezda1", 12)->ptr), &s.hvezda1[12]);
    EXPECT_TRUE(findElement(s, "score")->inPanel);
    EXPECT_FALSE(findElement(s, "Label3")->inPanel);
    for (const char* missing : {"fire(12)", "hvezda1(5)", "hvezda1(9)", "fire", "fire()", "fire(-1)", "fire(1x)",
                                "Picture1(0)", "nothing", ""})
        EXPECT_FALSE(findElement(s, missing)) << missing;
}

TEST(Scene, CatalogueAndDrawingOrderCoverEveryElementOnce) {
    Scene s = makeScene();
    std::set<std::string> names;
    for (const ElementRef& e : catalogue(s)) EXPECT_TRUE(names.insert(e.name()).second) << e.name();
    std::set<std::string> drawn;
    for (const ElementRef& e : drawingOrder(s)) EXPECT_TRUE(drawn.insert(e.name()).second) << e.name();
    for (const ElementRef& e : panelDrawingOrder(s)) EXPECT_TRUE(drawn.insert(e.name()).second) << e.name();
    // Everything but the six timers and the window is drawn.
    for (const std::string& n : names) EXPECT_TRUE(drawn.count(n) || n.rfind("Timer", 0) == 0 || n == "Form1") << n;
    EXPECT_EQ(drawn.size(), names.size() - 7);
    // Craft are drawn over the ship, the ship over all shots, the panel over them all.
    auto order = drawingOrder(s);
    auto pos = [&](const std::string& n) {
        return std::find_if(order.begin(), order.end(), [&](const ElementRef& e) { return e.name() == n; }) - order.begin();
    };
    EXPECT_LT(pos("fire(11)"), pos("Picture1"));
    EXPECT_LT(pos("Picture1"), pos("enemycraft3"));
    EXPECT_LT(pos("enemycraft1"), pos("Picture2"));
    EXPECT_EQ(order.back().name(), "life");
}

}  // namespace
