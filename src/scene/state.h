// SPDX-License-Identifier: MIT
// The game-wide values that are not positions of scene elements. Flags are
// short texts compared exactly ("ano", "up", "LEFT", ...), empty when never set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hvezda {

// The flag texts, each named once. Only these exact texts count as set.
namespace flags {
inline constexpr std::string_view yes = "ano";  // destroyed; the boss on its way
inline constexpr std::string_view no = "ne";    // a craft's explosion is over
inline constexpr std::string_view up = "up";    // the held arrow keys
inline constexpr std::string_view down = "down";
inline constexpr std::string_view left = "LEFT";
inline constexpr std::string_view right = "RIGHT";
inline constexpr std::string_view bossRight = "right";  // the boss's heading
inline constexpr std::string_view bossLeft = "left";
}  // namespace flags

// Explosion counters keep counting on every tick after the game has ended, so
// they are 64-bit: they can never wrap back to the steps 1 to 4.
using Counter = int64_t;

// Adds to a counter without ever wrapping: in play a counter cannot come near
// the limit, but a script may write any value into one.
// DEVIATION(counters-stop-at-the-limit): the game added without a check.
inline Counter countUp(Counter c, Counter by = 1) {
    return c > INT64_MAX - by ? INT64_MAX : c + by;
}

struct GameState {
    std::string bossApproach;  // "ano" once the score has passed 1000
    Counter bannerGreen = 0;
    Counter bossExplosionStep = 0;
    Counter playerExplosionStep = 0;
    std::string bossDirection{flags::bossRight};
    std::string playerDestroyed;  // "ano" once the shield is used up
    Counter shipExplosionStep = 0;
    std::string craft1Destroyed;  // "", "ano" (exploding) or "ne" (explosion over)
    std::string craft2Destroyed;
    std::string craft3Destroyed;
    std::string craft4Destroyed;
    int32_t shotIndex = -1;  // fire() slot of the latest X press
    Counter craft2ExplosionStep = 0;
    Counter craft3ExplosionStep = 0;
    Counter craft4ExplosionStep = 0;
    Counter craft1ExplosionStep = 0;
    std::string keyUp;     // "up" while held
    std::string keyDown;   // "down" while held
    int32_t musicHandle = 0;
    std::string musicPath;
    std::string keyRight;  // "RIGHT" while held
    std::string keyLeft;   // "LEFT" while held
};

}  // namespace hvezda
