// SPDX-License-Identifier: MIT
// The checker must catch what it claims to catch, or the soak run proves nothing.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "shell/shell.h"
#include "sim/script.h"
#include "stress/invariants.h"

using namespace hvezda;

namespace {

struct Fresh {
    Sim sim;
    Watch w;
    Fresh() {
        startSim(sim, SimOptions{7, {}});
        w = watchFrom(sim.game);
        sim.game.onTick = [this](Game&, TimerId id) { countTick(w, id); };
    }
    Game& g() { return sim.game; }
    std::string check() { return checkInvariants(sim.game, w); }
};

// One broken value at a time in a fresh game; the checker must name it.
TEST(Invariants, ValuesOutsideTheirStatesAreCaught) {
    struct Case {
        const char* what;  // a piece of the checker's message
        std::function<void(Game&)> breakIt;
    };
    const Case cases[] = {
        {"craft3Destroyed", [](Game& g) { g.state.craft3Destroyed = "yes"; }},
        {"keyLeft", [](Game& g) { g.state.keyLeft = "left"; }},
        {"keyUp", [](Game& g) { g.state.keyUp = "UP"; }},
        {"keyRight", [](Game& g) { g.state.keyRight = "right"; }},
        {"bossApproach", [](Game& g) { g.state.bossApproach = "ne"; }},
        {"playerDestroyed", [](Game& g) { g.state.playerDestroyed = "Ano"; }},
        {"bossDirection", [](Game& g) { g.state.bossDirection = ""; }},
        {"shotIndex", [](Game& g) { g.state.shotIndex = -2; }},
        {"shotIndex", [](Game& g) { g.state.shotIndex = 12; }},
        {"craft2ExplosionStep", [](Game& g) { g.state.craft2ExplosionStep = -1; }},
        {"shipExplosionStep", [](Game& g) { g.state.shipExplosionStep = 1; }},  // no combat tick has run
        {"bannerGreen", [](Game& g) { g.state.bannerGreen = 10; }},              // Timer5 never ticked
        {"score", [](Game& g) { g.scene.score.Caption = "12abc"; }},
        {"enemycraft3", [](Game& g) { g.scene.enemycraft3.Left = std::numeric_limits<float>::infinity(); }},
        {"hvezda1(7)", [](Game& g) { g.scene.hvezda1[7].Top = std::numeric_limits<float>::quiet_NaN(); }},
        {"timers", [](Game& g) { g.scene.Timer3.Enabled = false; }},  // normal play without the enemy tick
        {"timers", [](Game& g) { g.scene.Timer5.Enabled = true; }},   // the banner fade before any end
        {"Timer4", [](Game& g) { g.scene.Timer4.Interval = 10; }},
        {"Timerboss", [](Game& g) { g.scene.Timerboss.Enabled = true; }},  // the boss tick with no approach
    };
    for (const Case& c : cases) {
        Fresh f;
        c.breakIt(f.g());
        const std::string got = f.check();
        EXPECT_NE(got.find(c.what), std::string::npos) << c.what << ": " << got;
    }
    Fresh f;  // once a shot was tried the index cannot go back to -1
    keyDownEvent(f.g(), 88, 0);
    ASSERT_EQ(f.check(), "");
    f.g().state.shotIndex = -1;
    EXPECT_NE(f.check().find("back to -1"), std::string::npos);
}

TEST(Invariants, ClearedOneWayFlagsAreCaught) {
    Fresh f;
    f.g().scene.score.Caption = "1001";
    rebase(f.g(), f.w);
    advance(f.g(), 20);
    ASSERT_EQ(f.g().state.bossApproach, "ano");
    ASSERT_EQ(f.check(), "");
    f.g().state.bossApproach.clear();
    EXPECT_NE(f.check().find("bossApproach"), std::string::npos);

    Fresh r;
    keyDownEvent(r.g(), 67, 0);
    ASSERT_EQ(r.check(), "");
    r.g().scene.life.Visible = true;
    EXPECT_NE(r.check().find("refill"), std::string::npos);
}

TEST(Invariants, AFallingScoreIsCaught) {
    Fresh f;
    f.g().scene.score.Caption = "24";
    rebase(f.g(), f.w);
    f.g().scene.score.Caption = "12";
    EXPECT_NE(f.check().find("score"), std::string::npos);
}

TEST(Invariants, APhaseGoingBackIsCaught) {
    Fresh f;
    f.g().state.bossApproach = "ano";
    rebase(f.g(), f.w);
    enable(f.g(), f.g().scene.Timerboss);
    disable(f.g(), f.g().scene.Timer3);
    ASSERT_EQ(f.check(), "");
    ASSERT_EQ(f.w.phase, Phase::Boss);
    disable(f.g(), f.g().scene.Timerboss);
    enable(f.g(), f.g().scene.Timer3);
    EXPECT_NE(f.check().find("phase went from boss phase to normal play"), std::string::npos);
}

// The one overlap of two phases the game allows: the shield runs out on the
// enemy tick that hands over to the boss, so the boss tick starts while the
// combat tick still plays the ship's explosion and then stops play.
TEST(Invariants, TheShipsEndDuringTheHandOverIsAllowed) {
    Sim sim;
    startSim(sim, SimOptions{4, {}});
    Watch w = watchFrom(sim.game);
    std::string failure;
    sim.game.onTick = [&](Game& g, TimerId id) {
        if (failure.empty()) failure = checkInvariants(g, w);
        countTick(w, id);
    };
    Game& g = sim.game;
    g.scene.score.Caption = "1001";
    rebase(g, w);
    advance(g, 2730);  // 136 approach steps: the boss at 2720, handed over at 2740
    ASSERT_EQ(g.scene.enemyboss.Top, 2720);
    ASSERT_FALSE(g.scene.Timerboss.Enabled);
    g.scene.energy.Top = 1930;  // lower edge 8305: past the limit of the enemy tick
    g.scene.Picture1.Left = -5000;  // out of reach of every shot and ram
    rebase(g, w);
    advance(g, 10);
    EXPECT_EQ(g.state.playerDestroyed, "ano");
    EXPECT_TRUE(g.scene.Timerboss.Enabled);
    advance(g, 80);  // the four combat ticks of the ship's explosion
    EXPECT_EQ(failure, "");
    EXPECT_EQ(phaseOf(g), Phase::EndedNormal);
    EXPECT_TRUE(g.scene.Timerboss.Enabled);
    EXPECT_TRUE(g.scene.Timer4.Enabled);
    EXPECT_FALSE(g.scene.Timer1.Enabled);
    EXPECT_EQ(checkInvariants(g, w), "");
}

}  // namespace
