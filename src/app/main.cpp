// hvezda: the game in its window.
#include <cstdio>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/session.h"
#include "shell/shell.h"

using namespace hvezda;

int main(int argc, char** argv) {
    if (const std::optional<int> status = app::readGameCommandLine(argc, argv)) return *status;
    Game game;
    std::string why;
    auto session = app::Session::open(game, app::SessionOptions{}, why);
    if (!session) {
        std::fprintf(stderr, "hvezda: %s\n", why.c_str());
        return 1;
    }
    Form_Load(game);
    session->present();
    session->show();
    // Runs until EXIT (or the desktop) closes the window; EXIT has released
    // the music by then.
    plat::LoopStats stats;
    plat::runLoop(game, session->loopServices(), stats);
    return 0;
}
