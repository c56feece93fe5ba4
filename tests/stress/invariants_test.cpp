// The checker must catch what it claims to catch, or the soak run proves nothing.
#include <gtest/gtest.h>

#include <sstream>

#include "shell/shell.h"
#include "sim/script.h"
#include "stress/soak.h"

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

TEST(Invariants, AFreshGameAndOrdinaryPlayPass) {
    Fresh f;
    EXPECT_EQ(f.check(), "");
    EXPECT_EQ(phaseOf(f.g()), Phase::Normal);
    keyDownEvent(f.g(), 88, 0);
    keyDownEvent(f.g(), 37, 0);
    advance(f.g(), 1000);
    keyUpEvent(f.g(), 37, 0);
    EXPECT_EQ(f.check(), "");
}

TEST(Invariants, FlagsOutsideTheirStatesAreCaught) {
    const std::vector<std::pair<std::string GameState::*, std::string>> bad{
        {&GameState::craft3Destroyed, "yes"}, {&GameState::keyLeft, "left"},   {&GameState::keyUp, "UP"},
        {&GameState::keyDown, "x"},           {&GameState::keyRight, "right"}, {&GameState::bossApproach, "ne"},
        {&GameState::playerDestroyed, "Ano"}, {&GameState::bossDirection, ""}};
    for (const auto& [field, value] : bad) {
        Fresh f;
        f.g().state.*field = value;
        EXPECT_NE(f.check(), "") << "value '" << value << "' passed";
    }
}

TEST(Invariants, ShotIndexOutsideTheRingIsCaught) {
    for (int32_t v : {-2, 12, 1000}) {
        Fresh f;
        f.g().state.shotIndex = v;
        EXPECT_NE(f.check().find("shotIndex"), std::string::npos) << v;
    }
    Fresh f;
    keyDownEvent(f.g(), 88, 0);
    ASSERT_EQ(f.check(), "");
    f.g().state.shotIndex = -1;
    EXPECT_NE(f.check().find("back to -1"), std::string::npos);
}

TEST(Invariants, ANegativeOrBackwardCounterIsCaught) {
    Fresh f;
    f.g().state.craft2ExplosionStep = -1;
    EXPECT_NE(f.check().find("craft2ExplosionStep"), std::string::npos);

    Fresh h;
    h.g().state.shipExplosionStep = 1;  // with no combat tick run yet
    EXPECT_NE(h.check().find("shipExplosionStep"), std::string::npos);

    Fresh k;
    k.g().state.bannerGreen = 10;  // Timer5 has never ticked
    EXPECT_NE(k.check().find("bannerGreen"), std::string::npos);
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

TEST(Invariants, AFallingOrBrokenScoreIsCaught) {
    Fresh f;
    f.g().scene.score.Caption = "24";
    rebase(f.g(), f.w);
    f.g().scene.score.Caption = "12";
    EXPECT_NE(f.check().find("score"), std::string::npos);
    Fresh b;
    b.g().scene.score.Caption = "12abc";
    EXPECT_NE(b.check().find("score"), std::string::npos);
}

TEST(Invariants, ANonFinitePositionIsCaught) {
    Fresh f;
    f.g().scene.enemycraft3.Left = std::numeric_limits<float>::infinity();
    EXPECT_NE(f.check().find("enemycraft3"), std::string::npos);
    Fresh n;
    n.g().scene.hvezda1[7].Top = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(n.check().find("hvezda1(7)"), std::string::npos);
}

TEST(Invariants, TimerCombinationsOutsideThePhasesAreCaught) {
    {
        Fresh f;  // normal play without the enemy tick
        f.g().scene.Timer3.Enabled = false;
        EXPECT_NE(f.check().find("timers"), std::string::npos);
    }
    {
        Fresh f;  // the boss tick in normal play, with no approach
        f.g().scene.Timerboss.Enabled = true;
        EXPECT_NE(f.check(), "");
    }
    {
        Fresh f;  // the banner fade before any end
        f.g().scene.Timer5.Enabled = true;
        EXPECT_NE(f.check().find("timers"), std::string::npos);
    }
    {
        Fresh f;  // a boss-phase end that left the combat tick running
        f.g().scene.Label3.Visible = true;
        f.g().state.bossExplosionStep = 0;
        disable(f.g(), f.g().scene.Timer1);
        disable(f.g(), f.g().scene.Timer3);
        enable(f.g(), f.g().scene.Timer5);
        enable(f.g(), f.g().scene.Timerboss);
        EXPECT_NE(f.check().find("timers"), std::string::npos);
    }
    {
        Fresh f;  // a timer whose interval was changed
        f.g().scene.Timer4.Interval = 10;
        EXPECT_NE(f.check().find("Timer4"), std::string::npos);
    }
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

TEST(Invariants, ExitClosesEverything) {
    Fresh f;
    Label4_Click(f.g());
    EXPECT_EQ(f.check(), "");
    EXPECT_EQ(phaseOf(f.g()), Phase::Closed);
    enable(f.g(), f.g().scene.Timer1);
    EXPECT_NE(f.check().find("closed"), std::string::npos);
}

// The nudges must bring each aimed-at end about, or the soak run misses phases.
TEST(Soak, EachAimReachesItsEndWithEveryCheckHolding) {
    const std::pair<Aim, Ending> aims[] = {{Aim::GameOverNormal, Ending::GameOverNormal},
                                           {Aim::GameOverBoss, Ending::GameOverBoss},
                                           {Aim::Winner, Ending::Winner}};
    for (const auto& [aim, want] : aims) {
        for (uint64_t seed : {11u, 12u}) {
            const SoakGameResult r = soakGame(seed, aim, 6 * 60000);
            EXPECT_EQ(r.failure, "") << aimName(aim) << " seed " << seed;
            EXPECT_EQ(r.ending, want) << aimName(aim) << " seed " << seed << " ended: " << endingName(r.ending);
            EXPECT_TRUE(r.exited);
            EXPECT_GT(r.ticks, 1000u);
        }
    }
}

TEST(Soak, AnEarlyExitStopsEveryTimer) {
    const SoakGameResult r = soakGame(5, Aim::EarlyExit, 6 * 60000);
    EXPECT_EQ(r.failure, "");
    EXPECT_TRUE(r.exited);
    ASSERT_FALSE(r.script.empty());
    EXPECT_EQ(r.script.back(), "click Label4");
}

TEST(Soak, AReplayedScriptGivesTheSameGame) {
    const SoakGameResult first = soakGame(21, Aim::GameOverBoss, 6 * 60000);
    ASSERT_EQ(first.failure, "");
    const SoakGameResult again = replayWithChecks(21, first.script);
    EXPECT_EQ(again.failure, "");
    EXPECT_EQ(again.ending, first.ending);
    EXPECT_EQ(again.virtualMs, first.virtualMs);
    EXPECT_EQ(again.ticks, first.ticks);
}

TEST(Soak, AReplayCatchesAWriteThatBreaksTheGame) {
    const std::vector<std::string> script{"advance 100", "set state.keyLeft left", "advance 10"};
    const SoakGameResult r = replayWithChecks(3, script);
    EXPECT_NE(r.failure.find("keyLeft"), std::string::npos) << r.failure;
}

}  // namespace

namespace {

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
