#include "platform/input.h"

#include <SDL.h>

#include "platform/keymap.h"
#include "shell/shell.h"

using namespace hvezda;

namespace plat {

bool InputRouter::handle(const SDL_Event& e) {
    Game& g = game_;
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // Auto-repeat presses go through like any other: the game counts them.
            const int vk = virtualKey(e.key.keysym.sym, e.key.keysym.scancode);
            if (vk == 0) return false;
            const int shift = shiftState(e.key.keysym.mod);
            if (e.type == SDL_KEYDOWN)
                keyDownEvent(g, vk, shift);
            else
                keyUpEvent(g, vk, shift);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button != SDL_BUTTON_LEFT || e.button.windowID != windowId_) return false;
            pressed_ = labelAt(g.scene, e.button.x, e.button.y);
            return false;
        case SDL_MOUSEBUTTONUP: {
            if (e.button.button != SDL_BUTTON_LEFT || e.button.windowID != windowId_) return false;
            // A click is a press and a release on the same label.
            const PanelLabel released = labelAt(g.scene, e.button.x, e.button.y);
            const PanelLabel pressed = pressed_;
            pressed_ = PanelLabel::None;
            if (released != pressed) return false;
            return clickLabel(g, released);
        }
        case SDL_WINDOWEVENT:
            if (e.window.windowID != windowId_) return false;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
                e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESTORED)
                redraw_ = true;
            if (e.window.event != SDL_WINDOWEVENT_CLOSE) return false;
            [[fallthrough]];
        case SDL_QUIT:
            // Closed by the desktop: leave the way EXIT does, music and all.
            if (!g.scene.Form1.open) return false;
            Label4_Click(g);
            return true;
        default:
            return false;
    }
}

}  // namespace plat
