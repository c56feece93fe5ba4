// SPDX-License-Identifier: MIT
#include "platform/input.h"

#include <SDL.h>

#include "platform/keymap.h"
#include "platform/monotonic.h"
#include "shell/shell.h"

using namespace hvezda;

namespace platform {

namespace {

// The platform's keys, by virtual-key code.
constexpr int kEnter = 13, kPauseKey = 19, kEscape = 27, kH = 72, kP = 80, kF2 = 113, kF11 = 122, kF12 = 123;

}  // namespace

InputOptions inputOptions(const Settings& s) {
    InputOptions o;
    o.keys = KeyBindings(s);
    o.pauseOnFocusLoss = s.pauseOnFocusLoss;
    o.padRepeat.delayNs = int64_t{s.repeatDelayMs} * 1'000'000;
    o.padRepeat.periodNs = s.repeatPerSecond > 0 ? 1'000'000'000 / s.repeatPerSecond : 0;
    return o;
}

InputRouter::InputRouter(Game& g, uint32_t gameWindowId, const InputOptions& options, std::function<int64_t()> nowNs)
    : game_(g),
      windowId_(gameWindowId),
      options_(options),
      nowNs_(nowNs ? std::move(nowNs) : std::function<int64_t()>(monotonicNs)),
      keys_([this](bool down, int code, int shift) {
          deliver({down ? DeliveredEvent::Kind::KeyDown : DeliveredEvent::Kind::KeyUp, code, shift});
      }),
      pads_(keys_, options.padRepeat) {}

void InputRouter::setPaused(bool paused) {
    if (paused == pause_.paused()) return;
    const int64_t now = nowNs_();
    if (paused) {
        // The game sees every held key let go, so the ship does not fly on
        // by itself when play resumes.
        keys_.releaseAll();
        pause_.pause(now);
    } else {
        pause_.resume(now);
    }
    keys_.setBlocked(paused);
    redraw_ = true;
    if (onPauseChanged) onPauseChanged(paused);
}

void InputRouter::openBoard() {
    if (board_) return;
    pausedUnderBoard_ = pause_.paused();
    setPaused(true);
    board_ = true;
    redraw_ = true;
}

void InputRouter::newGame() {
    if (options_.replay) return;  // the replay's game goes on
    // A new game starts as a freshly started program would: playing, with
    // no key held.
    setPaused(false);
    keys_.forget();
    if (onAction) onAction(Action::NewGame);
    newGame_ = true;
    redraw_ = true;
}

bool InputRouter::repeat() { return pads_.repeat(nowNs_()); }

bool InputRouter::deliver(const DeliveredEvent& e) {
    const bool key = e.kind != DeliveredEvent::Kind::Click;
    if (options_.replay) {
        quitAsked_ = quitAsked_ || (!key && e.label == PanelLabel::Exit);
        return !key && e.label == PanelLabel::Exit;
    }
    if (watcher_) watcher_->before(game_, e);
    const bool reached = e.kind == DeliveredEvent::Kind::KeyDown ? keyDownEvent(game_, e.code, e.shift)
                         : e.kind == DeliveredEvent::Kind::KeyUp ? keyUpEvent(game_, e.code, e.shift)
                                                                 : clickLabel(game_, e.label);
    if (watcher_) watcher_->after(game_, e, reached);
    return true;
}

bool InputRouter::key(const SDL_Event& e) {
    const bool down = e.type == SDL_KEYDOWN;
    const int vk = virtualKey(e.key.keysym.sym, e.key.keysym.scancode);
    const int shift = shiftState(e.key.keysym.mod);
    if (const int code = options_.keys.gameCode(vk)) {
        // Auto-repeat presses go through like any other: the game counts them.
        if (down)
            keys_.press(kKeyboard, code, shift);
        else
            keys_.release(kKeyboard, code, shift);
        return true;
    }
    if (!down || e.key.repeat) return false;
    switch (vk) {
        case kP:
        case kPauseKey:
        case kEscape: setPaused(!pause_.paused()); return true;
        case kF2: newGame(); return true;
        case kH:
            if (onAction) onAction(Action::Hall);
            return true;
        case kF12:
            if (onAction) onAction(Action::Screenshot);
            return false;
        case kF11:
        case kEnter:
            if (vk == kEnter && !(shift & 4)) return false;
            if (onAction) onAction(Action::Fullscreen);
            redraw_ = true;
            return true;
        default: return false;
    }
}

bool InputRouter::handle(const SDL_Event& e) {
    Game& g = game_;
    if (board_) {
        const bool closes = (e.type == SDL_KEYDOWN && !e.key.repeat) ||
                            (e.type == SDL_MOUSEBUTTONUP && e.button.windowID == windowId_) ||
                            (e.type == SDL_CONTROLLERBUTTONDOWN && (e.cbutton.button == SDL_CONTROLLER_BUTTON_B ||
                                                                    e.cbutton.button == SDL_CONTROLLER_BUTTON_START));
        if (closes) {
            board_ = false;
            pressed_ = PanelLabel::None;  // the click that closed it is no click on a label
            setPaused(pausedUnderBoard_);
            redraw_ = true;
            return true;
        }
        // Keys and buttons let go while it was open are let go as ever.
        if (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN) return false;
    }
    PadAction pad = PadAction::None;
    if (pads_.handle(e, nowNs_(), pad)) {
        if (pad == PadAction::Pause) setPaused(!pause_.paused());
        if (pad == PadAction::NewGame) newGame();
        if (pad == PadAction::Hall && onAction) onAction(Action::Hall);
        return true;
    }
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: return key(e);
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
            if (released != pressed || released == PanelLabel::None) return false;
            return deliver({DeliveredEvent::Kind::Click, 0, 0, released});
        }
        case SDL_WINDOWEVENT:
            if (e.window.windowID != windowId_) return false;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
                e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESTORED)
                redraw_ = true;
            // Away from the window, the game waits for the player to come back
            // (a browser hides the page of a tab in the background).
            if ((e.window.event == SDL_WINDOWEVENT_FOCUS_LOST || e.window.event == SDL_WINDOWEVENT_MINIMIZED ||
                 e.window.event == SDL_WINDOWEVENT_HIDDEN) &&
                options_.pauseOnFocusLoss && g.scene.Form1.open) {
                setPaused(true);
                return true;
            }
            if (e.window.event != SDL_WINDOWEVENT_CLOSE) return false;
            [[fallthrough]];
        case SDL_QUIT:
            // Closed by the desktop: leave the way EXIT does, music and all.
            // DEVIATION(desktop-close-is-exit): the game ran no handler then.
            if (!g.scene.Form1.open) return false;
            return deliver({DeliveredEvent::Kind::Click, 0, 0, PanelLabel::Exit});
        default:
            return false;
    }
}

}  // namespace platform
