// SPDX-License-Identifier: MIT
// The browser's frame-by-frame loop on a fake clock: whatever came due
// between two frames reaches the game in the order it came due.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/frame_loop.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

constexpr int64_t kMs = 1'000'000;

// A page: a clock that moves between frames, and events waiting with the
// time they arrived ("pause" and "resume" work the pause clock).
struct FakePage {
    Game g;
    int64_t now = 5 * kMs;
    std::deque<std::pair<int64_t, std::string>> events;
    std::vector<std::string> log;  // "NAME@CLOCK" for events, and the clock of each Timer1 tick
    platform::PauseClock pause;
    platform::LoopStats stats;
    platform::FrameLoop loop;

    FakePage() : loop(g, services(), [this] { return events.empty() ? kNever : events.front().first; }) {
        g.scene.Timer3.Enabled = g.scene.Timer4.Enabled = false;  // Timer1 alone: an instant every 10 ms
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
        s.present = [] { return true; };
        s.running = [] { return true; };
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
    // The key came after the tick at 20 and before the one at 30, though
    // both ran in the same frame.
    EXPECT_EQ(std::vector<std::string>(p.log.begin(), p.log.begin() + 5),
              (std::vector<std::string>{"10", "20", "key@20", "up@20", "30"}));
    EXPECT_EQ(p.g.clock, 1000);
    EXPECT_EQ(p.stats.presents, 60u);  // one a frame, after all that ran in it
}

TEST(FrameLoop, APauseHoldsTheTicksAndAStallRestartsTheRhythm) {
    FakePage p;
    p.events = {{103 * kMs, "pause"}, {603 * kMs, "resume"}};
    p.framesUntil(1005 * kMs + 1, 4 * kMs);
    EXPECT_EQ(p.g.clock, 500);  // a second less the half spent paused
    EXPECT_EQ(p.stats.rebases, 0u);

    // No frame for 350 ms (a tab in the background): one late tick, then the
    // rhythm goes on from it instead of racing through the missed ones.
    p.now += 350 * kMs;
    p.loop.frame(p.stats);
    EXPECT_EQ(p.g.clock, 510);
    EXPECT_EQ(p.stats.rebases, 1u);
    p.framesUntil(p.now + 100 * kMs, 4 * kMs);
    EXPECT_EQ(p.g.clock, 600);
}

}  // namespace
