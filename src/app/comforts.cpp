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
#include "draw/snapshot.h"

using namespace hvezda;

namespace app {

void addComforts(Session& session, Game& game, const platform::Settings& settings, Recorder* recorder, HallKeeper* hall) {
    platform::InputRouter& input = session.input();
    session.frames().setOverlay([&session, hall, recorder] {
        // A daily flight says so while it lasts, in the panel beside the title.
        if (recorder && !recorder->seed().daily.empty())
            platform::drawDailyBadge(session.window().renderer, session.fonts(), recorder->seed().daily);
        if (hall && session.input().boardOpen())
            platform::drawHallOverlay(session.window().renderer, session.fonts(), hall->board());
        else if (session.input().pause().paused())
            platform::drawPauseOverlay(session.window().renderer, session.fonts());
    });
    // The music player carries over to a new game with the host.
    if (game.host.player) game.host.player->setVolume(settings.musicVolume);
    input.onPauseChanged = [&game](bool paused) {
        if (game.host.player) game.host.player->pauseOutput(paused);
    };
    input.onAction = [&session, &game, recorder, hall](platform::Action a) {
        switch (a) {
            case platform::Action::Fullscreen:
                platform::setFullscreen(session.window(), !platform::isFullscreen(session.window()));
                break;
            case platform::Action::NewGame: startNewGame(game, recorder, hall); break;
            case platform::Action::Hall:
                if (!hall || session.input().boardOpen()) break;
                hall->refresh();
                session.input().openBoard();
                break;
            case platform::Action::Screenshot: {
                std::string unused;
                const std::string said = draw::takeScreenshot(
                    game.scene, session.fonts(), platform::folder(platform::Folder::Pictures, false, unused), std::time(nullptr));
                std::fprintf(stderr, "hvezda: %s\n", said.c_str());
                break;
            }
        }
    };
}

}  // namespace app
