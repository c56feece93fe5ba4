// SPDX-License-Identifier: MIT
// The game itself: its scene, timers and luck, rules easier to pin down in code than in a script, and what
// start-up and EXIT ask of the host (the scenarios see the music calls).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "musicplayer/recording.h"
#include "player/player.h"
#include "scene/game.h"
#include "scene/scene.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// (The scenarios show touching edges.) 16777216 + 1 rounds back to 16777216 in single precision: they only touch.
TEST(Scene, BoxTestSumsInSinglePrecision) {
    EXPECT_FALSE(spansOverlap(16777216.0f, 1.0f, 16777216.0f + 2.0f, 1.0f));
    EXPECT_FALSE(spansOverlap(0.0f, 16777216.0f, 16777217.0f, 5.0f));
    EXPECT_TRUE(spansOverlap(0.0f, 16777216.0f, 16777214.0f, 5.0f));
}

TEST(Scene, ElementsAreFoundByNameAndIndex) {
    Scene s = makeScene();
    EXPECT_EQ(std::get<Sprite*>(findElement(s, "fire(3)")->ptr), &s.fire[3]);
    EXPECT_EQ(std::get<Star*>(findElement(s, "hvezda1", 12)->ptr), &s.hvezda1[12]);
    EXPECT_TRUE(findElement(s, "score")->inPanel);
    EXPECT_FALSE(findElement(s, "Label3")->inPanel);
    for (const char* missing : {"fire(12)", "hvezda1(5)", "hvezda1(9)", "fire", "fire()", "fire(-1)", "fire(1x)",
                                "Picture1(0)", "nothing", ""})
        EXPECT_FALSE(findElement(s, missing)) << missing;
}

TEST(Scene, CatalogueAndDrawingOrderCoverEveryElementOnce) {
    Scene s = makeScene();
    std::set<std::string> names;
    for (const ElementRef& e : catalogue(s)) EXPECT_TRUE(names.insert(e.name()).second) << e.name();
    std::set<std::string> drawn;
    for (const ElementRef& e : drawingOrder(s)) EXPECT_TRUE(drawn.insert(e.name()).second) << e.name();
    for (const ElementRef& e : panelDrawingOrder(s)) EXPECT_TRUE(drawn.insert(e.name()).second) << e.name();
    // Everything but the six timers and the window is drawn.
    for (const std::string& n : names) EXPECT_TRUE(drawn.count(n) || n.rfind("Timer", 0) == 0 || n == "Form1") << n;
    EXPECT_EQ(drawn.size(), names.size() - 7);
    // Craft are drawn over the ship, the ship over all shots, the panel over them all.
    auto order = drawingOrder(s);
    auto pos = [&](const std::string& n) {
        return std::find_if(order.begin(), order.end(), [&](const ElementRef& e) { return e.name() == n; }) - order.begin();
    };
    EXPECT_LT(pos("fire(11)"), pos("Picture1"));
    EXPECT_LT(pos("Picture1"), pos("enemycraft3"));
    EXPECT_LT(pos("enemycraft1"), pos("Picture2"));
    EXPECT_EQ(order.back().name(), "life");
}

TEST(Timers, ATickDisabledDuringATickOfTheSameInstantNeverRuns) {
    // Every timer off but Timer1 and Timer3; the ticks logged as "Timer1@10 ...". Timer3 was due at 40 too,
    // after Timer1: disabled by that tick, it never runs.
    Game g;
    for (TimerId id : kTimerOrder) disable(g, timerOf(g.scene, id));
    enable(g, g.scene.Timer1);
    enable(g, g.scene.Timer3);
    std::string log;
    g.onTick = [&](Game& game, TimerId id) {
        log += std::string(log.empty() ? "" : " ") + timerName(id) + "@" + std::to_string(game.clock);
        if (id == TimerId::Timer1 && game.clock == 40) disable(game, game.scene.Timer3);
    };
    advance(g, 50);
    EXPECT_EQ(log, "Timer1@10 Timer1@20 Timer3@20 Timer1@30 Timer1@40 Timer1@50");
}

TEST(Random, QueuedValuesComeFirstAndDrawsFloorInSinglePrecision) {
    Random r;
    int seeds = 0;
    r.seed = [&] { return static_cast<uint64_t>(++seeds); };
    r.queued = {0.5f, 0.99999994f, 0.0f, 0.99999994f, 16768827.0f / 16777216.0f};
    EXPECT_EQ(drawRandom(r, 8000), 4000);
    EXPECT_EQ(drawRandom(r, 8000), 7999);
    EXPECT_EQ(drawRandom(r, 5), 0);
    EXPECT_EQ(drawRandom(r, 5), 4);
    EXPECT_EQ(drawRandom(r, 8000), 7996);  // 7995.99981 rounds up in single precision
    EXPECT_EQ(seeds, 0);
    // Then every draw re-seeds first, and consecutive seeds give different values.
    const int a = drawRandom(r, 8000), b = drawRandom(r, 8000);
    EXPECT_EQ(seeds, 2);
    EXPECT_NE(a, b);
}

// The flight limits add in single precision: 16776422 + 795 rounds to 16777216, the limit, so the step is
// taken (not in double precision); two twips more round past it. The bottom limit likewise, tried alone.
TEST(PlayRules, FlightLimitsAddInSinglePrecision) {
    Game g;
    Form_Load(g);
    Scene& s = g.scene;
    s.Form1.Width = 16777916.0f;  // 16777916 - 700 = 16777216
    s.Form1.Height = 16777216.0f;
    s.Picture1.Top = 5000.0f;
    Form_KeyDown(g, keys::right, 0);
    s.Picture1.Left = 16776422.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Left, 16776572.0f);
    copyPicture(s.Picture1, s.rovne);
    s.Picture1.Left = 16776424.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Left, 16776424.0f);
    Form_KeyUp(g, keys::right, 0);
    s.Picture1.Left = 5000.0f;
    s.Picture1.Top = 16776032.0f;  // + 1185 = 16777217
    Form_KeyDown(g, keys::down, 0);
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Top, 16776132.0f);
    s.Picture1.Top = 16776034.0f;
    Timer1_Timer(g);
    EXPECT_EQ(s.Picture1.Top, 16776034.0f);
}

// A shot index written from outside beyond the ring starts it again at fire(0).
TEST(PlayRules, ShotIndexOutsideTheRingStartsItAgain) {
    for (int32_t written : {-7, 11, 12, 1000}) {
        Game g;
        Form_Load(g);
        g.state.shotIndex = written;
        Form_KeyDown(g, keys::x, 0);
        EXPECT_EQ(g.state.shotIndex, 0) << written;
        EXPECT_TRUE(g.scene.fire[0].Visible) << written;
    }
}

TEST(StartUp, AsksTheHostInOrderAndExitClosesEverything) {
    std::vector<std::string> host;
    Game g;
    auto music = std::make_shared<musicplayer::RecordingPlayer>();
    g.host.player = music;
    g.host.programFolder = [&] {
        host.push_back("folder");
        return std::string("/");
    };
    g.host.setCurrentDirectory = [&](const std::string& d) { host.push_back("cd " + d); };
    g.host.form2Handle = [&] {
        host.push_back("form2");
        return 77;
    };
    g.host.closeWindows = [&] { host.push_back("close"); };
    Form_Load(g);
    EXPECT_EQ(g.state.musicPath, "//Moonlite.dat");  // a root folder gives two separators in a row
    EXPECT_EQ(music->calls()[1], "SetWindow(1,77)");
    Label4_Click(g);
    EXPECT_EQ(host, (std::vector<std::string>{"folder", "cd /", "form2", "close"}));
    // Closing the window ends its timers and its keys.
    EXPECT_EQ(nextDueTime(g), kNever);
    keyDownEvent(g, 38, 0);
    EXPECT_EQ(g.state.keyUp, "");
    // Without any host services start-up and EXIT still run.
    Game bare;
    Form_Load(bare);
    EXPECT_EQ(bare.state.musicPath, std::string(1, kPathSeparator) + "Moonlite.dat");
    Label4_Click(bare);
    EXPECT_FALSE(bare.scene.Form1.open);
}

}  // namespace
