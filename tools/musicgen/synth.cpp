// SPDX-License-Identifier: MIT
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

// Per-sample factor of an exponential decay with time constant `seconds`.
double decayFactor(double seconds, double rate) { return 1.0 - 1.0 / (seconds * rate); }

// Takes a one-shot's average out without moving its ends: the correction is a
// bump as long as the sound itself, far below anything audible.
void centre(std::vector<double>& w) {
    const double n = static_cast<double>(w.size());
    double sum = 0.0, weight = 0.0;
    std::vector<double> bump;
    for (std::size_t i = 0; i < w.size(); ++i) {
        double s = sine(kPi * (static_cast<double>(i) + 0.5) / n);
        bump.push_back(s * s);
        weight += s * s;
        sum += w[i];
    }
    for (std::size_t i = 0; i < w.size(); ++i) w[i] -= sum / weight * bump[i];
}

// Fades the last `count` points linearly to zero, so a one-shot never ends on a click.
void fadeOut(std::vector<double>& w, std::size_t count) {
    for (std::size_t i = 0; i < count && i < w.size(); ++i)
        w[w.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(count);
}

// Scales so the loudest point reaches `peak`, prepends the two silent bytes a
// one-shot needs, and pads to an even length.
Sample finish(const char* name, std::vector<double> wave, double peak, int volume, std::size_t loopStart = 0,
              std::size_t loopLength = 0) {
    if (!loopLength) centre(wave);
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

// A band-limited pulse wave of the given duty, its harmonics rolled off above `bright`.
double pulse(double phase, int count, double duty, double bright) {
    return additive(phase, count, [duty, bright](int k) {
        double c = k / bright;
        return sine(kPi * k * duty) / k / (1.0 + c * c);
    });
}

// Goes from 1 at t = 0 to 0 at t = 1 along an exponential curve of the given steepness.
double fall(double t, double steepness) {
    double e = 1.0, end = 1.0;
    for (int i = 0; i < 64; ++i) {  // (1 - s/64)^64 ~ exp(-s), without the C library
        e *= 1.0 - steepness * t / 64.0;
        end *= 1.0 - steepness / 64.0;
    }
    return (e - end) / (1.0 - end);
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

// Bass: saw plus some square, bright at the pluck, its low-pass and level
// falling over 40 cycles to a sustain a third as loud that is looped. The
// harmonics up to the sixth stay strong so small speakers still carry it.
Sample makeBass() {
    constexpr int cycle = 64, decayCycles = 40;
    constexpr double sustain = 0.32, endCutoff = 6.0;
    auto at = [](double phase, double cutoff) {
        return additive(phase, 30, [cutoff](int k) {
            double square = (k % 2) ? 0.45 / k : 0.0;
            double c = k / cutoff;
            return (1.0 / k + square) / (1.0 + c * c * c * c);
        });
    };
    std::vector<double> w;
    for (int i = 0; i < decayCycles * cycle; ++i) {
        double t = static_cast<double>(i) / (decayCycles * cycle);
        double attack = i < 16 ? i / 16.0 : 1.0;
        double amp = sustain + (1.0 - sustain) * fall(t, 3.0);
        w.push_back(attack * amp * at(static_cast<double>(i % cycle) / cycle, endCutoff + 14.0 * fall(t, 4.0)));
    }
    for (int i = 0; i < cycle; ++i) w.push_back(sustain * at(static_cast<double>(i) / cycle, endCutoff));
    return finish("bass", w, 0.95, 48, decayCycles * cycle, cycle);
}

// Lead: two pulse waves, the second a little quieter and sharp by one cycle
// in 256, so the pair beats slowly. It rises in three cycles and falls over
// forty to 70 % while its top mellows; in the looped sustain the duty sways
// once a loop, moving the harmonics. The high variant has a 16-sample cycle for
// the top octave, where a 32-sample one would need rates the format lacks; it
// has the same harmonics up to its seventh.
Sample makeLead(bool high) {
    const int cycle = high ? 16 : 32, harmonics = cycle / 2 - 1;
    constexpr int attackCycles = 3, decayCycles = 40, loopCycles = 256;
    constexpr double sustain = 0.7, duty = 0.33, bright = 12.0;
    const int loopStart = (attackCycles + decayCycles) * cycle, loopLength = loopCycles * cycle;
    auto at = [&](int i, double d, double top) {
        const double phase = static_cast<double>(i) / cycle;
        return pulse(phase, harmonics, d, top) + 0.5 * pulse(phase * (loopCycles + 1) / loopCycles, harmonics, d, top);
    };
    std::vector<double> w;
    for (int i = 0; i < loopStart + loopLength; ++i) {
        double amp = sustain, top = bright, d = duty;
        if (i < attackCycles * cycle) {
            amp = static_cast<double>(i) / (attackCycles * cycle);
            top = bright + 6.0;
        } else if (i < loopStart) {
            const double t = static_cast<double>(i - attackCycles * cycle) / (decayCycles * cycle);
            amp = sustain + (1.0 - sustain) * fall(t, 3.0);
            top = bright + 6.0 * fall(t, 3.0);
        } else {
            d += 0.05 * sine(2.0 * kPi * (i - loopStart) / loopLength);
        }
        w.push_back(amp * at(i, d, top));
    }
    return finish(high ? "lead high" : "lead", w, 0.9, 46, loopStart, loopLength);
}

// Chip: a pulse whose duty narrows as it dies away, so each arpeggio hit is a
// short bright "pling". One-shot.
Sample makeChip() {
    constexpr int cycle = 32, cycles = 80;
    std::vector<double> w;
    double amp = 1.0;
    for (int c = 0; c < cycles; ++c) {
        double duty = 0.5 - 0.3 * c / cycles;
        for (int i = 0; i < cycle; ++i) {
            w.push_back(amp * pulse(static_cast<double>(i) / cycle, 15, duty, 10.0));
            amp *= 0.99905;  // down to about a tenth by the end
        }
    }
    fadeOut(w, 4 * cycle);
    return finish("chip", w, 0.8, 36);
}

// Bell: a struck tone whose upper partials (one slightly sharp, for shimmer)
// die faster than the fundamental. For echoes and counter-melodies.
Sample makeBell() {
    constexpr int cycle = 16;
    const int n = static_cast<int>(kRateC2 * 0.7);
    struct Partial { double ratio, level, env, factor; };
    Partial partials[] = {{1.0, 1.0, 1.0, decayFactor(0.30, kRateC2)},
                          {2.0, 0.35, 1.0, decayFactor(0.16, kRateC2)},
                          {3.0, 0.2, 1.0, decayFactor(0.08, kRateC2)},
                          {4.2, 0.12, 1.0, decayFactor(0.04, kRateC2)}};
    std::vector<double> w;
    for (int i = 0; i < n; ++i) {
        double v = 0.0;
        for (Partial& p : partials) {
            v += p.level * p.env * sine(2.0 * kPi * p.ratio * i / cycle);
            p.env *= p.factor;
        }
        w.push_back((i < 12 ? i / 12.0 : 1.0) * v);
    }
    fadeOut(w, 512);
    return finish("bell", w, 0.9, 40);
}

// Pad: a held chord in one sample. Each voice is a soft saw doubled sharp by
// one cycle in the 8192-sample loop (about 7 cents at the root), so the chord
// shimmers slowly. Every voice fits a whole number of cycles into the loop,
// which keeps it seamless and each interval within 3 cents of equal
// temperament; the root's cycle is 32 samples. It enters at a third of its
// level and swells over 2048 samples, so a change of chord leaves no hole.
Sample makePad(const char* name, const std::array<int, 4>& semitones) {
    constexpr int loop = 8192, swell = 2048;
    constexpr double rootCycles = loop / 32.0, semitone = 1.0594630943592953;  // 2^(1/12)
    struct Osc { double step; int harmonics; };
    std::vector<Osc> oscs;
    for (int s : semitones) {
        double ratio = 1.0;
        for (int i = 0; i < s; ++i) ratio *= semitone;
        const long cycles = std::lround(rootCycles * ratio);
        for (long c : {cycles, cycles + 1}) {
            const int below = static_cast<int>((loop / 2 - 1) / c);  // harmonics under the sample's Nyquist limit
            oscs.push_back({static_cast<double>(c) / loop, below < 8 ? below : 8});
        }
    }
    std::vector<double> w;
    for (int i = 0; i < swell + loop; ++i) {
        double v = 0.0;
        for (const Osc& o : oscs)
            v += additive(o.step * i, o.harmonics, [](int k) { return 1.0 / k / (1.0 + k * k / 9.0); });
        const double rise = i < swell ? sine(0.5 * kPi * i / swell) : 1.0;
        w.push_back((i < 64 ? i / 64.0 : 1.0) * (0.35 + 0.65 * rise * rise) * v);
    }
    return finish(name, w, 0.9, 40, swell, loop);
}

// Kick: a sine falling from ~300 Hz to ~58 Hz, driven into saturation for
// overtones a small speaker can play, with a beater's knock of noise. Its low
// end is short, so it leaves room for the bass.
Sample makeKick() {
    const int n = static_cast<int>(kRateB3 * 0.2);
    Prng rng(0x4B1C4u);
    std::vector<double> w;
    double phase = 0.0, sweep = 1.0, env = 1.0, click = 1.0;
    const double sweepF = decayFactor(0.045, kRateB3), envF = decayFactor(0.05, kRateB3),
                 clickF = decayFactor(0.008, kRateB3);
    for (int i = 0; i < n; ++i) {
        double attack = i < 48 ? i / 48.0 : 1.0;
        w.push_back(saturate(2.2 * (attack * env * sine(2.0 * kPi * phase) + 0.7 * click * rng.bipolar())));
        phase += (58.0 + 240.0 * sweep) / kRateB3;
        sweep *= sweepF;
        env *= envF;
        click *= clickF;
    }
    fadeOut(w, 256);
    return finish("kick", w, 1.0, 64);
}

// Snare: a short two-mode body under band-passed noise.
Sample makeSnare() {
    const int n = static_cast<int>(kRateB3 * 0.22);
    Prng rng(0x5A4E0u);
    std::vector<double> w;
    double phase = 0.0, body = 1.0, hiss = 1.0, prev = 0.0, bright = 0.0;
    const double bodyF = decayFactor(0.06, kRateB3), hissF = decayFactor(0.085, kRateB3);
    for (int i = 0; i < n; ++i) {
        double noise = rng.bipolar();
        bright += 0.7 * (noise - 0.6 * prev - bright);  // a band from about 1 to 7 kHz, sloping on above
        prev = noise;
        double attack = i < 24 ? i / 24.0 : 1.0;
        double tone = 0.7 * sine(2.0 * kPi * phase) + 0.3 * sine(2.0 * kPi * phase * 1.77);
        w.push_back(saturate(1.3 * attack * (0.7 * body * tone + 0.9 * hiss * bright)));
        phase += 260.0 / kRateB3;
        body *= bodyF;
        hiss *= hissF;
    }
    fadeOut(w, 256);
    return finish("snare", w, 0.95, 56);
}

// Noise through a first difference (a gentle high-pass) and a one-pole
// low-pass, with a few clashing square partials: the metal of the cymbals.
// `decay` and `length` in seconds; `level` of the partials against the noise;
// `drive` into a soft saturation, which makes it denser.
static std::vector<double> metal(uint32_t seed, double decay, double length, double lowPass, double level, double drive) {
    Prng rng(seed);
    const double partials[] = {3150.0, 4270.0, 5410.0, 6830.0};
    const int n = static_cast<int>(kRateB3 * length);
    std::vector<double> w;
    double env = 1.0, prev = 0.0, low = 0.0;
    const double envF = decayFactor(decay, kRateB3);
    for (int i = 0; i < n; ++i) {
        double square = 0.0;
        for (double f : partials) square += sine(2.0 * kPi * f * i / kRateB3) > 0.0 ? 0.25 : -0.25;
        const double x = (1.0 - level) * rng.bipolar() + level * square;
        low += lowPass * (x - prev - low);
        prev = x;
        w.push_back(saturate(drive * (i < 8 ? i / 8.0 : 1.0) * env * low));
        env *= envF;
    }
    fadeOut(w, 256);
    return w;
}

// Hi-hats: bright between 3 and 12 kHz, so they carry the top of the mix;
// short when closed.
Sample makeHat(bool open) {
    auto w = open ? metal(0x0BE7u, 0.11, 0.3, 0.45, 0.35, 2.5) : metal(0xC105u, 0.03, 0.08, 0.45, 0.35, 2.5);
    return finish(open ? "open hat" : "hat", w, 0.85, open ? 34 : 30);
}

// Crash: a long wash with more of the metal in it; on the cymbals' channel, so
// it rings under the kick and snare.
Sample makeCrash() { return finish("crash", metal(0xC7A5u, 0.35, 1.2, 0.8, 0.4, 1.5), 0.9, 48); }

// Shaker: soft noise that rises over 5 ms and dies within 40, for running sixteenths.
Sample makeShaker() {
    auto w = metal(0x5AAEu, 0.03, 0.09, 0.4, 0.0, 1.5);
    for (std::size_t i = 0; i < 160 && i < w.size(); ++i) w[i] *= static_cast<double>(i) / 160.0;
    return finish("shaker", w, 0.8, 24);
}

// Tom: a sine sliding down a little, with a soft stick noise. Pitched by the
// note it is played at.
Sample makeTom() {
    const int n = static_cast<int>(kRateB3 * 0.36);
    Prng rng(0x70Au);
    std::vector<double> w;
    double phase = 0.0, slide = 1.0, env = 1.0, stick = 1.0;
    const double slideF = decayFactor(0.08, kRateB3), envF = decayFactor(0.15, kRateB3),
                 stickF = decayFactor(0.004, kRateB3);
    for (int i = 0; i < n; ++i) {
        double attack = i < 32 ? i / 32.0 : 1.0;
        w.push_back(saturate(1.3 * (attack * env * sine(2.0 * kPi * phase) + 0.2 * stick * rng.bipolar())));
        phase += (140.0 + 60.0 * slide) / kRateB3;
        slide *= slideF;
        env *= envF;
        stick *= stickF;
    }
    fadeOut(w, 256);
    return finish("tom", w, 0.95, 48);
}

}  // namespace musicgen
