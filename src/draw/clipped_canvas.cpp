// SPDX-License-Identifier: MIT
#include "draw/clipped_canvas.h"

#include <algorithm>

using namespace hvezda;

namespace draw {

void ClippedCanvas::fill(const Rect& r, Rgb c) {
    if (const Rect in = intersect(r, area_); !in.empty()) to_.fill(in, c);
}

void ClippedCanvas::picture(const Picture& p, int x, int y, const Rect& clip) {
    if (const Rect in = intersect(clip, area_); !in.empty()) to_.picture(p, x, y, in);
}

void ClippedCanvas::points(std::span<const Point> at, Rgb c) {
    kept_.clear();
    for (const Point& p : at)
        if (area_.contains(p.x, p.y)) kept_.push_back(p);
    if (!kept_.empty()) to_.points(kept_, c);
}

void ClippedCanvas::line(Point from, Point to, Rgb c, const Rect& clip) {
    if (const Rect in = intersect(clip, area_); !in.empty()) to_.line(from, to, c, in);
}

void ClippedCanvas::text(const Font& font, const std::string& text, Rgb c, int x, int y, const Rect& clip) {
    if (const Rect in = intersect(clip, area_); !in.empty()) to_.text(font, text, c, x, y, in);
}

// ---- Damage ---------------------------------------------------------------

}  // namespace draw
