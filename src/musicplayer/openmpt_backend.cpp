// SPDX-License-Identifier: MIT
#include "musicplayer/openmpt_backend.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include "musicplayer/quiet_alsa.h"
#include "base/files.h"

namespace musicplayer {

namespace {

constexpr int kSampleRate = MusicRenderer::kSampleRate;
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

// ---- The song as the game hears it ----------------------------------------

namespace {

// The limiter looks this many frames ahead: its gain falls over as many frames
// before a peak, then rises again over about 80 ms.
constexpr std::size_t kAhead = 96;
// Its estimate of the true peak reads this many frames around each one.
constexpr int kTaps = 16, kHalfTaps = kTaps / 2;
constexpr std::size_t kRing = 256;  // a power of two, above kAhead + kTaps
static_assert(MusicRenderer::kLatency == kAhead + kHalfTaps - 1);

// A 4x oversampled peak, between a frame and the next: a windowed sinc for each
// of the three points in between.
struct Interpolator {
    std::array<std::array<double, kTaps>, 3> taps{};
    double reach = 0.0;  // the most any point in between can exceed its loudest neighbour by, as a factor
    Interpolator() {
        constexpr double pi = 3.14159265358979323846;
        for (int phase = 0; phase < 3; ++phase) {
            const double at = (phase + 1) / 4.0;
            for (int k = 0; k < kTaps; ++k) {
                const double x = k - (kHalfTaps - 1) - at;  // taps at frames -7..8 around the frame
                const double sinc = std::sin(pi * x) / (pi * x);
                const double window = 0.5 + 0.5 * std::cos(pi * x / (kHalfTaps + 0.5));
                taps[phase][k] = sinc * window;
            }
            double sum = 0.0;
            for (double t : taps[phase]) sum += std::fabs(t);
            reach = std::max(reach, sum);
        }
    }
};
const Interpolator& interpolator() {
    static const Interpolator i;
    return i;
}

}  // namespace

struct MusicRenderer::Impl {
    std::unique_ptr<openmpt::module_ext> song;
    openmpt::ext::interactive* mixer = nullptr;
    bool looping = false;
    int rate = kSampleRate;
    std::size_t drained = 0;      // frames of silence fed after a song that does not loop has ended
    uint64_t frame = 0;           // frames fed in so far
    std::array<std::array<float, 2>, kRing> in{};  // what came in, for the delay and the peak estimate
    std::array<double, kRing> wanted;  // the gain each frame's peak asks for
    std::array<double, kRing> held;    // that, held down over the look-ahead, released slowly
    double release = 0.0, envelope = 1.0;
    // Frames since one came near the ceiling, since one asked for less gain,
    // and since the gain was last under 1: while these are long enough, the
    // gain is exactly 1 and nothing needs computing.
    uint64_t sinceNear = kRing, sinceWanted = kRing, sinceHeld = kRing;
    std::vector<float> block;

    Impl() {
        wanted.fill(1.0);
        held.fill(1.0);
    }

    double truePeak(uint64_t at) const {
        double peak = 0.0;
        for (int c = 0; c < 2; ++c) {
            peak = std::max(peak, double(std::fabs(in[at % kRing][c])));
            for (const auto& taps : interpolator().taps) {
                double v = 0.0;
                for (int k = 0; k < kTaps; ++k) v += taps[k] * in[(at + kRing + k - (kHalfTaps - 1)) % kRing][c];
                peak = std::max(peak, std::fabs(v));
            }
        }
        return peak;
    }

    // Takes one frame in; gives the one kLatency frames before, limited.
    std::array<float, 2> step(float left, float right) {
        in[frame % kRing] = {left, right};
        const uint64_t at = frame + kRing - kHalfTaps;  // the newest frame whose neighbours are all in
        ++frame;
        const bool near = std::max(std::fabs(left), std::fabs(right)) * interpolator().reach > kCeiling;
        sinceNear = near ? 0 : sinceNear + 1;
        const double peak = sinceNear < kTaps ? truePeak(at) : 0.0;
        wanted[at % kRing] = peak > kCeiling ? kCeiling / peak : 1.0;
        sinceWanted = peak > kCeiling ? 0 : sinceWanted + 1;
        double low = 1.0;
        for (std::size_t k = 0; sinceWanted < kAhead && k < kAhead; ++k) low = std::min(low, wanted[(at - k) % kRing]);
        // Down at once (the average below spreads it), up slowly; exactly 1 once recovered.
        envelope = low < envelope ? low : envelope + (low - envelope) * release;
        if (std::fabs(low - envelope) < 1e-9) envelope = low;
        held[at % kRing] = envelope;
        sinceHeld = envelope < 1.0 ? 0 : sinceHeld + 1;
        double gain = 1.0;
        if (sinceHeld < kAhead) {
            double sum = 0.0;
            for (std::size_t k = 0; k < kAhead; ++k) sum += held[(at - k) % kRing];
            gain = sum / double(kAhead);
        }
        const auto& out = in[(at - kAhead + 1) % kRing];
        return {float(out[0] * gain), float(out[1] * gain)};
    }
};

MusicRenderer::MusicRenderer(const std::vector<char>& data, bool looping, std::ostream& log)
    : impl_(std::make_unique<Impl>()) {
    try {
        impl_->song = std::make_unique<openmpt::module_ext>(data, log);
    } catch (const std::exception&) {
        throw std::runtime_error("not a module the player can play");
    }
    impl_->looping = looping;
    impl_->song->set_repeat_count(looping ? -1 : 0);
    impl_->song->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, kMasterGainMillibel);
    impl_->mixer = static_cast<openmpt::ext::interactive*>(impl_->song->get_interface(openmpt::ext::interactive_id));
    setSampleRate(kSampleRate);
}

void MusicRenderer::setSampleRate(int hz) {
    impl_->rate = hz;
    impl_->release = 1.0 - std::exp(-1.0 / (0.08 * hz));
}

MusicRenderer::~MusicRenderer() = default;

std::size_t MusicRenderer::render(float* out, std::size_t frames, float volume) {
    Impl& m = *impl_;
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t want = std::min<std::size_t>(frames - done, 1024);
        m.block.resize(2 * want);
        std::size_t got = m.song->read_interleaved_stereo(m.rate, want, m.block.data());
        if (got == 0) {  // the song is over: what the limiter still holds comes out
            got = std::min(want, kLatency - m.drained);
            if (got == 0) break;
            std::fill(m.block.begin(), m.block.begin() + 2 * got, 0.0f);
            m.drained += got;
        }
        for (std::size_t i = 0; i < got; ++i) {
            const auto frame = m.step(m.block[2 * i], m.block[2 * i + 1]);
            out[2 * (done + i)] = frame[0] * volume;
            out[2 * (done + i) + 1] = frame[1] * volume;
        }
        done += got;
    }
    return done;
}

void MusicRenderer::solo(int channel) {
    for (int ch = 0; impl_->mixer && ch < impl_->song->get_num_channels(); ++ch)
        impl_->mixer->set_channel_mute_status(ch, channel >= 0 && ch != channel);
}

int MusicRenderer::channels() const { return impl_->song->get_num_channels(); }
int MusicRenderer::currentOrder() const { return impl_->song->get_current_order(); }
double MusicRenderer::durationSeconds() const { return impl_->song->get_duration_seconds(); }

// ---- The player -------------------------------------------------------------

struct OpenmptPlayer::Instance {
    const std::atomic<float>* gain = nullptr;  // the player's volume
    bool looping = false;
    int32_t windowHandle = 0;
    // The song keeps logging into this stream, possibly from the audio
    // thread, so each instance has its own and it outlives the song.
    NullBuffer logBuffer;
    std::ostream log{&logBuffer};
    std::unique_ptr<MusicRenderer> song;
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
            // Fewer frames only when the song is over (not looping): the rest is silence.
            done = inst->song->render(out, frames, inst->gain->load(std::memory_order_relaxed));
        } catch (...) {
            // Nothing may escape into SDL's thread; a failing render is silence.
            done = 0;
        }
    }
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

std::unique_ptr<MusicRenderer> loadSong(const char* path, Instance& inst, const PlayerReport& report) {
    std::vector<char> data;
    std::string why;
    if (!readWholeFile(path, data, why)) {
        if (report) report("no music: " + why);
        return nullptr;
    }
    try {
        return std::make_unique<MusicRenderer>(data, inst.looping, inst.log);
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
    // callback always sees float stereo at our rate. In a browser the song
    // is rendered at the audio context's own rate instead: SDL's conversion
    // there runs on the page's main thread, between its frames.
#ifdef __EMSCRIPTEN__
    const int changes = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
#else
    const int changes = 0;
#endif
    inst.attached = true;  // before the audio thread exists, so no lock needed
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, changes);
    if (dev == 0) {
        noDevice();
        inst.attached = false;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    if (changes != 0) inst.song->setSampleRate(have.freq);
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
