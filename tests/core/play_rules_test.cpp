// SPDX-License-Identifier: MIT
// Rules of ordinary play that are easier to pin down in code than in a script.
#include <gtest/gtest.h>

#include "player/player.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// The flight limits add in single precision: 16776422 + 795 rounds to 16777216, the limit, so the step is
// taken (not in double precision); two twips more round past it. The bottom limit likewise, tried alone.
TEST(PlayRules, FlightLimitsAddInSinglePrecision) {
    Game g;
    Form_Load(g);
    Scene& s = g.scene;
    s.Form1.Width = 16777916.0f;  // 16777916 - 700 = 16777216
    s.Form1.Height = 16777216.0f;
    s.Picture1.Top = 5000.0f;
    Form_KeyDown(g, keys::right, 0);
    s.Picture1.Left = 16776422.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Left, 16776572.0f);
    copyPicture(s.Picture1, s.rovne);
    s.Picture1.Left = 16776424.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Left, 16776424.0f);
    Form_KeyUp(g, keys::right, 0);
    s.Picture1.Left = 5000.0f;
    s.Picture1.Top = 16776032.0f;  // + 1185 = 16777217
    Form_KeyDown(g, keys::down, 0);
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Top, 16776132.0f);
    s.Picture1.Top = 16776034.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Top, 16776034.0f);
}

// A shot index written from outside beyond the ring starts it again at fire(0).
TEST(PlayRules, ShotIndexOutsideTheRingStartsItAgain) {
    for (int32_t written : {-7, 11, 12, 1000}) {
        Game g;
        Form_Load(g);
        g.state.shotIndex = written;
        Form_KeyDown(g, keys::x, 0);
        EXPECT_EQ(g.state.shotIndex, 0) << written;
        EXPECT_TRUE(g.scene.fire[0].Visible) << written;
    }
}

}  // namespace
