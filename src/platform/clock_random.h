// SPDX-License-Identifier: MIT
// The game's random draws are seeded from the clock.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// A seed source for Game::random: the high-resolution performance counter,
// mixed with a count of the calls so two draws in the same instant differ.
std::function<uint64_t()> clockSeed();

}  // namespace platform
