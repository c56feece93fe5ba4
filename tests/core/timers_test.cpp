// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "scene/game.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// A game, every timer off, logging the ticks the scheduler runs ("Timer1@10 ...");
// `during` runs inside each tick.
struct Clocked {
    Game g;
    std::string log;
    std::function<void(Game&, TimerId)> during;
    Clocked() {
        for (TimerId id : kTimerOrder) disable(g, timerOf(g.scene, id));
        g.onTick = [this](Game& game, TimerId id) {
            log += std::string(log.empty() ? "" : " ") + timerName(id) + "@" + std::to_string(game.clock);
            if (during) during(game, id);
        };
    }
    Timer& t5() { return g.scene.Timer5; }  // its tick never switches itself off: a plain timer here
};

TEST(Timers, RhythmKeepsToMultiplesOfTheIntervalWhateverTheSteps) {
    Clocked c;
    c.g.clock = 3;
    setInterval(c.g, c.t5(), 500);
    enable(c.g, c.t5());  // from t = 3
    for (int i = 0; i < 1000; ++i) advance(c.g, 7);  // up to 7003
    std::string want;
    for (int k = 1; k <= 14; ++k) want += std::string(k > 1 ? " " : "") + "Timer5@" + std::to_string(3 + 500 * k);
    EXPECT_EQ(c.log, want);
    EXPECT_EQ(c.g.clock, 7003);
}

TEST(Timers, EnablingARunningTimerKeepsItsRhythmOffAndOnOrANewIntervalStartsAfresh) {
    Clocked c;
    setInterval(c.g, c.t5(), 500);
    enable(c.g, c.t5());
    advance(c.g, 300);
    enable(c.g, c.t5());  // no restart: still due at 500
    advance(c.g, 300);
    disable(c.g, c.t5());
    enable(c.g, c.t5());  // from 600
    advance(c.g, 1000);
    EXPECT_EQ(c.log, "Timer5@500 Timer5@1100 Timer5@1600");
    setInterval(c.g, c.t5(), 0);  // never ticks
    advance(c.g, 1000);
    EXPECT_EQ(nextDueTime(c.g), kNever);
    setInterval(c.g, c.t5(), 300);  // from 2600
    advance(c.g, 700);
    EXPECT_EQ(c.log, "Timer5@500 Timer5@1100 Timer5@1600 Timer5@2900 Timer5@3200");
}

TEST(Timers, TicksDisabledOrEnabledDuringATick) {
    // Timer3 was due at 40 too, after Timer1: disabled by that tick, it never runs.
    Clocked off;
    enable(off.g, off.g.scene.Timer1);
    enable(off.g, off.g.scene.Timer3);
    off.during = [](Game& game, TimerId id) {
        if (id == TimerId::Timer1 && game.clock == 40) disable(game, game.scene.Timer3);
    };
    advance(off.g, 50);
    EXPECT_EQ(off.log, "Timer1@10 Timer1@20 Timer3@20 Timer1@30 Timer1@40 Timer1@50");
    // Timer1 comes earlier in the order, but enabled at 40 it first ticks at 50.
    Clocked on;
    enable(on.g, on.g.scene.Timer3);
    on.during = [](Game& game, TimerId id) {
        if (id == TimerId::Timer3 && game.clock == 40) enable(game, game.scene.Timer1);
    };
    advance(on.g, 60);
    EXPECT_EQ(on.log, "Timer3@20 Timer3@40 Timer1@50 Timer1@60 Timer3@60");
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

}  // namespace
