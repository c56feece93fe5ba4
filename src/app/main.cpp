// SPDX-License-Identifier: MIT
// hvezda: the game in its window.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/comforts.h"
#include "app/session.h"
#include "shell/shell.h"

using namespace hvezda;

int main(int argc, char** argv) {
    app::GameOptions asked;
    if (const std::optional<int> status = app::readGameCommandLine(argc, argv, asked)) return *status;

    // A settings file never keeps the game from starting: what cannot be
    // read is said, and its default used.
    const std::string settingsFile = plat::settingsPath();
    std::vector<std::string> problems;
    const plat::Settings settings = app::settingsFor(asked, settingsFile, problems);
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    if (asked.writeSettings) {
        if (const std::string why = plat::writeSettings(settings, settingsFile); !why.empty()) {
            std::fprintf(stderr, "hvezda: %s\n", why.c_str());
            return 1;
        }
        std::printf("hvezda: settings written to %s\n", settingsFile.c_str());
        return 0;
    }

    Game game;
    app::SessionOptions options;
    options.window = {settings.scale, settings.fullscreen, settings.vsync};
    options.input = plat::inputOptions(settings);
    std::string why;
    auto session = app::Session::open(game, options, why);
    if (!session) {
        std::fprintf(stderr, "hvezda: %s\n", why.c_str());
        return 1;
    }
    app::addComforts(*session, game, settings);
    Form_Load(game);
    session->present();
    session->show();
    // Runs until EXIT (or the desktop) closes the window; EXIT has released
    // the music by then.
    plat::LoopStats stats;
    plat::runLoop(game, session->loopServices(), stats);
    return 0;
}
