// SPDX-License-Identifier: MIT
// Screenshots probed where the drawing rules show, with tolerances so new artwork does not break them; and F12.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "draw/snapshot.h"
#include "scratch.h"
#include "sim/script.h"

using namespace record;
using namespace driver;

namespace {

struct Rgb { int r, g, b; };

// A PNG as 667 x 570 pixels of 32 bits.
class Shot {
public:
    explicit Shot(const std::string& file) {
        if (SDL_Surface* loaded = IMG_Load(file.c_str())) {
            s_ = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(loaded);
        }
    }
    ~Shot() { SDL_FreeSurface(s_); }
    bool ok() const { return s_ && s_->w == 667 && s_->h == 570; }
    bool operator==(const Shot& o) const { return std::memcmp(s_->pixels, o.s_->pixels, 570 * s_->pitch) == 0; }
    Rgb at(int x, int y) const {  // ARGB8888
        const Uint32 v = static_cast<const Uint32*>(s_->pixels)[y * s_->pitch / 4 + x];
        return {int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)};
    }
    int count(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& pred) const {  // pixels in the box
        int n = 0;
        for (int i = 0; i < (x1 - x0) * (y1 - y0); ++i) n += pred(at(x0 + i % (x1 - x0), y0 + i / (x1 - x0)));
        return n;
    }

private:
    SDL_Surface* s_ = nullptr;
};

bool black(Rgb c) { return c.r < 16 && c.g < 16 && c.b < 16; }
bool lit(Rgb c) { return !black(c); }
bool near(Rgb c, Rgb want, int tol = 8) {
    return std::abs(c.r - want.r) <= tol && std::abs(c.g - want.g) <= tol && std::abs(c.b - want.b) <= tol;
}
bool orange(Rgb c) { return c.r > 180 && c.g > 70 && c.g < 170 && c.b < 70; }
constexpr Rgb kFrame{0x40, 0x40, 0x40};

// The driver's screenshot of the start, taken once.
const std::string& shots() {
    static const std::string dir = [] {
        const std::string d = freshFolder("shots") + "/";
        std::ofstream(d + "s.sim") << "screenshot start.png\n";
        EXPECT_EQ(std::system(("cd '" + d + "' && '" HVEZDA_SIM "' s.sim").c_str()), 0);
        return d;
    }();
    return dir;
}

TEST(Screenshot, TheStartingScene) {
    const Shot s(shots() + "start.png");
    ASSERT_TRUE(s.ok()) << IMG_GetError();
    // Every picture was found: no missing one (magenta) anywhere.
    EXPECT_EQ(s.count(0, 0, 667, 570, [](Rgb c) { return near(c, {255, 0, 255}); }), 0);
    // The black panel with its frame, and the green line at 1320 twips (+1 for the frame).
    for (auto [x, y] : {std::pair{300, 0}, {0, 40}, {300, 96}}) EXPECT_TRUE(near(s.at(x, y), kFrame)) << x << "," << y;
    EXPECT_TRUE(black(s.at(540, 50)));
    for (int x : {1, 300, 664}) EXPECT_TRUE(near(s.at(x, 89), {0, 255, 0}, 0)) << x;
    EXPECT_TRUE(black(s.at(665, 89)) && black(s.at(300, 88)) && black(s.at(300, 90)));  // it ends at 9960 twips

    // The title picture (270 x 65 at 225, 1), below it only the score "0" in orange, auto-sized at (337, 65).
    EXPECT_GT(s.count(225, 1, 495, 66, lit), 270 * 65 / 5);
    EXPECT_EQ(s.count(360, 67, 495, 88, lit), 0);
    EXPECT_GT(s.count(337, 65, 350, 85, orange), 10);
    EXPECT_EQ(s.count(355, 60, 400, 88, orange), 0);
    // The shield gauge shows whole on the right (x 648..667, y 152..554).
    EXPECT_GT(s.count(650, 152, 666, 555, lit), 16 * 403 * 2 / 3);
    EXPECT_TRUE(near(s.at(656, 144), kFrame));  // the shield bar's lower edge (2175 twips) above the gauge
    // The boss gauge hidden, but for its bar's frame down to y 152; red ticks at 2400 and 7800 twips.
    EXPECT_TRUE(s.count(9, 154, 28, 555, lit) == 0 && near(s.at(15, 152), kFrame));
    EXPECT_TRUE(near(s.at(644, 160), {255, 0, 0}, 0) && near(s.at(644, 520), {255, 0, 0}, 0));
    // The ship (53 x 79 at 304, 432) and the craft in their places.
    EXPECT_GT(s.count(304, 432, 357, 511, lit), 53 * 79 / 5);
    EXPECT_EQ(s.count(250, 432, 300, 511, lit), 0);
    // enemycraft2 is bordered: a frame around its 68 x 61 box at (528, 192).
    for (auto [x, y] : {std::pair{528, 192}, {595, 192}, {528, 252}, {595, 252}, {560, 192}, {528, 220}})
        EXPECT_TRUE(near(s.at(x, y), kFrame)) << x << "," << y;
    EXPECT_GT(s.count(529, 193, 595, 252, lit), 66 * 59 / 5);
    // Stars: hvezda1(4) white at (120, 320), hvezda1(11) grey at (48, 232), 3 px across.
    EXPECT_EQ(s.count(120, 320, 123, 323, [](Rgb c) { return near(c, {255, 255, 255}, 0); }), 9);
    EXPECT_TRUE(black(s.at(119, 321)) && black(s.at(123, 321)));
    EXPECT_TRUE(near(s.at(49, 233), {128, 128, 128}, 0));
    EXPECT_FALSE(near(s.at(593, 241), {128, 128, 128}, 0));  // hvezda1(8), behind enemycraft2
    EXPECT_EQ(s.count(16, 328, 150, 440, lit), 0);  // hidden: the picture bank and the explosions
}

TEST(Screenshot, PanelCapitalsCarryClearSlantedAccents) {
    const Shot s(shots() + "start.png");
    ASSERT_TRUE(s.ok()) << IMG_GetError();
    const auto ink = [](Rgb c) { return c.g >= 128; };
    // Crisp: every pixel of the three labels is either the text's green or black.
    EXPECT_EQ(s.count(593, 33, 658, 81, [](Rgb c) { return !black(c) && !near(c, {0, 255, 0}); }), 0);
    // "CREDITS" and "EXIT" start where they always have, within a pixel: at (594, 52) and (594, 68).
    for (auto [y0, x1, y1, wantY] : {std::array{49, 658, 66, 52}, {65, 642, 80, 68}}) {
        int x = 593, y = y0;
        while (x < x1 && s.count(x, y0, x + 1, y1, ink) == 0) ++x;
        while (y < y1 && s.count(593, y, x1, y + 1, ink) == 0) ++y;
        EXPECT_TRUE(std::abs(x - 594) <= 1 && std::abs(y - wantY) <= 1) << x << "," << y << " for " << wantY;
    }
    // "OVLÁDÁNÍ", 65 x 17 at (593, 33): the capitals' top is the first row with more ink than three accents, below a blank.
    const int x0 = 593, x1 = 658, y0 = 33;
    int capTop = y0;
    while (capTop < y0 + 17 && s.count(x0, capTop, x1, capTop + 1, ink) <= 6) ++capTop;
    ASSERT_TRUE(capTop > y0 + 2 && capTop < y0 + 17) << capTop;
    EXPECT_EQ(s.count(x0, capTop - 1, x1, capTop, lit), 0);
    // Above, three accents (runs of inked columns), two rows tall at least, slanted right, each over a letter's top.
    std::vector<std::pair<int, int>> runs;
    for (int x = x0; x < x1; ++x) {
        if (s.count(x, y0, x + 1, capTop - 1, ink) == 0) continue;
        if (runs.empty() || runs.back().second < x - 1) runs.push_back({x, x});
        runs.back().second = x;
    }
    ASSERT_EQ(runs.size(), 3u);
    for (auto [left, right] : runs) {
        SCOPED_TRACE("accent at x " + std::to_string(left));
        int top = y0, bottom = capTop - 2;
        while (s.count(left, top, right + 1, top + 1, ink) == 0) ++top;
        while (s.count(left, bottom, right + 1, bottom + 1, ink) == 0) --bottom;
        auto meanX = [&](int y) {
            int sum = 0, n = 0;
            for (int x = left; x <= right; ++x)
                if (ink(s.at(x, y))) sum += x, ++n;
            return double(sum) / n;
        };
        EXPECT_GE(bottom - top, 1);
        EXPECT_GT(meanX(top), meanX(bottom));
        EXPECT_GT(s.count(left - 1, capTop, right + 2, capTop + 1, ink), 0);
    }
}

// F12: a new PNG in the pictures folder, pixel for pixel the driver's of the same moment.
TEST(Screenshot, TheKeysPictureIsTheDriversPicture) {
    const std::string dir = freshFolder("f12");
    const std::string script = "keydown 39\nadvance 700\nkeydown 88\nadvance 90\nclick Label5\n";
    std::ofstream(dir + "/s.sim") << script << "screenshot driver.png\n";
    ASSERT_EQ(std::system(("cd '" + dir + "' && '" HVEZDA_SIM "' --seed 5 s.sim").c_str()), 0);
    Sim sim;
    startSim(sim, {5, {}});
    std::istringstream in(script);
    std::ostringstream out;
    ASSERT_EQ(runSimScript(sim, in, out).exitCode, 0);
    ASSERT_EQ(TTF_Init(), 0);
    auto fonts = std::make_unique<draw::FontCache>();
    const std::string line = draw::takeScreenshot(sim.game.scene, *fonts, dir, 1700000000);
    const std::string again = draw::takeScreenshot(sim.game.scene, *fonts, dir, 1700000000);
    fonts.reset();
    TTF_Quit();
    draw::releaseFontLookup();
    // hvezda-2023-11-14-221320.png, or the 15th by the time zone.
    const std::string head = "screenshot saved to " + dir + "/hvezda-2023-11-1";
    ASSERT_TRUE(line.rfind(head, 0) == 0 && line.size() == head.size() + 12) << line;
    EXPECT_EQ(again, line.substr(0, line.size() - 4) + "-2.png");
    const Shot key(line.substr(std::string("screenshot saved to ").size())), driver(dir + "/driver.png");
    ASSERT_TRUE(key.ok() && driver.ok()) << IMG_GetError();
    EXPECT_TRUE(key == driver);
}

}  // namespace
