// SPDX-License-Identifier: MIT
#include "platform/clock_random.h"

#include <SDL_timer.h>

namespace platform {

std::function<uint64_t()> clockSeed() {
    return [calls = uint64_t{0}]() mutable {
        ++calls;
        return static_cast<uint64_t>(SDL_GetPerformanceCounter()) + calls * 0xD1B54A32D192ED03ull;
    };
}

}  // namespace platform
