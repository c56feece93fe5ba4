// SPDX-License-Identifier: MIT
#include "scene/random.h"

#include <cmath>

namespace hvezda {

float uniformFromSeed(uint64_t seed) {
    // splitmix64: one step is a good hash of the seed.
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) / 16777216.0f;
}

int32_t drawRandom(Random& random, int32_t n) {
    float r;
    if (!random.queued.empty()) {
        r = random.queued.front();
        random.queued.pop_front();
    } else {
        r = uniformFromSeed(random.seed ? random.seed() : 0);
    }
    if (random.onDraw) random.onDraw(r);
    const float product = r * static_cast<float>(n);
    return static_cast<int32_t>(std::floor(product));
}

}  // namespace hvezda
