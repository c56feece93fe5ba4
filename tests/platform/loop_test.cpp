// SPDX-License-Identifier: MIT
// The real-time loop and the browser's frame loop on fake clocks: ticks' grid, events, stalls, pauses, vsync.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/new_game.h"
#include "platform/frame_loop.h"
#include "platform/input.h"
#include "platform/loop.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

constexpr int64_t kMs = 1'000'000;
using Log = std::vector<std::string>;

// Time moves only when the loop waits (0.65 ms late), sleeps (0.06 ms late), yields (0.02 ms) or presents (0.3 ms).
struct FakeMachine {
    int64_t now = 7 * kMs, oversleep = 650'000, yieldCost = 20'000, sleepSlack = 60'000, drawCost = 300'000;
    struct Event { int64_t at; std::function<void()> run; std::string name; };
    std::deque<Event> events;
    Log log;                // ticks and events in the order they happened
    std::vector<int> waits;  // every timeout the loop slept with
    int64_t yieldedNs = 0;
    int sleeps = 0, presents = 0;
    std::function<void()> onPresent;  // e.g. a stall
    std::function<bool()> running = [] { return true; };
    struct Instant { int64_t virtualMs, deadline, started; };
    std::vector<Instant> instants;  // as the loop's probe reports them
};

platform::LoopServices servicesFor(FakeMachine& m) {
    platform::LoopServices s;
    s.nowNs = [&m] { return m.now; };
    s.handleEvent = [&m](int timeoutMs) {
        const int64_t wake = m.now + (timeoutMs > 0 ? timeoutMs * kMs + m.oversleep : 0);
        if (timeoutMs > 0) m.waits.push_back(timeoutMs);
        if (m.events.empty() || m.events.front().at > wake) return m.now = wake, platform::EventResult::None;
        FakeMachine::Event e = m.events.front();
        m.events.pop_front();
        m.now = std::max(m.now, e.at);
        m.log.push_back(e.name);
        e.run();
        return platform::EventResult::Handled;
    };
    s.sleepNs = [&m](int64_t ns) { m.now += ns + m.sleepSlack, ++m.sleeps; };
    s.yield = [&m] { m.now += m.yieldCost, m.yieldedNs += m.yieldCost; };
    s.present = [&m] {
        m.now += m.drawCost, ++m.presents;
        if (m.onPresent) m.onPresent();
        return true;
    };
    s.running = [&m] { return m.running(); };
    return s;
}

// Presents that cannot wait for a display refreshing every `refresh` ns (SDL's software renderer), noting each frame.
constexpr int64_t refresh = 16'666'667;
platform::LoopServices unwaitedPresents(FakeMachine& m, std::vector<int64_t>& frames, int64_t drawCost) {
    platform::LoopServices s = servicesFor(m);
    s.refreshNs = refresh;
    s.presentWaits = false;
    s.present = [&m, &frames, drawCost] { return frames.push_back(m.now), m.now += drawCost, true; };
    return s;
}

// A game with only Timer1 (10 ms) running, so instants are exactly 10 ms apart.
Game onlyTimer1() {
    Game g;
    g.scene.Timer3.Enabled = g.scene.Timer4.Enabled = false;
    return g;
}

platform::LoopStats run(Game& g, FakeMachine& m, platform::LoopServices s = {}) {
    if (!s.nowNs) s = servicesFor(m);
    platform::LoopProbe probe;
    probe.onInstant = [&m](int64_t v, int64_t d, int64_t st) { m.instants.push_back({v, d, st}); };
    platform::LoopStats stats;
    platform::runLoop(g, s, stats, probe);
    return stats;
}

TEST(Loop, TicksKeepTheirGridWithoutDriftAndSleepBetweenThem) {
    Game g = onlyTimer1();
    FakeMachine m;
    const int64_t start = m.now;
    m.running = [&] { return m.presents < 1000; };
    const platform::LoopStats stats = run(g, m);
    ASSERT_EQ(m.instants.size(), 1000u);
    for (size_t k = 0; k < m.instants.size(); ++k) {
        const FakeMachine::Instant& i = m.instants[k];
        EXPECT_EQ(i.virtualMs, static_cast<int64_t>(k + 1) * 10);
        EXPECT_EQ(i.deadline, start + i.virtualMs * kMs) << k;  // on the grid, however late each wake-up
        EXPECT_TRUE(i.started >= i.deadline && i.started - i.deadline < 1 * kMs) << k;
    }
    EXPECT_EQ(stats.presents, 1000u);  // a frame after every instant
    EXPECT_EQ(stats.rebases, 0u);
    // It slept through each interval, not spinning: one long wait a tick, well under 1 ms yielded.
    EXPECT_EQ(std::count_if(m.waits.begin(), m.waits.end(), [](int w) { return w >= 7; }), 1000);
    EXPECT_LE(m.sleeps, 1000);
    EXPECT_LT(m.yieldedNs, 1000 * 250'000);
}

// A 350 ms stall runs one late tick and the rhythm goes on from there; a 35 ms hiccup is caught up on the grid.
TEST(Loop, AStallRunsOneLateTickASmallDelayIsCaughtUp) {
    for (const int64_t delayMs : {350, 35}) {
        SCOPED_TRACE(delayMs);
        Game g = onlyTimer1();
        FakeMachine m;
        const int64_t start = m.now;
        m.onPresent = [&] { m.now += m.instants.size() == 50 && m.now < start + 1000 * kMs ? delayMs * kMs : 0; };
        m.running = [&] { return m.instants.size() < 60; };
        const platform::LoopStats stats = run(g, m);
        ASSERT_EQ(m.instants.size(), 60u);
        EXPECT_EQ(stats.rebases, delayMs == 350 ? 1u : 0u);
        if (delayMs == 35) {
            for (size_t k = 0; k < m.instants.size(); ++k)
                EXPECT_EQ(m.instants[k].deadline, start + static_cast<int64_t>(k + 1) * 10 * kMs) << k;
            continue;
        }
        // The 51st tick runs at once, late; the ticks it stands for are not replayed, nor are the next in a burst.
        const FakeMachine::Instant& late = m.instants[50];
        EXPECT_EQ(late.virtualMs, 510);
        EXPECT_GE(late.started - (start + 510 * kMs), 300 * kMs);
        EXPECT_EQ(late.deadline, late.started);
        for (size_t k = 51; k < m.instants.size(); ++k) {
            EXPECT_EQ(m.instants[k].deadline, late.deadline + static_cast<int64_t>(k - 50) * 10 * kMs) << k;
            EXPECT_LT(m.instants[k].started - m.instants[k].deadline, 1 * kMs) << k;
        }
    }
}

// Paused at pauseAtMs for lengthMs (0: never), to 1 s of play.
FakeMachine runPaused(double pauseAtMs, double lengthMs) {
    Game g;
    FakeMachine m;
    platform::InputRouter input(g, 1, {}, [&m] { return m.now; });
    auto at = [&](double ms, std::function<void()> run) {
        m.events.push_back({m.now + static_cast<int64_t>(ms * kMs), std::move(run), ""});
    };
    if (lengthMs > 0) {
        at(pauseAtMs, [&] { input.setPaused(true); });
        at(pauseAtMs + lengthMs, [&] { input.setPaused(false); });
    }
    m.running = [&] { return g.clock < 1000; };
    platform::LoopServices s = servicesFor(m);
    s.pause = &input.pause();
    run(g, m, s);
    return m;
}

// Every tick after a pause is the unpaused run's, 777 ms later.
TEST(Loop, APauseStopsTheVirtualClockAndShiftsTheRestByItsLength) {
    const FakeMachine plain = runPaused(0, 0), paused = runPaused(234.5, 777);
    ASSERT_EQ(paused.instants.size(), plain.instants.size());
    const int64_t pauseStart = 7 * kMs + 234'500'000, pauseEnd = pauseStart + 777 * kMs;
    for (size_t k = 0; k < plain.instants.size(); ++k) {
        const FakeMachine::Instant &a = plain.instants[k], &b = paused.instants[k];
        ASSERT_EQ(b.virtualMs, a.virtualMs) << k;
        EXPECT_EQ(b.deadline, a.deadline + (a.virtualMs > 234 ? 777 * kMs : 0)) << k;
        EXPECT_TRUE(b.started < pauseStart || b.started >= pauseEnd) << k;
        EXPECT_LT(b.started - b.deadline, 1 * kMs) << k;
    }
}

// Events reach the game between ticks, in arrival order; a new game's clock starts at 0 on a grid of its own.
TEST(Loop, EventsComeBetweenTicksInArrivalOrderAndANewGameStartsItsOwnRhythm) {
    Game g = onlyTimer1();
    FakeMachine m;
    const int64_t start = m.now, restart = start + 55'300'000;
    g.onTick = [&](Game& game, TimerId id) {
        if (id == TimerId::Timer1) m.log.push_back("tick " + std::to_string(game.clock));
    };
    bool begun = false;  // as the window's input tells the loop after F2
    const struct { double ms; const char* name; std::function<void()> run; } events[] = {
        {3.0, "right down", [&] { keyDownEvent(g, 39, 0); }}, {3.2, "x down", [&] { keyDownEvent(g, 88, 0); }},
        {14.9, "right up", [&] { keyUpEvent(g, 39, 0); }}, {25.0, "nothing", [] {}},
        {55.3, "new game", [&] { app::startNewGame(g), begun = true; }}};
    for (const auto& e : events) m.events.push_back({start + static_cast<int64_t>(e.ms * kMs), e.run, e.name});
    m.running = [&] { return m.instants.size() < 12; };
    platform::LoopServices s = servicesFor(m);
    s.newGame = [&] { return std::exchange(begun, false); };
    const platform::LoopStats stats = run(g, m, s);
    EXPECT_EQ(m.log, (Log{"right down", "x down", "tick 10", "right up", "tick 20", "nothing", "tick 30", "tick 40",
                          "tick 50", "new game", "tick 10", "tick 20", "tick 30", "tick 40", "tick 50", "tick 60", "tick 70"}));
    EXPECT_EQ(stats.events, 5u);
    EXPECT_EQ(stats.rebases, 0u);
    for (size_t k = 5; k < m.instants.size(); ++k)
        EXPECT_EQ(m.instants[k].deadline, restart + m.instants[k].virtualMs * kMs) << k;
}

// With vsync (60 Hz) frames go out at most one a refresh, never while a tick is due, and ticks keep their instants.
TEST(Loop, WithVsyncFramesFitBetweenTicksAndTicksKeepTheirInstants) {
    Game g;  // Timer1 every 10 ms, Timer3 and Timer4 every 20
    FakeMachine m;
    m.yieldCost = 23'000;  // so waking up lands a little past the moment aimed at, as it does
    std::vector<std::pair<int64_t, int64_t>> waits;  // each present's call and return
    platform::LoopServices s = servicesFor(m);
    s.refreshNs = refresh;
    s.present = [&] {
        waits.emplace_back(m.now, (m.now + m.drawCost + refresh - 1) / refresh * refresh);
        return m.now = waits.back().second, true;
    };
    m.running = [&] { return g.clock < 2000; };
    run(g, m, s);
    // The first frame goes before the refreshes' rhythm is known: the ticks from the one after it on are checked.
    ASSERT_TRUE(m.instants.size() == 200u && waits.size() > 1u) << m.instants.size();
    for (const FakeMachine::Instant& i : m.instants)
        EXPECT_TRUE(i.deadline <= waits[0].second || i.started - i.deadline < 1 * kMs) << i.virtualMs;
    for (size_t k = 1; k < waits.size(); ++k) {
        EXPECT_GE(waits[k].second - waits[k - 1].second, refresh) << k;
        for (const FakeMachine::Instant& i : m.instants)
            EXPECT_FALSE(i.deadline > waits[k].first && i.deadline < waits[k].second) << i.virtualMs;
    }
    EXPECT_GT(waits.size(), 2000 / 17 * 9 / 10);  // nearly every refresh gets a frame
}

// Where presents cannot wait, the loop paces the frames: each at a refresh of a steady rhythm, one a refresh at most.
TEST(Loop, FramesThatCannotWaitForTheDisplayAreGivenItsRhythm) {
    Game g;
    FakeMachine m;
    m.yieldCost = 23'000;  // waking up a little late, frame after frame
    std::vector<int64_t> frames;
    platform::LoopServices s = unwaitedPresents(m, frames, m.drawCost);
    m.running = [&] { return g.clock < 2000; };
    run(g, m, s);
    ASSERT_GT(frames.size(), 2000 / 17 * 95 / 100);  // hardly a refresh without its frame
    for (size_t k = 1; k < frames.size(); ++k) {
        const int64_t since = frames[k] - frames[0];
        EXPECT_LT(since % refresh, 1 * kMs) << k;                                 // at its refresh
        EXPECT_GT(since / refresh, (frames[k - 1] - frames[0]) / refresh) << k;  // one a refresh
    }
    for (const FakeMachine::Instant& i : m.instants) {
        EXPECT_LT(i.started - i.deadline, 1 * kMs) << i.virtualMs;
        const auto shown = std::lower_bound(frames.begin(), frames.end(), i.started);
        EXPECT_TRUE(shown == frames.end() || *shown - i.started <= refresh) << i.virtualMs;
    }
    // A replay paced the same way: a frame a refresh at most, on time.
    Game r;
    FakeMachine rm;
    std::vector<int64_t> replayed;
    platform::LoopServices rs = unwaitedPresents(rm, replayed, 0);
    platform::Pace pace;
    platform::LoopStats stats;
    ASSERT_TRUE(platform::paceTo(r, 1000, rs, pace, stats, {}));
    EXPECT_EQ(r.clock, 1000);
    EXPECT_LT(rm.now - 7 * kMs - 1000 * kMs, 1 * kMs);
    ASSERT_GE(replayed.size(), 1000u / 20);  // after every other instant, 10 ms apart
    for (size_t k = 1; k < replayed.size(); ++k) EXPECT_GE(replayed[k] - replayed[k - 1], refresh) << k;
}

// The browser's page: a clock that moves between frames, and events waiting with the time they arrived.
struct FakePage {
    Game g = onlyTimer1();  // an instant every 10 ms
    int64_t now = 5 * kMs;
    std::deque<std::pair<int64_t, std::string>> events;  // "pause" and "resume" work the pause clock
    Log log;  // "NAME@CLOCK" for events, and the clock of each Timer1 tick
    platform::PauseClock pause;
    platform::LoopStats stats;
    platform::FrameLoop loop;
    FakePage() : loop(g, services(), [this] { return events.empty() ? kNever : events.front().first; }) {
        g.onTick = [this](Game& game, TimerId) { log.push_back(std::to_string(game.clock)); };
    }
    platform::LoopServices services() {
        platform::LoopServices s;
        s.nowNs = [this] { return now; };
        s.handleEvent = [this](int) {
            const std::string name = events.front().second;
            events.pop_front();
            if (name == "pause") pause.pause(now);
            if (name == "resume") pause.resume(now);
            log.push_back(name + "@" + std::to_string(g.clock));
            return platform::EventResult::Handled;
        };
        s.present = s.running = [] { return true; };
        s.pause = &pause;
        return s;
    }
    void framesUntil(int64_t end, int64_t every) {
        for (; now < end; now += every) loop.frame(stats);
    }
};

TEST(FrameLoop, TicksAndEventsRunInTheOrderTheyCameDue) {
    FakePage p;
    p.events = {{28'500'000, "key"}, {29'000'000, "up"}};
    p.framesUntil(1010 * kMs, 16'666'667);  // a second of 60 Hz frames
    ASSERT_EQ(p.log.size(), 102u);
    // The key came after the tick at 20 and before the one at 30, though both ran in the same frame.
    EXPECT_EQ(Log(p.log.begin(), p.log.begin() + 5), (Log{"10", "20", "key@20", "up@20", "30"}));
    EXPECT_EQ(p.g.clock, 1000);
    EXPECT_EQ(p.stats.presents, 60u);  // one a frame, after all that ran in it
}

TEST(FrameLoop, APauseHoldsTheTicksAndAStallRestartsTheRhythm) {
    FakePage p;
    p.events = {{103 * kMs, "pause"}, {603 * kMs, "resume"}};
    p.framesUntil(1005 * kMs + 1, 4 * kMs);
    EXPECT_EQ(p.g.clock, 500);  // a second less the half spent paused
    EXPECT_EQ(p.stats.rebases, 0u);
    // No frame for 350 ms (a tab in the background): one late tick, then the rhythm goes on from it.
    p.now += 350 * kMs;
    p.loop.frame(p.stats);
    EXPECT_EQ(p.g.clock, 510);
    EXPECT_EQ(p.stats.rebases, 1u);
    p.framesUntil(p.now + 100 * kMs, 4 * kMs);
    EXPECT_EQ(p.g.clock, 600);
}

}  // namespace
