// SPDX-License-Identifier: MIT
// Loudness, its range and the true peak (EBU R 128, through libebur128); Butterworth filters; at 48 kHz unless said.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <ebur128.h>
#include <gtest/gtest.h>

namespace measure {

constexpr int kRate = 48000;

struct Biquad {
    double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double operator()(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
    // The audio EQ cookbook's low-pass, high-pass and band-pass (0 dB peak).
    enum Kind { kLow, kHigh, kBand };
    static Biquad make(Kind kind, double hz, double q, double rate = kRate) {
        const double w = 2 * M_PI * hz / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        Biquad f{};
        if (kind == kBand) {
            f.b0 = alpha / a0, f.b1 = 0, f.b2 = -alpha / a0;
        } else {
            f.b0 = f.b2 = (kind == kHigh ? 1 + c : 1 - c) / 2 / a0;
            f.b1 = (kind == kHigh ? -1 - c : 1 - c) / a0;
        }
        f.a1 = -2 * c / a0, f.a2 = (1 - alpha) / a0;
        return f;
    }
};

// Four sections with these Qs make an 8th-order Butterworth filter.
inline std::vector<Biquad> butterworth(Biquad::Kind kind, double hz, double rate = kRate) {
    std::vector<Biquad> out;
    for (double q : {0.5098, 0.6013, 0.9000, 2.5629}) out.push_back(Biquad::make(kind, hz, q, rate));
    return out;
}

// The share of a signal's energy (interleaved, of `sides` sides) that passes the filters, each side its own.
inline double shareThrough(const std::vector<float>& x, const std::vector<Biquad>& filters, std::size_t sides = 1) {
    std::vector<std::vector<Biquad>> f(sides, filters);
    double all = 0.0, kept = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        double y = x[i];
        for (Biquad& b : f[i % sides]) y = b(y);
        all += double(x[i]) * x[i], kept += y * y;
    }
    return all > 0 ? kept / all : 0.0;
}

// What libebur128 reads of the frames [from, to) of interleaved stereo, in one state in all its modes.
struct R128 {
    double integrated = 0.0;  // LUFS
    double range = 0.0;       // LU
    double shortTerm = 0.0;   // LUFS, of the last 3 s
    double truePeak = 0.0;    // dBTP, of both sides
};
inline R128 r128(const std::vector<float>& s, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    to = std::min(to, s.size() / 2);
    ebur128_state* state = ebur128_init(2, kRate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    R128 r;
    double left = 0.0, right = 0.0;
    const bool failed = ebur128_add_frames_float(state, s.data() + 2 * from, to - from) ||
                        ebur128_loudness_global(state, &r.integrated) || ebur128_loudness_range(state, &r.range) ||
                        ebur128_loudness_shortterm(state, &r.shortTerm) || ebur128_true_peak(state, 0, &left) ||
                        ebur128_true_peak(state, 1, &right);
    ebur128_destroy(&state);
    EXPECT_FALSE(failed) << "libebur128 could not read frames " << from << " to " << to;
    r.truePeak = 20 * std::log10(std::max(left, right));
    return r;
}

}  // namespace measure
