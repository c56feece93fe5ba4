// SPDX-License-Identifier: MIT
#include "record/replay.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <istream>
#include <streambuf>
#include <string_view>
#include <vector>

#include "base/files.h"
#include "base/utf8.h"
#include "record/lines.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;

namespace record {

namespace {

// Lines from a stream, one at a time, never more than `longest` bytes held.
class LineSource {
public:
    enum class Got { Line, Cut, End, TooLong };
    LineSource(std::istream& in, size_t longest) : buf_(*in.rdbuf()), longest_(longest) {}

    // The next line without its line end ("\n" or "\r\n"); Cut for a last
    // line with no line end, whatever it holds.
    Got next(std::string& line) {
        line.clear();
        ++number_;
        for (int c; (c = buf_.sbumpc()) != std::char_traits<char>::eof();) {
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line.size() > longest_ ? Got::TooLong : Got::Line;
            }
            if (line.size() == longest_ + 1) return Got::TooLong;  // room for a '\r'
            line.push_back(static_cast<char>(c));
        }
        if (line.size() > longest_) return Got::TooLong;
        return line.empty() ? Got::End : Got::Cut;
    }
    int number() const { return number_; }

private:
    std::streambuf& buf_;
    size_t longest_;
    int number_ = 0;
};

// Why the bytes of a line cannot be a recording's, empty when they can. A cut
// line may end inside a character.
std::string badBytes(std::string_view line, bool first, bool cut) {
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF") return "the file begins with a byte-order mark (recordings are plain UTF-8)";
    for (size_t i = 0; i < line.size();) {
        const std::string at = " at byte " + std::to_string(i + 1);
        if (line[i] == 0) return "a NUL byte" + at;
        const int n = base::utf8Length(line, i);
        if (n < 0 && cut) return {};
        if (n <= 0) return "invalid UTF-8" + at;
        i += static_cast<size_t>(n);
    }
    return {};
}

Verdict verdict(Verdict::Status status, int lineNo, const std::string& why) {
    Verdict v;
    v.status = status;
    v.message = "line " + std::to_string(lineNo) + ": " + why;
    return v;
}

std::string playTime(const Game& g) { return std::to_string(g.clock) + " ms of play"; }

// Both passes: checks every line and, when `play`, runs it.
Verdict readLines(Game& g, std::istream& in, const RecordingLimits& limits, bool play, const AdvanceBy& advanceBy,
                  Verdict& said) {
    LineSource source(in, limits.longestLine);
    std::optional<StepRunner> runner;
    if (play) runner.emplace(g);
    int64_t playMs = 0;
    int expectations = 0, checkpoints = 0;
    bool finalState = false, stepped = false, sawSeed = false, sawRandom = false;
    std::string line, error;
    Step step;
    std::vector<std::string_view> words;
    int lastLine = 0;
    while (!play || g.scene.Form1.open) {
        const LineSource::Got got = source.next(line);
        const int n = source.number();
        if (got == LineSource::Got::End) break;
        lastLine = n;
        if (got == LineSource::Got::TooLong)
            return verdict(Verdict::Refused, n, "longer than " + std::to_string(limits.longestLine) + " bytes");
        const bool cut = got == LineSource::Got::Cut;
        if (const std::string why = badBytes(line, n == 1, cut); !why.empty()) return verdict(Verdict::Refused, n, why);
        if (cut) {
            if (!play) break;
            return verdict(Verdict::Cut, n, "no line end; replayed the lines before it, " + playTime(g));
        }
        switch (readLine(g, line, step, words, error)) {
            case LineKind::Nothing: continue;
            case LineKind::Malformed: return verdict(Verdict::Refused, n, error);
            case LineKind::Other:
                return verdict(Verdict::Refused, n,
                               std::string(1, '\'').append(words[0].substr(0, 40)) +
                                   "' is not a line of a recording (format, player, seed, daily, keydown, keyup, click, "
                                   "advance, random, checkpoint, expect, expect-hash)");
            case LineKind::Step: break;
        }
        const bool header = step.kind == Step::Kind::Format || step.kind == Step::Kind::Player ||
                            step.kind == Step::Kind::Seed || step.kind == Step::Kind::Daily;
        if (header && stepped)
            return verdict(Verdict::Refused, n, "the " + std::string(words[0]) + " line must come before the game's first line");
        stepped = stepped || !header;
        if (step.kind == Step::Kind::Format) {
            said.format = step.format;
            said.writer = step.writer;
        } else if (step.kind == Step::Kind::Player) {
            said.when = step.when;
            said.name = step.name;
        } else if (step.kind == Step::Kind::Seed || step.kind == Step::Kind::Daily) {
            const bool isSeed = step.kind == Step::Kind::Seed;
            if (said.format < 3)
                return verdict(Verdict::Refused, n, "a " + std::string(words[0]) + " line needs a format 3 line before it");
            if (isSeed ? sawSeed : !said.daily.empty())
                return verdict(Verdict::Refused, n, "a second " + std::string(words[0]) + " line");
            if (isSeed) sawSeed = true, said.seed = step.seed;
            else said.daily = step.when;
            uint64_t dateSeed = 0;
            if (sawSeed && dailySeedOf(said.daily, dateSeed) && dateSeed != said.seed)
                return verdict(Verdict::Refused, n,
                               "the seed " + std::to_string(said.seed) + " is not the daily flight's of " + said.daily +
                                   " (" + std::to_string(dateSeed) + ")");
        }
        if (step.kind == Step::Kind::Random) sawRandom = true;
        if (step.kind == Step::Kind::Advance) {
            if (step.ms > limits.longestPlayMs - playMs)
                return verdict(Verdict::Refused, n,
                               "the play time passes the limit of " + std::to_string(limits.longestPlayMs) + " ms" +
                                   (limits.longestPlayMs % 3600000 ? "" : " (" + std::to_string(limits.longestPlayMs / 3600000) + " hours)"));
            playMs += step.ms;
        }
        if (!play) continue;
        if (step.kind == Step::Kind::Random && g.random.queued.size() + step.values.size() > limits.mostRandomWaiting)
            return verdict(Verdict::Refused, n,
                           "more than " + std::to_string(limits.mostRandomWaiting) + " random values waiting");
        if (step.kind == Step::Kind::Advance && advanceBy) {
            if (!advanceBy(g, step.ms)) return verdict(Verdict::Stopped, n, "stopped by the viewer, " + playTime(g));
            runner->ran();
            continue;
        }
        if (!runner->run(step, error)) return verdict(Verdict::Unmet, n, error + " (" + playTime(g) + ")");
        if (step.kind == Step::Kind::Expect || step.kind == Step::Kind::ExpectHash) ++expectations;
        if (step.kind == Step::Kind::Checkpoint) ++checkpoints;
        finalState = finalState || step.kind == Step::Kind::ExpectHash;
    }
    if (!said.daily.empty() && !sawSeed)
        return verdict(Verdict::Refused, std::max(lastLine, 1), "the daily line " + said.daily + " has no seed line");
    said.luck = said.format >= 3 && sawSeed && !sawRandom ? Verdict::Luck::Seed : Verdict::Luck::Chosen;
    if (!play) return {};
    if (!finalState)
        return verdict(Verdict::Cut, std::max(lastLine, 1),
                       "the recording ends without the game's final state; replayed " + playTime(g));
    Verdict v;
    v.message = std::to_string(expectations) + " expectations and " + std::to_string(checkpoints) +
                " checkpoints held after " + playTime(g) + " in " + std::to_string(lastLine) + " lines";
    return v;
}

Verdict readRecording(Game& g, std::istream& in, const RecordingLimits& limits, bool play, const AdvanceBy& advanceBy) {
    Verdict header;
    Verdict v = readLines(g, in, limits, play, advanceBy, header);
    v.format = header.format;
    v.writer = std::move(header.writer);
    v.when = std::move(header.when);
    v.name = std::move(header.name);
    v.luck = header.luck;
    v.seed = header.seed;
    v.daily = std::move(header.daily);
    return v;
}

}  // namespace

std::string luckSaid(const Verdict& v) {
    return v.luck == Verdict::Luck::Seed ? " luck: seed " + std::to_string(v.seed) : " luck: chosen";
}

std::string openRecording(const std::string& path, std::ifstream& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(base::pathFromUtf8(path), error)) return path + " is not a file";
    file.open(base::pathFromUtf8(path), std::ios::binary);
    return file ? std::string() : "cannot read " + path;
}

Verdict checkRecording(Game& g, std::istream& in, const RecordingLimits& limits) {
    return readRecording(g, in, limits, false, {});
}

Verdict playRecording(Game& g, std::istream& in, const RecordingLimits& limits, const AdvanceBy& advanceBy) {
    in.clear();
    in.seekg(0);
    if (!in) {
        Verdict v;
        v.status = Verdict::Refused;
        v.message = "the recording cannot be read a second time (a pipe?)";
        return v;
    }
    return readRecording(g, in, limits, true, advanceBy);
}

Verdict verifyRecording(Game& g, std::istream& in, const RecordingLimits& limits) {
    const Verdict checked = checkRecording(g, in, limits);
    if (checked.status != Verdict::Verified) return checked;
    // The luck as the whole file says it: a replay stops reading at EXIT.
    Verdict played = playRecording(g, in, limits);
    played.luck = checked.luck;
    return played;
}

bool playToTheEnd(std::istream& in, const RecordingLimits& limits, PlayedToTheEnd& out, std::string& why,
                  const std::function<void()>& everyTick) {
    Game g;
    hvezda::Form_Load(g);  // no music: the host hands the game no player
    // The end comes in a tick; the next tick (or the replay's end) sees it.
    int64_t lastTick = 0, endedAt = -1;
    g.onTick = [&](Game& game, hvezda::TimerId) {
        if (endedAt < 0 && hvezda::ending(game) != hvezda::Ending::None) endedAt = lastTick;
        lastTick = game.clock;
        if (everyTick) everyTick();
    };
    out = PlayedToTheEnd{};
    out.verdict = verifyRecording(g, in, limits);
    if (out.verdict.status != Verdict::Verified) {
        why = out.verdict.message;
        return false;
    }
    const hvezda::Ending end = hvezda::ending(g);
    if (end == hvezda::Ending::None) {
        why = "the game had not ended";
        return false;
    }
    const std::string& caption = g.scene.score.Caption;
    auto [next, ec] = std::from_chars(caption.data(), caption.data() + caption.size(), out.score);
    if (ec != std::errc{} || next != caption.data() + caption.size()) {
        why = "its score '" + caption + "' is no whole number";
        return false;
    }
    out.winner = end == hvezda::Ending::Winner;
    out.lengthMs = endedAt >= 0 ? endedAt : lastTick;
    return true;
}

}  // namespace record
