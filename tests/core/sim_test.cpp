// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "shell/shell.h"
#include "sim/script.h"

using namespace record;
using namespace driver;

namespace {

struct SimRun {
    std::string out;
    SimResult result;
};

SimRun run(const std::string& script) {
    Sim sim;
    startSim(sim, {});
    std::istringstream in(script);
    std::ostringstream out;
    const SimResult result = runSimScript(sim, in, out);
    return {out.str(), result};
}

TEST(Driver, AnswersGetsInTheProtocolsFormat) {
    const SimRun r = run(
        "get Picture1.Left\nget enemycraft2.Width\nget state.shotIndex\nget Timer3.Enabled\n"
        "get hvezda1(12).Top\nadvance 25\nget clock\nget Label3.ForeColor\nget Label3.Caption\n"
        "get Picture2.Picture\nget enemyboss.BackColor\nget state.bossDirection\nget Line3(1).Y1\n");
    EXPECT_EQ(r.result.exitCode, 0);
    EXPECT_EQ(r.out,
              "Picture1.Left=4560\nenemycraft2.Width=1020\nstate.shotIndex=-1\nTimer3.Enabled=true\n"
              "hvezda1(12).Top=4320\nclock=25\nLabel3.ForeColor=0x00000000\nLabel3.Caption=WINNER\n"
              "Picture2.Picture=none\nenemyboss.BackColor=0x80000005\nstate.bossDirection=right\nLine3(1).Y1=7800\n");
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
    // Enabled at 5: steps at 15 and 25, not restarted by the second write; interval 0 stops it.
    const SimRun r = run("advance 5\nset Timer5.Enabled true\nadvance 14\nset Timer5.Enabled true\nadvance 6\n"
                         "get state.bannerGreen\nset Timer5.Interval 0\nadvance 100\nget state.bannerGreen\n");
    EXPECT_EQ(r.out, "state.bannerGreen=20\nstate.bannerGreen=20\n") << r.result.error;
}

TEST(Driver, SkipsBlankAndCommentLinesAndWindowsLineEndsAndStopsAtExit) {
    const SimRun r = run("# a comment\n\n   \nget clock\r\nadvance 10\r\nget clock\nclick Label4\nget clock\nbogus line\n");
    EXPECT_EQ(r.result.exitCode, 0) << r.result.error;
    EXPECT_EQ(r.out, "clock=0\nclock=10\n");
}

TEST(Driver, MalformedLinesStopTheScriptNamingTheLine) {
    const std::pair<const char*, const char*> cases[] = {  // the line, a piece of the message
        {"jump 3", "unknown command"},
        {"get nothing.Left", "unknown element"},
        {"get Picture1.Caption", "no property"},
        {"set Picture1.Width 5", "can only be read"},
        {"set Picture1.Left 12abc", "is not a finite number"},
        {"set Picture1.Visible yes", "true or false"},
        {"set state.shotIndex 99999999999", "32-bit"},
        {"set Picture1.Picture nothing", "element with a picture"},
        {"random 1", "0 <= R < 1"},
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

TEST(Driver, DumpListsEveryTargetOnceEndingWithTheClock) {
    const SimRun r = run("dump\n");
    std::istringstream lines(r.out);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) EXPECT_TRUE(seen.insert(line.substr(0, line.find('='))).second) << line;
    EXPECT_EQ(r.out.rfind("Picture2.Left=0\n", 0), 0u);
    EXPECT_EQ(r.out.substr(r.out.size() - 8), "clock=0\n");
    EXPECT_TRUE(seen.count("state.keyLeft") && seen.count("Form1.KeyPreview") && seen.count("hvezda1(4).Visible"));
    // get prints the very lines dump prints.
    for (const char* line : {"score.Caption=0\n", "e1(0).Picture=craft_b\n", "Image3.Visible=false\n"}) {
        EXPECT_EQ(run(std::string("get ") + std::string(line).substr(0, std::string(line).find('=')) + "\n").out, line);
        EXPECT_NE(r.out.find(std::string("\n") + line), std::string::npos) << line;
    }
}

}  // namespace
