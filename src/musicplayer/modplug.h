// SPDX-License-Identifier: MIT
// Our stand-in for the tracker-music player library the game was written
// against. One loaded library is one PlayerLibrary object, which the game is
// handed by its host; the game only ever calls its six ModPlug_* functions.
// Every argument is a 32-bit integer or a zero-terminated 8-bit text, every
// result a 32-bit integer. A call with a handle that names no instance does
// nothing and returns 0.
//
// The players: the null one (plays nothing; the game's own when its host
// hands it none), the recording one (recording.h: tests and the headless
// driver) and the real one (openmpt_backend.h: libopenmpt into an SDL audio
// device), chosen by name with makePlayer. Each keeps its state in itself, so
// any number of games may run side by side in one program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace musicplayer {

class PlayerLibrary {
public:
    virtual ~PlayerLibrary() = default;
    virtual int32_t ModPlug_CreateEx(const char* params) = 0;
    virtual int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle) = 0;
    virtual int32_t ModPlug_Load(int32_t handle, const char* path) = 0;
    virtual int32_t ModPlug_Play(int32_t handle) = 0;
    virtual int32_t ModPlug_Stop(int32_t handle) = 0;
    virtual int32_t ModPlug_Destroy(int32_t handle) = 0;
    // The platform's own controls, never called by the game. pauseOutput
    // holds the sound output (the song stays where it is), for every
    // instance, those made later included; setVolume is in percent.
    virtual void pauseOutput(bool) {}
    virtual void setVolume(int) {}
};

// Plays nothing: every call returns 0. It keeps nothing, so one serves all.
PlayerLibrary& nullPlayer();

// Why the music stays silent, in one line for the player: a player says it
// when it gives up (the file is missing, unreadable or not a module it can
// play, or no audio device opens). The game never hears of it.
using PlayerReport = std::function<void(const std::string& line)>;

// A player this program can make besides the null and the recording one.
struct PlayerChoice {
    std::string_view name;
    std::shared_ptr<PlayerLibrary> (*make)(const PlayerReport& report);
};

// A new player by name: "null", "recording", or one of `more` (the program
// linked with the real player offers {"real", makeRealPlayer}). Null for a
// name this program has none of.
std::shared_ptr<PlayerLibrary> makePlayer(std::string_view name, const PlayerReport& report = {},
                                          std::span<const PlayerChoice> more = {});

}  // namespace musicplayer
