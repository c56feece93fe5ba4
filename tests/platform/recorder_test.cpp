// SPDX-License-Identifier: MIT
// The recorder against the driver: what it writes replays to the tick.
#include <gtest/gtest.h>

#include <fstream>

#include "app/recorder.h"
#include "player/player.h"
#include "shell/shell.h"
#include "record/replay.h"
#include "scratch.h"
#include "sim/script.h"

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

using Kind = platform::DeliveredEvent::Kind;

// A game played as the window's loop plays it: an instant's ticks, then the events before the next.
struct Played {
    Game game;
    app::Recorder recorder;
    explicit Played(const std::string& path) : recorder(path, {}, [] { return GameSeed{99, {}}; }) {
        recorder.start(game);
        Form_Load(game);
    }
    void until(int64_t t) {
        for (int64_t due = nextDueTime(game); due <= t; due = nextDueTime(game)) {
            runInstant(game, due);
            recorder.onInstant(game);
        }
    }
    void event(const platform::DeliveredEvent& e) {
        recorder.before(game, e);
        const bool reached = e.kind == Kind::KeyDown ? keyDownEvent(game, e.code, e.shift)
                             : e.kind == Kind::KeyUp ? keyUpEvent(game, e.code, e.shift)
                                                     : clickLabel(game, e.label);
        recorder.after(game, e, reached);
    }
};

Verdict verifyFile(const std::string& path) {
    Sim sim;
    startSim(sim, {});
    std::ifstream in(path, std::ios::binary);
    return verifyRecording(sim.game, in);
}

TEST(Recorder, AGameReplaysToTheTickAndACrashLosesAtMostASecond) {
    const std::string path = freshFolder("recorder") + "/game.sim";
    Played p(path);
    // Flying, firing, a refill and a click; craft come back in random columns, so values are drawn between events.
    for (int64_t t = 0; t < 30000; t += 10) {
        p.until(t);
        const int second = static_cast<int>(t / 1000);
        if (t % 1000 == 0) p.event({Kind::KeyDown, second % 2 ? keys::left : keys::right, second % 3});
        if (t % 1000 == 630) p.event({Kind::KeyUp, second % 2 ? keys::left : keys::right});
        if (t % 140 == 0 && t < 20000) p.event({Kind::KeyDown, keys::x});
        if (t == 7000) p.event({Kind::KeyDown, keys::c});
        if (t == 9100) p.event({Kind::Click, 0, 0, platform::PanelLabel::Controls});
    }
    // Twenty-nine seconds without events are on the disk, whatever comes next.
    p.until(58500);
    Verdict cut = verifyFile(path);
    EXPECT_EQ(cut.status, Verdict::Cut) << cut.message;
    EXPECT_NE(cut.message.find("replayed 58"), std::string::npos) << cut.message;

    p.until(61005);
    p.event({Kind::Click, 0, 0, platform::PanelLabel::Exit});
    EXPECT_FALSE(p.recorder.recording());
    Verdict v = verifyFile(path);
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.seed, 99u);  // the one seed given
    EXPECT_NE(v.message.find("11 expectations and 61 checkpoints held after 61000 ms"), std::string::npos) << v.message;
    // The game ignores the shift state, so only the file shows it kept.
    const std::string written = readFile(path);
    EXPECT_NE(written.find("\nkeydown 39 2\n"), std::string::npos);
    EXPECT_NE(written.find("\nformat 3 hvezda "), std::string::npos);
}

TEST(Recorder, AFullDiskStopsTheRecordingNotTheGame) {
    testing::internal::CaptureStderr();
    Played p("/dev/full");
    p.until(1500);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(p.recorder.recording());
    EXPECT_EQ(said, "hvezda: recording stopped, cannot write /dev/full: No space left on device\n");
    p.until(3000);
    EXPECT_EQ(p.game.clock, 3000);
}

}  // namespace
