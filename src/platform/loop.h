// SPDX-License-Identifier: MIT
// The real-time loop: runs the game's timer ticks at the instants of its
// virtual clock, mapped onto a monotonic clock, and hands window events to
// the game between them. One thread; no SDL in here, so tests and probes can
// drive it with their own clock and events.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/pause.h"
#include "scene/game.h"
#include "shell/shell.h"

namespace platform {

enum class EventResult {
    None,     // no event came
    Ignored,  // an event came that concerns no handler of the game
    Handled,  // an event reached a handler: the scene may have changed
};

struct LoopServices {
    std::function<int64_t()> nowNs;  // monotonic, nanoseconds
    // Waits up to timeoutMs (0: does not wait) for the next window event and
    // hands it to the game.
    std::function<EventResult(int timeoutMs)> handleEvent;
    std::function<void(int64_t ns)> sleepNs;  // a short, precise sleep (no events); may be empty
    std::function<void()> yield;    // gives the processor away for a moment
    // Draws the scene and shows it; false when nothing needed showing (the
    // frame on screen already looked like that).
    std::function<bool()> present;
    std::function<bool()> running;  // false once the windows are closed
    // While it is paused no tick runs; afterwards the ticks keep their rhythm,
    // shifted by the time spent paused. May be null (never paused).
    const PauseClock* pause = nullptr;
    // Vsync: a present waits for the display's next refresh, refreshNs apart.
    // 0: presents do not wait, and every change is shown at once.
    int64_t refreshNs = 0;
    // With refreshNs: false when the renderer cannot wait for the display
    // (SDL's software renderer only sleeps in the present). The loop then
    // paces the frames itself, at most one a refresh on a steady rhythm, and
    // never blocks: each goes as soon as its refresh has come.
    bool presentWaits = true;
    // True once after each new game began (F2, a gamepad's Back + Start): its
    // clock starts over, and so does its rhythm. May be empty (never).
    std::function<bool()> newGame;
    // After each instant at which ticks ran: what watches the game as it is
    // played (its recorder, the hall of fame) looks here. May be empty.
    std::function<void()> afterInstant;
};

// Instruments for probes and benchmarks (timings), never for what the game
// needs; every entry may be left empty.
struct LoopProbe {
    // Each instant at which ticks ran: its virtual time, the real deadline it
    // was due at, and when it started (both on nowNs's clock).
    std::function<void(int64_t virtualMs, int64_t deadlineNs, int64_t startedNs)> onInstant;
    std::function<void(int64_t nowNs)> onPresent;
};

// When each instant of the game's virtual clock is due in real time: virtual
// time v at origin + the time spent paused + v / speed. Deadlines advance by
// whole intervals and never drift with the lateness of a tick. The one
// schedule of the window's loop, a replay's pace and the browser's frames.
class Rhythm {
public:
    explicit Rhythm(const PauseClock* pause = nullptr, double speed = 1) : pause_(pause), speed_(speed) {}
    // Virtual time `virtualMs` is due at real time `now`: at the start, for a
    // new game, after a stall, and while no timer runs (time stands).
    void restart(int64_t now, int64_t virtualMs) { originNs_ = now - pausedNs(now) - scaled(virtualMs); }
    // When `virtualMs` is due; kNever while paused or for kNever.
    int64_t dueAt(int64_t virtualMs, int64_t now) const {
        if (virtualMs == hvezda::kNever || paused()) return hvezda::kNever;
        return originNs_ + pausedNs(now) + scaled(virtualMs);
    }
    bool paused() const { return pause_ && pause_->paused(); }
    // An instant due at `deadline` starts at `now`. Later than `stallNs`
    // (window dragged, machine suspended) it counts as a stall: it runs once
    // and the rhythm goes on from now, as a desktop timer does, instead of
    // racing through every missed tick. The deadline the instant keeps.
    int64_t keepUp(int64_t virtualMs, int64_t deadline, int64_t now, int64_t stallNs, uint64_t& stalls) {
        if (now - deadline <= stallNs) return deadline;
        restart(now, virtualMs);
        ++stalls;
        return now;
    }

private:
    int64_t pausedNs(int64_t now) const { return pause_ ? pause_->pausedNs(now) : 0; }
    int64_t scaled(int64_t virtualMs) const {
        return speed_ == 1 ? virtualMs * 1'000'000
                           : static_cast<int64_t>(static_cast<double>(virtualMs) * 1'000'000 / speed_);
    }

    const PauseClock* pause_;
    double speed_;
    int64_t originNs_ = 0;  // the real time of virtual time 0, pauses left out
};

struct LoopStats {
    uint64_t instants = 0;  // instants at which ticks ran
    uint64_t presents = 0;
    uint64_t events = 0;    // events that reached a handler
    uint64_t rebases = 0;   // stalls after which the rhythm started again from now
};

struct LoopTuning {
    // Waiting for events wakes up to about 1.2 ms late, so that wait ends this
    // long before a deadline; a precise sleep follows up to spinNs before it,
    // and yielding covers the rest.
    int64_t earlyWakeNs = 1'500'000;
    int64_t spinNs = 200'000;
    // A tick later than this counts as a stall (window dragged, machine
    // suspended): it runs once and the rhythm goes on from then, as a desktop
    // timer does, instead of racing through every missed tick.
    int64_t stallNs = 100'000'000;
    // How long to wait for events when no timer is running.
    int idleWaitMs = 100;
    // Vsync: a frame is drawn this long (at least half as long) before the
    // refresh it is meant for,
    // and only when the present's wait for it ends this long before the next
    // tick is due (0: a tick due at the refresh itself runs right after it).
    // The first frame cannot know when the display refreshes; it goes at once.
    int64_t frameLeadNs = 2'000'000;
    int64_t frameMarginNs = 0;
};

// Runs until services.running() turns false. The virtual clock's current
// value (g.clock) is taken to be "now" when the loop starts, and again
// whenever services.newGame says the game was replaced by a new one.
//
// Without vsync a frame follows every tick instant and every event that
// reached the game. With vsync a present blocks until the display refreshes,
// so frames wait for a refresh that comes before the next tick is due and
// are drawn just before it: at most one a refresh, showing the latest tick
// instant, while the ticks keep their own instants. When presents do not
// wait (presentWaits false), frames go at the refreshes of the loop's own
// rhythm instead, each with the latest tick instant.
void runLoop(hvezda::Game& g, const LoopServices& services, LoopStats& stats, const LoopProbe& probe = {},
             const LoopTuning& tuning = {});

// Playing a recording back: the virtual clock runs at `speed` times real
// time from the first call on, through any number of calls.
struct Pace {
    double speed = 1;
    bool started = false;
    Rhythm rhythm;        // set at the first call, at this speed
    int64_t shownNs = 0;  // when a frame was last shown
};

// One wait towards real time `wake` (kNever: none is due): for events while
// there is time, at most `capMs` (onHandled runs after one reached the
// game), then a precise sleep, then a yield.
void waitTowards(const LoopServices& services, int64_t wake, int64_t now, int64_t capMs, const LoopTuning& tuning,
                 LoopStats& stats, const std::function<void()>& onHandled);

// Runs every tick due up to virtual time `until` at its real instant, waits
// for `until` itself and leaves the clock there, as advance does in the
// driver. Window events go to services.handleEvent meanwhile; while
// services.pause is paused the clock stands still. Presents that do not wait
// for the display come at most one a refresh. False as soon as
// services.running() turns false.
bool paceTo(hvezda::Game& g, int64_t until, const LoopServices& services, Pace& pace, LoopStats& stats,
            const LoopTuning& tuning = {});

}  // namespace platform
