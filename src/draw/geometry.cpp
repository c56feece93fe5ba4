// SPDX-License-Identifier: MIT
#include "draw/geometry.h"

#include <algorithm>
#include <cmath>

using namespace hvezda;

namespace draw {

int px(float twips) { return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel)); }

Rect bounding(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

Rect intersect(const Rect& a, const Rect& b) {
    const int x0 = std::max(a.x, b.x);
    const int y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w);
    const int y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return Rect{x0, y0, 0, 0};
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

Rect pixelBox(float left, float top, float width, float height) {
    return Rect{px(left), px(top), px(width), px(height)};
}

PanelFrame panelFrame(const Sprite& panel) {
    const Rect box = pixelBox(panel);
    const int frame = panel.border ? 1 : 0;
    const Rect inside{box.x + frame, box.y + frame, box.w - 2 * frame, box.h - 2 * frame};
    return PanelFrame{inside.x, inside.y, intersect(inside, kWindowRect)};
}

Rgb resolveColor(uint32_t color) {
    if (color & 0x80000000u) {
        switch (color & 0xFFu) {
            case 5: return Rgb{0xFF, 0xFF, 0xFF};   // window background
            case 8: return Rgb{0x00, 0x00, 0x00};   // window text
            case 15: return Rgb{0xF0, 0xF0, 0xF0};  // button face
            case 18: return Rgb{0x00, 0x00, 0x00};  // button text
            case 16: return Rgb{0xA0, 0xA0, 0xA0};  // button shadow
            default: return Rgb{0x00, 0x00, 0x00};
        }
    }
    return Rgb{static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
               static_cast<uint8_t>((color >> 16) & 0xFF)};
}

int fontPixels(float points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

}  // namespace draw
