// SPDX-License-Identifier: MIT
// One running game: the scene, the game-state record, the virtual clock, the
// random source and the few services the host (window or driver) provides.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "scene/random.h"
#include "scene/scene.h"
#include "scene/state.h"

namespace musicplayer {
class PlayerLibrary;  // the music player library (musicplayer/modplug.h)
}

namespace hvezda {

// What start-up and EXIT need from whoever runs the game. Every entry may be
// left empty; the game then does without.
struct Host {
    std::function<std::string()> programFolder;                  // without a trailing separator
    std::function<void(const std::string&)> setCurrentDirectory;
    std::function<int32_t()> form2Handle;                        // makes Form2's hidden window on first use
    std::function<void()> closeWindows;                          // Form1 and Form2; the program ends
    std::shared_ptr<musicplayer::PlayerLibrary> player;                       // the loaded music player library
};

enum class TimerId { Timer1, Timer2, Timer3, Timer4, Timer5, Timerboss };
inline constexpr TimerId kTimerOrder[] = {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3,
                                          TimerId::Timer4, TimerId::Timer5, TimerId::Timerboss};

struct Game {
    Scene scene = makeScene();
    GameState state;
    int64_t clock = 0;  // virtual milliseconds
    Random random;
    Host host;
    // Told of every scheduled tick just before its handler runs (timing probes
    // and tests listen here); the game itself never sets it.
    std::function<void(Game&, TimerId)> onTick;
};


Timer& timerOf(Scene& s, TimerId id);
const char* timerName(TimerId id);

// Switching a timer on starts its rhythm now (first tick one interval later);
// switching on a running timer changes nothing; switching off drops its pending tick.
void setEnabled(Game& g, Timer& t, bool on);
inline void enable(Game& g, Timer& t) { setEnabled(g, t, true); }
inline void disable(Game& g, Timer& t) { setEnabled(g, t, false); }
// A new interval restarts the rhythm from now, as a running timer would.
void setInterval(Game& g, Timer& t, int intervalMs);

}  // namespace hvezda
