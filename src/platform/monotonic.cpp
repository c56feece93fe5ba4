// SPDX-License-Identifier: MIT
#include "platform/monotonic.h"

#include <SDL.h>

namespace platform {

int64_t monotonicNs() {
    static const Uint64 freq = SDL_GetPerformanceFrequency();
    const Uint64 t = SDL_GetPerformanceCounter();
    // Split to keep the multiplication from overflowing on slow counters.
    return static_cast<int64_t>((t / freq) * 1'000'000'000ull + (t % freq) * 1'000'000'000ull / freq);
}

}  // namespace platform
