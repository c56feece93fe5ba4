// SPDX-License-Identifier: MIT
// The fingerprint decides whether a frame is drawn again: it must change
// exactly when the drawn picture would.
#include <gtest/gtest.h>

#include <functional>

#include "platform/fingerprint.h"

using namespace hvezda;

namespace {

TEST(Fingerprint, ChangesExactlyWhenTheDrawnPictureWould) {
    const struct {
        const char* what;
        std::function<void(Scene&)> change;
        bool shows;
    } cases[] = {
        {"a third of a pixel", [](Scene& s) { s.Picture1.Left += 5; }, false},
        {"one pixel", [](Scene& s) { s.Picture1.Left += 15; }, true},
        {"a hidden sprite moved", [](Scene& s) { s.fire[3].Top -= 300; }, false},
        {"a sprite shown", [](Scene& s) { s.fire[3].Visible = true; }, true},
        {"another picture", [](Scene& s) { copyPicture(s.Picture1, s.leftt); }, true},
        {"the same picture", [](Scene& s) { copyPicture(s.Picture1, s.rovne); }, false},
        {"a caption", [](Scene& s) { s.score.Caption = "12"; }, true},
        {"a hidden label's colour", [](Scene& s) { s.Label3.ForeColor = 0x00000100; }, false},
        {"a shown label's colour", [](Scene& s) { s.score.ForeColor = colors::green; }, true},
        {"a star moved", [](Scene& s) { s.hvezda1[2].Top += 170; }, true},
        {"a line moved", [](Scene& s) { s.Line2.Y1 = 1335; }, true},
        {"an image shown", [](Scene& s) { s.Image3.Visible = true; }, true},
    };
    Scene first = makeScene(), second = makeScene();
    const uint64_t start = plat::sceneFingerprint(first);
    EXPECT_EQ(plat::sceneFingerprint(second), start);
    for (const auto& c : cases) {
        Scene s = makeScene();
        c.change(s);
        EXPECT_EQ(plat::sceneFingerprint(s) != start, c.shows) << c.what;
    }
}

}  // namespace
