// SPDX-License-Identifier: MIT
// What start-up and EXIT ask of the host (the scenarios see the music calls).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "musicplayer/recording.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

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
