// SPDX-License-Identifier: MIT
// The committed tune must be exactly what the generator writes, loop without a
// seam, and sound as the game needs it: as loud as game music is, with no
// holes, and with a kit that small speakers still carry. Everything is
// measured on the committed file as the game plays it (the real player's
// renderer: libopenmpt, the game's gain and limiter), the loudness on what
// hvezda-render-music writes.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>
#include <vector>

#include <unistd.h>

#include <libopenmpt/libopenmpt.hpp>

#include "loudness.h"
#include "modfile.h"
#include "musicplayer/openmpt_backend.h"
#include "song.h"

namespace fs = std::filesystem;
using measure::kRate;

namespace {

std::vector<char> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Render {
    std::vector<float> s;              // interleaved stereo
    std::vector<int> orders;           // each pattern played, in turn...
    std::vector<std::size_t> starts;   // ...and the frame it starts on (to 1 ms)
};

// As the game plays it, from the start, looping, `frames` long; with a channel
// number, that channel alone.
Render render(std::size_t frames, int only = -1, const std::vector<char>& module = readFile(HVEZDA_MOONLITE)) {
    std::ostringstream log;
    MusicRenderer m(module, true, log);
    m.solo(only);
    Render r;
    r.s.resize(2 * frames);
    for (std::size_t n = 0; n < frames;) {
        if (r.orders.empty() || m.currentOrder() != r.orders.back()) {
            r.orders.push_back(m.currentOrder());
            r.starts.push_back(n + MusicRenderer::kLatency);
        }
        std::size_t got = m.render(r.s.data() + 2 * n, std::min<std::size_t>(48, frames - n));
        if (got == 0) break;
        n += got;
    }
    return r;
}

// The frame where the intro and the loop have played once.
std::size_t firstPassEnd() {
    std::ostringstream log;
    return std::size_t(openmpt::module(readFile(HVEZDA_MOONLITE), log).get_duration_seconds() * kRate) +
           MusicRenderer::kLatency;
}

double rmsDb(const std::vector<float>& s, std::size_t from, std::size_t to, int side = -1) {  // frames
    double sum = 0.0;
    for (std::size_t i = 2 * from; i < 2 * to; ++i)
        if (side < 0 || int(i % 2) == side) sum += double(s[i]) * s[i];
    return 10 * std::log10(sum / double((side < 0 ? 2 : 1) * (to - from)));
}

// The largest change from one sample to the next within 5 ms of a frame.
double largestStep(const std::vector<float>& s, std::size_t frame) {
    double worst = 0.0;
    for (std::size_t i = 2 * (frame - kRate / 200); i < 2 * (frame + kRate / 200); ++i)
        worst = std::max(worst, double(std::fabs(s[i + 2] - s[i])));
    return worst;
}

}  // namespace

TEST(Moonlite, GeneratorReproducesCommittedFileByteForByte) {
    fs::path out = fs::temp_directory_path() / ("moonlite-" + std::to_string(::getpid()) + ".dat");
    std::string cmd = std::string("\"") + HVEZDA_MUSICGEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    auto fresh = readFile(out);
    auto committed = readFile(HVEZDA_MOONLITE);
    fs::remove(out);
    ASSERT_FALSE(committed.empty());
    EXPECT_EQ(fresh.size(), committed.size());
    EXPECT_TRUE(fresh == committed) << "regenerate assets/Moonlite.dat with hvezda-musicgen";
}

TEST(Moonlite, NoSampleHasADcOffset) {  // in the whole sample, and in its loop if it has one
    for (const auto& sample : musicgen::composeMoonlite().samples) {
        auto mean = [&](std::size_t from, std::size_t n) {
            return n ? std::accumulate(sample.data.begin() + from, sample.data.begin() + from + n, 0.0) / double(n) : 0.0;
        };
        EXPECT_LT(std::fabs(mean(0, sample.data.size())), 0.1) << sample.name;
        EXPECT_LT(std::fabs(mean(sample.loopStart, sample.loopLength)), 0.1) << sample.name;
    }
}

TEST(Moonlite, IntroOnceThenTwoToThreeMinutesThatLoopBackToTheFirstSection) {
    std::ostringstream log;
    openmpt::module m(readFile(HVEZDA_MOONLITE), log);
    const double length = m.get_duration_seconds();
    EXPECT_GE(length, 120.0);
    EXPECT_LE(length, 200.0);

    // Its patterns in turn, then back to the first after the intro, just when the length is up.
    const Render r = render(firstPassEnd() + kRate);
    const int patterns = m.get_num_orders();
    ASSERT_EQ(r.orders.size(), std::size_t(patterns + 1));
    for (int i = 0; i < patterns; ++i) EXPECT_EQ(r.orders[i], i);
    EXPECT_EQ(r.orders.back(), 1);
    EXPECT_NEAR(double(r.starts.back()) / kRate, length, 0.01);
}

TEST(Moonlite, LoopSeamIsNoHarderThanAnyPatternChangeAndTheLoopRepeatsExactly) {
    const std::size_t end = firstPassEnd();
    const Render r = render(3 * end);  // the intro and three passes of the loop
    std::vector<std::size_t> seams;
    double elsewhere = 0.0;
    for (std::size_t i = 1; i < r.starts.size(); ++i) {
        if (r.starts[i] + kRate / 100 >= r.s.size() / 2) break;
        if (r.orders[i] == 1 && r.starts[i] >= end - kRate / 100) {
            seams.push_back(r.starts[i]);
        } else {
            elsewhere = std::max(elsewhere, largestStep(r.s, r.starts[i]));
        }
    }
    ASSERT_GE(seams.size(), 2u);
    for (std::size_t seam : seams) EXPECT_LE(largestStep(r.s, seam), elsewhere);
    // Second and third pass: the same, sample for sample.
    const std::size_t loop = seams[1] - seams[0];
    ASSERT_LE(2 * (seams[1] + loop), r.s.size());
    double worst = 0.0;
    for (std::size_t i = 2 * seams[0]; i < 2 * seams[1]; ++i) worst = std::max(worst, double(std::fabs(r.s[i] - r.s[i + 2 * loop])));
    EXPECT_LT(worst, 1e-6);
}

// Bass and kick sit in the middle, and whatever sounds as the loop ends still
// sounds as it starts again: no note is cut.
TEST(Moonlite, BassAndKickCentredAndEveryPartPlaysOnAcrossTheSeam) {
    const std::size_t seam = firstPassEnd(), ms20 = kRate / 50;
    for (int ch = 0; ch < musicgen::kChannels; ++ch) {
        const Render r = render(seam + ms20, ch);
        if (ch == musicgen::kBassChannel || ch == musicgen::kKickChannel) {
            EXPECT_LT(std::fabs(rmsDb(r.s, 0, seam, 0) - rmsDb(r.s, 0, seam, 1)), 0.5) << "channel " << ch;
        }
        const double before = rmsDb(r.s, seam - ms20, seam);
        if (before > -50.0) {
            EXPECT_GT(rmsDb(r.s, seam + ms20 / 4, seam + ms20), before - 10.0) << "channel " << ch;
        }
    }
}
