// Our stand-in for the tracker-music player library the game was written
// against. The game only ever calls these six functions; every argument is a
// 32-bit integer or a zero-terminated 8-bit text, every result a 32-bit integer.
//
// Behind them sits one backend, chosen at start-up: the null backend (the
// default, plays nothing), the recording backend (tests and the headless
// driver) or the real one (libopenmpt decoding into an SDL audio device).
// A call with a handle that names no instance does nothing and returns 0.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

int32_t ModPlug_CreateEx(const char* params);
int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle);
int32_t ModPlug_Load(int32_t handle, const char* path);
int32_t ModPlug_Play(int32_t handle);
int32_t ModPlug_Stop(int32_t handle);
int32_t ModPlug_Destroy(int32_t handle);

// One backend per implementation; every entry must be set.
struct PlayerBackend {
    int32_t (*createEx)(const char* params);
    int32_t (*setWindow)(int32_t handle, int32_t windowHandle);
    int32_t (*load)(int32_t handle, const char* path);
    int32_t (*play)(int32_t handle);
    int32_t (*stop)(int32_t handle);
    int32_t (*destroy)(int32_t handle);
};

// Selects the backend for all later calls; nullptr restores the null backend.
void setPlayerBackend(const PlayerBackend* backend);
const PlayerBackend& nullPlayerBackend();

// Why the music stays silent, in one line for the player: a backend says it
// when it gives up (the file is missing, unreadable or not a module it can
// play, or no audio device opens). The game never hears of it; whoever set
// the listener shows the line. With none set, nothing is said.
void setPlayerReport(std::function<void(const std::string& line)> listener);
void reportPlayerTrouble(const std::string& line);
