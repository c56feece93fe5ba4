// SPDX-License-Identifier: MIT
// One window session: everything the game needs around it on a desktop
// (the font renderer and the fonts, the game window and its drawing, the host
// services, the music backend), opened in one order and closed in the
// reverse one. The game and the timing probe both play through it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "musicplayer/modplug.h"
#include "platform/input.h"
#include "platform/loop.h"
#include "platform/window.h"
#include "scene/game.h"

namespace plat {
class FontCache;
class Frames;
}

namespace app {

struct SessionOptions {
    const char* program = "hvezda";  // names the program in error lines
    const char* music = "real";      // the music player by name (musicplayer/modplug.h)
    std::span<const PlayerChoice> players;  // the players this program has besides "null" and "recording"
    // Seeds the game's random draws; a seed from the clock when empty (the
    // recorder gives each game it records a seed of its own).
    std::function<uint64_t()> seed;
    plat::WindowOptions window;  // scale, fullscreen, vsync
    plat::InputOptions input;    // key bindings, pausing on focus loss, gamepad repeats
};

class Session {
public:
    // Opens everything for `game`, which must outlive the session. On failure
    // nothing stays open, and `error` holds the one line to print.
    static std::unique_ptr<Session> open(hvezda::Game& game, const SessionOptions& options, std::string& error);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // Shows the window, with whatever was last presented in it, and raises it.
    void show();
    // Draws and shows the scene unless nothing visible changed since the last
    // frame (`force` draws anyway). True when a frame was shown.
    bool present(bool force = false);
    // The real-time loop's services on this window: window events to the
    // game, frames shown as the game shows them (with vsync, as the display
    // refreshes), the pause, and running until EXIT or the desktop closes
    // the window, or until `more` (when given) says stop. In fullscreen the
    // mouse pointer hides after two seconds without motion.
    plat::LoopServices loopServices(std::function<bool()> more = {});

    const plat::GameWindow& window() const;
    plat::GameWindow& window();
    const plat::Frames& frames() const;
    plat::Frames& frames();
    plat::InputRouter& input();
    plat::FontCache& fonts();
    // False when the music player asked for is not in this build (the game
    // then plays silently).
    bool musicAsAsked() const;

private:
    struct Parts;
    explicit Session(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace app
