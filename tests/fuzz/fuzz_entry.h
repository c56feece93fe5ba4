// SPDX-License-Identifier: MIT
// Entry points shared by the libFuzzer targets and the corpus replay: each
// takes arbitrary bytes and aborts (so the fuzzer keeps the input) when the
// game or the driver misbehaves.
#pragma once

#include <cstddef>
#include <cstdint>

// The bytes as a driver script, through runSimScript. One input plays at
// most kScriptBudgetMs of virtual time: the first tick past it ends the run.
inline constexpr int64_t kScriptBudgetMs = 20000;
void fuzzScript(const uint8_t* data, size_t size);

// The bytes as a recording, through checkRecording and playRecording with the
// play time limited to kScriptBudgetMs.
void fuzzRecording(const uint8_t* data, size_t size);

// The bytes as a body sent to the hall of fame's server, through the
// server's own judge: refused with a reason or judged to an ended game with
// an identity, never a crash. (Only where the server is built.)
void fuzzHall(const uint8_t* data, size_t size);

// The bytes as events for the core's key handlers, three bytes each: an
// operation byte and a 16-bit key code (little-endian). Operations, by the
// byte's low three bits: 0-1 key down, 2-3 key up (the upper bits give the
// shift state), 4 advance (code % 512 ms), 5 queue a random draw (code / 65536),
// 6 a nudge (code % 4: score to 1001, shield hit, boss hit, info-panel click),
// 7 a short X press. The game's invariants are checked after every tick and
// event; at the end EXIT must stop the music and close everything. Returns how
// the game had ended before EXIT: "winner", "game_over_in_normal_play",
// "game_over_in_the_boss_phase" or "no_end".
const char* fuzzKeys(const uint8_t* data, size_t size);
