// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "boss/boss.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// The boss phase as the hand-over leaves it: boss at its fighting height,
// Timerboss on, Timer3 off, the boss's gauge shown, the four shots hidden.
void enterBossPhase(Game& g) {
    g.scene.enemyboss.Top = 2720;
    enable(g, g.scene.Timerboss);
    disable(g, g.scene.Timer3);
    for (Sprite& shot : g.scene.enemyfire) shot.Visible = false;
    g.scene.Image3.Visible = true;
}

TEST(BossSweep, AnEmptyHeadingMovesLeftAndTheLeftTurnWritesRight) {
    Game g;
    Form_Load(g);
    enterBossPhase(g);
    g.state.bossDirection = "";
    Timerboss_Timer(g);
    EXPECT_EQ(g.scene.enemyboss.Left, 4160);
    EXPECT_EQ(g.state.bossDirection, "");
    g.scene.enemyboss.Left = 1000;  // 960 after the move: past the turning point
    Timerboss_Timer(g);
    EXPECT_EQ(g.state.bossDirection, "right");
}

// The shield test runs before the drop test, so the ship's first explosion
// picture (1065 wide instead of 795) already counts for the drop on that tick;
// likewise the boss's explosion picture moves the right-hand waiting place.
TEST(BossTickOrder, ExplosionPicturesChangeTheBoxesLaterStepsSee) {
    Game g;
    Form_Load(g);
    enterBossPhase(g);
    Scene& s = g.scene;
    // The first tick's drop test still sees the shots where the craft left
    // them, so the ship keeps clear until they wait on the boss.
    s.Picture1.Left = 0;
    Timerboss_Timer(g);  // enemyfire(0) now waits at 4405..4570
    s.Picture1.Left = 3500;  // straight: 3500..4295; exploding: 3500..4565
    ASSERT_EQ(s.enemyfire[0].Left, 4405);
    Timerboss_Timer(g);
    EXPECT_FALSE(s.enemyfire[0].Visible);

    s.energy.Top = 2041;
    s.bossenergy.Top = 2041;
    Timerboss_Timer(g);  // boss at 4320; enemyfire(0) had been placed at 4445..4610
    EXPECT_EQ(s.Picture1.Width, 1065);
    EXPECT_TRUE(s.enemyfire[0].Visible);
    EXPECT_EQ(s.enemyfire[0].Left, 4445);
    EXPECT_EQ(s.enemyboss.Width, 1095);
    EXPECT_EQ(s.enemyfire[3].Left, 4320 + 1095 - 165);
}

}  // namespace
