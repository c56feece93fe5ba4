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
    std::string failure;  // the first broken invariant a tick found
    Fresh() {
        startSim(sim, SimOptions{7, {}});
        w = watchFrom(sim.game);
        sim.game.onTick = [this](Game& g, TimerId id) {
            if (failure.empty()) failure = checkInvariants(g, w);
            countTick(w, id);
        };
    }
    Game& g() { return sim.game; }
    std::string check() { return checkInvariants(sim.game, w); }
};

// A fresh game, a step the game may take (checked), then one broken value:
// the checker must name it.
TEST(Invariants, EachBrokenRuleIsNamed) {
    using Step = std::function<void(Game&)>;
    const Step none = [](Game&) {};
    struct Case {
        const char* what;  // a piece of the checker's message
        Step before, breakIt;
    };
    const Case cases[] = {
        {"craft3Destroyed", none, [](Game& g) { g.state.craft3Destroyed = "yes"; }},
        {"keyLeft", none, [](Game& g) { g.state.keyLeft = "left"; }},
        {"keyUp", none, [](Game& g) { g.state.keyUp = "UP"; }},
        {"keyRight", none, [](Game& g) { g.state.keyRight = "right"; }},
        {"bossApproach", none, [](Game& g) { g.state.bossApproach = "ne"; }},
        {"playerDestroyed", none, [](Game& g) { g.state.playerDestroyed = "Ano"; }},
        {"bossDirection", none, [](Game& g) { g.state.bossDirection = ""; }},
        {"shotIndex", none, [](Game& g) { g.state.shotIndex = -2; }},
        {"shotIndex", none, [](Game& g) { g.state.shotIndex = 12; }},
        {"craft2ExplosionStep", none, [](Game& g) { g.state.craft2ExplosionStep = -1; }},
        {"shipExplosionStep", none, [](Game& g) { g.state.shipExplosionStep = 1; }},  // no combat tick has run
        {"bannerGreen", none, [](Game& g) { g.state.bannerGreen = 10; }},              // Timer5 never ticked
        {"score", none, [](Game& g) { g.scene.score.Caption = "12abc"; }},
        {"enemycraft3", none, [](Game& g) { g.scene.enemycraft3.Left = std::numeric_limits<float>::infinity(); }},
        {"hvezda1(7)", none, [](Game& g) { g.scene.hvezda1[7].Top = std::numeric_limits<float>::quiet_NaN(); }},
        {"timers", none, [](Game& g) { g.scene.Timer3.Enabled = false; }},  // normal play without the enemy tick
        {"timers", none, [](Game& g) { g.scene.Timer5.Enabled = true; }},   // the banner fade before any end
        {"Timer4", none, [](Game& g) { g.scene.Timer4.Interval = 10; }},
        {"Timerboss", none, [](Game& g) { g.scene.Timerboss.Enabled = true; }},  // the boss tick with no approach
        // One-way values going back.
        {"back to -1", [](Game& g) { keyDownEvent(g, 88, 0); }, [](Game& g) { g.state.shotIndex = -1; }},
        {"refill", [](Game& g) { keyDownEvent(g, 67, 0); }, [](Game& g) { g.scene.life.Visible = true; }},
        {"score fell", [](Game& g) { g.scene.score.Caption = "24"; }, [](Game& g) { g.scene.score.Caption = "12"; }},
        {"bossApproach was cleared", [](Game& g) { g.state.bossApproach = "ano"; },
         [](Game& g) { g.state.bossApproach.clear(); }},
        {"phase went from boss phase to normal play",
         [](Game& g) {
             g.state.bossApproach = "ano";
             enable(g, g.scene.Timerboss);
             disable(g, g.scene.Timer3);
         },
         [](Game& g) {
             disable(g, g.scene.Timerboss);
             enable(g, g.scene.Timer3);
         }},
    };
    for (const Case& c : cases) {
        Fresh f;
        c.before(f.g());
        ASSERT_EQ(f.check(), "") << c.what;
        c.breakIt(f.g());
        const std::string got = f.check();
        EXPECT_NE(got.find(c.what), std::string::npos) << c.what << ": " << got;
    }
}

// The one overlap of two phases the game allows: the shield runs out on the
// enemy tick that hands over to the boss, so the boss tick starts while the
// combat tick still plays the ship's explosion and then stops play.
TEST(Invariants, TheShipsEndDuringTheHandOverIsAllowed) {
    Fresh f;
    Game& g = f.g();
    g.scene.score.Caption = "1001";
    rebase(g, f.w);
    advance(g, 2730);  // 136 approach steps: the boss at 2720, handed over at 2740
    ASSERT_EQ(g.scene.enemyboss.Top, 2720);
    ASSERT_FALSE(g.scene.Timerboss.Enabled);
    g.scene.energy.Top = 1930;      // lower edge 8305: past the limit of the enemy tick
    g.scene.Picture1.Left = -5000;  // out of reach of every shot and ram
    rebase(g, f.w);
    advance(g, 10);
    EXPECT_EQ(g.state.playerDestroyed, "ano");
    EXPECT_TRUE(g.scene.Timerboss.Enabled);
    advance(g, 80);  // the four combat ticks of the ship's explosion
    EXPECT_EQ(f.failure, "");
    EXPECT_EQ(phaseOf(g), Phase::EndedNormal);
    EXPECT_TRUE(g.scene.Timerboss.Enabled && g.scene.Timer4.Enabled);
    EXPECT_FALSE(g.scene.Timer1.Enabled);
    EXPECT_EQ(f.check(), "");
}

}  // namespace
