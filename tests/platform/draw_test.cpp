// SPDX-License-Identifier: MIT
// The drawing without pixels: the canvas calls in order, wrapping, the damage between frames, the label clicked.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/clicks.h"
#include "draw/damage.h"
#include "draw/draw.h"
#include "draw/text_wrap.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

using platform::PanelLabel;
using draw::Rect;
using draw::Rgb;

// Every character (not byte) one unit wide.
int chars(std::string_view s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); i += draw::utf8CharLength(static_cast<unsigned char>(s[i]))) ++n;
    return n;
}

TEST(TextWrap, BreaksAtBlanksThenBetweenCharactersThenAtNewLines) {
    const struct { const char* text; int width; std::vector<std::string> want; } cases[] = {
        {"", 10, {""}},
        {"aaa bbb ccc", 7, {"aaa bbb ", "ccc"}},
        {"a  /  b", 20, {"a  /  b"}},                // a run of blanks inside a line is kept
        {"ab /      cd", 6, {"ab /      ", "cd"}},   // at a break the run stays behind
        {"  ab cd", 5, {"  ab ", "cd"}},             // leading blanks are kept
        {"x abcdefgh", 3, {"x ", "abc", "def", "gh"}},  // a word wider than the line
        {"abcdefg h", 3, {"abc", "def", "g h"}},
        {"žluťoučký", 4, {"žluť", "oučk", "ý"}},    // never inside a character
        {"ěš", 0, {"ě", "š"}},                       // too narrow: still one character a line
        {"ab\r\n\ncd", 10, {"ab", "", "cd"}},
    };
    for (const auto& c : cases) EXPECT_EQ(draw::wrapText(c.text, c.width, chars), c.want) << c.text << " in " << c.width;
}

// Every call as a line of text; text is 6 px a character, 10 px high, its lines 12 px apart.
class RecordingCanvas final : public draw::Canvas {
public:
    std::vector<std::string> calls;

    void clear(Rgb c) override { add("clear", c); }
    void fill(const Rect& r, Rgb c) override { add("fill", r, c); }
    void picture(const Picture& p, int x, int y, const Rect& clip) override {
        add("picture", p.name, "at", draw::Point{x, y}, "in", clip);
    }
    void points(std::span<const draw::Point> at, Rgb c) override { add("points", std::to_string(at.size()), c); }
    void line(draw::Point a, draw::Point b, Rgb c, const Rect& clip) override { add("line", a, "to", b, "in", clip, c); }
    void text(const Font&, const std::string& s, Rgb, int x, int y, const Rect& clip) override {
        add("text", "'" + s + "'", "at", draw::Point{x, y}, "in", clip);
    }
    std::optional<FontMetrics> fontMetrics(const Font&) override { return FontMetrics{10, 12}; }
    int textWidth(const Font&, std::string_view s) override { return 6 * chars(s); }
    void draw(Scene& s) { calls.clear(), draw::Painter(*this).draw(s); }
    size_t find(const std::string& prefix) const {  // the first call starting with `prefix`; calls.size() when none
        return size_t(std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) - calls.begin());
    }
    bool has(const std::string& prefix) const { return find(prefix) < calls.size(); }

private:
    static std::string part(std::string_view s) { return std::string(s); }
    static std::string part(draw::Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    static std::string part(const Rect& r) { return part(draw::Point{r.x, r.y}) + " " + std::to_string(r.w) + "x" + std::to_string(r.h); }
    static std::string part(Rgb c) {
        char s[8];
        std::snprintf(s, sizeof s, "#%02x%02x%02x", c.r, c.g, c.b);
        return s;
    }
    template <class... T>
    void add(std::string_view what, const T&... parts) { calls.push_back((std::string(what) + ... + (" " + part(parts)))); }
};

TEST(Draw, BackToFrontWithThePanelsChildrenInsideItAndWrappedLinesDownTheirBox) {
    Game g;
    Scene& s = g.scene;
    RecordingCanvas c;
    c.draw(s);
    EXPECT_EQ(c.calls.front(), "clear #000000");
    // Stars, the ship, the panel (its box, then its frame), its children, then life.
    const size_t order[] = {c.find("points "), c.find("picture ship at 304,432"), c.find("fill 0,0 667x97 #000000"),
                            c.find("fill 0,0 667x1 #404040"), c.find("line 1,89 to 665,89 in 1,1 666x95 #00ff00"),
                            c.find("text 'EXIT' at 593,65 in 593,65 49x15"), c.find("picture token at 624,528"),
                            c.calls.size()};
    EXPECT_TRUE(std::is_sorted(std::begin(order), std::end(order)) &&
                std::adjacent_find(std::begin(order), std::end(order)) == std::end(order));
    // The score takes its caption's size; the hidden banner draws nothing, and shown, only its letters.
    EXPECT_TRUE(c.has("text '0' at 337,65 in 337,65 6x10"));
    const size_t calls = c.calls.size();
    EXPECT_FALSE(c.has("text 'WINNER'"));
    s.Label3.Visible = true;
    c.draw(s);
    EXPECT_TRUE(c.calls.size() == calls + 1 && c.has("text 'WINNER' at ")) << c.calls.size() - calls;

    // The help in Label7 (177 x 57 px at 16,16 in the panel), line by line down its box, every character once.
    Label5_Click(g);
    c.draw(s);
    std::string joined;
    int lines = 0;
    for (const std::string& call : c.calls) {
        const std::string at = " at 17," + std::to_string(17 + 12 * lines) + " in 17,17 177x57";
        const size_t end = call.rfind('\'');
        if (call.rfind("text '", 0) != 0 || call.compare(end + 1, std::string::npos, at) != 0) continue;
        joined += call.substr(6, end - 6);
        ++lines;
    }
    EXPECT_GE(lines, 2);
    EXPECT_EQ(joined, s.Label7.Caption);

    // Moved right, the panel clips EXIT at the window's edge; hidden, it hides it.
    s.Picture2.Left = 1005;
    c.draw(s);
    EXPECT_TRUE(c.has("text 'EXIT' at 660,65 in 660,65 7x15"));
    s.Picture2.Visible = false;
    c.draw(s);
    EXPECT_FALSE(c.has("text 'EXIT'") || c.has("line 68,89"));
}

TEST(Damage, OnlyWhereTheDrawnPictureChanges) {
    const Scene start = makeScene();
    const Rect ship = draw::pixelBox(start.Picture1);
    const Rect panel = draw::intersect(draw::pixelBox(start.Picture2), draw::kWindowRect);
    // A change, whether it shows, and all it may damage (when checked).
    const struct { const char* what; std::function<void(Scene&)> change; bool shows; Rect place; } cases[] = {
        {"a third of a pixel", [](Scene& s) { s.Picture1.Left += 5; }, false, {}},
        {"one pixel", [](Scene& s) { s.Picture1.Left += 15; }, true, Rect{ship.x, ship.y, ship.w + 1, ship.h}},
        {"a hidden sprite moved", [](Scene& s) { s.fire[3].Top -= 300; }, false, {}},
        {"another picture in the same box", [](Scene& s) { s.Picture1.picture = &pictures::craftF; }, true, ship},
        {"the same picture", [](Scene& s) { copyPicture(s.Picture1, s.rovne); }, false, {}},
        {"a hidden label's colour", [](Scene& s) { s.Label3.ForeColor = 0x00000100; }, false, {}},
        {"a longer caption", [](Scene& s) { s.score.Caption = "12"; }, true, Rect{337, 65, 12, 10}},
        {"a star moved", [](Scene& s) { s.hvezda1[2].Top += 170; }, true, {}},
        {"a line in the panel", [](Scene& s) { s.Line2.Y1 = 1335; }, true, {}},
        {"the panel hidden", [](Scene& s) { s.Picture2.Visible = false; }, true, panel},
        {"a sprite shown", [](Scene& s) { s.fire[3].Visible = true; }, true, {}},
        {"a shown label's colour", [](Scene& s) { s.score.ForeColor = colors::green; }, true, {}},
        {"an image shown", [](Scene& s) { s.Image3.Visible = true; }, true, {}},
    };
    RecordingCanvas canvas;
    for (const auto& c : cases) {
        draw::Damage damage(canvas);
        Scene s = makeScene();
        EXPECT_EQ(damage.next(s), std::vector<Rect>{draw::kWindowRect}) << c.what << ": the screen was unknown";
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": nothing changed yet";
        c.change(s);
        const std::vector<Rect> got = damage.next(s);
        EXPECT_EQ(got.empty(), !c.shows) << c.what;
        EXPECT_TRUE(c.place.empty() || got == std::vector<Rect>{c.place}) << c.what << ": " << got.size() << " boxes";
        EXPECT_TRUE(damage.next(s).empty()) << c.what << ": once shown, it is on screen";
    }
}

void expectClicks(Scene& s, std::initializer_list<std::tuple<int, int, PanelLabel>> probes) {
    for (auto [x, y, want] : probes) EXPECT_EQ(platform::labelAt(s, x, y), want) << x << "," << y;
}

// The panel's inside starts one pixel in; EXIT at (8880, 960) 735 x 225 twips is 592..640 x 64..78 in it.
TEST(Clicks, EachLabelAnswersInsideItsOwnBoxWhereThePanelShowsItAndNothingCoversIt) {
    Scene s = makeScene();
    expectClicks(s, {{1 + 592, 1 + 65, PanelLabel::Exit},
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
    s.Label4.Top = 1350;   // pixel 91 in the window; the panel's inside ends at 95
    s.Label6.Left = 9900;  // pixels 661..725: past the window's right edge
    expectClicks(s, {{600, 93, PanelLabel::Exit},
                     {600, 96, PanelLabel::None},  // the panel's frame
                     {665, 51, PanelLabel::Credits},
                     {667, 51, PanelLabel::None}});
    // `life` is drawn after the panel and takes the click; `enemyboss`, drawn before it, changes nothing.
    s.life.Left = s.enemyboss.Left = 8880;
    s.life.Top = s.enemyboss.Top = 1250;
    EXPECT_EQ(platform::labelAt(s, 600, 93), PanelLabel::None);
    s.life.Visible = false;
    EXPECT_EQ(platform::labelAt(s, 600, 93), PanelLabel::Exit);
    // Hidden labels and a hidden panel take no clicks.
    s.Label5.Visible = false;
    EXPECT_EQ(platform::labelAt(s, 1 + 600, 1 + 32), PanelLabel::None);
    s.Picture2.Visible = false;
    EXPECT_EQ(platform::labelAt(s, 600, 93), PanelLabel::None);
}

}  // namespace
