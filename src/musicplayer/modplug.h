// SPDX-License-Identifier: MIT
// Our stand-in for the tracker-music player library the game was written
// against. The game only ever calls these six functions; every argument is a
// 32-bit integer or a zero-terminated 8-bit text, every result a 32-bit integer.
//
// Behind them sits one backend, chosen by name at run time (see below): the
// null backend (the default, plays nothing), the recording backend (tests and
// the headless driver) or the real one (libopenmpt decoding into an SDL audio
// device). A call with a handle that names no instance does nothing and returns 0.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

int32_t ModPlug_CreateEx(const char* params);
int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle);
int32_t ModPlug_Load(int32_t handle, const char* path);
int32_t ModPlug_Play(int32_t handle);
int32_t ModPlug_Stop(int32_t handle);
int32_t ModPlug_Destroy(int32_t handle);

// One backend per implementation; the six game calls must be set.
struct PlayerBackend {
    int32_t (*createEx)(const char* params);
    int32_t (*setWindow)(int32_t handle, int32_t windowHandle);
    int32_t (*load)(int32_t handle, const char* path);
    int32_t (*play)(int32_t handle);
    int32_t (*stop)(int32_t handle);
    int32_t (*destroy)(int32_t handle);
    // The platform's own controls, never called by the game; may be null.
    // pauseOutput holds the sound output (the song stays where it is), for
    // every instance, those made later included; setVolume is in percent.
    void (*pauseOutput)(bool paused) = nullptr;
    void (*setVolume)(int percent) = nullptr;
};


// The backends by name: "null" and "recording" (recording.h) in every
// program, "real" in a program linked with it. Chooses the named one for all
// later calls; false, and the null backend, for a name not in the table.
bool choosePlayerBackend(std::string_view name);

// How a backend joins the table: `start` readies it each time it is chosen
// and returns it. The real one joins from its own file when a program is
// linked with it, so the table always tells what this build has.
bool addPlayerBackend(std::string_view name, const PlayerBackend& (*start)());

// Why the music stays silent, in one line for the player: a backend says it
// when it gives up (the file is missing, unreadable or not a module it can
// play, or no audio device opens). The game never hears of it; whoever set
// the listener shows the line. With none set, nothing is said.
void setPlayerReport(std::function<void(const std::string& line)> listener);
void reportPlayerTrouble(const std::string& line);

// The platform's controls on the current backend; nothing when it has none.
void pausePlayerOutput(bool paused);
void setPlayerVolume(int percent);
