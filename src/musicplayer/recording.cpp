// SPDX-License-Identifier: MIT
#include "musicplayer/recording.h"

namespace musicplayer {

std::string RecordingPlayer::handleText(int32_t h) const {
    return std::to_string(h) + (live_.count(h) ? "" : " (no instance)");
}

int32_t RecordingPlayer::ModPlug_CreateEx(const char* params) {
    const int32_t h = nextHandle_++;
    live_.insert(h);
    calls_.push_back("CreateEx(" + std::string(params ? params : "") + ")=" + std::to_string(h));
    return h;
}
int32_t RecordingPlayer::ModPlug_SetWindow(int32_t h, int32_t w) {
    calls_.push_back("SetWindow(" + handleText(h) + "," + std::to_string(w) + ")");
    return 0;
}
int32_t RecordingPlayer::ModPlug_Load(int32_t h, const char* path) {
    calls_.push_back("Load(" + handleText(h) + "," + std::string(path ? path : "") + ")");
    return 0;
}
int32_t RecordingPlayer::ModPlug_Play(int32_t h) {
    calls_.push_back("Play(" + handleText(h) + ")");
    return 0;
}
int32_t RecordingPlayer::ModPlug_Stop(int32_t h) {
    calls_.push_back("Stop(" + handleText(h) + ")");
    return 0;
}
int32_t RecordingPlayer::ModPlug_Destroy(int32_t h) {
    calls_.push_back("Destroy(" + handleText(h) + ")");
    live_.erase(h);
    return 0;
}

}  // namespace musicplayer
