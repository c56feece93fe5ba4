// SPDX-License-Identifier: MIT
// A player that plays nothing and remembers every call in order, for tests
// and the headless driver (made as "recording"). Handles are 1, 2, 3, ... in
// order of creation; calls naming any other handle are recorded with
// "(no instance)" and do nothing.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "musicplayer/modplug.h"

namespace musicplayer {

class RecordingPlayer final : public PlayerLibrary {
public:
    int32_t ModPlug_CreateEx(const char* params) override;
    int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle) override;
    int32_t ModPlug_Load(int32_t handle, const char* path) override;
    int32_t ModPlug_Play(int32_t handle) override;
    int32_t ModPlug_Stop(int32_t handle) override;
    int32_t ModPlug_Destroy(int32_t handle) override;

    // The calls so far, e.g. "CreateEx(loop|true)=1", "Load(1,/game/Moonlite.dat)".
    const std::vector<std::string>& calls() const { return calls_; }

private:
    std::string handleText(int32_t h) const;
    std::vector<std::string> calls_;
    std::set<int32_t> live_;
    int32_t nextHandle_ = 1;
};

}  // namespace musicplayer
