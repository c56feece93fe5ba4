// SPDX-License-Identifier: MIT
// The damage between two frames: none when the drawn picture would be the
// same, and where it would differ, the old and new places of what changed
// and nothing far beyond them; rectangles merge into a few that still cover
// every damaged pixel. (That drawing inside the damage gives a whole frame's
// pixels is shown on a real window by partial_frames_test.cpp.)
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/damage.h"

using namespace hvezda;

namespace {

using plat::Rect;

// Sets no pixels; text is 6 px a character and 10 px high.
class Measuring final : public plat::Canvas {
public:
    void clear(plat::Rgb) override {}
    void fill(const Rect&, plat::Rgb) override {}
    void picture(const Picture&, int, int, const Rect&) override {}
    void points(std::span<const plat::Point>, plat::Rgb) override {}
    void line(plat::Point, plat::Point, plat::Rgb, const Rect&) override {}
    void text(const Font&, const std::string&, plat::Rgb, int, int, const Rect&) override {}
    std::optional<FontMetrics> fontMetrics(const Font&) override { return FontMetrics{10, 12}; }
    int textWidth(const Font&, std::string_view s) override { return 6 * static_cast<int>(s.size()); }
};

bool inside(const Rect& r, const Rect& in) { return plat::intersect(r, in) == r; }

// Each pixel of `want` lies in one of `rects`.
bool covers(const std::vector<Rect>& rects, const Rect& want) {
    for (int y = want.y; y < want.y + want.h; ++y)
        for (int x = want.x; x < want.x + want.w; ++x)
            if (std::none_of(rects.begin(), rects.end(), [&](const Rect& r) { return r.contains(x, y); })) return false;
    return true;
}

TEST(Damage, OnlyWhereTheDrawnPictureChanges) {
    const Scene start = makeScene();
    const Rect ship = plat::pixelBox(start.Picture1);
    const Rect panel = plat::intersect(plat::pixelBox(start.Picture2), plat::kWindowRect);
    const Rect shot = plat::intersect(plat::pixelBox(start.fire[3]), plat::kWindowRect);
    const struct {
        const char* what;
        std::function<void(Scene&)> change;
        bool shows;
        std::vector<Rect> places;  // where it shows, when checked
    } cases[] = {
        {"a third of a pixel", [](Scene& s) { s.Picture1.Left += 5; }, false, {}},
        {"one pixel", [](Scene& s) { s.Picture1.Left += 15; }, true, {ship, Rect{ship.x + 1, ship.y, ship.w, ship.h}}},
        {"a hidden sprite moved", [](Scene& s) { s.fire[3].Top -= 300; }, false, {}},
        {"a sprite shown", [](Scene& s) { s.fire[3].Visible = true; }, true, {shot}},
        {"another picture in the same box", [](Scene& s) { s.Picture1.picture = &pictures::craftF; }, true, {ship}},
        {"the same picture", [](Scene& s) { copyPicture(s.Picture1, s.rovne); }, false, {}},
        {"a hidden label's colour", [](Scene& s) { s.Label3.ForeColor = 0x00000100; }, false, {}},
        {"a caption", [](Scene& s) { s.score.Caption = "12"; }, true, {Rect{337, 65, 12, 10}}},
        {"a shown label's colour", [](Scene& s) { s.score.ForeColor = colors::green; }, true, {Rect{337, 65, 6, 10}}},
        {"a star moved", [](Scene& s) { s.hvezda1[2].Top += 170; }, true, {}},
        {"a line in the panel", [](Scene& s) { s.Line2.Y1 = 1335; }, true, {}},
        {"the panel hidden", [](Scene& s) { s.Picture2.Visible = false; }, true, {panel}},
    };
    Measuring canvas;
    for (const auto& c : cases) {
        plat::Damage damage(canvas);
        Scene s = makeScene();
        EXPECT_EQ(damage.next(s), std::vector<Rect>{plat::kWindowRect}) << c.what << ": the screen was unknown";
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": nothing changed yet";
        c.change(s);
        const std::vector<Rect> got = damage.next(s);
        EXPECT_EQ(!got.empty(), c.shows) << c.what;
        Rect all;
        for (const Rect& p : c.places) {
            EXPECT_TRUE(covers(got, p)) << c.what;
            all = plat::bounding(all, p);
        }
        for (const Rect& r : got)
            EXPECT_TRUE(c.places.empty() || inside(r, all)) << c.what << ": damaged beyond the change";
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": shown once, it is on screen";
    }
}

TEST(Damage, MergedRectanglesAreFewAndCoverEveryPixel) {
    // Mostly overlapping or side by side: one rectangle; far apart: two.
    EXPECT_EQ(plat::mergeRects({Rect{10, 10, 50, 50}, Rect{20, 20, 50, 50}}, 12).size(), 1u);
    const std::vector<Rect> touching = plat::mergeRects({Rect{10, 10, 50, 50}, Rect{60, 10, 50, 50}}, 12);
    EXPECT_EQ(touching, std::vector<Rect>{(Rect{10, 10, 100, 50})});
    EXPECT_EQ(plat::mergeRects({Rect{0, 0, 10, 10}, Rect{600, 500, 10, 10}, Rect{}}, 12).size(), 2u);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<Rect> rects;
        for (int i = 0; i < 40; ++i)
            rects.push_back(Rect{static_cast<int>(random() % 640), static_cast<int>(random() % 540),
                                 static_cast<int>(random() % 40), static_cast<int>(random() % 40)});
        const std::vector<Rect> merged = plat::mergeRects(rects, 12);
        EXPECT_LE(merged.size(), 12u);
        for (const Rect& r : rects) EXPECT_TRUE(covers(merged, r));
    }
}

}  // namespace
