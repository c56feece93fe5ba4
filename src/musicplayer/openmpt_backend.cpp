// SPDX-License-Identifier: MIT
#include "musicplayer/openmpt_backend.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include <libopenmpt/libopenmpt.hpp>

#include "musicplayer/quiet_alsa.h"
#include "base/files.h"

namespace musicplayer {

namespace {

constexpr int kSampleRate = 48000;
constexpr Uint16 kBufferFrames = 1024;  // ~21 ms: short enough to stop promptly
// No song is anywhere near this; refusing bigger files keeps a wrong path from
// eating memory.
constexpr std::uintmax_t kMaxSongBytes = 64u << 20;

// libopenmpt reports problems through a log stream; ours goes nowhere so
// nothing reaches the player's terminal.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace

struct OpenmptPlayer::Instance {
    const std::atomic<float>* gain = nullptr;  // the player's volume
    bool looping = false;
    int32_t windowHandle = 0;
    // The song keeps logging into this stream, possibly from the audio
    // thread, so each instance has its own and it outlives the song.
    NullBuffer logBuffer;
    std::ostream log{&logBuffer};
    std::unique_ptr<openmpt::module> song;
    SDL_AudioDeviceID device = 0;
    // Read by the callback, written only while the device is locked.
    bool attached = false;
    std::atomic<uint64_t> callbacks{0};
    std::atomic<uint64_t> nonZeroFrames{0};
};

namespace {
using Instance = OpenmptPlayer::Instance;

// Runs on SDL's audio thread with the device lock held.
void renderCallback(void* userdata, Uint8* stream, int len) {
    auto* inst = static_cast<Instance*>(userdata);
    auto* out = reinterpret_cast<float*>(stream);
    const std::size_t frames = len > 0 ? static_cast<std::size_t>(len) / (2 * sizeof(float)) : 0;
    std::size_t done = 0;
    if (inst->attached && inst->song) {
        try {
            while (done < frames) {
                std::size_t n = inst->song->read_interleaved_stereo(kSampleRate, frames - done, out + 2 * done);
                if (n == 0) break;  // song over (not looping): the rest is silence
                done += n;
            }
        } catch (...) {
            // Nothing may escape into SDL's thread; a failing render is silence.
        }
    }
    if (const float g = inst->gain->load(std::memory_order_relaxed); g != 1.0f)
        for (std::size_t i = 0; i < 2 * done; ++i) out[i] *= g;
    const std::size_t filled = done * 2 * sizeof(float);
    if (len > 0) std::memset(stream + filled, 0, static_cast<std::size_t>(len) - filled);

    uint64_t loud = 0;
    for (std::size_t i = 0; i < done; ++i)
        if (out[2 * i] != 0.0f || out[2 * i + 1] != 0.0f) ++loud;
    inst->callbacks.fetch_add(1, std::memory_order_relaxed);
    inst->nonZeroFrames.fetch_add(loud, std::memory_order_relaxed);
}

// Closes the device, if any; afterwards no callback runs for this instance.
void stopInstance(Instance& inst) {
    if (inst.device == 0) return;
    SDL_LockAudioDevice(inst.device);
    inst.attached = false;
    SDL_UnlockAudioDevice(inst.device);
    SDL_CloseAudioDevice(inst.device);
    inst.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);  // balances the init in playInstance
}

std::string lower(std::string_view s) {
    std::string r;
    for (char c : s) {
        if (c == ' ' || c == '\t') continue;
        r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return r;
}

bool truthy(const std::string& v) { return v == "true" || v == "1" || v == "yes" || v == "on"; }

// Parameters are "key|value|key|value..."; unknown keys are ignored.
void applyParams(Instance& inst, const char* params) {
    if (!params) return;
    std::vector<std::string> parts;
    std::string_view rest(params);
    while (true) {
        auto bar = rest.find('|');
        parts.push_back(lower(rest.substr(0, bar)));
        if (bar == std::string_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i] == "loop") inst.looping = truthy(parts[i + 1]);
}

// Reads the whole song file; on failure says why, for the player.
bool readWholeFile(const char* path, std::vector<char>& data, std::string& why) {
    namespace fs = std::filesystem;
    if (!path || !*path) {
        why = "no music file was named";
        return false;
    }
    const std::string name(path);
    const fs::path file = base::pathFromUtf8(name);  // the game's names are UTF-8
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        why = name + " is missing";
        return false;
    }
    if (ec) {
        why = "cannot read " + name + ": " + ec.message();
        return false;
    }
    // Only plain files: a directory, a pipe or a device is never a song (and a
    // pipe could block us forever).
    if (!fs::is_regular_file(status)) {
        why = "cannot read " + name + ": not a plain file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec) {
        why = "cannot read " + name + ": " + ec.message();
        return false;
    }
    if (size == 0 || size > kMaxSongBytes) {
        why = name + " is not a module the player can play";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (in) {
        data.resize(static_cast<std::size_t>(size));
        in.read(data.data(), static_cast<std::streamsize>(size));
        if (static_cast<std::uintmax_t>(in.gcount()) == size) return true;
    }
    why = "cannot read " + name + ": " + std::strerror(errno);
    return false;
}

std::unique_ptr<openmpt::module> loadSong(const char* path, Instance& inst, const PlayerReport& report) {
    std::vector<char> data;
    std::string why;
    if (!readWholeFile(path, data, why)) {
        if (report) report("no music: " + why);
        return nullptr;
    }
    try {
        auto song = std::make_unique<openmpt::module>(data, inst.log);
        song->set_repeat_count(inst.looping ? -1 : 0);
        return song;
    } catch (...) {
        if (report) report(std::string("no music: ") + path + " is not a module the player can play");
        return nullptr;
    }
}

}  // namespace

OpenmptPlayer::OpenmptPlayer(PlayerReport report) : report_(std::move(report)) {}

OpenmptPlayer::~OpenmptPlayer() {
    std::lock_guard lock(mutex_);
    for (auto& [handle, inst] : instances_) stopInstance(*inst);
}

OpenmptPlayer::Instance* OpenmptPlayer::find(int32_t handle) {
    auto it = instances_.find(handle);
    return it == instances_.end() ? nullptr : it->second.get();
}

bool OpenmptPlayer::play(Instance& inst) {
    auto noDevice = [this] {
        if (report_) report_(std::string("no music: no audio device could be opened: ") + SDL_GetError());
    };
    if (inst.device != 0) return true;  // already playing
    if (!inst.song) return false;
    // Reference-counted by SDL: initialises audio only if nobody has yet.
    // ALSA would tell the terminal about every card it could not find.
    silenceAlsaMessages();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        noDevice();
        return false;
    }

    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = renderCallback;
    want.userdata = &inst;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the card wants, so the
    // callback always sees float stereo at our rate.
    inst.attached = true;  // before the audio thread exists, so no lock needed
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (dev == 0) {
        noDevice();
        inst.attached = false;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // The device opens paused: the callback starts only now (or when the
    // platform's pause ends).
    inst.device = dev;
    SDL_PauseAudioDevice(dev, outputPaused_ ? 1 : 0);
    return true;
}

int32_t OpenmptPlayer::ModPlug_CreateEx(const char* params) {
    try {
        std::lock_guard lock(mutex_);
        if (nextHandle_ == std::numeric_limits<int32_t>::max()) return 0;  // handles are never reused
        auto inst = std::make_unique<Instance>();
        inst->gain = &gain_;
        applyParams(*inst, params);
        int32_t handle = nextHandle_++;
        instances_.emplace(handle, std::move(inst));
        return handle;
    } catch (...) {
        return 0;
    }
}

int32_t OpenmptPlayer::ModPlug_SetWindow(int32_t handle, int32_t windowHandle) {
    std::lock_guard lock(mutex_);
    Instance* inst = find(handle);
    if (!inst) return 0;
    inst->windowHandle = windowHandle;  // kept for completeness; SDL needs no window for sound
    return 1;
}

int32_t OpenmptPlayer::ModPlug_Load(int32_t handle, const char* path) {
    try {
        std::lock_guard lock(mutex_);
        Instance* inst = find(handle);
        if (!inst) return 0;
        // A new song replaces the old one; it starts playing only on Play.
        stopInstance(*inst);
        inst->song.reset();
        inst->song = loadSong(path, *inst, report_);
        return inst->song ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int32_t OpenmptPlayer::ModPlug_Play(int32_t handle) {
    std::lock_guard lock(mutex_);
    Instance* inst = find(handle);
    if (!inst) return 0;
    return play(*inst) ? 1 : 0;
}

int32_t OpenmptPlayer::ModPlug_Stop(int32_t handle) {
    std::lock_guard lock(mutex_);
    Instance* inst = find(handle);
    if (!inst) return 0;
    const bool wasPlaying = inst->device != 0;
    stopInstance(*inst);
    return wasPlaying ? 1 : 0;
}

int32_t OpenmptPlayer::ModPlug_Destroy(int32_t handle) {
    std::lock_guard lock(mutex_);
    auto it = instances_.find(handle);
    if (it == instances_.end()) return 0;
    stopInstance(*it->second);  // the device is closed before the song goes
    instances_.erase(it);
    return 1;
}

void OpenmptPlayer::pauseOutput(bool paused) {
    std::lock_guard lock(mutex_);
    outputPaused_ = paused;
    for (auto& [handle, inst] : instances_)
        if (inst->device != 0) SDL_PauseAudioDevice(inst->device, paused ? 1 : 0);
}

void OpenmptPlayer::setVolume(int percent) { gain_ = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f; }

OpenmptInstanceState OpenmptPlayer::instanceState(int32_t handle) {
    std::lock_guard lock(mutex_);
    OpenmptInstanceState s;
    Instance* inst = find(handle);
    if (!inst) return s;
    s.exists = true;
    s.looping = inst->looping;
    s.loaded = inst->song != nullptr;
    s.playing = inst->device != 0;
    s.callbacks = inst->callbacks.load(std::memory_order_relaxed);
    s.nonZeroFrames = inst->nonZeroFrames.load(std::memory_order_relaxed);
    return s;
}

std::shared_ptr<PlayerLibrary> makeRealPlayer(const PlayerReport& report) { return std::make_shared<OpenmptPlayer>(report); }

}  // namespace musicplayer
