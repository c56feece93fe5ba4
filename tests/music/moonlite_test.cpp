// SPDX-License-Identifier: MIT
// The committed tune as the game plays it: what the generator writes, a seamless loop, an even level, small speakers.
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
#include <string>
#include <vector>

#include <unistd.h>

#include <libopenmpt/libopenmpt.hpp>

#include "loudness.h"
#include "modfile.h"
#include "musicplayer/openmpt_backend.h"
#include "song.h"

namespace fs = std::filesystem;
using namespace measure;

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

// As the game plays it, from the start, looping, `frames` long; with a channel number, that channel alone.
Render render(std::size_t frames, int only = -1) {
    std::ostringstream log;
    musicplayer::MusicRenderer m(readFile(HVEZDA_MOONLITE), true, log);
    m.solo(only);
    Render r{std::vector<float>(2 * frames), {}, {}};
    for (std::size_t n = 0; n < frames;) {
        if (r.orders.empty() || m.currentOrder() != r.orders.back())
            r.orders.push_back(m.currentOrder()), r.starts.push_back(n + musicplayer::MusicRenderer::kLatency);
        std::size_t got = m.render(r.s.data() + 2 * n, std::min<std::size_t>(48, frames - n));
        if (got == 0) break;
        n += got;
    }
    return r;
}

openmpt::module moonlite() { static std::ostringstream log; return openmpt::module(readFile(HVEZDA_MOONLITE), log); }

// The frame where the intro and the loop have played once.
std::size_t firstPassEnd() { return std::size_t(moonlite().get_duration_seconds() * kRate) + musicplayer::MusicRenderer::kLatency; }

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

// What hvezda-render-music writes (the intro and one pass of the loop), its patterns in turn.
Render renderMusic(int channel = -1) {
    const fs::path out = fs::temp_directory_path() / ("music-" + std::to_string(::getpid()) + ".wav");
    std::string cmd = std::string("\"") + HVEZDA_RENDER_MUSIC + "\" --orders \"" + out.string() + "\"";
    if (channel >= 0) cmd += " --channel " + std::to_string(channel);
    Render w;
    FILE* orders = ::popen(cmd.c_str(), "r");
    long long frame = 0;
    int order = 0;
    while (orders && std::fscanf(orders, "%lld %d", &frame, &order) == 2)
        w.starts.push_back(std::size_t(frame)), w.orders.push_back(order);
    EXPECT_TRUE(orders && ::pclose(orders) == 0) << cmd;
    SF_INFO info{};
    SNDFILE* file = sf_open(out.string().c_str(), SFM_READ, &info);
    EXPECT_TRUE(file && info.samplerate == kRate && info.channels == 2) << out;
    if (file) {
        w.s.resize(std::size_t(2 * info.frames));
        sf_readf_float(file, w.s.data(), info.frames);
        sf_close(file);
    }
    fs::remove(out);
    return w;
}

const Render& music() { static const Render w = renderMusic(); return w; }

}  // namespace

TEST(Moonlite, GeneratorReproducesCommittedFileByteForByte) {
    fs::path out = fs::temp_directory_path() / ("moonlite-" + std::to_string(::getpid()) + ".dat");
    std::string cmd = std::string("\"") + HVEZDA_MUSICGEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const auto fresh = readFile(out), committed = readFile(HVEZDA_MOONLITE);
    fs::remove(out);
    ASSERT_FALSE(committed.empty());
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
    openmpt::module m = moonlite();
    const double length = m.get_duration_seconds();
    EXPECT_TRUE(length >= 120.0 && length <= 200.0) << length << " s";

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

// Bass and kick sit in the middle, and no part's note is cut at the loop's end.
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

// The renderer keeps a true peak under -1 dBTP however hard driven, and leaves a quiet song as libopenmpt plays it.
TEST(Loudness, LimiterHoldsTheCeilingAndLeavesQuietMusicAlone) {
    auto module = [](int volume) {  // a looped sine, a note on every channel
        std::vector<int8_t> sine;
        for (int i = 0; i < 256; ++i) sine.push_back(int8_t(std::lround(127 * std::sin(2 * M_PI * i / 32.0))));
        musicgen::Pattern p;
        for (int ch = 0; ch < musicgen::kChannels; ++ch) p.at(ch * 8, ch) = {12 + ch * 3, 1, 0, 0};
        const auto bytes = musicgen::serialize({"limit", {{"sine", sine, volume, 0, sine.size()}}, {p}, {0}});
        return std::vector<char>(bytes.begin(), bytes.end());
    };
    std::ostringstream log;
    for (int volume : {64, 8}) {
        const auto bytes = module(volume);
        musicplayer::MusicRenderer limited(bytes, false, log);
        std::vector<float> out(2 * 8 * kRate), half(out.size());
        out.resize(2 * limited.render(out.data(), out.size() / 2));
        musicplayer::MusicRenderer again(bytes, false, log);
        half.resize(2 * again.render(half.data(), half.size() / 2, 0.5f));
        ASSERT_EQ(out.size(), half.size());
        for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(half[i], 0.5f * out[i]) << i;  // the volume scales, after the limiter

        openmpt::module plain(bytes, log);
        plain.set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, musicplayer::MusicRenderer::kMasterGainMillibel);
        std::vector<float> raw(out.size());
        raw.resize(2 * plain.read_interleaved_stereo(kRate, raw.size() / 2, raw.data()));
        ASSERT_EQ(out.size(), raw.size() + 2 * musicplayer::MusicRenderer::kLatency);
        const double rawPeak = r128(raw).truePeak, peak = r128(out).truePeak;
        if (volume == 64) {
            EXPECT_GT(rawPeak, 3.0) << "the loud song must clip without the limiter";
            EXPECT_TRUE(peak <= -1.0 && peak > -2.0) << peak << " dBTP from the renderer";
        } else {
            ASSERT_LT(rawPeak, -3.0);
            for (std::size_t i = 0; i < raw.size(); ++i) ASSERT_EQ(out[i + 2 * musicplayer::MusicRenderer::kLatency], raw[i]) << i;
        }
    }
}

// As loud as game music, patterns within 8 LU of each other and across their borders, a true peak <= -1 dBTP.
TEST(Loudness, HoldsItsLevelThroughTheLoop) {
    const Render& w = music();
    const auto patterns = std::size_t(moonlite().get_num_orders());
    ASSERT_EQ(w.starts.size(), patterns);
    const R128 all = r128(w.s);
    EXPECT_NEAR(all.integrated, -16.5, 1.0);
    EXPECT_LE(all.range, 8.0);
    EXPECT_LE(all.truePeak, -1.0);
    std::vector<double> level;
    for (std::size_t i = 0; i < patterns; ++i) {
        const std::size_t from = w.starts[i], to = i + 1 < patterns ? w.starts[i + 1] : w.s.size() / 2;
        level.push_back(r128(w.s, from, to).integrated);
        if (i == 0) continue;
        const double border = r128(w.s, from, from + 3 * kRate).shortTerm - r128(w.s, from - 3 * kRate, from).shortTerm;
        EXPECT_LE(std::fabs(level[i] - level[i - 1]), 8.0) << "pattern " << i << " at " << level[i] << " LUFS after " << level[i - 1];
        EXPECT_LE(std::fabs(border), 8.0) << "pattern " << i << ": " << border << " LU across its border";
    }
    const auto [quietest, loudest] = std::minmax_element(level.begin(), level.end());
    EXPECT_LE(*loudest - *quietest, 8.0) << "loudest pattern " << *loudest << ", quietest " << *quietest << " LUFS";
}

// Small speakers: room in the low end, the kit and the snare carry, the lead round rather than nasal.
TEST(Loudness, ReachesSmallSpeakers) {
    const double below100 = shareThrough(music().s, butterworth(Biquad::kLow, 100), 2);
    const auto kit = renderMusic(musicgen::kKickChannel).s;
    const double kitLoss = -10 * std::log10(shareThrough(kit, butterworth(Biquad::kHigh, 250), 2));
    // The snare as it is played, at the drums' pitch (B-3, period 113).
    const musicgen::Module m = musicgen::composeMoonlite();
    const auto& snareSample = m.samples.at(6);
    ASSERT_EQ(snareSample.name, "snare");
    std::vector<float> snare(snareSample.data.begin(), snareSample.data.end());
    const double snareLow = shareThrough(snare, butterworth(Biquad::kLow, 2000, 3546895.0 / 113));
    EXPECT_LE(below100, 0.28) << "the share of the mix below 100 Hz";
    EXPECT_LE(kitLoss, 6.0) << "dB the kit loses through 250 Hz";
    EXPECT_GE(snareLow, 0.20) << "the snare's share below 2 kHz";

    // The lead, note by note: its harmonics 2 to 4 against its fundamental, through band-passes, per pattern.
    const Render lead = renderMusic(musicgen::kLeadChannel);
    int sections = 0, round = 0;
    for (std::size_t p = 0; p < m.patterns.size(); ++p) {
        double fundamental = 0.0, upper = 0.0;
        auto pattern = m.patterns[p];
        for (int row = 0; row < musicgen::kRows; ++row) {
            const musicgen::Cell& c = pattern.at(row, musicgen::kLeadChannel);
            if (c.note == musicgen::kNoNote || (c.instrument != 2 && c.instrument != 3)) continue;
            int end = row + 1;
            while (end < musicgen::kRows && pattern.at(end, musicgen::kLeadChannel).note == musicgen::kNoNote &&
                   pattern.at(end, musicgen::kLeadChannel).effect != 0xA)
                ++end;
            const double f0 = 3546895.0 / musicgen::periodOf(c.note) / (c.instrument == 2 ? 32 : 16);
            const std::size_t from = lead.starts[p] + std::size_t(row) * 4800 + 1440, to = lead.starts[p] + std::size_t(end) * 4800;
            for (int k = 1; k <= 4; ++k) {
                Biquad band[2] = {Biquad::make(Biquad::kBand, k * f0, 6), Biquad::make(Biquad::kBand, k * f0, 6)};
                double e = 0.0;
                for (std::size_t i = from - 960; i < to && i < lead.s.size() / 2; ++i) {
                    const double y = band[1](band[0](0.5f * (lead.s[2 * i] + lead.s[2 * i + 1])));  // both sides' mean
                    if (i >= from) e += y * y;
                }
                (k == 1 ? fundamental : upper) += e;
            }
        }
        if (fundamental == 0.0) continue;
        ++sections;
        round += upper <= 0.6 * fundamental;
    }
    EXPECT_GE(sections, 10);
    EXPECT_GE(2 * round, sections) << "the lead's harmonics 2-4 carry under 0.6 of its fundamental's energy in " << round
                                   << " of its " << sections << " patterns";
}
