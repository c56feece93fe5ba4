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

#include "draw/clipped_canvas.h"
#include "draw/draw.h"
#include "draw/marking_canvas.h"

namespace draw {

// At most `most` rectangles that cover `rects`. Rectangles whose common box
// costs few pixels more than the two alone are joined (drawing and sending a
// rectangle has a price of its own), then the closest pairs until few enough.
std::vector<Rect> mergeRects(const std::vector<Rect>& rects, size_t most);

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

}  // namespace draw
