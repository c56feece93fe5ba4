// The drawing rules, one element at a time, on a software renderer.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/draw.h"
#include "shell/shell.h"

namespace {

using plat::Rgb;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kFrame{0x40, 0x40, 0x40};
constexpr Rgb kMagenta{0xFF, 0x00, 0xFF};
constexpr Rgb kRed{0xFF, 0, 0};
constexpr Rgb kGreen{0, 0xFF, 0};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};

// A 4 x 3 picture, red with a blue top-left pixel, as a BMP file.
std::vector<uint8_t> testBmp() {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 4, 3, 24, SDL_PIXELFORMAT_BGR24);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 0));
    SDL_Rect corner{0, 0, 1, 1};
    SDL_FillRect(s, &corner, SDL_MapRGB(s->format, 0, 0, 255));
    std::vector<uint8_t> bytes(4096);
    SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_SaveBMP_RW(s, rw, 0);
    bytes.resize(static_cast<size_t>(SDL_RWtell(rw)));
    SDL_RWclose(rw);
    SDL_FreeSurface(s);
    return bytes;
}

// Every element hidden: each test shows only what it looks at.
Scene emptyScene() {
    Scene s = makeScene();
    for (const ElementRef& e : catalogue(s)) {
        std::visit(
            [](auto* p) {
                if constexpr (requires { p->Visible; }) p->Visible = false;
            },
            e.ptr);
    }
    return s;
}

class Draw : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(TTF_Init(), 0) << TTF_GetError(); }
    static void TearDownTestSuite() {
        TTF_Quit();
        plat::releaseFontLookup();
    }

    void SetUp() override {
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, plat::kWindowWidth, plat::kWindowHeight, 32,
                                                  SDL_PIXELFORMAT_ARGB8888);
        ASSERT_NE(surface_, nullptr);
        renderer_ = SDL_CreateSoftwareRenderer(surface_);
        ASSERT_NE(renderer_, nullptr);
    }
    void TearDown() override {
        SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(surface_);
    }

    // Draws with pictures from `source`: only "shot" exists, as the test BMP.
    void draw(Scene& s, bool withShot = true) {
        bmp_ = testBmp();
        plat::PictureSource source{[this, withShot](std::string_view name) -> std::span<const uint8_t> {
            if (withShot && name == "shot") return bmp_;
            return {};
        }};
        plat::Painter painter(renderer_, fonts_, source);
        painter.draw(s);
        SDL_RenderPresent(renderer_);
        if (s.Label3.Visible) label3Size_ = painter.textSize(s.Label3.font, s.Label3.Caption);
    }

    Rgb at(int x, int y) const {
        const auto* row = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch;
        Uint32 v;
        std::memcpy(&v, row + x * 4, 4);
        Uint8 r, g, b;
        SDL_GetRGB(v, surface_->format, &r, &g, &b);
        return Rgb{r, g, b};
    }
    int count(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& pred) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += pred(at(x, y));
        return n;
    }

    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    plat::FontCache fonts_;
    std::vector<uint8_t> bmp_;
    std::pair<int, int> label3Size_;
};

TEST_F(Draw, ABorderedSpriteHasAFrameAndClipsItsPictureInside) {
    Scene s = emptyScene();
    // boom1: 615 x 495 twips (41 x 33 px), bordered, picture 71 x 70: larger than the box.
    s.boom1.Visible = true;
    s.boom1.Left = 1500;
    s.boom1.Top = 1500;
    draw(s);
    EXPECT_EQ(at(100, 100), kFrame);
    EXPECT_EQ(at(140, 100), kFrame);
    EXPECT_EQ(at(100, 132), kFrame);
    EXPECT_EQ(at(140, 132), kFrame);
    EXPECT_EQ(at(120, 100), kFrame);
    // Its picture is missing here: its box shows magenta inside the frame, up to the frame.
    EXPECT_EQ(at(101, 101), kMagenta);
    EXPECT_EQ(at(139, 131), kMagenta);
    EXPECT_EQ(at(141, 110), kBlack);
    EXPECT_EQ(at(120, 133), kBlack);
    EXPECT_EQ(at(99, 110), kBlack);
}

TEST_F(Draw, APictureSitsTopLeftInsideAndTheBackColourFillsTheRest) {
    Scene s = emptyScene();
    // A 10 x 8 px box with a frame, blue back, holding the 4 x 3 test picture.
    Sprite& box = s.fire[0];
    box.Visible = true;
    box.autoSize = false;
    box.border = true;
    box.BackColor = 0x00FF0000;  // blue
    box.Left = 300;
    box.Top = 450;
    box.Width = 150;
    box.Height = 120;
    draw(s);
    EXPECT_EQ(at(20, 30), kFrame);
    EXPECT_EQ(at(21, 31), (Rgb{0, 0, 255}));  // the picture's own blue corner
    EXPECT_EQ(at(22, 31), kRed);
    EXPECT_EQ(at(24, 33), kRed);              // its last pixel
    EXPECT_EQ(at(25, 31), (Rgb{0, 0, 255}));  // back colour right of it
    EXPECT_EQ(at(21, 34), (Rgb{0, 0, 255}));  // and below it
    EXPECT_EQ(at(29, 37), kFrame);
    EXPECT_EQ(at(30, 38), kBlack);
}

TEST_F(Draw, SpritesOffTheWindowAreClippedAndHiddenOnesNotDrawn) {
    Scene s = emptyScene();
    // The shield bar starts 280 px above the window: only its lower part shows.
    s.energy.Visible = true;
    s.fire[0].Visible = true;
    s.fire[0].Left = -45;  // 3 of its 23 px off to the left
    s.fire[0].Top = 7500;
    s.fire[1].Top = 7800;  // hidden
    s.fire[1].Left = 600;
    draw(s);
    EXPECT_EQ(at(648, 0), kFrame);  // the bar's left side, from the very top
    EXPECT_EQ(at(664, 50), kFrame);
    EXPECT_EQ(at(656, 144), kFrame);  // its bottom edge: -280 + 425 - 1
    EXPECT_EQ(at(656, 143), kBlack);
    EXPECT_EQ(at(656, 145), kBlack);
    // The picture's part at x >= 0 (pixels 3.. of the 4 x 3 picture, then back colour).
    EXPECT_EQ(at(0, 500), kRed);
    EXPECT_EQ(at(1, 500), kWhite);  // system window colour behind the picture
    EXPECT_EQ(at(19, 505), kWhite);
    EXPECT_EQ(at(20, 505), kBlack);
    EXPECT_EQ(count(40, 520, 63, 526, [](Rgb c) { return !(c == kBlack); }), 0);
}

TEST_F(Draw, StarsLinesAndImages) {
    Scene s = emptyScene();
    s.hvezda1[4].Visible = true;  // white, 50 twips at (1800, 4800)
    s.hvezda1[8].Visible = true;  // grey at (8880, 3600)
    s.Line3[0].Visible = true;    // red, (9600, 2400) to (9720, 2400)
    s.Line1.Visible = true;
    s.Line1.color = colors::green;  // (4440, 4080) to (5640, 4560), slanting
    s.Image2.Visible = true;        // its picture is missing here
    draw(s);
    for (int y = 320; y < 323; ++y)
        for (int x = 120; x < 123; ++x) EXPECT_EQ(at(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(at(119, 321), kBlack);
    EXPECT_EQ(at(123, 321), kBlack);
    EXPECT_EQ(at(121, 323), kBlack);
    EXPECT_EQ(at(593, 241), (Rgb{0x80, 0x80, 0x80}));
    // One pixel high, up to but not including its end point.
    EXPECT_EQ(at(640, 160), kRed);
    EXPECT_EQ(at(647, 160), kRed);
    EXPECT_EQ(at(639, 160), kBlack);
    EXPECT_EQ(at(648, 160), kMagenta);  // its end point, on the gauge, is left out
    EXPECT_EQ(at(644, 159), kBlack);
    EXPECT_EQ(at(644, 161), kBlack);
    // 80 x 32 px slant: one pixel per column.
    EXPECT_EQ(at(296, 272), kGreen);
    EXPECT_EQ(count(296, 260, 376, 310, [](Rgb c) { return c == kGreen; }), 80);
    EXPECT_EQ(at(648, 152), kMagenta);
    EXPECT_EQ(at(666, 152), kMagenta);  // 20 px wide from 648: past the window's edge
    EXPECT_EQ(at(647, 152), kBlack);
    EXPECT_EQ(at(660, 151), kBlack);
    EXPECT_EQ(at(648, 554), kMagenta);
    EXPECT_EQ(at(648, 555), kBlack);
}

TEST_F(Draw, LabelsOpaqueTransparentAndAutoSized) {
    Scene s = emptyScene();
    // A green gauge-sized image behind the transparent "WINNER" banner.
    s.Line1.Visible = false;
    s.Image3.Visible = true;  // magenta (missing picture) 20 x 403 at (8, 152)
    s.Label3.Visible = true;
    s.Label3.Left = 0;
    s.Label3.Top = 2400;  // y 160
    s.Label3.ForeColor = colors::white;
    // An opaque label with a blue back over nothing.
    s.Picture2.Visible = true;
    s.Label4.Visible = true;
    s.Label4.BackColor = 0x00FF0000;
    draw(s);
    // Transparent: inside the banner's box the gauge still shows between the
    // glyphs, and the white text is drawn over it.
    const int magenta = count(8, 160, 28, 180, [](Rgb c) { return c == kMagenta; });
    const int white = count(0, 160, 200, 200, [](Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; });
    EXPECT_GT(magenta, 100);
    EXPECT_LT(magenta, 400);  // part of it is covered by the letter W
    EXPECT_GT(white, 50);
    // Auto-size: the box is the text's own size from Left/Top, not 1950 x 555.
    EXPECT_GT(label3Size_.first, 60);
    EXPECT_LT(label3Size_.first, 200);
    EXPECT_GE(label3Size_.second, 30);
    EXPECT_LE(label3Size_.second, 45);
    // Opaque: the whole 49 x 15 box of EXIT is painted, text and back.
    EXPECT_EQ(at(1 + 592 + 48, 1 + 64 + 14), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(1 + 592 + 49, 1 + 64 + 14), kBlack);
    EXPECT_EQ(count(593, 65, 593 + 49, 65 + 15, [](Rgb c) { return c == kBlack; }), 0);
    EXPECT_GT(count(593, 65, 593 + 49, 65 + 15, [](Rgb c) { return c.g > 150 && c.b < 200; }), 20);
}

TEST_F(Draw, PanelChildrenAreClippedToThePanel) {
    Scene s = emptyScene();
    s.Picture2.Visible = true;
    s.Line2.Visible = true;
    s.Label4.Visible = true;
    s.Label4.Top = 1350;  // 90 px into the panel: only 5 rows of it inside
    s.Line2.Y1 = s.Line2.Y2 = 1500;  // below the panel's inside: not shown
    draw(s);
    // Every green pixel is EXIT's, within the panel's last rows 91..95.
    const int exitGreen = count(593, 91, 642, 96, [](Rgb c) { return c.g > 100 && c.r < 100; });
    EXPECT_GT(exitGreen, 0);
    EXPECT_EQ(count(0, 0, 667, 570, [](Rgb c) { return c.g > 100 && c.r < 100; }), exitGreen);
    EXPECT_EQ(at(600, 96), kFrame);  // the panel's bottom frame, not the label
    EXPECT_EQ(count(0, 97, 667, 110, [](Rgb c) { return !(c == kBlack); }), 0);
    // The panel's own frame: top row and left column; its right side is off the window.
    EXPECT_EQ(at(300, 0), kFrame);
    EXPECT_EQ(at(0, 50), kFrame);
    EXPECT_EQ(at(666, 50), kBlack);
}

TEST_F(Draw, TheWrappedHelpStaysInsideItsBox) {
    Scene s = emptyScene();
    s.Picture2.Visible = true;
    s.Label7.Visible = true;
    s.Label7.Caption = std::string(kControlsHelp) + " " + kControlsHelp + " " + kControlsHelp;
    draw(s);
    // Box: (17, 17), 177 x 57. Several lines of green text, none outside.
    auto green = [](Rgb c) { return c.g > 100 && c.r < 100 && c.b < 100; };
    int rowsWithText = 0;
    for (int y = 17; y < 74; ++y) rowsWithText += count(17, y, 194, y + 1, green) > 0;
    EXPECT_GT(rowsWithText, 25);  // at least three lines of 11 px type
    EXPECT_EQ(count(0, 0, 667, 97, green), count(17, 17, 194, 74, green));
    EXPECT_GT(count(17, 62, 194, 74, green), 0);  // the text reaches the bottom, clipped
}

}  // namespace
