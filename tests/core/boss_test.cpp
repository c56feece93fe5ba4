#include <gtest/gtest.h>

#include <vector>

#include "boss/boss.h"
#include "shell/shell.h"

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

TEST(BossSweep, TurnsAfter46TicksThenEvery127BetweenItsTwoTurningPoints) {
    Game g;
    Form_Load(g);
    enterBossPhase(g);
    g.scene.Picture1.Left = 0;  // nothing else matters to the sweep
    std::vector<int> turns;
    std::string heading = g.state.bossDirection;
    float lowest = g.scene.enemyboss.Left, highest = lowest;
    for (int tick = 1; tick <= 46 + 127 * 6; ++tick) {
        Timerboss_Timer(g);
        lowest = std::min(lowest, g.scene.enemyboss.Left);
        highest = std::max(highest, g.scene.enemyboss.Left);
        if (g.state.bossDirection != heading) {
            turns.push_back(tick);
            heading = g.state.bossDirection;
        }
    }
    const std::vector<int> expected{46, 173, 300, 427, 554, 681, 808};
    EXPECT_EQ(turns, expected);
    EXPECT_EQ(lowest, 960);
    EXPECT_EQ(highest, 6040);
    EXPECT_EQ(g.scene.enemyboss.Top, 2720);
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
