// SPDX-License-Identifier: MIT
// Fuzz entries, shared by the libFuzzer targets and the corpus replay: each takes
// arbitrary bytes and aborts (so the fuzzer keeps the input) when the game or driver misbehaves.
#pragma once

#include <cstddef>
#include <cstdint>

// Virtual play time one script or recording input may run; the first tick past it ends the run.
inline constexpr int64_t kScriptBudgetMs = 20000;
// The bytes as a driver script (runSimScript).
void fuzzScript(const uint8_t* data, size_t size);
// The bytes as a recording (checkRecording, then playRecording).
void fuzzRecording(const uint8_t* data, size_t size);
// The bytes as a body sent to the hall of fame's judge: refused with a reason or an ended game with
// its identity, never a crash. (Only where the server is built.)
void fuzzHall(const uint8_t* data, size_t size);
// The bytes as events for the core's key handlers, three bytes each: an operation byte and a 16-bit
// little-endian code. Operation by the low three bits: 0-1 key down, 2-3 key up (upper bits: shift),
// 4 advance code % 512 ms, 5 queue a draw code / 65536, 6 a nudge by code % 4 (score to 1001, shield
// hit, boss hit, info-panel click), 7 a short X press. The game's invariants hold after every tick and
// event, and EXIT stops the music and closes everything. Returns how the game ended before EXIT:
// "winner", "game_over_in_normal_play", "game_over_in_the_boss_phase" or "no_end".
const char* fuzzKeys(const uint8_t* data, size_t size);
