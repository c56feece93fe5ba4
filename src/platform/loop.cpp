// SPDX-License-Identifier: MIT
#include "platform/loop.h"

#include <algorithm>

#include "shell/shell.h"

using namespace hvezda;

namespace platform {

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

void waitTowards(const LoopServices& svc, int64_t wake, int64_t now, int64_t capMs, const LoopTuning& tuning,
                 LoopStats& stats, const std::function<void()>& onHandled) {
    const int64_t sleepMs =
        wake == kNever ? capMs : std::min(capMs, (wake - now - tuning.earlyWakeNs) / kNsPerMs);
    if (sleepMs >= 1) {
        if (svc.handleEvent(static_cast<int>(sleepMs)) == EventResult::Handled) {
            ++stats.events;
            if (onHandled) onHandled();
        }
    } else if (wake - now > tuning.spinNs && svc.sleepNs) {
        svc.sleepNs(wake - now - tuning.spinNs);
    } else {
        svc.yield();
    }
}

void runLoop(Game& g, const LoopServices& svc, LoopStats& stats, const LoopProbe& probe, const LoopTuning& tuning) {
    const bool vsync = svc.refreshNs > 0;
    const bool paced = vsync && !svc.presentWaits;
    FramePacer pacer{svc.refreshNs};
    Rhythm rhythm(svc.pause);
    rhythm.restart(svc.nowNs(), g.clock);

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
        if (svc.newGame && svc.newGame()) rhythm.restart(svc.nowNs(), g.clock);
    };
    auto afterEvent = [&] {
        newGameStarted();
        if (svc.running()) present();
    };

    while (svc.running()) {
        // Events that have arrived; their changes are shown before anything
        // else happens.
        const bool handled = handleArrived(svc, stats);
        if (!svc.running()) break;
        newGameStarted();
        if (handled) present();

        const int64_t now = svc.nowNs();
        const int64_t due = nextDueTime(g);
        int64_t deadline = rhythm.dueAt(due, now);
        if (deadline <= now) {
            deadline = rhythm.keepUp(due, deadline, now, tuning.stallNs, stats.rebases);
            runInstant(g, due);
            ++stats.instants;
            if (probe.onInstant) probe.onInstant(due, deadline, now);
            if (svc.afterInstant) svc.afterInstant();
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
            const bool noTimer = !rhythm.paused();
            waitTowards(svc, wake, now, tuning.idleWaitMs, tuning, stats, afterEvent);
            // No timer ran meanwhile: virtual time stands where it is.
            if (noTimer) rhythm.restart(svc.nowNs(), g.clock);
            continue;
        }
        waitTowards(svc, wake, now, kNever, tuning, stats, afterEvent);
    }
}

bool paceTo(Game& g, int64_t until, const LoopServices& svc, Pace& pace, LoopStats& stats, const LoopTuning& tuning) {
    auto present = [&] {
        svc.present();
        ++stats.presents;
        pace.shownNs = svc.nowNs();
    };
    // Where presents do not wait for the display, one a refresh at most.
    auto refreshed = [&](int64_t t) { return svc.presentWaits || t - pace.shownNs >= svc.refreshNs; };
    if (!pace.started) {
        pace.rhythm = Rhythm(svc.pause, pace.speed);
        pace.rhythm.restart(svc.nowNs(), g.clock);
        pace.started = true;
    }
    Rhythm& rhythm = pace.rhythm;
    while (svc.running()) {
        const bool handled = handleArrived(svc, stats);
        if (!svc.running()) break;
        if (handled) present();

        const int64_t now = svc.nowNs();
        const int64_t due = nextDueTime(g);
        const int64_t deadline = rhythm.dueAt(std::min(due, until), now);
        if (deadline > now) {
            waitTowards(svc, deadline, now, tuning.idleWaitMs, tuning, stats, [&] {
                if (svc.running()) present();
            });
            continue;
        }
        rhythm.keepUp(std::min(due, until), deadline, now, tuning.stallNs, stats.rebases);
        if (due > until) {
            g.clock = until;
            return true;
        }
        runInstant(g, due);
        ++stats.instants;
        // Faster than the screen can follow, frames are skipped (not ticks),
        // but one is still shown every 50 ms.
        const int64_t t = svc.nowNs();
        if ((t < rhythm.dueAt(std::min(nextDueTime(g), until), t) && refreshed(t)) || t - pace.shownNs > 50 * kNsPerMs)
            present();
    }
    return false;
}

}  // namespace platform
