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

namespace platform {

struct InputOptions {
    KeyBindings keys;
    bool pauseOnFocusLoss = true;
    RepeatRate padRepeat;
    // A replay: no key or click reaches the game; the pause and fullscreen
    // work, and EXIT or the desktop's close ask to quit.
    bool replay = false;
};

// A key or a click as it is handed to the game.
struct DeliveredEvent {
    enum class Kind { KeyDown, KeyUp, Click };
    Kind kind = Kind::KeyDown;
    int code = 0, shift = 0;              // keys: the virtual-key code and shift state
    PanelLabel label = PanelLabel::None;  // clicks
};

// Told of every key and click just before and just after it is handed to the
// game; `reached` says whether it reached a handler (keys do not once the
// game has cut them off).
class InputWatcher {
public:
    virtual ~InputWatcher() = default;
    virtual void before(hvezda::Game& g, const DeliveredEvent& e) = 0;
    virtual void after(hvezda::Game& g, const DeliveredEvent& e, bool reached) = 0;
};
InputOptions inputOptions(const Settings& s);

// Keys the platform keeps for itself (the game never sees them), handed to
// whoever owns the window. The pause is the router's own business.
enum class Action { Fullscreen, NewGame, Screenshot, Hall };

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

    // True once after a new game was asked for (F2, a gamepad's Back +
    // Start) and started by onAction: the loop's cue that a clock starts over.
    bool takeNewGame() {
        const bool r = newGame_;
        newGame_ = false;
        return r;
    }

    const PauseClock& pause() const { return pause_; }
    void setPaused(bool paused);
    // A board over the stopped game (the hall of fame): the game stands
    // paused behind it and receives nothing; any key, a click, or a
    // gamepad's B or Start closes it, and the pause is as it was before.
    void openBoard();
    bool boardOpen() const { return board_; }
    void watch(InputWatcher* watcher) { watcher_ = watcher; }
    // A replay's viewer asked to quit (EXIT, or the desktop closed the window).
    bool quitAsked() const { return quitAsked_; }

    std::function<void(Action)> onAction;
    std::function<void(bool paused)> onPauseChanged;

private:
    bool key(const SDL_Event& e);
    void newGame();
    // Hands a key or a click to the game, watched; false when none went (a replay).
    bool deliver(const DeliveredEvent& e);

    hvezda::Game& game_;
    uint32_t windowId_;
    InputOptions options_;
    std::function<int64_t()> nowNs_;
    GameKeys keys_;
    Gamepads pads_;
    PauseClock pause_;
    PanelLabel pressed_ = PanelLabel::None;  // label under the left button's press
    bool redraw_ = false;
    bool newGame_ = false;
    bool board_ = false, pausedUnderBoard_ = false;
    InputWatcher* watcher_ = nullptr;
    bool quitAsked_ = false;
};

}  // namespace platform
