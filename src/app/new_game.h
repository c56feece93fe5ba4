// SPDX-License-Identifier: MIT
// A new game in the same window (F2, a gamepad's Back + Start): the one
// place where a game starts over.
#pragma once

#include "scene/game.h"

namespace app {

class HallKeeper;
class Recorder;

// Ends the game as EXIT does (the music stopped and released), only the
// windows stay; then a fresh scene and start-up again, exactly as a program
// started anew would begin: the music starts from the beginning, the
// virtual clock at 0. The host, the random source and the tick listener
// carry over.
// The recorder, when given, ends the old game's recording with its final
// state and starts the new game's; the hall, when given, takes the old game
// if it had ended.
void startNewGame(hvezda::Game& g, Recorder* recorder = nullptr, HallKeeper* hall = nullptr);

}  // namespace app
