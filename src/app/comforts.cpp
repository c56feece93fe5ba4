// SPDX-License-Identifier: MIT
#include "app/comforts.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "app/hall.h"
#include "app/new_game.h"
#include "app/recorder.h"
#include "musicplayer/modplug.h"
#include "platform/folders.h"
#include "platform/frames.h"
#include "platform/daily_badge.h"
#include "platform/hall_overlay.h"
#include "platform/pause_overlay.h"
#include "platform/snapshot.h"

using namespace hvezda;

namespace app {

plat::Settings settingsFor(const GameOptions& options, const std::string& file, std::vector<std::string>& problems) {
    plat::Settings s = plat::loadSettings(file, problems);
    if (options.fullscreen) s.fullscreen = true;
    if (options.scale >= 0) s.scale = options.scale;
    return s;
}

void addComforts(Session& session, Game& game, const plat::Settings& settings, Recorder* recorder, HallKeeper* hall) {
    plat::InputRouter& input = session.input();
    session.frames().setOverlay([&session, hall, recorder] {
        // A daily flight says so while it lasts, in the panel beside the title.
        if (recorder && !recorder->seed().daily.empty())
            plat::drawDailyBadge(session.window().renderer, session.fonts(), recorder->seed().daily);
        if (hall && session.input().boardOpen())
            plat::drawHallOverlay(session.window().renderer, session.fonts(), hall->board());
        else if (session.input().pause().paused())
            plat::drawPauseOverlay(session.window().renderer, session.fonts());
    });
    // The music player carries over to a new game with the host.
    if (game.host.player) game.host.player->setVolume(settings.musicVolume);
    input.onPauseChanged = [&game](bool paused) {
        if (game.host.player) game.host.player->pauseOutput(paused);
    };
    input.onAction = [&session, &game, recorder, hall](plat::Action a) {
        switch (a) {
            case plat::Action::Fullscreen:
                plat::setFullscreen(session.window(), !plat::isFullscreen(session.window()));
                break;
            case plat::Action::NewGame: startNewGame(game, recorder, hall); break;
            case plat::Action::Hall:
                if (!hall || session.input().boardOpen()) break;
                hall->refresh();
                session.input().openBoard();
                break;
            case plat::Action::Screenshot: {
                std::string unused;
                const std::string said = plat::takeScreenshot(
                    game.scene, session.fonts(), plat::folder(plat::Folder::Pictures, false, unused), std::time(nullptr));
                std::fprintf(stderr, "hvezda: %s\n", said.c_str());
                break;
            }
        }
    };
}

}  // namespace app
