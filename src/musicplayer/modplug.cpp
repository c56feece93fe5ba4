// SPDX-License-Identifier: MIT
#include "musicplayer/modplug.h"

#include "musicplayer/recording.h"

namespace musicplayer {

namespace {

class NullPlayer final : public PlayerLibrary {
public:
    int32_t ModPlug_CreateEx(const char*) override { return 0; }
    int32_t ModPlug_SetWindow(int32_t, int32_t) override { return 0; }
    int32_t ModPlug_Load(int32_t, const char*) override { return 0; }
    int32_t ModPlug_Play(int32_t) override { return 0; }
    int32_t ModPlug_Stop(int32_t) override { return 0; }
    int32_t ModPlug_Destroy(int32_t) override { return 0; }
};

}  // namespace

PlayerLibrary& nullPlayer() {
    static NullPlayer player;
    return player;
}

std::shared_ptr<PlayerLibrary> makePlayer(std::string_view name, const PlayerReport& report,
                                          std::span<const PlayerChoice> more) {
    if (name == "null") return std::make_shared<NullPlayer>();
    if (name == "recording") return std::make_shared<RecordingPlayer>();
    for (const PlayerChoice& c : more)
        if (c.name == name) return c.make(report);
    return nullptr;
}

}  // namespace musicplayer
