// SPDX-License-Identifier: MIT
// Which label a click lands on, and what the click does.
#include <gtest/gtest.h>

#include "platform/clicks.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

using plat::PanelLabel;

struct Probe {
    int x, y;
    PanelLabel want;
};

void expectAt(Scene& s, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes)
        EXPECT_EQ(plat::labelAt(s, p.x, p.y), p.want) << p.x << "," << p.y;
}

// The panel's inside starts one pixel in (its frame); Label4 "EXIT" is at
// (8880, 960) 735 x 225 twips: pixels 592..640 x 64..78 relative to it.
TEST(Clicks, EachLabelAnswersInsideItsOwnBox) {
    Scene s = makeScene();
    expectAt(s, {{1 + 592, 1 + 65, PanelLabel::Exit},
                 {1 + 640, 1 + 78, PanelLabel::Exit},
                 {1 + 640, 1 + 79, PanelLabel::None},      // just below it
                 {1 + 641, 1 + 70, PanelLabel::None},      // just right of it
                 {1 + 592, 1 + 64, PanelLabel::Credits},   // Label6 reaches into EXIT's first row, over it
                 {1 + 600, 1 + 32, PanelLabel::Controls},  // Label5 at 480 twips
                 {1 + 600, 1 + 47, PanelLabel::Controls},
                 {1 + 600, 1 + 48, PanelLabel::Credits},   // Label6 at 720 twips
                 {300, 300, PanelLabel::None},             // the playfield
                 {20, 20, PanelLabel::None},               // Label7 takes no clicks
                 {-1, 70, PanelLabel::None}});
}

TEST(Clicks, OnlyWhereThePanelShowsTheLabelAndNothingIsDrawnOverIt) {
    Scene s = makeScene();
    s.Label4.Top = 1350;   // pixel 91 in the window; the panel's inside ends at 95
    s.Label6.Left = 9900;  // pixels 661..725: past the window's right edge
    expectAt(s, {{600, 93, PanelLabel::Exit},
                 {600, 96, PanelLabel::None},  // the panel's frame
                 {665, 51, PanelLabel::Credits},
                 {667, 51, PanelLabel::None}});
    // `life` is drawn after the panel and takes the click; `enemyboss`, drawn
    // before it, is beneath it and changes nothing.
    s.life.Left = s.enemyboss.Left = 8880;
    s.life.Top = s.enemyboss.Top = 1250;
    EXPECT_EQ(plat::labelAt(s, 600, 93), PanelLabel::None);
    s.life.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 600, 93), PanelLabel::Exit);
    // Hidden labels and a hidden panel take no clicks.
    s.Label5.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 1 + 600, 1 + 32), PanelLabel::None);
    s.Picture2.Visible = false;
    EXPECT_EQ(plat::labelAt(s, 600, 93), PanelLabel::None);
}

}  // namespace
