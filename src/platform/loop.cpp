// SPDX-License-Identifier: MIT
#include "platform/loop.h"

#include <algorithm>

#include "shell/shell.h"

using namespace hvezda;

namespace plat {

namespace {
constexpr int64_t kNsPerMs = 1'000'000;

// Hands every event that has arrived to the game, in arrival order. True
// when one reached it.
bool handleArrived(const LoopServices& svc, LoopStats& stats) {
    bool handled = false;
    for (EventResult r; svc.running() && (r = svc.handleEvent(0)) != EventResult::None;) {
        if (r == EventResult::Handled) {
            ++stats.events;
            handled = true;
        }
    }
    return handled;
}

// The frames' own rhythm where presents do not wait for the display: the
// refresh a frame may go at, one refresh after the last one that went.
struct FramePacer {
    int64_t refreshNs = 0;
    int64_t next = -1;  // the first frame goes at once
    bool due(int64_t now) const { return now >= next; }
    // A frame went at `shownAt`: the next waits for the first refresh after it.
    void shown(int64_t shownAt) {
        if (next < 0) next = shownAt;
        next += std::max<int64_t>(1, (shownAt - next) / refreshNs + 1) * refreshNs;
    }
};
}  // namespace

void runLoop(Game& g, const LoopServices& svc, LoopStats& stats, const LoopProbe& probe, const LoopTuning& tuning) {
    const bool vsync = svc.refreshNs > 0;
    const bool paced = vsync && !svc.presentWaits;
    FramePacer pacer{svc.refreshNs};
    auto paused = [&] { return svc.pause && svc.pause->paused(); };
    auto pausedNs = [&](int64_t now) { return svc.pause ? svc.pause->pausedNs(now) : 0; };

    // Real time of virtual time 0, pauses left out. Deadlines are origin +
    // pauses + due * 1 ms, so they advance by whole intervals and never drift
    // with the lateness of a tick.
    int64_t now = svc.nowNs();
    int64_t origin = now - pausedNs(now) - g.clock * kNsPerMs;
    int64_t clockSeen = g.clock;
    auto restartRhythm = [&](int64_t at, int64_t virtualMs) { origin = at - pausedNs(at) - virtualMs * kNsPerMs; };

    bool framePending = false;
    int64_t lastRefresh = -1;  // when the last waiting present returned: a refresh of the display
    auto show = [&] {
        framePending = false;
        const int64_t begun = svc.nowNs();
        const bool shown = svc.present();
        ++stats.presents;
        const int64_t t = svc.nowNs();
        if (paced && shown) pacer.shown(begun);
        else if (vsync && shown) lastRefresh = t;
        if (probe.onPresent) probe.onPresent(t);
    };
    auto present = [&] {
        if (vsync)
            framePending = true;
        else
            show();
    };
    auto nextRefresh = [&](int64_t t) {
        if (lastRefresh < 0) return t;
        const int64_t k = std::max<int64_t>(1, (t - lastRefresh + svc.refreshNs - 1) / svc.refreshNs);
        return lastRefresh + k * svc.refreshNs;
    };
    // A new game starts its clock over: its rhythm starts when it does.
    auto newGameStarted = [&] {
        if (g.clock == clockSeen) return;
        restartRhythm(svc.nowNs(), g.clock);
        clockSeen = g.clock;
    };
    auto waitForEvent = [&](int timeoutMs) {
        if (svc.handleEvent(timeoutMs) == EventResult::Handled) {
            ++stats.events;
            newGameStarted();
            if (svc.running()) present();
        }
    };

    while (svc.running()) {
        // Events that have arrived; their changes are shown before anything
        // else happens.
        const bool handled = handleArrived(svc, stats);
        if (!svc.running()) break;
        newGameStarted();
        if (handled) present();

        now = svc.nowNs();
        const int64_t due = paused() ? kNever : nextDueTime(g);
        int64_t deadline = due == kNever ? kNever : origin + pausedNs(now) + due * kNsPerMs;
        if (deadline <= now) {
            if (now - deadline > tuning.stallNs) {
                restartRhythm(now, due);
                deadline = now;
                ++stats.rebases;
            }
            runInstant(g, due);
            clockSeen = g.clock;
            ++stats.instants;
            if (probe.onInstant) probe.onInstant(due, deadline, now);
            if (svc.running()) present();
            continue;
        }

        int64_t wake = deadline;
        if (framePending && paced) {
            if (pacer.due(now)) {
                show();
                continue;
            }
            wake = std::min(deadline, pacer.next);
        } else if (framePending) {
            // The first refresh that still leaves time to draw (half the
            // lead at least); taken only when the present's wait for it ends
            // before the next tick is due.
            const int64_t refresh = nextRefresh(now + tuning.frameLeadNs / 2);
            if (refresh + tuning.frameMarginNs <= deadline) {
                const int64_t at = refresh - tuning.frameLeadNs;
                if (now >= at) {
                    show();
                    continue;
                }
                wake = at;
            }
        }

        if (wake == kNever) {
            const bool noTimer = !paused();
            waitForEvent(tuning.idleWaitMs);
            // No timer ran meanwhile: virtual time stands where it is.
            if (noTimer) restartRhythm(svc.nowNs(), g.clock);
            continue;
        }
        const int64_t sleepMs = (wake - now - tuning.earlyWakeNs) / kNsPerMs;
        if (sleepMs >= 1)
            waitForEvent(static_cast<int>(sleepMs));
        else if (wake - now > tuning.spinNs && svc.sleepNs)
            svc.sleepNs(wake - now - tuning.spinNs);
        else
            svc.yield();
    }
}

bool paceTo(Game& g, int64_t until, const LoopServices& svc, Pace& pace, LoopStats& stats, const LoopTuning& tuning) {
    auto pausedNs = [&](int64_t now) { return svc.pause ? svc.pause->pausedNs(now) : 0; };
    auto paused = [&] { return svc.pause && svc.pause->paused(); };
    auto scaled = [&](int64_t virtualMs) {
        return static_cast<int64_t>(static_cast<double>(virtualMs) * kNsPerMs / pace.speed);
    };
    // When virtual time `v` is due in real time, pauses left out.
    auto realAt = [&](int64_t v, int64_t now) { return pace.originNs + pausedNs(now) + scaled(v); };
    auto present = [&] {
        svc.present();
        ++stats.presents;
        pace.shownNs = svc.nowNs();
    };
    // Where presents do not wait for the display, one a refresh at most.
    auto refreshed = [&](int64_t t) { return svc.presentWaits || t - pace.shownNs >= svc.refreshNs; };
    if (!pace.started) {
        const int64_t now = svc.nowNs();
        pace.originNs = now - pausedNs(now) - scaled(g.clock);
        pace.started = true;
    }
    while (svc.running()) {
        const bool handled = handleArrived(svc, stats);
        if (!svc.running()) break;
        if (handled) present();

        const int64_t now = svc.nowNs();
        const int64_t due = nextDueTime(g);
        const int64_t deadline = paused() ? kNever : realAt(std::min(due, until), now);
        if (deadline > now) {
            const int64_t sleepMs =
                std::min<int64_t>(tuning.idleWaitMs, (deadline - now - tuning.earlyWakeNs) / kNsPerMs);
            if (sleepMs >= 1) {
                if (svc.handleEvent(static_cast<int>(sleepMs)) == EventResult::Handled) {
                    ++stats.events;
                    if (svc.running()) present();
                }
            } else if (deadline - now > tuning.spinNs && svc.sleepNs) {
                svc.sleepNs(deadline - now - tuning.spinNs);
            } else {
                svc.yield();
            }
            continue;
        }
        if (now - deadline > tuning.stallNs) {  // a stall: go on from now
            pace.originNs += now - deadline;
            ++stats.rebases;
        }
        if (due > until) {
            g.clock = until;
            return true;
        }
        runInstant(g, due);
        ++stats.instants;
        // Faster than the screen can follow, frames are skipped (not ticks),
        // but one is still shown every 50 ms.
        const int64_t t = svc.nowNs();
        if ((t < realAt(std::min(nextDueTime(g), until), t) && refreshed(t)) || t - pace.shownNs > 50 * kNsPerMs)
            present();
    }
    return false;
}

}  // namespace plat
