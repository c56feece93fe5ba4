// SPDX-License-Identifier: MIT
// The driver's script protocol, the recorder's lines read back, recordings replayed and refused, a recording's
// luck and the daily flight's, scripts sealed into recordings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "record/fields.h"
#include "record/lines.h"
#include "record/replay.h"
#include "shell/shell.h"
#include "sim/seal.h"
#include "sim/script.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // steps are written with the fields they use

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

struct SimRun {
    std::string out;
    SimResult result;
};

// A script on a fresh driver (`before` sees it first): what it printed and how it ended.
SimRun run(const std::string& script, const std::function<void(Sim&)>& before = {}) {
    Sim sim;
    startSim(sim, {});
    if (before) before(sim);
    std::istringstream in(script);
    std::ostringstream out;
    const SimResult result = runSimScript(sim, in, out);
    return {out.str(), result};
}

TEST(Driver, SetsKeepTheirValuesExactly) {
    const SimRun r = run(
        "set Picture1.Left 622.5\nget Picture1.Left\n"
        "set Label7.Caption  two  blanks \nget Label7.Caption\n"
        "set state.keyLeft\nget state.keyLeft\n"
        "set Label1.ForeColor 0x0000ff00\nget Label1.ForeColor\n"
        "set enemycraft3.Picture e1(4)\nget enemycraft3.Width\nget enemycraft3.Picture\n"
        "set Picture1.Top 0.1\nget Picture1.Top\n"
        "set state.craft2ExplosionStep 9000000000\nget state.craft2ExplosionStep\n"
        "set Label1.Left 100000000000000000000\nget Label1.Left\nset Label1.Top 0.0000001\nget Label1.Top\n");
    EXPECT_EQ(r.result.exitCode, 0) << r.result.error;
    EXPECT_EQ(r.out,
              "Picture1.Left=622.5\nLabel7.Caption= two  blanks \nstate.keyLeft=\n"
              "Label1.ForeColor=0x0000FF00\nenemycraft3.Width=675\nenemycraft3.Picture=craft_e\n"
              "Picture1.Top=0.1\nstate.craft2ExplosionStep=9000000000\n"
              "Label1.Left=100000002004087734272\nLabel1.Top=0.0000001\n");  // the shortest, without exponent
}

TEST(Driver, TimerWritesKeepTheirSchedule) {
    // Enabled at 5: steps at 15 and 25, not restarted by the second write; interval 0 stops it; a new one starts now.
    const SimRun r = run("advance 5\nset Timer5.Enabled true\nadvance 14\nset Timer5.Enabled true\nadvance 6\n"
                         "get state.bannerGreen\nset Timer5.Interval 0\nadvance 100\nget state.bannerGreen\n"
                         "set Timer5.Interval 300\nadvance 299\nget state.bannerGreen\nadvance 1\nget state.bannerGreen\n");
    EXPECT_EQ(r.out, "state.bannerGreen=20\nstate.bannerGreen=20\nstate.bannerGreen=20\nstate.bannerGreen=30\n") << r.result.error;
}

TEST(Driver, SkipsBlankAndCommentLinesAndWindowsLineEndsAndStopsAtExit) {
    const SimRun r = run("# a comment\n\n   \nget clock\r\nadvance 10\r\nget clock\nclick Label4\nget clock\nbogus line\n");
    EXPECT_EQ(r.result.exitCode, 0) << r.result.error;
    EXPECT_EQ(r.out, "clock=0\nclock=10\n");
}

TEST(Driver, MalformedLinesStopTheScriptNamingTheLine) {
    const std::pair<const char*, const char*> cases[] = {  // the line, a piece of the message
        {"get nothing.Left", "unknown element"},
        {"get Picture1.Caption", "no property"},
        {"set Picture1.Width 5", "can only be read"},
        {"set Picture1.Left 12abc", "is not a finite number"},
        {"set Picture1.Visible yes", "true or false"},
        {"set state.shotIndex 99999999999", "32-bit"},
        {"set Picture1.Picture nothing", "element with a picture"},
        {"random 0.99999999", "0 <= R < 1"},
        {"random", "needs more words"},
        {"advance -5", "0 or more"},
        {"advance 1.5", "whole number"},
        {"keydown 65536", "0 to 65535"},
        {"keyup 37 1 2", "unexpected"},
        {"keydown  37", "single spaces"},
        {"tick Timer9", "unknown timer"},
        {"click Label7", "only Label4, Label5 and Label6"},
        {"get state.nothing", "unknown state field"},
        {"dump now", "unexpected"},
        {"advance 9223372036854775807", "past"},  // the clock never wraps
    };
    for (const auto& [line, why] : cases) {
        const SimRun r = run(std::string("get clock\n# fine\nadvance 1\n") + line + "\nget clock\n");
        EXPECT_EQ(r.result.exitCode, 2) << line;
        EXPECT_EQ(r.result.error.rfind("line 4: ", 0), 0u) << line << " -> " << r.result.error;
        EXPECT_NE(r.result.error.find(why), std::string::npos) << line << " -> " << r.result.error;
        EXPECT_EQ(r.out, "clock=0\n") << line;  // nothing after it ran
    }
}

TEST(Driver, ExpectationsHoldOrStopTheScriptWithStatusOne) {
    const std::string play = std::string("click Label5\nadvance 30\nexpect Label7.Caption ") + hvezda::kControlsHelp +
                             "\nexpect state.keyLeft\nexpect clock 30\n";
    SimRun r = run(play + "hash\n");
    ASSERT_EQ(r.result.exitCode, 0) << r.result.error;
    const std::string hash = r.out.substr(5, 16);
    EXPECT_EQ(r.out, "hash=" + hash + "\n");
    // The music player's handle and path are left out of the hash; the rest is in it.
    r = run(play + "set state.musicPath /elsewhere\nset state.musicHandle 7\nexpect-hash " + hash + "\n");
    EXPECT_EQ(r.result.exitCode, 0) << r.result.error;
    r = run(play + "set hvezda1(3).Top 1\nexpect-hash " + hash + "\nget clock\n");
    EXPECT_EQ(r.result.exitCode, 1);
    EXPECT_EQ(r.result.error, "line 7: expected the state's hash " + hash + ", the game's is " + r.result.error.substr(66));
    EXPECT_EQ(r.out, "");
    r = run("get clock\nexpect Picture1.Left 1\nget clock\n");
    EXPECT_EQ(r.result.exitCode, 1);
    EXPECT_EQ(r.result.error, "line 2: expected Picture1.Left '1', the game has '4560'");
    EXPECT_EQ(r.out, "clock=0\n");
    EXPECT_EQ(run("expect nothing.Left 1\n").result.exitCode, 2);
    EXPECT_EQ(run("expect-hash 12345678901234567\n").result.exitCode, 2);
}

// dump prints get's line for every target, the clock last (their order and values are the recordings' hash).
TEST(Driver, DumpPrintsGetsLinesEndingWithTheClock) {
    const std::string dump = run("dump\n").out;
    EXPECT_EQ(dump.rfind("Picture2.Left=0\n", 0), 0u);
    for (const char* target : {"score.Caption", "e1(0).Picture", "state.keyLeft", "hvezda1(4).Visible", "Form1.KeyPreview"})
        EXPECT_NE(dump.find("\n" + run(std::string("get ") + target + "\n").out), std::string::npos) << target;
    EXPECT_EQ(dump.substr(dump.size() - 8), "clock=0\n");
}

TEST(RecordLines, EveryStepReadsBackAsWritten) {
    std::vector<Step> steps = {keyStep(true, 39),         keyStep(false, 65535, 65535), keyStep(true, 0, 1),
                               clickStep(PanelLabel::Exit), clickStep(PanelLabel::Controls), clickStep(PanelLabel::Credits),
                               advanceStep(0),            advanceStep(86400000),        checkpointStep(0, 0),
                               checkpointStep(97230, ~0ull), versionStep(kFormat, "hvezda 0.2 (a build of Jiří's)"),
                               playerStep("2026-12-07T15:04:05+01:00", ""), playerStep("2026-12-07T15:04:05-09:30", " Jiří  Novák ")};
    for (const char* value : {"", "1032", " two  blanks ", "GAME OVER"})
        steps.push_back({.kind = Step::Kind::Expect, .target = "Label1.Caption", .value = value});
    steps.push_back({.kind = Step::Kind::ExpectHash});
    steps.push_back({.kind = Step::Kind::ExpectHash, .hash = 0x93b48d2e8c5d70c9});
    // Random values as the game draws them, and the edges of their range.
    steps.push_back({.kind = Step::Kind::Random, .values = {0.0f, 0.99999994f, 1e-7f, 1.4e-45f, 0.5f}});
    for (uint64_t seed = 0; seed < 6400; ++seed) {
        if (seed % 64 == 0) steps.push_back({.kind = Step::Kind::Random});
        steps.back().values.push_back(uniformFromSeed(seed * 0x9E3779B97F4A7C15ull));
    }
    Game g;
    for (const Step& s : steps) {
        const std::string line = lineOf(s);
        Step back;
        std::vector<std::string_view> words;
        std::string error;
        ASSERT_EQ(readLine(g, line, back, words, error), LineKind::Step) << line << ": " << error;
        EXPECT_TRUE(back == s) << line << " read back as " << lineOf(back);
    }
}

// A player line with a control character or bytes not UTF-8 is refused; a quoted line shows them as \xHH.
TEST(RecordLines, NoControlCharacterOfAFileReachesATerminal) {
    Game g;
    for (const std::string line :
         {"player 2026-12-07T15:04:05+01:00 a\x1b]0;owned\x07b", "player 2026-12-07T15:04:05+01:00 \xc2\x9b" "31m",
          "player 2026-12-07\x1b[2J", "player 2026-12-07T15:04:05+01:00 Ji\xf8\xed", "player 2026-12-07T15:04:05+01:00 a\x7f"}) {
        Step step;
        std::vector<std::string_view> words;
        std::string error;
        EXPECT_EQ(readLine(g, line, step, words, error), LineKind::Malformed) << base::quote(line);
        EXPECT_EQ(std::count_if(error.begin(), error.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }), 0)
            << error;
    }
    EXPECT_EQ(base::quote("\x1b]0;x\x07 Ji\xc5\x99\xc3\xad \xc2\x9b\xff"), "'\\x1b]0;x\\x07 Ji\xc5\x99\xc3\xad \\xc2\\x9b\\xff'");
}

// Counts the members of an aggregate: the most initializers it takes.
struct AnyMember {
    template <class T>
    operator T&() const;
};
template <class T, class... A>
constexpr size_t memberCount() {
    if constexpr (requires { T{A{}..., AnyMember{}}; }) return memberCount<T, A..., AnyMember>();
    else return sizeof...(A);
}

// The table's members, laid out by offset, leave no gap and number as many as T has; a missing one
// is named by its neighbours.
template <class T>
void expectEveryMember(std::span<const Member<T>> table, const char* type) {
    const T object{};
    std::vector<std::tuple<size_t, size_t, size_t, std::string_view>> places;  // offset, size, alignment, name
    for (const Member<T>& m : table)
        std::visit([&](auto p) {
            using V = std::remove_reference_t<decltype(object.*p)>;
            places.emplace_back(reinterpret_cast<const char*>(&(object.*p)) - reinterpret_cast<const char*>(&object),
                                sizeof(V), alignof(V), m.name);
        }, m.pointer);
    std::sort(places.begin(), places.end());
    auto alignUp = [](size_t n, size_t a) { return (n + a - 1) / a * a; };
    size_t end = 0;
    std::string_view before = "the start";
    for (const auto& [at, size, align, name] : places) {
        EXPECT_EQ(at, alignUp(end, align)) << type << ": a member between " << before << " and " << name
                                           << " is not in the table of values (record/fields.cpp)";
        end = at + size, before = name;
    }
    EXPECT_EQ(alignUp(end, alignof(T)), sizeof(T)) << type << ": a member after " << before
                                                   << " is not in the table of values (record/fields.cpp)";
    EXPECT_EQ(table.size(), memberCount<T>()) << type << ": a member is not in the table of values";
}

TEST(RecordFields, TheTableNamesEveryMemberOfTheGame) {
    expectEveryMember(stateMembers(), "GameState");
    expectEveryMember(spriteMembers(), "Sprite");
    expectEveryMember(labelMembers(), "Label");
    expectEveryMember(imageMembers(), "Image");
    expectEveryMember(lineMembers(), "Line");
    expectEveryMember(starMembers(), "Star");
    expectEveryMember(timerMembers(), "Timer");
    expectEveryMember(formMembers(), "Form");
}

// A small recording: ends with the expectations its own run meets.
const std::string kPlay = "# Hv\xC4\x9B" "zda recording\r\nrandom 0.5 0.25\nadvance 400\nkeydown 39\nadvance 100\nkeyup 39\n";

std::string recordingOf(const std::string& play) {
    std::string end = run(play + "get Picture1.Left\nhash\n").out;  // "Picture1.Left=X\nhash=H\n"
    end.replace(end.find('='), 1, " ");
    return play + "expect " + end.replace(end.find("hash="), 5, "expect-hash ");
}

struct Replayed {
    Verdict verdict;
    int64_t clock = 0;
};

// A recording verified as hvezda-sim --verify does: checked whole, then played.
Replayed verify(const std::string& text, const RecordingLimits& limits = {}) {
    Sim sim;
    startSim(sim, {});
    std::istringstream in(text);
    const Verdict v = verifyRecording(sim.game, in, limits);
    return {v, sim.game.clock};
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

// The values a script's game draws, in order.
std::vector<float> drawsOf(const std::string& script) {
    std::vector<float> drawn;
    EXPECT_EQ(run(script, [&](Sim& s) { s.game.random.onDraw = [&](float r) { drawn.push_back(r); }; }).result.exitCode, 0);
    return drawn;
}

TEST(DailyFlight, TheSameDateDrawsTheSameLuckWhateverTheKeys) {
    // One player fires all the time and hits craft (so they come back sooner), the other flies left.
    std::string firing = "daily 2026-12-07\n";
    for (int i = 0; i < 300; ++i) firing += "keydown 88\nadvance 100\n";
    const auto first10 = [](const std::string& script) {
        std::vector<float> d = drawsOf(script);
        EXPECT_GE(d.size(), 10u);
        d.resize(10);
        return d;
    };
    const std::vector<float> flying = first10("daily 2026-12-07\nkeydown 37\nadvance 30000\n");
    EXPECT_EQ(first10(firing), flying);
    EXPECT_NE(first10("daily 2026-12-08" + firing.substr(16)), flying);
    // The daily line is its date's seed line.
    EXPECT_EQ(drawsOf("seed 5560289080743383542\nadvance 30000\n"), drawsOf("daily 2026-12-07\nadvance 30000\n"));
}

std::string sealed(const std::string& script, SimResult* result = nullptr) {
    std::istringstream in(script);
    std::string out;
    const SimResult r = sealScript(in, out);
    if (result) *result = r;
    else EXPECT_EQ(r.exitCode, 0) << r.error;
    return out;
}

// Keys while craft come back in drawn columns.
const std::string kKeys = "advance 2500\nkeydown 39\nadvance 700\nkeyup 39\nkeydown 88\nadvance 2300\n";

TEST(Luck, ASeedAloneOrChosenByTheRecording) {
    const std::string bySeed = sealed("player 2026-12-07T21:00:00+01:00 Eva\nseed 42\n" + kKeys);
    Verdict v = verify(bySeed).verdict;
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.luck, Verdict::Luck::Seed);
    EXPECT_EQ(v.seed, 42u);
    EXPECT_EQ(luckSaid(v), " luck: seed 42");

    // One random line anywhere: the recording chose some of the luck.
    v = verify(sealed("seed 42\n" + kKeys + "random 0.5\nadvance 3000\n")).verdict;
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.luck, Verdict::Luck::Chosen);
    EXPECT_EQ(luckSaid(v), " luck: chosen");
    // No seed line: the verifier's own generator, which a script picks with --seed.
    EXPECT_EQ(verify(sealed(kKeys)).verdict.luck, Verdict::Luck::Chosen);

    // A daily line: its date's seed and no other, in format 3 only.
    const std::string daily = sealed("player 2026-12-07T21:00:00+01:00 Eva\ndaily 2026-12-07\n" + kKeys);
    EXPECT_NE(daily.find("\ndaily 2026-12-07\nseed 5560289080743383542\n"), std::string::npos) << daily;
    v = verify(daily).verdict;
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.luck, Verdict::Luck::Seed);
    EXPECT_EQ(v.daily, "2026-12-07");
    struct Case {
        std::string from, to, says;
    } refused[] = {
        {"seed 5560289080743383542", "seed 42", "line 4: the seed 42 is not the daily flight's of 2026-12-07"},
        {"seed 5560289080743383542\n", "", "the daily line 2026-12-07 has no seed line"},
        {"format 3", "format 2", "line 3: a daily line needs a format 3 line before it"},
        {"daily 2026-12-07\n", "seed 1\n", "line 4: a second seed line"},
        {"seed 5560289080743383542\nadvance 2500", "advance 2500\nseed 5560289080743383542", "line 5: the seed line must come before"},
    };
    for (const Case& c : refused) {
        std::string text = daily;
        text.replace(text.find(c.from), c.from.size(), c.to);
        v = verify(text).verdict;
        EXPECT_EQ(v.status, Verdict::Refused) << c.says;
        EXPECT_NE(v.message.find(c.says), std::string::npos) << v.message;
    }
}

TEST(Seal, AScriptBecomesARecordingThatEndsWhereTheScriptEnds) {
    const std::string script = "# a bug report\nseed 7\n" + kKeys + "keyup 88\nadvance 1234\n";
    const std::string recording = sealed(script);
    EXPECT_EQ(recording.rfind("format 3 hvezda ", 0), 0u) << recording;
    EXPECT_NE(recording.find("# a bug report\nseed 7\nadvance 2500\ncheckpoint 2500 "), std::string::npos) << recording;
    const Verdict v = verify(recording).verdict;
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_NE(v.message.find("11 expectations and 3 checkpoints held after 6734 ms"), std::string::npos) << v.message;
    // Its closing hash is the state the driver reaches on the script itself.
    const std::string hash = run(script + "hash\n").out;
    EXPECT_NE(recording.find("expect-hash " + hash.substr(5)), std::string::npos) << hash;

    // One step changed, and it no longer verifies.
    for (const auto& [from, to] : {std::pair{"keydown 88\n", "keydown 88 1\nkeydown 38\n"}, {"advance 700\n", "advance 710\n"},
                                   {"keyup 39\n", ""}}) {
        std::string changed = recording;
        changed.replace(changed.find(from), std::string(from).size(), to);
        EXPECT_EQ(verify(changed).verdict.status, Verdict::Unmet) << from;
    }

    // EXIT ends the recording as the game's recorder ends it: its end before the click.
    const std::string exited = sealed("seed 7\nadvance 1500\nclick Label4\nadvance 10\n");
    EXPECT_LT(exited.find("expect-hash"), exited.find("click Label4"));  // npos when either is missing
    EXPECT_EQ(exited.find("advance 10\n"), std::string::npos);
    EXPECT_EQ(verify(exited).verdict.status, Verdict::Verified) << verify(exited).verdict.message;
}

TEST(Seal, OnlyTheLinesARecordingHoldsNamedByTheirNumber) {
    const struct {
        std::string script, says;
    } cases[] = {
        {"advance 10\ntick Timer1\n", "line 2: 'tick' is not a line a script to seal may hold"},
        {"seed 1\nadvance 10\nexpect clock 10\n", "line 3: 'expect' is not a line"},
        {"advance 10\n\ncheckpoint 10 1\n", "line 3: 'checkpoint' is not a line"},
        {"format 3 hvezda 0.2\n", "line 1: 'format' is not a line"},
        {"advance 10\nget clock\n", "line 2: 'get' is not a line"},
        {"advance 10\nseed 3\n", "line 2: the seed line must come before the game's first line"},
        {"daily 2026-02-30\n", "line 1: daily needs a date as YYYY-MM-DD, not '2026-02-30'"},
        {"seed -1\n", "line 1: seed needs a whole number"},
        {"seed 1\nseed 2\n", "line 2: a second seed line"},
        {"advance 86400001\n", "the sealed recording would not verify: line 2: the play time passes the limit"},
    };
    for (const auto& c : cases) {
        SimResult r;
        const std::string out = sealed(c.script, &r);
        EXPECT_EQ(r.exitCode, 2) << c.script;
        EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
        EXPECT_EQ(out, "");
    }
}

}  // namespace
