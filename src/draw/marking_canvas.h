// SPDX-License-Identifier: MIT
// Drawing a frame without drawing it: what the damage of frames drawn in
// part is measured with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw/draw.h"

namespace draw {

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

}  // namespace draw
