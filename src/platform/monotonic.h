// SPDX-License-Identifier: MIT
// The real clock every timing of the platform reads.
#pragma once

#include <cstdint>

namespace platform {

// Nanoseconds on SDL's monotonic performance counter.
int64_t monotonicNs();

}  // namespace platform
