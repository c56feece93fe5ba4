// SPDX-License-Identifier: MIT
#include "record/lines.h"

#include <limits>

#include "record/seed.h"
#include "shell/shell.h"

#ifndef HVEZDA_VERSION
#define HVEZDA_VERSION "unknown"
#endif

using namespace hvezda;

namespace rec {

std::string_view programVersion() { return HVEZDA_VERSION; }

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
            for (const float v : s.values) line += " " + formatFloat(v);
            return line;
        }
        case Step::Kind::Expect: return "expect " + s.target + (s.value.empty() ? "" : " " + s.value);
        case Step::Kind::ExpectHash: return "expect-hash " + formatHash(s.hash);
        case Step::Kind::Checkpoint: return "checkpoint " + std::to_string(s.ms) + " " + formatHash(s.hash);
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
        error = quote(w[0]) + " needs more words";
        return false;
    }
    if (w.size() > max) {
        error = "unexpected " + quote(w[max]) + " after " + quote(w[0]);
        return false;
    }
    return true;
}

LineKind readLine(Game& g, std::string_view line, Step& step, std::vector<std::string_view>& w, std::string& error) {
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') return LineKind::Nothing;
    w = splitWords(line);
    // set and expect keep every blank of their value; other lines have single blanks only
    const bool blanksInValue = w[0] == "set" || w[0] == "expect" || w[0] == "player";
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i].empty() && !(blanksInValue && i >= 2)) {
            error = "words must be separated by single spaces";
            return LineKind::Malformed;
        }
    }
    const std::string_view cmd = w[0];
    step = Step{};
    auto bad = [&](std::string why) {
        error = std::move(why);
        return LineKind::Malformed;
    };
    constexpr size_t kAny = std::numeric_limits<size_t>::max();

    if (cmd == "keydown" || cmd == "keyup") {
        if (!wordCount(w, 2, 3, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.code) || step.code < 0 || step.code > 65535)
            return bad("key code " + quote(w[1]) + " is not a whole number from 0 to 65535");
        if (w.size() == 3 && (!parseInteger(w[2], step.shift) || step.shift < 0 || step.shift > 65535))
            return bad("shift state " + quote(w[2]) + " is not a whole number from 0 to 65535");
        step.kind = cmd == "keydown" ? Step::Kind::KeyDown : Step::Kind::KeyUp;
        return LineKind::Step;
    }
    if (cmd == "click") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        step.label = labelNamed(w[1]);
        if (step.label == PanelLabel::None) return bad("only Label4, Label5 and Label6 can be clicked, not " + quote(w[1]));
        step.kind = Step::Kind::Click;
        return LineKind::Step;
    }
    if (cmd == "advance") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.ms) || step.ms < 0)
            return bad("advance needs a whole number of ms (0 or more), not " + quote(w[1]));
        step.kind = Step::Kind::Advance;
        return LineKind::Step;
    }
    if (cmd == "random") {
        if (!wordCount(w, 2, kAny, error)) return LineKind::Malformed;
        for (size_t i = 1; i < w.size(); ++i) {
            float r = 0;
            if (!parseFloat(w[i], r) || r < 0.0f || r >= 1.0f)
                return bad("random value " + quote(w[i]) + " is not a number with 0 <= R < 1");
            step.values.push_back(r);
        }
        step.kind = Step::Kind::Random;
        return LineKind::Step;
    }
    if (cmd == "expect") {
        if (!wordCount(w, 2, kAny, error)) return LineKind::Malformed;
        Target t;
        if (!findTarget(g, w[1], t, error)) return LineKind::Malformed;
        step.kind = Step::Kind::Expect;
        step.target = std::string(w[1]);
        step.value = std::string(textAfter(line, w));
        return LineKind::Step;
    }
    if (cmd == "expect-hash") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!parseHash(w[1], step.hash)) return bad("expect-hash needs up to 16 hex digits, not " + quote(w[1]));
        step.kind = Step::Kind::ExpectHash;
        return LineKind::Step;
    }
    if (cmd == "checkpoint") {
        if (!wordCount(w, 3, 3, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.ms) || step.ms < 0)
            return bad("checkpoint needs the clock in whole ms (0 or more), not " + quote(w[1]));
        if (!parseHash(w[2], step.hash)) return bad("checkpoint needs a digest of up to 16 hex digits, not " + quote(w[2]));
        step.kind = Step::Kind::Checkpoint;
        return LineKind::Step;
    }
    if (cmd == "format") {
        if (!wordCount(w, 3, kAny, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.format) || step.format < 1)
            return bad("format needs a whole number from 1 up, not " + quote(w[1]));
        step.writer = std::string(textAfter(line, w));
        if (step.format > kFormat)
            return bad("written by " + quote(step.writer) + " in recording format " + std::to_string(step.format) +
                       ", which needs that program or a newer one; hvezda " + std::string(programVersion()) + " reads formats 1 to " +
                       std::to_string(kFormat));
        step.kind = Step::Kind::Format;
        return LineKind::Step;
    }
    if (cmd == "player") {
        // The name keeps its blanks; the time is one word.
        if (w.size() < 2) return bad(quote(w[0]) + " needs more words");
        step.when = std::string(w[1]);
        step.name = w.size() > 2 ? std::string(textAfter(line, w)) : std::string();
        step.kind = Step::Kind::Player;
        return LineKind::Step;
    }
    if (cmd == "seed") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.seed))
            return bad("seed needs a whole number from 0 to 18446744073709551615, not " + quote(w[1]));
        step.kind = Step::Kind::Seed;
        return LineKind::Step;
    }
    if (cmd == "daily") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!dailySeedOf(std::string(w[1]), step.seed))
            return bad("daily needs a date as YYYY-MM-DD, not " + quote(w[1]));
        step.when = std::string(w[1]);
        step.kind = Step::Kind::Daily;
        return LineKind::Step;
    }
    return LineKind::Other;
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
            error = "expected " + step.target + " " + quote(step.value) + ", the game has " + quote(found);
            return false;
        }
        case Step::Kind::ExpectHash: {
            const uint64_t found = values_.hash();
            if (found == step.hash) return true;
            error = "expected the state's hash " + formatHash(step.hash) + ", the game's is " + formatHash(found);
            return false;
        }
        case Step::Kind::Checkpoint:
            if (g.clock == step.ms && digest_ == step.hash) return true;
            error = "the game went another way at " + std::to_string(step.ms) + " ms: ";
            error += g.clock != step.ms ? "the game's clock is at " + std::to_string(g.clock) + " ms"
                                        : "its digest is " + formatHash(digest_) + ", the recording's " + formatHash(step.hash);
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

}  // namespace rec
