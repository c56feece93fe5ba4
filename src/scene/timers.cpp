// SPDX-License-Identifier: MIT
#include "scene/game.h"

namespace hvezda {

Timer& timerOf(Scene& s, TimerId id) {
    switch (id) {
        case TimerId::Timer1: return s.Timer1;
        case TimerId::Timer2: return s.Timer2;
        case TimerId::Timer3: return s.Timer3;
        case TimerId::Timer4: return s.Timer4;
        case TimerId::Timer5: return s.Timer5;
        case TimerId::Timerboss: break;
    }
    return s.Timerboss;
}

const char* timerName(TimerId id) {
    switch (id) {
        case TimerId::Timer1: return "Timer1";
        case TimerId::Timer2: return "Timer2";
        case TimerId::Timer3: return "Timer3";
        case TimerId::Timer4: return "Timer4";
        case TimerId::Timer5: return "Timer5";
        case TimerId::Timerboss: break;
    }
    return "Timerboss";
}

void setEnabled(Game& g, Timer& t, bool on) {
    if (on && !t.Enabled) t.nextDue = g.clock + t.Interval;
    t.Enabled = on;
}

void setInterval(Game& g, Timer& t, int intervalMs) {
    t.Interval = intervalMs;
    t.nextDue = g.clock + intervalMs;
}

}  // namespace hvezda
