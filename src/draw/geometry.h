// SPDX-License-Identifier: MIT
// Twips to pixels, rectangles and colours: the arithmetic every drawing and
// hit test shares, free of SDL so it can be tested on its own.
#pragma once

#include <cstdint>

#include "scene/scene.h"

namespace draw {

// The game's logical window, in pixels.
inline constexpr int kWindowWidth = 667;
inline constexpr int kWindowHeight = 570;

// Twips to pixels: divided by 15, rounded to nearest (halves away from zero).
int px(float twips);

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    bool operator==(const Rect&) const = default;
};

Rect intersect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty one adds nothing.
Rect bounding(const Rect& a, const Rect& b);
// Position and size converted separately, as the desktop converts them.
Rect pixelBox(float left, float top, float width, float height);
inline Rect pixelBox(const hvezda::Sprite& s) { return pixelBox(s.Left, s.Top, s.Width, s.Height); }

inline constexpr Rect kWindowRect{0, 0, kWindowWidth, kWindowHeight};

// The panel's children sit inside its frame: their origin is the top-left
// pixel within the frame and they are clipped to the panel's inside and to
// the window.
struct PanelFrame {
    int originX = 0, originY = 0;
    Rect clip;
};
PanelFrame panelFrame(const hvezda::Sprite& panel);

// A bordered sprite's one-pixel frame.
inline constexpr uint32_t kFrameColor = 0x00404040;  // dark grey
// A picture the build could not find is shown as its box in this colour.
inline constexpr uint32_t kMissingPictureColor = 0x00FF00FF;

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
// 0x00BBGGRR to red, green, blue; system colours resolved to the usual
// desktop defaults (window white, window text black, button face light grey).
Rgb resolveColor(uint32_t color);

// Points at 96 DPI to whole pixels: 12 pt is 16 px, 8 pt 11 px, 9.75 pt 13 px.
int fontPixels(float points);

}  // namespace draw
