// The real-time loop's services on SDL: the performance counter, waiting for
// events with SDL_WaitEventTimeout, yielding with SDL_Delay(0).
#pragma once

#include <functional>

#include "platform/input.h"
#include "platform/loop.h"

namespace plat {

LoopServices sdlLoopServices(InputRouter& input, std::function<void()> present, std::function<bool()> running);

// Nanoseconds on SDL's monotonic performance counter.
int64_t monotonicNs();

}  // namespace plat
