// SPDX-License-Identifier: MIT
#include "musicplayer/modplug.h"

#include <string>
#include <utility>
#include <vector>

#include "musicplayer/recording.h"

namespace {

int32_t nullCreate(const char*) { return 0; }
int32_t nullSetWindow(int32_t, int32_t) { return 0; }
int32_t nullLoad(int32_t, const char*) { return 0; }
int32_t nullHandleOnly(int32_t) { return 0; }

const PlayerBackend kNull{nullCreate, nullSetWindow, nullLoad, nullHandleOnly, nullHandleOnly, nullHandleOnly};
const PlayerBackend& nullBackend() { return kNull; }

const PlayerBackend* current = &kNull;
std::function<void(const std::string&)> reportListener;

struct Entry {
    std::string name;
    const PlayerBackend& (*start)();
};

// Built on first use, so backends may join from other files' static set-up.
std::vector<Entry>& table() {
    static std::vector<Entry> t{{"null", nullBackend}, {"recording", recordingPlayerBackend}};
    return t;
}

}  // namespace

bool addPlayerBackend(std::string_view name, const PlayerBackend& (*start)()) {
    for (const Entry& e : table())
        if (e.name == name) return false;
    table().push_back(Entry{std::string(name), start});
    return true;
}

bool choosePlayerBackend(std::string_view name) {
    for (const Entry& e : table()) {
        if (e.name == name) {
            current = &e.start();
            return true;
        }
    }
    current = &kNull;
    return false;
}

void setPlayerReport(std::function<void(const std::string&)> listener) { reportListener = std::move(listener); }
void reportPlayerTrouble(const std::string& line) {
    if (reportListener) reportListener(line);
}
void pausePlayerOutput(bool paused) {
    if (current->pauseOutput) current->pauseOutput(paused);
}
void setPlayerVolume(int percent) {
    if (current->setVolume) current->setVolume(percent);
}

int32_t ModPlug_CreateEx(const char* params) { return current->createEx(params); }
int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle) { return current->setWindow(handle, windowHandle); }
int32_t ModPlug_Load(int32_t handle, const char* path) { return current->load(handle, path); }
int32_t ModPlug_Play(int32_t handle) { return current->play(handle); }
int32_t ModPlug_Stop(int32_t handle) { return current->stop(handle); }
int32_t ModPlug_Destroy(int32_t handle) { return current->destroy(handle); }
