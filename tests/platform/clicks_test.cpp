// Which label a click lands on, and what the click does.
#include <gtest/gtest.h>

#include "platform/clicks.h"
#include "shell/shell.h"

namespace {

using plat::PanelLabel;

// The panel's inside starts one pixel in (its frame); Label4 "EXIT" is at
// (8880, 960) 735 x 225 twips: pixels 592..640 x 64..78 relative to it.
TEST(Clicks, EachLabelAnswersInsideItsOwnBox) {
    Scene s = makeScene();
    EXPECT_EQ(plat::labelAt(s, 1 + 592, 1 + 65), PanelLabel::Exit);
    EXPECT_EQ(plat::labelAt(s, 1 + 592 + 48, 1 + 64 + 14), PanelLabel::Exit);
    EXPECT_EQ(plat::labelAt(s, 1 + 592 + 48, 1 + 64 + 15), PanelLabel::None);  // just below it
    // Label6 (720 + 255 twips) reaches into EXIT's first row and lies over it.
    EXPECT_EQ(plat::labelAt(s, 1 + 592, 1 + 64), PanelLabel::Credits);
    EXPECT_EQ(plat::labelAt(s, 1 + 592 + 49, 1 + 70), PanelLabel::None);  // just right of it
    EXPECT_EQ(plat::labelAt(s, 1 + 600, 1 + 32), PanelLabel::Controls);    // Label5 at 480 twips
    EXPECT_EQ(plat::labelAt(s, 1 + 600, 1 + 48), PanelLabel::Credits);     // Label6 at 720 twips
    EXPECT_EQ(plat::labelAt(s, 1 + 600, 1 + 47), PanelLabel::Controls);    // Label6 covers the row below
    EXPECT_EQ(plat::labelAt(s, 300, 300), PanelLabel::None);               // the playfield
    EXPECT_EQ(plat::labelAt(s, 20, 20), PanelLabel::None);                 // Label7 takes no clicks
    EXPECT_EQ(plat::labelAt(s, -1, 70), PanelLabel::None);
}

TEST(Clicks, OnlyWhereThePanelShowsTheLabel) {
    Scene s = makeScene();
    // Moved mostly below the panel: only its part inside the panel counts.
    s.Label4.Top = 1350;  // pixel 90 in the panel, 91 in the window; the inside ends at 95
    EXPECT_EQ(plat::labelAt(s, 600, 93), PanelLabel::Exit);
    EXPECT_EQ(plat::labelAt(s, 600, 96), PanelLabel::None);  // the panel's frame
    EXPECT_EQ(plat::labelAt(s, 600, 100), PanelLabel::None);  // beneath the panel
    // Moved past the window's right edge: the panel goes on, the window does not.
    s.Label6.Left = 9900;  // pixels 661..725
    EXPECT_EQ(plat::labelAt(s, 665, 1 + 50), PanelLabel::Credits);
    EXPECT_EQ(plat::labelAt(s, 667, 1 + 50), PanelLabel::None);
    // Hidden labels and a hidden panel take no clicks.
    s.Label5.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 1 + 600, 1 + 32), PanelLabel::None);
    s.Picture2.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 600, 93), PanelLabel::None);
}

TEST(Clicks, ASpriteDrawnOverThePanelTakesTheClick) {
    Scene s = makeScene();
    // `life` is drawn after the panel: put it over "EXIT".
    s.life.Left = 8880;
    s.life.Top = 900;
    EXPECT_EQ(plat::labelAt(s, 1 + 595, 1 + 66), PanelLabel::None);
    s.life.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 1 + 595, 1 + 66), PanelLabel::Exit);
    // A sprite drawn before the panel is beneath it and changes nothing.
    s.enemyboss.Left = 8800;
    s.enemyboss.Top = 900;
    EXPECT_EQ(plat::labelAt(s, 1 + 595, 1 + 66), PanelLabel::Exit);
}

TEST(Clicks, TheHandlersRun) {
    Game g;
    int closed = 0;
    g.host.closeWindows = [&] { ++closed; };
    EXPECT_FALSE(plat::clickLabel(g, PanelLabel::None));
    EXPECT_TRUE(plat::clickLabel(g, PanelLabel::Controls));
    EXPECT_EQ(g.scene.Label7.Caption, kControlsHelp);
    EXPECT_TRUE(plat::clickLabel(g, PanelLabel::Credits));
    EXPECT_EQ(g.scene.Label7.Caption, kCreditsText);
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(plat::clickLabel(g, PanelLabel::Exit));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(g.scene.Form1.open);
}

}  // namespace
