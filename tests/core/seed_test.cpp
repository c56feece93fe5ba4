// SPDX-License-Identifier: MIT
// One seed a game: the stream, the daily flight's seed, a recording's luck, scripts sealed into recordings.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "record/replay.h"
#include "record/seed.h"
#include "scene/random.h"
#include "sim/seal.h"
#include "sim/script.h"

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

TEST(SeedStream, TheWorkedValuesOfTheDriverPage) {
    // docs/driver.md gives these two; another language's stream must match them.
    EXPECT_EQ(streamMix(0 + kStreamStep), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(streamValue(0, 0), 14819496.0f / 16777216.0f);  // 0.8833108
    EXPECT_EQ(streamMix(1 + 2 * kStreamStep), 0xBEEB8DA1658EEC67ull);
    EXPECT_EQ(streamValue(1, 1), 12512141.0f / 16777216.0f);  // 0.7457817
    EXPECT_EQ(dailySeed(2026, 12, 7), 5560289080743383542ull);
    // Through the game's own draw: floor(R x 2^24) is the 24 bits themselves.
    Random r;
    r.seed = seedStream(1);
    EXPECT_EQ(drawRandom(r, 1 << 24), 9505325);
    EXPECT_EQ(drawRandom(r, 1 << 24), 12512141);
    EXPECT_EQ(drawRandom(r, 8000), static_cast<int>(streamValue(1, 2) * 8000.0f));
}

TEST(SeedStream, OnlyRealDatesHaveADailySeed) {
    int y = 0, m = 0, d = 0;
    for (const char* date : {"2024-02-29", "0001-01-01", "9999-12-31"}) EXPECT_TRUE(parseDate(date, y, m, d)) << date;
    EXPECT_EQ(formatDate(y, m, d), "9999-12-31");
    for (const char* date : {"2026-02-29", "2026-13-01", "2026-00-10", "2026-04-31", "0000-01-01", "2026-1-01",
                             "2026-12-07x", "2026/12/07", "+026-12-07", ""})
        EXPECT_FALSE(parseDate(date, y, m, d)) << date;
    EXPECT_TRUE(parseDate(todayUtc(), y, m, d));
}

// The values a script's game draws, in order.
std::vector<float> drawsOf(const std::string& script) {
    Sim sim;
    startSim(sim, {});
    std::vector<float> drawn;
    sim.game.random.onDraw = [&](float r) { drawn.push_back(r); };
    std::istringstream in(script);
    std::ostringstream out;
    EXPECT_EQ(runSimScript(sim, in, out).exitCode, 0);
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

Verdict verified(const std::string& recording) {
    Sim sim;
    startSim(sim, {});
    std::istringstream in(recording);
    return verifyRecording(sim.game, in);
}

// Keys while craft come back in drawn columns.
const std::string kPlay = "advance 2500\nkeydown 39\nadvance 700\nkeyup 39\nkeydown 88\nadvance 2300\n";

TEST(Luck, ASeedAloneOrChosenByTheRecording) {
    const std::string bySeed = sealed("player 2026-12-07T21:00:00+01:00 Eva\nseed 42\n" + kPlay);
    Verdict v = verified(bySeed);
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.luck, Verdict::Luck::Seed);
    EXPECT_EQ(v.seed, 42u);
    EXPECT_EQ(luckSaid(v), " luck: seed 42");

    // One random line anywhere: the recording chose some of the luck.
    v = verified(sealed("seed 42\n" + kPlay + "random 0.5\nadvance 3000\n"));
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_EQ(v.luck, Verdict::Luck::Chosen);
    EXPECT_EQ(luckSaid(v), " luck: chosen");
    // No seed line: the verifier's own generator, which a script picks with --seed.
    EXPECT_EQ(verified(sealed(kPlay)).luck, Verdict::Luck::Chosen);

    // A daily line: its date's seed and no other, in format 3 only.
    const std::string daily = sealed("player 2026-12-07T21:00:00+01:00 Eva\ndaily 2026-12-07\n" + kPlay);
    EXPECT_NE(daily.find("\ndaily 2026-12-07\nseed 5560289080743383542\n"), std::string::npos) << daily;
    v = verified(daily);
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
        v = verified(text);
        EXPECT_EQ(v.status, Verdict::Refused) << c.says;
        EXPECT_NE(v.message.find(c.says), std::string::npos) << v.message;
    }
}

TEST(Seal, AScriptBecomesARecordingThatEndsWhereTheScriptEnds) {
    const std::string script = "# a bug report\nseed 7\n" + kPlay + "keyup 88\nadvance 1234\n";
    const std::string recording = sealed(script);
    EXPECT_EQ(recording.rfind("format 3 hvezda ", 0), 0u) << recording;
    EXPECT_NE(recording.find("# a bug report\nseed 7\nadvance 2500\ncheckpoint 2500 "), std::string::npos) << recording;
    const Verdict v = verified(recording);
    EXPECT_EQ(v.status, Verdict::Verified) << v.message;
    EXPECT_NE(v.message.find("11 expectations and 3 checkpoints held after 6734 ms"), std::string::npos) << v.message;
    // Its closing hash is the state the driver reaches on the script itself.
    Sim sim;
    startSim(sim, {});
    std::istringstream in(script + "hash\n");
    std::ostringstream out;
    runSimScript(sim, in, out);
    EXPECT_NE(recording.find("expect-hash " + out.str().substr(5)), std::string::npos) << out.str();

    // One step changed, and it no longer verifies.
    for (const auto& [from, to] : {std::pair{"keydown 88\n", "keydown 88 1\nkeydown 38\n"}, {"advance 700\n", "advance 710\n"},
                                   {"keyup 39\n", ""}}) {
        std::string changed = recording;
        changed.replace(changed.find(from), std::string(from).size(), to);
        EXPECT_EQ(verified(changed).status, Verdict::Unmet) << from;
    }

    // EXIT ends the recording as the game's recorder ends it: its end before the click.
    const std::string exited = sealed("seed 7\nadvance 1500\nclick Label4\nadvance 10\n");
    EXPECT_NE(exited.find("expect-hash"), std::string::npos);
    EXPECT_LT(exited.find("expect-hash"), exited.find("click Label4"));
    EXPECT_EQ(exited.find("advance 10\n"), std::string::npos);
    EXPECT_EQ(verified(exited).status, Verdict::Verified) << verified(exited).message;
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
