// The song's instruments, synthesised from scratch. Only IEEE arithmetic and our
// own sine are used, so the bytes come out the same on every machine.
#pragma once

#include <cstdint>

#include "modfile.h"

namespace musicgen {

// Playback rates the samples are designed for (PAL clock / period).
constexpr double kRateC2 = 3546895.0 / 428.0;  // tonal samples: one cycle = kCycle samples
constexpr double kRateC3 = 3546895.0 / 214.0;  // drums are always triggered at C-3

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

Sample makeBass();
Sample makeLead();
Sample makeChip();
Sample makeKick();
Sample makeSnare();
Sample makeHat(bool open);

}  // namespace musicgen
