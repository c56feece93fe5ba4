// SPDX-License-Identifier: MIT
// The player's fighter: grey, red markings, nose up. The banked pictures draw
// the same model squeezed unevenly across, the lower wing narrower, and lit as
// if the whole airframe leaned.
#include <cmath>

#include "art.h"
#include "pictures.h"

namespace pg {
namespace {

constexpr float kAxis = 26.5f;  // the fighter's centre line in model space

// outline: a dark rim of that width (model units) around the whole airframe,
// so a small icon keeps its shape on any background.
void drawFighter(Canvas& c, Vec2 tilt, float outline = 0) {
    const Material hull = metal(hex(0xa9adb4), 11, 0.06f);
    const Material wingMetal = metal(hex(0x979ca4), 12, 0.08f);
    const Material dark = metal(hex(0x5d6168), 13, 0.05f);
    const Material red = metal(hex(0xc8242a), 14, 0.05f);

    const Sdf fuselage = mirroredPolygon(kAxis, {{26.5f, 1.5f}, {27.3f, 4}, {28.2f, 8}, {29.0f, 13}, {29.6f, 19},
                                                 {30.2f, 26}, {30.6f, 34}, {30.8f, 46}, {30.6f, 58}, {30.0f, 66},
                                                 {29.6f, 69.5f}, {26.5f, 69.5f}});
    const Sdf nacelles = mirrorX(polygon({{29.8f, 26}, {32.4f, 27.5f}, {33.6f, 31}, {33.8f, 50}, {33.2f, 63},
                                          {31.8f, 68.8f}, {29.5f, 68.8f}}),
                                 kAxis);
    const Sdf wings = mirrorX(polygon({{32.5f, 33}, {51, 52.5f}, {51, 55.8f}, {46, 56.8f}, {33, 58}}), kAxis);
    const Sdf tailplanes = mirrorX(polygon({{32, 59}, {41.5f, 66.2f}, {41.5f, 69.8f}, {33, 70.4f}, {31.5f, 68}}), kAxis);
    const Sdf canards = mirrorX(polygon({{30.2f, 22.5f}, {35.8f, 27.2f}, {35.8f, 28.8f}, {30.5f, 28}}), kAxis);
    const Sdf fins = mirrorX(bar({31.7f, 56.5f}, {34.3f, 68.5f}, 0.75f), kAxis);

    if (outline > 0)
        c.fill(grow(unite({fuselage, nacelles, wings, tailplanes, canards, fins}), outline), hex(0x23252b));

    // Back to front: tailplanes and wings under the body.
    plate(c, tailplanes, wingMetal, 1.4f, tilt);
    decal(c, tailplanes, box({40.5f, 68}, {1.2f, 3}), red, 1.4f, tilt);
    decal(c, tailplanes, box({12.5f, 68}, {1.2f, 3}), red, 1.4f, tilt);
    plate(c, wings, wingMetal, 1.6f, tilt);
    // Red wingtips and a stripe along each leading edge.
    decal(c, wings, unite(box({49.4f, 54}, {1.8f, 4}), box({3.6f, 54}, {1.8f, 4})), red, 1.6f, tilt);
    decal(c, wings, mirrorX(bar({34.4f, 37.6f}, {46.5f, 50.3f}, 0.55f), kAxis), red, 1.6f, tilt);
    for (float side : {1.0f, -1.0f}) {
        auto at = [&](float x, float y) { return Vec2{kAxis + side * (x - kAxis), y}; };
        panelLine(c, wings, at(35, 52.5f), at(47.5f, 55.5f));
        panelLine(c, wings, at(39, 44), at(39.5f, 55));
        panelLine(c, wings, at(44, 49.5f), at(44.3f, 56));
        rivet(c, at(34.3f, 56.3f), 0.4f);
        rivet(c, at(36.8f, 56), 0.4f);
        rivet(c, at(41.5f, 55.5f), 0.4f);
    }
    plate(c, canards, wingMetal, 1.0f, tilt);
    body(c, nacelles, dark, 2.0f, tilt);
    body(c, fins, hull, 0.9f, tilt);
    decal(c, fins, box({kAxis, 67}, {9, 2}), red, 0.9f, tilt);

    // Twin engines: glow first so the fuselage sits on it.
    exhaust(c, {24.4f, 69.4f}, 1.8f, {0, 1}, 8.0f, hex(0xff7a1a));
    exhaust(c, {28.6f, 69.4f}, 1.8f, {0, 1}, 8.0f, hex(0xff7a1a));

    body(c, fuselage, hull, 3.6f, tilt);
    // A spine behind the cockpit.
    body(c, capsule({kAxis, 27}, {kAxis, 55}, 1.5f), metal(hex(0xbfc3c9), 15, 0.04f), 1.5f, tilt);
    panelLine(c, fuselage, {23.2f, 36}, {29.8f, 36});
    panelLine(c, fuselage, {22.6f, 47}, {30.4f, 47});
    panelLine(c, fuselage, {22.8f, 60}, {30.2f, 60});
    panelLine(c, nacelles, {20, 29}, {33, 29}, 0.7f);

    // Red nose band and a chevron behind the canopy.
    decal(c, fuselage, box({kAxis, 7.6f}, {4, 0.8f}), red, 3.6f, tilt);
    decal(c, fuselage, mirrorX(polygon({{26.5f, 28.5f}, {30.5f, 32}, {30.5f, 34}, {26.5f, 30.5f}}), kAxis), red,
          3.6f, tilt);

    // Canopy with a frame.
    const Sdf canopyShape = ellipse({kAxis, 18.5f}, {2.7f, 6.6f});
    c.fill(grow(canopyShape, 0.6f), hex(0x3a3d44));
    canopy(c, canopyShape, hex(0x2a5f9e), 2.4f, tilt);
    c.fill(bar({kAxis - 2.4f, 20.5f}, {kAxis + 2.4f, 20.5f}, 0.28f), hex(0x3a3d44), 0.85f);
    c.fill(ellipse({kAxis - 0.9f, 15.5f}, {0.7f, 2.2f}), Rgb{1, 1, 1}, 0.55f);
}

// Banked views squeeze the model across: x' = a*u + b*u*u around the axis, so
// one wing comes out shorter than the other.
void drawBanked(Canvas& c, float leftSpan, float rightSpan, float margin, Vec2 tilt) {
    const float modelHalf = 24.5f;
    const float a = (leftSpan + rightSpan) / (2 * modelHalf);
    const float b = (rightSpan - leftSpan) / (2 * modelHalf * modelHalf);
    const float axisX = margin + leftSpan;
    const float sy = static_cast<float>(c.height()) / 79.0f;
    c.setWarp(
        [=](Vec2 p) {
            const float v = p.x - axisX;
            const float disc = a * a + 4 * b * v;
            float u;
            if (disc < 0)
                u = v < 0 ? -1000.0f : 1000.0f;
            else
                u = (-a + std::sqrt(disc)) / (2 * b);
            return Vec2{kAxis + u, p.y / sy};
        },
        a);
    drawFighter(c, tilt);
    // The lower wing turns away from the sun.
    const float lowSide = leftSpan < rightSpan ? -1.0f : 1.0f;
    c.paint(box({kAxis + lowSide * 30, 40}, {26, 45}), [=](const Frag& f) {
        const float k = smoothstep(3.0f, 9.0f, lowSide * (f.p.x - kAxis));
        return Paint{Rgb{0.72f, 0.72f, 0.75f}, k};
    }, Blend::Multiply);
    c.clearWarp();
}

// The fighter drawn anew at an icon's own size (so every size is sharp, not a
// scaled copy), nose up and centred, its flames inside `share` of the square.
void drawIconFighter(Canvas& c, float share) {
    const float side = static_cast<float>(c.width());
    const float top = 1.5f, bottom = 77.5f;  // the nose tip and the end of the flames, in model units
    const float scale = side * share / (bottom - top);
    const Vec2 origin{side * 0.5f - kAxis * scale, (side - (bottom - top) * scale) * 0.5f - top * scale};
    c.setWarp([=](Vec2 p) { return (p - origin) * (1.0f / scale); }, scale);
    drawFighter(c, {}, 1.0f / scale);
    c.clearWarp();
}

}  // namespace

void drawShip(Canvas& c) { drawFighter(c, {}); }

// The desktop's icons: the fighter alone on a see-through square.
void drawShipIcon(Canvas& c) { drawIconFighter(c, 0.96f); }

// The page's icon on a phone's home screen: the fighter in the night sky of
// the game, the square filled to its corners. Launchers cut such an icon to a
// circle or a rounded square that keeps the middle 80 %; the fighter stays
// within it.
void drawAppIcon(Canvas& c) {
    const float side = static_cast<float>(c.width());
    c.fill(box({side * 0.5f, side * 0.5f}, {side, side}), hex(0x000000));
    // A few stars, as the scene scrolls them: fixed places, so every size shows the same sky.
    const Vec2 stars[] = {{0.16f, 0.22f}, {0.83f, 0.14f}, {0.27f, 0.71f}, {0.78f, 0.62f},
                          {0.12f, 0.47f}, {0.9f, 0.86f},  {0.62f, 0.9f},  {0.35f, 0.12f}};
    for (const Vec2 s : stars) c.fill(circle(s * side, side / 192 * 1.4f), hex(0xd8d8e8));
    drawIconFighter(c, 0.62f);
}

// Rolled to the left: the left wing dips away and narrows, the top of the
// airframe turns towards the light.
void drawShipLeft(Canvas& c) { drawBanked(c, 10.0f, 19.2f, 1.6f, {-0.35f, 0}); }

void drawShipRight(Canvas& c) { drawBanked(c, 19.6f, 10.2f, 2.0f, {0.35f, 0}); }

}  // namespace pg
