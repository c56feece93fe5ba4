// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "base/text.h"
#include "record/replay.h"
#include "sim/script.h"

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

// A small recording: ends with the expectations its own run meets.
const std::string kPlay = "# Hv\xC4\x9B" "zda recording\r\nrandom 0.5 0.25\nadvance 400\nkeydown 39\nadvance 100\nkeyup 39\n";

std::string recordingOf(const std::string& play) {
    Sim sim;
    startSim(sim, {});
    std::istringstream in(play);
    std::ostringstream out;
    runSimScript(sim, in, out);
    return play + "expect Picture1.Left " + base::formatFloat(sim.game.scene.Picture1.Left) + "\nexpect-hash " +
           base::formatHash(Values(sim.game).hash()) + "\n";
}

struct Replayed {
    Verdict verdict;
    int64_t clock = 0;
};

Replayed verify(const std::string& text, const RecordingLimits& limits = {}) {
    Sim sim;
    startSim(sim, {});
    std::istringstream in(text);
    Replayed r{checkRecording(sim.game, in, limits)};
    EXPECT_EQ(sim.game.clock, 0) << "checking ran something";
    if (r.verdict.status == Verdict::Verified) r.verdict = playRecording(sim.game, in, limits);
    r.clock = sim.game.clock;
    return r;
}

TEST(Recording, OnlyTheRecordersLinesWithinTheLimits) {
    const std::string good = recordingOf(kPlay);
    RecordingLimits fewRandoms;
    fewRandoms.mostRandomWaiting = 2;
    struct Case {
        std::string text;
        Verdict::Status status;
        const char* says;  // a piece of the message
        int64_t clock;     // where the replay stopped
        RecordingLimits limits = {};
    };
    const Case cases[] = {
        {good, Verdict::Verified, "2 expectations and 0 checkpoints held after 500 ms of play", 500},
        // A newer format is refused whole; the format line comes first.
        {"# a game\nformat 4 hvezda 9.1\n" + good, Verdict::Refused,
         "line 2: written by 'hvezda 9.1' in recording format 4, which needs that program or a newer one", 0},
        {"advance 10\nformat 2 hvezda 0.2\n" + good, Verdict::Refused, "line 2: the format line must come before", 0},
        {kPlay + "checkpoint 500 1\n", Verdict::Unmet, "line 7: the game went another way at 500 ms: its digest is", 500},
        {kPlay + "checkpoint 400 1\n", Verdict::Unmet, "at 400 ms: the game's clock is at 500 ms", 500},
        {"advance 10\nscreenshot /tmp/x.png\n" + good, Verdict::Refused, "line 2: 'screenshot' is not a line", 0},
        {good + "set Picture1.Left 5\n", Verdict::Refused, "line 9: 'set' is not", 0},
        {"advance 10\njump 3\n", Verdict::Refused, "line 2: 'jump' is not", 0},
        {"advance 10\n#" + std::string(4096, 'x') + "\n", Verdict::Refused, "line 2: longer than 4096 bytes", 0},
        {"advance 86400000\nadvance 1\n", Verdict::Refused, "line 2: the play time passes the limit of 86400000 ms (24 hours)", 0},
        {"\xEF\xBB\xBF" + good, Verdict::Refused, "line 1: the file begins with a byte-order mark", 0},
        {std::string("advance 10\nkeydown 3\0" "7\n", 21) + good, Verdict::Refused, "line 2: a NUL byte at byte 10", 0},
        {"advance 10\n# caf\xC3(\n", Verdict::Refused, "line 2: invalid UTF-8 at byte 6", 0},
        {"advance 10\n# \xED\xA0\x80\n", Verdict::Refused, "line 2: invalid UTF-8 at byte 3", 0},
        {"advance 10\nexpect Picture1.Caption x\n", Verdict::Refused, "line 2: element 'Picture1' has no property", 0},
        {"random 0.1 0.2\nrandom 0.3\n", Verdict::Refused, "line 2: more than 2 random values waiting", 0, fewRandoms},
        // Cut inside the last advance: the advance before it ran, the cut one did not.
        {good.substr(0, good.find("advance 100") + 9), Verdict::Cut, "line 5: no line end", 400},
        {"advance 20\n# Hv\xC4", Verdict::Cut, "line 2: no line end", 20},
        {kPlay, Verdict::Cut, "line 6: the recording ends without the game's final state", 500},
        {"", Verdict::Cut, "line 1: the recording ends without", 0},
        {kPlay + "expect Picture1.Left 1\n", Verdict::Unmet, "line 7: expected Picture1.Left '1', the game has '", 500},
        {kPlay + "expect-hash 1\n", Verdict::Unmet, "line 7: expected the state's hash 0000000000000001", 500},
        // EXIT ends the replay: what follows it is not run.
        {kPlay + "click Label4\nexpect-hash 1\n", Verdict::Cut, "without the game's final state", 500},
    };
    for (const Case& c : cases) {
        const Replayed r = verify(c.text, c.limits);
        EXPECT_EQ(r.verdict.status, c.status) << c.says << " -> " << r.verdict.message;
        EXPECT_NE(r.verdict.message.find(c.says), std::string::npos) << r.verdict.message;
        EXPECT_EQ(r.clock, c.clock) << c.says;
    }
}

}  // namespace
