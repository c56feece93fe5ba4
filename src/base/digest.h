// SPDX-License-Identifier: MIT
// A 64-bit digest taken a word at a time: each word is multiplied in by an
// odd constant and folded, so every bit of it reaches the high bits and every
// bit of those the low ones.
#pragma once

#include <cstdint>

namespace base {

inline constexpr uint64_t kDigestBasis = 0xCBF29CE484222325ull;

inline void foldDigest(uint64_t& h, uint64_t word) {
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
}

}  // namespace base
