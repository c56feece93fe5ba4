// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scene/game.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// A game whose timers all start off, with a log of the ticks the scheduler runs.
struct Clocked {
    Game g;
    std::vector<std::pair<int64_t, TimerId>> ticks;
    Clocked() {
        for (TimerId id : kTimerOrder) disable(g, timerOf(g.scene, id));
        g.onTick = [this](Game& game, TimerId id) { ticks.emplace_back(game.clock, id); };
    }
    std::vector<int64_t> timesOf(TimerId id) const {
        std::vector<int64_t> out;
        for (auto& [t, which] : ticks)
            if (which == id) out.push_back(t);
        return out;
    }
};

TEST(Timers, TheScenesRunningTimersStartAtTimeZero) {
    Game g;
    std::vector<std::pair<int64_t, TimerId>> ticks;
    g.onTick = [&](Game& game, TimerId id) { ticks.emplace_back(game.clock, id); };
    advance(g, 20);
    // Timer1 at 10 and 20, Timer3 and Timer4 at 20, after Timer1, in timer order.
    const std::vector<std::pair<int64_t, TimerId>> want{
        {10, TimerId::Timer1}, {20, TimerId::Timer1}, {20, TimerId::Timer3}, {20, TimerId::Timer4}};
    EXPECT_EQ(ticks, want);
    EXPECT_EQ(g.clock, 20);
}

TEST(Timers, RhythmKeepsToMultiplesOfTheIntervalWhateverTheSteps) {
    Clocked c;
    c.g.clock = 3;
    setInterval(c.g, c.g.scene.Timer5, 500);
    enable(c.g, c.g.scene.Timer5);  // from t = 3
    for (int i = 0; i < 1000; ++i) advance(c.g, 7);  // up to 7003
    const std::vector<int64_t> got = c.timesOf(TimerId::Timer5);
    ASSERT_EQ(got.size(), 14u);
    for (size_t k = 0; k < got.size(); ++k) EXPECT_EQ(got[k], 3 + 500 * static_cast<int64_t>(k + 1));
    EXPECT_EQ(c.g.clock, 7003);
}

TEST(Timers, EnablingARunningTimerKeepsItsRhythm) {
    // Timer5's tick never switches itself off, so it serves as a plain 500 ms timer here.
    Clocked c;
    setInterval(c.g, c.g.scene.Timer5, 500);
    enable(c.g, c.g.scene.Timer5);
    advance(c.g, 300);
    enable(c.g, c.g.scene.Timer5);  // no restart: still due at 500
    advance(c.g, 300);
    EXPECT_EQ(c.timesOf(TimerId::Timer5), std::vector<int64_t>{500});
    // Off and on again starts afresh from now.
    disable(c.g, c.g.scene.Timer5);
    enable(c.g, c.g.scene.Timer5);
    advance(c.g, 1000);
    EXPECT_EQ(c.timesOf(TimerId::Timer5), (std::vector<int64_t>{500, 1100, 1600}));
}

TEST(Timers, DisablingDropsATickDueAtTheSameInstant) {
    Clocked c;
    enable(c.g, c.g.scene.Timer1);
    enable(c.g, c.g.scene.Timer3);
    c.g.onTick = [&](Game& game, TimerId id) {
        c.ticks.emplace_back(game.clock, id);
        if (id == TimerId::Timer1 && game.clock == 40) disable(game, game.scene.Timer3);
    };
    advance(c.g, 100);
    // Timer3 was due at 40 too, after Timer1: that tick never runs.
    EXPECT_EQ(c.timesOf(TimerId::Timer3), (std::vector<int64_t>{20}));
    EXPECT_EQ(c.timesOf(TimerId::Timer1).size(), 10u);
}

TEST(Timers, ATimerEnabledDuringATickFirstTicksOneIntervalLater) {
    Clocked c;
    enable(c.g, c.g.scene.Timer3);
    c.g.onTick = [&](Game& game, TimerId id) {
        c.ticks.emplace_back(game.clock, id);
        // Timer1 comes earlier in the order, but is not due at this instant.
        if (id == TimerId::Timer3 && game.clock == 40) enable(game, game.scene.Timer1);
    };
    advance(c.g, 60);
    EXPECT_EQ(c.timesOf(TimerId::Timer1), (std::vector<int64_t>{50, 60}));
    EXPECT_EQ(c.timesOf(TimerId::Timer3), (std::vector<int64_t>{20, 40, 60}));
}

TEST(Timers, ZeroIntervalNeverTicksAndANewIntervalRestartsTheRhythm) {
    Clocked c;
    enable(c.g, c.g.scene.Timer5);
    setInterval(c.g, c.g.scene.Timer5, 0);
    advance(c.g, 1000);
    EXPECT_TRUE(c.ticks.empty());
    EXPECT_EQ(nextDueTime(c.g), kNever);
    setInterval(c.g, c.g.scene.Timer5, 300);
    advance(c.g, 700);
    EXPECT_EQ(c.timesOf(TimerId::Timer5), (std::vector<int64_t>{1300, 1600}));
}

TEST(Random, QueuedValuesComeFirstAndDrawsFloorInSinglePrecision) {
    Random r;
    int seeds = 0;
    r.seed = [&] { return static_cast<uint64_t>(++seeds); };
    r.queued = {0.5f, 0.99999994f, 0.0f, 0.99999994f, 16768827.0f / 16777216.0f};
    EXPECT_EQ(drawRandom(r, 8000), 4000);
    EXPECT_EQ(drawRandom(r, 8000), 7999);
    EXPECT_EQ(drawRandom(r, 5), 0);
    EXPECT_EQ(drawRandom(r, 5), 4);
    EXPECT_EQ(drawRandom(r, 8000), 7996);  // 7995.99981 rounds up in single precision
    EXPECT_EQ(seeds, 0);
    // Then every draw re-seeds first, and consecutive seeds give different values.
    const int a = drawRandom(r, 8000), b = drawRandom(r, 8000);
    EXPECT_EQ(seeds, 2);
    EXPECT_NE(a, b);
}

TEST(Random, GeneratedValuesStayBelowOne) {
    // The largest value the generator can make is 1 - 2^-24, whose product with
    // any column count still floors below N.
    float highest = 0;
    for (uint64_t s = 0; s < 200000; ++s) {
        const float r = uniformFromSeed(s * 0x9E3779B97F4A7C15ull);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        if (r > highest) highest = r;
    }
    EXPECT_GT(highest, 0.999f);
    Random r;
    r.queued = {highest};
    EXPECT_LT(drawRandom(r, 8000), 8000);
}

}  // namespace
