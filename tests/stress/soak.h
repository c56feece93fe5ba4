// SPDX-License-Identifier: MIT
// The soak run: whole games on the virtual clock, driven through the driver's
// script lines with random keys (every 16-bit code, mostly the game's own),
// random holds, queued random draws and clicks, with the invariants checked
// after every tick and every line. A few writes nudge a game towards the end
// it aims at, so that every end is reached often.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stress/invariants.h"

enum class Aim {
    Free,            // random play only
    GameOverNormal,  // the shield is worn down before the score gets far
    GameOverBoss,    // the score is pushed to the boss, then the shield is worn down
    Winner,          // the score is pushed to the boss, the shield kept up, the boss worn down
    EarlyExit,       // EXIT at a random moment of play
};
const char* aimName(Aim a);

enum class Ending { None, GameOverNormal, GameOverBoss, Winner };
const char* endingName(Ending e);

struct SoakGameResult {
    std::string failure;  // empty when every check held
    std::vector<std::string> script;  // every line run, replayable with hvezda-sim --seed SEED
    Ending ending = Ending::None;
    bool exited = false;
    int64_t virtualMs = 0;
    uint64_t ticks = 0;
    uint64_t keyEvents = 0;
};

// Plays one game with the driver seeded by `seed`, for at most maxMs of
// virtual time before the end (and a little past it), then clicks EXIT.
SoakGameResult soakGame(uint64_t seed, Aim aim, int64_t maxMs);

// Runs a recorded script with the same checks; used to replay a failure.
SoakGameResult replayWithChecks(uint64_t seed, const std::vector<std::string>& script);
