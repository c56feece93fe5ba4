// SPDX-License-Identifier: MIT
#include "platform/frame_loop.h"

#include <algorithm>

#include "shell/shell.h"

using namespace hvezda;

namespace plat {

namespace {
constexpr int64_t kNsPerMs = 1'000'000;
}

void FrameLoop::restartRhythm(int64_t at, int64_t virtualMs) {
    const int64_t paused = svc_.pause ? svc_.pause->pausedNs(at) : 0;
    origin_ = at - paused - virtualMs * kNsPerMs;
    clockSeen_ = g_.clock;
}

bool FrameLoop::frame(LoopStats& stats, const LoopProbe& probe) {
    const int64_t now = svc_.nowNs();
    if (!started_) {
        restartRhythm(now, g_.clock);
        started_ = true;
    }
    bool happened = false;
    while (svc_.running()) {
        // A new game starts its clock over: its rhythm starts when it does.
        if (g_.clock != clockSeen_) restartRhythm(now, g_.clock);
        const bool paused = svc_.pause && svc_.pause->paused();
        const int64_t due = paused ? kNever : nextDueTime(g_);
        int64_t deadline = due == kNever ? kNever : origin_ + (svc_.pause ? svc_.pause->pausedNs(now) : 0) +
                                                        due * kNsPerMs;
        const int64_t eventAt = nextEventNs_();
        if (eventAt <= std::min(deadline, now)) {
            const EventResult r = svc_.handleEvent(0);
            if (r == EventResult::None) break;  // it was not there after all
            if (r == EventResult::Handled) ++stats.events;
            happened = true;
            continue;
        }
        if (deadline > now) {
            // No timer is running: virtual time stands where it is.
            if (due == kNever && !paused) restartRhythm(now, g_.clock);
            break;
        }
        if (now - deadline > tuning_.stallNs) {
            restartRhythm(now, due);
            deadline = now;
            ++stats.rebases;
        }
        runInstant(g_, due);
        clockSeen_ = g_.clock;
        ++stats.instants;
        if (probe.onInstant) probe.onInstant(due, deadline, now);
        happened = true;
    }
    if (!svc_.running()) return false;
    if (happened) {
        svc_.present();
        ++stats.presents;
        if (probe.onPresent) probe.onPresent(svc_.nowNs());
    }
    return true;
}

}  // namespace plat
