#include "platform/loop.h"

#include "shell/shell.h"

using namespace hvezda;

namespace plat {

namespace {
constexpr int64_t kNsPerMs = 1'000'000;
}

void runLoop(Game& g, const LoopServices& svc, LoopStats& stats, const LoopProbe& probe, const LoopTuning& tuning) {
    // Real time of virtual time 0. Deadlines are origin + due * 1 ms, so they
    // advance by whole intervals and never drift with the lateness of a tick.
    int64_t origin = svc.nowNs() - g.clock * kNsPerMs;
    auto present = [&] {
        svc.present();
        ++stats.presents;
        if (probe.onPresent) probe.onPresent(svc.nowNs());
    };

    while (svc.running()) {
        // Events that have arrived, in arrival order; each one's changes are
        // shown before anything else happens.
        bool handled = false;
        for (EventResult r; svc.running() && (r = svc.handleEvent(0)) != EventResult::None;) {
            if (r == EventResult::Handled) {
                ++stats.events;
                handled = true;
            }
        }
        if (!svc.running()) break;
        if (handled) present();

        const int64_t due = nextDueTime(g);
        if (due == kNever) {
            if (svc.handleEvent(tuning.idleWaitMs) == EventResult::Handled) {
                ++stats.events;
                if (svc.running()) present();
            }
            // Nothing ran meanwhile: virtual time stands where it is.
            origin = svc.nowNs() - g.clock * kNsPerMs;
            continue;
        }

        int64_t deadline = origin + due * kNsPerMs;
        const int64_t now = svc.nowNs();
        if (now < deadline) {
            const int64_t sleepMs = (deadline - now - tuning.earlyWakeNs) / kNsPerMs;
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
        if (now - deadline > tuning.stallNs) {
            origin = now - due * kNsPerMs;
            deadline = now;
            ++stats.rebases;
        }
        runInstant(g, due);
        ++stats.instants;
        if (probe.onInstant) probe.onInstant(due, deadline, now);
        if (svc.running()) present();
    }
}

}  // namespace plat
