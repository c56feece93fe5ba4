// SPDX-License-Identifier: MIT
// A minimal writer for 6-channel "6CHN" modules: 31 sample slots, 64-row
// patterns, periods from the standard finetune-0 table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

constexpr int kChannels = 6;
constexpr int kRows = 64;

// Notes are semitones from C-1 (0) to B-3 (35), the range the format's
// period table covers.
constexpr int kNoNote = -1;
int noteIndex(char letter, bool sharp, int octave);  // e.g. ('A', false, 2); -1 if out of range
uint16_t periodOf(int note);                         // period for a note index, 0 for kNoNote

struct Cell {
    int note = kNoNote;
    int instrument = 0;  // 1..31, 0 = none
    int effect = 0;      // 0x0..0xF
    int param = 0;       // 0x00..0xFF
};

struct Pattern {
    std::array<std::array<Cell, kChannels>, kRows> rows{};
    Cell& at(int row, int channel) { return rows.at(row).at(channel); }
};

struct Sample {
    std::string name;
    std::vector<int8_t> data;  // even length
    int volume = 64;           // 0..64
    std::size_t loopStart = 0; // bytes, even
    std::size_t loopLength = 0;  // bytes, even; 0 = one-shot
};

struct Module {
    std::string title;
    std::vector<Sample> samples;    // slot 1 is samples[0]
    std::vector<Pattern> patterns;
    std::vector<int> order;         // pattern numbers, played in turn, then from the top again
};

std::vector<uint8_t> serialize(const Module& m);

}  // namespace musicgen
