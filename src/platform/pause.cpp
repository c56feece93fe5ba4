// SPDX-License-Identifier: MIT
#include "platform/pause.h"

namespace platform {

void PauseClock::pause(int64_t nowNs) {
    if (paused_) return;
    paused_ = true;
    since_ = nowNs;
}

void PauseClock::resume(int64_t nowNs) {
    if (!paused_) return;
    paused_ = false;
    total_ += nowNs - since_;
}

}  // namespace platform
