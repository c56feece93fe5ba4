// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace record {

// The driver's own generator: seeded by --seed, re-seeded from the virtual
// clock before every draw (and the draw's number, so two draws in one tick
// differ). The game in a browser page draws the same with ?seed=N.
inline uint64_t driverSeed(uint64_t seed, int64_t clock, uint64_t draw) {
    return seed * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(clock) * 0xC2B2AE3D27D4EB4Full ^
           draw * 0x165667B19E3779F9ull;
}

}  // namespace record
