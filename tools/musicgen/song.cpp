#include "song.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "synth.h"

namespace musicgen {
namespace {

// Channels alternate left/right/right/left, so bass and lead sit on one side
// and drums and arpeggios on the other.
constexpr int kBassCh = 0, kDrumCh = 1, kArpCh = 2, kLeadCh = 3;
constexpr int kBass = 1, kLead = 2, kChip = 3, kKick = 4, kSnare = 5, kHat = 6, kOpenHat = 7;
constexpr int kDrumNote = 24;  // C-3: the rate the drums were synthesised for

constexpr int kFxArpeggio = 0x0, kFxVibrato = 0x4, kFxVibratoVolSlide = 0x6, kFxVolume = 0xC, kFxSpeed = 0xF;

struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};

Chord chord(std::string_view name) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};
    return {base[name.at(0) - 'A'], name.size() > 1 && name[1] == 'm'};
}

struct Section {
    std::array<const char*, 4> chords;  // one per bar
    std::array<const char*, 4> bass;    // 16 rows each: R root, O octave up, F fifth, . nothing
    std::array<const char*, 4> drums;   // K kick, S snare, 1-9 snare at rising volume, h hat, o open hat
    std::array<int, 4> arpEvery;        // rows between arpeggio hits, per bar
    bool arpOctaves;                    // alternate hits an octave up
    const char* lead;                   // "E3:2 A2:4 r:2 ..." notes (or rests) with lengths in rows
};

void bassPart(Pattern& p, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        const int root = chord(s.chords[bar]).root;  // octave 1
        std::string_view line = s.bass[bar];
        if (line.size() != 16) throw std::runtime_error("bass bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            int note = kNoNote;
            switch (line[i]) {
                case 'R': note = root; break;
                case 'O': note = root + 12; break;
                case 'F': note = root + 7; break;
                case '.': break;
                default: throw std::runtime_error("bad bass symbol");
            }
            if (note != kNoNote) {
                Cell& c = p.at(bar * 16 + i, kBassCh);
                c.note = note;
                c.instrument = kBass;
            }
        }
    }
}

void drumPart(Pattern& p, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        std::string_view line = s.drums[bar];
        if (line.size() != 16) throw std::runtime_error("drum bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            Cell& c = p.at(bar * 16 + i, kDrumCh);
            char d = line[i];
            if (d == '.') continue;
            c.note = kDrumNote;
            if (d == 'K') c.instrument = kKick;
            else if (d == 'S') c.instrument = kSnare;
            else if (d == 'h') c.instrument = kHat;
            else if (d == 'o') c.instrument = kOpenHat;
            else if (d >= '1' && d <= '9') {
                c.instrument = kSnare;
                c.effect = kFxVolume;
                c.param = 10 + (d - '1') * 6;  // 10..58: a roll that swells
            } else {
                throw std::runtime_error("bad drum symbol");
            }
        }
    }
}

void arpPart(Pattern& p, const Section& s) {
    int hit = 0;
    for (int bar = 0; bar < 4; ++bar) {
        Chord ch = chord(s.chords[bar]);
        // Keep the chord's root between F-1 and E-2: the middle of the mix.
        int base = ch.root >= 5 ? ch.root : ch.root + 12;
        int shape = ch.minor ? 0x37 : 0x47;
        for (int i = 0; i < 16; ++i) {
            Cell& c = p.at(bar * 16 + i, kArpCh);
            c.effect = kFxArpeggio;
            c.param = shape;  // on every row: the arpeggio only runs where it is written
            if (i % s.arpEvery[bar] == 0) {
                c.note = base + (s.arpOctaves && hit % 2 ? 12 : 0);
                c.instrument = kChip;
                ++hit;
            }
        }
    }
}

void leadPart(Pattern& p, const Section& s) {
    std::string_view text = s.lead;
    int row = 0;
    while (!text.empty()) {
        auto end = text.find_first_of(" |");
        std::string_view tok = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (tok.empty()) continue;
        auto colon = tok.find(':');
        if (colon == std::string_view::npos) throw std::runtime_error("lead token needs a length");
        int length = std::stoi(std::string(tok.substr(colon + 1)));
        std::string_view name = tok.substr(0, colon);
        if (length <= 0 || row + length > kRows) throw std::runtime_error("lead line does not fit the pattern");
        Cell& first = p.at(row, kLeadCh);
        if (name == "r") {
            first.effect = kFxVolume;  // silence until the next note
            first.param = 0;
        } else {
            bool sharp = name.size() == 3 && name[1] == '#';
            int note = noteIndex(name[0], sharp, name.back() - '0');
            if (note == kNoNote) throw std::runtime_error("lead note out of range");
            first.note = note;
            first.instrument = kLead;
            // Long notes get vibrato after a moment, the longest also fade out.
            for (int i = 3; length >= 6 && i < length; ++i) {
                Cell& c = p.at(row + i, kLeadCh);
                bool tail = length >= 8 && i >= length - 2;
                c.effect = tail ? kFxVibratoVolSlide : kFxVibrato;
                c.param = tail ? 0x02 : 0x52;
            }
        }
        row += length;
    }
    if (row != kRows) throw std::runtime_error("lead line must fill the pattern");
}

Pattern build(const Section& s) {
    Pattern p;
    bassPart(p, s);
    drumPart(p, s);
    arpPart(p, s);
    leadPart(p, s);
    return p;
}

// Intro, A, B, A again with more drive, a breakdown and a build-up whose
// dominant chord and snare roll land on the intro's downbeat when the song
// starts over.
const Section kIntro{
    {"Am", "Am", "F", "G"},
    {"R...R...R...R...", "R...R...R...R...", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O."},
    {"K.......K.......", "K...h...K...h...", "K.h.S.h.K.h.S.h.", "K.h.S.h.K.h.SSSS"},
    {4, 4, 4, 4}, false,
    "r:56 A2:2 B2:2 C3:2 D3:2"};
const Section kA1{
    {"Am", "F", "C", "G"},
    {"R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.F."},
    {"K.h.S.h.K.hKS.h.", "K.h.S.h.K.h.S.h.", "K.h.S.h.K.hKS.h.", "K.h.S.hhK.h.S.So"},
    {4, 4, 4, 4}, false,
    "E3:2 A2:2 C3:2 E3:4 D3:2 C3:2 D3:2 | C3:6 A2:2 F2:2 A2:2 C3:2 F3:2 |"
    "E3:4 G3:2 E3:2 D3:2 C3:2 D3:2 E3:2 | D3:8 B2:4 G2:4"};
const Section kA2{
    {"Am", "F", "G", "E"},
    {"R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.R.O.O."},
    {"K.h.S.h.K.hKS.h.", "K.h.S.h.K.h.S.h.", "K.h.S.h.K.hKS.h.", "K.h.S.h.K.S.SSSS"},
    {4, 4, 4, 2}, false,
    "E3:2 A2:2 C3:2 E3:4 D3:2 C3:2 D3:2 | C3:4 F3:4 E3:2 D3:2 C3:4 |"
    "B2:2 D3:2 G3:4 F3:2 E3:2 D3:4 | E3:8 G#2:4 B2:4"};
const Section kB1{
    {"F", "G", "Em", "Am"},
    {"R..RO.R.R..RO.F.", "R..RO.R.R..RO.F.", "R..RO.R.R..RO.F.", "R..RO.R.R..RO.O."},
    {"K.hhS.h.K.hhS.ho", "K.hhS.h.K.hhS.ho", "K.hhS.h.K.hhS.ho", "K.hhS.h.K.S.SSSS"},
    {2, 2, 2, 2}, true,
    "A3:6 G3:2 F3:4 C3:4 | B3:6 A3:2 G3:4 D3:4 | G3:4 E3:4 B2:4 E3:4 | A3:8 G3:4 E3:4"};
const Section kB2{
    {"Dm", "Em", "F", "G"},
    {"R..RO.R.R..RO.F.", "R..RO.R.R..RO.F.", "R..RO.R.R..RO.F.", "R.O.R.O.R.R.O.O."},
    {"K.hhS.h.K.hhS.ho", "K.hhS.h.K.hhS.ho", "K.hhS.h.K.hhS.ho", "K.hhS.hhK.S.SSSS"},
    {2, 2, 2, 2}, true,
    "F3:6 E3:2 D3:4 A2:4 | G3:6 F3:2 E3:4 B2:4 | A3:6 G3:2 F3:2 G3:2 A3:4 | B3:8 A3:2 G3:2 D3:4"};
const Section kA1Drive{
    {"Am", "F", "C", "G"},
    {"R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.F."},
    {"K.hhS.hhK.hhS.hh", "K.hhS.hhK.hhS.hh", "K.hhS.hhK.hhS.hh", "K.hhS.hhK.S.S.So"},
    {2, 2, 2, 2}, true,
    "E3:2 A2:2 C3:2 E3:2 A3:2 G3:2 E3:2 D3:2 | C3:6 A2:2 F2:2 A2:2 C3:2 F3:2 |"
    "E3:4 G3:2 E3:2 D3:2 C3:2 D3:2 E3:2 | D3:4 G3:4 B3:8"};
const Section kA2Drive{
    {"Am", "F", "G", "E"},
    {"R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.O.R.O.", "R.O.R.O.R.R.O.O."},
    {"K.hhS.hhK.hhS.hh", "K.hhS.hhK.hhS.hh", "K.hhS.hhK.hhS.hh", "K.hhS.hhK.S.SSSS"},
    {2, 2, 2, 2}, true,
    "E3:2 A2:2 C3:2 E3:4 D3:2 C3:2 D3:2 | C3:4 F3:4 E3:2 D3:2 C3:4 |"
    "B2:2 D3:2 G3:4 F3:2 E3:2 D3:4 | E3:4 G#3:4 B3:8"};
const Section kBreakdown{
    {"Am", "F", "C", "G"},
    {"R.......O.......", "R.......O.......", "R.......O.......", "R.......R.R.O.O."},
    {"h.h.h.h.h.h.h.h.", "h.h.h.h.h.h.h.h.", "h.h.h.h.h.h.hoh.", "K...K...K...K.SS"},
    {2, 2, 2, 2}, true,
    "A2:8 E3:6 r:2 | F3:8 C3:6 r:2 | E3:8 G3:6 r:2 | D3:12 r:4"};
const Section kBuild{
    {"Dm", "F", "G", "E"},
    {"R.R.R.R.R.R.R.R.", "R.R.R.R.R.R.R.R.", "R.R.R.R.R.R.R.R.", "RRRRRRRRRRRRRRRR"},
    {"K...S...K...S...", "K.S.K.S.K.S.K.S.", "K.S.K.S.K.S.K.S.", "1122334455667789"},
    {2, 2, 2, 1}, true,
    "A2:4 D3:4 F3:4 A3:4 | A3:4 F3:4 C3:4 F3:4 | G3:4 B2:4 D3:4 G3:4 | G#3:8 B3:8"};

}  // namespace

Module composeMoonlite() {
    Module m;
    m.title = "moonlite";
    m.samples = {makeBass(), makeLead(), makeChip(), makeKick(), makeSnare(), makeHat(false), makeHat(true)};
    for (const Section* s : {&kIntro, &kA1, &kA2, &kB1, &kB2, &kA1Drive, &kA2Drive, &kBreakdown, &kBuild})
        m.patterns.push_back(build(*s));
    // Tempo lives on the first row, so it is set again every time the song
    // starts over: 6 ticks a row at 140 BPM.
    Pattern& first = m.patterns.front();
    first.at(0, kDrumCh).effect = kFxSpeed;
    first.at(0, kDrumCh).param = 6;
    first.at(0, kBassCh).effect = kFxSpeed;
    first.at(0, kBassCh).param = 140;
    for (int i = 0; i < static_cast<int>(m.patterns.size()); ++i) m.order.push_back(i);
    return m;
}

std::vector<uint8_t> buildMoonlite() { return serialize(composeMoonlite()); }

}  // namespace musicgen
