// SPDX-License-Identifier: MIT
#include "platform/fingerprint.h"

#include <cstring>
#include <string_view>

#include "platform/draw.h"

using namespace hvezda;

namespace plat {

namespace {

// FNV-1a over the drawn values.
struct Hash {
    uint64_t h = 0xcbf29ce484222325ull;
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 0x100000001b3ull;
        }
    }
    void add(int64_t v) { bytes(&v, sizeof v); }
    void add(std::string_view s) {
        add(static_cast<int64_t>(s.size()));
        bytes(s.data(), s.size());
    }
};

// What a shown element looks like. A panel child's place follows from the
// panel's, which comes first.
void addElement(Hash& h, const ElementRef& e) {
    h.add(e.base), h.add(e.index);
    switch (e.kind()) {
        case Kind::Sprite: {
            const Sprite& s = *std::get<Sprite*>(e.ptr);
            const Rect r = pixelBox(s);
            h.add(r.x), h.add(r.y), h.add(r.w), h.add(r.h);
            h.add(s.BackColor), h.add(s.border);
            h.add(reinterpret_cast<intptr_t>(s.picture));
            return;
        }
        case Kind::Label: {
            const Label& l = *std::get<Label*>(e.ptr);
            h.add(px(l.Left)), h.add(px(l.Top)), h.add(px(l.Width)), h.add(px(l.Height));
            h.add(l.Caption), h.add(l.ForeColor), h.add(l.BackColor), h.add(l.transparent), h.add(l.autoSize);
            h.add(l.wordWrap), h.add(l.font.name), h.add(fontPixels(l.font.size));
            return;
        }
        case Kind::Image: {
            const Image& i = *std::get<Image*>(e.ptr);
            h.add(px(i.Left)), h.add(px(i.Top)), h.add(reinterpret_cast<intptr_t>(i.picture));
            return;
        }
        case Kind::Line: {
            const Line& l = *std::get<Line*>(e.ptr);
            h.add(px(l.X1)), h.add(px(l.Y1)), h.add(px(l.X2)), h.add(px(l.Y2)), h.add(l.color);
            return;
        }
        case Kind::Star: {
            const Star& s = *std::get<Star*>(e.ptr);
            h.add(px(s.Left)), h.add(px(s.Top)), h.add(px(s.diameter)), h.add(s.color);
            return;
        }
        default: return;
    }
}

}  // namespace

uint64_t sceneFingerprint(Scene& scene) {
    Hash h;
    forEachShown(scene, [&h](const ElementRef& e, const Placement&) { addElement(h, e); });
    return h.h;
}

}  // namespace plat
