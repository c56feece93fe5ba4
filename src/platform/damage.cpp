// SPDX-License-Identifier: MIT
#include "platform/damage.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace hvezda;

namespace plat {

namespace {

int64_t areaOf(const Rect& r) { return r.empty() ? 0 : int64_t{r.w} * r.h; }

// What joining two rectangles costs: the pixels of their common box that
// neither covers.
int64_t waste(const Rect& a, const Rect& b) {
    return areaOf(bounding(a, b)) - areaOf(a) - areaOf(b) + areaOf(intersect(a, b));
}

// Drawing one more rectangle costs about as much as this many pixels: in
// the benchmarks of frames drawn in part, 250 to 1000 did equally well, no
// joining at all and 2000 or more each cost a fifth more time or worse.
constexpr int64_t kCheapWaste = 500;

// The digest takes a whole value a step: multiplied by an odd constant and
// folded, every bit of it reaches the high bits, and every bit of those the low.
constexpr uint64_t kDigestStart = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kDigestMultiplier = 0xBF58476D1CE4E5B9ull;

uint64_t mix(uint64_t h, uint64_t v) {
    h = (h ^ v) * kDigestMultiplier;
    return h ^ (h >> 31);
}

const void* address(const ElementRef& e) {
    return std::visit([](const auto* p) { return static_cast<const void*>(p); }, e.ptr);
}

}  // namespace

Rect bounding(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

std::vector<Rect> mergeRects(const std::vector<Rect>& rects, size_t most) {
    std::vector<Rect> out;
    for (Rect r : rects) {
        if (r.empty()) continue;
        // Joined with every kept one that is cheap to join; a grown rectangle
        // may make further joins cheap, so the search starts again.
        for (size_t i = 0; i < out.size();) {
            if (waste(out[i], r) <= kCheapWaste) {
                r = bounding(out[i], r);
                out[i] = out.back();
                out.pop_back();
                i = 0;
            } else {
                ++i;
            }
        }
        out.push_back(r);
    }
    while (out.size() > std::max<size_t>(most, 1)) {
        size_t bi = 0, bj = 1;
        int64_t best = std::numeric_limits<int64_t>::max();
        for (size_t i = 0; i < out.size(); ++i)
            for (size_t j = i + 1; j < out.size(); ++j)
                if (const int64_t w = waste(out[i], out[j]); w < best) best = w, bi = i, bj = j;
        out[bi] = bounding(out[bi], out[bj]);
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(bj));
    }
    return out;
}

// ---- MarkingCanvas --------------------------------------------------------

void MarkingCanvas::start() {
    hash_ = kDigestStart;
    area_ = Rect{};
}

void MarkingCanvas::add(int64_t v) { hash_ = mix(hash_, static_cast<uint64_t>(v)); }

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

// ---- ClippedCanvas --------------------------------------------------------

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

Damage::Damage(Canvas& canvas)
    : marking_(canvas), markingPainter_(marking_), clipped_(canvas, marking_), clippedPainter_(clipped_) {}

const std::vector<Rect>& Damage::next(Scene& scene) {
    frame_.clear();
    next_.clear();
    forEachShown(scene, [this](const ElementRef& e, const Placement& at) {
        marking_.start();
        markingPainter_.drawElement(e, at);
        frame_.push_back(Shown{e, at, marking_.area()});
        next_.push_back(Mark{address(e), marking_.looks(), marking_.area()});
    });
    const auto byElement = [](const Mark& a, const Mark& b) { return a.element < b.element; };
    std::sort(next_.begin(), next_.end(), byElement);

    raw_.clear();
    if (!known_) {
        raw_.push_back(kWindowRect);
    } else {
        // Both lists by element: one that is in both and looks the same in
        // the same place is left alone.
        auto s = screen_.begin(), n = next_.begin();
        while (s != screen_.end() || n != next_.end()) {
            if (n == next_.end() || (s != screen_.end() && s->element < n->element)) {
                raw_.push_back((s++)->area);
            } else if (s == screen_.end() || n->element < s->element) {
                raw_.push_back((n++)->area);
            } else {
                if (s->looks != n->looks || !(s->area == n->area)) raw_.push_back(s->area), raw_.push_back(n->area);
                ++s, ++n;
            }
        }
    }
    damage_ = mergeRects(raw_, kMostRects);
    std::swap(screen_, next_);
    known_ = true;
    return damage_;
}

void Damage::redraw(const Rect& r) {
    clipped_.setArea(r);
    clipped_.clear(Rgb{0, 0, 0});
    for (const Shown& s : frame_)
        if (!intersect(s.area, r).empty()) clippedPainter_.drawElement(s.element, s.at);
}

}  // namespace plat
