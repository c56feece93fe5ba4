// SPDX-License-Identifier: MIT
// The song's instruments, synthesised from scratch. Only IEEE arithmetic and our
// own sine are used, so the bytes come out the same on every machine.
#pragma once

#include <array>
#include <cstdint>

#include "modfile.h"

namespace musicgen {

// Playback rates the samples are designed for (PAL clock / period).
constexpr double kRateC2 = 3546895.0 / 428.0;  // tonal samples: C-2 plays one cycle per cycle length
constexpr double kRateB3 = 3546895.0 / 113.0;  // drums are triggered at B-3, the highest note, so they reach 15 kHz

double sine(double x);  // sin(x), our own so results never depend on the C library

class Prng {  // xorshift32: small, fast, deterministic
public:
    explicit Prng(uint32_t seed) : s_(seed ? seed : 1) {}
    uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    double bipolar() { return static_cast<double>(next() >> 8) / 8388608.0 - 1.0; }  // [-1, 1)
private:
    uint32_t s_;
};

// Tonal instruments: one cycle is 64 samples for the bass, 32 for the chip,
// the pads' root and the low lead, 16 for the high lead and the bell.
Sample makeBass();
Sample makeLead(bool high);  // the same voice for the top octave, where a cycle must be short
Sample makeChip();
Sample makeBell();
Sample makePad(const char* name, const std::array<int, 4>& semitones);  // a held chord, semitones above its root
Sample makeKick();
Sample makeSnare();
Sample makeHat(bool open);
Sample makeCrash();
Sample makeShaker();
Sample makeTom();

}  // namespace musicgen
