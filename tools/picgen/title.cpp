// SPDX-License-Identifier: MIT
// The title: "Hvězda" in leaning gold letters with a blue rim, a glint on the
// H and a star beside the word (the name means star). The letters are built
// from boxes, bars and rounded rings, no font involved.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "pictures.h"

namespace pg {
namespace {

constexpr float kCapTop = 10, kXTop = 25, kBase = 55;
constexpr float kStroke = 8.4f;
constexpr float kLean = 0.2f;  // italic shear, px across per px up

Sdf rect(float x0, float y0, float x1, float y1) {
    return box({(x0 + x1) * 0.5f, (y0 + y1) * 0.5f}, {(x1 - x0) * 0.5f, (y1 - y0) * 0.5f});
}

// A rounded rectangular ring filling the box [x0,x1]x[y0,y1].
Sdf bowl(float x0, float y0, float x1, float y1, float corner) {
    const Vec2 c{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f};
    const Vec2 h{(x1 - x0) * 0.5f, (y1 - y0) * 0.5f};
    return subtract(box(c, h, corner), box(c, {h.x - kStroke, h.y - kStroke}, std::max(corner - kStroke, 1.0f)));
}

Sdf glyphH(float x) {
    return unite({rect(x, kCapTop, x + kStroke, kBase), rect(x + 34 - kStroke, kCapTop, x + 34, kBase),
                  rect(x + kStroke - 0.5f, 29, x + 34 - kStroke + 0.5f, 36.5f)});
}

Sdf glyphV(float x) {
    return polygon({{x, kXTop}, {x + 8.8f, kXTop}, {x + 15, 45.5f}, {x + 21.2f, kXTop}, {x + 30, kXTop},
                    {x + 19.6f, kBase}, {x + 10.4f, kBase}});
}

Sdf glyphECaron(float x) {
    const Sdf ring = bowl(x, kXTop, x + 30, kBase, 9);
    const Sdf bar = rect(x + 1, 36.5f, x + 29, 42.5f);
    const Sdf open = rect(x + 17, 42.5f, x + 31, kBase - kStroke);
    const Sdf e = subtract(unite(ring, bar), open);
    const Sdf caron = polygon({{x + 7.5f, 11.5f}, {x + 12.8f, 11.5f}, {x + 15, 14.8f}, {x + 17.2f, 11.5f},
                               {x + 22.5f, 11.5f}, {x + 17.6f, 20.5f}, {x + 12.4f, 20.5f}});
    return unite(e, caron);
}

Sdf glyphZ(float x) {
    return unite({rect(x, kXTop, x + 28, kXTop + 7.5f), rect(x, kBase - 7.5f, x + 28, kBase),
                  polygon({{x + 18.5f, kXTop + 7}, {x + 28, kXTop + 7}, {x + 9.5f, kBase - 7},
                           {x, kBase - 7}})});
}

Sdf glyphD(float x) {
    return unite(bowl(x, kXTop, x + 31, kBase, 9), rect(x + 31 - kStroke, kCapTop, x + 31, kBase));
}

Sdf glyphA(float x) {
    // Two-storey: a top stroke, a stem, and a smaller bowl underneath.
    const Sdf top = subtract(box({x + 15, kXTop + 8}, {15, 8}, 7), box({x + 15, kXTop + 12}, {16, 8}));
    return unite({top, rect(x + 30 - kStroke, kXTop + 6, x + 30, kBase), bowl(x, 36.5f, x + 30, kBase, 8)});
}

// The gold: bright at the top, a dark horizon just below the middle, warm at
// the foot, like polished metal reflecting a sky.
const Ramp& goldRamp() {
    static const Ramp r{{{kCapTop, hex(0xfff6c8)},
                         {24, hex(0xffd860)},
                         {36, hex(0xc07a14)},
                         {38.5f, hex(0x5a3008)},
                         {40.5f, hex(0xffe9a0)},
                         {48, hex(0xf0a830)},
                         {kBase, hex(0xa85a10)}}};
    return r;
}

Shader goldShader(float bevel) {
    return [bevel](const Frag& f) {
        Material m;
        m.base = goldRamp().at(f.p.y);
        m.ambient = 0.5f;
        m.diffuse = 0.5f;
        m.specular = 0.9f;
        m.shininess = 10;
        const float t = -f.d;
        Vec3 n{0, 0, 1};
        if (t < bevel) {
            const Vec2 g = f.grad();
            const float s = 1.6f * (1 - std::max(t, 0.0f) / bevel);
            n.x += g.x * s;
            n.y += g.y * s;
        }
        return Paint{lit(m, normalize(n), f.p)};
    };
}

void sparkle(Canvas& c, Vec2 at, float size, Rgb colour) {
    for (const Vec2 d : {Vec2{1, 0}, Vec2{0, 1}}) {
        c.paint(unite(taperedCapsule(at, at + d * size, 0.7f, 0.05f), taperedCapsule(at, at - d * size, 0.7f, 0.05f)),
                [=](const Frag& f) {
                    const float k = 1 - clamp01(length(f.p - at) / size);
                    return Paint{colour * (0.4f + 0.8f * k)};
                },
                Blend::Add);
    }
    glow(c, at, size * 0.45f, colour, 0.9f);
}

}  // namespace

void drawTitle(Canvas& c) {
    const float step = 7;
    float x = 8;
    std::vector<Sdf> glyphs;
    glyphs.push_back(glyphH(x));
    x += 34 + step;
    glyphs.push_back(glyphV(x));
    x += 30 + step;
    glyphs.push_back(glyphECaron(x));
    x += 30 + step;
    glyphs.push_back(glyphZ(x));
    x += 28 + step;
    glyphs.push_back(glyphD(x));
    x += 31 + step;
    glyphs.push_back(glyphA(x));
    const Sdf word = unite(glyphs);

    // The word leans forward: its tops are further right than its feet.
    c.setWarp([](Vec2 p) { return Vec2{p.x - (kBase - p.y) * kLean, p.y}; }, 1.0f);
    // A blue rim, a dark gap, then the gold.
    c.paint(grow(word, 2.6f), linearGradient({0, 7}, {0, 58}, Ramp{{{0, hex(0x7ab8ff)}, {0.5f, hex(0x2a4ad8)},
                                                                    {1, hex(0x161e7a)}}}));
    c.fill(grow(word, 1.2f), hex(0x06040e));
    c.paint(word, goldShader(2.4f));
    c.clearWarp();

    // Glints where the light catches the corners.
    sparkle(c, {8 + (kBase - kCapTop) * kLean + 1.5f, kCapTop + 1.0f}, 8.5f, Rgb{1, 1, 0.9f});
    sparkle(c, {188 + (kBase - kCapTop) * kLean, kCapTop + 1.2f}, 5.5f, Rgb{1, 0.95f, 0.8f});

    // The star that gives the game its name.
    const Vec2 mid{251, 33};
    std::vector<Vec2> pts;
    for (int i = 0; i < 10; ++i) {
        const float a = -1.5707963f + 3.1415927f * static_cast<float>(i) / 5.0f;
        const float r = (i % 2 == 0) ? 14.0f : 5.8f;
        pts.push_back({mid.x + r * std::cos(a), mid.y + r * std::sin(a)});
    }
    const Sdf star = polygon(pts);
    glow(c, mid, 16, hex(0xff9a20), 0.6f);
    c.paint(grow(star, 1.8f), linearGradient({0, 18}, {0, 48}, Ramp{{{0, hex(0x7ab8ff)}, {1, hex(0x161e7a)}}}));
    c.fill(grow(star, 0.8f), hex(0x06040e));
    c.paint(star, [mid](const Frag& f) {
        // Each arm is a ridge: lit as two facets either side of its spine.
        Material m;
        m.base = goldRamp().at(kCapTop + (f.p.y - mid.y + 13) * 1.7f);
        m.specular = 0.7f;
        m.shininess = 8;
        const Vec2 q = f.p - mid;
        const float ang = std::atan2(q.y, q.x) + 1.5707963f;
        const float sector = ang / (3.1415927f / 5.0f);
        const float side = sector - std::floor(sector) - 0.5f;
        const float along = length(q);
        const Vec2 radial = along > 0 ? q * (1 / along) : Vec2{0, 0};
        const Vec2 across{-radial.y, radial.x};
        const float sgn = side < 0 ? -1.0f : 1.0f;
        const Vec3 n = normalize({0.6f * radial.x + 0.9f * sgn * across.x, 0.6f * radial.y + 0.9f * sgn * across.y, 1});
        return Paint{lit(m, n, f.p)};
    });
    sparkle(c, {mid.x - 3, mid.y - 5}, 6, Rgb{1, 1, 0.95f});
}

}  // namespace pg
