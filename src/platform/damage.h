// SPDX-License-Identifier: MIT
// Which parts of the window a frame changes, and drawing only those.
//
// Each shown element is drawn once more onto a canvas that keeps no pixels,
// only a digest of what the element asked for and the rectangle that holds
// all of it. Where an element's digest or rectangle differs from the frame
// on screen, or the element appeared or went, its old and new rectangles are
// damaged. Inside a damaged rectangle the frame is drawn again from the black
// up: every element that reaches into it, in drawing order, clipped to it, so
// that its pixels are exactly those of a whole frame. No SDL in here.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/draw.h"

namespace plat {

// The smallest rectangle holding both; an empty one adds nothing.
Rect bounding(const Rect& a, const Rect& b);

// At most `most` rectangles that cover `rects`. Rectangles whose common box
// costs few pixels more than the two alone are joined (drawing and sending a
// rectangle has a price of its own), then the closest pairs until few enough.
std::vector<Rect> mergeRects(const std::vector<Rect>& rects, size_t most);

// A canvas that sets no pixels: it keeps a digest of everything it is asked
// to draw and the rectangle covering every pixel that would be set. Text is
// measured by `measure`, the canvas the frames are really drawn on.
class MarkingCanvas final : public Canvas {
public:
    explicit MarkingCanvas(Canvas& measure) : measure_(measure) {}
    void start();
    uint64_t looks() const { return hash_; }
    const Rect& area() const { return area_; }

    void clear(Rgb c) override;
    void fill(const Rect& r, Rgb c) override;
    void picture(const hvezda::Picture& p, int x, int y, const Rect& clip) override;
    void points(std::span<const Point> at, Rgb c) override;
    void line(Point from, Point to, Rgb c, const Rect& clip) override;
    void text(const hvezda::Font& font, const std::string& text, Rgb c, int x, int y, const Rect& clip) override;
    // Both remember what they measured: shaping a caption costs more than
    // the rest of the marking, and captions rarely change.
    std::optional<FontMetrics> fontMetrics(const hvezda::Font& font) override;
    int textWidth(const hvezda::Font& font, std::string_view text) override;

private:
    struct Width {
        std::string font;
        int pixels = 0;
        std::string text;
        int width = 0;
    };
    struct Metrics {
        std::string font;
        int pixels = 0;
        std::optional<FontMetrics> metrics;
    };
    void add(int64_t v);
    void add(std::string_view s);
    void add(const Rect& r);
    void add(Rgb c);

    Canvas& measure_;
    std::vector<Metrics> metrics_;
    std::vector<Width> widths_;
    size_t nextWidth_ = 0;
    uint64_t hash_ = 0;
    Rect area_;
};

// Hands on to `to` only what falls inside one rectangle; clearing fills it.
// Text is measured by `measure`.
class ClippedCanvas final : public Canvas {
public:
    ClippedCanvas(Canvas& to, Canvas& measure) : to_(to), measure_(measure) {}
    void setArea(const Rect& area) { area_ = area; }

    void clear(Rgb c) override { to_.fill(area_, c); }
    void fill(const Rect& r, Rgb c) override;
    void picture(const hvezda::Picture& p, int x, int y, const Rect& clip) override;
    void points(std::span<const Point> at, Rgb c) override;
    void line(Point from, Point to, Rgb c, const Rect& clip) override;
    void text(const hvezda::Font& font, const std::string& text, Rgb c, int x, int y, const Rect& clip) override;
    std::optional<FontMetrics> fontMetrics(const hvezda::Font& font) override { return measure_.fontMetrics(font); }
    int textWidth(const hvezda::Font& font, std::string_view text) override { return measure_.textWidth(font, text); }

private:
    Canvas& to_;
    Canvas& measure_;
    Rect area_;
    std::vector<Point> kept_;
};

// The damage between the frame on screen and the next one, on the canvas
// that frames are drawn on.
class Damage {
public:
    // Damaged rectangles beyond this many are joined.
    static constexpr size_t kMostRects = 12;

    explicit Damage(Canvas& canvas);

    // Takes the scene as the next frame and says where it differs from the
    // frame on screen, in at most kMostRects rectangles: none when it looks
    // the same, the whole window when the screen's contents are unknown.
    // From then on it counts as the frame on screen.
    const std::vector<Rect>& next(hvezda::Scene& scene);
    // Draws the frame taken by next() inside r, exactly as a whole frame
    // would be there. The scene must not have changed since.
    void redraw(const Rect& r);
    // The screen's contents are lost or unknown: the next frame is damaged whole.
    void forget() { known_ = false; }
    bool knowsScreen() const { return known_; }

private:
    struct Shown {
        hvezda::ElementRef element;
        Placement at;
        Rect area;
    };
    struct Mark {
        const void* element = nullptr;
        uint64_t looks = 0;
        Rect area;
    };

    MarkingCanvas marking_;
    Painter markingPainter_;
    ClippedCanvas clipped_;
    Painter clippedPainter_;
    bool known_ = false;
    std::vector<Shown> frame_;       // the frame taken, back to front
    std::vector<Mark> screen_, next_;  // marks by element address
    std::vector<Rect> raw_, damage_;
};

}  // namespace plat
