// SPDX-License-Identifier: MIT
// The player's comforts on a window session: the pause's dimmed frame and
// held music, fullscreen, a new game (F2), screenshots (F12), the volume.
#pragma once

#include <string>

#include "app/session.h"
#include "platform/settings.h"
#include "scene/game.h"

namespace app {

class HallKeeper;
class Recorder;

// Hooks them into the session's input and frames; `game` and `session`
// must outlive the loop.
// A new game ends `recorder`'s recording and starts another (when given);
// H and a gamepad's Y show `hall`'s table (when given).
void addComforts(Session& session, hvezda::Game& game, const platform::Settings& settings, Recorder* recorder = nullptr,
                 HallKeeper* hall = nullptr);

}  // namespace app
