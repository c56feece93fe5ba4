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

constexpr int kBass = 1, kLead = 2, kLeadHigh = 3, kChip = 4, kBell = 5, kKick = 6, kSnare = 7, kTom = 8, kHat = 9,
              kOpenHat = 10, kCrash = 11, kShaker = 12, kPad = 13;  // the pads: kPad + the chord's quality
constexpr int kTopNote = 35;  // B-3: the drums' own pitch, and the highest note there is

constexpr int kFxArpeggio = 0x0, kFxVibrato = 0x4, kFxVibratoVolSlide = 0x6, kFxPanning = 0x8, kFxVolSlide = 0xA,
              kFxJump = 0xB, kFxVolume = 0xC, kFxSpeed = 0xF;

// 6 ticks a row at 150 BPM: a row is exactly 800 output frames per tick at 48 kHz.
constexpr int kTempo = 150;
// Left 0x00, middle 0x80, right 0xFF (see song.h).
constexpr std::array<int, kChannels> kPan = {0x80, 0x80, 0x98, 0x44, 0xBC, 0x50};

int volume(double base, double level) {
    long v = std::lround(base * level);
    return static_cast<int>(v < 0 ? 0 : v > 64 ? 64 : v);
}

// The kinds of chord the song uses: the third and the seventh above the root
// (0: none), and the arpeggio's two steps, which leave out the fifth of a
// seventh chord so the seventh is heard.
struct Quality {
    std::string_view suffix;
    int third, seventh, arp;
};
constexpr std::array<Quality, 6> kQualities = {{
    {"", 4, 0, 0x47}, {"m", 3, 0, 0x37}, {"7", 4, 10, 0x4A}, {"m7", 3, 10, 0x3A}, {"maj7", 4, 11, 0x4B}, {"sus4", 5, 0, 0x57},
}};

struct Chord {
    int root, bass;  // pitch classes, C = 0; the bass differs from the root in "C/E"
    int quality;     // into kQualities
    bool has(int pitch) const {
        const Quality& q = kQualities[quality];
        const int step = ((pitch - root) % 12 + 12) % 12;
        return step == 0 || step == q.third || step == 7 || (q.seventh && step == q.seventh);
    }
};

int pitchClass(std::string_view& name, int transpose) {  // reads "C", "F#" or "Bb" off the front
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') throw std::runtime_error("bad chord");
    int pc = base[name[0] - 'A'] + transpose;
    name.remove_prefix(1);
    if (!name.empty() && (name[0] == '#' || name[0] == 'b')) {
        pc += name[0] == '#' ? 1 : -1;
        name.remove_prefix(1);
    }
    return (pc % 12 + 12) % 12;
}

// "Am7", "Fmaj7", "Gsus4", "C/E".
Chord parseChord(std::string_view name, int transpose) {
    Chord c{};
    c.root = c.bass = pitchClass(name, transpose);
    const auto slash = name.find('/');
    const std::string_view suffix = name.substr(0, slash);
    c.quality = -1;
    for (std::size_t q = 0; q < kQualities.size(); ++q)
        if (kQualities[q].suffix == suffix) c.quality = static_cast<int>(q);
    if (c.quality < 0) throw std::runtime_error("unknown chord");
    if (slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
        c.bass = pitchClass(name, transpose);
        if (!name.empty()) throw std::runtime_error("bad bass note");
    }
    return c;
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

constexpr int kPadBar = -1;  // in Section::chordEvery: the pad holds the bar's chords

struct Section {
    const char* chords;
    std::array<const char*, 4> bass;     // 16 rows a bar, see bassPart
    std::array<const char*, 4> kit;      // kick, snare and toms, see kKitHits
    std::array<const char*, 4> cymbals;  // hi-hats, crash and shaker, see kCymbalHits
    std::array<int, 4> chordEvery{};     // rows between arpeggio hits in each bar, kPadBar, or 0 for nothing
    bool arpOctaves = false;             // alternate hits an octave up
    const char* lead = nullptr;          // "E2:3 A1:2 r:2 ...": notes or rests and their lengths in rows; none: a rest
    // The second voice: a tune for the bell, or the lead echoed by the bell this
    // many rows later, or the lead in harmony a chord tone lower.
    const char* bell = nullptr;
    int echo = 0;
    bool harmony = false;
    int transpose = 0;    // semitones, for a section in another key
    double level = 1.0;   // scales every volume in the section
};

void setNote(Cell& c, int note, int instrument, int vol) {
    if (note < 0 || note > kTopNote) throw std::runtime_error("note out of range");
    c.note = note;
    c.instrument = instrument;
    c.effect = kFxVolume;
    c.param = vol;
}

void fade(Cell& c) {  // to silence within a row
    c.effect = kFxVolSlide;
    c.param = 0x0C;
}

// The lead's pitch is written for its 16-sample cycle; below the top octave it
// plays its 32-sample twin an octave up, which has room for more harmonics.
void setLead(Cell& c, int pitch, int vol) {
    if (pitch + 12 <= kTopNote) setNote(c, pitch + 12, kLead, vol);
    else setNote(c, pitch, kLeadHigh, vol);
}
int leadPitch(const Cell& c) { return c.instrument == kLead ? c.note - 12 : c.note; }

// R root (or the bass note of "C/E"), O its octave, F its fifth, T the
// chord's third, S its seventh (a minor one in a triad) (capital: played
// firmly, small letter: softly), - let the note die away, . nothing.
void bassPart(Pattern& p, const Section& s) {
    auto chords = halfBars(s.chords, s.transpose);
    for (int bar = 0; bar < 4; ++bar) {
        std::string_view line = s.bass[bar];
        if (line.size() != 16) throw std::runtime_error("bass bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            const Chord ch = chords[2 * bar + i / 8];
            const Quality& q = kQualities[ch.quality];
            Cell& c = p.at(bar * 16 + i, kBassChannel);
            const char sym = line[i];
            if (sym == '.') continue;
            if (sym == '-') {
                c.effect = kFxVolSlide;
                c.param = 0x04;
                continue;
            }
            const bool firm = sym >= 'A' && sym <= 'Z';
            int note;
            switch (firm ? sym : sym - 'a' + 'A') {
                case 'R': note = ch.bass; break;
                case 'O': note = ch.bass + 12; break;
                case 'F': note = ch.bass + 7; break;
                case 'T': note = ch.root + q.third; break;
                case 'S': note = ch.root + (q.seventh ? q.seventh : 10); break;
                default: throw std::runtime_error("bad bass symbol");
            }
            setNote(c, note, kBass, volume(firm ? 50 : 30, s.level));
        }
    }
}

struct Hit {
    char symbol;
    int instrument, volume, below = 0;  // below: semitones under the drums' own pitch
};
// K/k kick (firm/soft), S snare, s ghost snare, T/M/L toms high to low; 1-9 a
// snare roll rising in volume.
constexpr Hit kKitHits[] = {{'K', kKick, 52},  {'k', kKick, 34}, {'S', kSnare, 54},    {'s', kSnare, 15},
                            {'T', kTom, 46},   {'M', kTom, 48, 5}, {'L', kTom, 50, 10}};
// H/h/x hi-hat (accent/plain/ghost), o open hi-hat, C crash, Z/z shaker.
constexpr Hit kCymbalHits[] = {{'H', kHat, 60},   {'h', kHat, 44},      {'x', kHat, 28},  {'o', kOpenHat, 44},
                               {'C', kCrash, 56}, {'Z', kShaker, 52}, {'z', kShaker, 36}};

template <std::size_t N>
void drumPart(Pattern& p, const std::array<const char*, 4>& bars, int channel, const Hit (&hits)[N], double level) {
    for (int bar = 0; bar < 4; ++bar) {
        std::string_view line = bars[bar];
        if (line.size() != 16) throw std::runtime_error("drum bar must have 16 rows");
        for (int i = 0; i < 16; ++i) {
            const char d = line[i];
            if (d == '.') continue;
            Hit hit{d, kSnare, 10 + (d - '1') * 6};  // 10..58: a roll that swells
            bool known = channel == kKickChannel && d >= '1' && d <= '9';
            for (const Hit& h : hits)
                if (h.symbol == d) hit = h, known = true;
            if (!known) throw std::runtime_error("bad drum symbol");
            setNote(p.at(bar * 16 + i, channel), kTopNote - hit.below, hit.instrument, volume(hit.volume, level));
        }
    }
}

// The chords, bar by bar: as a fast arpeggio, its first hit setting the
// volume and later hits only the note, which keeps it, so that every other
// row can carry the arpeggio effect; or held by the pad, which sounds again
// only when the chord changes; or nothing, the pad fading out. Either way the
// chord's root lies between F-1 and E-2, the middle of the mix.
void chordPart(Pattern& p, const Section& s) {
    auto chords = halfBars(s.chords, s.transpose);
    int hit = 0;
    const Chord* held = nullptr;
    for (int bar = 0; bar < 4; ++bar) {
        const int every = s.chordEvery[bar];
        if (every == 0) fade(p.at(bar * 16, kChordChannel));
        if (every != kPadBar) held = nullptr;
        for (int i = 0; every && i < 16; ++i) {
            const Chord& ch = chords[2 * bar + i / 8];
            const int base = ch.root >= 5 ? ch.root : ch.root + 12;
            Cell& c = p.at(bar * 16 + i, kChordChannel);
            if (every == kPadBar) {
                if (held && held->root == ch.root && held->quality == ch.quality) continue;
                held = &ch;
                setNote(c, base, kPad + ch.quality, volume(36, s.level));
                continue;
            }
            c.effect = kFxArpeggio;
            c.param = kQualities[ch.quality].arp;
            if (i % every) continue;
            const int note = base + (s.arpOctaves && hit % 2 ? 12 : 0);
            if (hit++ == 0) setNote(c, note, kChip, volume(44, s.level));
            else c.note = note;
        }
    }
}

// A tune in "E2:3 A#1:2 r:2" form. The lead's long notes get vibrato after a
// moment and the longest fade at their end; a rest fades the lead out within
// a row instead of cutting it. The bell rings out by itself.
void melody(Pattern& p, std::string_view text, int transpose, int channel, int vol, bool lead) {
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
            if (lead) fade(first);
        } else {
            const bool sharp = name.size() == 3 && name[1] == '#';
            const int note = noteIndex(name[0], sharp, name.back() - '0');
            if (note == kNoNote) throw std::runtime_error("melody note out of range");
            if (lead) setLead(first, note + transpose, vol);
            else setNote(first, note + transpose, kBell, vol);
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

// The second voice from the lead: its notes echoed by the bell, later, softer
// and an octave up where there is room; or sung along a chord tone a third to a
// sixth lower, softer, with the lead's vibrato and fades.
void secondVoice(Pattern& p, const Section& s) {
    auto chords = halfBars(s.chords, s.transpose);
    for (int row = 0; row < kRows; ++row) {
        const Cell& from = p.at(row, kLeadChannel);
        if (s.echo && from.note != kNoNote && row + s.echo < kRows) {
            const int pitch = leadPitch(from) + 12 <= kTopNote ? leadPitch(from) + 12 : leadPitch(from);
            setNote(p.at(row + s.echo, kVoiceChannel), pitch, kBell, from.param * 3 / 5);
        }
        if (!s.harmony) continue;
        Cell& to = p.at(row, kVoiceChannel);
        if (from.note == kNoNote) {
            to = from;
            continue;
        }
        int pitch = leadPitch(from) - 3;
        while (!chords[row / 8].has(pitch) && pitch > leadPitch(from) - 9) --pitch;
        if (pitch < 0) throw std::runtime_error("no room for the harmony");
        setLead(to, pitch, from.param * 3 / 5);
    }
}

Pattern build(const Section& s) {
    Pattern p;
    bassPart(p, s);
    drumPart(p, s.kit, kKickChannel, kKitHits, s.level);
    drumPart(p, s.cymbals, kCymbalChannel, kCymbalHits, s.level);
    chordPart(p, s);
    melody(p, s.lead ? s.lead : "r:64", s.transpose, kLeadChannel, volume(54, s.level), true);
    if (s.bell) melody(p, s.bell, s.transpose, kVoiceChannel, volume(40, s.level), false);
    else if (s.echo || s.harmony) secondVoice(p, s);
    else fade(p.at(0, kVoiceChannel));
    return p;
}

// ---- The music ------------------------------------------------------------

constexpr std::array<int, 4> kPadded = {kPadBar, kPadBar, kPadBar, kPadBar};

constexpr const char* kRock = "K...S...K.K.S...";
constexpr const char* kRock2 = "K...S..sK...S.k.";
constexpr const char* kHalf = "K.......S.......";
constexpr const char* kHalf2 = "K.....k.S.....s.";
constexpr const char* kFunk = "K..sS..K..K.S..s";
constexpr const char* kFunk2 = "K..sS..K..KsS.k.";
constexpr const char* kDrive = "K...S..kK.K.S..k";
constexpr const char* kNone = "................";

constexpr const char* kEights = "H.h.H.h.H.h.H.h.";
constexpr const char* kEightsOpen = "H.h.H.h.H.h.H.o.";
constexpr const char* kCrashIn = "C.......H.h.H.h.";
constexpr const char* kSixteens = "HxhxHxhxHxhxHxhx";
constexpr const char* kShake = "ZzzzZzzzZzzzZzzz";
constexpr const char* kShakeSlow = "Z...z...Z...z...";

constexpr const char* kTres = "R..R..O.R..R..F.";
constexpr const char* kPumpB = "R..rO.r.R..rO.F.";
constexpr const char* kPump = "R.r.O.r.R.r.O.r.";
constexpr const char* kDriveBass = "R.rRO.rRR.rRO.rO";
constexpr const char* kLong = "R.......R..r..F.";
constexpr const char* kHold = "R...............";
constexpr const char* kRiff = "R.rO..R.r.ROr.F.";

// Intro, once: the pad swells over a held A while the bell hints at the
// theme; the lead's pickup climbs into it.
const Section kIntro{.chords = "Am7 | Fmaj7 | Dm7 | Esus4 E7",
                     .bass = {"R.......r.......", "R.......r.......", "R.......R.......", "R.......R..r.O.o"},
                     .kit = {"K.......k.......", "K.......k.......", "K.......K.......", "K...S...K.S.SsSS"},
                     .cymbals = {kShake, kShake, kShake, kShake},
                     .chordEvery = kPadded,
                     .lead = "r:58 B1:2 C2:2 D2:2",
                     .bell = "E2:4 A2:4 B2:4 C3:4 | B2:8 A2:4 E2:4 | F2:4 A2:4 D3:4 C3:4 | B2:8 r:8",
                     .level = 1.0};
// A: the theme as a question (ending on G) and its answer (ending on E).
const Section kA1{.chords = "Am7 | Fmaj7 | C G/B | Gsus4 G",
                  .bass = {kTres, kTres, "R..R..O.R..R..R.", "R..R..O.R.r.O.o."},
                  .kit = {kRock, kRock2, kRock, kRock2},
                  .cymbals = {kCrashIn, kEights, kEights, kEightsOpen},
                  .chordEvery = {4, 4, 4, 4},
                  .lead = "E2:3 A1:3 C2:2 E2:3 D2:3 C2:2 | C2:6 A1:2 r:2 A1:2 C2:2 F2:2 |"
                          "E2:3 G2:3 E2:2 D2:2 C2:2 D2:2 E2:2 | D2:8 B1:2 G1:2 B1:2 D2:2",
                  .level = 0.95};
const Section kA2{.chords = "Am7 | Dm7 | G7 | Esus4 E7",
                  .bass = {kTres, kTres, kTres, "R..R..O.R.R.r.O."},
                  .kit = {kRock, kRock2, kRock, "K...S..sK.S.SsSS"},
                  .cymbals = {kEights, kEights, kEights, "H.h.H.h.H......."},
                  .chordEvery = {4, 4, 4, 2},
                  .lead = "E2:3 A1:3 C2:2 E2:3 D2:3 C2:2 | F2:6 E2:2 r:2 D2:2 C2:2 A1:2 |"
                          "B1:3 D2:3 G2:2 F2:3 E2:3 D2:2 | E2:8 r:2 G#1:2 B1:2 D2:2",
                  .level = 0.95};
// B: a duet over the pad, its phrases entering after the beat.
const Section kB1{.chords = "Fmaj7 | G | Em7 | Am Am/G",
                  .bass = {kPumpB, kPumpB, kPumpB, "R..rO.r.R..rO.r."},
                  .kit = {kHalf, kHalf2, kHalf, kHalf2},
                  .cymbals = {kShake, kShake, kShake, kShake},
                  .chordEvery = kPadded,
                  .lead = "r:2 A2:4 G2:2 F2:3 C2:3 F2:2 | r:2 B2:4 A2:2 G2:3 D2:3 G2:2 |"
                          "r:2 G2:4 E2:2 B1:3 E2:3 G2:2 | A2:10 G2:2 E2:2 C2:2",
                  .harmony = true,
                  .level = 0.95};
const Section kB2{.chords = "Dm7 | Em7 | Fmaj7 G | Esus4 E",
                  .bass = {kPumpB, kPumpB, kPumpB, "R.R.R.R.RrRrO.O."},
                  .kit = {kHalf, kHalf2, kHalf, "K.....k.S.S.T.ML"},
                  .cymbals = {kShake, kShake, kShake, "ZzzzZzzzZzzz...."},
                  .chordEvery = kPadded,
                  .lead = "r:2 F2:4 E2:2 D2:3 A1:3 D2:2 | r:2 G2:4 F2:2 E2:3 B1:3 E2:2 |"
                          "r:2 A2:4 G2:2 F2:2 G2:2 A2:2 C3:2 | B2:8 G#2:4 E2:4",
                  .harmony = true,
                  .level = 0.95};
// Groove: the lead rests; a bell riff over the bass riff and the pad.
const Section kG1{.chords = "Am | Am | Fmaj7 | G",
                  .bass = {kRiff, kRiff, kRiff, "R..R..r.O.O.F.T."},
                  .kit = {kFunk, kFunk2, kFunk, kFunk2},
                  .cymbals = {kSixteens, kSixteens, kSixteens, kSixteens},
                  .chordEvery = kPadded,
                  .bell = "E2:2 r:1 A2:1 r:2 B2:2 C3:2 B2:1 r:1 A2:2 E2:2 | E2:2 r:1 A2:1 r:2 B2:2 C3:2 E3:1 r:1 C3:2 G2:2 |"
                          "F2:2 r:1 A2:1 r:2 C3:2 E3:2 C3:1 r:1 A2:2 F2:2 | G2:2 r:1 B2:1 r:2 D3:2 F3:2 D3:1 r:1 B2:2 G2:2",
                  .level = 0.95};
const Section kG2{.chords = "Am | Am C/G | Dm7 | E7",
                  .bass = {kRiff, "R.rO..R.R.r.R.r.", kRiff, "R..R..r.O.O.F.T."},
                  .kit = {kFunk, kFunk2, kFunk, "K..sS..KT.TMM.LL"},
                  .cymbals = {kSixteens, kSixteens, kSixteens, "HxhxHxhxHxhx...."},
                  .chordEvery = kPadded,
                  .bell = "E2:2 r:1 A2:1 r:2 B2:2 C3:2 B2:1 r:1 A2:2 E2:2 | E2:2 r:1 A2:1 r:2 C3:2 E3:2 G3:1 r:1 E3:2 C3:2 |"
                          "D2:2 r:1 F2:1 r:2 A2:2 C3:2 A2:1 r:1 F2:2 D2:2 | E2:2 r:1 G#2:1 r:2 B2:2 D3:2 B2:1 r:1 G#2:2 E2:2",
                  .level = 0.95};
// The theme again with drive: sixteenth hats, busier bass, higher endings, the bell echoing.
const Section kA3{.chords = "Am Am/G | Fmaj7 | C | G7",
                  .bass = {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.R.O.O."},
                  .kit = {kDrive, kDrive, kDrive, kDrive},
                  .cymbals = {"C.......HxhxHxhx", kSixteens, kSixteens, "HxhxHxhxHxhxHxo."},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "E2:3 A1:3 C2:2 E2:2 A2:2 G2:2 E2:2 | F2:3 E2:3 C2:2 r:2 A1:2 C2:2 F2:2 |"
                          "G2:3 E2:3 C2:2 D2:2 E2:2 G2:2 C3:2 | B2:6 A2:2 G2:2 D2:2 B1:2 D2:2",
                  .echo = 3,
                  .level = 1.0};
const Section kA4{.chords = "Am | Fmaj7 Dm7 | G | Esus4 E7",
                  .bass = {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.r.O.O."},
                  .kit = {kDrive, kDrive, kDrive, "K...S..sK.S.SSSS"},
                  .cymbals = {kSixteens, kSixteens, kSixteens, "HxhxHxhxH......."},
                  .chordEvery = {2, 2, 2, 1},
                  .arpOctaves = true,
                  .lead = "A2:3 E2:3 C2:2 E2:3 A2:3 B2:2 | C3:6 B2:2 A2:2 F2:2 A2:2 C3:2 |"
                          "B2:3 G2:3 D2:2 G2:3 B2:3 D3:2 | E3:6 D3:2 B2:2 G#2:2 E2:4",
                  .echo = 3,
                  .level = 1.0};
// Breakdown: the pad and a bell tune alone; then the lead low under the bell.
const Section kBreak1{.chords = "Am | Fmaj7 | Dm7 | Esus4 E",
                      .bass = {kHold, kHold, kHold, "R.......R......."},
                      .kit = {kNone, kNone, kNone, kNone},
                      .cymbals = {kShakeSlow, kShakeSlow, kShakeSlow, kShakeSlow},
                      .chordEvery = kPadded,
                      .bell = "r:4 E2:4 A2:4 B2:4 | C3:6 B2:2 A2:4 E2:4 | F2:4 A2:4 C3:4 D3:4 | B2:8 G#2:4 E2:4",
                      .level = 1.15};
const Section kBreak2{.chords = "Fmaj7 | G | Am Am/G | Bbmaj7 A7",
                      .bass = {"R.......O.......", "R.......O.......", "R.......R.......", "R.......R......."},
                      .kit = {"k...............", "k...............", "k.......s.......", "k...s...s.s.sSSS"},
                      .cymbals = {"z.z.z.z.z.z.z.z.", "z.z.z.z.z.z.z.z.", "z.z.z.z.z.z.z.z.", "z.z.z.z.z.z.z.z."},
                      .chordEvery = kPadded,
                      .lead = "A1:8 C2:4 E2:4 | D2:8 B1:4 G1:4 | C2:6 B1:2 A1:4 E1:4 | F1:8 E1:8",
                      .bell = "C3:2 A2:2 F2:2 A2:2 C3:4 E3:4 | D3:2 B2:2 G2:2 B2:2 D3:4 F3:4 |"
                              "E3:2 C3:2 A2:2 C3:2 E3:2 D3:2 C3:2 B2:2 | A2:4 D3:4 C#3:4 E3:4",
                      .level = 1.0};
// C: D minor over a pedal and a half-time beat, a tune of its own; then the
// arpeggio back and a turn through the circle of fifths.
const Section kC1{.chords = "Dm | Gm7/D | Bbmaj7/D | A7/C#",
                  .bass = {"R.......R..r..O.", "R.......R..r..O.", "R.......R..r..O.", "R.......R..r..R."},
                  .kit = {kHalf, kHalf2, kHalf, kHalf2},
                  .cymbals = {kEights, kEights, kEights, kEightsOpen},
                  .chordEvery = kPadded,
                  .lead = "A2:6 F2:2 D2:4 E2:4 | F2:4 G2:2 A#2:6 A2:4 | A2:6 F2:2 D2:8 | E2:4 C#2:4 A1:4 G2:4",
                  .level = 0.95};
const Section kC2{.chords = "Dm | Bbmaj7 | Gm7 C7 | Fmaj7 A7",
                  .bass = {kLong, kLong, kLong, "R.......R.r.O.o."},
                  .kit = {kHalf, kHalf2, kHalf, kHalf2},
                  .cymbals = {kEights, kEights, kEights, kEightsOpen},
                  .chordEvery = kPadded,
                  .lead = "F2:4 E2:2 D2:2 A2:8 | A#2:4 A2:2 F2:2 D2:8 | D2:2 F2:2 A#2:4 C3:2 A#2:2 G2:4 | A2:8 C#3:4 E3:4",
                  .level = 0.95};
const Section kC3{.chords = "Gm7 | C7 | Fmaj7 | Bbmaj7",
                  .bass = {kPump, kPump, kPump, kPump},
                  .kit = {kRock, kRock2, kRock, kRock2},
                  .cymbals = {kCrashIn, kEights, kEights, kEightsOpen},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "G2:2 A#2:2 D3:4 F3:4 D3:4 | E3:6 D3:2 C3:4 A#2:4 | A2:4 C3:4 E3:4 F3:4 | D3:12 C3:4",
                  .level = 0.95};
const Section kC4{.chords = "Gm7 | A7 | Dm Dm/C | Bbmaj7 A7",
                  .bass = {kPump, kPump, kPump, "R.r.O.r.R.R.O.O."},
                  .kit = {kRock, kRock2, kRock, "K...S..sK.S.T.ML"},
                  .cymbals = {kEights, kEights, kEights, "H.h.H.h.H......."},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "A#2:3 A2:3 G2:2 D3:4 A#2:4 | C#3:6 E3:2 G3:4 E3:4 | F3:4 E3:2 D3:2 A2:4 F2:4 | F2:4 D2:4 E2:4 C#2:4",
                  .harmony = true,
                  .level = 0.95};
// The second quiet passage: the arpeggio alone over a held bass; then the
// bell remembers the theme in D minor.
const Section kQuiet1{.chords = "Dm | Bbmaj7 | Gm7 | Asus4 A",
                      .bass = {kHold, kHold, kHold, "R.......R......."},
                      .kit = {kNone, kNone, kNone, kNone},
                      .cymbals = {kShakeSlow, kShakeSlow, kShakeSlow, kShakeSlow},
                      .chordEvery = {2, 2, 2, 2},
                      .arpOctaves = true,
                      .level = 1.2};
const Section kQuiet2{.chords = "Dm | Bbmaj7 | Gm7 C7 | Fmaj7 E7",
                      .bass = {"R.......r.......", "R.......r.......", "R.......R.......", "R.......R.......",},
                      .kit = {"k.......k.......", "k.......k.......", "k.......k.......", "k.......k...s.s."},
                      .cymbals = {"z.z.z.z.z.z.z.z.", "z.z.z.z.z.z.z.z.", "z.z.z.z.z.z.z.z.", "z.z.z.z.zzzzZzZz"},
                      .chordEvery = kPadded,
                      .bell = "A2:3 D2:3 F2:2 A2:3 G2:3 F2:2 | F2:6 D2:2 r:8 | G2:4 A#2:4 C3:4 E2:4 | A2:8 G#2:4 B2:4",
                      .level = 1.0};
// Build-up to E minor: the lead still resting, the arpeggio quickening over a snare roll.
const Section kBuild{.chords = "Cmaj7 | D | Bsus4 | B7",
                     .bass = {"R.R.R.R.R.R.R.R.", "R.R.R.R.R.R.R.R.", "RrRrRrRrRrRrRrRr", "RrRrRrRrRrRrO.O."},
                     .kit = {"K...K...K...K...", "K...K...K...K.k.", "K.k.K.k.K.k.K.k.", "1122334455667789"},
                     .cymbals = {"z.z.z.z.z.z.z.z.", "ZzZzZzZzZzZzZzZz", "HxHxHxHxHxHxHxHx", "HhHhHhHhHhHhHhHh"},
                     .chordEvery = {4, 2, 2, 1},
                     .arpOctaves = true,
                     .level = 0.95};
// D: the high point, a new tune in E minor, sung in harmony, echoed, and once
// over the pad.
const Section kD1{.chords = "Em | Cmaj7 | Am7 | Bsus4 B7",
                  .bass = {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.rRO.rO"},
                  .kit = {kDrive, kDrive, kDrive, kDrive},
                  .cymbals = {"C.......HxhxHxhx", kSixteens, kSixteens, kSixteens},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "B2:4 E3:4 D3:2 B2:2 G2:4 | A2:2 B2:2 C3:4 B2:4 G2:4 | E2:6 G2:2 A2:4 C3:4 | B2:8 A2:4 F#2:4",
                  .harmony = true,
                  .level = 1.0};
const Section kD2{.chords = "Em Em/D | Cmaj7 | Am7 D7 | G B7",
                  .bass = {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.R.O.O."},
                  .kit = {kDrive, kDrive, kDrive, kRock2},
                  .cymbals = {kSixteens, kSixteens, kSixteens, kSixteens},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "B2:4 E3:4 F#3:2 G3:2 F#3:4 | E3:6 D3:2 C3:4 B2:4 | A2:4 C3:4 D3:2 C3:2 A2:2 F#2:2 | G2:8 F#2:4 D#2:4",
                  .echo = 3,
                  .level = 1.0};
const Section kD3{.chords = "Cmaj7 | D | Bm7 Em | Am7 B7",
                  .bass = {kTres, kTres, kTres, "R..R..O.R.r.O.o."},
                  .kit = {kRock, kRock2, kRock, kRock2},
                  .cymbals = {kEights, kEights, kEights, kEightsOpen},
                  .chordEvery = kPadded,
                  .lead = "E3:4 G3:4 F#3:2 E3:2 D3:2 E3:2 | F#3:6 E3:2 D3:4 A2:4 | B2:4 D3:4 E3:4 B2:4 | C3:6 A2:2 B2:8",
                  .harmony = true,
                  .level = 1.0};
const Section kD4{.chords = "Em | Cmaj7 | Am7 B7 | Em",
                  .bass = {kDriveBass, kDriveBass, kDriveBass, "R.rRO.rRR.R.O.O."},
                  .kit = {kDrive, kDrive, kDrive, "K...S..sK.S.T.ML"},
                  .cymbals = {kSixteens, kSixteens, kSixteens, "HxhxHxhxH......."},
                  .chordEvery = {2, 2, 2, 2},
                  .arpOctaves = true,
                  .lead = "G3:4 F#3:2 E3:2 B2:4 E3:4 | D3:4 C3:2 B2:2 G2:4 E2:4 | A2:4 C3:4 D#3:4 F#3:4 | E3:12 r:4",
                  .echo = 3,
                  .level = 1.0};
// Back to A minor, falling; the last notes climb into the theme's first when the song starts over.
const Section kOutro{.chords = "Cmaj7 | Am7 | Dm7 | Esus4 E7",
                     .bass = {kTres, kTres, kTres, "R..R..O.R.R.O.O."},
                     .kit = {kRock, kRock2, kRock, "K...S..sK.TTM.LL"},
                     .cymbals = {kCrashIn, kEights, kEights, kEightsOpen},
                     .chordEvery = {4, 4, 2, 2},
                     .lead = "E3:4 D3:2 C3:2 G2:8 | A2:4 G2:2 E2:2 C2:8 | D2:4 F2:4 A2:4 C3:4 | B2:8 G#2:2 B2:2 D2:2 D#2:2",
                     .level = 0.95};

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
    m.samples = {makeBass(),  makeLead(false), makeLead(true), makeChip(),  makeBell(),   makeKick(),
                 makeSnare(), makeTom(),       makeHat(false), makeHat(true), makeCrash(), makeShaker()};
    for (const Quality& q : kQualities) {
        const std::string name = "pad " + std::string(q.suffix.empty() ? "major" : q.suffix);
        m.samples.push_back(makePad(name.c_str(), {0, 7, q.seventh ? q.seventh : 12, q.third + 12}));
    }
    const std::vector<Section> form = {
        kIntro,                                  // once
        kA1, kA2, kB1, kB2, kG1, kG2, kA3, kA4,  // A minor
        kBreak1, kBreak2,                        // the first quiet passage
        kC1, kC2, kC3, kC4,                      // D minor
        kQuiet1, kQuiet2, kBuild,                // the second, and the way up
        kD1, kD2, kD3, kD4,                      // E minor
        kOutro,                                  // back to A minor
    };
    for (const Section& s : form) m.patterns.push_back(build(s));
    for (int i = 0; i < static_cast<int>(m.patterns.size()); ++i) m.order.push_back(i);
    setUp(m);
    loopBack(m);
    return m;
}

std::vector<uint8_t> buildMoonlite() { return serialize(composeMoonlite()); }

}  // namespace musicgen
