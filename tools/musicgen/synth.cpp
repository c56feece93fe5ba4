#include "synth.h"

#include <cmath>
#include <vector>

namespace musicgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

int8_t quantise(double v) {
    if (v > 1.0) v = 1.0;
    if (v < -1.0) v = -1.0;
    return static_cast<int8_t>(std::lround(v * 127.0));
}

// Soft saturation (rational tanh approximation): warms drums without hard clipping.
double saturate(double x) {
    if (x > 3.0) return 1.0;
    if (x < -3.0) return -1.0;
    return x * (27.0 + x * x) / (27.0 + 9.0 * x * x);
}

// Scales so the loudest point reaches `peak`, prepends the two silent bytes a
// one-shot needs, and pads to an even length.
Sample finish(const char* name, const std::vector<double>& wave, double peak, int volume, std::size_t loopStart = 0,
              std::size_t loopLength = 0) {
    double maxAbs = 0.0;
    for (double v : wave) maxAbs = std::fabs(v) > maxAbs ? std::fabs(v) : maxAbs;
    double gain = maxAbs > 0.0 ? peak / maxAbs : 0.0;
    Sample s;
    s.name = name;
    s.volume = volume;
    s.data = {0, 0};
    for (double v : wave) s.data.push_back(quantise(v * gain));
    if (s.data.size() % 2) s.data.push_back(0);
    if (loopLength) {
        s.loopStart = loopStart + 2;
        s.loopLength = loopLength;
    }
    return s;
}

// One sample of a band-limited wave built from harmonics 1..count, where
// weight(k) gives each harmonic's amplitude; phase in cycles.
template <class Weight>
double additive(double phase, int count, Weight weight) {
    double v = 0.0;
    for (int k = 1; k <= count; ++k) v += weight(k) * sine(2.0 * kPi * k * phase);
    return v;
}

}  // namespace

double sine(double x) {
    // Reduce to [-pi, pi], fold to [-pi/2, pi/2], then a Taylor series that is
    // accurate to ~1e-8 there: far below 8-bit resolution.
    x -= 2.0 * kPi * std::floor(x / (2.0 * kPi) + 0.5);
    if (x > kPi / 2) x = kPi - x;
    if (x < -kPi / 2) x = -kPi - x;
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n <= 7; ++n) {
        term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

// Bass: saw with a touch of square, its low-pass closing over the first
// dozen cycles (the "pluck"), then one steady cycle looped.
Sample makeBass() {
    constexpr int cycle = 64, attackCycles = 12;
    auto at = [](double phase, double cutoff) {
        return additive(phase, 24, [cutoff](int k) {
            double saw = 1.0 / k;
            double square = (k % 2) ? 0.35 / k : 0.0;
            double c = k / cutoff;
            return (saw + square) / (1.0 + c * c * c * c);
        });
    };
    std::vector<double> w;
    const double endCutoff = 3.5;
    for (int i = 0; i < attackCycles * cycle; ++i) {
        double t = static_cast<double>(i) / (attackCycles * cycle);  // 0..1 over the attack
        double cutoff = endCutoff + 9.0 * (1.0 - t) * (1.0 - t);
        double amp = 0.8 + 0.2 * (1.0 - t);
        w.push_back(amp * at(static_cast<double>(i % cycle) / cycle, cutoff));
    }
    for (int i = 0; i < cycle; ++i) w.push_back(0.8 * at(static_cast<double>(i) / cycle, endCutoff));
    return finish("bass", w, 0.95, 50, attackCycles * cycle, cycle);
}

// Lead: 25% pulse, softened at the top, with a brighter onset. A single
// looped cycle keeps vibrato and slides clean.
Sample makeLead() {
    constexpr int cycle = 32, attackCycles = 8;
    auto at = [](double phase, double bright) {
        return additive(phase, 15, [bright](int k) {
            double pulse = sine(kPi * k * 0.25) / k;  // duty 25%
            double c = k / bright;
            return pulse / (1.0 + c * c);
        });
    };
    std::vector<double> w;
    const double endBright = 6.0;
    for (int i = 0; i < attackCycles * cycle; ++i) {
        double t = static_cast<double>(i) / (attackCycles * cycle);
        double amp = t < 0.1 ? t / 0.1 : 1.0 - 0.15 * (t - 0.1) / 0.9;
        w.push_back(amp * at(static_cast<double>(i % cycle) / cycle, endBright + 6.0 * (1.0 - t)));
    }
    for (int i = 0; i < cycle; ++i) w.push_back(0.85 * at(static_cast<double>(i) / cycle, endBright));
    return finish("lead", w, 0.9, 58, attackCycles * cycle, cycle);
}

// Chip: a raw square whose duty narrows as it dies away, so each arpeggio
// hit is a short bright "pling". One-shot.
Sample makeChip() {
    constexpr int cycle = 32, cycles = 80;
    std::vector<double> w;
    double amp = 1.0;
    for (int c = 0; c < cycles; ++c) {
        double duty = 0.5 - 0.3 * c / cycles;
        for (int i = 0; i < cycle; ++i) {
            w.push_back(amp * ((static_cast<double>(i) + 0.5) / cycle < duty ? 1.0 : -1.0));
            amp *= 0.99905;  // down to about a tenth by the end
        }
    }
    // Fade the last few cycles so the one-shot never ends on a click.
    for (int i = 0; i < 4 * cycle; ++i) w[w.size() - 1 - i] *= static_cast<double>(i) / (4 * cycle);
    return finish("chip", w, 0.7, 42);
}

// Kick: a sine falling from ~180 Hz to ~48 Hz with a short noise click.
Sample makeKick() {
    const int n = static_cast<int>(kRateC3 * 0.24);
    Prng rng(0x4B1C4u);
    std::vector<double> w;
    double phase = 0.0, sweep = 1.0, env = 1.0, click = 1.0;
    for (int i = 0; i < n; ++i) {
        double freq = 48.0 + 135.0 * sweep;
        double attack = i < 16 ? i / 16.0 : 1.0;
        double v = attack * env * sine(2.0 * kPi * phase) + 0.3 * click * rng.bipolar();
        w.push_back(saturate(1.4 * v));
        phase += freq / kRateC3;
        sweep *= 0.99845;  // ~40 ms time constant
        env *= 0.99955;    // ~135 ms
        click *= 0.97;
    }
    for (int i = 0; i < 64; ++i) w[w.size() - 1 - i] *= i / 64.0;
    return finish("kick", w, 1.0, 64);
}

// Snare: a short 190 Hz body under high-passed noise.
Sample makeSnare() {
    const int n = static_cast<int>(kRateC3 * 0.2);
    Prng rng(0x5A4E0u);
    std::vector<double> w;
    double phase = 0.0, body = 1.0, hiss = 1.0, prev = 0.0;
    for (int i = 0; i < n; ++i) {
        double noise = rng.bipolar();
        double bright = noise - 0.6 * prev;  // crude high-pass keeps it crisp
        prev = noise;
        double attack = i < 8 ? i / 8.0 : 1.0;
        double v = attack * (0.55 * body * sine(2.0 * kPi * phase) + 0.6 * hiss * bright);
        w.push_back(saturate(1.2 * v));
        phase += 190.0 / kRateC3;
        body *= 0.9985;   // ~40 ms
        hiss *= 0.99935;  // ~90 ms
    }
    for (int i = 0; i < 64; ++i) w[w.size() - 1 - i] *= i / 64.0;
    return finish("snare", w, 0.95, 56);
}

// Hi-hat: differentiated noise (mostly top end), short when closed.
Sample makeHat(bool open) {
    const int n = static_cast<int>(kRateC3 * (open ? 0.22 : 0.05));
    Prng rng(open ? 0x0BE7u : 0xC105u);
    std::vector<double> w;
    double env = 1.0, prev = 0.0;
    const double decay = open ? 0.99955 : 0.9965;
    for (int i = 0; i < n; ++i) {
        double noise = rng.bipolar();
        w.push_back(env * (noise - prev));
        prev = noise;
        env *= decay;
    }
    for (int i = 0; i < 32; ++i) w[w.size() - 1 - i] *= i / 32.0;
    return finish(open ? "open hat" : "hat", w, 0.8, open ? 34 : 30);
}

}  // namespace musicgen
