// SPDX-License-Identifier: MIT
#include "platform/clock_random.h"

#include <SDL_timer.h>

#include <atomic>
#include <chrono>

namespace plat {

namespace {
uint64_t mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
}  // namespace

uint64_t clockSeed() {
    static std::atomic<uint64_t> taken{0};
    const auto wall = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return mix(wall ^ mix(static_cast<uint64_t>(SDL_GetPerformanceCounter()) + ++taken * 0xD1B54A32D192ED03ull));
}

}  // namespace plat
