// SPDX-License-Identifier: MIT
// Scripted play for the benchmarks: the same input every run, so the figures
// of two runs compare. Shared by the core and drawing benchmarks.
#pragma once

#include <cstdint>

#include "scene/game.h"

// A started game (null music player) whose random draws come from a fixed
// sequence.
hvezda::Game startedGame(uint64_t seed);

// The input of one 10 ms step at virtual time t (ms since the script began):
// a one-second pattern of Left, Right, Up and Down holds with an X press
// every 100 ms.
void scriptedInput(hvezda::Game& g, int64_t t);

enum class Keep {
    NormalPlay,  // shield full, score held under the boss threshold
    BossFight,   // both energies full
    Nothing,
};
// Once a virtual second, puts back what keeps a game in its phase.
void keepInPhase(hvezda::Game& g, Keep keep);

// Plays `ms` of scripted input in 10 ms steps from the game's own clock.
void playScripted(hvezda::Game& g, int64_t ms, Keep keep);

// A game in normal play, a few seconds in: craft falling, shots flying.
hvezda::Game normalPlay(uint64_t seed);
// A game just handed over to the boss.
hvezda::Game bossFight(uint64_t seed);
// A game whose boss fight has ended (the banner fading in).
hvezda::Game afterTheEnd(uint64_t seed);
