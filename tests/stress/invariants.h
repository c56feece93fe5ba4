// SPDX-License-Identifier: MIT
// What must hold between any two handlers of a running game, whatever keys
// were pressed and whatever the random draws gave. The soak run and the fuzz
// targets call checkInvariants after every tick and every event.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "scene/game.h"

// Where a game stands, read from the timers and the few flags that only the
// phase changes write.
enum class Phase {
    Normal,      // Timer1, Timer3, Timer4 (+Timer2); the approach included
    Boss,        // Timer1, Timer4, Timerboss (+Timer2)
    EndedNormal, // the ship was destroyed by Timer4: Timer4 (+Timer2) run on
    EndedBoss,   // either energy ran out in the boss fight: Timerboss and Timer5 run on
    Closed,      // EXIT was clicked: nothing runs
};
const char* phaseName(Phase p);
Phase phaseOf(const hvezda::Game& g);

// What a game has already been through, so that a value going back can be
// caught. Start one with watchFrom(game) and keep it beside the game.
struct Watch {
    std::array<uint64_t, 6> ticks{};  // ticks run per timer, in kTimerOrder
    // The counters and tick counts when the watch last took the game's values
    // as given (watchFrom, rebase): counters may only grow by one a tick from there.
    std::array<uint64_t, 6> baseTicks{};
    hvezda::Counter baseBannerGreen = 0, baseBossStep = 0, basePlayerStep = 0, baseShipStep = 0;
    int64_t clock = 0;
    double score = 0;
    bool approach = false;
    bool destroyed = false;
    bool refillSpent = false;
    bool fired = false;  // X has been pressed while keys reached the game
    hvezda::Counter bossExplosionStep = 0;
    hvezda::Counter playerExplosionStep = 0;
    hvezda::Counter shipExplosionStep = 0;
    Phase phase = Phase::Normal;
};
Watch watchFrom(const hvezda::Game& g);

// Call from Game::onTick (before the tick's handler runs), after checking the
// state the previous handler left: the tick counts that bannerGreen and the
// explosion counters are held against must only include ticks that have run.
void countTick(Watch& w, hvezda::TimerId id);

// Returns an empty text when every invariant holds, otherwise what broke
// (the first broken one found), and updates the watch to the game's state.
std::string checkInvariants(hvezda::Game& g, Watch& w);

// A script may write values the game itself never would (a score, a bar's
// height); after such a write the watch takes the new values as its baseline.
void rebase(const hvezda::Game& g, Watch& w);
