// SPDX-License-Identifier: MIT
// The real music backend: libopenmpt decodes the song, SDL plays it.
//
// Each handle names one instance with its own song and its own audio device.
// The audio device's callback (on SDL's audio thread) only renders; the
// calling thread touches the song only while the device is locked or closed.
// A failure returns 0 and leaves nothing half-open; why the music stays
// silent goes, in one line, to the player's report.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "musicplayer/modplug.h"

namespace musicplayer {

// Diagnostics for tests and debugging; never needed by the game.
struct OpenmptInstanceState {
    bool exists = false;          // the handle names a live instance
    bool looping = false;         // CreateEx asked for endless repetition
    bool loaded = false;          // a song is loaded
    bool playing = false;         // an audio device is open for it
    uint64_t callbacks = 0;       // audio callbacks run so far
    uint64_t nonZeroFrames = 0;   // rendered stereo frames with any non-zero sample
};

class OpenmptPlayer final : public PlayerLibrary {
public:
    explicit OpenmptPlayer(PlayerReport report);
    // A game that ends without Destroy must not leave the audio thread
    // rendering a song that is being freed: every device closes first.
    ~OpenmptPlayer() override;

    int32_t ModPlug_CreateEx(const char* params) override;
    int32_t ModPlug_SetWindow(int32_t handle, int32_t windowHandle) override;
    int32_t ModPlug_Load(int32_t handle, const char* path) override;
    int32_t ModPlug_Play(int32_t handle) override;
    int32_t ModPlug_Stop(int32_t handle) override;
    int32_t ModPlug_Destroy(int32_t handle) override;
    void pauseOutput(bool paused) override;
    void setVolume(int percent) override;

    OpenmptInstanceState instanceState(int32_t handle);

    struct Instance;

private:
    Instance* find(int32_t handle);
    bool play(Instance& inst);

    PlayerReport report_;
    std::mutex mutex_;
    std::map<int32_t, std::unique_ptr<Instance>> instances_;
    int32_t nextHandle_ = 1;
    std::atomic<float> gain_{1.0f};  // read by the audio threads
    bool outputPaused_ = false;
};

// The real player, offered by name: makePlayer("real", report, {&kRealPlayer, 1}).
std::shared_ptr<PlayerLibrary> makeRealPlayer(const PlayerReport& report);
inline constexpr PlayerChoice kRealPlayer{"real", makeRealPlayer};

}  // namespace musicplayer
