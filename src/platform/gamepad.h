// SPDX-License-Identifier: MIT
// Gamepads through SDL's game-controller API, plugged in and out at any time:
// the d-pad and the left stick hold the arrows, A and the right shoulder fire
// (again and again while held, as a held key repeats), B spends the refill,
// Start pauses, Back + Start starts a new game and Y shows the hall of fame.
#pragma once

#include <cstdint>
#include <map>

#include "platform/game_keys.h"

union SDL_Event;
typedef struct _SDL_GameController SDL_GameController;

namespace platform {

struct RepeatRate {
    int64_t delayNs = 250'000'000;  // from the press to the first repeat
    int64_t periodNs = 33'333'333;  // between repeats; 0: no repeat
};

// The stick holds an arrow from half way out, and lets go of it only back
// inside a quarter: between the two it keeps what it had, so a hand resting
// near the threshold does not flutter.
inline constexpr int kStickPress = 16384;
inline constexpr int kStickRelease = 8192;

enum class PadAction { None, Pause, NewGame, Hall };

class Gamepads {
public:
    Gamepads(GameKeys& keys, RepeatRate rate) : keys_(keys), rate_(rate) {}
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;
    ~Gamepads();

    // Takes a game controller's event (false for any other); `action` says
    // what the platform is to do about Start.
    bool handle(const SDL_Event& e, int64_t nowNs, PadAction& action);
    // Sends the repeat that is due by now, if any; true when one went out.
    bool repeat(int64_t nowNs);
    // When the next repeat is due; INT64_MAX when none is.
    int64_t nextRepeatNs() const;

private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        int stickX = 0, stickY = 0;  // -1, 0, 1: the arrow the stick holds on each axis
        bool back = false;
        bool a = false, shoulder = false;  // the two fire buttons held
        int64_t nextRepeat = 0;
    };
    void stick(uint32_t device, int& held, int value, int minusCode, int plusCode);

    GameKeys& keys_;
    RepeatRate rate_;
    std::map<int32_t, Pad> pads_;  // by joystick instance
};

}  // namespace platform
