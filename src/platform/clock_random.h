// SPDX-License-Identifier: MIT
// A new game's seed, taken from the clock.
#pragma once

#include <cstdint>

namespace plat {

// 64 bits from the wall clock (nanoseconds since 1970) and the
// high-resolution performance counter, hashed; two seeds taken in the same
// instant still differ.
uint64_t clockSeed();

}  // namespace plat
