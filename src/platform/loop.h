// The real-time loop: runs the game's timer ticks at the instants of its
// virtual clock, mapped onto a monotonic clock, and hands window events to
// the game between them. One thread; no SDL in here, so tests and probes can
// drive it with their own clock and events.
#pragma once

#include <cstdint>
#include <functional>

#include "scene/game.h"

namespace plat {

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
    std::function<void()> present;  // draws the scene and shows it
    std::function<bool()> running;  // false once the windows are closed
};

// Instruments for probes; every entry may be left empty.
struct LoopProbe {
    // Each instant at which ticks ran: its virtual time, the real deadline it
    // was due at, and when it started (both on nowNs's clock).
    std::function<void(int64_t virtualMs, int64_t deadlineNs, int64_t startedNs)> onInstant;
    std::function<void(int64_t nowNs)> onPresent;
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
};

// Runs until services.running() turns false. The virtual clock's current
// value (g.clock) is taken to be "now" when the loop starts.
void runLoop(hvezda::Game& g, const LoopServices& services, LoopStats& stats, const LoopProbe& probe = {},
             const LoopTuning& tuning = {});

}  // namespace plat
