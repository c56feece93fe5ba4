// SPDX-License-Identifier: MIT
// A game played in a window, wired once for every program that plays one
// (the desktop game, the browser page): the session, the recorder, the hall
// of fame and the player's comforts, in that order, and the loop's hook
// that lets the recorder and the hall see every instant.
#pragma once

#include <memory>
#include <string>

#include "app/hall.h"
#include "app/recorder.h"
#include "app/session.h"
#include "platform/loop.h"
#include "platform/settings.h"
#include "scene/game.h"

namespace app {

struct PlayOptions {
    SessionOptions session;
    platform::Settings settings;
    std::string recordFile;  // where the recording goes; empty: the state folder
    bool replay = false;     // a recording is watched: nothing is recorded or enters the hall
    SeedSource seeds = seedFromClock;  // each recorded game's luck
};

class PlayedGame {
public:
    // Opens the session and wires everything to it; on failure nothing stays
    // open, and `error` holds the one line to print.
    static std::unique_ptr<PlayedGame> open(const PlayOptions& options, std::string& error);
    PlayedGame(const PlayedGame&) = delete;
    PlayedGame& operator=(const PlayedGame&) = delete;

    hvezda::Game& game() { return game_; }
    Session& session() { return *session_; }
    HallKeeper& hall() { return hall_; }

    // Starts the recording and the game (Form_Load) and shows its first frame.
    void start();
    // The session's loop services, with the recorder and the hall hooked to
    // every instant; `more` as Session::loopServices takes it.
    platform::LoopServices loopServices(std::function<bool()> more = {});
    // The game is left: the hall takes it when it ended, the recording ends.
    void finish();
    // Closes the window and the music after finish(); the game's state stays
    // readable (a page keeps answering questions about it after EXIT).
    void closeSession() { session_.reset(); }

private:
    explicit PlayedGame(const PlayOptions& options);

    hvezda::Game game_;
    std::unique_ptr<Session> session_;
    Recorder recorder_;
    HallKeeper hall_;
    bool replay_;
};

}  // namespace app
