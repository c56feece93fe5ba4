// SPDX-License-Identifier: MIT
#include "draw/damage.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace hvezda;

namespace draw {

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

const void* address(const ElementRef& e) {
    return std::visit([](const auto* p) { return static_cast<const void*>(p); }, e.ptr);
}

}  // namespace

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

}  // namespace draw
