// SPDX-License-Identifier: MIT
#include "modfile.h"

#include <stdexcept>

namespace musicgen {
namespace {

constexpr uint16_t kPeriods[36] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // octave 1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // octave 2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // octave 3
};

void putText(std::vector<uint8_t>& out, const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
}

void putWord(std::vector<uint8_t>& out, std::size_t v) {  // big-endian 16 bits
    if (v > 0xFFFF) throw std::runtime_error("value does not fit a 16-bit field");
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v & 0xFF));
}

}  // namespace

int noteIndex(char letter, bool sharp, int octave) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (letter < 'A' || letter > 'G' || octave < 1 || octave > 3) return kNoNote;
    int n = (octave - 1) * 12 + base[letter - 'A'] + (sharp ? 1 : 0);
    return n >= 0 && n < 36 ? n : kNoNote;
}

uint16_t periodOf(int note) {
    if (note == kNoNote) return 0;
    if (note < 0 || note >= 36) throw std::runtime_error("note out of range");
    return kPeriods[note];
}

std::vector<uint8_t> serialize(const Module& m) {
    if (m.samples.size() > 31) throw std::runtime_error("too many samples");
    if (m.order.empty() || m.order.size() > 128) throw std::runtime_error("bad order list");
    for (int o : m.order)
        if (o < 0 || o >= static_cast<int>(m.patterns.size())) throw std::runtime_error("order names a missing pattern");
    std::vector<uint8_t> out;
    putText(out, m.title, 20);
    for (std::size_t i = 0; i < 31; ++i) {
        if (i < m.samples.size()) {
            const Sample& s = m.samples[i];
            if (s.data.size() % 2 || s.loopStart % 2 || s.loopLength % 2 || s.loopStart + s.loopLength > s.data.size())
                throw std::runtime_error("sample " + s.name + " is not word-aligned");
            putText(out, s.name, 22);
            putWord(out, s.data.size() / 2);
            out.push_back(0);  // finetune
            out.push_back(static_cast<uint8_t>(s.volume));
            // A one-shot gets the conventional one-word loop at the start,
            // which is why every sample begins with two zero bytes.
            putWord(out, s.loopLength ? s.loopStart / 2 : 0);
            putWord(out, s.loopLength ? s.loopLength / 2 : 1);
        } else {
            putText(out, "", 22);
            putWord(out, 0);
            out.push_back(0);
            out.push_back(0);
            putWord(out, 0);
            putWord(out, 1);
        }
    }
    out.push_back(static_cast<uint8_t>(m.order.size()));
    out.push_back(0);  // restart at the first order
    for (std::size_t i = 0; i < 128; ++i) out.push_back(i < m.order.size() ? static_cast<uint8_t>(m.order[i]) : 0);
    putText(out, std::to_string(kChannels) + "CHN", 4);
    for (const Pattern& p : m.patterns) {
        for (const auto& row : p.rows) {
            for (const Cell& c : row) {
                uint16_t period = periodOf(c.note);
                out.push_back(static_cast<uint8_t>((c.instrument & 0xF0) | (period >> 8)));
                out.push_back(static_cast<uint8_t>(period & 0xFF));
                out.push_back(static_cast<uint8_t>(((c.instrument & 0x0F) << 4) | (c.effect & 0x0F)));
                out.push_back(static_cast<uint8_t>(c.param & 0xFF));
            }
        }
    }
    for (const Sample& s : m.samples)
        for (int8_t v : s.data) out.push_back(static_cast<uint8_t>(v));
    return out;
}

}  // namespace musicgen
