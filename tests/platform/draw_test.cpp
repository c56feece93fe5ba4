// SPDX-License-Identifier: MIT
// What the drawing asks of its canvas, and in which order, without pixels:
// back to front, the panel's children inside it and clipped to it, hidden
// things left out, auto-sized and wrapped captions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/text_wrap.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

using plat::Rect;
using plat::Rgb;

std::string str(const Rect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" + std::to_string(r.h);
}

// Every call as a line of text. Text is 6 px a character, 10 px high, with
// wrapped lines 12 px apart.
class RecordingCanvas final : public plat::Canvas {
public:
    std::vector<std::string> calls;

    void clear(Rgb c) override { calls.push_back("clear " + colour(c)); }
    void fill(const Rect& r, Rgb c) override { calls.push_back("fill " + str(r) + " " + colour(c)); }
    void picture(const Picture& p, int x, int y, const Rect& clip) override {
        calls.push_back("picture " + std::string(p.name) + " at " + std::to_string(x) + "," + std::to_string(y) +
                        " in " + str(clip));
    }
    void points(std::span<const plat::Point> at, Rgb c) override {
        calls.push_back("points " + std::to_string(at.size()) + " " + colour(c));
    }
    void line(plat::Point a, plat::Point b, Rgb c, const Rect& clip) override {
        calls.push_back("line " + std::to_string(a.x) + "," + std::to_string(a.y) + " to " + std::to_string(b.x) +
                        "," + std::to_string(b.y) + " in " + str(clip) + " " + colour(c));
    }
    void text(const Font&, const std::string& s, Rgb, int x, int y, const Rect& clip) override {
        calls.push_back("text '" + s + "' at " + std::to_string(x) + "," + std::to_string(y) + " in " + str(clip));
    }
    std::optional<FontMetrics> fontMetrics(const Font&) override { return FontMetrics{10, 12}; }
    int textWidth(const Font&, std::string_view s) override {
        int chars = 0;
        for (size_t i = 0; i < s.size(); i += plat::utf8CharLength(static_cast<unsigned char>(s[i]))) ++chars;
        return 6 * chars;
    }

    // Where the first call starting with `prefix` is; calls.size() when none.
    size_t find(const std::string& prefix) const {
        return static_cast<size_t>(std::find_if(calls.begin(), calls.end(),
                                                [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
                                   calls.begin());
    }

private:
    static std::string colour(Rgb c) {
        char s[8];
        std::snprintf(s, sizeof s, "#%02x%02x%02x", c.r, c.g, c.b);
        return s;
    }
};

std::vector<std::string> drawn(Scene& s) {
    RecordingCanvas canvas;
    plat::Painter(canvas).draw(s);
    return canvas.calls;
}

TEST(Draw, BackToFrontWithThePanelsChildrenInsideIt) {
    Scene s = makeScene();
    RecordingCanvas c;
    plat::Painter(c).draw(s);
    EXPECT_EQ(c.calls.front(), "clear #000000");
    // Stars, the ship, the panel (its box, then its frame), its children, then life.
    const size_t stars = c.find("points "), ship = c.find("picture ship at 304,432"),
                 panel = c.find("fill 0,0 667x97 #000000"), frame = c.find("fill 0,0 667x1 #404040"),
                 line = c.find("line 1,89 to 665,89 in 1,1 666x95 #00ff00"),
                 exit = c.find("text 'EXIT' at 593,65 in 593,65 49x15"), life = c.find("picture token at 624,528");
    EXPECT_LT(stars, ship);
    EXPECT_LT(ship, panel);
    EXPECT_LT(panel, frame);
    EXPECT_LT(frame, line);
    EXPECT_LT(line, exit);
    EXPECT_LT(exit, life);
    EXPECT_LT(life, c.calls.size());
    // The score takes its caption's size; the hidden banner draws nothing.
    EXPECT_LT(c.find("text '0' at 337,65 in 337,65 6x10"), c.calls.size());
    EXPECT_EQ(c.find("text '" + s.Label3.Caption + "'"), c.calls.size());

    // Moved right, the panel clips EXIT at the window's edge; hidden, it hides it.
    s.Picture2.Left = 1005;
    EXPECT_LT(c.find("text 'EXIT' at 660,65 in 660,65 7x15"), (c.calls = drawn(s)).size());
    s.Picture2.Visible = false;
    c.calls = drawn(s);
    EXPECT_EQ(c.find("text 'EXIT'"), c.calls.size());
    EXPECT_EQ(c.find("line 68,89"), c.calls.size());
}

TEST(Draw, WrappedCaptionsGoLineByLineDownTheirBox) {
    Game g;
    Label5_Click(g);  // the help, in Label7 (177 x 57 px at 16,16 in the panel)
    RecordingCanvas c;
    plat::Painter(c).draw(g.scene);
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
    EXPECT_EQ(joined, g.scene.Label7.Caption);  // every character, blanks included, once
}

}  // namespace
