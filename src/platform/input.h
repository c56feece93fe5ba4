// SPDX-License-Identifier: MIT
// Window events to the game: keys with their virtual-key codes, clicks on
// the panel's labels, and the desktop closing the window. Around the game:
// gamepads, the pause, and the platform's own keys.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/clicks.h"
#include "platform/game_keys.h"
#include "platform/gamepad.h"
#include "platform/pause.h"
#include "platform/settings.h"
#include "scene/game.h"

union SDL_Event;

namespace plat {

struct InputOptions {
    KeyBindings keys;
    bool pauseOnFocusLoss = true;
    RepeatRate padRepeat;
};
InputOptions inputOptions(const Settings& s);

// Keys the platform keeps for itself (the game never sees them), handed to
// whoever owns the window. The pause is the router's own business.
enum class Action { Fullscreen, NewGame, Screenshot };

class InputRouter {
public:
    // nowNs: the clock the pause and the gamepads' repeats go by (the
    // monotonic clock when empty).
    InputRouter(hvezda::Game& g, uint32_t gameWindowId, const InputOptions& options = {},
                std::function<int64_t()> nowNs = {});

    // Hands one event to the game, or to the platform. True when something
    // may look different (a handler ran, the pause changed).
    bool handle(const SDL_Event& e);
    // Sends a gamepad's repeat that is due; true when one went to the game.
    bool repeat();
    int64_t nextRepeatNs() const { return pads_.nextRepeatNs(); }

    // True once after the desktop asked for the window to be drawn again
    // (uncovered, shown, resized) or the pause came or went.
    bool takeRedrawRequest() {
        const bool r = redraw_;
        redraw_ = false;
        return r;
    }

    const PauseClock& pause() const { return pause_; }
    void setPaused(bool paused);

    std::function<void(Action)> onAction;
    std::function<void(bool paused)> onPauseChanged;
    // Every key event the game gets (recorders and tests listen here).
    std::function<void(bool down, int code, int shift)> onGameKey;

private:
    bool key(const SDL_Event& e);
    void newGame();

    hvezda::Game& game_;
    uint32_t windowId_;
    InputOptions options_;
    std::function<int64_t()> nowNs_;
    GameKeys keys_;
    Gamepads pads_;
    PauseClock pause_;
    PanelLabel pressed_ = PanelLabel::None;  // label under the left button's press
    bool redraw_ = false;
};

}  // namespace plat
