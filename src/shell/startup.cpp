// SPDX-License-Identifier: MIT
#include <string>

#include "musicplayer/modplug.h"
#include "shell/shell.h"

namespace hvezda {

namespace {
// The music player library the host loaded; without one, the music is silent.
musicplayer::PlayerLibrary& playerOf(Game& g) { return g.host.player ? *g.host.player : musicplayer::nullPlayer(); }
}  // namespace

void Form_Load(Game& g) {
    GameState& st = g.state;
    st.bossDirection = flags::bossRight;
    st.bannerGreen = 0;
    st.bossExplosionStep = 0;
    st.playerExplosionStep = 0;
    st.shipExplosionStep = 0;
    st.craft2ExplosionStep = 0;
    st.craft3ExplosionStep = 0;
    st.craft4ExplosionStep = 0;
    st.craft1ExplosionStep = 0;
    st.shotIndex = -1;

    const std::string folder = g.host.programFolder ? g.host.programFolder() : std::string();
    if (g.host.setCurrentDirectory) g.host.setCurrentDirectory(folder);
    // No separator is removed: a root folder ("/") gives two in a row, passed on as is.
    const std::string path = folder + kPathSeparator + kMusicFileName;

    musicplayer::PlayerLibrary& player = playerOf(g);
    st.musicHandle = player.ModPlug_CreateEx("loop|true");

    Form& form2 = g.scene.Form2;
    if (!form2.open) {
        form2.hWnd = g.host.form2Handle ? g.host.form2Handle() : 0;
        form2.open = true;  // exists, never shown
    }
    player.ModPlug_SetWindow(st.musicHandle, form2.hWnd);

    st.musicPath = path;
    player.ModPlug_Load(st.musicHandle, st.musicPath.c_str());
    player.ModPlug_Play(st.musicHandle);
}

void Label4_Click(Game& g) {
    playerOf(g).ModPlug_Stop(g.state.musicHandle);
    playerOf(g).ModPlug_Destroy(g.state.musicHandle);
    // Closing the game window ends its timers; with no window left the program ends.
    for (TimerId id : kTimerOrder) disable(g, timerOf(g.scene, id));
    g.scene.Form1.open = false;
    g.scene.Form2.open = false;
    if (g.host.closeWindows) g.host.closeWindows();
}

void Label5_Click(Game& g) { g.scene.Label7.Caption = kControlsHelp; }

void Label6_Click(Game& g) { g.scene.Label7.Caption = kCreditsText; }

}  // namespace hvezda
