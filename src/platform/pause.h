// SPDX-License-Identifier: MIT
// Pausing is the virtual clock standing still: while paused no tick runs,
// and afterwards every timer keeps its rhythm as if the pause had not been
// (a tick due 4 ms after the pause began is due 4 ms after it ends). The
// loop shifts its deadlines by the real time spent paused. No SDL in here.
#pragma once

#include <cstdint>

namespace platform {

class PauseClock {
public:
    bool paused() const { return paused_; }
    // Each does nothing when the clock already is in that state.
    void pause(int64_t nowNs);
    void resume(int64_t nowNs);
    // Real time spent paused so far, the pause under way included.
    int64_t pausedNs(int64_t nowNs) const { return total_ + (paused_ ? nowNs - since_ : 0); }

private:
    bool paused_ = false;
    int64_t since_ = 0;
    int64_t total_ = 0;
};

}  // namespace platform
