#include <gtest/gtest.h>

#include "platform/fingerprint.h"

namespace {

TEST(Fingerprint, ChangesExactlyWhenTheDrawnPictureWould) {
    Scene s = makeScene();
    const uint64_t start = plat::sceneFingerprint(s);
    EXPECT_EQ(plat::sceneFingerprint(s), start);

    s.Picture1.Left += 5;  // a third of a pixel: drawn at the same place
    EXPECT_EQ(plat::sceneFingerprint(s), start);
    s.Picture1.Left += 10;  // one pixel
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.Picture1.Left -= 15;
    EXPECT_EQ(plat::sceneFingerprint(s), start);

    s.fire[3].Top -= 300;  // hidden: not drawn wherever it is
    EXPECT_EQ(plat::sceneFingerprint(s), start);
    s.fire[3].Visible = true;
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.fire[3].Visible = false;

    copyPicture(s.Picture1, s.leftt);
    EXPECT_NE(plat::sceneFingerprint(s), start);
    copyPicture(s.Picture1, s.rovne);
    EXPECT_EQ(plat::sceneFingerprint(s), start);

    s.score.Caption = "12";
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.score.Caption = "0";
    s.Label3.ForeColor = 0x00000100;  // hidden banner: nothing to see
    EXPECT_EQ(plat::sceneFingerprint(s), start);
    s.score.ForeColor = colors::green;  // a shown label
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.score.ForeColor = colors::orange;

    s.hvezda1[2].Top += 170;
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.hvezda1[2].Top -= 170;
    s.Line2.Y1 = 1335;
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.Line2.Y1 = 1320;
    s.Image3.Visible = true;
    EXPECT_NE(plat::sceneFingerprint(s), start);
    s.Image3.Visible = false;
    EXPECT_EQ(plat::sceneFingerprint(s), start);
}

}  // namespace
