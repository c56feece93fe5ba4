// SPDX-License-Identifier: MIT
// The real-time loop's services on SDL: the performance counter (monotonic.h), waiting for
// events with SDL_WaitEventTimeout, yielding with SDL_Delay(0).
#pragma once

#include <functional>

#include "platform/input.h"
#include "platform/loop.h"

namespace platform {

// `housekeeping`, if given, runs at every look for events (the pointer's
// hiding). The router's pause is the loop's; its gamepad repeats are sent
// on time while the loop waits.
LoopServices sdlLoopServices(InputRouter& input, std::function<bool()> present, std::function<bool()> running,
                             std::function<void()> housekeeping = {});

}  // namespace platform
