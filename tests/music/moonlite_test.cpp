// The committed tune must be exactly what the generator writes, and it must
// be music: long enough, loud enough, never clipping, looping without a gap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <unistd.h>

#include <libopenmpt/libopenmpt.hpp>

#include "modfile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 48000;

std::vector<char> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<float> render(openmpt::module& m, std::size_t maxFrames) {
    std::vector<float> out(2 * maxFrames);
    std::size_t n = 0;
    while (n < maxFrames) {
        std::size_t got = m.read_interleaved_stereo(kRate, std::min<std::size_t>(4096, maxFrames - n), out.data() + 2 * n);
        if (got == 0) break;
        n += got;
    }
    out.resize(2 * n);
    return out;
}

double rms(const std::vector<float>& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
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

TEST(Moonlite, LoadsAndLastsBetween45And90Seconds) {
    std::ostringstream log;
    openmpt::module m(readFile(HVEZDA_MOONLITE), log);
    EXPECT_EQ(m.get_num_channels(), 4);
    EXPECT_GE(m.get_duration_seconds(), 45.0);
    EXPECT_LE(m.get_duration_seconds(), 90.0);
}

TEST(Moonlite, RendersAudibleUnclippedMusicThroughout) {
    std::ostringstream log;
    openmpt::module m(readFile(HVEZDA_MOONLITE), log);
    auto s = render(m, std::size_t(100 * kRate));
    ASSERT_GE(s.size() / 2, std::size_t(45 * kRate));

    float peak = 0.0f;
    std::size_t clipped = 0;
    for (float v : s) {
        peak = std::max(peak, std::fabs(v));
        if (std::fabs(v) >= 0.999f) ++clipped;
    }
    EXPECT_EQ(clipped, 0u);
    EXPECT_LT(peak, 0.95f);
    EXPECT_GT(peak, 0.3f);
    double overall = rms(s, 0, s.size());
    EXPECT_GT(overall, 0.08);  // about -22 dBFS
    EXPECT_LT(overall, 0.35);
    // No stretch of a second falls near silence, except the fade at the very end.
    const std::size_t second = 2 * kRate;
    for (std::size_t at = 0; at + 2 * second <= s.size(); at += second)
        EXPECT_GT(rms(s, at, at + second), 0.03) << "quiet at " << at / second << " s";
}

TEST(Moonlite, LoopsWithoutAGapAndRepeatsItself) {
    std::ostringstream log;
    openmpt::module m(readFile(HVEZDA_MOONLITE), log);
    m.set_repeat_count(-1);
    const std::size_t length = std::size_t(m.get_duration_seconds() * kRate);
    auto s = render(m, 2 * length + kRate);
    ASSERT_EQ(s.size(), 2 * (2 * length + kRate));
    // Sound carries straight across the restart...
    const std::size_t tenth = 2 * (kRate / 10);
    for (std::size_t at = 2 * length - 3 * tenth; at < 2 * length + 3 * tenth; at += tenth)
        EXPECT_GT(rms(s, at, at + tenth), 0.03) << "gap near the restart";
    // ...and once the last pattern's tails have died away, the second pass is the first again.
    double worst = 0.0;
    for (std::size_t i = 2 * kRate; i < 2 * (length - kRate); ++i)
        worst = std::max(worst, double(std::fabs(s[i] - s[i + 2 * length])));
    EXPECT_LT(worst, 1e-3);
}

TEST(ModuleWriter, NotesMapToTheStandardPeriods) {
    using namespace musicgen;
    EXPECT_EQ(periodOf(noteIndex('C', false, 1)), 856);
    EXPECT_EQ(periodOf(noteIndex('A', false, 2)), 254);
    EXPECT_EQ(periodOf(noteIndex('G', true, 3)), 135);
    EXPECT_EQ(periodOf(noteIndex('B', false, 3)), 113);
    EXPECT_EQ(noteIndex('C', false, 4), kNoNote);
    EXPECT_EQ(noteIndex('H', false, 2), kNoNote);
}
