// SPDX-License-Identifier: MIT
#include "record/lines.h"

#include <limits>

#include "base/text.h"
#include "base/utf8.h"
#include "base/version.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;

namespace record {

Step keyStep(bool down, int code, int shift) {
    Step s;
    s.kind = down ? Step::Kind::KeyDown : Step::Kind::KeyUp;
    s.code = code;
    s.shift = shift;
    return s;
}

Step clickStep(PanelLabel label) {
    Step s;
    s.kind = Step::Kind::Click;
    s.label = label;
    return s;
}

Step advanceStep(int64_t ms) {
    Step s;
    s.ms = ms;
    return s;
}

Step checkpointStep(int64_t clock, uint64_t digest) {
    Step s;
    s.kind = Step::Kind::Checkpoint;
    s.ms = clock;
    s.hash = digest;
    return s;
}

Step versionStep(int format, std::string writer) {
    Step s;
    s.kind = Step::Kind::Format;
    s.format = format;
    s.writer = std::move(writer);
    return s;
}

Step playerStep(std::string when, std::string name) {
    Step s;
    s.kind = Step::Kind::Player;
    s.when = std::move(when);
    s.name = std::move(name);
    return s;
}

Step seedStep(uint64_t seed) {
    Step s;
    s.kind = Step::Kind::Seed;
    s.seed = seed;
    return s;
}

Step dailyStep(const std::string& date) {
    Step s;
    s.kind = Step::Kind::Daily;
    s.when = date;
    dailySeedOf(date, s.seed);
    return s;
}

std::string lineOf(const Step& s) {
    switch (s.kind) {
        case Step::Kind::KeyDown:
        case Step::Kind::KeyUp:
            return (s.kind == Step::Kind::KeyDown ? "keydown " : "keyup ") + std::to_string(s.code) +
                   (s.shift ? " " + std::to_string(s.shift) : "");
        case Step::Kind::Click: return "click " + std::string(labelName(s.label));
        case Step::Kind::Advance: return "advance " + std::to_string(s.ms);
        case Step::Kind::Random: {
            std::string line = "random";
            for (const float v : s.values) line += " " + base::formatFloat(v);
            return line;
        }
        case Step::Kind::Expect: return "expect " + s.target + (s.value.empty() ? "" : " " + s.value);
        case Step::Kind::ExpectHash: return "expect-hash " + base::formatHash(s.hash);
        case Step::Kind::Checkpoint: return "checkpoint " + std::to_string(s.ms) + " " + base::formatHash(s.hash);
        case Step::Kind::Format: return "format " + std::to_string(s.format) + " " + s.writer;
        case Step::Kind::Player: return "player " + s.when + (s.name.empty() ? "" : " " + s.name);
        case Step::Kind::Seed: return "seed " + std::to_string(s.seed);
        case Step::Kind::Daily: return "daily " + s.when;
    }
    return {};
}

namespace {

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (true) {
        const size_t space = line.find(' ', start);
        words.push_back(line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start));
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
    return words;
}

// The text after "COMMAND WORD ": the value of expect, the writer of format.
std::string_view textAfter(std::string_view line, const std::vector<std::string_view>& w) {
    const size_t start = w[0].size() + 1 + w[1].size() + 1;
    return start <= line.size() ? line.substr(start) : std::string_view{};
}

}  // namespace

bool wordCount(const std::vector<std::string_view>& w, size_t min, size_t max, std::string& error) {
    if (w.size() < min) {
        error = base::quote(w[0]) + " needs more words";
        return false;
    }
    if (w.size() > max) {
        error = "unexpected " + base::quote(w[max]) + " after " + base::quote(w[0]);
        return false;
    }
    return true;
}

namespace {

constexpr size_t kAny = std::numeric_limits<size_t>::max();

// What a parser is handed: the line, its words, the game an expectation's
// target is looked up in; it fills `step`, or says in `error` why it cannot.
struct Reading {
    const Game& g;
    std::string_view line;
    const std::vector<std::string_view>& w;
    Step& step;
    std::string& error;
    bool bad(std::string why) {
        error = std::move(why);
        return false;
    }
};

bool readKey(Reading& r) {
    Step& step = r.step;
    const auto& w = r.w;
    if (!wordCount(w, 2, 3, r.error)) return false;
    if (!base::parseInteger(w[1], step.code) || step.code < 0 || step.code > 65535)
        return r.bad("key code " + base::quote(w[1]) + " is not a whole number from 0 to 65535");
    if (w.size() == 3 && (!base::parseInteger(w[2], step.shift) || step.shift < 0 || step.shift > 65535))
        return r.bad("shift state " + base::quote(w[2]) + " is not a whole number from 0 to 65535");
    step.kind = w[0] == "keydown" ? Step::Kind::KeyDown : Step::Kind::KeyUp;
    return true;
}

bool readClick(Reading& r) {
    if (!wordCount(r.w, 2, 2, r.error)) return false;
    r.step.label = labelNamed(r.w[1]);
    if (r.step.label == PanelLabel::None)
        return r.bad("only Label4, Label5 and Label6 can be clicked, not " + base::quote(r.w[1]));
    r.step.kind = Step::Kind::Click;
    return true;
}

bool readAdvance(Reading& r) {
    if (!wordCount(r.w, 2, 2, r.error)) return false;
    if (!base::parseInteger(r.w[1], r.step.ms) || r.step.ms < 0)
        return r.bad("advance needs a whole number of ms (0 or more), not " + base::quote(r.w[1]));
    if (r.step.ms > kLastInstant - r.g.clock)
        return r.bad("advance " + std::string(r.w[1]) + " would take the clock past " + std::to_string(kLastInstant) +
                     " ms");
    r.step.kind = Step::Kind::Advance;
    return true;
}

bool readRandom(Reading& r) {
    if (!wordCount(r.w, 2, kAny, r.error)) return false;
    for (size_t i = 1; i < r.w.size(); ++i) {
        float v = 0;
        if (!base::parseFloat(r.w[i], v) || v < 0.0f || v >= 1.0f)
            return r.bad("random value " + base::quote(r.w[i]) + " is not a number with 0 <= R < 1");
        r.step.values.push_back(v);
    }
    r.step.kind = Step::Kind::Random;
    return true;
}

bool readExpect(Reading& r) {
    if (!wordCount(r.w, 2, kAny, r.error)) return false;
    Target t;
    if (!findTarget(const_cast<Game&>(r.g), r.w[1], t, r.error)) return false;
    r.step.kind = Step::Kind::Expect;
    r.step.target = std::string(r.w[1]);
    r.step.value = std::string(textAfter(r.line, r.w));
    return true;
}

bool readExpectHash(Reading& r) {
    if (!wordCount(r.w, 2, 2, r.error)) return false;
    if (!base::parseHash(r.w[1], r.step.hash)) return r.bad("expect-hash needs up to 16 hex digits, not " + base::quote(r.w[1]));
    r.step.kind = Step::Kind::ExpectHash;
    return true;
}

bool readCheckpoint(Reading& r) {
    if (!wordCount(r.w, 3, 3, r.error)) return false;
    if (!base::parseInteger(r.w[1], r.step.ms) || r.step.ms < 0)
        return r.bad("checkpoint needs the clock in whole ms (0 or more), not " + base::quote(r.w[1]));
    if (!base::parseHash(r.w[2], r.step.hash))
        return r.bad("checkpoint needs a digest of up to 16 hex digits, not " + base::quote(r.w[2]));
    r.step.kind = Step::Kind::Checkpoint;
    return true;
}

bool readFormat(Reading& r) {
    Step& step = r.step;
    if (!wordCount(r.w, 3, kAny, r.error)) return false;
    if (!base::parseInteger(r.w[1], step.format) || step.format < 1)
        return r.bad("format needs a whole number from 1 up, not " + base::quote(r.w[1]));
    step.writer = std::string(textAfter(r.line, r.w));
    if (step.format > kFormat)
        return r.bad("written by " + base::quote(step.writer) + " in recording format " + std::to_string(step.format) +
                     ", which needs that program or a newer one; hvezda " + std::string(base::programVersion()) +
                     " reads formats 1 to " + std::to_string(kFormat));
    step.kind = Step::Kind::Format;
    return true;
}

bool readPlayer(Reading& r) {
    // The name keeps its blanks; the time is one word.
    if (r.w.size() < 2) return r.bad(base::quote(r.w[0]) + " needs more words");
    // What a terminal or a window will show: no control characters.
    if (!base::printable(r.line))
        return r.bad("a player line must be UTF-8 text without control characters, not " + base::quote(r.line));
    r.step.when = std::string(r.w[1]);
    r.step.name = r.w.size() > 2 ? std::string(textAfter(r.line, r.w)) : std::string();
    r.step.kind = Step::Kind::Player;
    return true;
}

bool readSeed(Reading& r) {
    if (!wordCount(r.w, 2, 2, r.error)) return false;
    if (!base::parseInteger(r.w[1], r.step.seed))
        return r.bad("seed needs a whole number from 0 to 18446744073709551615, not " + base::quote(r.w[1]));
    r.step.kind = Step::Kind::Seed;
    return true;
}

bool readDaily(Reading& r) {
    if (!wordCount(r.w, 2, 2, r.error)) return false;
    if (!dailySeedOf(std::string(r.w[1]), r.step.seed))
        return r.bad("daily needs a date as YYYY-MM-DD, not " + base::quote(r.w[1]));
    r.step.when = std::string(r.w[1]);
    r.step.kind = Step::Kind::Daily;
    return true;
}

// One parser per command of a recording: a new command is one more row.
struct Parser {
    std::string_view command;
    bool (*read)(Reading&);
    bool blanksInValue;  // its value, after the second word, keeps every blank
};
constexpr Parser kParsers[] = {
    {"keydown", readKey, false},      {"keyup", readKey, false},         {"click", readClick, false},
    {"advance", readAdvance, false},  {"random", readRandom, false},     {"expect", readExpect, true},
    {"expect-hash", readExpectHash, false}, {"checkpoint", readCheckpoint, false}, {"format", readFormat, false},
    {"player", readPlayer, true},      {"seed", readSeed, false},         {"daily", readDaily, false},
};

}  // namespace

LineKind readLine(Game& g, std::string_view line, Step& step, std::vector<std::string_view>& w, std::string& error) {
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') return LineKind::Nothing;
    w = splitWords(line);
    const Parser* parser = nullptr;
    for (const Parser& p : kParsers)
        if (p.command == w[0]) parser = &p;
    // Only a value (expect's, player's, the driver's set) keeps blanks; other
    // lines have single blanks only.
    const bool blanksInValue = parser ? parser->blanksInValue : w[0] == "set";
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i].empty() && !(blanksInValue && i >= 2)) {
            error = "words must be separated by single spaces";
            return LineKind::Malformed;
        }
    }
    if (!parser) return LineKind::Other;
    step = Step{};
    Reading reading{g, line, w, step, error};
    return parser->read(reading) ? LineKind::Step : LineKind::Malformed;
}

bool StepRunner::run(const Step& step, std::string& error) {
    Game& g = game_;
    switch (step.kind) {
        case Step::Kind::KeyDown: keyDownEvent(g, step.code, step.shift); break;
        case Step::Kind::KeyUp: keyUpEvent(g, step.code, step.shift); break;
        case Step::Kind::Click: clickLabel(g, step.label); break;
        case Step::Kind::Advance: advance(g, step.ms); break;
        case Step::Kind::Random:
            g.random.queued.insert(g.random.queued.end(), step.values.begin(), step.values.end());
            return true;
        case Step::Kind::Expect: {
            Target t;
            if (!findTarget(g, step.target, t, error)) return false;
            const std::string found = readTarget(g, t);
            if (found == step.value) return true;
            error = "expected " + step.target + " " + base::quote(step.value) + ", the game has " + base::quote(found);
            return false;
        }
        case Step::Kind::ExpectHash: {
            const uint64_t found = values_.hash();
            if (found == step.hash) return true;
            error = "expected the state's hash " + base::formatHash(step.hash) + ", the game's is " + base::formatHash(found);
            return false;
        }
        case Step::Kind::Checkpoint:
            if (g.clock == step.ms && digest_ == step.hash) return true;
            error = "the game went another way at " + std::to_string(step.ms) + " ms: ";
            error += g.clock != step.ms ? "the game's clock is at " + std::to_string(g.clock) + " ms"
                                        : "its digest is " + base::formatHash(digest_) + ", the recording's " + base::formatHash(step.hash);
            return false;
        case Step::Kind::Seed:
        case Step::Kind::Daily:
            // The draws from here on come from the seed's stream, from its start.
            g.random.seed = seedStream(step.seed);
            return true;
        case Step::Kind::Format:
        case Step::Kind::Player: return true;
    }
    ran();
    return true;
}

}  // namespace record
