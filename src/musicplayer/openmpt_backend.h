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
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "musicplayer/modplug.h"

namespace musicplayer {

// The song as the game hears it: libopenmpt at the game's mix gain (a
// module is otherwise lowered by its number of channels), then a limiter that
// keeps the true peak at most -1 dBTP, then the player's volume, which only
// ever lowers it. The audio device's callback plays through one of these, and
// hvezda-render-music writes one to a file, so what is measured is what is
// heard.
class MusicRenderer {
public:
    static constexpr int kSampleRate = 48000;
    // libopenmpt's master gain (RENDER_MASTERGAIN_MILLIBEL): the loop's integrated
    // loudness comes out at about -16.5 LUFS (docs/music.md).
    static constexpr int kMasterGainMillibel = 420;
    static constexpr double kCeiling = 0.85;  // -1.4 dBFS, on a 4x oversampled estimate of the peak

    // From a module file's bytes; throws std::runtime_error when they are not
    // one libopenmpt can play. `log` takes libopenmpt's messages and must
    // outlive the renderer.
    MusicRenderer(const std::vector<char>& data, bool looping, std::ostream& log);
    ~MusicRenderer();
    MusicRenderer(const MusicRenderer&) = delete;
    MusicRenderer& operator=(const MusicRenderer&) = delete;

    // Up to `frames` interleaved stereo frames at the sample rate (kSampleRate
    // unless set), scaled by `volume` (0 to 1); fewer only when a song that
    // does not loop has ended.
    std::size_t render(float* out, std::size_t frames, float volume = 1.0f);
    // Renders at `hz` from now on: set before the first frame, where the
    // output's own rate is not kSampleRate (a browser's audio context).
    void setSampleRate(int hz);

    // Only this channel of the module sounds (-1: all), for measuring a part alone.
    void solo(int channel);
    int channels() const;
    // The pattern order libopenmpt has reached (kLatency frames ahead of what
    // render last gave), and the length of one pass in seconds.
    int currentOrder() const;
    double durationSeconds() const;
    // The frames the limiter holds back (its look-ahead, and half its peak
    // estimate's reach): the output lags the song by this much.
    static constexpr std::size_t kLatency = 96 + 7;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

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
