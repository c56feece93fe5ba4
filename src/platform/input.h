// Window events to the game: keys with their virtual-key codes, clicks on
// the panel's labels, and the desktop closing the window.
#pragma once

#include <cstdint>

#include "platform/clicks.h"
#include "scene/game.h"

union SDL_Event;

namespace plat {

class InputRouter {
public:
    InputRouter(hvezda::Game& g, uint32_t gameWindowId) : game_(g), windowId_(gameWindowId) {}

    // Hands one event to the game. True when it reached one of the game's
    // handlers (so the scene may have changed).
    bool handle(const SDL_Event& e);
    // True once after the desktop asked for the window to be drawn again
    // (uncovered, shown, resized).
    bool takeRedrawRequest() {
        const bool r = redraw_;
        redraw_ = false;
        return r;
    }

private:
    hvezda::Game& game_;
    uint32_t windowId_;
    PanelLabel pressed_ = PanelLabel::None;  // label under the left button's press
    bool redraw_ = false;
};

}  // namespace plat
