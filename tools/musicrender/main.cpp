// SPDX-License-Identifier: MIT
// hvezda-render-music: writes what the game plays to a WAV file, the intro and
// one pass of the loop (the module's length), 48 kHz float stereo, through
// the game's own music backend at the default settings' volume: the file to
// measure the music on.
#include <sndfile.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "musicplayer/openmpt_backend.h"
#include "platform/settings.h"

int main(int argc, char** argv) {
    CLI::App app{"Writes the game's music, as the game plays it, to a WAV file."};
    std::string module = HVEZDA_MODULE, out;
    int channel = -1;
    bool orders = false;
    app.add_option("OUT", out, "the WAV file to write")->required();
    app.add_option("--module", module, "the module to play")->capture_default_str();
    app.add_option("--channel", channel, "only this channel of the module sounds (0 to 5)");
    app.add_flag("--orders", orders, "print the frame each pattern starts on, one \"FRAME ORDER\" a line");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;  // --help is no error; a wrong command line is status 2
    }

    std::ifstream in(module, std::ios::binary);
    const std::vector<char> data{std::istreambuf_iterator<char>(in), {}};
    if (!in || data.empty()) {
        std::fprintf(stderr, "hvezda-render-music: cannot read %s\n", module.c_str());
        return 1;
    }
    std::ostringstream log;
    try {
        MusicRenderer song(data, false, log);
        if (channel >= song.channels()) throw std::runtime_error("the module has no channel " + std::to_string(channel));
        song.solo(channel);
        const float volume = float(plat::Settings{}.musicVolume) / 100.0f;

        SF_INFO info{};
        info.samplerate = MusicRenderer::kSampleRate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(out.c_str(), SFM_WRITE, &info);
        if (!file) throw std::runtime_error("cannot write " + out + ": " + sf_strerror(nullptr));
        // Frames are counted on the song's own time: the renderer gives each
        // one kLatency frames after it took it in, and those first frames of
        // silence are left out. One pass is the module's length exactly.
        const auto length = static_cast<long long>(std::llround(song.durationSeconds() * MusicRenderer::kSampleRate));
        const auto latency = static_cast<long long>(MusicRenderer::kLatency);
        std::vector<float> block(2 * 48);  // 1 ms, the precision of --orders
        long long fed = 0;
        int order = -1;
        while (fed - latency < length) {
            if (orders && song.currentOrder() != order && fed < length) {
                order = song.currentOrder();
                std::printf("%lld %d\n", fed, order);
            }
            const auto got = static_cast<long long>(song.render(block.data(), block.size() / 2, volume));
            if (got == 0) break;
            const long long from = std::max(0LL, latency - fed), to = std::min(got, length + latency - fed);
            fed += got;
            if (to <= from) continue;
            if (sf_writef_float(file, block.data() + 2 * from, to - from) != to - from) {
                sf_close(file);
                throw std::runtime_error("cannot write " + out);
            }
        }
        if (sf_close(file) != 0) throw std::runtime_error("cannot write " + out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hvezda-render-music: %s\n", e.what());
        return 1;
    }
    return 0;
}
