// SPDX-License-Identifier: MIT
#include "platform/frame_loop.h"

#include <algorithm>

#include "shell/shell.h"

using namespace hvezda;

namespace platform {

bool FrameLoop::frame(LoopStats& stats, const LoopProbe& probe) {
    const int64_t now = svc_.nowNs();
    if (!started_) {
        rhythm_.restart(now, g_.clock);
        started_ = true;
    }
    bool happened = false;
    while (svc_.running()) {
        // A new game starts its clock over: its rhythm starts when it does.
        if (svc_.newGame && svc_.newGame()) rhythm_.restart(now, g_.clock);
        const int64_t due = nextDueTime(g_);
        int64_t deadline = rhythm_.dueAt(due, now);
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
            if (due == kNever && !rhythm_.paused()) rhythm_.restart(now, g_.clock);
            break;
        }
        deadline = rhythm_.keepUp(due, deadline, now, tuning_.stallNs, stats.rebases);
        runInstant(g_, due);
        ++stats.instants;
        if (probe.onInstant) probe.onInstant(due, deadline, now);
        if (svc_.afterInstant) svc_.afterInstant();
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

}  // namespace platform
