// SPDX-License-Identifier: MIT
// Drawing one rectangle of a frame: what frames drawn in part redraw with.
#pragma once

#include <string>
#include <vector>

#include "draw/draw.h"

namespace draw {

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

}  // namespace draw
