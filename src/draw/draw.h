// SPDX-License-Identifier: MIT
// Drawing the scene, apart from the pixels: which elements show, in which
// order and where (the walk), and what each one draws. The pixels are the
// canvas's business: the window's renderer (sdl_canvas.h), or a recording in
// tests. No SDL in here.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "draw/geometry.h"
#include "scene/scene.h"

namespace draw {

// Where an element is drawn: its pixel coordinates count from the origin, and
// nothing of it shows outside the clip.
struct Placement {
    int originX = 0, originY = 0;
    Rect clip = kWindowRect;
};

// Every visible element, back to front: the window's elements in drawing
// order, and right after the panel (Picture2) its children, inside its frame
// and clipped to it. A hidden panel hides its children too.
void forEachShown(hvezda::Scene& scene,
                  const std::function<void(const hvezda::ElementRef&, const Placement&)>& visit);

// What the drawing asks of whatever puts the pixels down. Rectangles are in
// window pixels and never empty.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void clear(Rgb c) = 0;  // the whole target, letterbox included
    virtual void fill(const Rect& r, Rgb c) = 0;
    // A picture at its natural size with its top-left at (x, y), where it
    // lies inside the clip.
    virtual void picture(const hvezda::Picture& p, int x, int y, const Rect& clip) = 0;
    virtual void points(std::span<const Point> at, Rgb c) = 0;
    // One pixel wide, from `from` up to but not including `to`, as the
    // desktop draws its lines; only inside the clip.
    virtual void line(Point from, Point to, Rgb c, const Rect& clip) = 0;
    // One line of text with its top-left at (x, y), where it lies inside the clip.
    virtual void text(const hvezda::Font& font, const std::string& text, Rgb c, int x, int y,
                      const Rect& clip) = 0;

    // Measuring text, for auto-sized labels and wrapping; nothing when the
    // font cannot be used (its text is then not drawn either).
    struct FontMetrics {
        int height = 0;    // of a line of text
        int lineSkip = 0;  // from one wrapped line to the next
    };
    virtual std::optional<FontMetrics> fontMetrics(const hvezda::Font& font) = 0;
    virtual int textWidth(const hvezda::Font& font, std::string_view text) = 0;
};

// Draws scenes onto one canvas. Keeps the last wrapped caption, as measuring
// every candidate line is slow and a caption rarely changes.
class Painter {
public:
    explicit Painter(Canvas& canvas) : canvas_(canvas) {}

    // Clears to the window's black and draws every shown element back to front.
    void draw(hvezda::Scene& scene);
    // One shown element, as the walk hands it over.
    void drawElement(const hvezda::ElementRef& e, const Placement& at);
    Canvas& canvas() { return canvas_; }

    // The box a label is drawn in: auto-sized labels take their caption's
    // size ({0, 0} without a usable font).
    Rect labelBox(const hvezda::Label& l, const Placement& at);

private:
    void drawSprite(const hvezda::Sprite& s, const Rect& clip);
    void drawLabel(const hvezda::Label& l, const Placement& at);
    void drawImage(const hvezda::Image& i, const Placement& at);
    void drawLine(const hvezda::Line& l, const Placement& at);
    void drawStar(const hvezda::Star& s, const Rect& clip);
    void drawPicture(const hvezda::Picture& p, int x, int y, const Rect& clip);
    void fill(const Rect& r, Rgb c);
    const std::vector<std::string>& wrapped(const hvezda::Font& font, const std::string& text, int width);

    Canvas& canvas_;
    struct {
        std::string font;
        int pixels = 0;
        std::string text;
        int width = -1;
        std::vector<std::string> lines;
    } wrap_;
    std::vector<Point> points_;
};

}  // namespace draw
