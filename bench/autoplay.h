// SPDX-License-Identifier: MIT
// The one scripted player, for the benchmarks, the timing probe and the
// tests that need a game played: the same input every run, so the figures of
// two runs compare and a test sees the same game.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "scene/game.h"

// A started game (no music) whose random draws come from a fixed sequence.
hvezda::Game startedGame(uint64_t seed);

// The keys of one 10 ms step at virtual time t (ms since the script began),
// each a press (true) or a release of the game's key code: a one-second
// pattern of Left, Right, Up and Down holds with an X press every 100 ms.
std::vector<std::pair<bool, int>> scriptedKeys(int64_t t);

// What the player is after, besides the script's keys.
enum class Aim {
    NormalPlay,  // shield full, score held under the boss threshold
    ShieldLow,   // as NormalPlay, the shield low enough for the warning to blink
    BossFight,   // both energies full
    Win,         // the boss fight won: under the boss, above its shots, firing
    Lose,        // the boss fight lost: under the boss, among its shots
    Nothing,
};

// Puts back what keeps the game in the phase `aim` is about.
void keepInPhase(hvezda::Game& g, Aim aim);

// One 10 ms step of play at virtual time t: the keys, and once a second
// whatever keeps the game in its phase. Win and Lose fly the script's keys
// until the boss comes (the score is put past its threshold at 1.5 s), then
// follow the boss, the losing side's energy held near its end.
void playStep(hvezda::Game& g, Aim aim, int64_t t);

// Plays `ms` of it in 10 ms steps from the game's own clock.
void playScripted(hvezda::Game& g, int64_t ms, Aim aim);

// A game in normal play, a few seconds in: craft falling, shots flying.
hvezda::Game normalPlay(uint64_t seed);
// A game just handed over to the boss.
hvezda::Game bossFight(uint64_t seed);
// A game whose boss fight has ended (the banner fading in).
hvezda::Game afterTheEnd(uint64_t seed);
