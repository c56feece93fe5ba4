// SPDX-License-Identifier: MIT
// The damage between two frames: none when the drawn picture would be the
// same, and where it would differ, the old and new places of what changed and
// nothing beyond them. (That drawing inside the damage gives a whole frame's
// pixels is shown on a real window by partial_frames_test.cpp.)
#include <gtest/gtest.h>

#include <functional>

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

TEST(Damage, OnlyWhereTheDrawnPictureChanges) {
    const Scene start = makeScene();
    const Rect ship = plat::pixelBox(start.Picture1);
    const Rect panel = plat::intersect(plat::pixelBox(start.Picture2), plat::kWindowRect);
    const struct {
        const char* what;
        std::function<void(Scene&)> change;
        bool shows;
        Rect place;  // all that may be damaged, when checked
    } cases[] = {
        {"a third of a pixel", [](Scene& s) { s.Picture1.Left += 5; }, false, {}},
        {"one pixel", [](Scene& s) { s.Picture1.Left += 15; }, true, Rect{ship.x, ship.y, ship.w + 1, ship.h}},
        {"a hidden sprite moved", [](Scene& s) { s.fire[3].Top -= 300; }, false, {}},
        {"another picture in the same box", [](Scene& s) { s.Picture1.picture = &pictures::craftF; }, true, ship},
        {"the same picture", [](Scene& s) { copyPicture(s.Picture1, s.rovne); }, false, {}},
        {"a hidden label's colour", [](Scene& s) { s.Label3.ForeColor = 0x00000100; }, false, {}},
        {"a longer caption", [](Scene& s) { s.score.Caption = "12"; }, true, Rect{337, 65, 12, 10}},
        {"a star moved", [](Scene& s) { s.hvezda1[2].Top += 170; }, true, {}},
        {"a line in the panel", [](Scene& s) { s.Line2.Y1 = 1335; }, true, {}},
        {"the panel hidden", [](Scene& s) { s.Picture2.Visible = false; }, true, panel},
        {"a sprite shown", [](Scene& s) { s.fire[3].Visible = true; }, true, {}},
        {"a shown label's colour", [](Scene& s) { s.score.ForeColor = colors::green; }, true, {}},
        {"an image shown", [](Scene& s) { s.Image3.Visible = true; }, true, {}},
    };
    Measuring canvas;
    for (const auto& c : cases) {
        plat::Damage damage(canvas);
        Scene s = makeScene();
        EXPECT_EQ(damage.next(s), std::vector<Rect>{plat::kWindowRect}) << c.what << ": the screen was unknown";
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": nothing changed yet";
        c.change(s);
        const std::vector<Rect> got = damage.next(s);
        EXPECT_EQ(got.empty(), !c.shows) << c.what;
        if (!c.place.empty()) {
            EXPECT_EQ(got, std::vector<Rect>{c.place}) << c.what;
        }
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": once shown, it is on screen";
    }
}

}  // namespace
