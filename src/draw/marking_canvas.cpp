// SPDX-License-Identifier: MIT
#include "draw/marking_canvas.h"

#include <algorithm>
#include <cstring>

#include "base/digest.h"

using namespace hvezda;

namespace draw {

void MarkingCanvas::start() {
    hash_ = base::kDigestBasis;
    area_ = Rect{};
}

void MarkingCanvas::add(int64_t v) { base::foldDigest(hash_, static_cast<uint64_t>(v)); }

void MarkingCanvas::add(std::string_view s) {
    add(static_cast<int64_t>(s.size()));
    // Eight bytes at a time; the length above tells the last, short word's
    // padding from bytes that are zero.
    for (size_t i = 0; i < s.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, s.data() + i, std::min<size_t>(8, s.size() - i));
        add(static_cast<int64_t>(word));
    }
}

void MarkingCanvas::add(const Rect& r) { add(r.x), add(r.y), add(r.w), add(r.h); }
void MarkingCanvas::add(Rgb c) { add(int64_t{c.r} << 16 | int64_t{c.g} << 8 | c.b); }

void MarkingCanvas::clear(Rgb c) {
    add(1), add(c);
    area_ = kWindowRect;
}

void MarkingCanvas::fill(const Rect& r, Rgb c) {
    add(2), add(r), add(c);
    area_ = bounding(area_, r);
}

void MarkingCanvas::picture(const Picture& p, int x, int y, const Rect& clip) {
    add(3), add(p.name), add(x), add(y), add(clip);
    // Every picture's artwork has the size the picture states (the assets'
    // tests check it), and a missing one is a box of that size.
    area_ = bounding(area_, intersect(Rect{x, y, p.width, p.height}, clip));
}

void MarkingCanvas::points(std::span<const Point> at, Rgb c) {
    add(4), add(c), add(static_cast<int64_t>(at.size()));
    for (const Point& p : at) {
        add(p.x), add(p.y);
        area_ = bounding(area_, Rect{p.x, p.y, 1, 1});
    }
}

void MarkingCanvas::line(Point from, Point to, Rgb c, const Rect& clip) {
    add(5), add(from.x), add(from.y), add(to.x), add(to.y), add(c), add(clip);
    const Rect box{std::min(from.x, to.x), std::min(from.y, to.y), std::abs(to.x - from.x) + 1,
                   std::abs(to.y - from.y) + 1};
    area_ = bounding(area_, intersect(box, clip));
}

void MarkingCanvas::text(const Font& font, const std::string& text, Rgb c, int x, int y, const Rect& clip) {
    add(6), add(font.name), add(fontPixels(font.size)), add(font.weight), add(text), add(c), add(x), add(y), add(clip);
    // The rendered text's size is the canvas's business; it stays in the clip.
    area_ = bounding(area_, clip);
}

std::optional<Canvas::FontMetrics> MarkingCanvas::fontMetrics(const Font& font) {
    const int pixels = fontPixels(font.size);
    for (const Metrics& m : metrics_)
        if (m.font == font.name && m.pixels == pixels) return m.metrics;
    // The scene has a handful of fonts; they are all kept.
    metrics_.push_back(Metrics{std::string(font.name), pixels, measure_.fontMetrics(font)});
    return metrics_.back().metrics;
}

int MarkingCanvas::textWidth(const Font& font, std::string_view text) {
    constexpr size_t kWidthsKept = 16;
    const int pixels = fontPixels(font.size);
    for (const Width& w : widths_)
        if (w.font == font.name && w.pixels == pixels && w.text == text) return w.width;
    Width w{std::string(font.name), pixels, std::string(text), measure_.textWidth(font, text)};
    if (widths_.size() < kWidthsKept) {
        widths_.push_back(std::move(w));
        return widths_.back().width;
    }
    nextWidth_ = (nextWidth_ + 1) % kWidthsKept;
    widths_[nextWidth_] = std::move(w);
    return widths_[nextWidth_].width;
}

}  // namespace draw
