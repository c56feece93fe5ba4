// SPDX-License-Identifier: MIT
// Where a game's luck comes from. A game played in the window draws all of
// its luck from one 64-bit seed through the stream below, so its recording
// names the seed and nothing else; the daily flight's seed is computed from
// the date alone. docs/driver.md describes the stream for other languages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rec {

// The driver's own generator: seeded by --seed, re-seeded from the virtual
// clock before every draw (and the draw's number, so two draws in one tick
// differ). It answers the draws of a script that has no seed line.
inline uint64_t driverSeed(uint64_t seed, int64_t clock, uint64_t draw) {
    return seed * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(clock) * 0xC2B2AE3D27D4EB4Full ^
           draw * 0x165667B19E3779F9ull;
}

// The stream's step: added to the seed once per draw (2^64 over the golden ratio).
inline constexpr uint64_t kStreamStep = 0x9E3779B97F4A7C15ull;

// The stream's hash of one 64-bit word (the splitmix64 finaliser).
uint64_t streamMix(uint64_t z);

// The stream's draw number `index` (from 0) of `seed`: the top 24 bits of
// streamMix(seed + (index + 1) * kStreamStep), over 2^24, so 0 <= R < 1.
float streamValue(uint64_t seed, uint64_t index);

// A seed source for hvezda::Random that draws the stream of `seed` from its
// draw 0 on: one number per draw the queue does not answer.
std::function<uint64_t()> seedStream(uint64_t seed);

// The seed of the daily flight of a date (UTC), from the date alone:
// streamMix(YYYYMMDD as a decimal number + kDailyTag).
inline constexpr uint64_t kDailyTag = 0x6876657A64615F64ull;  // "hvezda_d" in ASCII
uint64_t dailySeed(int year, int month, int day);

// YYYY-MM-DD of a real calendar date (year 0001 to 9999), exactly ten characters.
bool parseDate(const std::string& text, int& year, int& month, int& day);
std::string formatDate(int year, int month, int day);
// Today's date in UTC, as parseDate reads it.
std::string todayUtc();
// The seed of a date as YYYY-MM-DD; false when it is no date.
bool dailySeedOf(const std::string& date, uint64_t& seed);

// What one game's luck is: its seed, and the date of its daily flight
// (empty when it is not one).
struct GameSeed {
    uint64_t seed = 0;
    std::string daily;
};

}  // namespace rec
