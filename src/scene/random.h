// SPDX-License-Identifier: MIT
// Random draws. Every draw re-seeds the generator from a seed source (the game
// uses a high-resolution clock, the driver its virtual clock) and takes one
// single-precision r in [0, 1); the result is floor(r * n). Values queued by a
// test or a script are used first, in order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

namespace hvezda {

struct Random {
    std::deque<float> queued;
    std::function<uint64_t()> seed;  // called before each draw the queue does not answer
    std::function<void(float r)> onDraw;  // told of every r drawn (recorders listen here); may be empty
};

// r in [0, 1) from a seed: 24 random bits over 2^24, so it can never round up to 1.
float uniformFromSeed(uint64_t seed);

// floor(r * n) with the product in single precision.
int32_t drawRandom(Random& random, int32_t n);

}  // namespace hvezda
