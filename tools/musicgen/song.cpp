// SPDX-License-Identifier: MIT
#include "song.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "synth.h"

namespace musicgen {
namespace {

constexpr int kBass = 1, kLead = 2, kChip = 3, kBell = 4, kKick = 5, kCrash = 6, kSnare = 7, kHat = 8, kOpenHat = 9,
              kTom = 10;
constexpr int kTopNote = 35;  // B-3: the drums' own pitch, and the highest note there is

constexpr int kFxArpeggio = 0x0, kFxVibrato = 0x4, kFxVibratoVolSlide = 0x6, kFxPanning = 0x8, kFxVolSlide = 0xA,
              kFxJump = 0xB, kFxVolume = 0xC, kFxSpeed = 0xF;

// 6 ticks a row at 150 BPM: a row is exactly 800 output frames per tick at 48 kHz.
constexpr int kTempo = 150;
// Left 0x00, middle 0x80, right 0xFF: the rhythm section in the middle, lead
// and arpeggio a little to either side (about 3 dB).
constexpr std::array<int, kChannels> kPan = {0x80, 0x80, 0x96, 0x6A};

int volume(double base, double level) {
    long v = std::lround(base * level);
    return static_cast<int>(v < 0 ? 0 : v > 64 ? 64 : v);
}

struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};

Chord parseChord(std::string_view name, int transpose) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') throw std::runtime_error("bad chord");
    int root = base[name[0] - 'A'];
    std::size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b')) root += name[i++] == '#' ? 1 : -1;
    bool minor = i < name.size() && name[i] == 'm';
    return {((root + transpose) % 12 + 12) % 12, minor};
}

// "Am | F | C | G E": one or two chords a bar; gives the chord of each half bar.
std::array<Chord, 8> halfBars(std::string_view text, int transpose) {
    std::array<Chord, 8> out{};
    for (int bar = 0; bar < 4; ++bar) {
        auto end = text.find('|');
        std::string_view part = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        std::vector<Chord> chords;
        while (!part.empty()) {
            auto space = part.find(' ');
            if (space) chords.push_back(parseChord(part.substr(0, space), transpose));
            part = space == std::string_view::npos ? std::string_view{} : part.substr(space + 1);
        }
        if (chords.empty() || chords.size() > 2) throw std::runtime_error("a bar needs one or two chords");
        out[2 * bar] = chords.front();
        out[2 * bar + 1] = chords.back();
    }
    if (!text.empty()) throw std::runtime_error("more than four bars of chords");
    return out;
}

struct Section {
    const char* chords;
    std::array<const char*, 4> bass;   // 16 rows a bar, see bassPart
    std::array<const char*, 4> drums;  // 16 rows a bar, see drumPart
    std::array<int, 4> arpEvery;       // rows between arpeggio hits in each bar, 0 for none
    bool arpOctaves;                   // alternate hits an octave up
    const char* lead;                  // "E2:3 A1:2 r:2 ...": notes or rests and their lengths in rows
    const char* counter = nullptr;     // a second tune on the arpeggio channel, played by the bell
    int echo = 0;                      // or the lead echoed on it by the bell, this many rows later
    int transpose = 0;                 // semitones, for a section in another key
    double level = 1.0;                // scales every volume in the section
};

void setNote(Cell& c, int note, int instrument, int vol) {
    if (note < 0 || note > kTopNote) throw std::runtime_error("note out of range");
    c.note = note;
    c.instrument = instrument;
    c.effect = kFxVolume;
    c.param = vol;
}

// R root, O octave, F fifth, T third, S seventh (capital: played firmly,
// small letter: softly), - let the note die away, . nothing.
void bassPart(Pattern& p, const Section& s) {
    auto chords = halfBars(s.chords, s.transpose);
    for (int bar = 0; bar < 4; ++bar) {
        std::string_view line = s.bass[bar];
        if (line.size() != 16) throw std::runtime_error("bass bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            const Chord ch = chords[2 * bar + i / 8];
            Cell& c = p.at(bar * 16 + i, kBassChannel);
            const char sym = line[i];
            if (sym == '.') continue;
            if (sym == '-') {
                c.effect = kFxVolSlide;
                c.param = 0x04;
                continue;
            }
            const bool firm = sym >= 'A' && sym <= 'Z';
            int interval;
            switch (firm ? sym : sym - 'a' + 'A') {
                case 'R': interval = 0; break;
                case 'O': interval = 12; break;
                case 'F': interval = 7; break;
                case 'T': interval = ch.minor ? 3 : 4; break;
                case 'S': interval = 10; break;
                default: throw std::runtime_error("bad bass symbol");
            }
            setNote(c, ch.root + interval, kBass, volume(firm ? 56 : 34, s.level));
        }
    }
}

// K/k kick (firm/soft), X kick with a crash, S snare, s ghost snare, H/h/x hi-hat
// (accent/plain/ghost), o open hi-hat, T/M/L toms high to low, 1-9 a snare roll
// rising in volume, . nothing.
void drumPart(Pattern& p, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        std::string_view line = s.drums[bar];
        if (line.size() != 16) throw std::runtime_error("drum bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            const char d = line[i];
            if (d == '.') continue;
            int instrument, base, note = kTopNote;
            switch (d) {
                case 'K': instrument = kKick, base = 64; break;
                case 'k': instrument = kKick, base = 40; break;
                case 'X': instrument = kCrash, base = 64; break;
                case 'S': instrument = kSnare, base = 54; break;
                case 's': instrument = kSnare, base = 15; break;
                case 'H': instrument = kHat, base = 34; break;
                case 'h': instrument = kHat, base = 22; break;
                case 'x': instrument = kHat, base = 12; break;
                case 'o': instrument = kOpenHat, base = 26; break;
                case 'T': instrument = kTom, base = 46; break;
                case 'M': instrument = kTom, base = 48, note = kTopNote - 5; break;
                case 'L': instrument = kTom, base = 50, note = kTopNote - 10; break;
                default:
                    if (d < '1' || d > '9') throw std::runtime_error("bad drum symbol");
                    instrument = kSnare, base = 10 + (d - '1') * 6;  // 10..58: a roll that swells
            }
            setNote(p.at(bar * 16 + i, kDrumChannel), note, instrument, volume(base, s.level));
        }
    }
}

// Chords as a fast arpeggio on one channel. The first hit sets the volume;
// later hits give only the note, which keeps it, so that every other row can
// carry the arpeggio effect.
void arpPart(Pattern& p, const Section& s) {
    auto chords = halfBars(s.chords, s.transpose);
    int hit = 0;
    for (int bar = 0; bar < 4; ++bar) {
        if (!s.arpEvery[bar]) continue;
        for (int i = 0; i < 16; ++i) {
            const Chord ch = chords[2 * bar + i / 8];
            // Keep the chord's root between F-1 and E-2: the middle of the mix.
            const int base = ch.root >= 5 ? ch.root : ch.root + 12;
            Cell& c = p.at(bar * 16 + i, kArpChannel);
            c.effect = kFxArpeggio;
            c.param = ch.minor ? 0x37 : 0x47;
            if (i % s.arpEvery[bar]) continue;
            const int note = base + (s.arpOctaves && hit % 2 ? 12 : 0);
            if (hit++ == 0) setNote(c, note, kChip, volume(48, s.level));
            else c.note = note;
        }
    }
}

// A tune in "E2:3 A#1:2 r:2" form on one channel. The lead's long notes get
// vibrato after a moment and the longest fade at their end; a rest fades the
// lead out within a row instead of cutting it.
void melody(Pattern& p, std::string_view text, int transpose, int channel, int instrument, int vol, bool lead) {
    int row = 0;
    while (!text.empty()) {
        auto end = text.find_first_of(" |");
        std::string_view tok = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (tok.empty()) continue;
        auto colon = tok.find(':');
        if (colon == std::string_view::npos) throw std::runtime_error("melody token needs a length");
        const int length = std::stoi(std::string(tok.substr(colon + 1)));
        const std::string_view name = tok.substr(0, colon);
        if (length <= 0 || row + length > kRows) throw std::runtime_error("melody does not fit the pattern");
        Cell& first = p.at(row, channel);
        if (name == "r") {
            if (lead) {
                first.effect = kFxVolSlide;
                first.param = 0x0C;
            }
        } else {
            const bool sharp = name.size() == 3 && name[1] == '#';
            const int note = noteIndex(name[0], sharp, name.back() - '0');
            if (note == kNoNote) throw std::runtime_error("melody note out of range");
            setNote(first, note + transpose, instrument, vol);
            for (int i = 3; lead && length >= 6 && i < length; ++i) {
                Cell& c = p.at(row + i, channel);
                const bool tail = length >= 8 && i >= length - 2;
                c.effect = tail ? kFxVibratoVolSlide : kFxVibrato;
                c.param = tail ? 0x02 : 0x52;
            }
        }
        row += length;
    }
    if (row != kRows) throw std::runtime_error("melody must fill the pattern");
}

// The lead's notes again on the arpeggio channel, later, softer and an octave
// up where there is room, played by the bell.
void echoPart(Pattern& p, int delay) {
    for (int row = 0; row + delay < kRows; ++row) {
        const Cell& from = p.at(row, kLeadChannel);
        if (from.note == kNoNote) continue;
        const int note = from.note + 12 <= kTopNote ? from.note + 12 : from.note;
        setNote(p.at(row + delay, kArpChannel), note, kBell, from.param * 3 / 5);
    }
}

Pattern build(const Section& s) {
    Pattern p;
    bassPart(p, s);
    drumPart(p, s);
    melody(p, s.lead, s.transpose, kLeadChannel, kLead, volume(46, s.level), true);
    if (s.counter) melody(p, s.counter, s.transpose, kArpChannel, kBell, volume(40, s.level), false);
    else if (s.echo) echoPart(p, s.echo);
    else arpPart(p, s);
    return p;
}

// ---- The music ------------------------------------------------------------

constexpr const char* kBeat = "K.hxS.hsK.KhS.hx";
constexpr const char* kBeat2 = "K.hxS.hxK.hKS.hs";
constexpr const char* kDrive = "KxHxSxHsKxHKSxHx";
constexpr const char* kDrive2 = "KxHxSxHsKxHxSKHo";
constexpr const char* kHalf = "K.x.h.x.S.x.hsk.";
constexpr const char* kHalf2 = "K.x.h.kkS.x.h.xs";
constexpr const char* kFunk = "K..sS.xKx.K.S.hs";
constexpr const char* kFunk2 = "K..sS.xKx.KsS.ho";
constexpr const char* kBeatB = "K.hhS.hsK.hhS.ho";

constexpr const char* kTres = "R..R..O.R..R..F.";
constexpr const char* kPump = "R.r.O.r.R.r.O.r.";
constexpr const char* kPumpB = "R..rO.r.R..rO.F.";
constexpr const char* kDriveBass = "R.rRO.rRR.rRO.rO";
constexpr const char* kLong = "R.......R..r..F.";
constexpr const char* kRiff = "R..R..r.O..R.rF.";

// Intro: bass, arpeggio and a few drums; the lead's pickup leads into the theme.
const Section kIntro{"Am | Am | F | E",
                     {"R.......R..r....", "R.......R..r....", "R.......R..r....", "R...R...R.r.O.o."},
                     {"K.......x...x...", "K.......x...x.x.", "K...h...K...h.x.", "K.hxS.hxK.S.SsSS"},
                     {2, 2, 2, 2}, true, "r:56 G#1:2 B1:2 D2:2 D#2:2", nullptr, 0, 0, 0.8};
// The theme as a question (ending on G) and its answer (ending on E).
const Section kA1{"Am | F | C | G",
                  {kTres, kTres, kTres, "R..R..O.R.r.O.o."},
                  {kBeat, kBeat2, kBeat, "K.hxS.hsK.hKS.ho"},
                  {4, 4, 4, 4}, false,
                  "E2:3 A1:3 C2:2 E2:3 D2:3 C2:2 | C2:6 A1:2 r:2 A1:2 C2:2 F2:2 |"
                  "E2:3 G2:3 E2:2 D2:2 C2:2 D2:2 E2:2 | D2:8 B1:2 G1:2 B1:2 D2:2",
                  nullptr, 0, 0, 0.8};
const Section kA2{"Am | F | G | E",
                  {kTres, kTres, kTres, "R..R..O.R.R.r.O."},
                  {kBeat, kBeat2, kBeat, "K.hxS.hsK.s.SsSS"},
                  {4, 4, 4, 2}, false,
                  "E2:3 A1:3 C2:2 E2:3 D2:3 C2:2 | F2:6 E2:2 r:2 D2:2 C2:2 A1:2 |"
                  "B1:3 D2:3 G2:2 F2:3 E2:3 D2:2 | E2:8 r:2 G#1:2 B1:2 D2:2",
                  nullptr, 0, 0, 0.8};
// B: a sequence that enters after the beat, climbing to the relative chords.
const Section kB1{"F | G | Em | Am",
                  {kPumpB, kPumpB, kPumpB, "R..rO.r.R.r.O.o."},
                  {kBeatB, kBeatB, kBeatB, "K.hhS.hsK.S.T.ML"},
                  {2, 2, 2, 2}, true,
                  "r:2 A2:4 G2:2 F2:3 C2:3 F2:2 | r:2 B2:4 A2:2 G2:3 D2:3 G2:2 |"
                  "r:2 G2:4 E2:2 B1:3 E2:3 G2:2 | A2:10 G2:2 E2:2 C2:2",
                  nullptr, 0, 0, 0.85};
const Section kB2{"Dm | Em | F | E",
                  {kPumpB, kPumpB, kPumpB, "R.R.R.R.RrRrO.O."},
                  {kBeatB, kBeatB, kBeatB, "K.hhS.hsK.S.SSSS"},
                  {2, 2, 2, 1}, true,
                  "r:2 F2:4 E2:2 D2:3 A1:3 D2:2 | r:2 G2:4 F2:2 E2:3 B1:3 E2:2 |"
                  "r:2 A2:4 G2:2 F2:2 G2:2 A2:2 C3:2 | B2:8 G#2:4 E2:4",
                  nullptr, 0, 0, 0.85};
// The theme again with drive: sixteenth hats, busier bass, higher endings.
const Section kA3{"Am | F | C | G",
                  {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.R.O.O."},
                  {"X...SxHsKxHKSxHx", kDrive, kDrive2, "KxHxSxHsT.TMM.LL"},
                  {2, 2, 2, 2}, true,
                  "E2:3 A1:3 C2:2 E2:2 A2:2 G2:2 E2:2 | F2:3 E2:3 C2:2 r:2 A1:2 C2:2 F2:2 |"
                  "G2:3 E2:3 C2:2 D2:2 E2:2 G2:2 C3:2 | B2:6 A2:2 G2:2 D2:2 B1:2 D2:2",
                  nullptr, 0, 0, 1.0};
const Section kA4{"Am | F | G | E",
                  {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.r.O.O."},
                  {kDrive, kDrive2, kDrive, "KxHxSxHsK.S.SSSS"},
                  {2, 2, 2, 1}, true,
                  "A2:3 E2:3 C2:2 E2:3 A2:3 B2:2 | C3:6 B2:2 A2:2 F2:2 A2:2 C3:2 |"
                  "B2:3 G2:3 D2:2 G2:3 B2:3 D3:2 | E3:6 D3:2 B2:2 G#2:2 E2:4",
                  nullptr, 0, 0, 1.0};
// Breakdown: the lead low and alone, its echo on the bell; then a bell
// counter-melody running under long lead notes.
const Section kBreak1{"Am | F | Dm | E",
                      {"R...............", "R...............", "R...............", "R.......R......."},
                      {"h...h...h...h...", "h...h...h...h.x.", "h...h...h...h...", "h...h...h.h.hxhx"},
                      {0, 0, 0, 0}, false,
                      "E1:4 A1:2 C2:4 r:6 | C2:4 A1:2 F1:4 r:6 | D1:4 F1:2 A1:4 r:6 | B1:4 G#1:2 E1:6 r:4",
                      nullptr, 3, 0, 0.4};
const Section kBreak2{"Am | F | C | G",
                      {"R.......O.......", "R.......O.......", "R.......O.......", "R.......R...O.o."},
                      {"k...h...s...h...", "k...h...s...h.x.", "k...h...s...h...", "k...h...s.s.sSSS"},
                      {0, 0, 0, 0}, false,
                      "A1:8 G1:4 E1:4 | F1:8 A1:4 C2:4 | E2:8 D2:4 C2:4 | D2:12 r:4",
                      "r:2 E2:2 A2:2 C3:2 r:2 C3:2 B2:2 A2:2 | r:2 C3:2 F2:2 A2:2 r:2 A2:2 G2:2 F2:2 |"
                      "r:2 G2:2 C3:2 E3:2 r:2 D3:2 C3:2 G2:2 | r:2 B2:2 G2:2 D2:2 G2:2 B2:2 D3:2 r:2",
                      0, 0, 0.5};
// C: a new tune in D minor over a half-time beat, then higher and fuller.
const Section kC1{"Dm | Bb | F | C",
                  {kLong, kLong, kLong, "R.......R.r.O.o."},
                  {kHalf, kHalf2, kHalf, "K.x.h.x.S.x.ssSS"},
                  {2, 2, 2, 2}, false,
                  "A2:3 D3:3 A2:2 F2:4 E2:2 D2:2 | F2:3 D2:3 A#1:2 D2:4 F2:4 |"
                  "C3:3 A2:3 F2:2 A2:4 C3:2 A2:2 | G2:8 E2:4 C2:4",
                  nullptr, 0, 0, 0.7};
const Section kC2{"Dm | Bb | Gm | A",
                  {kLong, kLong, kLong, "R.......R.r.O.o."},
                  {kHalf, kHalf2, kHalf, "K.x.h.kkS.T.M.LL"},
                  {2, 2, 2, 2}, true,
                  "A2:3 D3:3 A2:2 F2:4 E2:2 D2:2 | F2:3 D2:3 A#1:2 D2:2 F2:2 A#2:4 |"
                  "D3:6 C3:2 A#2:2 A2:2 G2:4 | A2:8 C#3:4 E3:4",
                  nullptr, 0, 0, 0.75};
const Section kC3{"Dm | Bb | C | F",
                  {kPump, kPump, kPump, "R.r.O.r.R.r.O.F."},
                  {"X...S.hsK.KhS.hx", kBeat2, kBeat, "K.hxS.hsK.s.SsSS"},
                  {2, 2, 2, 2}, true,
                  "D3:4 F3:4 E3:2 D3:2 C3:4 | A#2:6 A2:2 F2:4 D3:4 | E3:3 C3:3 G2:2 C3:4 E3:4 | F3:12 r:4",
                  nullptr, 0, 0, 0.85};
const Section kC4{"Gm | Dm | Bb | A",
                  {kPump, kPump, kPump, "R.R.R.R.RrRrO.O."},
                  {kBeat, kBeat2, kBeat, "K.hxS.hsS.SSS.SS"},
                  {2, 2, 2, 2}, true,
                  "G2:3 A#2:3 D3:2 C3:4 A#2:4 | A2:3 F2:3 D2:2 F2:4 A2:4 |"
                  "A#2:3 D3:3 F3:2 E3:2 D3:2 C3:4 | C#3:8 E3:4 A2:4",
                  nullptr, 0, 0, 0.85};
// Groove: bass riff and drums on their own, then the lead answering in short stabs.
const Section kGroove1{"Dm | Dm | Bb | C",
                       {kRiff, kRiff, kRiff, "R..R..r.O.O.F.T."},
                       {kFunk, kFunk2, kFunk, kFunk2},
                       {2, 2, 2, 2}, true, "r:64", nullptr, 0, 0, 0.8};
const Section kGroove2{"Dm | Dm | Bb | C",
                       {kRiff, kRiff, kRiff, "R..R..r.O.O.F.T."},
                       {kFunk, kFunk2, kFunk, "K..sS.xKT.TMM.LL"},
                       {2, 2, 2, 2}, true,
                       "r:6 D3:1 r:3 F3:1 r:5 | r:6 A2:1 r:3 C3:1 r:1 D3:2 r:2 |"
                       "r:6 D3:1 r:3 F3:1 r:5 | r:6 E3:1 r:3 G3:1 r:1 E3:1 r:1 C3:1 r:1",
                       nullptr, 0, 0, 0.85};
// Build-up to B minor: the dominant, a rising lead and a snare roll.
const Section kBuild{"G | A | F# | F#",
                     {"R.R.R.R.R.R.R.R.", "R.R.R.R.R.R.R.R.", "RrRrRrRrRrRrRrRr", "RrRrRrRrRrRrO.O."},
                     {"K...S...K...S...", "K.S.K.S.K.S.K.S.", "K.S.K.S.K.S.KSKS", "1122334455667789"},
                     {2, 2, 1, 1}, true,
                     "D2:4 G2:4 B2:4 D3:4 | E2:4 A2:4 C#3:4 E3:4 | F#2:4 A#2:4 C#3:4 F#3:4 | F#3:6 E3:2 C#3:4 A#2:4",
                     nullptr, 0, 0, 0.8};
// The theme once more, a tone higher, with a new ending.
const Section kA7{"Am | F | C | G",
                  {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.R.O.O."},
                  {"X...SxHsKxHKSxHx", kDrive2, kDrive, "KxHxSxHsKxS.SSSS"},
                  {2, 2, 2, 2}, true,
                  "E2:3 A1:3 C2:2 E2:3 D2:3 C2:2 | C2:6 A1:2 r:2 A1:2 C2:2 F2:2 |"
                  "E2:3 G2:3 C3:2 B2:3 G2:3 E2:2 | D2:4 G2:4 B2:4 D3:4",
                  nullptr, 0, 2, 0.95};
// Back to A minor: B minor falls through G and F to E, whose last notes climb
// into the theme's first when the song starts over.
const Section kOutro{"Bm | G | F | E",
                     {kTres, kTres, kTres, "R..R..O.R.R.O.O."},
                     {"X...S.hsK.KhS.hx", kBeat2, kBeat, "K.hxS.hsK.TTM.LL"},
                     {4, 4, 2, 2}, true,
                     "F#2:3 B1:3 D2:2 F#2:3 E2:3 D2:2 | D2:6 B1:2 r:2 G1:2 B1:2 D2:2 |"
                     "C2:3 A1:3 F1:2 A1:2 C2:2 F2:2 E2:2 | B1:6 r:2 G#1:2 B1:2 D2:2 D#2:2",
                     nullptr, 0, 0, 0.9};

Section inKey(Section s, int transpose, double level) {
    s.transpose = transpose;
    s.level = level;
    return s;
}

// The first row sets tempo and panning. Its notes play at their samples' own
// volume, since the effect column is taken, so those volumes are set to match.
void setUp(Module& m) {
    Pattern& first = m.patterns.front();
    for (int ch = 0; ch < kChannels; ++ch) {
        Cell& c = first.at(0, ch);
        if (c.note != kNoNote) m.samples.at(c.instrument - 1).volume = c.param;
        c.effect = kFxPanning;
        c.param = kPan[ch];
    }
    // The lead is silent at first: tempo on its first row, its panning on the next.
    if (first.at(0, kLeadChannel).note != kNoNote || first.at(1, kLeadChannel).effect)
        throw std::runtime_error("the lead must rest at the start");
    first.at(1, kLeadChannel).effect = kFxPanning;
    first.at(1, kLeadChannel).param = kPan[kLeadChannel];
    first.at(0, kLeadChannel).effect = kFxSpeed;
    first.at(0, kLeadChannel).param = kTempo;
}

// The last row jumps back to the first section after the intro.
void loopBack(Module& m) {
    for (int ch = 0; ch < kChannels; ++ch) {
        Cell& c = m.patterns.back().at(kRows - 1, ch);
        if (c.effect == 0 && c.param == 0) {
            c.effect = kFxJump;
            c.param = 1;
            return;
        }
    }
    throw std::runtime_error("no free effect on the last row for the jump back");
}

}  // namespace

Module composeMoonlite() {
    Module m;
    m.title = "moonlite";
    m.samples = {makeBass(), makeLead(),    makeChip(),      makeBell(),     makeKick(false),
                 makeKick(true), makeSnare(), makeHat(false), makeHat(true), makeTom()};
    const std::vector<Section> form = {
        kIntro,                                                   // once
        kA1, kA2, kB1, kB2, kA3, kA4,                             // A minor
        kBreak1, kBreak2,                                         // thin
        kC1, kC2, kC3, kC4, kGroove1, kGroove2,                   // D minor
        kBuild,                                                   // to B minor
        inKey(kA3, 2, 1.0), inKey(kA4, 2, 1.0), inKey(kB1, 2, 0.9), inKey(kB2, 2, 0.9), kA7,
        kOutro,                                                   // back to A minor
    };
    for (const Section& s : form) m.patterns.push_back(build(s));
    for (int i = 0; i < static_cast<int>(m.patterns.size()); ++i) m.order.push_back(i);
    setUp(m);
    loopBack(m);
    return m;
}

std::vector<uint8_t> buildMoonlite() { return serialize(composeMoonlite()); }

}  // namespace musicgen
