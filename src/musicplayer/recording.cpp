// SPDX-License-Identifier: MIT
#include "musicplayer/recording.h"

#include <set>

namespace {

std::vector<std::string> calls;
std::set<int32_t> live;
int32_t nextHandle = 1;

void note(std::string s) { calls.push_back(std::move(s)); }

bool known(int32_t h) { return live.count(h) != 0; }

std::string handleText(int32_t h) { return std::to_string(h) + (known(h) ? "" : " (no instance)"); }

int32_t createEx(const char* params) {
    int32_t h = nextHandle++;
    live.insert(h);
    note("CreateEx(" + std::string(params ? params : "") + ")=" + std::to_string(h));
    return h;
}
int32_t setWindow(int32_t h, int32_t w) {
    note("SetWindow(" + handleText(h) + "," + std::to_string(w) + ")");
    return 0;
}
int32_t load(int32_t h, const char* path) {
    note("Load(" + handleText(h) + "," + std::string(path ? path : "") + ")");
    return 0;
}
int32_t play(int32_t h) {
    note("Play(" + handleText(h) + ")");
    return 0;
}
int32_t stop(int32_t h) {
    note("Stop(" + handleText(h) + ")");
    return 0;
}
int32_t destroy(int32_t h) {
    note("Destroy(" + handleText(h) + ")");
    live.erase(h);
    return 0;
}

const PlayerBackend kRecording{createEx, setWindow, load, play, stop, destroy};

}  // namespace

const PlayerBackend& recordingPlayerBackend() {
    calls.clear();
    live.clear();
    nextHandle = 1;
    return kRecording;
}

const std::vector<std::string>& recordedPlayerCalls() { return calls; }
