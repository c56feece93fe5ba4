// SPDX-License-Identifier: MIT
#include "sim/seal.h"

#include <istream>
#include <sstream>
#include <string_view>
#include <vector>

#include "record/replay.h"
#include "record/writer.h"
#include "shell/shell.h"

using namespace hvezda;
using namespace rec;

namespace driver {

namespace {

SimResult refused(int lineNo, const std::string& why) {
    return {2, "line " + std::to_string(lineNo) + ": " + why};
}

bool isHeader(Step::Kind k) {
    return k == Step::Kind::Player || k == Step::Kind::Seed || k == Step::Kind::Daily;
}

}  // namespace

SimResult sealScript(std::istream& script, std::string& recording) {
    Sim sim;
    startSim(sim, {});
    Game& g = sim.game;
    std::string out = lineOf(versionStep(kFormat, "hvezda " + std::string(programVersion()))) + "\n";
    auto write = [&out](const Step& s) { out += lineOf(s) + "\n"; };

    // The whole script first: a daily line's seed line follows it unless the script has one.
    std::vector<std::string> lines;
    for (std::string line; std::getline(script, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    if (script.bad()) return refused(static_cast<int>(lines.size()) + 1, "the script cannot be read");
    bool hasSeed = false;
    for (const std::string& line : lines) hasSeed = hasSeed || line.rfind("seed ", 0) == 0;

    bool stepped = false, sawSeed = false, sawDaily = false, sinceCheckpoint = false, ended = false;
    int64_t checkpointClock = 0;
    std::string error;
    Step step;
    std::vector<std::string_view> words;
    for (size_t i = 0; i < lines.size() && !ended; ++i) {
        const int n = static_cast<int>(i) + 1;
        const LineKind kind = readLine(g, lines[i], step, words, error);
        if (kind == LineKind::Nothing) {
            if (!lines[i].empty() && lines[i][0] == '#') out += lines[i] + "\n";
            continue;
        }
        if (kind == LineKind::Malformed) return refused(n, error);
        if (kind == LineKind::Other || step.kind == Step::Kind::Expect || step.kind == Step::Kind::ExpectHash ||
            step.kind == Step::Kind::Checkpoint || step.kind == Step::Kind::Format)
            return refused(n, quote(words[0]) +
                                  " is not a line a script to seal may hold (keydown, keyup, click, advance, random, "
                                  "seed, daily, player)");
        if (isHeader(step.kind) && stepped)
            return refused(n, "the " + std::string(words[0]) + " line must come before the game's first line");
        if (step.kind == Step::Kind::Seed || step.kind == Step::Kind::Daily) {
            bool& seen = step.kind == Step::Kind::Seed ? sawSeed : sawDaily;
            if (seen) return refused(n, "a second " + std::string(words[0]) + " line");
            seen = true;
        }
        stepped = stepped || !isHeader(step.kind);
        if (step.kind == Step::Kind::Click && step.label == PanelLabel::Exit) {
            // The end is written before EXIT, which closes the game.
            if (sinceCheckpoint) write(checkpointStep(g.clock, sim.steps->digest()));
            out += Writer::closingLines(g, sim.steps->values());
            ended = true;
        }
        write(step);
        if (step.kind == Step::Kind::Daily && !hasSeed) write(seedStep(step.seed));
        sim.steps->run(step, error);
        if (step.kind == Step::Kind::KeyDown || step.kind == Step::Kind::KeyUp || step.kind == Step::Kind::Click ||
            step.kind == Step::Kind::Advance)
            sinceCheckpoint = true;
        if (sinceCheckpoint && g.clock - checkpointClock >= Writer::kCheckpointMs) {
            write(checkpointStep(g.clock, sim.steps->digest()));
            checkpointClock = g.clock;
            sinceCheckpoint = false;
        }
    }
    if (!ended) {
        if (sinceCheckpoint) write(checkpointStep(g.clock, sim.steps->digest()));
        out += Writer::closingLines(g, sim.steps->values());
    }

    // What it wrote must verify: within the limits, and to its end.
    Sim check;
    startSim(check, {});
    std::istringstream written(out);
    const Verdict v = verifyRecording(check.game, written);
    if (v.status != Verdict::Verified) return {2, "the sealed recording would not verify: " + v.message};
    recording = std::move(out);
    return {};
}

}  // namespace driver
