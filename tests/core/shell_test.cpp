// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "musicplayer/recording.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// A game with a recording music player and a host that logs what start-up asks of it.
struct Started {
    std::vector<std::string> host;
    Game g;
    explicit Started(std::string folder = "/opt/hvezda") {
        choosePlayerBackend("recording");
        g.host.programFolder = [this, folder] {
            host.push_back("folder");
            return folder;
        };
        g.host.setCurrentDirectory = [this](const std::string& d) { host.push_back("cd " + d); };
        g.host.form2Handle = [this] {
            host.push_back("form2");
            return 77;
        };
        g.host.closeWindows = [this] { host.push_back("close"); };
    }
    ~Started() { choosePlayerBackend("null"); }
    const std::vector<std::string>& music() const { return recordedPlayerCalls(); }
};

TEST(StartUp, SetsTheStartingValuesAndStartsTheMusicInOrder) {
    Started s;
    s.g.state.shotIndex = 5;  // start-up writes these whatever they held
    s.g.state.bossDirection = "left";
    s.g.state.bannerGreen = 3;
    s.g.state.craft3ExplosionStep = 9;
    Form_Load(s.g);
    EXPECT_EQ(s.g.state.shotIndex, -1);
    EXPECT_EQ(s.g.state.bossDirection, "right");
    EXPECT_EQ(s.g.state.bannerGreen, 0);
    EXPECT_EQ(s.g.state.craft3ExplosionStep, 0);
    EXPECT_EQ(s.g.state.keyLeft, "");
    EXPECT_EQ(s.g.state.musicPath, "/opt/hvezda/Moonlite.dat");
    EXPECT_EQ(s.g.state.musicHandle, 1);
    EXPECT_EQ(s.host, (std::vector<std::string>{"folder", "cd /opt/hvezda", "form2"}));
    const std::vector<std::string> calls{"CreateEx(loop|true)=1", "SetWindow(1,77)", "Load(1,/opt/hvezda/Moonlite.dat)",
                                         "Play(1)"};
    EXPECT_EQ(s.music(), calls);
    EXPECT_TRUE(s.g.scene.Form2.open);
    // Nothing ran a tick: the clock is still at 0 and the scene untouched.
    EXPECT_EQ(s.g.clock, 0);
    EXPECT_EQ(s.g.scene.Picture1.Left, 4560);
}

TEST(StartUp, ARootFolderGivesTwoSeparatorsInARow) {
    Started s("/");
    Form_Load(s.g);
    EXPECT_EQ(s.g.state.musicPath, "//Moonlite.dat");
}

TEST(StartUp, RunsWithoutAnyHostServices) {
    choosePlayerBackend("recording");
    Game g;
    Form_Load(g);
    EXPECT_EQ(g.state.musicPath, std::string(1, kPathSeparator) + "Moonlite.dat");
    Label4_Click(g);
    EXPECT_FALSE(g.scene.Form1.open);
    choosePlayerBackend("null");
}

TEST(Exit, StopsAndReleasesTheMusicThenClosesEverything) {
    Started s;
    Form_Load(s.g);
    advance(s.g, 1000);
    Label4_Click(s.g);
    ASSERT_EQ(s.music().size(), 6u);
    EXPECT_EQ(s.music()[4], "Stop(1)");
    EXPECT_EQ(s.music()[5], "Destroy(1)");
    EXPECT_EQ(s.host.back(), "close");
    EXPECT_FALSE(s.g.scene.Form1.open);
    EXPECT_FALSE(s.g.scene.Form2.open);
    // Closing the window ends its timers and its keys.
    EXPECT_EQ(nextDueTime(s.g), kNever);
    s.g.state.keyUp = "";
    keyDownEvent(s.g, 38, 0);
    EXPECT_EQ(s.g.state.keyUp, "");
}

}  // namespace
