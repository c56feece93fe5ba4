// SPDX-License-Identifier: MIT
// Loudness (ITU-R BS.1770, EBU R 128), the true peak (4x oversampled), Butterworth filters; at 48 kHz unless said.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

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

// Interleaved stereo to the mean of its two sides.
inline std::vector<float> mono(const std::vector<float>& s) {
    std::vector<float> m(s.size() / 2);
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = 0.5f * (s[2 * i] + s[2 * i + 1]);
    return m;
}

inline double lufs(double meanSquare) { return -0.691 + 10 * std::log10(meanSquare); }

// The K-weighted mean square (both sides summed) of every 100 ms of interleaved stereo.
inline std::vector<double> kWeightedPower(const std::vector<float>& s) {
    // The two stages at 48 kHz, as the standard gives them.
    const Biquad shelf{1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241, 0.73248077421585};
    const Biquad rlb{1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621};
    Biquad f[2][2] = {{shelf, rlb}, {shelf, rlb}};
    std::vector<double> out;
    double sum = 0.0;
    const std::size_t step = kRate / 10;
    for (std::size_t i = 0; i < s.size() / 2; ++i) {
        for (int c = 0; c < 2; ++c) {
            const double y = f[c][1](f[c][0](s[2 * i + c]));
            sum += y * y;
        }
        if ((i + 1) % step == 0) out.push_back(sum / double(step)), sum = 0.0;
    }
    return out;
}

// The mean of `span` consecutive 100 ms powers starting at each one from `from` to `to`.
inline std::vector<double> windows(const std::vector<double>& power, std::size_t from, std::size_t to, std::size_t span) {
    std::vector<double> out;
    for (std::size_t i = from; i + span <= std::min(to, power.size()); ++i) {
        double sum = 0.0;
        for (std::size_t k = 0; k < span; ++k) sum += power[i + k];
        out.push_back(sum / double(span));
    }
    return out;
}

// Integrated loudness of the 100 ms powers [from, to): gated 400 ms blocks.
inline double integrated(const std::vector<double>& power, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    const auto blocks = windows(power, from, to, 4);
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        int n = 0;
        for (double b : blocks)
            if (lufs(b) > gate) sum += b, ++n;
        return n ? sum / n : 0.0;
    };
    const double ungated = gatedMean(-70.0);
    return ungated > 0 ? lufs(gatedMean(lufs(ungated) - 10.0)) : -HUGE_VAL;
}

// Loudness range: the 10th to 95th percentile of the 3 s values over -70 LUFS and 20 LU under their mean.
inline double loudnessRange(const std::vector<double>& power) {
    std::vector<double> st;
    double sum = 0.0;
    for (double w : windows(power, 0, power.size(), 30))
        if (lufs(w) > -70.0) st.push_back(w), sum += w;
    if (st.empty()) return 0.0;
    const double gate = lufs(sum / double(st.size())) - 20.0;
    std::vector<double> kept;
    for (double w : st)
        if (lufs(w) > gate) kept.push_back(lufs(w));
    std::sort(kept.begin(), kept.end());
    auto at = [&](double p) { return kept[std::size_t(std::lround(p * double(kept.size() - 1)))]; };
    return at(0.95) - at(0.10);
}

// The true peak in dBTP: every side upsampled 4x through a 64-tap windowed sinc.
inline double truePeakDb(const std::vector<float>& s) {
    constexpr int half = 32;
    double taps[4][2 * half];
    for (int phase = 0; phase < 4; ++phase)
        for (int k = 0; k < 2 * half; ++k) {
            const double x = k - (half - 1) - phase / 4.0;
            const double w = 0.42 + 0.5 * std::cos(M_PI * x / half) + 0.08 * std::cos(2 * M_PI * x / half);  // Blackman
            taps[phase][k] = (x == 0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x)) * w;
        }
    const std::ptrdiff_t frames = std::ptrdiff_t(s.size() / 2);
    double peak = 0.0;
    for (int c = 0; c < 2; ++c)
        for (std::ptrdiff_t i = 0; i < frames; ++i) {
            const double here = std::fabs(s[2 * i + c]);
            peak = std::max(peak, here);
            // In music a point in between never comes near twice its neighbours.
            if (std::max(here, i + 1 < frames ? std::fabs(s[2 * i + 2 + c]) : 0.0) < 0.5 * peak) continue;
            for (int phase = 1; phase < 4; ++phase) {
                double v = 0.0;
                for (int k = 0; k < 2 * half; ++k) {
                    const std::ptrdiff_t j = i + k - (half - 1);
                    if (j >= 0 && j < frames) v += taps[phase][k] * s[2 * j + c];
                }
                peak = std::max(peak, std::fabs(v));
            }
        }
    return 20 * std::log10(peak);
}

}  // namespace measure
