// SPDX-License-Identifier: MIT
// The committed tune must be exactly what the generator writes, and it must
// hold up as music. Everything is measured on the committed file rendered by
// libopenmpt at its defaults, as the game plays it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>
#include <sstream>
#include <vector>

#include <unistd.h>

#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include "song.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 48000;

std::vector<char> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Render {
    std::vector<float> s;              // interleaved stereo
    std::vector<int> orders;           // each pattern played, in turn...
    std::vector<std::size_t> starts;   // ...and the frame it starts on (to 1 ms)
};

// From the start, looping, `frames` long; with a channel number, that channel alone.
Render render(std::size_t frames, int only = -1) {
    std::ostringstream log;
    openmpt::module_ext m(readFile(HVEZDA_MOONLITE), log);
    auto* mixer = static_cast<openmpt::ext::interactive*>(m.get_interface(openmpt::ext::interactive_id));
    for (int ch = 0; only >= 0 && ch < m.get_num_channels(); ++ch) mixer->set_channel_mute_status(ch, ch != only);
    m.set_repeat_count(-1);
    Render r;
    r.s.resize(2 * frames);
    for (std::size_t n = 0; n < frames;) {
        if (r.orders.empty() || m.get_current_order() != r.orders.back()) {
            r.orders.push_back(m.get_current_order());
            r.starts.push_back(n);
        }
        std::size_t got = m.read_interleaved_stereo(kRate, std::min<std::size_t>(48, frames - n), r.s.data() + 2 * n);
        if (got == 0) break;
        n += got;
    }
    return r;
}

// The frame where the intro and the loop have played once.
std::size_t firstPassEnd() {
    std::ostringstream log;
    return std::size_t(openmpt::module(readFile(HVEZDA_MOONLITE), log).get_duration_seconds() * kRate);
}

// The intro and the loop once, and a second into the loop's next pass.
const Render& firstPass() {
    static const Render r = render(firstPassEnd() + kRate);
    return r;
}

double db(double x) { return 20.0 * std::log10(x); }

double rmsDb(const std::vector<float>& s, std::size_t from, std::size_t to, int side = -1) {  // frames
    double sum = 0.0;
    for (std::size_t i = 2 * from; i < 2 * to; ++i)
        if (side < 0 || int(i % 2) == side) sum += double(s[i]) * s[i];
    return db(std::sqrt(sum / double((side < 0 ? 2 : 1) * (to - from))));
}

// A filter section from the audio EQ cookbook; four in a row with these Qs
// make an 8th-order Butterworth filter.
constexpr double kButterworthQ[4] = {0.5098, 0.6013, 0.9000, 2.5629};
struct Biquad {
    double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    Biquad(bool high, double hz, double q) {
        const double w = 2 * M_PI * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        b0 = b2 = (high ? 1 + c : 1 - c) / 2 / a0;
        b1 = (high ? -1 - c : 1 - c) / a0;
        a1 = -2 * c / a0;
        a2 = (1 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
};

// One channel of a pattern as its notes' rows and steps from its first note
// within the octave: a transposed copy gives the same, even where its bass or
// chords wrap round into another octave or its lead into its other sample.
std::vector<int> shape(const openmpt::module& m, int pattern, int channel) {
    std::vector<int> out;
    for (int row = 0, first = -1; row < m.get_pattern_num_rows(pattern); ++row) {
        const int note = m.get_pattern_row_channel_command(pattern, row, channel, openmpt::module::command_note);
        if (note == 0) continue;
        first = first < 0 ? note : first;
        out.insert(out.end(), {row, (note - first + 120) % 12});
    }
    return out;
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
    const Render& r = firstPass();
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

TEST(Moonlite, PeaksBelowMinusOneDbAndTheLoopsSectionsDifferInLevel) {
    const Render& r = firstPass();
    const std::size_t end = firstPassEnd();
    float peak = 0.0f;
    for (std::size_t i = 0; i < 2 * end; ++i) peak = std::max(peak, std::fabs(r.s[i]));
    EXPECT_LT(db(peak), -1.0);  // so nothing clips either
    for (std::size_t i = 0; r.starts[i + 1] <= end; ++i)
        EXPECT_GT(rmsDb(r.s, r.starts[i], r.starts[i + 1]), -40.0) << "pattern " << r.orders[i] << " is all but silent";
    // 8-second levels through the loop: with its quietest 16 s left out, they still span 6 dB.
    std::vector<double> levels;
    for (std::size_t at = r.starts[1]; at + 8 * kRate <= end; at += 8 * kRate) levels.push_back(rmsDb(r.s, at, at + 8 * kRate));
    std::sort(levels.begin(), levels.end());
    ASSERT_GE(levels.size(), 12u);
    EXPECT_GE(levels.back() - levels[2], 6.0);
}

TEST(Moonlite, WideAndBright) {  // side against mid energy, and the share of 2-8 kHz that carries on small speakers
    const Render& r = firstPass();
    double mid = 0.0, side = 0.0, all = 0.0, band = 0.0;
    std::vector<Biquad> filters;  // for each side: four high-pass at 2 kHz, four low-pass at 8 kHz
    for (int i = 0; i < 16; ++i) filters.emplace_back(i % 8 < 4, i % 8 < 4 ? 2000.0 : 8000.0, kButterworthQ[i % 4]);
    for (std::size_t i = 0, end = firstPassEnd(); i < end; ++i) {
        const double l = r.s[2 * i], right = r.s[2 * i + 1];
        mid += (l + right) * (l + right), side += (l - right) * (l - right), all += l * l + right * right;
        for (int c = 0; c < 2; ++c) {
            double x = r.s[2 * i + c];
            for (int f = 8 * c; f < 8 * c + 8; ++f) x = filters[f](x);
            band += x * x;
        }
    }
    EXPECT_GE(10 * std::log10(side / mid), -16.0);
    EXPECT_LE(10 * std::log10(side / mid), -9.0);
    EXPECT_GE(band / all, 0.05);
}

TEST(Moonlite, NoLoopPatternRepeatsAnotherTransposed) {
    std::ostringstream log;
    openmpt::module m(readFile(HVEZDA_MOONLITE), log);
    for (int a = 1; a < m.get_num_orders(); ++a) {
        for (int b = 1; b < a; ++b) {
            int same = 0;
            for (int ch = 0; ch < m.get_num_channels(); ++ch)
                same += shape(m, m.get_order_pattern(a), ch) == shape(m, m.get_order_pattern(b), ch);
            EXPECT_LT(same, m.get_num_channels()) << "pattern " << a << " repeats pattern " << b;
        }
    }
}

TEST(Moonlite, BassAndKickCentredEveryPartPlaysOnAcrossTheSeamAndSectionsDifferInWhatPlays) {
    const std::size_t seam = firstPassEnd(), ms20 = kRate / 50;
    std::vector<int> playing(firstPass().starts.size());  // each pattern's channels, a bit each
    for (int ch = 0; ch < musicgen::kChannels; ++ch) {
        const Render r = render(seam + ms20, ch);
        if (ch == musicgen::kBassChannel || ch == musicgen::kKickChannel) {
            EXPECT_LT(std::fabs(rmsDb(r.s, 0, seam, 0) - rmsDb(r.s, 0, seam, 1)), 0.5) << "channel " << ch;
        }
        // Whatever sounds as the loop ends still sounds as it starts again: no note is cut.
        const double before = rmsDb(r.s, seam - ms20, seam);
        if (before > -50.0) {
            EXPECT_GT(rmsDb(r.s, seam + ms20 / 4, seam + ms20), before - 10.0) << "channel " << ch;
        }
        // A pattern's first second may still hold the one before's last notes.
        for (std::size_t i = 1; i + 1 < r.starts.size(); ++i)
            playing[i] |= (rmsDb(r.s, r.starts[i] + kRate, r.starts[i + 1]) > -50.0) << ch;
    }
    EXPECT_GE(std::set<int>(playing.begin() + 1, playing.end() - 1).size(), 4u);
}
