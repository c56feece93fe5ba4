// SPDX-License-Identifier: MIT
#include "app/new_game.h"

#include <utility>

#include "app/hall.h"
#include "app/recorder.h"
#include "shell/shell.h"

using namespace hvezda;

namespace app {

void startNewGame(Game& g, Recorder* recorder, HallKeeper* hall) {
    if (hall) hall->gameLeft(g);
    if (recorder) recorder->finish(g);
    Host host = g.host;
    g.host.closeWindows = nullptr;
    Label4_Click(g);

    Game fresh;
    fresh.host = std::move(host);
    fresh.random.seed = std::move(g.random.seed);
    fresh.onTick = std::move(g.onTick);
    g = std::move(fresh);
    if (recorder) recorder->start(g);
    if (hall) hall->gameStarted();
    Form_Load(g);
}

}  // namespace app
